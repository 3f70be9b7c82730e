#include "core/Matching.h"

#include "core/ExactMatches.h"
#include "core/PairedColumns.h"
#include "core/SelectionSortOrder.h"

#include <algorithm>
#include <thread>

namespace tarnwick {
namespace {

// Search haplotypes compared in one pass over the database, on each core.
constexpr std::size_t kSearchBatch = 64;

MatchesBySearch compareAll(const PairedColumns& columns, std::size_t comparable, std::size_t total,
                           std::int64_t limit, const MatchProgress& progress) {
    MatchesBySearch comparisons;
    // Batches of search haplotypes are compared side by side on the machine's cores; their
    // matches are then taken in search order, so the result does not depend on the threads.
    const auto threads =
        static_cast<std::size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    const std::size_t batch =
        std::clamp<std::size_t>((comparable + threads - 1) / threads, 1, kSearchBatch);
    std::vector<std::vector<std::vector<Match>>> batches(threads);
    for (std::size_t first = 0; first < comparable; first += threads * batch) {
        for (std::size_t t = 0; t < threads; ++t) {
            const std::size_t begin = std::min(first + t * batch, comparable);
            batches[t].resize(std::min(begin + batch, comparable) - begin);
        }
        std::vector<std::exception_ptr> failures(threads);
        {
            std::vector<std::jthread> helpers; // joined on leaving the scope, also on an error
            for (std::size_t t = 1; t < threads && !batches[t].empty(); ++t)
                helpers.emplace_back([&columns, &batches, &failures, first, t, batch, limit] {
                    try {
                        columns.findMatches(first + t * batch, limit, batches[t]);
                    } catch (...) {
                        failures[t] = std::current_exception();
                    }
                });
            columns.findMatches(first, limit, batches[0]);
        }
        for (const auto& failure : failures)
            if (failure)
                std::rethrow_exception(failure);
        std::size_t done = first;
        for (const auto& lists : batches) {
            for (const auto& matches : lists) {
                comparisons.matches.insert(comparisons.matches.end(), matches.begin(),
                                           matches.end());
                comparisons.ends.push_back(comparisons.matches.size());
                ++done;
            }
        }
        if (progress)
            progress(done, total);
    }
    return comparisons;
}

// The order the selection sort, repeated after each search haplotype, leaves the matches in.
std::vector<Match> inSortedOrder(const MatchesBySearch& comparisons) {
    SelectionSortOrder order(comparisons.matches.size());
    std::size_t next = 0;
    for (std::size_t end : comparisons.ends) {
        if (end == next)
            continue; // a pass over rows already sorted changes nothing
        for (; next < end; ++next)
            order.append(static_cast<std::int32_t>(comparisons.matches[next].steps),
                         static_cast<std::uint32_t>(next));
        order.sortPass();
    }
    std::vector<Match> sorted;
    sorted.reserve(order.size());
    for (const std::uint32_t item : order.items())
        sorted.push_back(comparisons.matches[item]);
    return sorted;
}

} // namespace

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
