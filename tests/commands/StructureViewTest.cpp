// Calculate, "Population structure" through the window's commands: what the view shows and
// switches, what Save writes, that a cancelled run changes nothing, and the plot's geometry.
#include "commands/StructureView.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/LoadCommand.h"
#include "commands/PopulationViews.h"
#include "commands/SaveCommand.h"
#include "commands/ViewStates.h"
#include "core/Error.h"
#include "core/statistics/MatchProbabilities.h"
#include "core/statistics/StructurePlot.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// A and B hold the same men; C differs from both at every locus.
const char* const kDatabase = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390,DYS391\n"
                              "1,A,,,,,,14,24,10\n2,A,,,,,,15,23,11\n3,A,,,,,,14,22,10\n"
                              "4,A,,,,,,13,24,11\n5,B,,,,,,14,24,10\n6,B,,,,,,15,23,11\n"
                              "7,B,,,,,,14,22,10\n8,B,,,,,,13,24,11\n9,C,,,,,,17,21,12\n"
                              "10,C,,,,,,18,21,13\n11,C,,,,,,17,20,12\n12,C,,,,,,18,20,12\n"
                              "13,C,,,,,,19,21,13\n";

class StructureViewTest : public ::testing::Test {
protected:
    StructureViewTest()
        : directory(testing_files::scratchPath("tarnwick-structure-view")), dialogs(workspace),
          loads(workspace, dialogs, measurer), save(workspace, dialogs) {
        fs::create_directories(directory);
    }
    ~StructureViewTest() override { fs::remove_all(directory); }

