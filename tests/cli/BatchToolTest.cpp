#include "cli/BatchTool.h"
#include "TestFiles.h"
#include "TextGrid.h"
#include "core/Version.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::readFile;
using testing_files::writeFile;

const fs::path kExamples = TARNWICK_EXAMPLES;

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

std::string example(const char* name) {
    return (kExamples / name).string();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        result.push_back(line.substr(start, tab - start));
    result.push_back(line.substr(start));
    return result;
}

class BatchTool : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ =
            fs::temp_directory_path() /
            ("tarnwick-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }
    std::string path(const std::string& name) const { return (directory_ / name).string(); }

    fs::path directory_;
};

TEST_F(BatchTool, WrongUsageExitsTwoWithTheUsageText) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"match", "a.csv"},
        {"match", "a.csv", "b.csv"},
        {"match", "a.csv", "b.csv", "--steps"},
        {"match", "a.csv", "b.csv", "--steps", "1", "--steps", "2"},
        {"match", "a.csv", "b.csv", "--steps", "1", "--colour"},
        {"show"},
        {"show", "a.csv", "--database", "--search"},
        {"show", "a.csv", "--genotypes", "--genotypes"},
        {"frequencies", "a.csv", "b.csv"},
        {"frequencies", "a.csv", "--out", "x.csv"},
        {"frequencies", "a.csv", "b.csv", "--out", "x.csv", "--confidence", "0.3"},
        {"frequencies", "a.csv", "b.csv", "--out", "x.csv", "--confidence", "95%"},
        {"frequencies", "a.csv", "b.csv", "--out", "a.csv"},
        {"diversity", "a.csv"},
        {"diversity", "a.csv", "--out", "a.csv"},
        {"diversity", "a.csv", "--out", "x.csv", "--confidence", "0.9"},
        {"match", "a.csv", "b.csv", "--steps", "1", "--genotypes", "--genotypes"},
        {"structure", "a.csv"},
        {"structure", "a.csv", "--amova", "x.csv", "--distance", "euclid"},
        {"structure", "a.csv", "--amova", "x.csv", "--permutations", "-1"},
        {"structure", "a.csv", "--amova", "x.csv", "--permutations", "1000001"},
        {"structure", "a.csv", "--amova", "x.csv", "--seed", "-1"},
        {"structure", "a.csv", "--plot", "x.jpg"},
    };
    for (const auto& arguments : cases) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, kExitUsage) << ::testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("Usage:"), std::string::npos);
    }
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_EQ(version.out, std::string("tarnwick-cli ") + kVersion + "\n");
    const Outcome help = run({"match", "--help"});
    EXPECT_EQ(help.status, kExitSuccess);
    EXPECT_NE(help.out.find("tarnwick-cli match DATABASE SEARCH --steps N"), std::string::npos);
}

TEST_F(BatchTool, MatchesTheExamplesAlikeFromCsvAndFromTheSpreadsheetsCopies) {
    const Outcome csv =
        run({"match", example("database.csv"), example("search.csv"), "--steps", "2"});
    const Outcome xlsx =
        run({"match", example("database.xlsx"), example("search.xlsx"), "--steps", "2"});
    const Outcome xls =
        run({"match", example("database.xls"), example("search.xls"), "--steps", "2"});
    ASSERT_EQ(csv.status, kExitSuccess) << csv.err;
    ASSERT_EQ(xlsx.status, kExitSuccess) << xlsx.err;
    EXPECT_EQ(csv.out, xlsx.out);
    EXPECT_EQ(csv.out, xls.out);
    EXPECT_NE(csv.err.find("SUCCESFUL!!!"), std::string::npos);
    const auto rows = lines(csv.out);
    ASSERT_GT(rows.size(), 10u);
    EXPECT_EQ(fields(rows[0])[3], "number of steps");
    int previous = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const int steps = std::stoi(fields(rows[r])[3]);
        EXPECT_LE(previous, steps) << "sorted by steps, row " << r;
        EXPECT_LE(steps, 2);
        previous = steps;
    }
}

