#pragma once
// The balance and explain commands on a calculated workspace: the same rows
// the results window shows, as tab-separated lines.
#include <functional>
#include <map>
#include <ostream>
#include <string>

namespace velmora {

struct Tmodel;

// Options by name (without "--"), as the command line gave them.
using Tclioptions = std::map<std::string, std::string>;
// The value of an option, empty when it was not given.
std::string option(const Tclioptions& options, const std::string& name);

// Hands each table of a run to write, by file name.
using Tfilewriter =
    std::function<void(const std::string& name, const std::function<void(std::ostream&)>&)>;

// "balance": --regcomp REGION:COMPARTMENT [--net]. A heading line, then one
// line per row.
int balancecommand(Tmodel& m, const Tclioptions& options, std::ostream& out);
// "explain": --region NAME ("World", "Countries" and "Seas" too; land
// regions and "World" with --dose) [--indicator none|each|region|world].
// Per button: "button", its name, "visible" or "hidden", the bar position
// or "-", then its caption lines; then the lines of the window the button
// opens, each as "breakdown", the button's name and the line.
int explaincommand(Tmodel& m, const Tclioptions& options, std::ostream& out);

} // namespace velmora
