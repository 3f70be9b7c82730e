// Population structure: which men enter, the fast AMOVA against the formulas written as loops
// over pairs of men, and the permutation p-values against exact enumeration and their expected
// behaviour.
#include "core/statistics/PopulationStructure.h"
#include "LiteralStructure.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace tarnwick {
namespace {

using Cells = std::vector<std::vector<std::string>>;

std::shared_ptr<const HaplotypeTable> table(const Cells& cells, CellReading reading) {
    HaplotypeTableBuilder builder(kDatabaseLayout, reading);
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            if (!cells[r][c].empty())
                builder.setText(static_cast<long>(r), static_cast<long>(c), cells[r][c]);
    builder.cover(static_cast<long>(cells.size()), static_cast<long>(cells[0].size()));
    return builder.finish().table;
}

struct Left {
    const char* locus;
    LeftOutReason reason;
};
// A haplotype: population, then locus cells; what becomes of it: repeat counts at the sample's
// loci, or why it is left out (or neither, when it has no population).
struct Row {
    std::vector<std::string> cells;
    std::variant<std::monostate, std::vector<std::int32_t>, Left> expected;
};

void expectSample(const std::vector<std::string>& titles, const std::vector<Row>& rows,
                  CellReading reading, const std::vector<std::string>& loci) {
    Cells cells{{"id", "population", "d2", "d3", "d4", "d5", "d6"}};
    cells[0].insert(cells[0].end(), titles.begin(), titles.end());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        cells.push_back({"h" + std::to_string(i), rows[i].cells[0], "", "", "", "", ""});
        cells.back().insert(cells.back().end(), rows[i].cells.begin() + 1, rows[i].cells.end());
    }
    const StructureSample sample = structureSample(*table(cells, reading), true);
    EXPECT_EQ(sample.loci, loci);
    std::map<std::size_t, std::size_t> manOfRow;
    for (std::size_t m = 0; m < sample.men(); ++m)
        manOfRow[sample.haplotypes[m]] = m;
    std::map<std::size_t, const LeftOutMan*> leftOfRow;
    for (const LeftOutMan& man : sample.leftOutMen)
        leftOfRow[man.haplotype] = &man;
    std::map<std::string, std::pair<std::size_t, std::size_t>> counts; // men, left out
    for (std::size_t h = 0; h < rows.size(); ++h) {
        SCOPED_TRACE("haplotype " + std::to_string(h));
        const Row& row = rows[h];
        if (const auto* repeats = std::get_if<std::vector<std::int32_t>>(&row.expected)) {
            ASSERT_TRUE(manOfRow.contains(h));
            for (std::size_t l = 0; l < repeats->size(); ++l)
                EXPECT_EQ(sample.repeat(manOfRow[h], l), (*repeats)[l]) << loci[l];
            ++counts[row.cells[0]].first;
        } else if (const auto* left = std::get_if<Left>(&row.expected)) {
            ASSERT_TRUE(leftOfRow.contains(h));
            EXPECT_EQ(leftOfRow[h]->locus, left->locus);
            EXPECT_EQ(leftOutReasonText(leftOfRow[h]->reason), leftOutReasonText(left->reason));
            EXPECT_EQ(sample.populations[leftOfRow[h]->population].name, row.cells[0]);
            ++counts[row.cells[0]].second;
        } else {
            EXPECT_FALSE(manOfRow.contains(h) || leftOfRow.contains(h));
        }
    }
    for (const StructurePopulation& p : sample.populations) {
        EXPECT_EQ(p.men, counts[p.name].first) << p.name;
        EXPECT_EQ(p.leftOut, counts[p.name].second) << p.name;
    }
}

using R = LeftOutReason;
using Repeats = std::vector<std::int32_t>;