TEST_F(BatchTool, WritesEachOutputFormatThatReadsBackAsTheSameTable) {
    const Outcome tsv = run({"match", example("database.csv"), example("search.csv"), "--steps",
                             "1", "--by-population", "-"});
    ASSERT_EQ(tsv.status, kExitSuccess) << tsv.err;
    for (const char* name : {"result.csv", "result.tsv", "result.xls", "result.xlsx", "result"}) {
        const Outcome written = run({"match", example("database.csv"), example("search.csv"),
                                     "--steps", "1", "--by-haplotype", path(name),
                                     "--by-population", path(std::string("pop-") + name)});
        ASSERT_EQ(written.status, kExitSuccess) << name << written.err;
        EXPECT_EQ(written.out, "") << name;
        std::string roundTrip;
        for (const std::string& file : {path(name), path(std::string("pop-") + name)}) {
            test::TextGrid table(1, 2);
            ReadWorkbookIntoTable(table, file);
            for (int r = 0; r < table.RowCount() - 2; ++r) {
                for (int c = 0; c < table.ColCount(); ++c)
                    roundTrip += (c ? "\t" : "") + table.Cells(c, r);
                roundTrip += "\n";
            }
        }
        EXPECT_EQ(roundTrip, tsv.out) << name;
    }
    EXPECT_EQ(readFile(path("result.xls")).substr(0, 2), std::string("\x09\x08", 2))
        << "an unknown extension gets the BIFF record stream";
    EXPECT_NE(readFile(path("result.csv")).find("\r\n"), std::string::npos);
}

// The statistics commands in each reading and output format: a row per search haplotype and
// population and one for all; the workbook holds the same table, its numbers as numbers.
TEST_F(BatchTool, WritesFrequenciesAndDiversity) {
    for (const char* reading : {"", "--genotypes"}) {
        const std::vector<std::string> extra = std::string(reading) == "--genotypes"
                                                   ? std::vector<std::string>{reading}
                                                   : std::vector<std::string>{};
        auto arguments = [&](std::vector<std::string> base) {
            base.insert(base.end(), extra.begin(), extra.end());
            return base;
        };
        const Outcome frequencies = run(arguments(
            {"frequencies", example("database.csv"), example("search.csv"), "--out", "-"}));
        ASSERT_EQ(frequencies.status, kExitSuccess) << frequencies.err;
        const auto rows = lines(frequencies.out);
        ASSERT_EQ(rows.size(), 1u + 20 * 13) << "20 search haplotypes, 12 populations and All";
        EXPECT_EQ(rows[0], "sample\tcomment\tpopulation\tN\tmatches\tfrequency\tlower\tupper\t"
                           "augmented\tkappa");
        EXPECT_EQ(fields(rows[13])[2], "All");
        const Outcome diversity =
            run(arguments({"diversity", example("database.csv"), "--out", "-"}));
        ASSERT_EQ(diversity.status, kExitSuccess) << diversity.err;
        EXPECT_EQ(lines(diversity.out).size(), 1u + 13);
        for (const auto& [command, tsv] :
             {std::pair{"frequencies", frequencies.out}, std::pair{"diversity", diversity.out}}) {
            const std::string workbook = path(std::string(command) + ".xlsx");
            std::vector<std::string> call = {command, example("database.csv")};
            if (std::string(command) == "frequencies")
                call.push_back(example("search.csv"));
            call.insert(call.end(), {"--out", workbook});
            ASSERT_EQ(run(arguments(call)).status, kExitSuccess) << command;
            const auto shown = run({"show", workbook});
            EXPECT_EQ(shown.out, tsv) << command << " " << reading;
        }
    }
}

