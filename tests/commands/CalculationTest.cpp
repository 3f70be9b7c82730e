#include "commands/Calculation.h"
#include "StoppingRunner.h"
#include "TableBuilder.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::inputTable;
using test::row;
using Strings = std::vector<std::string>;

struct Messages : UserMessages {
    explicit Messages(const Workspace& w) : workspace(w) {}
    void showMessage(const std::string& text) override {
        shown.push_back(text);
        statuses.push_back(workspace.statusLine);
    }
    const Workspace& workspace;
    Strings shown;
    Strings statuses;
};

const std::string kSuccess2 =
    std::string(19, ' ') + "SUCCESFUL!!!\r\n2 markers overlap with the database";

// Seven descriptive columns, then loci P, Q, R; the search table has R, P, S.
Workspace exampleWorkspace(const std::string& limit) {
    Workspace w;
    w.StringGrid1 = inputTable({
        {"id", "population", "d2", "d3", "d4", "d5", "d6", "P", "Q", "R"},
        {"h1", "X", "", "", "", "", "", "20", "20", "20"},
        {"h2", "X", "", "", "", "", "", "20", "20", "20"},
        {"h3", "X", "", "", "", "", "", "20", "20", "20"},
        {"h4", "X", "", "", "", "", "", "20", "20", "20"},
        {"h5", "Y", "", "", "", "", "", "13", "9", "14"},
    });
    w.StringGrid2 =
        inputTable({{"sample", "comment", "R", "P", "S"}, {"s1", "c1", "14", "12", "1"}});
    w.stepLimit = limit;
    return w;
}

TEST(Calculation, PairsLociByHeaderAndListsTheHaplotypeWithinTheLimit) {
    Workspace w = exampleWorkspace("1");
    Messages messages(w);
    const FixedWidthMeasurer measurer(7);
    calculate(w, messages, measurer);
    EXPECT_EQ(messages.shown, (Strings{kCalculationWarning, kSuccess2}));
    EXPECT_EQ(messages.statuses, (Strings{"calculating, wait...", ""}));
    const StringGrid& result = w.StringGrid5;
    ASSERT_EQ(result.RowCount(), 2);
    ASSERT_EQ(result.ColCount(), 10 + 11);
    EXPECT_EQ(result.FixedRows(), 1);
    EXPECT_EQ(row(result, 0), (Strings{"sample name",
                                       "sample comment",
                                       "number in database",
                                       "number of steps",
                                       "number of common loci",
                                       "not matched marker1",
                                       "allele difference1",
                                       "not matched marker2",
                                       "allele difference2",
                                       "not matched marker3",
                                       "allele difference3",
                                       "id",
                                       "population",
                                       "d2",
                                       "d3",
                                       "d4",
                                       "d5",
                                       "d6",
                                       "P",
                                       "Q",
                                       "R"}));
    EXPECT_EQ(row(result, 1), (Strings{"s1", "c1", "6", "1", "2", "P", "1", "",   "",  "",  "",
                                       "h5", "Y",  "",  "",  "",  "",  "",  "13", "9", "14"}));
    EXPECT_EQ(result.ColWidths(0), 11 * 7 + 6) << "columns fitted to \"sample name\"";
    EXPECT_TRUE(result.Visible());
    EXPECT_FALSE(w.StringGrid1.Visible() || w.StringGrid2.Visible() || w.StringGrid7.Visible());
    EXPECT_TRUE(w.enabled.Button4 && w.enabled.Save1 && w.enabled.Button5);
    EXPECT_FALSE(w.enabled.Button6);
    EXPECT_EQ(w.statusLine, "");
}

TEST(Calculation, OneStepOverTheLimitIsNoMatch) {
    Workspace w = exampleWorkspace("0");
    w.enabled.Button5 = true; // from an earlier calculation: stays as it was
    Messages messages(w);
    calculate(w, messages, FixedWidthMeasurer(7));
    EXPECT_EQ(messages.shown, (Strings{kCalculationWarning, "not match"}));
    EXPECT_EQ(w.StringGrid5.ColCount(), 1);
    EXPECT_EQ(w.StringGrid5.RowCount(), 1);
    EXPECT_EQ(w.StringGrid5.FixedRows(), 0);
    EXPECT_EQ(w.StringGrid5.Cells(0, 0), "");
    EXPECT_TRUE(w.enabled.Button5);
    EXPECT_FALSE(w.enabled.Button4);
}

