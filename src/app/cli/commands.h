#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// Runs one command line; returns the process exit code.
int runcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace velmora
