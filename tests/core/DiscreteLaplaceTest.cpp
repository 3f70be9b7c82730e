// The discrete Laplace fit against the literal implementation of its steps, and on hostile
// samples.
#include "DiscreteLaplaceLiteral.h"
#include "core/Error.h"
#include "core/statistics/DiscreteLaplaceFit.h"
#include "core/statistics/PopulationSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace tarnwick {
namespace {

// Counted rows descending from a few founders by small steps; sometimes a locus all men share.
// Every tenth sample is large enough for the medoid search's vector kernel (groups of 64 men of
// weight 1 near one medoid), one of them with loci spanning more than 16 values and all
// together more than 255.
HaplotypeSample randomSample(unsigned seed) {
    const bool large = seed % 10 == 0, wide = seed == 20;
    std::mt19937 random(seed);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    HaplotypeSample sample;
    sample.loci = static_cast<std::size_t>(large ? pick(6, 9) : pick(2, 5));
    std::vector<std::vector<int>> founders(static_cast<std::size_t>(pick(1, 3)));
    for (auto& founder : founders)
        for (std::size_t l = 0; l < sample.loci; ++l)
            founder.push_back(pick(10, 16));
    const bool shared = pick(0, 4) == 0;
    const int rows = large ? pick(250, 350) : pick(6, 30);
    for (int r = 0; r < rows; ++r) {
        std::vector<int> values = founders[static_cast<std::size_t>(pick(0, 2)) % founders.size()];
        for (std::size_t l = shared ? 1 : 0; l < sample.loci; ++l)
            values[l] += pick(0, 9) < 3 ? (wide ? pick(-20, 20) : pick(-2, 2)) : 0;
        if (shared)
            values[0] = 14;
        sample.add(values, static_cast<std::uint32_t>(pick(0, 2) == 0 ? pick(2, 3) : 1));
    }
    return sample;
}

std::vector<literal::Haplotype> men(const HaplotypeSample& sample) {
    std::vector<literal::Haplotype> x;
    for (std::size_t r = 0; r < sample.rows(); ++r)
        for (std::uint32_t c = 0; c < sample.weights[r]; ++c)
            x.emplace_back(sample.row(r).begin(), sample.row(r).end());
    return x;
}

void expectRelative(double fast, double slow, double tolerance, const std::string& what) {
    EXPECT_LE(std::abs(fast - slow), tolerance * std::abs(slow))
        << what << ": " << fast << " against " << slow;
}

TEST(DiscreteLaplace, AgreesWithTheLiteralSteps) {
    for (const double epsilon : {1e-3, 1e-10}) {
        const double tolerance = epsilon == 1e-3 ? 1e-6 : 1e-9;
        for (unsigned seed = 1; seed <= 30; ++seed) {
            const HaplotypeSample sample = randomSample(seed);
            const auto x = men(sample);
            const std::size_t distinct = distinctHaplotypes(sample).count();
            std::mt19937 random(seed);
            // Fitting k after k - 1 keeps the medoid search's work: the same fits.
            const ClusterChoice choice =
                chooseClusters(sample, std::min<std::size_t>(4, distinct), {epsilon, 100, 100});
            for (std::size_t k = 1; k <= std::min<std::size_t>(4, distinct); ++k) {
                const std::string what = "seed " + std::to_string(seed) + ", k " +
                                         std::to_string(k) + ", eps " + std::to_string(epsilon);
                const auto fast = fitDiscreteLaplace(sample, k, {epsilon, 100, 100});
                const auto slow = literal::fit(x, k, epsilon);
                ASSERT_EQ(fast.model.clusters(), k) << what;
                for (std::size_t j = 0; j < k; ++j)
                    for (std::size_t l = 0; l < sample.loci; ++l)
                        ASSERT_EQ(fast.model.centres[j * sample.loci + l], slow.centres[j][l])
                            << what;
                EXPECT_EQ(fast.iterations, static_cast<std::size_t>(slow.iterations)) << what;
                if (k <= choice.fits.size()) {
                    EXPECT_EQ(choice.fits[k - 1].model.centres, fast.model.centres) << what;
                    EXPECT_EQ(choice.fits[k - 1].bic, fast.bic) << what;
                }
                expectRelative(fast.bic, slow.bic, tolerance, what + " BIC");
                // Every man's haplotype, and unseen ones with loci missing.
                std::vector<std::vector<std::optional<int>>> searched;
                for (const auto& man : x)
                    searched.emplace_back(man.begin(), man.end());
                for (int s = 0; s < 10; ++s) {
                    std::vector<std::optional<int>> h;
                    for (std::size_t l = 0; l < sample.loci; ++l)
                        if (std::uniform_int_distribution<int>(0, 4)(random) > 0)
                            h.push_back(x[0][l] +
                                        std::uniform_int_distribution<int>(-3, 3)(random));
                        else
                            h.push_back(std::nullopt);
                    searched.push_back(h);
                }
                for (const auto& h : searched) {
                    const double slowP = literal::probability(slow, h);
                    const double fastP = std::exp(logProbability(fast.model, h));
                    // The literal products lose their digits near the end of the double range.
                    if (slowP < 1e-290)
                        EXPECT_LT(fastP, 1e-280) << what;
                    else
                        expectRelative(fastP, slowP, tolerance, what + " P(h)");
                }
            }
        }
    }
}

TEST(DiscreteLaplace, HostileSamplesGiveValuesOrClearErrors) {
    HaplotypeSample one;
    one.loci = 3;
    one.add(std::vector<int>{14, 13, 29});
    HaplotypeSample identical = one;
    identical.add(std::vector<int>{14, 13, 29}, 5);
    HaplotypeSample farApart = identical;
    farApart.add(std::vector<int>{15, 13, 31});
    HaplotypeSample empty;
    empty.loci = 3;
    for (const HaplotypeSample* sample : {&one, &identical, &farApart}) {
        const ClusterChoice choice = chooseClusters(*sample);
        for (const auto& fit : choice.fits) {
            EXPECT_FALSE(std::isnan(fit.bic));
            EXPECT_FALSE(std::isnan(fit.logLikelihood));
            for (const double p : fit.model.p)
                EXPECT_TRUE(p >= 0 && p < 1);
            // The locus all men share is exact; a haplotype far from every centre is unlikely,
            // never NaN; one typed nowhere is certain.
            EXPECT_EQ(fit.model.p[1], 0.0);
            const std::vector<std::optional<int>> far{40, 13, 90}, otherAllele{14, 12, 29},
                untyped(3);
            const double logFar = logProbability(fit.model, far);
            EXPECT_FALSE(std::isnan(logFar));
            EXPECT_LT(logFar, sample == &farApart ? -50.0 : 1.0);
            EXPECT_EQ(std::exp(logProbability(fit.model, otherAllele)), 0.0);
            EXPECT_NEAR(std::exp(logProbability(fit.model, untyped)), 1.0, 1e-12);
        }
    }
    EXPECT_EQ(chooseClusters(one).fits.size(), 1u);
    EXPECT_EQ(std::exp(logProbability(chooseClusters(identical).best().model, identical.row(0))),
              1.0);
    EXPECT_THROW(fitDiscreteLaplace(identical, 2), Error);
    EXPECT_THROW(fitDiscreteLaplace(farApart, 3), Error);
    EXPECT_THROW(fitDiscreteLaplace(empty, 1), Error);
    EXPECT_THROW(chooseClusters(farApart, 0), Error);
    HaplotypeSample nobody = one;
    nobody.weights[0] = 0;
    EXPECT_THROW(fitDiscreteLaplace(nobody, 1), Error);
}

TEST(DiscreteLaplace, CancelsWhenAsked) {
    const HaplotypeSample sample = randomSample(7);
    std::size_t asked = 0;
    EXPECT_THROW(chooseClusters(sample, 10, {}, [&](const FitProgress&) { return ++asked < 3; }),
                 FitCancelled);
    EXPECT_EQ(asked, 3u);
}

} // namespace
} // namespace tarnwick

