// The window's "Read genotypes" setting through the load and calculate commands.
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/Calculation.h"
#include "commands/LoadCommand.h"
#include "commands/TableOperations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The by-haplotype row up to the database's columns.
Strings row(const StringGrid& table, int r) {
    Strings cells;
    for (int col = 0; col < 11; ++col)
        cells.push_back(table.Cells(col, r));
    return cells;
}

// DYS385 split into a and b, a microvariant, missing marks, a null allele, DYS389 I and II.
const char* const kDatabase = "id,population,c2,c3,c4,c5,c6,DYS19,DYS385a,DYS385b,DYS389 I,"
                              "DYS389 II,Y-GATA-H4\n"
                              "h1,X,,,,,,14,11,14,13,29,12\n"
                              "h2,Y,,,,,,15.2,11,15,13,30,0\n"
                              "h3,Y,,,,,,NA,--,--,14,31,12\n";
const char* const kSearch = "sample,comment,DYS394,DYS385,DYS389I,DYS389II,GATA H4\n"
                            "s1,,14,\"11,14\",13,29,12\n";

class GenotypeReading : public ::testing::Test {
protected:
    GenotypeReading()
        : directory(testing_files::scratchPath("tarnwick-genotype-reading")), dialogs(workspace),
          commands(workspace, dialogs, measurer) {
        fs::create_directories(directory);
        testing_files::writeFile((directory / "database.csv").string(), kDatabase);
        testing_files::writeFile((directory / "search.csv").string(), kSearch);
        testing_files::writeFile((directory / "whole.csv").string(),
                                 "sample,comment,DYS19\ns1,,14\n");
    }
    ~GenotypeReading() override { fs::remove_all(directory); }

    void load(InputRole role, bool genotypes, const char* file = nullptr) {
        workspace.readGenotypes = genotypes;
        if (!file)
            file = role == InputRole::Database ? "database.csv" : "search.csv";
        dialogs.fileAnswers = {(directory / file).string()};
        dialogs.formActions = {[] {}};
        commands.load(role);
    }

    fs::path directory;
    Workspace workspace;
    test::ScriptedDialogs dialogs;
    FixedWidthMeasurer measurer{7};
    LoadCommands commands;
};

TEST_F(GenotypeReading, LoadsWithoutFaultsAndKeepsEveryText) {
    load(InputRole::Database, true);
    EXPECT_FALSE(workspace.databaseHasErrors);
    EXPECT_EQ(faultyCellCount(workspace.StringGrid6), 0);
    EXPECT_EQ(workspace.databaseReading, CellReading::Genotypes);
    EXPECT_EQ(workspace.StringGrid1.Cells(7, 2), "15.2") << "not cut at its point";
    EXPECT_EQ(workspace.StringGrid1.Cells(7, 3), "NA");
    // The integer reading, as before: the microvariant is cut, NA and -- are faults.
    load(InputRole::Database, false);
    EXPECT_TRUE(workspace.databaseHasErrors);
    EXPECT_EQ(faultyCellCount(workspace.StringGrid6), 3);
    EXPECT_EQ(workspace.databaseReading, CellReading::TidiedIntegers);
}

TEST_F(GenotypeReading, CalculateComparesByTheGenotypeRules) {
    load(InputRole::Database, true);
    load(InputRole::Search, true);
    workspace.stepLimit = "5";
    test::ScriptedDialogs messages(workspace);
    calculate(workspace, messages, measurer);
    ASSERT_EQ(messages.log.size(), 2u) << testing::PrintToString(messages.log);
    EXPECT_TRUE(messages.log[1].find("5 markers overlap") != std::string::npos) << messages.log[1];
    // h1 equals s1. h3 is typed at three loci: DYS389 I differs by 1, and DYS389 II, by what it
    // has beyond DYS389 I (16 against 17), by 1. h2: DYS19 by a repeat and the partial repeat (2),
    // DYS385 by a copy (1), DYS389 II beyond DYS389 I (1), its null allele at H4 (1).
    const StringGrid& result = workspace.StringGrid5;
    ASSERT_EQ(result.RowCount(), 4);
    EXPECT_EQ(row(result, 1), (Strings{"s1", "", "2", "0", "5", "", "", "", "", "", ""}));
    EXPECT_EQ(row(result, 2),
              (Strings{"s1", "", "4", "2", "3", "DYS389 I", "1", "DYS389 II", "1", "", ""}));
    EXPECT_EQ(row(result, 3), (Strings{"s1", "", "3", "5", "5", "DYS385", "1", "DYS389 II", "1",
                                       "Y-GATA-H4", "1"}));
}

TEST_F(GenotypeReading, CalculateRefusesTablesReadDifferently) {
    load(InputRole::Database, true);
    load(InputRole::Search, false, "whole.csv");
    ASSERT_FALSE(workspace.searchHasErrors);
    workspace.stepLimit = "3";
    test::ScriptedDialogs messages(workspace);
    calculate(workspace, messages, measurer);
    EXPECT_EQ(messages.log, (Strings{"message " + std::string(kDifferentReadings) + " | error"}));
    EXPECT_EQ(workspace.statusLine, "");
}

} // namespace
} // namespace tarnwick