    void loadDatabase(const std::string& content) {
        const auto path = (directory / "db.csv").string();
        testing_files::writeFile(path, content);
        dialogs.fileAnswers = {path};
        dialogs.formActions = {[] {}};
        loads.load(InputRole::Database);
    }
    std::string views() const {
        const Workspace& w = workspace;
        return std::to_string(w.StringGrid1.Visible()) + std::to_string(w.StringGrid2.Visible()) +
               std::to_string(w.StringGrid5.Visible()) + std::to_string(w.StringGrid7.Visible()) +
               std::to_string(w.matchProbabilities.Visible()) + std::to_string(w.structure.visible);
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
    const StructureSettings settings{StructureDistance::Rst, 999, 0.05};
};

TEST_F(StructureViewTest, ShowsTheTablesInItsOwnViewMarksSignificantPairsAndSavesThem) {
    EXPECT_FALSE(canShowPopulationStructure(workspace)) << "nothing loaded";
    loadDatabase(kDatabase);
    ASSERT_TRUE(canShowPopulationStructure(workspace));
    ASSERT_TRUE(runPopulationStructure(workspace, settings, measurer));
    EXPECT_EQ(views(), "000001");
    EXPECT_EQ(enabled(), "1101");
    EXPECT_EQ(workspace.statusLine, kPopulationStructureStatus);

    const StructureView& view = workspace.structure;
    ASSERT_TRUE(view.result);
    const PopulationStructure& structure = view.result->structure;
    EXPECT_EQ(view.amova.Cells(0, 4), "RST");
    EXPECT_EQ(view.amova.Cells(1, 4), sixDigits(*structure.global.phi));
    EXPECT_EQ(view.amova.Cells(1, 7), "13") << "men";
    // The pairwise matrix: A, B, C with their sizes; RST below the diagonal, p above.
    const StringGrid& pairs = view.pairwise;
    ASSERT_EQ(pairs.ColCount(), 5);
    ASSERT_EQ(pairs.RowCount(), 4);
    EXPECT_EQ(pairs.Cells(2, 0) + pairs.Cells(3, 0) + pairs.Cells(4, 0), "ABC");
    EXPECT_EQ(pairs.Cells(1, 3), "5");
    const PairwiseStructure& ac = structure.pairs[1];
    ASSERT_EQ(ac.b, 2u);
    EXPECT_EQ(pairs.Cells(2, 3), sixDigits(*ac.amova.phi)) << "C's row, A's column";
    EXPECT_EQ(pairs.Cells(4, 1), sixDigits(*ac.pValue)) << "A's row, C's column";
    EXPECT_EQ(pairs.Cells(2, 1), "") << "the diagonal";
    // A and C differ beyond nearly every permutation; A and B are one population.
    EXPECT_LT(*ac.pValue, 0.02);
    EXPECT_TRUE(isSignificantPairCell(view, 2, 3));
    EXPECT_TRUE(isSignificantPairCell(view, 4, 1));
    EXPECT_GT(*structure.pairs[0].pValue, 0.05);
    EXPECT_FALSE(isSignificantPairCell(view, 3, 1));
    EXPECT_FALSE(isSignificantPairCell(view, 2, 2));
    EXPECT_FALSE(isSignificantPairCell(view, 1, 3)) << "the sizes";
    EXPECT_EQ(view.scaling.Cells(0, 4), "Goodness of fit");

    // Save writes the three tables, each through its own dialog.
    dialogs.fileAnswers = {(directory / "amova").string(), (directory / "pairwise").string(),
                           (directory / "mds").string()};
    dialogs.log.clear();
    save.run();
    ASSERT_EQ(dialogs.log.size(), 6u);
    EXPECT_EQ(dialogs.log[5], "message MDS coordinates saved | ");
    const auto read = readHaplotypeTable((directory / "pairwise.xls").string(), kSheetLayout,
                                         CellReading::Integers);
    std::string scratch;
    EXPECT_EQ(read.table->text(2, 3, scratch), sixDigits(*ac.amova.phi));

    showByHaplotypes(workspace);
    EXPECT_EQ(views(), "001000");
    EXPECT_EQ(workspace.statusLine, "") << "the status went with the view";
}

TEST_F(StructureViewTest, ListsTheMenLeftOutByTheirRowsOnTheSheet) {
    loadDatabase(std::string(kDatabase) + "14,A,,,,,,,24,10\n15,C,,,,,,17,,12\n");
    ASSERT_TRUE(runPopulationStructure(workspace, settings, measurer));
    const StringGrid& list = workspace.structure.leftOut;
    ASSERT_EQ(list.RowCount(), 3);
    const auto row = [&](int r) {
        return list.Cells(0, r) + "|" + list.Cells(1, r) + "|" + list.Cells(2, r) + "|" +
               list.Cells(3, r);
    };
    EXPECT_EQ(row(0), "Row|Population|Locus|Reason");
    EXPECT_EQ(row(1), "15|A|DYS19|missing");
    EXPECT_EQ(row(2), "16|C|DYS390|missing");
    EXPECT_EQ(workspace.structure.amova.Cells(1, 8), "2") << "men left out";
}

// Populations large enough that their permutations take long enough to be stopped midway.
std::string largeDatabase() {
    std::string csv = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390,DYS391\n";
    std::uint32_t state = 12345;
    const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int man = 0; man < 600; ++man) {
        const int population = man % 3;
        csv += std::to_string(man) + ",P" + std::to_string(population) + ",,,,,";
        for (int locus = 0; locus < 3; ++locus)
            csv += "," + std::to_string(12 + population + static_cast<int>(next() % 5));
        csv += "\n";
    }
    return csv;
}

