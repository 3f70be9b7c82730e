#include "commands/StringGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace tarnwick {
namespace {

TEST(StringGrid, CountsNeverDropBelowOne) {
    StringGrid grid(3, 4);
    grid.setRowCount(0);
    grid.setColCount(-5);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.ColCount(), 1);
    StringGrid empty(0, 0);
    EXPECT_EQ(empty.ColCount(), 1);
    EXPECT_EQ(empty.RowCount(), 1);
}

TEST(StringGrid, RowCountNotAboveFixedRowsLowersThemForGood) {
    StringGrid grid(1, 2, 1);
    grid.setRowCount(1);
    EXPECT_EQ(grid.FixedRows(), 0);
    grid.setRowCount(2);
    EXPECT_EQ(grid.FixedRows(), 0) << "the fixed row must not come back by itself";
    grid.setFixedRows(1);
    EXPECT_EQ(grid.FixedRows(), 1);

    StringGrid three(1, 5, 3);
    three.setRowCount(3);
    EXPECT_EQ(three.FixedRows(), 2);
    three.setRowCount(4);
    EXPECT_EQ(three.FixedRows(), 2);
}

TEST(StringGrid, ColCountNotAboveFixedColsLowersThem) {
    StringGrid grid(3, 2);
    grid.setFixedCols(2);
    grid.setColCount(2);
    EXPECT_EQ(grid.FixedCols(), 1);
}

TEST(StringGrid, FixedRowsMustLeaveARow) {
    StringGrid grid(1, 2);
    EXPECT_THROW(grid.setFixedRows(2), std::out_of_range);
    EXPECT_THROW(grid.setFixedRows(-1), std::out_of_range);
    EXPECT_THROW(grid.setFixedCols(1), std::out_of_range);
}

TEST(StringGrid, UnwrittenEmptiedAndOutsideCellsReadEmpty) {
    StringGrid grid(2, 2);
    EXPECT_EQ(grid.Cells(1, 1), "");
    grid.setCells(1, 1, "14");
    EXPECT_EQ(grid.Cells(1, 1), "14");
    grid.setCells(1, 1, "");
    EXPECT_EQ(grid.Cells(1, 1), "");
    for (auto [col, row] : {std::pair{2, 0}, {0, 2}, {-1, 0}, {0, -1}, {100, 100}})
        EXPECT_EQ(grid.Cells(col, row), "") << col << "," << row;
}

TEST(StringGrid, WritingOutsideTheCountsThrows) {
    StringGrid grid(2, 2);
    EXPECT_THROW(grid.setCells(2, 0, "x"), std::out_of_range);
    EXPECT_THROW(grid.setCells(0, 2, "x"), std::out_of_range);
    EXPECT_THROW(grid.setColWidths(2, 10), std::out_of_range);
}

TEST(StringGrid, ResizingKeepsCellsInsideAndDropsCellsOutside) {
    StringGrid grid(3, 3);
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            grid.setCells(col, row, std::to_string(col * 10 + row));
    grid.setColCount(5);
    EXPECT_EQ(grid.Cells(2, 2), "22");
    EXPECT_EQ(grid.Cells(4, 2), "");
    grid.setColCount(2);
    grid.setRowCount(2);
    EXPECT_EQ(grid.Cells(1, 1), "11");
    grid.setColCount(3);
    grid.setRowCount(3);
    EXPECT_EQ(grid.Cells(2, 1), "") << "cut cells do not come back";
    EXPECT_EQ(grid.Cells(1, 2), "");
    EXPECT_EQ(grid.Cells(0, 0), "0");
}

// A grid showing a table reads its cells inside the counts; smaller counts cut them off for
// good, and writing a cell makes the rest its own.
TEST(StringGrid, ShowsTheCellsOfATableUntilOneIsWritten) {
    auto shown = std::make_shared<StringGrid>(3, 3);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            shown->setCells(c, r, std::to_string(c) + std::to_string(r));
    StringGrid grid(2, 4);
    grid.showCellsOf(shown);
    EXPECT_EQ(grid.Cells(1, 2), "12");
    EXPECT_EQ(grid.Cells(2, 2), "") << "beyond the counts";
    EXPECT_EQ(grid.Cells(1, 3), "") << "beyond the table shown";
    grid.setRowCount(2);
    grid.setRowCount(3);
    EXPECT_EQ(grid.Cells(1, 2), "") << "cut off for good";
    EXPECT_EQ(grid.source(), shown);
    grid.setCells(0, 0, "edited");
    EXPECT_EQ(grid.source(), nullptr);
    EXPECT_EQ(grid.Cells(1, 1), "11");
    EXPECT_EQ(grid.Cells(0, 0), "edited");
    EXPECT_EQ(shown->Cells(0, 0), "00") << "the table shown stays as it was";
    grid.clearCells();
    EXPECT_EQ(grid.Cells(1, 1), "");
}

TEST(StringGrid, ClearCellsKeepsTheCounts) {
    StringGrid grid(2, 3, 1);
    grid.setCells(1, 2, "15");
    grid.clearCells();
    EXPECT_EQ(grid.Cells(1, 2), "");
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.FixedRows(), 1);
}

// A copy is a snapshot: whatever is written to the grid or to the copy afterwards, the other
// keeps its cells and texts.
TEST(StringGrid, ACopyKeepsItsCellsWhateverTheGridWrites) {
    const auto cells = [](const StringGrid& grid) {
        std::string all = std::to_string(grid.ColCount()) + "x" + std::to_string(grid.RowCount());
        for (int row = 0; row < grid.RowCount(); ++row)
            for (int col = 0; col < grid.ColCount(); ++col)
                all += "," + grid.Cells(col, row);
        return all;
    };
    const std::function<void(StringGrid&)> writes[] = {
        [](StringGrid& g) { g.setCells(1, 1, "new"); },
        [](StringGrid& g) { g.setCells(0, 0, "b"); }, // a text the pool has
        [](StringGrid& g) { g.setRowCount(1); },
        [](StringGrid& g) { g.setColCount(3); },
        [](StringGrid& g) { g.clearCells(); },
    };
    for (std::size_t w = 0; w < std::size(writes); ++w) {
        StringGrid grid(2, 2);
        grid.setCells(0, 0, "a");
        grid.setCells(1, 0, "b");
        const std::string before = cells(grid);
        StringGrid copy = grid;
        writes[w](grid);
        EXPECT_EQ(cells(copy), before) << "write " << w << " to the grid";
        const std::string written = cells(grid);
        StringGrid another = grid;
        writes[w](another);
        another.setCells(0, 0, "c");
        EXPECT_EQ(cells(grid), written) << "write " << w << " to a copy";
    }
}

TEST(StringGrid, ColumnWidthsVisibleAndEditing) {
    StringGrid grid(2, 1);
    EXPECT_EQ(grid.ColWidths(1), StringGrid::kDefaultColWidth);
    grid.setColWidths(1, 30);
    grid.setColCount(3);
    EXPECT_EQ(grid.ColWidths(1), 30);
    EXPECT_EQ(grid.ColWidths(2), StringGrid::kDefaultColWidth);
    EXPECT_TRUE(grid.Visible());
    EXPECT_FALSE(grid.goEditing());
    grid.setGoEditing(true);
    grid.setVisible(false);
    EXPECT_TRUE(grid.goEditing());
    EXPECT_FALSE(grid.Visible());
}

} // namespace
} // namespace tarnwick
