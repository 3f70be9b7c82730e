#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace tarnwick {

// The batch tool's help, from its declarations: the usage of each command, what each command and
// each of its arguments and options does, then the program's notes (its footer). A command's own
// help is the same for that command alone.
class HelpFormatter : public CLI::FormatterBase {
public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
};

} // namespace tarnwick
