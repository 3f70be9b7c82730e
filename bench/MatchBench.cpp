// "Calculate" and "By populations" on generated databases of realistic structure.
#include "commands/Calculation.h"
#include "commands/PopulationViews.h"
#include "tools/HaplotypeGenerator.h"

#include "HeapUsage.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <sys/resource.h>

namespace tarnwick {
namespace {

struct Quiet : UserMessages {
    void showMessage(const std::string&) override {}
};

double maxResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

Workspace generatedWorkspace(int database, int search, const std::string& limit) {
    GeneratorOptions options;
    options.databaseHaplotypes = database;
    options.searchHaplotypes = search;
    options.populations = 16;
    options.seed = 11;
    const auto tables = generateTables(options);
    Workspace workspace;
    for (auto [grid, table] : {std::pair{&workspace.StringGrid1, tables.database},
                               std::pair{&workspace.StringGrid2, tables.search}}) {
        grid->setRowCount(table->rowCount() + 2); // as a load leaves it
        grid->setColCount(table->columnCount());
        grid->showCellsOf(table);
    }
    workspace.stepLimit = limit;
    return workspace;
}

// Arguments: database haplotypes, search haplotypes, step limit.
void BM_Calculate(benchmark::State& state) {
    const std::string limit = std::to_string(state.range(2));
    const Workspace prepared = generatedWorkspace(static_cast<int>(state.range(0)),
                                                  static_cast<int>(state.range(1)), limit);
    const FixedWidthMeasurer measurer(7);
    Quiet quiet;
    for (auto _ : state) {
        state.PauseTiming();
        auto workspace = std::make_unique<Workspace>(prepared);
        const std::size_t heapBefore = heapInUse();
        state.ResumeTiming();
        calculate(*workspace, quiet, measurer);
        state.PauseTiming();
        state.counters["result rows"] = workspace->StringGrid5.RowCount() - 1;
        state.counters["result MB"] = static_cast<double>(heapInUse() - heapBefore) / 1e6;
        workspace.reset();
        state.ResumeTiming();
    }
    state.counters["max RSS MB"] = maxResidentMegabytes();
}
BENCHMARK(BM_Calculate)
    ->Args({15000, 50, 3})
    ->Args({100000, 1000, 3})
    ->Args({15000, 50, 100000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_ByPopulations(benchmark::State& state) {
    Workspace workspace = generatedWorkspace(15000, 50, "100000");
    const FixedWidthMeasurer measurer(7);
    Quiet quiet;
    calculate(workspace, quiet, measurer);
    for (auto _ : state)
        showByPopulations(workspace, measurer);
    state.counters["result rows"] = workspace.StringGrid5.RowCount() - 1;
}
BENCHMARK(BM_ByPopulations)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace tarnwick
