// Match probabilities and population diversity against figures worked out independently.
#include "core/Error.h"
#include "core/statistics/Diversity.h"
#include "core/statistics/MatchProbabilities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Cells = std::vector<std::vector<std::string>>;

std::shared_ptr<const HaplotypeTable> table(const Cells& cells, TableLayout layout,
                                            CellReading reading) {
    HaplotypeTableBuilder builder(layout, reading);
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            if (!cells[r][c].empty())
                builder.setText(static_cast<long>(r), static_cast<long>(c), cells[r][c]);
    builder.cover(static_cast<long>(cells.size()), static_cast<long>(cells[0].size()));
    return builder.finish().table;
}

// A database of the populations A, B, C, one of "0" and one of none, at loci X and Y.
std::shared_ptr<const HaplotypeTable> integerDatabase() {
    Cells cells{{"id", "population", "d2", "d3", "d4", "d5", "d6", "X", "Y"}};
    const Cells haplotypes = {{"A", "14", "24"}, {"A", "14", "24"}, {"A", "15", "24"},
                              {"A", "14", ""},   {"B", "14", "24"}, {"B", "16", "23"},
                              {"B", "17", "22"}, {"0", "14", "24"}, {"", "14", "24"},
                              {"C", "14", ""}};
    for (std::size_t i = 0; i < haplotypes.size(); ++i)
        cells.push_back({"h" + std::to_string(i + 1), haplotypes[i][0], "", "", "", "", "",
                         haplotypes[i][1], haplotypes[i][2]});
    return table(cells, kDatabaseLayout, CellReading::Integers);
}

TEST(ClopperPearson, AgreesWithTheIncompleteBetaFunction) {
    // Reference figures: bisection on the regularized incomplete beta function of mpmath 1.3.0
    // at 50 digits (lower: its alpha/2 quantile of Beta(m, n - m + 1); upper: its 1 - alpha/2
    // quantile of Beta(m + 1, n - m)). The ends agree with the closed forms: the upper bound of
    // 0 of n is 1 - (alpha/2)^(1/n), the lower bound of n of n (alpha/2)^(1/n).
    const struct {
        double confidence;
        std::size_t matches, n;
        double lower, upper;
    } cases[] = {
        {0.95, 0, 100, 0, 0.0362166926452},
        {0.95, 1, 1, 0.025, 1},
        {0.95, 3, 50, 0.0125485878353, 0.165481946604},
        {0.95, 50, 50, 0.928878263536, 1},
        {0.99, 0, 100, 0, 0.0516040296241},
        {0.99, 1, 1, 0.005, 1},
        {0.99, 3, 50, 0.00687248533295, 0.202706269469},
        {0.99, 50, 50, 0.899454916625, 1},
    };
    for (const auto& c : cases) {
        const auto [lower, upper] = clopperPearson(c.matches, c.n, c.confidence);
        EXPECT_NEAR(lower, c.lower, 1e-10) << c.matches << " of " << c.n << " at " << c.confidence;
        EXPECT_NEAR(upper, c.upper, 1e-10) << c.matches << " of " << c.n << " at " << c.confidence;
    }
}

struct Expected {
    const char* population;
    std::size_t n, matches;
    std::optional<double> frequency, augmented, kappa;
};

void expectRows(const MatchProbabilities& result, std::size_t search,
                const std::vector<Expected>& expected) {
    std::vector<const ProbabilityRow*> rows;
    for (const ProbabilityRow& row : result.rows)
        if (row.search == search)
            rows.push_back(&row);
    ASSERT_EQ(rows.size(), expected.size()) << "search " << search;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ProbabilityRow& row = *rows[i];
        const std::string population =
            row.population < 0 ? "All"
                               : result.populations[static_cast<std::size_t>(row.population)];
        const std::string where = "search " + std::to_string(search) + ", " + population;
        EXPECT_EQ(population, expected[i].population) << where;
        EXPECT_EQ(row.n, expected[i].n) << where;
        EXPECT_EQ(row.matches, expected[i].matches) << where;
        const auto near = [&](const std::optional<double>& got, const std::optional<double>& want,
                              const char* what) {
            ASSERT_EQ(got.has_value(), want.has_value()) << where << " " << what;
            if (want) {
                EXPECT_NEAR(*got, *want, 1e-12) << where << " " << what;
            }
        };
        near(row.frequency, expected[i].frequency, "frequency");
        near(row.augmented, expected[i].augmented, "augmented");
        near(row.kappa, expected[i].kappa, "kappa");
        EXPECT_EQ(row.lower.has_value(), row.n > 0) << where;
    }
}

