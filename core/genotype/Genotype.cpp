#include "core/genotype/Genotype.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace tarnwick {
namespace {

std::string_view withoutSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool equalsIgnoringCase(std::string_view text, std::string_view upper) {
    return std::ranges::equal(text, upper, [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
    });
}

bool isMissingMark(std::string_view text) {
    constexpr std::array<std::string_view, 8> kMarks = {"",   "-",   "--", "?",
                                                        "NA", "N/A", "ND", "NR"};
    return std::ranges::any_of(
        kMarks, [&](std::string_view mark) { return equalsIgnoringCase(text, mark); });
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// n or n.p, n 1 to 999 (leading zeros allowed), p one digit: repeats * 10 + p.
std::optional<std::uint16_t> readAllele(std::string_view text) {
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    if (whole.empty() || !std::ranges::all_of(whole, isDigit))
        return std::nullopt;
    const auto digits = whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    if (digits.empty() || digits.size() > 3)
        return std::nullopt; // 0, or 1000 and more
    int repeats = 0;
    for (const char c : digits)
        repeats = repeats * 10 + (c - '0');
    int partial = 0;
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        if (fraction.size() != 1 || !isDigit(fraction[0]))
            return std::nullopt;
        partial = fraction[0] - '0';
    }
    return static_cast<std::uint16_t>(repeats * 10 + partial);
}

bool isSeparator(char c) {
    return c == ',' || c == '/' || c == ';' || c == '-';
}

std::int64_t alleleSteps(std::uint16_t a, std::uint16_t b) {
    const int repeats = std::abs(a / 10 - b / 10);
    return repeats + (a % 10 != b % 10 ? 1 : 0);
}

} // namespace

Genotype Genotype::ofRepeats(int repeats) {
    Genotype genotype;
    genotype.kind = Kind::Alleles;
    genotype.count = 1;
    genotype.alleles[0] = static_cast<std::uint16_t>(repeats * 10);
    return genotype;
}

Genotype readGenotype(std::string_view text) {
    text = withoutSpaces(text);
    if (text.starts_with('\''))
        text.remove_prefix(1);
    Genotype genotype;
    if (isMissingMark(text))
        return genotype;
    if (text == "0" || equalsIgnoringCase(text, "NULL")) {
        genotype.kind = Genotype::Kind::Null;
        return genotype;
    }
    genotype.kind = Genotype::Kind::Fault;
    std::size_t at = 0;
    while (true) {
        std::size_t end = at;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        const auto allele = readAllele(withoutSpaces(text.substr(at, end - at)));
        if (!allele || genotype.count == Genotype::kMaxAlleles)
            return genotype;
        genotype.alleles[genotype.count++] = *allele;
        if (end == text.size())
            break;
        at = end + 1;
    }
    std::sort(genotype.alleles.begin(), genotype.alleles.begin() + genotype.count);
    genotype.kind = Genotype::Kind::Alleles;
    return genotype;
}

std::string genotypeText(const Genotype& genotype) {
    if (genotype.kind == Genotype::Kind::Null)
        return "null";
    if (genotype.kind != Genotype::Kind::Alleles)
        return "";
    std::string text;
    for (std::size_t i = 0; i < genotype.count; ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(genotype.alleles[i] / 10);
        if (genotype.alleles[i] % 10 != 0) {
            text += '.';
            text += std::to_string(genotype.alleles[i] % 10);
        }
    }
    return text;
}

Genotype combinedCopies(const Genotype& a, const Genotype& b) {
    using Kind = Genotype::Kind;
    if (a.kind == Kind::Fault)
        return a;
    if (b.kind == Kind::Fault)
        return b;
    if (a.kind != Kind::Alleles && b.kind != Kind::Alleles)
        return a.kind == Kind::Null ? a : b; // null, or missing when both are
    Genotype both;
    both.kind = Kind::Alleles;
    for (const Genotype* part : {&a, &b})
        for (std::size_t i = 0; i < part->count && both.count < Genotype::kMaxAlleles; ++i)
            both.alleles[both.count++] = part->alleles[i];
    std::sort(both.alleles.begin(), both.alleles.begin() + both.count);
    return both;
}

Genotype asBothCopies(const Genotype& genotype) {
    Genotype both = genotype;
    if (genotype.kind == Genotype::Kind::Alleles && genotype.count == 1) {
        both.count = 2;
        both.alleles[1] = genotype.alleles[0];
    }
    return both;
}

std::int64_t genotypeSteps(const Genotype& a, const Genotype& b) {
    using Kind = Genotype::Kind;
    if (a.kind == Kind::Null || b.kind == Kind::Null)
        return a.kind == b.kind ? 0 : 1;
    const Genotype& shorter = a.count <= b.count ? a : b;
    const Genotype& longer = a.count <= b.count ? b : a;
    const std::size_t m = shorter.count;
    const std::size_t n = longer.count;
    if (m == n) {
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < m; ++i)
            sum += alleleSteps(a.alleles[i], b.alleles[i]);
        return sum;
    }
    // least[j]: the least sum pairing the first i values of the shorter list with distinct
    // values among the first j of the longer one, order kept.
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max() / 4;
    std::array<std::int64_t, Genotype::kMaxAlleles + 1> least{};
    for (std::size_t i = 1; i <= m; ++i) {
        std::array<std::int64_t, Genotype::kMaxAlleles + 1> next;
        next.fill(kNone);
        for (std::size_t j = i; j <= n; ++j)
            next[j] = std::min(next[j - 1], least[j - 1] + alleleSteps(shorter.alleles[i - 1],
                                                                       longer.alleles[j - 1]));
        least = next;
    }
    return static_cast<std::int64_t>(n - m) + least[n];
}

} // namespace tarnwick
