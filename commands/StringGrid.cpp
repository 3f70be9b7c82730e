#include "commands/StringGrid.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarnwick {
namespace {

// Cells are stored row by row; counts and positions are never negative.
std::size_t cellCount(int cols, int rows) {
    return static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows);
}
std::size_t cellIndex(int row, int cols, int col) {
    return cellCount(cols, row) + static_cast<std::size_t>(col);
}

} // namespace

StringGrid::StringGrid(int colCount, int rowCount, int fixedRows)
    : colCount_(std::max(colCount, 1)), rowCount_(std::max(rowCount, 1)),
      pool_(std::make_shared<TextPool>()),
      cells_(std::make_shared<std::vector<TextId>>(cellCount(colCount_, rowCount_), kEmptyText)),
      colWidths_(static_cast<std::size_t>(colCount_), kDefaultColWidth) {
    setFixedRows(fixedRows);
}

void StringGrid::setColCount(int count) {
    count = std::max(count, 1);
    if (count <= fixedCols_)
        fixedCols_ = count - 1;
    if (count == colCount_)
        return;
    if (source_) {
        sourceCols_ = std::min(sourceCols_, count);
    } else {
        std::vector<TextId> resized(cellCount(count, rowCount_), kEmptyText);
        const int kept = std::min(count, colCount_);
        for (int row = 0; row < rowCount_; ++row) {
            const auto from = cells_->begin() + static_cast<std::ptrdiff_t>(row) * colCount_;
            std::copy(from, from + kept,
                      resized.begin() + static_cast<std::ptrdiff_t>(row) * count);
        }
        cells_ = std::make_shared<std::vector<TextId>>(std::move(resized));
    }
    colCount_ = count;
    colWidths_.resize(static_cast<std::size_t>(count), kDefaultColWidth);
}

void StringGrid::setRowCount(int count) {
    count = std::max(count, 1);
    if (count <= fixedRows_)
        fixedRows_ = count - 1;
    if (source_)
        sourceRows_ = std::min(sourceRows_, count);
    else if (count != rowCount_)
        writableCells().resize(cellCount(colCount_, count), kEmptyText);
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

std::string_view StringGrid::text(int col, int row, std::string& scratch) const {
    if (!inside(col, row))
        return {};
    if (source_)
        return col < sourceCols_ && row < sourceRows_ ? source_->text(col, row, scratch)
                                                      : std::string_view();
    return pool_->text((*cells_)[cellIndex(row, colCount_, col)]);
}

std::string StringGrid::Cells(int col, int row) const {
    std::string scratch;
    return std::string(text(col, row, scratch));
}

void StringGrid::setCells(int col, int row, std::string_view text) {
    checkInside(col, row);
    ownCells();
    const TextId id = writablePool().intern(text);
    writableCells()[cellIndex(row, colCount_, col)] = id;
}

void StringGrid::showCellsOf(std::shared_ptr<const TextTable> source) {
    pool_ = std::make_shared<TextPool>();
    cells_ = std::make_shared<std::vector<TextId>>();
    sourceCols_ = std::min(colCount_, source->columnCount());
    sourceRows_ = std::min(rowCount_, source->rowCount());
    source_ = std::move(source);
}

void StringGrid::showCellsOf(std::shared_ptr<const TextTable> source, int colCount, int rowCount) {
    pool_ = std::make_shared<TextPool>();
    cells_ = std::make_shared<std::vector<TextId>>();
    sourceCols_ = std::min(std::max(colCount, 1), source->columnCount());
    sourceRows_ = std::min(std::max(rowCount, 1), source->rowCount());
    source_ = std::move(source);
    setColCount(colCount); // with a source, these only keep the fixed rows, columns and widths
    setRowCount(rowCount);
}

void StringGrid::ownCells() {
    if (!source_)
        return;
    auto pool = std::make_shared<TextPool>();
    std::vector<TextId> cells(cellCount(colCount_, rowCount_), kEmptyText);
    std::string scratch;
    for (int row = 0; row < sourceRows_; ++row)
        for (int col = 0; col < sourceCols_; ++col)
            cells[cellIndex(row, colCount_, col)] = pool->intern(source_->text(col, row, scratch));
    pool_ = std::move(pool);
    cells_ = std::make_shared<std::vector<TextId>>(std::move(cells));
    source_.reset();
}

std::vector<TextId>& StringGrid::writableCells() {
    if (cells_.use_count() > 1)
        cells_ = std::make_shared<std::vector<TextId>>(*cells_);
    return *cells_;
}

TextPool& StringGrid::writablePool() {
    if (pool_.use_count() > 1)
        pool_ = pool_->copy();
    return *pool_;
}

void StringGrid::clearCells() {
    source_.reset();
    pool_ = std::make_shared<TextPool>();
    cells_ = std::make_shared<std::vector<TextId>>(cellCount(colCount_, rowCount_), kEmptyText);
}

void StringGrid::forEachText(int col, int begin, int end,
                             const std::function<void(std::string_view)>& visit) const {
    begin = std::max(begin, 0);
    end = std::min(end, rowCount_);
    if (col < 0 || col >= colCount_ || begin >= end)
        return;
    if (source_) {
        if (col < sourceCols_ && begin < sourceRows_)
            source_->forEachText(col, begin, std::min(end, sourceRows_), visit);
        if (col >= sourceCols_ || end > sourceRows_)
            visit({});
        return;
    }
    // Each distinct text once.
    std::vector<bool> seen(pool_->size(), false);
    for (int row = begin; row < end; ++row) {
        const TextId id = (*cells_)[cellIndex(row, colCount_, col)];
        if (!seen[id]) {
            seen[id] = true;
            visit(pool_->text(id));
        }
    }
}

int StringGrid::ColWidths(int col) const {
    return col >= 0 && col < colCount_ ? colWidths_[static_cast<std::size_t>(col)]
                                       : kDefaultColWidth;
}

void StringGrid::setColWidths(int col, int width) {
    checkInside(col, 0);
    colWidths_[static_cast<std::size_t>(col)] = width;
}

void StringGrid::checkInside(int col, int row) const {
    if (!inside(col, row))
        throw std::out_of_range("Cell (" + std::to_string(col) + ", " + std::to_string(row) +
                                ") lies outside a table of " + std::to_string(colCount_) +
                                " columns and " + std::to_string(rowCount_) + " rows");
}

} // namespace tarnwick
