#pragma once
// CLI11 in Italian: the help page's headings and labels, the help flag, and the messages a
// user meets when a command line is wrong (an unknown option, a missing one, a value that is
// not a number or out of range). Call once the options and subcommands are all defined.

#include <CLI/CLI.hpp>

#include <string>

namespace brevanto::apps {

// `program` is the name the hint after an error tells the user to run with --help.
void italianise(CLI::App& app, const std::string& program);

// The Italian message for a parse error, with the detail CLI11 gives (names, values).
std::string italianParseMessage(const CLI::Error& e);

}  // namespace brevanto::apps
