#include "core/matching/ExactMatches.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

namespace tarnwick {
namespace {

constexpr std::size_t kMaxPairs = 64; // a pattern of typed loci is a 64-bit mask
constexpr std::size_t kMaxGroups = 32;

std::uint64_t mixed(std::uint64_t hash, std::int64_t value) {
    // splitmix64's finaliser over the running hash and the value
    std::uint64_t z = hash ^ (static_cast<std::uint64_t>(value) + 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The database haplotypes typed at the same loci, indexed by a hash of their values at the key
// loci: loci they all have that every search haplotype has too, so that each search haplotype
// looks up its matches in one place.
struct Group {
    std::uint64_t pattern = 0;
    std::uint64_t key = 0;
    std::vector<std::uint32_t> haplotypes;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> index; // sorted by hash, then haplotype
};

template <typename Value> std::uint64_t hashAt(std::uint64_t loci, Value value) {
    std::uint64_t hash = 0;
    for (std::uint64_t rest = loci; rest != 0; rest &= rest - 1)
        hash = mixed(hash, value(static_cast<std::size_t>(std::countr_zero(rest))));
    return hash;
}

std::uint64_t typedPattern(std::size_t pairs, auto value) {
    std::uint64_t pattern = 0;
    for (std::size_t k = 0; k < pairs; ++k)
        if (isTypedValue(value(k)))
            pattern |= std::uint64_t{1} << k;
    return pattern;
}

std::optional<std::vector<Group>> groupDatabase(const PairedColumns& columns) {
    std::vector<Group> groups;
    std::unordered_map<std::uint64_t, std::size_t> groupOf;
    for (std::size_t h = 0; h < columns.databaseHaplotypes(); ++h) {
        const std::uint64_t pattern = typedPattern(
            columns.pairCount(), [&](std::size_t k) { return columns.databaseValue(h, k); });
        const auto [entry, added] = groupOf.try_emplace(pattern, groups.size());
        if (added) {
            if (groups.size() == kMaxGroups)
                return std::nullopt;
            groups.push_back({pattern, 0, {}, {}});
        }
        groups[entry->second].haplotypes.push_back(static_cast<std::uint32_t>(h));
    }
    return groups;
}

} // namespace

std::optional<MatchesBySearch> findExactMatches(const PairedColumns& columns,
                                                std::size_t searches) {
    const std::size_t pairs = columns.pairCount();
    if (pairs > kMaxPairs)
        return std::nullopt;
    std::vector<std::uint64_t> searchPatterns(searches);
    std::uint64_t everySearch = ~std::uint64_t{0};
    for (std::size_t s = 0; s < searches; ++s) {
        searchPatterns[s] =
            typedPattern(pairs, [&](std::size_t k) { return columns.searchValue(s, k); });
        if (searchPatterns[s] != 0) // one with no typed locus matches nothing anyway
            everySearch &= searchPatterns[s];
    }
    auto groups = groupDatabase(columns);
    if (!groups)
        return std::nullopt;
    for (Group& group : *groups) {
        group.key = group.pattern & everySearch;
        if (group.key == 0 && group.pattern != 0)
            return std::nullopt;
        group.index.reserve(group.haplotypes.size());
        for (const std::uint32_t h : group.haplotypes)
            group.index.emplace_back(
                hashAt(group.key, [&](std::size_t k) { return columns.databaseValue(h, k); }), h);
        std::sort(group.index.begin(), group.index.end());
        group.haplotypes = {};
    }

    MatchesBySearch found;
    found.ends.reserve(searches);
    for (std::size_t s = 0; s < searches; ++s) {
        const std::size_t first = found.matches.size();
        for (const Group& group : *groups) {
            const std::uint64_t common = group.pattern & searchPatterns[s];
            if (common == 0)
                continue;
            const std::uint64_t hash =
                hashAt(group.key, [&](std::size_t k) { return columns.searchValue(s, k); });
            auto at = std::lower_bound(group.index.begin(), group.index.end(),
                                       std::pair<std::uint64_t, std::uint32_t>{hash, 0});
            for (; at != group.index.end() && at->first == hash; ++at) {
                const std::uint32_t h = at->second;
                bool equal = true;
                for (std::uint64_t rest = common; rest != 0 && equal; rest &= rest - 1) {
                    const auto k = static_cast<std::size_t>(std::countr_zero(rest));
                    equal = columns.databaseValue(h, k) == columns.searchValue(s, k);
                }
                if (equal)
                    found.matches.push_back({static_cast<std::uint32_t>(s), h, 0,
                                             static_cast<std::int32_t>(std::popcount(common))});
            }
        }
        std::sort(found.matches.begin() + static_cast<std::ptrdiff_t>(first), found.matches.end(),
                  [](const Match& a, const Match& b) { return a.database < b.database; });
        found.ends.push_back(found.matches.size());
    }
    return found;
}

} // namespace tarnwick
