// Population structure on a generated database of 10 populations of about 1,000 men typed at 23
// loci: the sample taken from the table, and the AMOVA of all populations and of each of the 45
// pairs with 9,999 permutations each. Wall time, and the CPU time of all the threads.
#include "core/statistics/ClassicalScaling.h"
#include "core/statistics/PopulationStructure.h"
#include "tools/HaplotypeGenerator.h"

#include <benchmark/benchmark.h>

namespace tarnwick {
namespace {

const HaplotypeTable& database() {
    static const GeneratedTables tables = [] {
        GeneratorOptions options = diverseOptions(10000, 1);
        options.populations = 10;
        options.loci = 23;
        options.shortProfileShare = 0;
        return generateTables(options);
    }();
    return *tables.database;
}

void BM_StructureSample(benchmark::State& state) {
    std::size_t men = 0;
    for (auto _ : state)
        men = structureSample(database()).men();
    state.counters["men"] = static_cast<double>(men);
}
BENCHMARK(BM_StructureSample)->Unit(benchmark::kMillisecond);

// Argument: 0 for RST, 1 for PhiST.
void BM_PopulationStructure(benchmark::State& state) {
    const StructureSample sample = structureSample(database());
    const auto distance = state.range(0) == 0 ? StructureDistance::Rst : StructureDistance::Fst;
    std::optional<PopulationStructure> structure;
    for (auto _ : state) {
        structure = populationStructure(sample, distance, {9999, 1, 0});
        const auto points = classicalScaling(
            pairwisePhiMatrix(*structure, sample.populations.size()), sample.populations.size());
        benchmark::DoNotOptimize(points);
    }
    state.counters["men"] = static_cast<double>(sample.men());
    state.counters["loci"] = static_cast<double>(sample.loci.size());
    state.counters["tests"] = static_cast<double>(structure->pairs.size() + 1);
    state.counters["phi"] = structure->global.phi.value_or(0);
}
BENCHMARK(BM_PopulationStructure)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
} // namespace tarnwick
