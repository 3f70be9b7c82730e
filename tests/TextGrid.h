#pragma once

#include "core/text/TextTable.h"
#include "io/WorkbookReader.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::test {

// A table of texts written cell by cell, for the tests of the readers, the writers and the batch
// tool: the shape of the window's grids without their rules (a layer those tests do not see).
class TextGrid : public TextTable {
public:
    TextGrid(int cols, int rows) { resize(cols, rows); }

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    void setColCount(int cols) { resize(cols, rows_); }
    void setRowCount(int rows) { resize(cols_, rows); }
    std::string Cells(int col, int row) const {
        return inside(col, row) ? cells_[index(col, row)] : std::string();
    }
    void setCells(int col, int row, std::string_view text) {
        if (inside(col, row))
            cells_[index(col, row)] = text;
    }

    int columnCount() const override { return cols_; }
    int rowCount() const override { return rows_; }
    std::string_view text(int col, int row, std::string&) const override {
        return inside(col, row) ? std::string_view(cells_[index(col, row)]) : std::string_view();
    }

private:
    bool inside(int col, int row) const {
        return col >= 0 && row >= 0 && col < cols_ && row < rows_;
    }
    std::size_t index(int col, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
               static_cast<std::size_t>(col);
    }
    void resize(int cols, int rows) {
        cols = std::max(cols, 1);
        rows = std::max(rows, 1);
        std::vector<std::string> cells(static_cast<std::size_t>(cols) *
                                       static_cast<std::size_t>(rows));
        for (int r = 0; r < std::min(rows, rows_); ++r)
            for (int c = 0; c < std::min(cols, cols_); ++c)
                cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
                      static_cast<std::size_t>(c)] = std::move(cells_[index(c, r)]);
        cells_ = std::move(cells);
        cols_ = cols;
        rows_ = rows;
    }

    int cols_ = 0;
    int rows_ = 0;
    std::vector<std::string> cells_;
};

// The first sheet of a file as a load reads it (nothing tidied), in the shape a load gives the
// window's table: ColCount K, RowCount R + 2. A failed read leaves the grid as it was.
inline void ReadWorkbookIntoTable(TextGrid& grid, const std::string& path) {
    const auto sheet = readHaplotypeTable(path, kSheetLayout, CellReading::Integers).table;
    grid = TextGrid(sheet->columnCount(), sheet->rowCount() + 2);
    std::string scratch;
    for (int row = 0; row < sheet->rowCount(); ++row)
        for (int col = 0; col < sheet->columnCount(); ++col)
            grid.setCells(col, row, sheet->text(col, row, scratch));
}

} // namespace tarnwick::test
