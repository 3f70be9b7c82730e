#pragma once

#include "core/TextPool.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A table of text cells addressed by (column, row) from 0, as the main window's grids hold them.
// Cells are ids into the shared TextPool, row after row, so a whole row moves or is copied
// between tables without touching any text.
class StringGrid {
public:
    static constexpr int kDefaultColWidth = 64;

    StringGrid(int colCount, int rowCount, int fixedRows = 0);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }

    // Counts never drop below 1; a count set not above the fixed rows (or columns) first lowers
    // them to the new count minus 1. Cells that fall outside the new counts are discarded.
    void setColCount(int count);
    void setRowCount(int count);
    // Throws when the table would have no scrollable row (or column) left.
    void setFixedRows(int count);
    void setFixedCols(int count);

    // A cell never written, emptied or outside the counts reads as the empty text.
    const std::string& Cells(int col, int row) const { return pool().text(cellId(col, row)); }
    TextId cellId(int col, int row) const;
    // Writing outside the counts is a programming error and throws std::out_of_range.
    void setCells(int col, int row, std::string_view text) {
        setCellId(col, row, pool().intern(text));
    }
    void setCellId(int col, int row, TextId id);

    // The ids of one row, ColCount() of them.
    std::span<const TextId> rowIds(int row) const;
    std::span<TextId> rowIds(int row);
    void swapRows(int a, int b);
    // Sets every cell to the empty text; the counts stay.
    void clearCells();
    // Makes room for this many rows without changing RowCount, so a table filled row by row
    // is allocated once.
    void reserveRows(int count);

    int ColWidths(int col) const;
    void setColWidths(int col, int width);

    bool Visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    // In-place editing by the user.
    bool goEditing() const { return goEditing_; }
    void setGoEditing(bool on) { goEditing_ = on; }

private:
    static TextPool& pool() { return TextPool::shared(); }
    void checkInside(int col, int row) const;

    int colCount_;
    int rowCount_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    bool visible_ = true;
    bool goEditing_ = false;
    std::vector<TextId> cells_; // row-major, colCount_ ids per row
    std::vector<int> colWidths_;
};

} // namespace tarnwick
