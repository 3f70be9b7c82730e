#include "cli/Reference.h"

#include "cli/Usage.h"

#include <algorithm>

namespace tarnwick {
namespace {

// Text as roff prints it: dashes as dashes, backslashes as backslashes, never a request.
std::string roff(const std::string& text) {
    std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

// Appended, not prefixed: a literal put before a temporary string made GCC 12 at -O3 warn of
// overlapping copies in the package's build.
std::string inFont(const char* font, const std::string& text) {
    std::string out = font;
    out += roff(text);
    out += "\\fR";
    return out;
}

std::string bold(const std::string& text) {
    return inFont("\\fB", text);
}

std::string italic(const std::string& text) {
    return inFont("\\fI", text);
}

// An argument in italics, an option in bold with its value in italics.
std::string roffUsage(const CLI::Option& option) {
    if (option.get_positional())
        return italic(nameOf(option));
    const std::string value = valueNameOf(option);
    std::string usage = bold(nameOf(option));
    if (!value.empty())
        usage.append(" ").append(italic(value));
    return usage;
}

std::string allNamesOf(const CLI::Option& option) {
    std::string names;
    for (const std::string& name : option.get_snames())
        names += (names.empty() ? "-" : ", -") + name;
    for (const std::string& name : option.get_lnames())
        names += (names.empty() ? "--" : ", --") + name;
    return names;
}

std::string optionEntry(const CLI::Option& option, const std::string& names) {
    std::string out = ".TP\n";
    if (option.get_positional())
        out += ".I " + roff(names) + "\n";
    else if (const std::string value = valueNameOf(option); !value.empty())
        out += ".BI " + roff(names) + " \" " + roff(value) + "\"\n";
    else
        out += ".B " + roff(names) + "\n";
    return out + roff(option.get_description()) + "\n";
}

std::string words(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& word : list)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

// Completes the command, then its options, and file names for its arguments and the options that
// name files; nothing for other values, nor after "--" but file names.
const char* const kBashCompletion =
    R"(# bash completion for @PROGRAM@, written from its declarations by the build
_tarnwick_cli_files() {
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
}

_tarnwick_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    # --option=value, split at the "=" by the shell
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    local command= ended= i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            @COMMANDS@) [[ -z $command ]] && command=${COMP_WORDS[i]} ;;
            --) [[ -n $command ]] && ended=1 ;;
        esac
    done
    local options files values
    case $command in
        '')
            COMPREPLY=($(compgen -W '@PROGRAM_WORDS@' -- "$cur"))
            return ;;
@CASES@    esac
    if [[ -z $ended ]]; then
        if [[ " $files " == *" $prev "* ]]; then
            _tarnwick_cli_files
            return
        fi
        [[ " $values " == *" $prev "* ]] && return
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
            return
        fi
    fi
    _tarnwick_cli_files
}

complete -F _tarnwick_cli @PROGRAM@
)";

void replaceAll(std::string& text, const std::string& placeholder, const std::string& value) {
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

} // namespace

std::string manualSynopsis(const CLI::App& program) {
    std::string out;
    for (const CLI::App* command : commandsOf(program)) {
        out += ".B " + roff(program.get_name() + " " + command->get_name()) + "\n";
        for (const UsagePart& part : usageOf(*command)) {
            std::string text;
            for (const CLI::Option* option : part.alternatives)
                text += (text.empty() ? "" : " | ") + roffUsage(*option);
            out += (part.optional ? "[" + text + "]" : text) + "\n";
        }
        out += ".br\n";
    }
    out += ".B " + roff(program.get_name()) + "\n";
    std::string options;
    for (const CLI::Option* option : program.get_options())
        options += (options.empty() ? "" : " | ") + bold(nameOf(*option));
    return out + options + "\n";
}

std::string manualCommands(const CLI::App& program) {
    std::string out;
    for (const CLI::App* command : commandsOf(program))
        out +=
            ".TP\n.B " + roff(command->get_name()) + "\n" + roff(command->get_description()) + "\n";
    return out;
}

std::string manualOptions(const CLI::App& program) {
    std::string out;
    for (const CLI::Option* option : program.get_options())
        out += optionEntry(*option, allNamesOf(*option));
    for (const CLI::App* command : commandsOf(program)) {
        out += ".SS " + roff(command->get_name()) + "\n";
        for (const CLI::Option* option : argumentsAndOptionsOf(*command))
            out += optionEntry(*option, nameOf(*option));
    }
    return out;
}

std::string bashCompletion(const CommandLine& line) {
    const CLI::App& program = line.program();
    std::vector<std::string> commandNames;
    std::string cases;
    for (const CLI::App* command : commandsOf(program)) {
        commandNames.push_back(command->get_name());
        std::vector<std::string> options{"--help"};
        std::vector<std::string> files;
        std::vector<std::string> values;
        for (const CLI::Option* option : argumentsAndOptionsOf(*command)) {
            if (option->get_positional())
                continue;
            options.push_back(nameOf(*option));
            if (!valueNameOf(*option).empty())
                (line.namesFile(*option) ? files : values).push_back(nameOf(*option));
        }
        cases += "        " + command->get_name() + ")\n            options='" + words(options) +
                 "'\n            files='" + words(files) + "'\n            values='" +
                 words(values) + "' ;;\n";
    }
    std::vector<std::string> programWords = commandNames;
    for (const CLI::Option* option : program.get_options())
        for (const std::string& name : option->get_lnames())
            programWords.push_back("--" + name);
    std::string commandPattern = words(commandNames);
    std::replace(commandPattern.begin(), commandPattern.end(), ' ', '|');

    std::string script = kBashCompletion;
    replaceAll(script, "@PROGRAM@", program.get_name());
    replaceAll(script, "@PROGRAM_WORDS@", words(programWords));
    replaceAll(script, "@COMMANDS@", commandPattern);
    replaceAll(script, "@CASES@", cases);
    return script;
}

} // namespace tarnwick
