#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarnwick {

// Reproduces the row order of a selection sort that is run again over all rows after each batch
// of rows is appended: every step takes the first smallest key of the rest and swaps it into
// place. Ties end up in the order that procedure gives (it is not stable), but each pass costs
// O((swaps + distinct keys) log n) instead of O(n^2): a segment tree over the positions finds the
// first smallest key, and runs of keys already in place are skipped whole.
class SelectionSortOrder {
public:
    explicit SelectionSortOrder(std::size_t capacity);

    // Keys are numbers of steps of matches: 64 bits, as the step limit is.
    void append(std::int64_t key, std::uint32_t item);
    void sortPass();

    std::size_t size() const { return size_; }
    // Items in their current order.
    std::span<const std::uint32_t> items() const { return {items_.data(), size_}; }

private:
    struct Node {
        std::int64_t min;
        std::int64_t max;
    };

    void setLeaf(std::size_t position, std::int64_t key);
    std::int64_t minFrom(std::size_t from) const;
    // First position >= from whose key is <= limit (or > limit); size_ when there is none.
    std::size_t firstAtMost(std::size_t from, std::int64_t limit) const;
    std::size_t firstAbove(std::size_t from, std::int64_t limit) const;
    void swapPositions(std::size_t a, std::size_t b);

    std::size_t leaves_;
    std::size_t size_ = 0;
    std::vector<Node> tree_; // 1-based heap layout, leaves at leaves_ + position
    std::vector<std::int64_t> keys_;
    std::vector<std::uint32_t> items_;
};

} // namespace tarnwick