TEST(MatchProbabilities, CountsOverTheLociTheSearchHaplotypeHas) {
    const auto search = table({{"sample", "comment", "X", "Y"},
                               {"s1", "", "14", "24"},
                               {"s2", "", "16", ""},
                               {"s3", "", "", ""}},
                              kSearchLayout, CellReading::Integers);
    const MatchProbabilities result = matchProbabilities(*integerDatabase(), *search, 0.95);
    EXPECT_EQ(result.populations, (std::vector<std::string>{"A", "B", "C"}));
    // s1 over X and Y: A has h1, h2 (both alike) and h3 typed at both; C's one haplotype lacks Y;
    // all of them: h1-h3, h5-h9, five alike.
    expectRows(result, 0,
               {{"A", 3, 2, 2.0 / 3, 3.0 / 4, {}},
                {"B", 3, 1, 1.0 / 3, 2.0 / 4, {}},
                {"C", 0, 0, {}, {}, {}},
                {"All", 8, 5, 5.0 / 8, 6.0 / 9, {}}});
    // s2 over X only. Unseen in A (14, 14, 15, 14: one of the four alone) so kappa is
    // (1 - 1/4) / 4; in C (one haplotype, alone) (1 - 1) / 1.
    expectRows(result, 1,
               {{"A", 4, 0, 0.0, 1.0 / 5, 0.75 / 4},
                {"B", 3, 1, 1.0 / 3, 2.0 / 4, {}},
                {"C", 1, 0, 0.0, 1.0 / 2, 0.0},
                {"All", 10, 1, 1.0 / 10, 2.0 / 11, {}}});
    // s3 has no typed locus, so no frequency (not 1 of every haplotype, the same over no loci).
    expectRows(result, 2,
               {{"A", 0, 0, {}, {}, {}},
                {"B", 0, 0, {}, {}, {}},
                {"C", 0, 0, {}, {}, {}},
                {"All", 0, 0, {}, {}, {}}});
    for (std::size_t r = 8; r < 12; ++r)
        EXPECT_FALSE(result.rows[r].typed);
    // A's upper bound for s2: 1 - 0.025^(1/4).
    EXPECT_NEAR(*result.rows[4].upper, 1 - std::pow(0.025, 0.25), 1e-12);

    const MatchProbabilityTable shown(search, result);
    std::string scratch;
    const auto cell = [&](int col, int row) { return std::string(shown.text(col, row, scratch)); };
    EXPECT_EQ(cell(0, 0), "sample");
    EXPECT_EQ(cell(9, 0), "kappa");
    EXPECT_EQ(cell(0, 1), "s1");
    EXPECT_EQ(cell(5, 1), "0.666667");
    EXPECT_EQ(cell(5, 3), "") << "C has no haplotype typed at both loci";
    EXPECT_EQ(cell(2, 4), "All");
    EXPECT_EQ(cell(9, 5), "0.1875");
    EXPECT_EQ(cell(7, 5), "0.602365");
    for (int col = 0; col < MatchProbabilityTable::kColumns; ++col)
        EXPECT_EQ(cell(col, 12), col == 0 ? "s3" : col == 2 ? "All" : "") << col;
    EXPECT_THROW(matchProbabilities(*integerDatabase(), *search, 0.4), Error);
    EXPECT_THROW(matchProbabilities(*integerDatabase(), *search, 0.99999), Error);
}

TEST(MatchProbabilities, GenotypesAreTheSameByWhatTheyHold) {
    const auto database =
        table({{"id", "population", "d2", "d3", "d4", "d5", "d6", "DYS19", "DYS385a", "DYS385b"},
               {"g1", "A", "", "", "", "", "", "14", "12", "13"},
               {"g2", "A", "", "", "", "", "", "14", "13", "12"},
               {"g3", "A", "", "", "", "", "", "14.2", "12", "13"},
               {"g4", "B", "", "", "", "", "", "14", "11", "14"}},
              kDatabaseLayout, CellReading::Genotypes);
    const auto search =
        table({{"sample", "comment", "DYS394", "DYS385"}, {"s1", "", "14", "13-12"}}, kSearchLayout,
              CellReading::Genotypes);
    expectRows(matchProbabilities(*database, *search, 0.95), 0,
               {{"A", 3, 2, 2.0 / 3, 3.0 / 4, {}},
                {"B", 1, 0, 0.0, 1.0 / 2, 0.0},
                {"All", 4, 2, 2.0 / 4, 3.0 / 5, {}}});
    // Diversity: A holds {14; 12,13} twice and {14.2; 12,13} once.
    const auto rows = populationDiversity(*database);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].n, 3u);
    EXPECT_EQ(rows[0].haplotypes, 2u);
    EXPECT_EQ(rows[0].singletons, 1u);
    EXPECT_NEAR(*rows[0].diversity, 2.0 / 3, 1e-12);
}

