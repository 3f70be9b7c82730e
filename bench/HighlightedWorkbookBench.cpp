// The workbook with highlighted faulty cells, at the size of a large database.
#include "commands/StringGrid.h"
#include "io/HighlightedWorkbookWriter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace tarnwick {
namespace {

void BM_SaveTableWithHighlights(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int cols = static_cast<int>(state.range(1));
    StringGrid table(cols, rows);
    std::mt19937 random(5);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            table.setCells(col, row,
                           col < 7 ? "text " + std::to_string(row % 997)
                                   : std::to_string(10 + random() % 20));
    std::vector<CellPosition> cells;
    for (int i = 0; i < state.range(2); ++i)
        cells.push_back({7 + static_cast<int>(random() % (cols - 7)),
                         1 + static_cast<int>(random() % (rows - 1))});
    const auto path = std::filesystem::temp_directory_path() / "tarnwick-bench-highlighted.xlsx";
    for (auto _ : state)
        SaveTableWithHighlights(table, cells, path.string());
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveTableWithHighlights)
    ->Args({100000, 30, 1000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace tarnwick
