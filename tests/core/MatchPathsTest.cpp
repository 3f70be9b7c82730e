// Every way of matching (the vector kernel at the level TARNWICK_KERNEL chooses, 64-bit comparison
// one by one, the exact-match index) against a plain double loop, on random tables: values near
// the kernel's 16-bit limits and beyond, untyped cells, paired descriptive columns, haplotypes
// enough to fill many blocks and batches.
#include "core/matching/ByHaplotypeTable.h"
#include "core/matching/Matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tarnwick {
namespace {

class RandomTables {
public:
    explicit RandomTables(unsigned seed) : random_(seed) {}

    std::shared_ptr<const HaplotypeTable> make(TableLayout layout, int haplotypes, int loci) {
        HaplotypeTableBuilder builder(layout, CellReading::Integers);
        const int descriptive = layout.firstLocusColumn;
        for (int c = 0; c < descriptive + loci; ++c) {
            // A descriptive column titled as a locus pairs with it; its texts are read as
            // integers there.
            const bool pairedDescriptive = c == 0 && pick(0, 3) == 0;
            builder.setText(0, c,
                            c < descriptive && !pairedDescriptive
                                ? "d" + std::to_string(c)
                                : "L" + std::to_string(pick(0, loci + 1)));
            for (int r = 1; r <= haplotypes; ++r)
                if (const std::string v = value(r); !v.empty())
                    builder.setText(r, c, v);
        }
        builder.cover(haplotypes + 1, descriptive + loci);
        return builder.finish().table;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::string value(int row) {
        const int roll = pick(0, 99);
        if (roll < 8)
            return "";
        if (roll < 10 && extremes_ == Extremes::Narrow) // large sums in 16-bit lanes
            return std::to_string(std::vector<int>{16383, -16383, 9000, -12000}[pick(0, 3)]);
        if (roll < 10 && extremes_ == Extremes::Wide)
            return std::to_string(
                std::vector<int>{16384, -16384, 32767, 40000, 2147483647, -2147483647}[pick(0, 5)]);
        if (roll < 11) // a text of its own: the cell shows it, the comparison its value
            return "0" + std::to_string(10 + row % 3);
        return std::to_string(10 + row % 3 + pick(0, 2));
    }

public:
    enum class Extremes { None, Narrow, Wide };
    Extremes extremes_ = Extremes::None;

private:
    std::mt19937 random_;
};

using Found = std::vector<std::tuple<std::uint32_t, std::uint32_t, std::int64_t, std::int32_t>>;

// A column's cells as numbers, read from their texts.
std::vector<std::int64_t> plainValues(const HaplotypeTable& table, int col) {
    std::vector<std::int64_t> values;
    std::string scratch;
    for (std::size_t h = 0; h < table.haplotypes(); ++h) {
        const std::string text(table.cell(col, h, scratch));
        values.push_back(text.empty() ? LocusColumn::kUntyped : std::stoll(text));
    }
    return values;
}

// Every pair of haplotypes with a common typed locus, and its steps.
Found plainComparisons(const HaplotypeTable& database, const HaplotypeTable& search) {
    std::vector<std::pair<std::vector<std::int64_t>, std::vector<std::int64_t>>> pairs;
    for (const LocusPair& pair : pairLoci(database, search))
        pairs.emplace_back(plainValues(search, pair.searchColumn),
                           plainValues(database, pair.databaseColumn));
    Found found;
    for (std::size_t s = 0; s < search.haplotypes(); ++s)
        for (std::size_t h = 0; h < database.haplotypes(); ++h) {
            std::int64_t steps = 0;
            std::int32_t common = 0;
            for (const auto& [searchValues, databaseValues] : pairs) {
                const std::int64_t a = searchValues[s];
                const std::int64_t b = databaseValues[h];
                if (a == LocusColumn::kUntyped || b == LocusColumn::kUntyped)
                    continue;
                ++common;
                steps += a > b ? a - b : b - a;
            }
            if (common > 0)
                found.emplace_back(s, h, steps, common);
        }
    return found;
}

Found sortedMatches(const MatchResult& result) {
    Found found;
    for (const Match& m : result.matches)
        found.emplace_back(m.search, m.database, m.steps, m.commonLoci);
    std::sort(found.begin(), found.end());
    return found;
}

// At the level TARNWICK_KERNEL chooses; ctest runs it on the portable loop too.
TEST(MatchPaths, FindWhatAPlainLoopFinds) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        RandomTables random(seed);
        random.extremes_ = static_cast<RandomTables::Extremes>(seed % 3);
        const int loci = random.pick(1, 30);
        const auto database = random.make(kDatabaseLayout, random.pick(0, 300), loci);
        const auto search = random.make(kSearchLayout, random.pick(0, 100), loci);
        const Found all = plainComparisons(*database, *search);
        for (const std::int64_t limit :
             {-1LL, 0LL, 1LL, 3LL, 10LL, 65534LL, 65535LL, 4294967296LL}) {
            const auto result = match(*database, *search, limit);
            ASSERT_FALSE(result.failure) << "seed " << seed;
            Found within;
            std::copy_if(all.begin(), all.end(), std::back_inserter(within),
                         [&](const auto& found) { return std::get<2>(found) <= limit; });
            ASSERT_EQ(sortedMatches(result), within) << "seed " << seed << " limit " << limit;
        }
    }
}

// Rows read together (the writers' way, in stretches on a second thread) against the table read
// cell by cell, on results large enough for the database's row records and many stretches.
TEST(ByHaplotypeRows, EqualTheCellsOneByOne) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        RandomTables random(seed);
        random.extremes_ = static_cast<RandomTables::Extremes>(seed % 3);
        const int loci = random.pick(1, 12);
        const auto database = random.make(kDatabaseLayout, 3000, loci);
        const auto search = random.make(kSearchLayout, random.pick(2, 4), loci);
        const ByHaplotypeTable table(
            database, search,
            std::make_shared<const MatchResult>(match(*database, *search, std::int64_t{1} << 40)));
        ASSERT_GT(table.rowCount(), 4000) << "seed " << seed;
        for (const auto& [begin, end] : {std::pair{0, table.rowCount()}, std::pair{1, 2}}) {
            int row = begin;
            std::string scratch;
            table.forEachRow(begin, end, [&](std::span<const std::string_view> cells) {
                ASSERT_EQ(static_cast<int>(cells.size()), table.columnCount());
                for (int col = 0; col < table.columnCount(); ++col)
                    ASSERT_EQ(cells[static_cast<std::size_t>(col)], table.text(col, row, scratch))
                        << "seed " << seed << " row " << row << " column " << col;
                ++row;
            });
            EXPECT_EQ(row, end);
        }
    }
}

} // namespace
} // namespace tarnwick