// Against counting done the plain way, on random tables with few values (many alike) and
// untyped cells (many sets of loci).
TEST(MatchProbabilities, CountAsAPlainLoopCounts) {
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 30; ++round) {
        const int loci = pick(1, 4);
        Cells db{{"id", "population", "d2", "d3", "d4", "d5", "d6"}};
        Cells search{{"sample", "comment"}};
        for (int k = 0; k < loci; ++k) {
            db[0].push_back("L" + std::to_string(k));
            search[0].push_back("L" + std::to_string(k));
        }
        const auto value = [&] { return pick(0, 4) == 0 ? "" : std::to_string(pick(10, 12)); };
        for (int h = pick(0, 60); h > 0; --h) {
            db.push_back({"h", std::vector<std::string>{"A", "B", "C", "0", ""}[pick(0, 4)], "", "",
                          "", "", ""});
            for (int k = 0; k < loci; ++k)
                db.back().push_back(value());
        }
        for (int s = pick(1, 8); s > 0; --s) {
            search.push_back({"s", ""});
            for (int k = 0; k < loci; ++k)
                search.back().push_back(value());
        }
        const auto result =
            matchProbabilities(*table(db, kDatabaseLayout, CellReading::Integers),
                               *table(search, kSearchLayout, CellReading::Integers), 0.95);
        std::vector<std::string> places = result.populations;
        places.push_back("All");
        std::size_t next = 0;
        for (std::size_t s = 1; s < search.size(); ++s) {
            for (const std::string& place : places) {
                std::size_t n = 0, matches = 0;
                std::map<std::vector<std::string>, int> seen;
                for (std::size_t h = 1; h < db.size(); ++h) {
                    if (place != "All" && db[h][1] != place)
                        continue;
                    bool typed = true, same = true;
                    std::vector<std::string> over;
                    for (int k = 0; k < loci; ++k) {
                        const std::string& mine = search[s][2 + static_cast<std::size_t>(k)];
                        const std::string& theirs = db[h][7 + static_cast<std::size_t>(k)];
                        if (mine.empty())
                            continue;
                        typed = typed && !theirs.empty();
                        same = same && theirs == mine;
                        over.push_back(theirs);
                    }
                    if (!typed)
                        continue;
                    ++n;
                    matches += same ? 1 : 0;
                    ++seen[over];
                }
                std::size_t alone = 0;
                for (const auto& [values, count] : seen)
                    alone += count == 1 ? 1 : 0;
                const ProbabilityRow& row = result.rows.at(next++);
                ASSERT_EQ(row.search, s - 1);
                const bool typed = std::any_of(search[s].begin() + 2, search[s].end(),
                                               [](const std::string& v) { return !v.empty(); });
                EXPECT_EQ(row.typed, typed);
                if (!typed)
                    n = matches = 0;
                EXPECT_EQ(row.n, n) << "round " << round << " search " << s << " " << place;
                EXPECT_EQ(row.matches, matches) << "round " << round << " search " << s;
                if (n > 0 && matches == 0) {
                    ASSERT_TRUE(row.kappa);
                    EXPECT_NEAR(*row.kappa, (1 - double(alone) / double(n)) / double(n), 1e-12)
                        << "round " << round << " search " << s << " " << place;
                }
            }
        }
        EXPECT_EQ(next, result.rows.size());
    }
}

TEST(Diversity, WorkedOutByHand) {
    const auto rows = populationDiversity(*integerDatabase());
    const struct {
        const char* population;
        std::size_t n, haplotypes, singletons;
        std::optional<double> diversity, discrimination;
    } expected[] = {
        // A: (14,24) twice, (15,24) once: 3/2 * (1 - (4/9 + 1/9)) = 2/3.
        {"A", 3, 2, 1, 2.0 / 3, 2.0 / 3},
        // B: three different haplotypes: 3/2 * (1 - 3/9) = 1.
        {"B", 3, 3, 3, 1.0, 1.0},
        // C: its one haplotype lacks Y.
        {"C", 0, 0, 0, {}, {}},
        // All: (14,24) five times, three others once: 8/7 * (1 - 28/64).
        {"All", 8, 4, 3, 8.0 / 7 * (1 - 28.0 / 64), 0.5},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].population, expected[i].population);
        EXPECT_EQ(rows[i].n, expected[i].n) << rows[i].population;
        EXPECT_EQ(rows[i].haplotypes, expected[i].haplotypes) << rows[i].population;
        EXPECT_EQ(rows[i].singletons, expected[i].singletons) << rows[i].population;
        ASSERT_EQ(rows[i].diversity.has_value(), expected[i].diversity.has_value());
        if (expected[i].diversity) {
            EXPECT_NEAR(*rows[i].diversity, *expected[i].diversity, 1e-12) << rows[i].population;
        }
        ASSERT_EQ(rows[i].discrimination.has_value(), expected[i].discrimination.has_value());
        if (expected[i].discrimination) {
            EXPECT_NEAR(*rows[i].discrimination, *expected[i].discrimination, 1e-12);
        }
    }
    const DiversityTable shown(rows);
    std::string scratch;
    EXPECT_EQ(shown.text(4, 1, scratch), "0.666667");
    EXPECT_EQ(shown.text(4, 3, scratch), "");
    EXPECT_EQ(shown.text(4, 4, scratch), "0.642857");
}

} // namespace
} // namespace tarnwick
