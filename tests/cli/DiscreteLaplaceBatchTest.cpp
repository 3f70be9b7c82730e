// The discrete Laplace estimate in the batch tool: its columns in frequencies and the fits of
// discrete-laplace, against the core's fits of the same database.
#include "TestFiles.h"
#include "cli/BatchTool.h"
#include "cli/TableFiles.h"
#include "core/statistics/DiscreteLaplaceFit.h"
#include "core/statistics/MatchProbabilities.h"
#include "core/statistics/PopulationSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runBatchTool(arguments, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::vector<std::string>> cells(const std::string& tsv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(tsv);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string>& row = rows.emplace_back();
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            row.push_back(field);
        if (!line.empty() && line.back() == '\t')
            row.emplace_back();
    }
    return rows;
}

bool holdsNan(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

const std::vector<std::string> kLoci{"DYS19", "DYS389I", "DYS390", "DYS391", "DYS392"};

// A: 12 men of two far-apart kinds sharing DYS391 (an exact locus); B: 8 men, one without DYS392;
// C: one man.
std::string databaseText() {
    std::string text = "id,population,a,b,c,d,e";
    for (const std::string& locus : kLoci)
        text += "," + locus;
    text += "\n";
    int id = 0;
    const auto man = [&](const std::string& population, const std::vector<std::string>& values) {
        text += std::to_string(++id) + "," + population + ",,,,,";
        for (const std::string& value : values)
            text += "," + value;
        text += "\n";
    };
    const auto number = [](int value) { return std::to_string(value); };
    for (int i = 0; i < 12; ++i) {
        const int far = i < 6 ? 0 : 3;
        man("A", {number(14 + (i % 3 == 0) + far), number(13 - (i % 4 == 1) + far),
                  number(24 + (i % 5 == 2) - (i % 7 == 3) - far), "10", number(11 + i % 2 + far)});
    }
    for (int i = 0; i < 8; ++i)
        man("B", {number(15 + i % 2), number(12 + (i % 3 == 1)), "22", number(10 + (i % 4 == 0)),
                  i == 3 ? "" : "13"});
    man("C", {"16", "14", "23", "11", "12"});
    return text;
}

// S1 is A's first man; S2 lies far from everyone (DYS391 rules it out in A); S3 holds a partial
// repeat at DYS19 and lacks DYS390; S4 is typed nowhere.
const char* const kSearch = "sample,comment,DYS19,DYS389I,DYS390,DYS391,DYS392\n"
                            "S1,,15,13,24,10,11\n"
                            "S2,,20,20,30,12,14\n"
                            "S3,,14.2,12,,10,11\n"
                            "S4,,,,,,\n";

class DiscreteLaplaceBatch : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = testing_files::scratchPath("tarnwick-dl-batch");
        fs::create_directories(directory_);
        testing_files::writeFile(directory_ / "db.csv", databaseText());
        testing_files::writeFile(directory_ / "search.csv", kSearch);
    }
    void TearDown() override { fs::remove_all(directory_); }
    std::string path(const std::string& name) const { return (directory_ / name).string(); }

    // The core's fits of the database, read as the batch tool reads it.
    std::vector<PopulationSample> samples() const {
        std::ostringstream err;
        return populationSamples(
            *readChecked(path("db.csv"), kDatabaseLayout, TableReading{}, err).table);
    }

    fs::path directory_;
};

TEST_F(DiscreteLaplaceBatch, FrequenciesAddTheEstimateOfEachRowsPopulation) {
    const Outcome result = run(
        {"frequencies", path("db.csv"), path("search.csv"), "--out", "-", "--discrete-laplace"});
    ASSERT_EQ(result.status, kExitSuccess) << result.err;
    const auto rows = cells(result.out);
    ASSERT_EQ(rows.size(), 1u + 4 * 4) << "4 searched haplotypes, 3 populations and All";
    EXPECT_EQ(rows[0].back(), "clusters");
    EXPECT_EQ(rows[0][rows[0].size() - 2], "discrete_laplace");
    EXPECT_FALSE(holdsNan(result.out)) << result.out;
    EXPECT_NE(result.err.find("population \"B\": DYS392 left out"), std::string::npos)
        << result.err;
    // S1 in A, from the core directly: the chosen model over all five loci.
    const auto populations = samples();
    const ClusterChoice choice = chooseClusters(populations[0].sample);
    ASSERT_EQ(populations[0].loci, kLoci);
    ASSERT_EQ(choice.best().model.clusters(), 2u) << "BIC has to choose beyond the first fit";
    const std::vector<std::optional<int>> s1{15, 13, 24, 10, 11};
    ASSERT_EQ(rows[1][2], "A");
    EXPECT_EQ(rows[1][10], sixDigits(std::exp(logProbability(choice.best().model, s1))));
    EXPECT_EQ(rows[1][11], std::to_string(choice.best().model.clusters()));
    EXPECT_EQ(rows[4][2], "All");
    EXPECT_EQ(rows[4][10], "");
    EXPECT_EQ(rows[4][11], "");
    ASSERT_EQ(rows[5][2], "A");
    EXPECT_EQ(rows[5][10], "0") << "S2 differs at A's exact locus";
    // S4, typed nowhere, has no frequency and no estimate (not 1): every cell but sample, comment
    // and population empty, and a warning.
    for (std::size_t r = 13; r <= 16; ++r) {
        ASSERT_EQ(rows[r][0], "S4");
        ASSERT_EQ(rows[r].size(), 12u);
        for (std::size_t col = 3; col < 12; ++col)
            EXPECT_EQ(rows[r][col], "") << "row " << r << " column " << col;
    }
    EXPECT_NE(result.err.find("sample \"S4\" (row 5): typed at none of the database's loci"),
              std::string::npos)
        << result.err;
    // Under the genotype reading S3's partial repeat is skipped, and named.
    const Outcome genotypes = run({"frequencies", path("db.csv"), path("search.csv"), "--out", "-",
                                   "--discrete-laplace", "--genotypes"});
    ASSERT_EQ(genotypes.status, kExitSuccess) << genotypes.err;
    EXPECT_NE(genotypes.err.find("sample \"S3\" (row 4): DYS19 skipped"), std::string::npos)
        << genotypes.err;
    EXPECT_FALSE(holdsNan(genotypes.out));
}

