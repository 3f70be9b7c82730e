// Fitting the discrete Laplace mixture for k = 1..5 to one population of generated men: each
// descends from one of 20 founders by single-step mutations (8 on average over the loci), so
// that almost every haplotype is different, as in real databases of 20 or more loci.
#include "core/statistics/DiscreteLaplaceFit.h"

#include <benchmark/benchmark.h>

#include <random>

namespace tarnwick {
namespace {

HaplotypeSample generatedMen(std::size_t men, std::size_t loci) {
    std::mt19937 random(11);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    std::vector<std::vector<int>> founders(20);
    for (auto& founder : founders)
        for (std::size_t l = 0; l < loci; ++l)
            founder.push_back(10 + static_cast<int>(l % 7) * 3 + pick(-2, 2));
    HaplotypeSample sample;
    sample.loci = loci;
    std::poisson_distribution<int> mutations(8.0);
    for (std::size_t i = 0; i < men; ++i) {
        std::vector<int> values = founders[static_cast<std::size_t>(pick(0, 19))];
        for (int m = mutations(random); m > 0; --m)
            values[static_cast<std::size_t>(pick(0, static_cast<int>(loci) - 1))] +=
                pick(0, 1) == 0 ? -1 : 1;
        sample.add(values);
    }
    return sample;
}

void fitOneToFiveClusters(benchmark::State& state) {
    const HaplotypeSample sample = generatedMen(static_cast<std::size_t>(state.range(0)),
                                                static_cast<std::size_t>(state.range(1)));
    state.counters["different"] = static_cast<double>(distinctHaplotypes(sample).count());
    for (auto _ : state) {
        const ClusterChoice choice = chooseClusters(sample, 5);
        state.counters["fits"] = static_cast<double>(choice.fits.size());
        state.counters["chosen_k"] = static_cast<double>(choice.chosen + 1);
        benchmark::DoNotOptimize(choice);
    }
}
BENCHMARK(fitOneToFiveClusters)
    ->Args({10000, 20})
    ->Args({100000, 23})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime() // the medoid search runs on every core
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

} // namespace
} // namespace tarnwick

BENCHMARK_MAIN();
