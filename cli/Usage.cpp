#include "cli/Usage.h"

#include <algorithm>

namespace tarnwick {

std::vector<const CLI::App*> commandsOf(const CLI::App& program) {
    return program.get_subcommands(
        [](const CLI::App* command) { return !command->get_name().empty(); });
}

std::vector<const CLI::Option*> argumentsAndOptionsOf(const CLI::App& command) {
    auto list = command.get_options([&command](const CLI::Option* option) {
        return option != command.get_help_ptr() && option != command.get_help_all_ptr();
    });
    std::stable_partition(list.begin(), list.end(),
                          [](const CLI::Option* option) { return option->get_positional(); });
    return list;
}

std::string nameOf(const CLI::Option& option) {
    return option.get_positional() ? option.get_name(true) : option.get_name();
}

std::string valueNameOf(const CLI::Option& option) {
    return option.get_positional() || option.get_type_size() == 0 ? std::string()
                                                                  : option.get_type_name();
}

std::vector<UsagePart> usageOf(const CLI::App& command) {
    std::vector<UsagePart> parts;
    std::vector<const CLI::Option*> placed;
    for (const CLI::Option* option : argumentsAndOptionsOf(command)) {
        if (std::find(placed.begin(), placed.end(), option) != placed.end())
            continue;
        UsagePart part{{option}, !option->get_required()};
        for (const CLI::Option* other : option->get_excludes())
            if (std::find(placed.begin(), placed.end(), other) == placed.end())
                part.alternatives.push_back(other);
        placed.insert(placed.end(), part.alternatives.begin(), part.alternatives.end());
        parts.push_back(std::move(part));
    }
    return parts;
}

std::string usageText(const UsagePart& part) {
    std::string text;
    for (const CLI::Option* option : part.alternatives) {
        text += (text.empty() ? "" : " | ") + nameOf(*option);
        if (const std::string value = valueNameOf(*option); !value.empty())
            text += " " + value;
    }
    return part.optional ? "[" + text + "]" : text;
}

} // namespace tarnwick
