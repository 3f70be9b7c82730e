#include "core/table/OwnTexts.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

// Texts set (a row or a run of rows) and erased in row order, mostly in row order, and in any
// order read back as a map of the last settings holds them.
TEST(OwnTexts, HoldTheLastSettingOfEachRowWhateverTheOrder) {
    std::mt19937 random(7);
    for (const int shuffled : {0, 5, 100}) { // percent of steps that go back to an earlier row
        for (int trial = 0; trial < 20; ++trial) {
            OwnTexts texts;
            std::map<std::size_t, std::string> expected;
            std::size_t row = 0;
            for (int step = 0; step < 400; ++step) {
                if (static_cast<int>(random() % 100) < shuffled)
                    row = random() % 300;
                else
                    row += random() % 3; // the same row again now and then
                if (random() % 4 == 0) {
                    texts.erase(row);
                    expected.erase(row);
                } else {
                    const std::string text = "t" + std::to_string(random() % 5);
                    const std::size_t rows = random() % 3 == 0 ? 1 + random() % 6 : 1;
                    texts.set(row, rows, text);
                    for (std::size_t r = row; r < row + rows; ++r)
                        expected[r] = text;
                }
            }
            texts.finish();
            for (std::size_t r = 0; r <= row + 300; ++r) {
                const std::string* found = texts.find(r);
                const auto it = expected.find(r);
                ASSERT_EQ(found != nullptr, it != expected.end()) << shuffled << " row " << r;
                if (found) {
                    EXPECT_EQ(*found, it->second);
                }
            }
            EXPECT_EQ(texts.empty(), expected.empty());
            std::vector<std::size_t> visited;
            texts.forEachRow([&](std::size_t r) { visited.push_back(r); });
            std::vector<std::size_t> rows;
            for (const auto& [r, text] : expected)
                rows.push_back(r);
            EXPECT_EQ(visited, rows) << shuffled;
        }
    }
}

} // namespace
} // namespace tarnwick
