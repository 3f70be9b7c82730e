#include "core/genotype/LocusKeys.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tarnwick {

std::string locusKey(std::string_view title) {
    std::string key;
    for (const char c : title) {
        if (c == ' ' || c == '\t' || c == '-' || c == '_' || c == '.')
            continue;
        key += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (key.starts_with("YGATA"))
        key.erase(0, 1);
    if (key.ends_with("A/B"))
        key.erase(key.size() - 3);
    constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kAliases = {{
        {"DYS394", "DYS19"},
        {"DYS395", "DYS393"},
        {"GATAA4", "DYS439"},
        {"GATAA71", "DYS460"},
        {"GATAA72", "DYS461"},
        {"GATAC4", "DYS635"},
    }};
    for (const auto& [alias, name] : kAliases)
        if (key == alias)
            return std::string(name);
    return key;
}

bool isDuplicatedLocus(std::string_view key) {
    constexpr std::array<std::string_view, 7> kDuplicated = {
        "DYS385", "DYF387S1", "DYS459", "YCAII", "DYS527", "DYS528", "DYF404S1"};
    return std::find(kDuplicated.begin(), kDuplicated.end(), key) != kDuplicated.end();
}

std::string titleWithoutCopy(std::string_view title) {
    if (title.ends_with('a') || title.ends_with('A'))
        title.remove_suffix(1);
    while (!title.empty() && std::string_view(" -_.").find(title.back()) != std::string_view::npos)
        title.remove_suffix(1);
    return std::string(title);
}

} // namespace tarnwick
