#include "core/table/FaultyCellList.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwick {

FaultyCellList::Iterator& FaultyCellList::Iterator::operator++() {
    if (++offset_ == (*runs_)[run_].rows) {
        ++run_;
        offset_ = 0;
    }
    return *this;
}

FaultyCell FaultyCellList::operator[](std::size_t k) const {
    const auto run = std::upper_bound(runs_.begin(), runs_.end(), k,
                                      [](std::size_t i, const Run& r) { return i < r.before; }) -
                     1;
    return {run->col, run->row + static_cast<int>(k - run->before)};
}

FaultyCell FaultyCellList::at(std::size_t k) const {
    if (k >= count_)
        throw std::out_of_range("no such faulty cell");
    return (*this)[k];
}

void FaultyCellList::add(FaultyCell cell, std::size_t rows) {
    if (rows == 0)
        return;
    if (!runs_.empty()) {
        Run& last = runs_.back();
        if (last.col == cell.col && static_cast<std::int64_t>(last.row) + last.rows == cell.row &&
            rows <= UINT32_MAX - last.rows) {
            last.rows += static_cast<std::uint32_t>(rows);
            count_ += rows;
            return;
        }
    }
    if (rows > UINT32_MAX)
        throw std::length_error("a column has more rows than Tarnwick holds");
    runs_.push_back({cell.col, cell.row, static_cast<std::uint32_t>(rows), count_});
    count_ += rows;
}

void FaultyCellList::append(const FaultyCellList& other) {
    for (const Run& run : other.runs_)
        add({run.col, run.row}, run.rows);
}

} // namespace tarnwick