TEST_F(DiscreteLaplaceBatch, ClustersFixedOrBounded) {
    const auto clustersColumn = [&](const std::vector<std::string>& extra) {
        std::vector<std::string> arguments{
            "frequencies", path("db.csv"), path("search.csv"), "--out", "-", "--discrete-laplace"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, kExitSuccess) << result.err;
        std::vector<std::string> column;
        for (const auto& row : cells(result.out))
            column.push_back(row.size() > 11 ? row[11] : "");
        return std::pair{column, result.err};
    };
    const auto [two, twoErr] = clustersColumn({"--clusters", "2"});
    const auto [one, oneErr] = clustersColumn({"--max-clusters", "1"});
    // Rows of each searched haplotype typed somewhere (S4 is not): A, B, C, All. C's one man
    // allows one cluster only.
    ASSERT_EQ(two.size(), 1u + 4 * 4);
    for (std::size_t r = 1; r < 1 + 3 * 4; r += 4) {
        EXPECT_EQ(two[r], "2");
        EXPECT_EQ(two[r + 1], "2");
        EXPECT_EQ(two[r + 2], "");
        EXPECT_EQ(one[r], "1");
        EXPECT_EQ(one[r + 2], "1");
    }
    EXPECT_NE(twoErr.find("population \"C\": no discrete Laplace fit"), std::string::npos)
        << twoErr;
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--clusters", "2", "--max-clusters", "3"},
          std::vector<std::string>{"--clusters", "0"}, std::vector<std::string>{"--clusters"}}) {
        std::vector<std::string> arguments{"discrete-laplace", path("db.csv"), "--out", "-"};
        arguments.insert(arguments.end(), wrong.begin(), wrong.end());
        EXPECT_EQ(run(arguments).status, kExitUsage) << ::testing::PrintToString(wrong);
    }
    EXPECT_EQ(
        run({"frequencies", path("db.csv"), path("search.csv"), "--out", "-", "--clusters", "2"})
            .status,
        kExitUsage)
        << "--clusters needs --discrete-laplace";
}

TEST_F(DiscreteLaplaceBatch, WritesEveryFitInLongFormat) {
    const auto populations = samples();
    ASSERT_EQ(populations.size(), 3u);
    for (const bool search : {true, false}) {
        std::vector<std::string> arguments{"discrete-laplace", path("db.csv"), "--out", "-"};
        if (!search)
            arguments.insert(arguments.end(), {"--clusters", "2"});
        const Outcome result = run(arguments);
        ASSERT_EQ(result.status, kExitSuccess) << result.err;
        EXPECT_FALSE(holdsNan(result.out)) << result.out;
        const auto rows = cells(result.out);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0], (std::vector<std::string>{"population", "k", "chosen", "bic",
                                                     "log_likelihood", "iterations", "converged",
                                                     "cluster", "locus", "centre", "p", "tau"}));
        // A row per population, fit, cluster and locus, against the core's fits.
        std::size_t expectedRows = 1;
        for (const PopulationSample& population : populations) {
            std::vector<DiscreteLaplaceFit> fits;
            std::size_t chosen = 0;
            if (search) {
                ClusterChoice choice = chooseClusters(population.sample);
                fits = std::move(choice.fits);
                chosen = choice.chosen;
            } else if (population.population != "C") {
                fits.push_back(fitDiscreteLaplace(population.sample, 2));
            }
            for (std::size_t f = 0; f < fits.size(); ++f) {
                const std::size_t k = fits[f].model.clusters();
                const std::size_t loci = population.loci.size();
                ASSERT_LT(expectedRows, rows.size());
                const auto& first = rows[expectedRows];
                EXPECT_EQ(first[0], population.population);
                EXPECT_EQ(first[1], std::to_string(k));
                EXPECT_EQ(first[2], f == chosen ? "yes" : "no");
                EXPECT_EQ(std::stod(first[3]), fits[f].bic);
                EXPECT_EQ(std::stod(first[4]), fits[f].logLikelihood);
                EXPECT_EQ(first[5], std::to_string(fits[f].iterations));
                // The last row of the fit: its last cluster at its last locus.
                const auto& last = rows[expectedRows + k * loci - 1];
                EXPECT_EQ(last[7], std::to_string(k));
                EXPECT_EQ(last[8], population.loci.back());
                EXPECT_EQ(last[9], std::to_string(fits[f].model.centres.back()));
                EXPECT_EQ(std::stod(last[10]), fits[f].model.p.back());
                EXPECT_EQ(std::stod(last[11]), fits[f].model.tau.back());
                expectedRows += k * loci;
            }
        }
        EXPECT_EQ(rows.size(), expectedRows);
    }
}

} // namespace
} // namespace tarnwick
