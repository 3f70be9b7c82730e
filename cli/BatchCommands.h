#pragma once

#include "cli/CommandLine.h"

#include <memory>

namespace tarnwick {

// The batch tool's command line: its commands, each with its arguments and options.
std::unique_ptr<CommandLine> batchCommandLine();

// Each command, declared with what it does.
void addMatchCommand(CommandLine& line);
void addFrequenciesCommand(CommandLine& line);
void addDiversityCommand(CommandLine& line);
void addShowCommand(CommandLine& line);

// What --genotypes does, for the commands that take it.
extern const char* const kGenotypesHelp;

} // namespace tarnwick
