#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace tarnwick {

// A command line the batch tool cannot follow: it answers with its usage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a command writes: results to out, messages to err, progress lines to err when asked.
struct CommandStreams {
    std::ostream& out;
    std::ostream& err;
    bool progressToTerminal = false;
};

class CommandLine;

// One command's arguments and options as declared, each bound to a field of the command's options.
// Arguments and options that name files say so, for the check that an output never replaces an
// input and for the shell's completion of file names. Returns CLI11's option, to refine further.
class CommandDeclaration {
public:
    CommandDeclaration(CLI::App& command, CommandLine& line) : command_(command), line_(line) {}

    // A file the command reads, as the next argument (NAME, e.g. DATABASE, also names its role).
    CLI::Option* input(const std::string& name, std::string& file, const std::string& description);
    // A file the command writes; "-" is standard output.
    CLI::Option* output(const std::string& name, std::optional<std::string>& file,
                        const std::string& description);
    // A value: a text as it is written, a whole number, or one of these left out (std::optional).
    // valueName stands for it in the help ("N"). CLI11's checks refine it, e.g.
    // ->check(CLI::IsMember({"rst", "fst"})) or ->check(CLI::PositiveNumber).
    template <typename T>
    CLI::Option* value(const std::string& name, T& target, const std::string& valueName,
                       const std::string& description);
    // A decimal number from least to greatest, with "." as the decimal point in every locale.
    CLI::Option* decimal(const std::string& name, double& target, double least, double greatest,
                         const std::string& valueName, const std::string& description);
    // A flag, given at most once.
    CLI::Option* flag(const std::string& name, bool& target, const std::string& description);
    CLI::Option* flag(const std::string& name, std::function<void()> given,
                      const std::string& description);

private:
    CLI::App& command_;
    CommandLine& line_;
};

// The batch tool's commands and options, each declared once: the declarations parse the command
// line, check it, and give the help, the manual page's synopsis and options, and the shell's
// completion.
class CommandLine {
public:
    // notes: what the help says after the commands, for all of them.
    CommandLine(const std::string& program, const std::string& version, const std::string& notes);
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // Declares a command: declare binds its arguments and options to the fields of an Options,
    // and run carries it out with them once they are parsed.
    template <typename Options>
    void add(const std::string& name, const std::string& description,
             const std::function<void(CommandDeclaration&, Options&)>& declare,
             const std::function<int(const Options&, const CommandStreams&)>& run) {
        auto options = std::make_shared<Options>();
        CommandDeclaration declaration(*program_.add_subcommand(name, description), *this);
        declare(declaration, *options);
        runs_.emplace(
            name, [options, run](const CommandStreams& streams) { return run(*options, streams); });
    }

    // Parses the arguments (without the program's name) and runs the command they name, or
    // writes the help or the version asked for to out. Throws UsageError for a command line
    // that cannot be followed. Once per CommandLine.
    int run(const std::vector<std::string>& arguments, const CommandStreams& streams);

    // The help of the command the arguments name, or of the program.
    std::string help() const { return program_.help(); }

    const CLI::App& program() const { return program_; }
    // Whether the argument or option names a file.
    bool namesFile(const CLI::Option& option) const { return files_.count(&option) != 0; }

private:
    friend class CommandDeclaration;
    enum class FileUse { Read, Write };

    // The options declared here keep every value given, so that a repeat is refused by name.
    static constexpr CLI::MultiOptionPolicy kGivenOnce = CLI::MultiOptionPolicy::TakeLast;
    void checkGivenOnce(const CLI::App& command) const;
    void checkOutputsAreNew(const CLI::App& command) const;

    CLI::App program_;
    std::map<std::string, std::function<int(const CommandStreams&)>> runs_;
    std::map<const CLI::Option*, FileUse> files_;
};

template <typename T>
CLI::Option* CommandDeclaration::value(const std::string& name, T& target,
                                       const std::string& valueName,
                                       const std::string& description) {
    static_assert(!std::is_floating_point_v<T>, "decimal() reads decimals alike in every locale");
    return command_.add_option(name, target, description)
        ->type_name(valueName)
        ->multi_option_policy(CommandLine::kGivenOnce);
}

} // namespace tarnwick
