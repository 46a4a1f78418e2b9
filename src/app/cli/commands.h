#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

class Tinterrupts;

// Runs one command line; returns the process exit code. With interrupts,
// output folders that an interrupt leaves unfinished are removed.
int runcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Tinterrupts* interrupts = nullptr);

} // namespace velmora
