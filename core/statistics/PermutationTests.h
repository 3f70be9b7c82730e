#pragma once

// Permutation tests of AMOVAs: the men shuffled among the populations compared, the sizes kept.

#include "core/statistics/PooledAmova.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tarnwick {

// Called now and then, on the caller's thread, with the permutations done and all of them;
// returns whether to go on.
using PermutationProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct PermutationOptions {
    std::size_t permutations = 9999;
    std::uint64_t seed = 1;
    unsigned threads = 0; // 0: as many as the machine runs at once
};

// The p-value of each test: (k + 1) / (R + 1), k the permutations with phi at least the
// observed phi less 1e-12; none when the observed phi is none or R is 0. The permutations run
// in blocks, each with its own generator seeded from the seed, the test and the block, so that
// the same seed gives the same p-values whatever the threads. None when progress said stop.
std::optional<std::vector<std::optional<double>>>
permutationPValues(const std::vector<const PooledAmova*>& tests, const PermutationOptions& options,
                   const PermutationProgress& progress = {});

} // namespace tarnwick
