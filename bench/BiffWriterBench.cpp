// Writing a large table as a saved-table stream.
#include "commands/StringGrid.h"
#include "io/BiffWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace tarnwick {
namespace {

void BM_SaveTableAsBiff(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int cols = static_cast<int>(state.range(1));
    StringGrid table(cols, rows);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            table.setCells(col, row,
                           col < 7 ? "Sample " + std::to_string(row)
                                   : std::to_string(10 + (row + col) % 13));
    const auto path = std::filesystem::temp_directory_path() / "tarnwick-bench.xls";
    for (auto _ : state)
        SaveTableAsBiff(table, path);
    state.counters["MB_written"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
// A saved table holds at most 65,536 rows: the largest one with 40 columns, and one with as many
// cells (4 million) as a 100,000 x 40 table.
BENCHMARK(BM_SaveTableAsBiff)->Args({65536, 40})->Args({65536, 61})->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarnwick
