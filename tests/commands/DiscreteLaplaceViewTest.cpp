// Calculate, "Discrete Laplace" through the window's commands: the two columns it adds to the
// match probabilities hold the core's estimates, Save writes them, their warnings come in one
// message, and a run stopped during the fits leaves everything as it was.
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/InputTables.h"
#include "commands/LoadCommand.h"
#include "commands/MatchProbabilityView.h"
#include "commands/SaveCommand.h"
#include "core/statistics/DiscreteLaplaceColumns.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// X and Y each fitted over DYS19 and DYS390; one man of X lacks DYS391, which leaves it out of
// X's fit. S2 is typed at no locus and gets no estimate.
const char* const kDatabase =
    "id,population,c2,c3,c4,c5,c6,DYS19,DYS390,DYS391\n"
    "1,X,,,,,,14,24,10\n2,X,,,,,,14,23,10\n3,X,,,,,,15,24,\n4,X,,,,,,13,22,11\n"
    "5,X,,,,,,14,24,10\n6,X,,,,,,16,25,12\n7,Y,,,,,,17,21,10\n8,Y,,,,,,17,22,11\n"
    "9,Y,,,,,,18,21,11\n10,Y,,,,,,16,21,10\n11,Y,,,,,,17,20,12\n";
const char* const kSearch = "sample,comment,DYS390,DYS19,DYS391\nS1,,24,14,10\nS2,,,,\n"
                            "S3,,21,17,13\n";

class DiscreteLaplaceView : public ::testing::Test {
protected:
    DiscreteLaplaceView()
        : directory(testing_files::scratchPath("tarnwick-discrete-laplace-view")),
          dialogs(workspace), loads(workspace, dialogs, measurer), save(workspace, dialogs) {
        fs::create_directories(directory);
        load(InputRole::Database, kDatabase);
        load(InputRole::Search, kSearch);
        dialogs.log.clear();
    }
    ~DiscreteLaplaceView() override { fs::remove_all(directory); }

    void load(InputRole role, const std::string& content) {
        const auto path = (directory / (role == InputRole::Database ? "db.csv" : "s.csv")).string();
        testing_files::writeFile(path, content);
        dialogs.fileAnswers = {path};
        dialogs.formActions = {[] {}};
        loads.load(role);
    }
    std::vector<std::string> cells() const {
        const StringGrid& grid = workspace.matchProbabilities;
        std::vector<std::string> all;
        for (int row = 0; row < grid.RowCount(); ++row)
            for (int col = 0; col < grid.ColCount(); ++col)
                all.push_back(grid.Cells(col, row));
        return all;
    }

    fs::path directory;
    Workspace workspace;
    test::ScriptedDialogs dialogs;
    FixedWidthMeasurer measurer{7};
    LoadCommands loads;
    SaveCommand save;
};

TEST_F(DiscreteLaplaceView, TheColumnsHoldTheCoreEstimatesAndAreSaved) {
    ASSERT_TRUE(showMatchProbabilities(workspace, dialogs, measurer));
    ASSERT_EQ(workspace.matchProbabilities.ColCount(), MatchProbabilityTable::kColumns)
        << "off by default";
    ASSERT_TRUE(setDiscreteLaplace(workspace, true, dialogs, measurer));
    const StringGrid& view = workspace.matchProbabilities;
    ASSERT_EQ(view.ColCount(), MatchProbabilityTable::kColumns + 2);
    constexpr int kP = MatchProbabilityTable::kColumns;
    EXPECT_EQ(view.Cells(kP, 0), "discrete_laplace");
    EXPECT_EQ(view.Cells(kP + 1, 0), "clusters");

    const auto database =
        haplotypesOf(workspace.StringGrid1, InputRole::Database, workspace.databaseReading);
    const auto search =
        haplotypesOf(workspace.StringGrid2, InputRole::Search, workspace.searchReading);
    const MatchProbabilities probabilities = matchProbabilities(*database, *search, 0.95);
    const FitWarning ignore = [](const std::string&) {};
    const auto estimates =
        discreteLaplaceEstimates(*database, *search, probabilities,
                                 fitPopulations(*database, ClusterRequest{}, ignore), ignore);
    ASSERT_EQ(view.RowCount(), static_cast<int>(estimates.size()) + 1);
    int estimated = 0;
    for (int row = 1; row < view.RowCount(); ++row) {
        const DiscreteLaplaceEstimate& estimate = estimates[static_cast<std::size_t>(row - 1)];
        EXPECT_EQ(view.Cells(kP, row), estimate.probability ? sixDigits(*estimate.probability) : "")
            << row;
        EXPECT_EQ(view.Cells(kP + 1, row),
                  estimate.clusters ? std::to_string(*estimate.clusters) : "")
            << row;
        const bool untyped = view.Cells(0, row) == "S2";
        if (view.Cells(2, row) == "All" || untyped)
            EXPECT_EQ(view.Cells(kP, row) + view.Cells(kP + 1, row), "") << row;
        else
            estimated += !view.Cells(kP, row).empty();
    }
    EXPECT_EQ(estimated, 4) << "S1 and S3 in X and Y";

    ASSERT_EQ(dialogs.log.size(), 1u) << "the warnings in one message";
    EXPECT_EQ(
        dialogs.log[0].rfind("message Discrete Laplace:\npopulation \"X\": DYS391 left out", 0), 0u)
        << dialogs.log[0];

    dialogs.fileAnswers = {(directory / "probabilities.xls").string()};
    save.run();
    const auto read = readHaplotypeTable((directory / "probabilities.xls").string(), kSheetLayout,
                                         CellReading::Integers);
    std::string scratch;
    EXPECT_EQ(read.table->text(kP, 0, scratch), "discrete_laplace");
    EXPECT_EQ(read.table->text(kP, 1, scratch), view.Cells(kP, 1));
    EXPECT_EQ(read.table->text(kP + 1, 1, scratch), view.Cells(kP + 1, 1));

    ASSERT_TRUE(setDiscreteLaplace(workspace, false, dialogs, measurer));
    EXPECT_EQ(view.ColCount(), MatchProbabilityTable::kColumns);
}

TEST_F(DiscreteLaplaceView, StoppedDuringTheFitsItLeavesTheViewAndTheSettingAsTheyWere) {
    ASSERT_TRUE(showMatchProbabilities(workspace, dialogs, measurer));
    const std::vector<std::string> before = cells();
    int calls = 0;
    const MatchProbabilityRun stopAtThird = [&calls](const MatchProbabilityInputs& inputs) {
        return computeMatchProbabilities(
            inputs, [&calls](const PopulationFitProgress&) { return ++calls < 3; });
    };
    EXPECT_FALSE(setDiscreteLaplace(workspace, true, dialogs, measurer, stopAtThird));
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(workspace.discreteLaplace);
    EXPECT_TRUE(workspace.matchProbabilities.Visible());
    EXPECT_EQ(cells(), before);
    EXPECT_TRUE(dialogs.log.empty());
}

} // namespace
} // namespace tarnwick
