// Memory of a large table written cell by cell, as the window's own tables are.
#include "commands/StringGrid.h"

#include "HeapUsage.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// Repeat counts, a dozen population names and unique sample names, as a by-haplotype result
// table of a large step limit holds them.
void fillLikeAResultTable(StringGrid& table) {
    std::mt19937 random(7);
    std::vector<std::string> populations;
    for (int i = 0; i < 12; ++i)
        populations.push_back("Population " + std::to_string(i));
    for (int row = 0; row < table.RowCount(); ++row) {
        table.setCells(0, row, "S" + std::to_string(row % 50));
        table.setCells(2, row, std::to_string(row % 15000 + 2));
        table.setCells(12, row, populations[random() % populations.size()]);
        table.setCells(11, row, "DB" + std::to_string(row % 15000));
        for (int col = 16; col < table.ColCount(); ++col)
            table.setCells(col, row, std::to_string(10 + random() % 12));
    }
}

void BM_ResultTableMemory(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int cols = 45;
    for (auto _ : state) {
        const std::size_t before = heapInUse();
        StringGrid table(cols, rows);
        fillLikeAResultTable(table);
        const std::size_t after = heapInUse();
        state.counters["MB"] = static_cast<double>(after - before) / 1e6;
        benchmark::DoNotOptimize(table.Cells(20, rows - 1));
    }
}
BENCHMARK(BM_ResultTableMemory)->Arg(750000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace tarnwick