TEST_F(StructureViewTest, ACancelledRunOrARefusedDatabaseChangesNothing) {
    loadDatabase(largeDatabase());
    const std::string viewsBefore = views();
    const std::string enabledBefore = enabled();
    std::size_t reached = 0;
    std::size_t calls = 0;
    const bool shown = runPopulationStructure(workspace, {StructureDistance::Fst, 99999, 0.05},
                                              measurer, [&](std::size_t done, std::size_t total) {
                                                  ++calls;
                                                  reached = done * 100 / total;
                                                  return 2 * done < total;
                                              });
    EXPECT_FALSE(shown);
    EXPECT_GT(calls, 1u) << "progress is reported along the way";
    EXPECT_GE(reached, 50u);
    EXPECT_LT(reached, 100u);
    EXPECT_EQ(views(), viewsBefore);
    EXPECT_EQ(enabled(), enabledBefore);
    EXPECT_EQ(workspace.statusLine, "");
    EXPECT_FALSE(workspace.structure.result);
    EXPECT_EQ(workspace.structure.pairwise.Cells(0, 0), "");

    loadDatabase("id,population,c2,c3,c4,c5,c6,DYS19\n1,A,,,,,,14\n2,A,,,,,,15\n3,Lone,,,,,,14\n");
    try {
        runPopulationStructure(workspace, settings, measurer);
        ADD_FAILURE() << "a population of one man is refused";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("\"Lone\""), std::string::npos) << error.what();
    }
    EXPECT_FALSE(workspace.structure.visible);
    EXPECT_FALSE(workspace.structure.result);
}

TEST_F(StructureViewTest, ThePlotKeepsTheScalingsDistancesAndEveryPointInItsFrame) {
    loadDatabase(kDatabase);
    ASSERT_TRUE(runPopulationStructure(workspace, settings, measurer));
    const StructureResult& result = *workspace.structure.result;
    for (const auto& [width, height] : {std::pair{640.0, 480.0}, std::pair{300.0, 500.0}}) {
        const StructurePlot plot =
            structurePlot(result.populations, result.scaling, result.settings.distance, width,
                          height, measurer, 14);
        ASSERT_EQ(plot.points.size(), 3u);
        EXPECT_EQ(plot.points[2].label, "C");
        EXPECT_GT(plot.points[2].radius, plot.points[0].radius) << "5 men against 4";
        for (const PlotPoint& point : plot.points) {
            EXPECT_GE(point.x - point.radius, plot.left);
            EXPECT_LE(point.x + point.radius, plot.right);
            EXPECT_GE(point.y - point.radius, plot.top);
            EXPECT_LE(point.y + point.radius, plot.bottom);
            EXPECT_EQ(point.labelWidth, 7.0 * static_cast<double>(point.label.size()));
        }
        // The labels of far-apart points cover no other label.
        for (std::size_t a = 0; a < 3; ++a)
            for (std::size_t b = a + 1; b < 3; ++b) {
                const PlotPoint& p = plot.points[a];
                const PlotPoint& q = plot.points[b];
                EXPECT_FALSE(p.labelLeft < q.labelLeft + q.labelWidth &&
                             q.labelLeft < p.labelLeft + p.labelWidth &&
                             p.labelTop < q.labelTop + q.labelHeight &&
                             q.labelTop < p.labelTop + p.labelHeight)
                    << p.label << " and " << q.label;
            }
        // One scale for both axes: on-screen distances are the scaling's, times one factor.
        const auto& xy = result.scaling.points;
        const auto ratio = [&](std::size_t a, std::size_t b) {
            return std::hypot(plot.points[a].x - plot.points[b].x,
                              plot.points[a].y - plot.points[b].y) /
                   std::hypot(xy[a][0] - xy[b][0], xy[a][1] - xy[b][1]);
        };
        EXPECT_NEAR(ratio(0, 2), ratio(1, 2), 1e-6 * ratio(0, 2));
        for (std::size_t a = 0; a < 3; ++a)
            for (std::size_t b = 0; b < 3; ++b)
                if (xy[a][1] - xy[b][1] > 1e-9) {
                    EXPECT_LT(plot.points[a].y, plot.points[b].y) << "up is positive";
                }
        ASSERT_GE(plot.xTicks.size(), 2u);
        ASSERT_GE(plot.yTicks.size(), 2u);
        EXPECT_LT(plot.xTicks.front().position, plot.xTicks.back().position);
        EXPECT_GT(plot.yTicks.front().position, plot.yTicks.back().position);
        EXPECT_NE(plot.caption.find("Goodness of fit"), std::string::npos);
    }
}

} // namespace
} // namespace tarnwick
