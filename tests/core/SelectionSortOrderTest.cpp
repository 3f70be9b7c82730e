#include "core/matching/SelectionSortOrder.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

// The procedure itself: take the first smallest key of the rest and swap it into place.
void selectionPass(std::vector<std::pair<std::int64_t, std::uint32_t>>& rows) {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        std::size_t j = k;
        for (std::size_t m = k; m < rows.size(); ++m)
            if (rows[m].first < rows[j].first)
                j = m;
        std::swap(rows[k], rows[j]);
    }
}

TEST(SelectionSortOrder, MovesTheDisplacedRowBehindItsEqual) {
    SelectionSortOrder order(3);
    order.append(1, 0);
    order.append(1, 1);
    order.append(0, 2);
    order.sortPass();
    EXPECT_EQ(std::vector<std::uint32_t>(order.items().begin(), order.items().end()),
              (std::vector<std::uint32_t>{2, 1, 0}))
        << "not a stable sort";
}

TEST(SelectionSortOrder, MatchesRepeatedSelectionSortOverBatches) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        const int batches = std::uniform_int_distribution<int>(1, 12)(random);
        const int spread = std::uniform_int_distribution<int>(1, 40)(random);
        std::vector<std::vector<std::int64_t>> keys(batches);
        std::size_t total = 0;
        for (auto& batch : keys) {
            batch.resize(std::uniform_int_distribution<int>(0, 120)(random));
            // Every third trial has keys 2^32 apart, which 32 bits would fold onto each other.
            for (auto& key : batch)
                key = std::uniform_int_distribution<int>(-3, spread)(random) +
                      (trial % 3 == 0 ? std::uniform_int_distribution<std::int64_t>(0, 2)(random)
                                      : 0) *
                          (std::int64_t{1} << 32);
            total += batch.size();
        }
        SelectionSortOrder fast(total);
        std::vector<std::pair<std::int64_t, std::uint32_t>> slow;
        std::uint32_t item = 0;
        for (const auto& batch : keys) {
            for (auto key : batch) {
                fast.append(key, item);
                slow.push_back({key, item++});
            }
            fast.sortPass();
            selectionPass(slow);
            ASSERT_EQ(fast.size(), slow.size());
            for (std::size_t i = 0; i < slow.size(); ++i)
                ASSERT_EQ(fast.items()[i], slow[i].second) << "trial " << trial << " at " << i;
        }
    }
}

TEST(SelectionSortOrder, RefusesMoreRowsThanItsCapacity) {
    SelectionSortOrder order(2);
    order.append(0, 0);
    order.append(0, 1);
    EXPECT_THROW(order.append(0, 2), std::length_error);
}

} // namespace
} // namespace tarnwick
