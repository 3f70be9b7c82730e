#pragma once

// How the populations of a sample differ: the AMOVA of all of them and of each pair, with
// permutation p-values.

#include "core/statistics/Amova.h"
#include "core/statistics/PermutationTests.h"
#include "core/statistics/StructureSample.h"

#include <optional>
#include <vector>

namespace tarnwick {

struct PairwiseStructure {
    std::size_t a; // populations of the sample, a < b
    std::size_t b;
    Amova amova; // a two-population AMOVA with its own n0
    std::optional<double> pValue;
};

struct PopulationStructure {
    StructureDistance distance = StructureDistance::Rst;
    std::size_t permutations = 0;
    Amova global;
    std::optional<double> globalPValue;
    std::vector<PairwiseStructure> pairs; // (0, 1), (0, 2), ..., (1, 2), ...
};

// None when progress said stop.
std::optional<PopulationStructure> populationStructure(const StructureSample& sample,
                                                       StructureDistance distance,
                                                       const PermutationOptions& options,
                                                       const PermutationProgress& progress = {});

// The pairwise phis as a symmetric matrix (row by row, populations of the sample), negative
// values and none taken as 0: what classical scaling is given.
std::vector<double> pairwisePhiMatrix(const PopulationStructure& structure,
                                      std::size_t populations);

} // namespace tarnwick
