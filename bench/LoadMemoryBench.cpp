// Five different databases of a million cells loaded one after another as the window loads them:
// the heap and the process's resident memory after each, beside what one load of each takes.
#include "commands/LoadCommand.h"
#include "tools/HaplotypeGenerator.h"

#include "HeapUsage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// Answers the file dialog with a file and closes every form with "OK".
struct LoadingDialogs : Dialogs {
    std::string file;
    void showMessage(const std::string&) override {}
    std::optional<std::string> runFileDialog(const FileDialogState&) override { return file; }
    bool runImportDialog(ImportPreview&) override { return true; }
    void showModal(FormId, const std::string&) override {}
    void showError(const std::string&) override {}
};

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    double size = 0;
    double resident = 0;
    statm >> size >> resident;
    return resident * 4096 / 1e6;
}

// 30,000 haplotypes of 34 columns, a different database for each seed: its own sample names and
// comments, as files from different studies have.
std::string millionCellFile(unsigned seed) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tarnwick-bench-load-" + std::to_string(seed) + ".csv");
    if (!std::filesystem::exists(path)) {
        GeneratorOptions options = diverseOptions(30000, 1);
        options.seed = seed;
        const auto tables = generateTables(options);
        std::ofstream out(path);
        std::string scratch;
        for (int row = 0; row < tables.database->rowCount(); ++row) {
            for (int col = 0; col < tables.database->columnCount(); ++col) {
                const std::string_view text = tables.database->text(col, row, scratch);
                if (col > 0)
                    out << ',';
                if (row > 0 && (col == 0 || col == 6))
                    out << "study " << seed << " " << (col == 0 ? "sample " : "note ") << row;
                else
                    out << text;
            }
            out << '\n';
        }
    }
    return path.string();
}

void load(Workspace& workspace, const std::string& file) {
    LoadingDialogs dialogs;
    dialogs.file = file;
    const FixedWidthMeasurer measurer(7);
    LoadCommands commands(workspace, dialogs, measurer);
    commands.Button1Click();
}

// Run each in a process of its own (--benchmark_filter), so that nothing an earlier load left
// counts: the five in a row, and each file alone (argument: which one).
void BM_LoadFiveInARow(benchmark::State& state) {
    for (auto _ : state) {
        Workspace workspace;
        const std::size_t before = heapInUse();
        for (unsigned seed = 1; seed <= 5; ++seed) {
            load(workspace, millionCellFile(seed));
            const std::string name = "load " + std::to_string(seed);
            state.counters[name + " heap MB"] = static_cast<double>(heapInUse() - before) / 1e6;
            state.counters[name + " RSS MB"] = residentMegabytes();
        }
    }
}
BENCHMARK(BM_LoadFiveInARow)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LoadOne(benchmark::State& state) {
    const std::string file = millionCellFile(static_cast<unsigned>(state.range(0)));
    for (auto _ : state) {
        Workspace workspace;
        const std::size_t before = heapInUse();
        load(workspace, file);
        state.counters["heap MB"] = static_cast<double>(heapInUse() - before) / 1e6;
        state.counters["RSS MB"] = residentMegabytes();
    }
}
BENCHMARK(BM_LoadOne)->DenseRange(1, 5)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace tarnwick