TEST(Calculation, RefusalsComeInOrderAndChangeOnlyTheStatusLine) {
    struct Case {
        const char* name;
        void (*arrange)(Workspace&);
        Strings messages;
    };
    const Case cases[] = {
        {"error flag, even without a limit",
         [](Workspace& w) {
             w.searchHasErrors = true;
             w.stepLimit.clear();
         },
         {}},
        {"empty limit before an unloaded table",
         [](Workspace& w) {
             w.stepLimit.clear();
             w.StringGrid1.setCells(0, 0, "");
         },
         {"nonselected step"}},
        {"unloaded search table",
         [](Workspace& w) { w.StringGrid2.setCells(0, 0, ""); },
         {"data not load"}},
        {"no common locus",
         [](Workspace& w) {
             for (int c = 2; c < w.StringGrid2.ColCount(); ++c)
                 w.StringGrid2.setCells(c, 0, "other" + std::to_string(c));
         },
         {"no common loci"}},
    };
    for (const Case& c : cases) {
        Workspace w = exampleWorkspace("3");
        w.StringGrid5.setCells(0, 0, "earlier result");
        w.statusLine = "something";
        c.arrange(w);
        Messages messages(w);
        calculate(w, messages, FixedWidthMeasurer(7));
        EXPECT_EQ(messages.shown, c.messages) << c.name;
        for (const auto& status : messages.statuses)
            EXPECT_EQ(status, "error") << c.name;
        EXPECT_EQ(w.statusLine, "") << c.name;
        EXPECT_EQ(w.StringGrid5.Cells(0, 0), "earlier result") << c.name;
        EXPECT_TRUE(w.StringGrid5.Visible()) << c.name;
    }
}

TEST(Calculation, EmptyTablesWithoutCommonLociEndWithNotMatch) {
    Workspace w = exampleWorkspace("3");
    w.StringGrid1 = inputTable({{"id", "population", "d2", "d3", "d4", "d5", "d6", "Z"}});
    Messages messages(w);
    calculate(w, messages, FixedWidthMeasurer(7));
    EXPECT_EQ(messages.shown, (Strings{kCalculationWarning, "not match"}));
}

TEST(Calculation, AStepLimitThatIsNotIntegerTextFailsBeforeAnythingChanges) {
    for (const char* limit : {"x", " ", "3 "}) {
        Workspace w = exampleWorkspace(limit);
        w.StringGrid1.setVisible(true);
        Messages messages(w);
        try {
            calculate(w, messages, FixedWidthMeasurer(7));
            FAIL() << "no error for " << limit;
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(limit) + "' is not a valid integer value");
        }
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(w.statusLine, "");
        EXPECT_TRUE(w.StringGrid1.Visible());
    }
}

TEST(Calculation, ADescriptiveColumnPairedWithALocusFailsAtItsFirstText) {
    Workspace w = exampleWorkspace("3");
    w.StringGrid2.setCells(4, 0, "population"); // the search locus S now pairs with column 1
    Messages messages(w);
    EXPECT_THROW(
        {
            try {
                calculate(w, messages, FixedWidthMeasurer(7));
            } catch (const ConversionError& error) {
                EXPECT_STREQ(error.what(), "'X' is not a valid integer value");
                throw;
            }
        },
        ConversionError);
    EXPECT_EQ(w.statusLine, "calculating, wait...");
    EXPECT_FALSE(w.enabled.Button4);
    EXPECT_EQ(w.StringGrid5.RowCount(), 2) << "the result table as the command had emptied it";
}

TEST(Calculation, AnEmptySearchCellSkipsThePairAsAnUntypedDatabaseCellDoes) {
    Workspace w = exampleWorkspace("0");
    w.StringGrid2.setCells(3, 1, "");  // P untyped in the search haplotype
    w.StringGrid1.setCells(9, 2, "");  // R untyped in database haplotype h2
    w.StringGrid1.setCells(7, 2, "1"); // its P differs widely, but P is skipped
    Messages messages(w);
    calculate(w, messages, FixedWidthMeasurer(7));
    const StringGrid& result = w.StringGrid5;
    // h5 (R = 14) matches over one common locus; h2 has no common locus left and gives no row.
    ASSERT_EQ(result.RowCount(), 2);
    EXPECT_EQ(result.Cells(2, 1), "6");
    EXPECT_EQ(result.Cells(3, 1), "0");
    EXPECT_EQ(result.Cells(4, 1), "1");
}

