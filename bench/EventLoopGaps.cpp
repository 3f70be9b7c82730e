// The longest time the window's event loop is held during "Calculate" of 1,000,000 x 100
// haplotypes (27 loci, limit 3, the diversity of a large real collection) and during "Load
// database" of a 1,000,000-row CSV file of them: each command run in place, as before work went
// to a worker thread, and as the window runs it. Prints the median of three runs of each, in
// milliseconds. "calculate" or "load" as the argument measures only that command.
#include "commands/Calculation.h"
#include "commands/Program.h"
#include "io/DelimitedTextWriter.h"
#include "tools/HaplotypeGenerator.h"
#include "ui/Fonts.h"
#include "ui/QtTextMeasurer.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarnwick {
namespace {

// Answers nothing and shows nothing, so that only the work holds the loop.
class SilentDialogs : public Dialogs {
public:
    void showMessage(const std::string&) override {}
    std::optional<std::string> runFileDialog(const FileDialogState&) override { return {}; }
    void showModal(FormId, const std::string&) override {}
    bool runImportDialog(ImportPreview&) override { return false; }
    void showError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

void install(Workspace& workspace, const GeneratedTables& tables) {
    for (auto [grid, table] : {std::pair{&workspace.StringGrid1, tables.database},
                               std::pair{&workspace.StringGrid2, tables.search}}) {
        grid->setRowCount(table->rowCount() + 2); // as a load leaves it
        grid->setColCount(table->columnCount());
        grid->showCellsOf(table);
    }
    // As a load leaves them: the tables read as the grids show them.
    workspace.databaseReading = tables.database->reading();
    workspace.searchReading = tables.search->reading();
    workspace.stepLimit = std::to_string(3);
}

// Runs the command from the event loop; returns the longest gap between ticks of a 5 ms timer.
double longestGapMs(const std::function<void()>& command) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticks.start(5);
    QTimer::singleShot(20, [&] {
        command();
        QTimer::singleShot(20, qApp, &QApplication::quit);
    });
    clock.start();
    QApplication::exec();
    // The gap at the end of the command, before the next tick.
    longest = std::max(longest, clock.nsecsElapsed() - last);
    return static_cast<double>(longest) / 1e6;
}

double medianOfThree(std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    return runs[1];
}

void measureCalculate(const GeneratedTables& tables, const QtTextMeasurer& measurer) {
    std::vector<double> inPlaceRuns;
    std::vector<double> windowRuns;
    for (int run = 0; run < 3; ++run) {
        SilentDialogs dialogs;
        Program program(dialogs, measurer);
        install(program.workspace, tables);
        TForm1 window(program, dialogs, measurer);
        window.show();
        inPlaceRuns.push_back(
            longestGapMs([&] { calculate(program.workspace, dialogs, measurer); }));
        windowRuns.push_back(longestGapMs([&] { window.Button3Click(); }));
    }
    std::printf("Calculate 1,000,000 x 100, longest event-loop gap (median of 3):\n"
                "  in place        %8.1f ms\n  window's runner %8.1f ms\n",
                medianOfThree(inPlaceRuns), medianOfThree(windowRuns));
}

// Runs the work in place and notes the longest stretch in which it did not ask whether to go on:
// how long the window's Cancel could wait at most, less the runner's 20 ms poll.
class GoOnSpacing : public WorkRunner {
public:
    bool run(const std::string&, const std::function<void(const GoOn&)>& work) override {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        work([&](std::size_t, std::size_t) {
            longestMs = std::max(longestMs, static_cast<double>(clock.nsecsElapsed() - last) / 1e6);
            last = clock.nsecsElapsed();
            return true;
        });
        longestMs = std::max(longestMs, static_cast<double>(clock.nsecsElapsed() - last) / 1e6);
        return true;
    }
    double longestMs = 0;
};

// Loads the generated database written as CSV text, as a large collection comes from elsewhere.
void measureLoad(const GeneratedTables& tables, const QtTextMeasurer& measurer) {
    const auto folder = std::filesystem::temp_directory_path() /
                        std::string("tarnwick-event-loop-").append(std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "database.csv").string();
    saveDelimitedText(*tables.database, tables.database->rowCount(), TextTableFormat::Csv, file);
    std::vector<double> inPlaceRuns;
    std::vector<double> windowRuns;
    std::vector<double> goOnSpacings;
    for (int run = 0; run < 3; ++run) {
        SilentDialogs dialogs;
        Program program(dialogs, measurer);
        GoOnSpacing spacing;
        program.loads.load(InputRole::Database, file, spacing);
        goOnSpacings.push_back(spacing.longestMs);
        TForm1 window(program, dialogs, measurer);
        window.show();
        inPlaceRuns.push_back(longestGapMs([&] {
            program.loads.load(InputRole::Database, file);
            window.refreshWidgets();
        }));
        windowRuns.push_back(longestGapMs([&] { window.loadDatabaseFile(file); }));
    }
    std::filesystem::remove_all(folder);
    std::printf("Load database, CSV of 1,000,000 rows, longest event-loop gap (median of 3):\n"
                "  in place        %8.1f ms\n  window's runner %8.1f ms\n"
                "  longest stretch without asking to go on %8.1f ms\n",
                medianOfThree(inPlaceRuns), medianOfThree(windowRuns), medianOfThree(goOnSpacings));
}

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    using namespace tarnwick;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const std::string only = argc > 1 ? argv[1] : "";
    const GeneratedTables tables = generateTables(diverseOptions(1000000, 100));
    const QtTextMeasurer measurer(msSansSerif8());
    if (only.empty() || only == "calculate")
        measureCalculate(tables, measurer);
    if (only.empty() || only == "load")
        measureLoad(tables, measurer);
    return 0;
}