// The structure command's outputs on a small database, a man of C left out for a missing cell. The
// same seed gives the same p-values.
TEST_F(BatchTool, WritesPopulationStructure) {
    const std::string header = "number,population,a,b,c,d,e,DYS19,DYS390,DYS385a,DYS385b\n";
    writeFile(path("db.csv"), header + "1,A,,,,,,14,24,11,14\n2,A,,,,,,14,23,11,14\n"
                                       "3,A,,,,,,15,24,11,15\n4,A,,,,,,14,24,12,14\n"
                                       "5,B,,,,,,17,21,13,17\n6,B,,,,,,17,22,13,18\n"
                                       "7,B,,,,,,18,21,13,17\n8,C,,,,,,17,21,13,18\n"
                                       "9,C,,,,,,18,22,14,17\n10,C,,,,,,,22,13,17\n");
    const auto structure = [&](const std::string& seed) {
        const Outcome result =
            run({"structure", path("db.csv"), "--permutations", "99", "--seed", seed, "--amova",
                 path("amova.tsv"), "--pairwise", path("pairwise.csv"), "--mds", path("mds.tsv"),
                 "--left-out", "-"});
        EXPECT_EQ(result.status, kExitSuccess) << result.err;
        EXPECT_NE(result.err.find("men left out: C 1"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "row\tpopulation\tlocus\treason\n11\tC\tDYS19\tmissing\n");
        return readFile(path("amova.tsv")) + readFile(path("pairwise.csv"));
    };
    const std::string first = structure("7");
    const auto amova = lines(readFile(path("amova.tsv")));
    const std::vector<std::string> statistics = {
        "statistic",     "populations", "men",        "men_left_out",   "df_among",
        "df_within",     "ssd_among",   "ssd_within", "variance_among", "variance_within",
        "percent_among", "phi",         "p_value",    "permutations"};
    ASSERT_EQ(amova.size(), statistics.size());
    for (std::size_t r = 0; r < amova.size(); ++r)
        EXPECT_EQ(fields(amova[r])[0], statistics[r]);
    EXPECT_EQ(amova[2], "men\t9");
    EXPECT_EQ(amova[3], "men_left_out\t1");
    EXPECT_EQ(amova[13], "permutations\t99");
    const auto pairwise = lines(readFile(path("pairwise.csv")));
    ASSERT_EQ(pairwise.size(), 4u);
    EXPECT_EQ(pairwise[0], "population_a,population_b,n_a,n_b,phi,linearised,p_value\r");
    EXPECT_EQ(pairwise[1].substr(0, 8), "A,B,4,3,");
    const auto mds = lines(readFile(path("mds.tsv")));
    ASSERT_EQ(mds.size(), 5u);
    EXPECT_EQ(mds[0], "population\tn\tx\ty");
    EXPECT_EQ(fields(mds[3])[0], "C");
    EXPECT_EQ(fields(mds[4])[0], "goodness_of_fit");
    EXPECT_EQ(structure("7"), first);

    // A population of one man is refused by name.
    writeFile(path("lonely.csv"), header + "1,A,,,,,,14,24,11,14\n2,A,,,,,,14,23,11,14\n"
                                           "3,Lonely,,,,,,17,21,13,17\n");
    const Outcome lonely = run({"structure", path("lonely.csv"), "--amova", "-"});
    EXPECT_EQ(lonely.status, kExitFailure);
    EXPECT_NE(lonely.err.find("Lonely"), std::string::npos) << lonely.err;
    EXPECT_EQ(lonely.out, "");
}

TEST_F(BatchTool, ListsEveryFaultyCellAndCalculatesNothing) {
    const Outcome result =
        run({"match", example("database-with-faults.csv"), example("search.csv"), "--steps", "2"});
    EXPECT_EQ(result.status, kExitFailure);
    EXPECT_EQ(result.out, "");
    const auto messages = lines(result.err);
    ASSERT_EQ(messages.size(), 7u) << result.err;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(messages[i].rfind(example("database-with-faults.csv") + ": cell ", 0), 0u)
            << messages[i];
    EXPECT_EQ(messages[6], example("database-with-faults.csv") + ": 6 faulty cells");
}

TEST_F(BatchTool, ListsTheFirstTenThousandFaultyCellsAndCountsThemAll) {
    std::string database = "id,population,a,b,c,d,e,DYS19,DYS390\n";
    for (int row = 0; row < 6000; ++row)
        database += "1,X,,,,,,x,y\n";
    writeFile(path("faulty.csv"), database);
    const auto messages = lines(run({"show", path("faulty.csv"), "--database"}).err);
    ASSERT_EQ(messages.size(), 10002u);
    EXPECT_EQ(messages[9999],
              path("faulty.csv") + ": cell I4001 holds \"y\", which is not an integer");
    EXPECT_EQ(messages[10000], path("faulty.csv") + ": ... and 2000 more");
    EXPECT_EQ(messages[10001], path("faulty.csv") + ": 12000 faulty cells");
}

TEST_F(BatchTool, OutcomesAndTheirExitCodes) {
    writeFile(path("db.csv"),
              "id,population,a,b,c,d,e,DYS19,DYS390\n1,X,,,,,,14,24\n2,Y,,,,,,15,\n");
    writeFile(path("other-loci.csv"), "sample,comment,DYS393\nS1,,13\n");
    writeFile(path("search.csv"), "sample,comment,DYS390,DYS19\nS1,,24,14.2\n");
    writeFile(path("no-a1.csv"), ",population,a,b,c,d,e,DYS19\n1,X,,,,,,14\n");
    writeFile(path("faulty-search.csv"), "sample,comment,DYS19\nS1,,NA\n");
    writeFile(path("genotypes.csv"), "sample,comment,DYS394,DYS385a,DYS385b,Y-GATA-H4,DYS390\n"
                                     "S1,,14.2,14,11,null,NA\nS2,,'15,\"12, 13\",--,0,24x\n");
    // A homozygous duplicated locus written once and written twice.
    writeFile(path("once-db.csv"), "id,population,a,b,c,d,e,DYS385\n1,X,,,,,,14\n");
    writeFile(path("twice-db.csv"), "id,population,a,b,c,d,e,DYS385a/b\n1,X,,,,,,\"14,14\"\n");
    writeFile(path("once.csv"), "sample,comment,DYS385\nS1,,14\n");
    writeFile(path("twice.csv"), "sample,comment,DYS385 a/b\nS1,,\"14,14\"\n");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err; // a line the messages must hold
        std::string out;
    };
    const Case cases[] = {
        {{"match", path("db.csv"), path("search.csv"), "--steps", "1"},
         kExitSuccess,
         "SUCCESFUL!!!  2 markers overlap with the database",
         ""},
        // An option's value after "=", and "--" before arguments that could be taken for options.
        {{"match", "--steps=1", "--", path("db.csv"), path("search.csv")},
         kExitSuccess,
         "SUCCESFUL!!!  2 markers overlap with the database",
         ""},
        {{"match", path("db.csv"), path("search.csv"), "--steps", "-1"},
         kExitSuccess,
         "not match",
         "\n"},
        {{"match", path("db.csv"), path("other-loci.csv"), "--steps", "1"},
         kExitFailure,
         "no common loci",
         ""},
        {{"match", path("no-a1.csv"), path("search.csv"), "--steps", "1"},
         kExitFailure,
         "data not load",
         ""},
        {{"match", path("db.csv"), path("search.csv"), "--steps", "x"},
         kExitFailure,
         "tarnwick-cli: 'x' is not a valid integer value",
         ""},
        {{"match", path("db.csv"), path("search.csv"), "--steps", ""},
         kExitFailure,
         "nonselected step",
         ""},
        {{"match", path("missing.csv"), path("search.csv"), "--steps", "1"},
         kExitFailure,
         "tarnwick-cli: Cannot read \"" + path("missing.csv") + "\"",
         ""},
        {{"match", path("db.csv"), path("faulty-search.csv"), "--steps", "1"},
         kExitFailure,
         path("faulty-search.csv") + ": cell C2 holds \"NA\", which is not an integer",
         ""},
        {{"show", path("search.csv"), "--search"},
         kExitSuccess,
         path("search.csv") +
             ": 1 cell such as \"14.2\" read as whole repeats; --genotypes keeps them\n",
         "sample\tcomment\tDYS390\tDYS19\nS1\t\t24\t14\n"},
        {{"show", path("search.csv")},
         kExitSuccess,
         "",
         "sample\tcomment\tDYS390\tDYS19\nS1\t\t24\t14.2\n"},
        {{"show", path("faulty-search.csv"), "--search"},
         kExitFailure,
         "1 faulty cell",
         "sample\tcomment\tDYS19\nS1\t\tNA\n"},
        // The genotype reading: each cell as understood, a faulty one as it stands.
        {{"show", path("genotypes.csv"), "--search", "--genotypes"},
         kExitFailure,
         path("genotypes.csv") + ": cell G3 holds \"24x\", which is not a genotype",
         "sample\tcomment\tDYS394\tDYS385a\tDYS385b\tY-GATA-H4\tDYS390\n"
         "S1\t\t14.2\t14\t11\tnull\t\nS2\t\t15\t12,13\t\tnull\t24x\n"},
        {{"show", path("faulty-search.csv"), "--search", "--genotypes"},
         kExitSuccess,
         "",
         "sample\tcomment\tDYS19\nS1\t\t\n"},
        // DYS394 is DYS19; 14.2 against 14 is 1 step, and S1 has no other locus in common.
        {{"match", path("db.csv"), path("faulty-search.csv"), "--steps", "0", "--genotypes"},
         kExitSuccess,
         "not match",
         "\n"},
        {{"match", path("db.csv"), path("genotypes.csv"), "--steps", "1", "--genotypes"},
         kExitFailure,
         path("genotypes.csv") + ": 1 faulty cell",
         ""},
        // "14" at DYS385 is 14,14: the same as "14,14", either way round.
        {{"match", path("once-db.csv"), path("twice.csv"), "--steps", "0", "--genotypes"},
         kExitSuccess,
         "SUCCESFUL!!!",
         ""},
        {{"match", path("twice-db.csv"), path("once.csv"), "--steps", "0", "--genotypes"},
         kExitSuccess,
         "SUCCESFUL!!!",
         ""},
        {{"show", path("once.csv"), "--search", "--genotypes"},
         kExitSuccess,
         "",
         "sample\tcomment\tDYS385\nS1\t\t14,14\n"},
    };
    for (const Case& c : cases) {
        const Outcome result = run(c.arguments);
        const std::string name = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(result.status, c.status) << name << "\n" << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << name << "\n" << result.err;
        if (!c.out.empty() || c.status != kExitSuccess) {
            EXPECT_EQ(result.out, c.out) << name;
        }
    }
}

