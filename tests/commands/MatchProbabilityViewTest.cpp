// Calculate, "Match probabilities" through the window's commands: when it can be used, what it
// shows and switches, how By haplotype(s) returns from it and how Save writes it.
#include "commands/MatchProbabilityView.h"
#include "ScriptedDialogs.h"
#include "StoppingRunner.h"
#include "TestFiles.h"
#include "commands/LoadCommand.h"
#include "commands/PopulationViews.h"
#include "commands/SaveCommand.h"
#include "commands/ViewStates.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class MatchProbabilityView : public ::testing::Test {
protected:
    MatchProbabilityView()
        : directory(testing_files::scratchPath("tarnwick-probability-view")), dialogs(workspace),
          loads(workspace, dialogs, measurer), save(workspace, dialogs) {
        fs::create_directories(directory);
    }
    ~MatchProbabilityView() override { fs::remove_all(directory); }

    void load(InputRole role, const std::string& content) {
        const auto path = (directory / (role == InputRole::Database ? "db.csv" : "s.csv")).string();
        testing_files::writeFile(path, content);
        dialogs.fileAnswers = {path};
        dialogs.formActions = {[] {}};
        loads.load(role);
    }
    std::string views() const {
        const Workspace& w = workspace;
        return std::to_string(w.StringGrid1.Visible()) + std::to_string(w.StringGrid2.Visible()) +
               std::to_string(w.StringGrid5.Visible()) + std::to_string(w.StringGrid7.Visible()) +
               std::to_string(w.matchProbabilities.Visible());
    }
    std::string enabled() const {
        const EnabledCommands& e = workspace.enabled;
        return std::to_string(e.Button4) + std::to_string(e.Save1) + std::to_string(e.Button5) +
               std::to_string(e.Button6);
    }

    fs::path directory;
    Workspace workspace;
    test::ScriptedDialogs dialogs;
    FixedWidthMeasurer measurer{7};
    LoadCommands loads;
    SaveCommand save;
};

TEST_F(MatchProbabilityView, ShowsFrequenciesInItsOwnViewAndGivesWayToTheOthers) {
    EXPECT_FALSE(canShowMatchProbabilities(workspace)) << "nothing loaded";
    load(InputRole::Database, "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n"
                              "1,X,,,,,,14,24\n2,X,,,,,,14,24\n3,Y,,,,,,15,24\n");
    EXPECT_FALSE(canShowMatchProbabilities(workspace)) << "no search haplotypes yet";
    load(InputRole::Search, "sample,comment,DYS390,DYS19\nS1,,24,14\n");
    ASSERT_TRUE(canShowMatchProbabilities(workspace));
    test::ScriptedDialogs messages(workspace);
    showMatchProbabilities(workspace, messages, measurer);
    EXPECT_EQ(views(), "00001");
    EXPECT_EQ(enabled(), "1101");
    EXPECT_EQ(workspace.statusLine, kMatchProbabilitiesStatus);
    const StringGrid& shown = workspace.matchProbabilities;
    ASSERT_EQ(shown.RowCount(), 4) << "X, Y and All";
    EXPECT_EQ(shown.Cells(0, 0), "sample");
    EXPECT_EQ(shown.Cells(2, 1), "X");
    EXPECT_EQ(shown.Cells(4, 1), "2");
    EXPECT_EQ(shown.Cells(5, 1), "1");
    EXPECT_EQ(shown.Cells(2, 3), "All");
    EXPECT_EQ(shown.Cells(5, 3), "0.666667");
    EXPECT_GT(shown.ColWidths(9), 0);

    // Save writes it, with ".xls" added, before anything else shown.
    dialogs.fileAnswers = {(directory / "probabilities").string()};
    dialogs.log.clear();
    save.run();
    ASSERT_EQ(dialogs.log.size(), 2u);
    EXPECT_EQ(dialogs.log[1], "message Save match probabilities | ");
    const auto read = readHaplotypeTable((directory / "probabilities.xls").string(), kSheetLayout,
                                         CellReading::Integers);
    std::string scratch;
    EXPECT_EQ(read.table->text(5, 3, scratch), "0.666667");

    showByHaplotypes(workspace);
    EXPECT_EQ(views(), "00100");
    EXPECT_EQ(workspace.statusLine, "") << "the status went with the view";
}

