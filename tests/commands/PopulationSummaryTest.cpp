#include "TableBuilder.h"
#include "commands/PopulationViews.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::inputTable;
using test::row;
using Strings = std::vector<std::string>;

// A by-haplotype table with the steps in column 3 and the population in column 12.
StringGrid resultTable(const std::vector<std::pair<std::string, std::string>>& stepsAndPopulation) {
    StringGrid result(13, static_cast<int>(stepsAndPopulation.size()) + 1, 1);
    result.setCells(0, 0, "sample name");
    for (std::size_t i = 0; i < stepsAndPopulation.size(); ++i) {
        result.setCells(3, static_cast<int>(i) + 1, stepsAndPopulation[i].first);
        result.setCells(12, static_cast<int>(i) + 1, stepsAndPopulation[i].second);
    }
    return result;
}

StringGrid databaseOf(const Strings& populations) {
    test::Rows rows = {{"id", "population"}};
    for (const auto& population : populations)
        rows.push_back({"h", population});
    return inputTable(rows);
}

TEST(PopulationSummary, ListsMatchedPopulationsFirstThenTheRest) {
    Workspace w;
    w.StringGrid5 = resultTable({{"0", "X"}, {"1", "Y"}, {"2", "X"}});
    w.StringGrid1 = databaseOf({"X", "Y", "X", "Z", "X", "Z"});
    w.enabled.Button5 = true;
    showByPopulations(w, FixedWidthMeasurer(7));
    const StringGrid& table = w.StringGrid7;
    ASSERT_EQ(table.RowCount(), 4);
    EXPECT_EQ(row(table, 0),
              (Strings{"population name", "population comments", "N(population sample size)",
                       "exact matches", "one-step neighbors", "two-step neighbors",
                       "three-step neighbors"}));
    EXPECT_EQ(row(table, 1), (Strings{"X", "", "3", "1", "0", "1", "0"}));
    EXPECT_EQ(row(table, 2), (Strings{"Y", "", "1", "0", "1", "0", "0"}));
    EXPECT_EQ(row(table, 3), (Strings{"Z", "", "2", "0", "0", "0", "0"}));
    EXPECT_EQ(table.FixedRows(), 1);
    EXPECT_TRUE(table.Visible());
    EXPECT_FALSE(w.StringGrid5.Visible());
    EXPECT_TRUE(w.enabled.Button6);
    EXPECT_FALSE(w.enabled.Button5);
    EXPECT_EQ(table.ColWidths(2), 25 * 7 + 6);
}

TEST(PopulationSummary, CountsPerResultRowAndIgnoresEmptyAndZeroPopulations) {
    Workspace w;
    // Two search haplotypes match the same database haplotype; 4 steps count nowhere.
    w.StringGrid5 = resultTable(
        {{"1", "Y"}, {"1", "Y"}, {"0", "0"}, {"0", ""}, {"4", "W"}, {"3", "y"}, {"2", "Y "}});
    w.StringGrid1 = databaseOf({"Y", "0", "", "W", "y", "Y ", "Q"});
    showByPopulations(w, FixedWidthMeasurer(7));
    const StringGrid& table = w.StringGrid7;
    ASSERT_EQ(table.RowCount(), 6);
    EXPECT_EQ(row(table, 1), (Strings{"Y", "", "1", "0", "2", "0", "0"}));
    EXPECT_EQ(row(table, 2), (Strings{"W", "", "1", "0", "0", "0", "0"}));
    EXPECT_EQ(row(table, 3), (Strings{"y", "", "1", "0", "0", "0", "1"}));
    EXPECT_EQ(row(table, 4), (Strings{"Y ", "", "1", "0", "0", "1", "0"}));
    EXPECT_EQ(row(table, 5), (Strings{"Q", "", "1", "0", "0", "0", "0"}));
}

TEST(PopulationSummary, AnEmptyResultTableListsEveryPopulationAndLosesTheFixedRow) {
    Workspace w;
    w.StringGrid5 = StringGrid(1, 1);
    w.StringGrid1 = databaseOf({"A", "B", "A"});
    showByPopulations(w, FixedWidthMeasurer(7));
    const StringGrid& table = w.StringGrid7;
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(row(table, 1), (Strings{"A", "", "2", "0", "0", "0", "0"}));
    EXPECT_EQ(row(table, 2), (Strings{"B", "", "1", "0", "0", "0", "0"}));
    EXPECT_EQ(table.FixedRows(), 0);
    // A later summary with matches does not bring the fixed row back either.
    w.StringGrid5 = resultTable({{"0", "B"}});
    showByPopulations(w, FixedWidthMeasurer(7));
    EXPECT_EQ(row(w.StringGrid7, 1), (Strings{"B", "", "1", "1", "0", "0", "0"}));
    EXPECT_EQ(w.StringGrid7.FixedRows(), 0);
}

TEST(PopulationSummary, ByHaplotypesSwitchesBackAndTheSummaryRepeatsIdentically) {
    Workspace w;
    w.StringGrid5 = resultTable({{"3", "X"}});
    w.StringGrid1 = databaseOf({"Z", "X"});
    showByPopulations(w, FixedWidthMeasurer(7));
    const StringGrid first = w.StringGrid7;
    showByHaplotypes(w);
    EXPECT_TRUE(w.StringGrid5.Visible());
    EXPECT_FALSE(w.StringGrid7.Visible());
    EXPECT_TRUE(w.enabled.Button5);
    EXPECT_FALSE(w.enabled.Button6);
    EXPECT_EQ(row(w.StringGrid7, 1), row(first, 1)) << "the summary keeps its content";
    showByPopulations(w, FixedWidthMeasurer(7));
    for (int r = 0; r < first.RowCount(); ++r)
        EXPECT_EQ(row(w.StringGrid7, r), row(first, r));
}

} // namespace
} // namespace tarnwick
