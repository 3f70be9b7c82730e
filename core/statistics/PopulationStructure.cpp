#include "core/statistics/PopulationStructure.h"

#include <algorithm>
#include <numeric>

namespace tarnwick {

std::optional<PopulationStructure> populationStructure(const StructureSample& sample,
                                                       StructureDistance distance,
                                                       const PermutationOptions& options,
                                                       const PermutationProgress& progress) {
    const std::size_t populations = sample.populations.size();
    std::vector<std::size_t> all(populations);
    std::iota(all.begin(), all.end(), std::size_t{0});
    const StructurePoints points(sample, distance);
    std::vector<PooledAmova> tests;
    tests.reserve(1 + populations * (populations - 1) / 2);
    tests.emplace_back(points, sample, all);
    for (std::size_t a = 0; a < populations; ++a)
        for (std::size_t b = a + 1; b < populations; ++b)
            tests.emplace_back(points, sample, std::vector<std::size_t>{a, b});
    std::vector<const PooledAmova*> pointers;
    pointers.reserve(tests.size());
    for (const PooledAmova& test : tests)
        pointers.push_back(&test);
    const auto p = permutationPValues(pointers, options, progress);
    if (!p)
        return std::nullopt;

    PopulationStructure structure;
    structure.distance = distance;
    structure.permutations = options.permutations;
    structure.global = tests[0].observed();
    structure.globalPValue = (*p)[0];
    std::size_t t = 1;
    for (std::size_t a = 0; a < populations; ++a)
        for (std::size_t b = a + 1; b < populations; ++b, ++t)
            structure.pairs.push_back({a, b, tests[t].observed(), (*p)[t]});
    return structure;
}

std::vector<double> pairwisePhiMatrix(const PopulationStructure& structure,
                                      std::size_t populations) {
    std::vector<double> matrix(populations * populations, 0);
    for (const PairwiseStructure& pair : structure.pairs) {
        const double phi = std::max(pair.amova.phi.value_or(0), 0.0);
        matrix[pair.a * populations + pair.b] = phi;
        matrix[pair.b * populations + pair.a] = phi;
    }
    return matrix;
}

} // namespace tarnwick
