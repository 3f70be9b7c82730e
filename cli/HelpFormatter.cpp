#include "cli/HelpFormatter.h"

#include "cli/Usage.h"

#include <sstream>

namespace tarnwick {
namespace {

constexpr std::size_t kWidth = 100;
constexpr std::size_t kIndent = 8;             // a command's description and its options
constexpr std::size_t kDescriptionColumn = 30; // an option's description
constexpr std::size_t kLeastGap = 2;

std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Appends the pieces separated by spaces, from column on, breaking lines before kWidth to go on at
// indent; ends the line.
void appendWrapped(std::string& out, std::size_t column, const std::vector<std::string>& pieces,
                   std::size_t indent) {
    bool first = true;
    for (const std::string& piece : pieces) {
        if (!first && column + 1 + piece.size() > kWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += piece;
        column += piece.size();
        first = false;
    }
    out += '\n';
}

// Pads line with spaces to column, or ends it and starts a new one there if it has passed it.
std::size_t padTo(std::string& out, std::size_t lineStart, std::size_t column) {
    const std::size_t length = out.size() - lineStart;
    if (length + kLeastGap > column)
        out += "\n" + std::string(column, ' ');
    else
        out += std::string(column - length, ' ');
    return column;
}

std::string usageLine(const CLI::App& program, const CLI::App& command) {
    std::string out = "  " + program.get_name() + " " + command.get_name() + " ";
    std::vector<std::string> pieces;
    for (const UsagePart& part : usageOf(command))
        pieces.push_back(usageText(part));
    appendWrapped(out, out.size(), pieces, out.size());
    return out;
}

std::string programOptionsLine(const CLI::App& program) {
    std::string out = "  " + program.get_name() + " ";
    std::string options;
    for (const CLI::Option* option : program.get_options())
        options += (options.empty() ? "" : " | ") + option->get_name();
    return out + options + "\n";
}

std::string commandSection(const CLI::App& command) {
    std::string out = command.get_name();
    // A long name keeps its description on its line.
    out += std::string(out.size() + kLeastGap < kIndent ? kIndent - out.size() : 3, ' ');
    std::size_t column = out.size();
    appendWrapped(out, column, wordsOf(command.get_description()), kIndent);
    for (const CLI::Option* option : argumentsAndOptionsOf(command)) {
        const std::size_t lineStart = out.size();
        out += std::string(kIndent, ' ') + nameOf(*option);
        if (const std::string value = valueNameOf(*option); !value.empty())
            out += " " + value;
        column = padTo(out, lineStart, kDescriptionColumn);
        appendWrapped(out, column, wordsOf(option->get_description()), kDescriptionColumn);
    }
    return out;
}

} // namespace

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
    const CLI::App* program = app;
    while (program->get_parent())
        program = program->get_parent();
    std::string out = "Usage:\n";
    if (app == program) {
        const auto commands = commandsOf(*program);
        for (const CLI::App* command : commands)
            out += usageLine(*program, *command);
        out += programOptionsLine(*program);
        for (const CLI::App* command : commands)
            out += "\n" + commandSection(*command);
    } else {
        out += usageLine(*program, *app) + "\n" + commandSection(*app);
    }
    return out + "\n" + program->get_footer();
}

} // namespace tarnwick
