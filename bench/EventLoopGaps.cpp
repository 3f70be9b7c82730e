// The longest time the window's event loop is held during "Calculate" of 1,000,000 x 100
// haplotypes (27 loci, limit 3, the diversity of a large real collection) and during "Load
// database" of a 1,000,000-row CSV file of them: each command run in place, as before work went
// to a worker thread, and as the window runs it. Prints the median of three runs of each, in
// milliseconds. Also how long "Match probabilities" goes on after Cancel on that database, with
// the counting alone and with the discrete Laplace columns. "calculate", "load" or
// "probabilities" as the argument measures only that command; "edited" measures "Calculate"
// after the database was edited by hand.
#include "commands/Calculation.h"
#include "commands/MatchProbabilityView.h"
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
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

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

// "Calculate" after a cell of the database was edited by hand, so that the grid's cells are read
// into a table first: how long the edit holds the window (the grid takes cells of its own), the
// longest event-loop gap of the command through the window's runner, and the longest stretch
// without asking to go on.
void measureEditedCalculate(const GeneratedTables& tables, const QtTextMeasurer& measurer) {
    std::vector<double> edits;
    std::vector<double> windowRuns;
    std::vector<double> goOnSpacings;
    for (int run = 0; run < 3; ++run) {
        SilentDialogs dialogs;
        Program program(dialogs, measurer);
        install(program.workspace, tables);
        StringGrid& database = program.workspace.StringGrid1;
        const auto start = Clock::now();
        database.setCells(7, 1, database.Cells(7, 1)); // typed over with the same value
        edits.push_back(msSince(start));
        GoOnSpacing spacing;
        calculate(program.workspace, dialogs, measurer, spacing);
        goOnSpacings.push_back(spacing.longestMs);
        TForm1 window(program, dialogs, measurer);
        window.show();
        windowRuns.push_back(longestGapMs([&] { window.Button3Click(); }));
    }
    std::printf("Calculate 1,000,000 x 100 with the database edited (median of 3):\n"
                "  the edit %8.1f ms\n  window's runner %8.1f ms\n"
                "  longest stretch without asking to go on %8.1f ms\n",
                medianOfThree(edits), medianOfThree(windowRuns), medianOfThree(goOnSpacings));
}

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

// Runs work on a thread of its own, as the window does, and stops it after stopAfterMs (never when
// negative): returns how long the work went on after it was told to stop, or, when it was not
// stopped, how long it took in all.
double runStopping(double stopAfterMs,
                   const std::function<void(const std::atomic<bool>& stop)>& work) {
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    const auto start = Clock::now();
    std::thread worker([&] {
        work(stop);
        finished = true;
    });
    while (!finished && (stopAfterMs < 0 || msSince(start) < stopAfterMs))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto told = Clock::now();
    stop = true;
    worker.join();
    return msSince(stopAfterMs < 0 ? start : told);
}

// Answers "go on?" for "Match probabilities": no once stop is set, or once stopAfterMs have
// passed (never when negative); notes the longest stretch between two questions, from the start.
class Asking : public WorkRunner {
public:
    explicit Asking(const std::atomic<bool>& stop, double stopAfterMs = -1)
        : stop_(stop), stopAfterMs_(stopAfterMs) {}

    bool ask() {
        const auto now = Clock::now();
        longestMs =
            std::max(longestMs, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
        stopped_ = stopped_ || stop_ || (stopAfterMs_ >= 0 && msSince(start_) >= stopAfterMs_);
        return !stopped_;
    }
    void end() { ask(); }

    bool run(const std::string&, const std::function<void(const GoOn&)>& work) override {
        try {
            work([this](std::size_t, std::size_t) { return ask(); });
        } catch (const WorkCancelled&) {
        }
        return !stopped_;
    }

    double longestMs = 0;

private:
    const std::atomic<bool>& stop_;
    double stopAfterMs_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_ = start_;
    bool stopped_ = false;
};

// Runs the command with its counting and fits asking the runner.
void showProbabilities(Program& program, Dialogs& dialogs, const QtTextMeasurer& measurer,
                       Asking& asking) {
    const MatchProbabilityRun run = [&](const MatchProbabilityInputs& inputs) {
        return computeMatchProbabilities(
            inputs, [&](const PopulationFitProgress&) { return asking.ask(); },
            [&](std::size_t, std::size_t) {
                if (!asking.ask())
                    throw WorkCancelled();
            });
    };
    try {
        showMatchProbabilities(program.workspace, dialogs, measurer, run, asking);
    } catch (const WorkCancelled&) {
    }
    asking.end();
}

// The whole run's time, the longest stretch in which it does not ask to go on, and the longest of
// the delays after Cancel at a tenth, half and nine tenths of it; medians of three of each. The
// discrete Laplace fits of a million men take long: they are stopped after 10 s.
void measureProbabilities(const GeneratedTables& tables, const QtTextMeasurer& measurer) {
    for (const bool discreteLaplace : {false, true}) {
        SilentDialogs dialogs;
        Program program(dialogs, measurer);
        install(program.workspace, tables);
        program.workspace.discreteLaplace = discreteLaplace;
        const double limit = discreteLaplace ? 10000.0 : -1;
        std::vector<double> wholes;
        std::vector<double> spacings;
        for (int run = 0; run < 3; ++run) {
            const std::atomic<bool> never{false};
            Asking asking(never, limit);
            const auto start = Clock::now();
            showProbabilities(program, dialogs, measurer, asking);
            wholes.push_back(msSince(start));
            spacings.push_back(asking.longestMs);
        }
        const double whole = discreteLaplace ? limit : medianOfThree(wholes);
        std::vector<double> delays;
        for (int run = 0; run < 3; ++run) {
            double longest = 0;
            for (const double share : {0.1, 0.5, 0.9})
                longest = std::max(longest,
                                   runStopping(whole * share, [&](const std::atomic<bool>& stop) {
                                       Asking asking(stop);
                                       showProbabilities(program, dialogs, measurer, asking);
                                   }));
            delays.push_back(longest);
        }
        std::printf("Match probabilities%s, 1,000,000 x 100 (median of 3):\n"
                    "  whole run%s %8.1f ms\n"
                    "  longest stretch without asking to go on %8.1f ms\n"
                    "  longest delay after Cancel at 10, 50, 90 %% %8.1f ms\n",
                    discreteLaplace ? " with discrete Laplace" : "",
                    discreteLaplace ? " (stopped)" : "", medianOfThree(wholes),
                    medianOfThree(spacings), medianOfThree(delays));
    }
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
    if (only.empty() || only == "edited")
        measureEditedCalculate(tables, measurer);
    if (only.empty() || only == "probabilities")
        measureProbabilities(tables, measurer);
    return 0;
}