TEST_F(MatchProbabilityView, NotWithFaultsNorWithTablesReadDifferently) {
    load(InputRole::Database, "id,population,c2,c3,c4,c5,c6,DYS19\n1,X,,,,,,NA\n");
    load(InputRole::Search, "sample,comment,DYS19\nS1,,14\n");
    EXPECT_FALSE(canShowMatchProbabilities(workspace)) << "the database has a faulty cell";
    workspace.readGenotypes = true;
    load(InputRole::Database, "id,population,c2,c3,c4,c5,c6,DYS19\n1,X,,,,,,NA\n");
    ASSERT_TRUE(canShowMatchProbabilities(workspace)) << "NA is no fault as a genotype";
    test::ScriptedDialogs messages(workspace);
    showMatchProbabilities(workspace, messages, measurer);
    EXPECT_EQ(messages.log.size(), 1u);
    EXPECT_FALSE(workspace.matchProbabilities.Visible());
}

// Counting cancelled early, halfway or at its end, whether it would show the match probabilities
// or add the discrete Laplace columns to them, leaves the views, the enabled commands, the status
// line, the table shown and the setting as they were.
TEST_F(MatchProbabilityView, ACancelledCountingLeavesEverythingAsItWas) {
    std::string database = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390,DYS391\n";
    for (int h = 0; h < 300; ++h)
        database += std::to_string(h) + "," + (h % 3 ? "X" : "Y") + ",,,,,," +
                    std::to_string(13 + h % 4) + "," + std::to_string(22 + h % 5) + "," +
                    std::to_string(10 + h % 2) + "\n";
    load(InputRole::Database, database);
    // Two sets of loci typed: two passes of counting.
    load(InputRole::Search, "sample,comment,DYS19,DYS390,DYS391\nS1,,14,24,10\nS2,,15,23,\n");
    const auto state = [&] {
        std::string shown = views() + enabled() + workspace.statusLine + "|" +
                            std::to_string(workspace.discreteLaplace) + "|";
        const StringGrid& table = workspace.matchProbabilities;
        for (int row = 0; row < table.RowCount(); ++row)
            for (int col = 0; col < table.ColCount(); ++col)
                shown += table.Cells(col, row) + ",";
        return shown;
    };
    test::ScriptedDialogs messages(workspace);
    const std::function<bool(WorkRunner&)> commands[] = {
        [&](WorkRunner& runner) {
            return showMatchProbabilities(workspace, messages, measurer, {}, runner);
        },
        [&](WorkRunner& runner) {
            return setDiscreteLaplace(workspace, true, messages, measurer, {}, runner);
        },
    };
    for (std::size_t command = 0; command < std::size(commands); ++command)
        for (const std::size_t percent : {10U, 50U, 99U}) {
            workspace.discreteLaplace = false;
            showByPopulations(workspace, measurer);
            workspace.statusLine = "as before";
            if (command == 1)
                showMatchProbabilities(workspace, messages, measurer);
            const std::string before = state();
            test::CancellingRunner runner(percent);
            EXPECT_FALSE(commands[command](runner));
            EXPECT_EQ(runner.phases, std::vector<std::string>{"Comparing"});
            EXPECT_EQ(state(), before) << "command " << command << " cancelled at " << percent;
            test::CancellingRunner never(101);
            EXPECT_TRUE(commands[command](never));
            EXPECT_NE(state(), before) << "command " << command;
        }
}

} // namespace
} // namespace tarnwick
