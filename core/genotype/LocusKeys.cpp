#include "core/genotype/LocusKeys.h"

#include <algorithm>
#include <array>
#include <initializer_list>
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

namespace {

// Reads a run of digits from the front of text, between least and most of them.
bool takeDigits(std::string_view& text, std::size_t least, std::size_t most) {
    std::size_t n = 0;
    while (n < text.size() && n < most && text[n] >= '0' && text[n] <= '9')
        ++n;
    if (n < least || (n < text.size() && n == most && text[n] >= '0' && text[n] <= '9'))
        return false;
    text.remove_prefix(n);
    return true;
}

bool takePrefix(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool isOneOf(std::string_view rest, std::initializer_list<std::string_view> endings) {
    for (const std::string_view ending : endings)
        if (rest == ending)
            return true;
    return false;
}

} // namespace

bool isLocusKey(std::string_view key) {
    std::string_view rest = key;
    if (takePrefix(rest, "DYS"))
        return takeDigits(rest, 2, 4) && isOneOf(rest, {"", "I", "II", "III", "A", "B", "C", "D"});
    if (takePrefix(rest, "DYF"))
        return takeDigits(rest, 3, 3) && isOneOf(rest, {"S1", "S1A", "S1B", "S1C"});
    if (takePrefix(rest, "GATA"))
        return rest.size() >= 2 && rest[0] >= 'A' && rest[0] <= 'Z' &&
               (rest.remove_prefix(1), takeDigits(rest, 1, 3)) && rest.empty();
    if (takePrefix(rest, "YCAII"))
        return isOneOf(rest, {"", "A", "B"});
    if (takePrefix(rest, "DXYS"))
        return takeDigits(rest, 1, 5) && rest == "Y";
    return false;
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
