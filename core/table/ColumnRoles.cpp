#include "core/table/ColumnRoles.h"

#include "core/genotype/LocusKeys.h"

#include <algorithm>
#include <array>

namespace tarnwick {
namespace {

bool isNamedIn(std::string_view compared, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), compared) != names.end();
}

ColumnRole markedRole(const std::string& compared, std::span<const ColumnMark> marks) {
    for (const ColumnMark& mark : marks)
        if (comparedTitle(mark.title) == compared)
            return mark.role;
    return ColumnRole::Other;
}

bool isMarked(const std::string& compared, std::span<const ColumnMark> marks) {
    return std::any_of(marks.begin(), marks.end(), [&](const ColumnMark& mark) {
        return comparedTitle(mark.title) == compared;
    });
}

// Lower-cases ASCII and the Cyrillic capitals a default sheet name may start with.
std::string lowerCased(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (lower.starts_with("\xD0\x9B")) // Л
        lower.replace(0, 2, "\xD0\xBB");
    return lower;
}

} // namespace

std::string_view roleName(ColumnRole role) {
    switch (role) {
    case ColumnRole::Locus:
        return "locus";
    case ColumnRole::Population:
        return "population";
    case ColumnRole::Sample:
        return "sample";
    case ColumnRole::Count:
        return "count";
    case ColumnRole::Other:
        break;
    }
    return "other";
}

std::string comparedTitle(std::string_view title) {
    std::string compared;
    for (const char c : title)
        if (c != ' ' && c != '\t')
            compared += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return compared;
}

ColumnRole roleOfTitle(std::string_view title) {
    const std::string compared = comparedTitle(title);
    if (compared.empty())
        return ColumnRole::Other;
    if (isNamedIn(compared, {"POPULATION", "POPULATIONCODE", "POP", "GROUP"}))
        return ColumnRole::Population;
    if (isNamedIn(compared, {"SAMPLE", "SAMPLENAME", "ID", "HAPLOTYPE"}))
        return ColumnRole::Sample;
    if (isNamedIn(compared, {"COUNT", "N", "NUMBER", "WEIGHT"}))
        return ColumnRole::Count;
    return isLocusKey(locusKey(title)) ? ColumnRole::Locus : ColumnRole::Other;
}

std::vector<ColumnRole> columnRoles(std::span<const std::string> titles,
                                    std::span<const ColumnMark> marks) {
    std::vector<ColumnRole> roles;
    std::vector<bool> marked;
    for (const std::string& title : titles) {
        const std::string compared = comparedTitle(title);
        marked.push_back(isMarked(compared, marks));
        roles.push_back(marked.back() ? markedRole(compared, marks) : roleOfTitle(title));
    }
    // One column each for the population, the sample and the count: marked ones come first.
    for (const ColumnRole single :
         {ColumnRole::Population, ColumnRole::Sample, ColumnRole::Count}) {
        std::size_t chosen = roles.size();
        for (const bool byMark : {true, false})
            for (std::size_t c = 0; c < roles.size() && chosen == roles.size(); ++c)
                if (roles[c] == single && marked[c] == byMark)
                    chosen = c;
        for (std::size_t c = 0; c < roles.size(); ++c)
            if (roles[c] == single && c != chosen)
                roles[c] = ColumnRole::Other;
    }
    return roles;
}

bool isDefaultSheetName(std::string_view name) {
    static constexpr std::array<std::string_view, 16> kDefaultStems = {
        "sheet",
        "\xD0\xBB\xD0\xB8\xD1\x81\xD1\x82" /* лист */,
        "feuil",
        "tabelle",
        "hoja",
        "foglio",
        "planilha",
        "folha",
        "blad",
        "arkusz",
        "munkalap",
        "list",
        "ark",
        "taulukko",
        "\xE5\xB7\xA5\xE4\xBD\x9C\xE8\xA1\xA8" /* 工作表 */,
        "\xE3\x82\xB7\xE3\x83\xBC\xE3\x83\x88" /* シート */,
    };
    const std::string lower = lowerCased(name);
    for (const std::string_view stem : kDefaultStems) {
        if (!lower.starts_with(stem))
            continue;
        std::string_view rest = std::string_view(lower).substr(stem.size());
        if (rest.starts_with(' '))
            rest.remove_prefix(1);
        if (!rest.empty() &&
            std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return true;
    }
    return false;
}

} // namespace tarnwick
