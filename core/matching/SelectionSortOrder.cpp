#include "core/matching/SelectionSortOrder.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace tarnwick {
namespace {

constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();

} // namespace

SelectionSortOrder::SelectionSortOrder(std::size_t capacity) : leaves_(1) {
    while (leaves_ < capacity)
        leaves_ *= 2;
    // Unused positions can never be found: their minimum is above and their maximum below any key.
    tree_.assign(2 * leaves_, Node{kHighest, kLowest});
    keys_.reserve(capacity);
    items_.reserve(capacity);
}

void SelectionSortOrder::append(std::int64_t key, std::uint32_t item) {
    if (size_ == leaves_)
        throw std::length_error("SelectionSortOrder: capacity exceeded");
    keys_.push_back(key);
    items_.push_back(item);
    setLeaf(size_++, key);
}

void SelectionSortOrder::setLeaf(std::size_t position, std::int64_t key) {
    std::size_t node = leaves_ + position;
    tree_[node] = {key, key};
    for (node /= 2; node >= 1; node /= 2) {
        const Node& left = tree_[2 * node];
        const Node& right = tree_[2 * node + 1];
        const Node updated{std::min(left.min, right.min), std::max(left.max, right.max)};
        if (updated.min == tree_[node].min && updated.max == tree_[node].max)
            break; // nothing above changes either
        tree_[node] = updated;
    }
}

std::int64_t SelectionSortOrder::minFrom(std::size_t from) const {
    // Walk up from the leaf, taking every right sibling subtree that lies wholly after it.
    std::size_t node = leaves_ + from;
    std::int64_t result = tree_[node].min;
    for (; node > 1; node /= 2)
        if (node % 2 == 0)
            result = std::min(result, tree_[node + 1].min);
    return result;
}

std::size_t SelectionSortOrder::firstAtMost(std::size_t from, std::int64_t limit) const {
    if (from >= size_)
        return size_;
    std::size_t node = leaves_ + from;
    if (tree_[node].min <= limit)
        return from;
    // Climb until a right sibling holds a match, then descend to its leftmost match.
    for (;;) {
        if (node == 1)
            return size_;
        if (node % 2 == 0 && tree_[node + 1].min <= limit) {
            node = node + 1;
            break;
        }
        node /= 2;
    }
    while (node < leaves_)
        node = tree_[2 * node].min <= limit ? 2 * node : 2 * node + 1;
    return node - leaves_;
}

std::size_t SelectionSortOrder::firstAbove(std::size_t from, std::int64_t limit) const {
    if (from >= size_)
        return size_;
    std::size_t node = leaves_ + from;
    if (tree_[node].max > limit)
        return from;
    for (;;) {
        if (node == 1)
            return size_;
        if (node % 2 == 0 && tree_[node + 1].max > limit) {
            node = node + 1;
            break;
        }
        node /= 2;
    }
    while (node < leaves_)
        node = tree_[2 * node].max > limit ? 2 * node : 2 * node + 1;
    return node - leaves_;
}

void SelectionSortOrder::swapPositions(std::size_t a, std::size_t b) {
    std::swap(keys_[a], keys_[b]);
    std::swap(items_[a], items_[b]);
    setLeaf(a, keys_[a]);
    setLeaf(b, keys_[b]);
}

void SelectionSortOrder::sortPass() {
    std::size_t k = 0;
    // The smallest key of the rest changes only when its last row has been placed.
    std::int64_t smallest = size_ > 0 ? minFrom(0) : 0;
    // Rows of the smallest key are taken in position order, and a swap never moves one further
    // on, so the next one lies after the last one taken.
    std::size_t searchFrom = 0;
    while (k < size_) {
        if (keys_[k] == smallest) {
            // Every step over a run of the smallest key finds its own position: nothing moves.
            k = firstAbove(k, smallest);
            if (k < size_)
                smallest = minFrom(k);
            searchFrom = k;
            continue;
        }
        const std::size_t j = firstAtMost(std::max(searchFrom, k), smallest);
        if (j == size_) {
            smallest = minFrom(k);
            searchFrom = k;
            continue;
        }
        swapPositions(k, j);
        searchFrom = j + 1;
        ++k;
    }
}

} // namespace tarnwick
