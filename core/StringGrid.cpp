#include "core/StringGrid.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarnwick {

StringGrid::StringGrid(int colCount, int rowCount, int fixedRows)
    : colCount_(std::max(colCount, 1)), rowCount_(std::max(rowCount, 1)),
      cells_(static_cast<std::size_t>(colCount_) * rowCount_, kEmptyText),
      colWidths_(colCount_, kDefaultColWidth) {
    setFixedRows(fixedRows);
}

void StringGrid::setColCount(int count) {
    count = std::max(count, 1);
    if (count <= fixedCols_)
        fixedCols_ = count - 1;
    if (count == colCount_)
        return;
    std::vector<TextId> resized(static_cast<std::size_t>(count) * rowCount_, kEmptyText);
    const int kept = std::min(count, colCount_);
    for (int row = 0; row < rowCount_; ++row) {
        const auto from = cells_.begin() + static_cast<std::ptrdiff_t>(row) * colCount_;
        std::copy(from, from + kept, resized.begin() + static_cast<std::ptrdiff_t>(row) * count);
    }
    cells_ = std::move(resized);
    colCount_ = count;
    colWidths_.resize(count, kDefaultColWidth);
}

void StringGrid::setRowCount(int count) {
    count = std::max(count, 1);
    if (count <= fixedRows_)
        fixedRows_ = count - 1;
    cells_.resize(static_cast<std::size_t>(colCount_) * count, kEmptyText);
    rowCount_ = count;
}

void StringGrid::setFixedRows(int count) {
    if (count < 0 || count >= rowCount_)
        throw std::out_of_range("Fixed row count must be less than row count");
    fixedRows_ = count;
}

void StringGrid::setFixedCols(int count) {
    if (count < 0 || count >= colCount_)
        throw std::out_of_range("Fixed column count must be less than column count");
    fixedCols_ = count;
}

TextId StringGrid::cellId(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return kEmptyText;
    return cells_[static_cast<std::size_t>(row) * colCount_ + col];
}

void StringGrid::setCellId(int col, int row, TextId id) {
    checkInside(col, row);
    cells_[static_cast<std::size_t>(row) * colCount_ + col] = id;
}

std::span<const TextId> StringGrid::rowIds(int row) const {
    checkInside(0, row);
    return {cells_.data() + static_cast<std::size_t>(row) * colCount_,
            static_cast<std::size_t>(colCount_)};
}

std::span<TextId> StringGrid::rowIds(int row) {
    checkInside(0, row);
    return {cells_.data() + static_cast<std::size_t>(row) * colCount_,
            static_cast<std::size_t>(colCount_)};
}

void StringGrid::swapRows(int a, int b) {
    if (a == b)
        return;
    std::swap_ranges(rowIds(a).begin(), rowIds(a).end(), rowIds(b).begin());
}

void StringGrid::clearCells() {
    std::fill(cells_.begin(), cells_.end(), kEmptyText);
}

void StringGrid::reserveRows(int count) {
    if (count > 0)
        cells_.reserve(static_cast<std::size_t>(colCount_) * count);
}

int StringGrid::ColWidths(int col) const {
    return col >= 0 && col < colCount_ ? colWidths_[col] : kDefaultColWidth;
}

void StringGrid::setColWidths(int col, int width) {
    checkInside(col, 0);
    colWidths_[col] = width;
}

void StringGrid::checkInside(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        throw std::out_of_range("Cell (" + std::to_string(col) + ", " + std::to_string(row) +
                                ") lies outside a table of " + std::to_string(colCount_) +
                                " columns and " + std::to_string(rowCount_) + " rows");
}

} // namespace tarnwick