TEST(StructureSample, MenWithOneWholeRepeatCountAtEveryLocusUnderBothReadings) {
    // DYS389II enters less DYS389I; the copies of DYS385 as two loci, the smaller first.
    expectSample({"DYS19", "DYS389 I", "DYS389 II", "DYS385"},
                 {
                     {{"A", "14", "13", "29", "11,14"}, Repeats{14, 13, 16, 11, 14}},
                     {{"A", "15", "12", "28", "14-11"}, Repeats{15, 12, 16, 11, 14}},
                     {{"A", "", "13", "29", "11,14"}, Left{"DYS19", R::Missing}},
                     {{"A", "null", "13", "29", "11,14"}, Left{"DYS19", R::NullAllele}},
                     {{"B", "14", "13.2", "29", "11,14"}, Left{"DYS389 I", R::PartialRepeat}},
                     {{"B", "14", "13", "29", "11,14,15"}, Left{"DYS385", R::SeveralCopies}},
                     {{"B", "14,15", "13", "29", "11,14"}, Left{"DYS19", R::SeveralCopies}},
                     {{"B", "14", "13", "29", "11"}, Repeats{14, 13, 16, 11, 11}}, // both copies
                     {{"B", "14", "13", "29", "x"}, Left{"DYS385", R::Unreadable}},
                     {{"B", "16", "13", "30", "12,12"}, Repeats{16, 13, 17, 12, 12}},
                     {{"0", "16", "13", "30", "12,13"}, std::monostate{}},
                     {{"B", "17", "14", "31", "13/12"}, Repeats{17, 14, 17, 12, 13}},
                 },
                 CellReading::Genotypes,
                 {"DYS19", "DYS389 I", "DYS389 II", "DYS385 (1)", "DYS385 (2)"});
    expectSample({"DYS19", "DYS389I", "DYS389II", "DYF387S1a", "DYF387S1b"},
                 {
                     {{"A", "14", "13", "29", "38", "36"}, Repeats{14, 13, 16, 36, 38}},
                     {{"A", "14", "13", "29", "", "36"}, Left{"DYF387S1", R::Missing}},
                     {{"A", "14", "13", "29", "0", "36"}, Left{"DYF387S1", R::NullAllele}},
                     {{"A", "14", "13", "29.1", "36", "37"}, Left{"DYS389II", R::PartialRepeat}},
                     {{"A", "14", "13", "29", "36", "37"}, Repeats{14, 13, 16, 36, 37}},
                     {{"B", "", "", "", "", ""}, Left{"DYS19", R::Missing}},
                     {{"B", "15", "12", "30", "35", "35"}, Repeats{15, 12, 18, 35, 35}},
                     {{"B", "15", "12", "30", "35", "36"}, Repeats{15, 12, 18, 35, 36}},
                 },
                 CellReading::Integers,
                 {"DYS19", "DYS389I", "DYS389II", "DYF387S1 (1)", "DYF387S1 (2)"});
}