// An output never replaces what the run reads, nor the other output; one behind a link replaces
// the link's target, and one that is no file (a pipe, a device) is written straight into.
TEST_F(BatchTool, OutputsNeverReplaceInputsAndFollowLinks) {
    const std::string database = path("database.csv");
    fs::copy_file(example("database.csv"), database);
    fs::create_symlink(database, path("database-link.csv"));
    fs::create_symlink(path("not-yet.csv"), path("dangling.csv"));
    const std::string search = example("search.csv");
    const struct {
        std::vector<std::string> outputs;
        const char* refusal;
    } refused[] = {
        {{"--by-haplotype", database}, "is the database file"},
        {{"--by-population", path("database-link.csv")}, "is the database file"},
        {{"--by-haplotype", search}, "is the search file"},
        {{"--by-haplotype", path("x.csv"), "--by-population", path("./x.csv")},
         "name the same file"},
        // A link whose target is not written yet saves into that target.
        {{"--by-haplotype", path("dangling.csv"), "--by-population", path("not-yet.csv")},
         "name the same file"},
    };
    for (const auto& c : refused) {
        std::vector<std::string> arguments{"match", database, search, "--steps", "1"};
        arguments.insert(arguments.end(), c.outputs.begin(), c.outputs.end());
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, kExitUsage) << result.err;
        EXPECT_NE(result.err.find(c.refusal), std::string::npos) << result.err;
    }
    EXPECT_EQ(readFile(database), readFile(example("database.csv")));
    EXPECT_FALSE(fs::exists(path("x.csv")));

    const Outcome direct = run({"match", database, search, "--steps", "1"});
    writeFile(path("old.tsv"), "old");
    fs::create_symlink("old.tsv", path("link.tsv"));
    ASSERT_EQ(::mkfifo(path("pipe.tsv").c_str(), 0600), 0);
    auto piped = std::async(std::launch::async, [&] { return readFile(path("pipe.tsv")); });
    EXPECT_EQ(run({"match", database, search, "--steps", "1", "--by-haplotype", path("link.tsv"),
                   "--by-population", path("pipe.tsv")})
                  .status,
              kExitSuccess);
    EXPECT_TRUE(fs::is_symlink(path("link.tsv")));
    EXPECT_EQ(readFile(path("old.tsv")), direct.out);
    EXPECT_NE(piped.get().find("population name"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(path("pipe.tsv")));
}

} // namespace
} // namespace tarnwick

