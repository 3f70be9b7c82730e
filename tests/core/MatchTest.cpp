// The domain's matching on its own: haplotype tables in, matches out.
#include "core/Error.h"
#include "core/matching/Matching.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Strings = std::vector<std::string>;

std::shared_ptr<const HaplotypeTable> table(const std::vector<Strings>& rows, TableLayout layout) {
    HaplotypeTableBuilder builder(layout, CellReading::Integers);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty())
                builder.setText(static_cast<long>(r), static_cast<long>(c), rows[r][c]);
    builder.cover(static_cast<long>(rows.size()), static_cast<long>(rows.front().size()));
    return builder.finish().table;
}

// Seven descriptive columns, then loci P, Q, R.
std::shared_ptr<const HaplotypeTable> database(const std::vector<Strings>& haplotypes) {
    std::vector<Strings> rows{{"id", "population", "d2", "d3", "d4", "d5", "d6", "P", "Q", "R"}};
    for (const auto& h : haplotypes) {
        Strings row{"h", "X", "", "", "", "", ""};
        row.insert(row.end(), h.begin(), h.end());
        rows.push_back(row);
    }
    return table(rows, kDatabaseLayout);
}

// Loci R, P and S, which the database lacks.
std::shared_ptr<const HaplotypeTable> search(const std::vector<Strings>& haplotypes) {
    std::vector<Strings> rows{{"sample", "comment", "R", "P", "S"}};
    for (const auto& h : haplotypes) {
        Strings row{"s", ""};
        row.insert(row.end(), h.begin(), h.end());
        rows.push_back(row);
    }
    return table(rows, kSearchLayout);
}

TEST(Match, SumsDifferencesAtTypedPairedLociWithinTheLimit) {
    const struct {
        const char* name;
        Strings databaseHaplotype; // P, Q, R
        Strings searchHaplotype;   // R, P, S
        std::int64_t limit;
        std::vector<std::pair<std::int64_t, int>> steps; // steps and common loci of each match
    } cases[] = {
        {"P differs by 1 over 2 common loci", {"13", "9", "14"}, {"14", "12", "1"}, 1, {{1, 2}}},
        {"one step over the limit", {"13", "9", "14"}, {"14", "12", "1"}, 0, {}},
        {"a total equal to the limit", {"14", "9", "12"}, {"14", "12", ""}, 4, {{4, 2}}},
        {"a negative limit lists nothing", {"12", "9", "14"}, {"14", "12", ""}, -1, {}},
        {"an untyped database locus is skipped", {"", "9", "14"}, {"14", "99", ""}, 0, {{0, 1}}},
        {"an untyped search locus is skipped", {"99", "9", "14"}, {"14", "", ""}, 0, {{0, 1}}},
        {"no typed locus in common, no match", {"", "9", ""}, {"14", "12", ""}, 100, {}},
        {"hexadecimal and signed texts", {"$C", "9", "+14"}, {"0xE", " 12", ""}, 0, {{0, 2}}},
        {"64-bit sums",
         {"2147483647", "", "-2147483648"},
         {"2147483647", "-2147483648", ""},
         8589934590LL,
         {{8589934590LL, 2}}},
    };
    for (const auto& c : cases) {
        const auto result =
            match(*database({c.databaseHaplotype}), *search({c.searchHaplotype}), c.limit);
        EXPECT_EQ(result.pairs, (std::vector<LocusPair>{{7, 3}, {9, 2}})) << c.name;
        std::vector<std::pair<std::int64_t, int>> steps;
        for (const Match& m : result.matches)
            steps.emplace_back(m.steps, m.commonLoci);
        EXPECT_EQ(steps, c.steps) << c.name;
        EXPECT_FALSE(result.failure) << c.name;
    }
}

TEST(Match, StopsBeforeTheSearchHaplotypeThatMeetsATextThatIsNoInteger) {
    const auto result = match(*database({{"12", "", "14"}, {"13", "", "q7"}}),
                              *search({{"14", "12", ""}, {"14", "13", ""}}), 5);
    EXPECT_EQ(result.searchesCompared, 0u) << "the first search haplotype meets h2's q7";
    EXPECT_EQ(result.failure, "'q7' is not a valid integer value");
    const auto searchFails =
        match(*database({{"12", "", "14"}}), *search({{"14", "12", ""}, {"1a", "12", ""}}), 5);
    EXPECT_EQ(searchFails.searchesCompared, 1u);
    EXPECT_EQ(searchFails.matches.size(), 1u) << "the rows of the haplotypes before it";
    EXPECT_EQ(searchFails.failure, "'1a' is not a valid integer value");
}

TEST(Match, OrdersAsTheSelectionSortRepeatedAfterEachSearchHaplotype) {
    // The search haplotype lists h1 (2 steps), h2 (2), h3 (1); the sort swaps h3 to the front,
    // moving h1 behind h2: the order of equal totals is the procedure's, not a stable one.
    const auto result = match(*database({{"14", "", "14"}, {"12", "", "16"}, {"13", "", "14"}}),
                              *search({{"14", "12", ""}}), 3);
    std::vector<std::uint32_t> order;
    for (const Match& m : result.matches)
        order.push_back(m.database);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 1, 0}));
}

TEST(MarkerSlots, FillAndOverwriteInPairOrder) {
    struct Case {
        std::vector<std::int64_t> differences;
        std::vector<std::pair<int, std::int64_t>> slots; // pair and difference; -1: empty
    };
    const Case cases[] = {
        {{0, -1, 4, 7}, {{-1, 0}, {-1, 0}, {-1, 0}}}, {{1, 1, 1, 1, 1}, {{0, 1}, {1, 1}, {2, 1}}},
        {{1, 1, 2}, {{0, 1}, {2, 2}, {-1, 0}}},       {{1, 2, 1}, {{0, 1}, {2, 1}, {-1, 0}}},
        {{2, 1}, {{1, 1}, {0, 2}, {-1, 0}}},          {{3}, {{-1, 0}, {-1, 0}, {0, 3}}},
        {{1, 1, 1, 3}, {{0, 1}, {1, 1}, {3, 3}}},     {{3, 1, 1, 1}, {{1, 1}, {2, 1}, {3, 1}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, std::int64_t>> slots;
        for (const MarkerSlot& slot : markerSlots(c.differences))
            slots.emplace_back(slot.pair, slot.difference);
        EXPECT_EQ(slots, c.slots) << "case starting " << c.differences.front();
    }
}

} // namespace
} // namespace tarnwick
