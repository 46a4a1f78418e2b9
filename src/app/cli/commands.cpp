#include "app/cli/commands.h"

namespace velmora {

namespace {
const char* usage =
    "usage: velmora-cli COMMAND [OPTIONS]\n"
    "commands:\n"
    "  help                      this text\n";
} // namespace

int runcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "help" || args[0] == "--help") {
        out << usage;
        return args.empty() ? 2 : 0;
    }
    err << "velmora-cli: unknown command \"" << args[0] << "\"\n" << usage;
    return 2;
}

} // namespace velmora
