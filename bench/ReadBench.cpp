// Reading large sheets. The sheets are made by bench/make-large-sheets.sh with LibreOffice;
// set TARNWICK_BENCH_DATA to their folder (the benchmarks skip without it).
#include "io/WorkbookReader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarnwick {
namespace {

void readSheet(benchmark::State& state, const char* name) {
    const char* folder = std::getenv("TARNWICK_BENCH_DATA");
    const std::string path = folder ? std::string(folder) + "/" + name : "";
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError("set TARNWICK_BENCH_DATA to the folder of bench/make-large-sheets.sh");
        return;
    }
    std::size_t rows = 0;
    for (auto _ : state)
        rows = readHaplotypeTable(path, kDatabaseLayout, true).table->haplotypes();
    state.counters["haplotypes"] = static_cast<double>(rows);
}

void BM_ReadCsv100k(benchmark::State& state) {
    readSheet(state, "large.csv");
}
void BM_ReadXlsx100k(benchmark::State& state) {
    readSheet(state, "large.xlsx");
}
void BM_ReadXls65k(benchmark::State& state) {
    readSheet(state, "large65k.xls");
}
void BM_ReadCompactXlsx100k(benchmark::State& state) {
    readSheet(state, "large-compact.xlsx");
}
BENCHMARK(BM_ReadCompactXlsx100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsv100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXlsx100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXls65k)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarnwick
