#include "cli/CommandLine.h"

#include "cli/BatchTool.h"
#include "cli/HelpFormatter.h"
#include "io/OutputPaths.h"

#include <charconv>
#include <utility>

namespace tarnwick {
namespace {

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string shortest(double number) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    return std::string(buffer, end);
}

} // namespace

CLI::Option* CommandDeclaration::input(const std::string& name, std::string& file,
                                       const std::string& description) {
    CLI::Option* option = command_.add_option(name, file, description)->required();
    line_.files_.emplace(option, CommandLine::FileUse::Read);
    return option;
}

CLI::Option* CommandDeclaration::output(const std::string& name, std::optional<std::string>& file,
                                        const std::string& description) {
    CLI::Option* option = command_.add_option(name, file, description)
                              ->type_name("FILE")
                              ->multi_option_policy(CommandLine::kGivenOnce);
    line_.files_.emplace(option, CommandLine::FileUse::Write);
    return option;
}

CLI::Option* CommandDeclaration::decimal(const std::string& name, double& target, double least,
                                         double greatest, const std::string& valueName,
                                         const std::string& description) {
    // CLI11 reads numbers with strtold, which follows the locale's decimal point.
    const auto read = [&target, name, least, greatest](const std::string& text) {
        double number = 0;
        const char* const end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, number);
        if (error != std::errc() || stop != end || !(number >= least) || !(number <= greatest))
            throw CLI::ValidationError(name + " takes a number from " + shortest(least) + " to " +
                                           shortest(greatest) + ", not \"" + text + "\"",
                                       CLI::ExitCodes::ValidationError);
        target = number;
    };
    return command_.add_option_function<std::string>(name, read, description)
        ->type_name(valueName)
        ->multi_option_policy(CommandLine::kGivenOnce);
}

CLI::Option* CommandDeclaration::flag(const std::string& name, bool& target,
                                      const std::string& description) {
    return command_.add_flag(name, target, description)
        ->multi_option_policy(CommandLine::kGivenOnce);
}

CLI::Option* CommandDeclaration::flag(const std::string& name, std::function<void()> given,
                                      const std::string& description) {
    return command_.add_flag_callback(name, std::move(given), description)
        ->multi_option_policy(CommandLine::kGivenOnce);
}

CommandLine::CommandLine(const std::string& program, const std::string& version,
                         const std::string& notes)
    : program_("", program) {
    program_.formatter(std::make_shared<HelpFormatter>());
    program_.set_help_flag("-h,--help", "prints this help");
    program_.set_version_flag("--version", version, "prints the version");
    program_.footer(notes);
    program_.require_subcommand(0, 1);
}

int CommandLine::run(const std::vector<std::string>& arguments, const CommandStreams& streams) {
    // CLI11 takes the arguments last first. "help" as the command asks for the help as well.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    if (!reversed.empty() && reversed.back() == "help")
        reversed.back() = "--help";
    // Words that are no command are left over rather than refused, to be named as such below.
    program_.allow_extras();
    try {
        program_.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        streams.out << help();
        return kExitSuccess;
    } catch (const CLI::CallForVersion& version) {
        streams.out << version.what() << "\n";
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    const std::vector<CLI::App*> chosen = program_.get_subcommands();
    const std::vector<std::string> leftOver = program_.remaining();
    if (!leftOver.empty())
        throw UsageError(
            (leftOver.front().starts_with('-') ? "unknown option " : "unknown command ") +
            leftOver.front());
    if (chosen.empty())
        throw UsageError("no command given");
    checkGivenOnce(*chosen.front());
    checkOutputsAreNew(*chosen.front());
    return runs_.at(chosen.front()->get_name())(streams);
}

void CommandLine::checkGivenOnce(const CLI::App& command) const {
    for (const CLI::Option* option : command.get_options())
        if (option->get_multi_option_policy() == kGivenOnce && option->count() > 1)
            throw UsageError(option->get_name() + " is given twice");
}

// An output never replaces an input, nor another output: a run must not destroy what it reads or
// what it has just written.
void CommandLine::checkOutputsAreNew(const CLI::App& command) const {
    std::vector<std::pair<const CLI::Option*, std::string>> inputs;
    std::vector<std::pair<const CLI::Option*, std::string>> outputs;
    for (const CLI::Option* option : command.get_options()) {
        const auto use = files_.find(option);
        if (use == files_.end() || option->count() == 0)
            continue;
        (use->second == FileUse::Read ? inputs : outputs)
            .emplace_back(option, option->results().front());
    }
    for (auto output = outputs.begin(); output != outputs.end(); ++output) {
        const auto& [option, file] = *output;
        if (file == "-")
            continue;
        for (const auto& [input, read] : inputs)
            if (sameOutputFile(file, read))
                throw UsageError(option->get_name() + " " + file + " is the " +
                                 lowerCase(input->get_name()) +
                                 " file; choose another name for the output");
        for (auto other = std::next(output); other != outputs.end(); ++other)
            if (sameOutputFile(file, other->second))
                throw UsageError(option->get_name() + " and " + other->first->get_name() +
                                 " name the same file " + other->second);
    }
}

} // namespace tarnwick
