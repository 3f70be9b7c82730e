#include "commands/TableOperations.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(TableOperations, EmptyTableEmptiesEveryCellAndKeepsCounts) {
    StringGrid table(3, 4, 1);
    table.setCells(2, 3, "x");
    table.setCells(0, 0, "h");
    table.clearCells();
    EXPECT_EQ(table.Cells(2, 3), "");
    EXPECT_EQ(table.Cells(0, 0), "");
    EXPECT_EQ(table.ColCount(), 3);
    EXPECT_EQ(table.RowCount(), 4);
}

TEST(TableOperations, FitsEachColumnToItsWidestTextPlusSix) {
    StringGrid table(3, 3);
    table.setCells(0, 0, "DYS19");
    table.setCells(0, 2, "14");
    table.setCells(1, 1, "Русские"); // measured in characters, not bytes
    const FixedWidthMeasurer measurer(7);
    fitColumnWidths(table, measurer);
    EXPECT_EQ(table.ColWidths(0), 5 * 7 + 6);
    EXPECT_EQ(table.ColWidths(1), 7 * 7 + 6);
    EXPECT_EQ(table.ColWidths(2), 6) << "an all-empty column gets the grid line plus 5 pixels";
}

TEST(TableOperations, MeasuresEachDistinctTextOnce) {
    struct CountingMeasurer : TextMeasurer {
        mutable int calls = 0;
        int textWidth(std::string_view text) const override {
            ++calls;
            return static_cast<int>(text.size());
        }
    } measurer;
    StringGrid table(4, 100);
    for (int row = 0; row < 100; ++row)
        for (int col = 0; col < 4; ++col)
            table.setCells(col, row, row % 2 ? "13" : "abcdefgh-once");
    fitColumnWidths(table, measurer);
    EXPECT_LE(measurer.calls, 2);
    EXPECT_EQ(table.ColWidths(3), 13 + 6);
}

TEST(TableOperations, FaultyCellListRecordsPositionsFromOne) {
    StringGrid list(1, 2);
    EXPECT_EQ(faultyCellCount(list), 0);
    recordFaultyCells(list, {{8, 3}, {7, 10}});
    recordFaultyCells(list, {{8, 3}});
    ASSERT_EQ(faultyCellCount(list), 3);
    EXPECT_EQ(list.ColCount(), 3);
    EXPECT_EQ(list.Cells(0, 0), "9");
    EXPECT_EQ(list.Cells(0, 1), "4");
    EXPECT_EQ(list.Cells(1, 0), "8");
    EXPECT_EQ(list.Cells(1, 1), "11");
    EXPECT_EQ(list.Cells(2, 0), "9");

    resetFaultyCellList(list);
    EXPECT_EQ(faultyCellCount(list), 0);
    EXPECT_EQ(list.ColCount(), 1);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.Cells(0, 0), "");
    EXPECT_EQ(list.Cells(0, 1), "");
}

TEST(TableOperations, LoadedMeansTheFirstCellIsNotEmpty) {
    StringGrid table(3, 3);
    table.setCells(1, 1, "data");
    EXPECT_FALSE(isLoaded(table));
    table.setCells(0, 0, "Sample");
    EXPECT_TRUE(isLoaded(table));
}

} // namespace
} // namespace tarnwick
