// velmora-cli: the command-line face of the model core.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/outputfolder.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    velmora::Tinterrupts interrupts;
    return velmora::runcli(args, std::cout, std::cerr, &interrupts);
}