namespace tarnwick {
namespace {

TEST_F(BatchTool, DetectsTheLayoutSaysWhatItFoundAndNamesFaultyCellsWhereTheFileHasThem) {
    const std::string derived = std::string(TARNWICK_TEST_DATA) + "/import-derived.csv";
    const Outcome shown = run({"show", derived, "--detect-layout"});
    EXPECT_EQ(shown.status, kExitSuccess) << shown.err;
    for (const char* said :
         {": 4 loci: DYS19, DYS385a, DYS385b, DYS390\n",
          ": population from column \"Population Code\"\n", ": sample from column \"ID\"\n",
          ": 2 rows have no locus typed and take part in nothing: P02, P05\n"})
        EXPECT_NE(shown.err.find(derived + said), std::string::npos) << said << shown.err;
    EXPECT_EQ(fields(lines(shown.out).at(0)).at(7), "DYS19");
    EXPECT_EQ(fields(lines(shown.out).at(1)).at(7), "13");

    writeFile(path("survey.csv"), "Region,Men,DYS19,DYS390\nNorth,2,14,23\nSouth,two,15,x\n");
    const Outcome faulty = run({"show", path("survey.csv"), "--detect-layout",
                                "--population-column", "region", "--count-column", "Men"});
    EXPECT_EQ(faulty.status, kExitFailure);
    EXPECT_NE(faulty.err.find(": cell B3 holds \"two\""), std::string::npos) << faulty.err;
    EXPECT_NE(faulty.err.find(": cell D3 holds \"x\""), std::string::npos) << faulty.err;
    EXPECT_EQ(run({"show", derived, "--sheet", "all"}).status, kExitUsage);
}

} // namespace
} // namespace tarnwick
