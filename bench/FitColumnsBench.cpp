// Fitting the column widths of a 750,000-row result table in the views' font.
#include "commands/TableOperations.h"
#include "ui/Fonts.h"
#include "ui/QtTextMeasurer.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace tarnwick {
namespace {

void BM_FitColumnWidthsInTheViewFont(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    StringGrid table(45, rows);
    std::mt19937 random(3);
    const char* populations[] = {"Russians", "Татары", "Коми-пермяки", "Finns", "Poles"};
    for (int row = 0; row < rows; ++row) {
        table.setCells(0, row, "S" + std::to_string(row % 50));
        table.setCells(2, row, std::to_string(row % 15000 + 2));
        table.setCells(12, row, populations[random() % 5]);
        for (int col = 18; col < 45; ++col)
            table.setCells(col, row, std::to_string(10 + random() % 20));
    }
    const QtTextMeasurer measurer(msSansSerif8());
    for (auto _ : state)
        fitColumnWidths(table, measurer);
}
BENCHMARK(BM_FitColumnWidthsInTheViewFont)
    ->Arg(750000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    tarnwick::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
