#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace tarnwick {

// The declared commands of a program, in their order (the help's own flags aside).
std::vector<const CLI::App*> commandsOf(const CLI::App& program);

// A command's arguments, then its options, in their order; its help flag aside.
std::vector<const CLI::Option*> argumentsAndOptionsOf(const CLI::App& command);

// How an argument or option is written: "DATABASE", "--steps", "--help".
std::string nameOf(const CLI::Option& option);
// The placeholder of an option's value ("N", "FILE"); empty for an argument or a flag.
std::string valueNameOf(const CLI::Option& option);

// One place in a command's usage: an argument, an option with its value, or options that exclude
// each other ("[--database | --search]").
struct UsagePart {
    std::vector<const CLI::Option*> alternatives;
    bool optional = false;
};

// A command's usage from its declarations: its arguments, then its options, those that may be
// left out in brackets.
std::vector<UsagePart> usageOf(const CLI::App& command);

// A usage part as written in the help: "DATABASE", "--steps N", "[--database | --search]".
std::string usageText(const UsagePart& part);

} // namespace tarnwick