TEST(StructureSample, RefusesPopulationsOfFewerThanTwoMenByName) {
    const auto refusal = [](const Cells& rows, const char* second = "DYS390") {
        Cells cells{{"id", "population", "d2", "d3", "d4", "d5", "d6", "DYS19", second}};
        for (const auto& row : rows)
            cells.push_back({"h", row[0], "", "", "", "", "", row[1], row[2]});
        try {
            structureSample(*table(cells, CellReading::Genotypes));
        } catch (const Error& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    const std::string small = refusal({{"A", "14", "30"},
                                       {"A", "15", "30"},
                                       {"B", "14", "30"},
                                       {"B", "14", ""},
                                       {"C", "14", "30"},
                                       {"C", "14", "30"}});
    EXPECT_NE(small.find("\"B\" (1 left, 1 left out)"), std::string::npos) << small;
    EXPECT_EQ(small.find("\"A\""), std::string::npos) << small;
    EXPECT_NE(refusal({{"A", "14", "30"}, {"A", "15", "30"}}).find("at least 2 populations"),
              std::string::npos);
    EXPECT_NE(refusal({{"A", "14", "30"}, {"A", "15", "30"}, {"B", "14", "30"}, {"B", "14", "31"}},
                      "DYS389II")
                  .find("no DYS389I"),
              std::string::npos);
}

// Men at random around each population's own centre; spread 0 makes every man alike.
StructureSample randomSample(std::mt19937& random, std::size_t populations, std::size_t loci,
                             int spread, int shift, std::size_t largest) {
    StructureSample sample;
    for (std::size_t l = 0; l < loci; ++l)
        sample.loci.push_back("L" + std::to_string(l));
    std::uniform_int_distribution<std::size_t> size(2, largest);
    std::uniform_int_distribution<int> offset(-spread, spread), moved(0, shift);
    for (std::size_t p = 0; p < populations; ++p) {
        sample.populations.push_back({"P" + std::to_string(p), size(random), 0});
        std::vector<int> centre(loci);
        for (int& c : centre)
            c = 15 + moved(random);
        for (std::size_t m = 0; m < sample.populations.back().men; ++m) {
            sample.haplotypes.push_back(sample.haplotypes.size());
            for (std::size_t l = 0; l < loci; ++l)
                sample.repeats.push_back(centre[l] + offset(random));
        }
    }
    return sample;
}

void expectClose(double fast, double literal, double scale, const char* what) {
    EXPECT_LE(std::abs(fast - literal), 1e-9 * std::max(std::abs(literal), scale))
        << what << ": " << fast << " against " << literal;
}

void expectSameAmova(const Amova& fast, const literal::Result& literal) {
    const double variances = std::abs(literal.varianceAmong) + std::abs(literal.varianceWithin);
    const double ssds = std::abs(literal.ssdAmong) + std::abs(literal.ssdWithin);
    expectClose(fast.ssdAmong, literal.ssdAmong, ssds, "SSD among");
    expectClose(fast.ssdWithin, literal.ssdWithin, ssds, "SSD within");
    expectClose(fast.varianceAmong, literal.varianceAmong, variances, "variance among");
    expectClose(fast.varianceWithin, literal.varianceWithin, variances, "variance within");
    ASSERT_EQ(fast.phi.has_value(), literal.phi.has_value());
    if (literal.phi)
        expectClose(*fast.phi, *literal.phi, 1, "phi");
}

TEST(PopulationStructure, AgreesWithTheFormulasOverPairsOfMen) {
    std::mt19937 random(20261209);
    // Loci for each width the sums take apart (8 to 40 values; 9, 12, 14 and other pairs).
    const std::size_t loci[] = {1, 2, 3, 5, 8, 9, 17, 23, 27, 37};
    for (int round = 0; round < 60; ++round) {
        const std::size_t populations = 2 + static_cast<std::size_t>(round % 4);
        const StructureSample sample =
            randomSample(random, populations, loci[round % 10], round % 10 == 0 ? 0 : 1 + round % 4,
                         round % 3, 25);
        for (const auto distance : {StructureDistance::Rst, StructureDistance::Fst}) {
            SCOPED_TRACE("round " + std::to_string(round) +
                         (distance == StructureDistance::Rst ? " rst" : " fst"));
            const auto structure = populationStructure(sample, distance, {0, 1, 1});
            ASSERT_TRUE(structure);
            std::vector<std::vector<std::size_t>> groups;
            for (std::size_t p = 0; p < populations; ++p)
                groups.push_back(literal::menOf(sample, p));
            expectSameAmova(structure->global, literal::amova(sample, distance, groups));
            EXPECT_EQ(structure->global.men, sample.men());
            ASSERT_EQ(structure->pairs.size(), populations * (populations - 1) / 2);
            for (const PairwiseStructure& pair : structure->pairs)
                expectSameAmova(pair.amova,
                                literal::amova(sample, distance, {groups[pair.a], groups[pair.b]}));
            if (round % 30 == 0) { // every man alike: no variance, no value
                EXPECT_FALSE(structure->global.phi || structure->globalPValue);
            }
        }
    }
}

// The share of all regroupings (sizes kept) whose phi is at least the observed one, by going
// through every arrangement of the group labels.
double exactPValue(const StructureSample& sample, StructureDistance distance,
                   const std::vector<std::size_t>& populations) {
    std::vector<std::size_t> men, labels;
    for (std::size_t g = 0; g < populations.size(); ++g)
        for (const std::size_t m : literal::menOf(sample, populations[g])) {
            men.push_back(m);
            labels.push_back(g);
        }
    const auto phiOf = [&](const std::vector<std::size_t>& of) {
        std::vector<std::vector<std::size_t>> groups(populations.size());
        for (std::size_t i = 0; i < men.size(); ++i)
            groups[of[i]].push_back(men[i]);
        return literal::amova(sample, distance, groups).phi.value();
    };
    const double observed = phiOf(labels);
    std::size_t atLeast = 0, all = 0;
    do {
        ++all;
        atLeast += phiOf(labels) >= observed - 1e-12 ? 1u : 0u;
    } while (std::next_permutation(labels.begin(), labels.end()));
    return static_cast<double>(atLeast) / static_cast<double>(all);
}

TEST(PopulationStructure, PValuesWithinSamplingErrorOfExactEnumeration) {
    std::mt19937 random(7);
    const std::size_t r = 9999;
    for (int round = 0; round < 6; ++round) {
        StructureSample sample = randomSample(random, 3, 3, 2, round % 2, 2);
        sample.populations[0].men = 3; // 3 + 3 + 2 men: 560 arrangements
        sample.populations[1].men = 3;
        sample.haplotypes.resize(8);
        sample.repeats.resize(8 * 3);
        std::uniform_int_distribution<int> value(13, 17);
        for (std::int32_t& x : sample.repeats)
            x = value(random);
        for (const auto distance : {StructureDistance::Rst, StructureDistance::Fst}) {
            const auto structure = populationStructure(sample, distance, {r, 5, 2});
            ASSERT_TRUE(structure);
            const auto expectNear = [&](std::optional<double> p, double exact) {
                ASSERT_TRUE(p);
                // Four standard errors of a share estimated from r draws, and the +1 of p.
                EXPECT_NEAR(*p, exact, 4 * std::sqrt(exact * (1 - exact) / r) + 1.0 / r)
                    << "round " << round;
            };
            expectNear(structure->globalPValue, exactPValue(sample, distance, {0, 1, 2}));
            expectNear(structure->pairs[0].pValue, exactPValue(sample, distance, {0, 1}));
        }
    }
}

TEST(PopulationStructure, PValuesOfAlikePopulationsSpreadEvenly) {
    std::mt19937 random(11);
    std::vector<double> ps;
    for (int round = 0; round < 200; ++round) {
        const StructureSample sample = randomSample(random, 2, 4, 2, 0, 15);
        const auto structure = populationStructure(sample, StructureDistance::Rst,
                                                   {99, static_cast<std::uint64_t>(round), 1});
        ASSERT_TRUE(structure && structure->globalPValue);
        ps.push_back(*structure->globalPValue);
    }
    const double mean = std::accumulate(ps.begin(), ps.end(), 0.0) / static_cast<double>(ps.size());
    const auto share = [&](double below) {
        return static_cast<double>(
                   std::count_if(ps.begin(), ps.end(), [&](double p) { return p <= below; })) /
               static_cast<double>(ps.size());
    };
    // Uniform p: mean 1/2 (standard error 0.02 here), a quarter below 1/4, one in 20 below 0.05.
    EXPECT_NEAR(mean, 0.5, 0.08);
    EXPECT_NEAR(share(0.25), 0.25, 0.1);
    EXPECT_LE(share(0.05), 0.12);
}

TEST(PopulationStructure, ClearlyDifferentPopulationsGetTheLeastPValue) {
    std::mt19937 random(3);
    StructureSample sample = randomSample(random, 3, 5, 1, 0, 30);
    for (std::size_t m = sample.firstMan(1); m < sample.men(); ++m)
        for (std::size_t l = 0; l < 5; ++l)
            sample.repeats[m * 5 + l] += m < sample.firstMan(2) ? 10 : 20;
    for (const auto distance : {StructureDistance::Rst, StructureDistance::Fst}) {
        const auto structure = populationStructure(sample, distance, {999, 1, 2});
        ASSERT_TRUE(structure);
        EXPECT_DOUBLE_EQ(structure->globalPValue.value(), 1.0 / 1000);
        for (const PairwiseStructure& pair : structure->pairs)
            EXPECT_DOUBLE_EQ(pair.pValue.value(), 1.0 / 1000);
    }
}

TEST(PopulationStructure, TheSeedRepeatsARunWhateverTheThreadsAndProgressCanStopIt) {
    std::mt19937 random(5);
    const StructureSample sample = randomSample(random, 4, 6, 2, 1, 40);
    const auto pValues = [&](std::uint64_t seed, unsigned threads) {
        const auto s = populationStructure(sample, StructureDistance::Rst, {999, seed, threads});
        std::vector<std::optional<double>> p{s->globalPValue};
        for (const PairwiseStructure& pair : s->pairs)
            p.push_back(pair.pValue);
        return p;
    };
    EXPECT_EQ(pValues(1, 1), pValues(1, 3));
    EXPECT_NE(pValues(1, 2), pValues(2, 2));

    std::size_t calls = 0;
    const auto stopped = populationStructure(sample, StructureDistance::Rst, {1'000'000, 1, 2},
                                             [&](std::size_t done, std::size_t total) {
                                                 EXPECT_LE(done, total);
                                                 return ++calls < 2;
                                             });
    EXPECT_FALSE(stopped);
}

} // namespace
} // namespace tarnwick