namespace tarnwick {
namespace {

std::shared_ptr<const HaplotypeTable> database(const std::vector<std::vector<std::string>>& rows,
                                               CellReading reading) {
    HaplotypeTableBuilder builder(kDatabaseLayout, reading);
    const std::vector<std::string> titles{"id", "population", "",      "",        "",
                                          "",   "",           "DYS19", "DYS389I", "DYS464"};
    for (std::size_t c = 0; c < titles.size(); ++c)
        builder.setText(0, static_cast<long>(c), titles[c]);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        builder.setText(static_cast<long>(r + 1), 1, rows[r][0]);
        for (std::size_t l = 0; l < 3; ++l)
            if (!rows[r][l + 1].empty())
                builder.setText(static_cast<long>(r + 1), static_cast<long>(7 + l), rows[r][l + 1]);
    }
    builder.cover(static_cast<long>(rows.size() + 1), static_cast<long>(titles.size()));
    return builder.finish().table;
}

TEST(PopulationSamples, TakeTheLociEveryManHoldsOneWholeAlleleAt) {
    const std::vector<std::vector<std::string>> rows{
        {"A", "14", "13", "11"}, {"B", "15", "", "12"},  {"A", "14", "12", "11,14"},
        {"B", "15", "13", "12"}, {"", "16", "13", "12"}, {"A", "13", "12", "13.2"}};
    struct Expected {
        CellReading reading;
        std::vector<std::string> lociA, leftOutA;
        std::vector<int> valuesA;
    };
    // Under the integer reading "11,14" and "13.2" are no integers; under the genotype reading
    // they are several copies and a partial repeat. B lacks DYS389I for one man either way.
    for (const Expected& expected :
         {Expected{
              CellReading::Integers, {"DYS19", "DYS389I"}, {"DYS464"}, {14, 13, 14, 12, 13, 12}},
          Expected{CellReading::Genotypes,
                   {"DYS19", "DYS389I"},
                   {"DYS464"},
                   {14, 13, 14, 12, 13, 12}}}) {
        const auto samples = populationSamples(*database(rows, expected.reading));
        ASSERT_EQ(samples.size(), 2u);
        EXPECT_EQ(samples[0].population, "A");
        EXPECT_EQ(samples[0].loci, expected.lociA);
        EXPECT_EQ(samples[0].leftOut, expected.leftOutA);
        EXPECT_EQ(samples[0].sample.values, expected.valuesA);
        EXPECT_EQ(samples[0].sample.weights, std::vector<std::uint32_t>(3, 1));
        EXPECT_EQ(samples[1].loci, (std::vector<std::string>{"DYS19", "DYS464"}));
        EXPECT_EQ(samples[1].sample.values, (std::vector<int>{15, 12, 15, 12}));
        // Searched haplotypes: a locus in another column, one left empty, one partial.
        HaplotypeTableBuilder builder(kSearchLayout, expected.reading);
        const std::vector<std::vector<std::string>> cells{{"sample", "comment", "DYS389I", "DYS19"},
                                                          {"s1", "", "", "14"},
                                                          {"s2", "", "12", "13.2"}};
        for (std::size_t r = 0; r < cells.size(); ++r)
            for (std::size_t c = 0; c < cells[r].size(); ++c)
                if (!cells[r][c].empty())
                    builder.setText(static_cast<long>(r), static_cast<long>(c), cells[r][c]);
        const auto search = builder.finish().table;
        const SearchedHaplotypes searched(*database(rows, expected.reading), *search);
        const SearchedAlleles s1 = searched.at(samples[0], 0), s2 = searched.at(samples[0], 1);
        EXPECT_EQ(s1.values, (std::vector<std::optional<int>>{14, std::nullopt}));
        EXPECT_TRUE(s1.skipped.empty());
        EXPECT_EQ(s2.values, (std::vector<std::optional<int>>{std::nullopt, 12}));
        EXPECT_EQ(s2.skipped, std::vector<std::string>{"DYS19"});
    }
}

} // namespace
} // namespace tarnwick
