#include "core/matching/Matching.h"

#include "core/matching/ExactMatches.h"
#include "core/matching/PairedColumns.h"

namespace tarnwick {

MatchResult match(const HaplotypeTable& database, const HaplotypeTable& search, std::int64_t limit,
                  const MatchProgress& progress) {
    MatchResult result;
    result.pairs = pairLoci(database, search);
    PairedColumns columns(database, search, result.pairs);
    const std::size_t searches = search.haplotypes();
    result.searchesCompared = searches;
    for (std::size_t s = 0; s < searches; ++s) {
        if (auto failure = columns.conversionFailure(s)) {
            result.searchesCompared = s;
            result.failure = std::move(failure);
            break;
        }
    }
    std::optional<MatchesBySearch> comparisons;
    if (limit == 0)
        comparisons = findExactMatches(columns, result.searchesCompared);
    if (comparisons && progress)
        progress(result.searchesCompared, searches);
    if (!comparisons) {
        columns.useKernel(limit);
        comparisons = compareAll(columns, result.searchesCompared, searches, limit, progress);
    }
    result.matches = inSortedOrder(*comparisons);
    return result;
}

std::array<MarkerSlot, 3> markerSlots(std::span<const std::int64_t> differences) {
    std::array<MarkerSlot, 3> slots{};
    int oneStepLoci = 0;
    for (std::size_t k = 0; k < differences.size(); ++k) {
        const std::int64_t difference = differences[k];
        int slot = 0; // 1 to 3 when the locus is shown
        if (difference == 1 && ++oneStepLoci <= 3)
            slot = oneStepLoci;
        else if (difference == 2 || difference == 3)
            slot = static_cast<int>(difference);
        if (slot > 0)
            slots[static_cast<std::size_t>(slot - 1)] = {static_cast<int>(k), difference};
    }
    return slots;
}

} // namespace tarnwick
