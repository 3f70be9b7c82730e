#pragma once

#include "cli/CommandLine.h"

#include <string>

namespace tarnwick {

// What the manual page and the shell take from the declarations, written at build time so that
// they cannot drift from the command line they describe.

// The manual page's SYNOPSIS: each command's usage, then the program's own options (roff).
std::string manualSynopsis(const CLI::App& program);
// The manual page's COMMANDS: each command with its description (roff).
std::string manualCommands(const CLI::App& program);
// The manual page's OPTIONS: the program's own, then each command's arguments and options (roff).
std::string manualOptions(const CLI::App& program);

// A bash completion script: commands, options, file names for the arguments and options that
// name files, nothing for other values.
std::string bashCompletion(const CommandLine& line);

} // namespace tarnwick
