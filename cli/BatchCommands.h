#pragma once

#include "cli/CommandLine.h"

#include <memory>

namespace tarnwick {

// The batch tool's command line: its commands, each with its arguments and options.
std::unique_ptr<CommandLine> batchCommandLine();

// Each command, declared with what it does. A new command is a file like MatchCommand.cpp (its
// options, their declarations and its run) and a line in batchCommandLine(); a new option is a
// field and a line in its command's declarations.
void addMatchCommand(CommandLine& line);
void addFrequenciesCommand(CommandLine& line);
void addDiversityCommand(CommandLine& line);
void addDiscreteLaplaceCommand(CommandLine& line);
void addStructureCommand(CommandLine& line);
void addShowCommand(CommandLine& line);

// What --genotypes does, for the commands that take it.
extern const char* const kGenotypesHelp;

} // namespace tarnwick