TEST(Calculation, StepsAreSummedWithoutOverflow) {
    Workspace w = exampleWorkspace("2147483647");
    w.StringGrid1 = inputTable({{"id", "population", "d2", "d3", "d4", "d5", "d6", "P", "R"},
                                {"h1", "X", "", "", "", "", "", "2147483647", "-2147483648"},
                                {"h2", "X", "", "", "", "", "", "2147483647", "0"}});
    w.StringGrid2 =
        inputTable({{"sample", "comment", "R", "P"}, {"s1", "", "2147483647", "-2147483648"}});
    Messages messages(w);
    calculate(w, messages, FixedWidthMeasurer(7));
    // Every difference exceeds the limit; 32-bit sums would wrap and report matches.
    EXPECT_EQ(messages.shown.back(), "not match");
}

TEST(Calculation, TheFirstDatabaseHaplotypeIsNumberTwoAndEqualTotalsMatch) {
    Workspace w = exampleWorkspace("2");
    w.StringGrid1.setCells(7, 1, "13");
    w.StringGrid1.setCells(9, 1, "13"); // h1: P +1, R -1: 2 steps, the limit
    Messages messages(w);
    calculate(w, messages, FixedWidthMeasurer(7));
    const StringGrid& result = w.StringGrid5;
    ASSERT_EQ(result.RowCount(), 3);
    EXPECT_EQ(test::column(result, 2), (Strings{"number in database", "6", "2"}));
    EXPECT_EQ(test::column(result, 3), (Strings{"number of steps", "1", "2"}));
}

} // namespace
} // namespace tarnwick

namespace tarnwick {
namespace {

// What the window shows of a workspace: the result views, their flags and the status line.
std::string shownState(const Workspace& w) {
    std::string state = w.statusLine + "|" + std::to_string(w.enabled.Button4) +
                        std::to_string(w.enabled.Button5) + std::to_string(w.enabled.Button6);
    for (const StringGrid* grid : {&w.StringGrid1, &w.StringGrid2, &w.StringGrid5, &w.StringGrid7})
        state += "|" + std::to_string(grid->Visible());
    for (int r = 0; r < w.StringGrid5.RowCount(); ++r)
        for (const std::string& cell : row(w.StringGrid5, r))
            state += cell + ",";
    return state;
}

// A cancelled Calculate, early, halfway or at the end of reading the tables edited by hand or of
// comparing them, leaves the last results as they were.
TEST(Calculation, ACancelledComparisonLeavesTheLastResults) {
    test::Rows search{{"sample", "comment", "R", "P", "S"}};
    for (int s = 0; s < 1000; ++s)
        search.push_back({"s" + std::to_string(s), "", std::to_string(14 + s % 7), "13", "1"});
    const Strings reading{"Reading the tables"};
    const Strings both{"Reading the tables", "Comparing"};
    const struct {
        const char* phase;
        std::size_t percent;
        Strings phases;
    } cases[] = {{"Reading the tables", 10, reading},
                 {"Reading the tables", 50, reading},
                 {"Reading the tables", 99, reading},
                 {"Comparing", 10, both},
                 {"Comparing", 50, both},
                 {"Comparing", 99, both}};
    for (const auto& c : cases) {
        Workspace w = exampleWorkspace("0");
        w.StringGrid2 = inputTable(search);
        Messages messages(w);
        calculate(w, messages, FixedWidthMeasurer(7));
        ASSERT_GT(w.StringGrid5.RowCount(), 1);
        const std::string before = shownState(w);
        w.stepLimit = "6";
        test::CancellingRunner runner(c.percent, c.phase);
        calculate(w, messages, FixedWidthMeasurer(7), runner);
        EXPECT_EQ(runner.phases, c.phases);
        EXPECT_EQ(shownState(w), before) << c.phase << " cancelled at " << c.percent << "%";
        // Not cancelled, the same runner's work gives the new results.
        test::CancellingRunner never(101);
        calculate(w, messages, FixedWidthMeasurer(7), never);
        EXPECT_NE(shownState(w), before);
    }
}

} // namespace
} // namespace tarnwick
