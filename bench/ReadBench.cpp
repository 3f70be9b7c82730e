// Reading large sheets. The spreadsheets are made by bench/make-large-sheets.sh with LibreOffice;
// set TARNWICK_BENCH_DATA to their folder (those benchmarks skip without it). Generated
// databases of 100,000 and 1,000,000 haplotypes (34 columns) are written as CSV on first use.
#include "io/DelimitedTextWriter.h"
#include "io/WorkbookReader.h"
#include "tools/HaplotypeGenerator.h"

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
        rows = readHaplotypeTable(path, kDatabaseLayout, CellReading::TidiedIntegers)
                   .table->haplotypes();
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
// A generated database of this many haplotypes as CSV, written once per process.
std::string generatedCsv(int haplotypes) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tarnwick-bench-database-" + std::to_string(haplotypes) + ".csv");
    if (!std::filesystem::exists(path)) {
        GeneratorOptions options;
        options.databaseHaplotypes = haplotypes;
        options.searchHaplotypes = 1;
        const auto tables = generateTables(options);
        saveDelimitedText(*tables.database, tables.database->rowCount(), TextTableFormat::Csv,
                          path.string());
    }
    return path.string();
}

// Reading a generated database: each row of a real table's size, the time per haplotype should
// not grow with their number.
void BM_ReadGeneratedCsv(benchmark::State& state) {
    const std::string path = generatedCsv(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            readHaplotypeTable(path, kDatabaseLayout, CellReading::TidiedIntegers).table);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadGeneratedCsv)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ReadCompactXlsx100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsv100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXlsx100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXls65k)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarnwick
