#pragma once

#include "commands/TextPool.h"
#include "core/text/TextTable.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A table of text cells addressed by (column, row) from 0, as the main window's grids hold them.
// Its cells are either its own (ids into the table's pool, row after row) or those of a table of
// the program's own that it shows (a loaded table, results), read through without a copy until a
// cell is written. A copy shares its cells and texts with the grid until either writes, so that
// it serves as a snapshot that another thread may read while the grid changes.
class StringGrid : public TextTable {
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
    std::string Cells(int col, int row) const;
    // Writing outside the counts is a programming error and throws std::out_of_range.
    void setCells(int col, int row, std::string_view text);

    // Shows the cells of a table: cell (c, r) reads the source's cell (c, r) while it lies
    // inside the counts. The counts stay as they are.
    void showCellsOf(std::shared_ptr<const TextTable> source);
    // The same with new counts, set without making cells of the grid's own for them first.
    void showCellsOf(std::shared_ptr<const TextTable> source, int colCount, int rowCount);
    // The table shown, while no cell has been written since.
    const std::shared_ptr<const TextTable>& source() const { return source_; }

    // Sets every cell to the empty text; the counts stay.
    void clearCells();

    int ColWidths(int col) const;
    void setColWidths(int col, int width);

    bool Visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    // In-place editing by the user.
    bool goEditing() const { return goEditing_; }
    void setGoEditing(bool on) { goEditing_ = on; }

    int columnCount() const override { return colCount_; }
    int rowCount() const override { return rowCount_; }
    std::string_view text(int col, int row, std::string& scratch) const override;
    void forEachText(int col, int begin, int end,
                     const std::function<void(std::string_view)>& visit) const override;

private:
    bool inside(int col, int row) const {
        return col >= 0 && row >= 0 && col < colCount_ && row < rowCount_;
    }
    void checkInside(int col, int row) const;
    // Copies the cells of the source into the table's own, before one is written.
    void ownCells();
    // The cells and texts to write, this grid's alone: a copy's are copied first.
    std::vector<TextId>& writableCells();
    TextPool& writablePool();

    int colCount_;
    int rowCount_;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    bool visible_ = true;
    bool goEditing_ = false;
    std::shared_ptr<TextPool> pool_;
    // Row-major, colCount_ ids per row; unused while showing a source.
    std::shared_ptr<std::vector<TextId>> cells_;
    std::shared_ptr<const TextTable> source_;
    int sourceCols_ = 0; // the part of the source still shown: smaller counts cut it for good
    int sourceRows_ = 0;
    std::vector<int> colWidths_;
};

} // namespace tarnwick
