#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace tarnwick {

// A locus cell that loading found faulty: its place on the sheet (row 0 the titles).
struct FaultyCell {
    int col;
    int row;
};

// The faulty cells of a table in the order loading lists them, by column and then by row. A
// file may hold millions, mostly a cell repeated down a column ("NA" where a locus was not
// typed), so cells that follow each other down a column are held as one run: the count is exact
// whatever it costs to hold.
class FaultyCellList {
    struct Run {
        int col;
        int row;
        std::uint32_t rows;
        std::size_t before; // cells in the runs before it
    };

public:
    class Iterator {
    public:
        using value_type = FaultyCell;
        using difference_type = std::ptrdiff_t;
        using iterator_category = std::forward_iterator_tag;
        using reference = FaultyCell;

        Iterator() = default;
        FaultyCell operator*() const {
            const Run& run = (*runs_)[run_];
            return {run.col, run.row + static_cast<int>(offset_)};
        }
        Iterator& operator++();
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator& other) const {
            return run_ == other.run_ && offset_ == other.offset_;
        }

    private:
        friend class FaultyCellList;
        Iterator(const std::vector<Run>* runs, std::size_t run) : runs_(runs), run_(run) {}
        const std::vector<Run>* runs_ = nullptr;
        std::size_t run_ = 0;
        std::uint32_t offset_ = 0;
    };

    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    // The k-th faulty cell, counted from 0.
    FaultyCell operator[](std::size_t k) const;
    FaultyCell at(std::size_t k) const;
    FaultyCell front() const { return (*this)[0]; }
    Iterator begin() const { return {&runs_, 0}; }
    Iterator end() const { return {&runs_, runs_.size()}; }

    // Adds the cell and the rows - 1 cells below it, after those added so far.
    void add(FaultyCell cell, std::size_t rows = 1);
    // Adds the cells of other after these.
    void append(const FaultyCellList& other);

private:
    std::vector<Run> runs_;
    std::size_t count_ = 0;
};

} // namespace tarnwick
