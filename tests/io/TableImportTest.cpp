#include "io/TableImport.h"
#include "TestFiles.h"
#include "core/Error.h"
#include "core/statistics/Diversity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

std::string fixture(const std::string& name) {
    return std::string(TARNWICK_TEST_DATA) + "/" + name;
}

// Population, N as diversity counts it: the men typed at every locus.
using PopulationSizes = std::vector<std::pair<std::string, std::size_t>>;

PopulationSizes sizes(const HaplotypeTable& table) {
    PopulationSizes sizes;
    for (const DiversityRow& row : populationDiversity(table))
        sizes.emplace_back(row.population, row.n);
    return sizes;
}

TEST(TableImport, EachShapeReadsAsTheTableRearrangedByHand) {
    struct Case {
        std::string file, sheet;
        std::size_t loci, rows, men, untyped;
        std::string population, sample;
        PopulationSizes sizes;
    };
    const std::vector<Case> cases = {
        // A count column: 4 rows for 10 men; DYS385a/b written once for both copies.
        {"import-counts.xlsx",
         "",
         5,
         4,
         10,
         0,
         "the file's name \"import-counts\"",
         "column \"Haplotype\"",
         {{"import-counts", 10}, {"All", 10}}},
        // Populations on named sheets; a sheet with a default name takes the file's name.
        {"import-sheets.xlsx",
         "all",
         4,
         6,
         6,
         0,
         "the sheet's name",
         "column \"ID\"",
         {{"Northern", 3}, {"Southern", 2}, {"import-sheets", 1}, {"All", 6}}},
        {"import-sheets.ods",
         "2",
         4,
         2,
         2,
         0,
         "the sheet's name",
         "column \"ID\"",
         {{"Southern", 2}, {"All", 2}}},
        {"import-sheets.xls",
         "Sheet3",
         4,
         1,
         1,
         0,
         "the file's name \"import-sheets\"",
         "column \"ID\"",
         {{"import-sheets", 1}, {"All", 1}}},
        // A derived column that is no locus, split a/b loci, men typed at no locus.
        {"import-derived.csv",
         "",
         4,
         6,
         4,
         2,
         "column \"Population Code\"",
         "column \"ID\"",
         {{"Coast", 2}, {"Andes", 2}, {"All", 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " sheet " + c.sheet);
        const ImportedTable imported =
            importTable(fixture(c.file), kDatabaseLayout, ImportSettings{c.sheet, {}});
        const ImportReport& report = imported.report;
        EXPECT_TRUE(imported.faults.empty());
        EXPECT_EQ(report.loci.size(), c.loci);
        EXPECT_EQ(report.rows, c.rows);
        EXPECT_EQ(report.men, c.men);
        EXPECT_EQ(report.untyped, c.untyped);
        EXPECT_EQ(report.population, c.population);
        EXPECT_EQ(report.sample, c.sample);
        EXPECT_EQ(imported.table->layout().firstLocusColumn, 7);
        EXPECT_EQ(imported.table->haplotypes(), c.men + c.untyped);
        EXPECT_EQ(sizes(*imported.table), c.sizes);
    }
}

TEST(TableImport, TheDerivedTableKeepsItsDescriptiveColumnsAndNamesTheUntypedRows) {
    const ImportedTable imported =
        importTable(fixture("import-derived.csv"), kDatabaseLayout, ImportSettings{});
    const std::vector<std::string> titles = {"ID",        "Population Code", "order", "sex",
                                             "DYS385sum", "haplogroup",      "",      "DYS19",
                                             "DYS385a",   "DYS385b",         "DYS390"};
    for (std::size_t c = 0; c < titles.size(); ++c)
        EXPECT_EQ(imported.table->title(static_cast<int>(c)), titles[c]);
    EXPECT_EQ(imported.report.untypedSamples, (std::vector<std::string>{"P02", "P05"}));
    std::string scratch;
    EXPECT_EQ(imported.table->text(4, 1, scratch), "31");
}

TEST(TableImport, RefusalsNameTheFileTheSheetAndWhatIsWrong) {
    const auto errorOf = [](const std::string& file, const ImportSettings& settings) {
        try {
            importTable(file, kDatabaseLayout, settings);
        } catch (const Error& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    const std::string mismatch = fixture("import-mismatch.xlsx");
    const std::string sheets = fixture("import-sheets.xlsx");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {errorOf(mismatch, {"all", {}}), "the sheet \"Kit B\" has the locus \"DYS456\""},
        {errorOf(sheets, {"Western", {}}),
         "has no sheet \"Western\"; its sheets are \"Northern\", \"Southern\", \"Sheet3\""},
        {errorOf(sheets, {"", {{"Region", ColumnRole::Population}}}),
         "has no column titled \"Region\" (given as its population)"},
        {errorOf(sheets, {"",
                          {{"DYS19", ColumnRole::Other},
                           {"DYS390", ColumnRole::Other},
                           {"DYS391", ColumnRole::Other},
                           {"DYS393", ColumnRole::Other}}}),
         "has no column titled as a locus"},
    };
    for (const auto& [message, expected] : cases)
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    EXPECT_NE(errorOf(mismatch, {"all", {}}).find("import-mismatch.xlsx"), std::string::npos);
}

TEST(TableImport, CountsThatAreNoWholeNumberOfMenAreFaultsAtTheirCells) {
    const auto path = testing_files::scratchPath("import-counts.csv");
    std::ofstream(path) << "Pop,n,DYS19,DYS390\nA,2,14,23\nA,0,15,24\nA,1.5,14,22\nA,x,14,21\n"
                           "A,,,\nA,,13,22\n";
    const ImportedTable imported = importTable(path.string(), kDatabaseLayout, ImportSettings{});
    std::filesystem::remove(path);
    std::vector<std::string> places;
    for (const FaultyCell& fault : imported.faults)
        places.push_back(imported.placeInFile(fault));
    // Row 6 is typed at no locus: it needs no count.
    EXPECT_EQ(places, (std::vector<std::string>{"cell B3", "cell B4", "cell B5", "cell B7"}));
    EXPECT_EQ(imported.table->haplotypes(), 6u); // rows not written out while faulty
}

TEST(TableImport, ACountAfterManyOtherColumnsKeepsItsPlaceAndTheLoci) {
    const auto path = testing_files::scratchPath("import-count-last.csv");
    std::ofstream(path)
        << "Pop,a,b,c,d,e,DYS19,n,DYS390\nA,1,2,3,4,5,14,3,23\nA,1,2,3,4,5,15,2,24\n";
    const ImportedTable imported = importTable(path.string(), kDatabaseLayout, ImportSettings{});
    std::filesystem::remove(path);
    const std::vector<std::string> titles = {"Sample", "Pop", "a",     "b",     "c",
                                             "d",      "n",   "DYS19", "DYS390"};
    ASSERT_EQ(imported.table->columns(), static_cast<int>(titles.size()));
    for (std::size_t c = 0; c < titles.size(); ++c)
        EXPECT_EQ(imported.table->title(static_cast<int>(c)), titles[c]);
    EXPECT_EQ(imported.report.men, 5u);
    EXPECT_EQ(imported.report.leftOut, (std::vector<std::string>{"e"}));
}

TEST(TableImport, SearchSetsGetSampleAndCommentThenTheLoci) {
    const ImportedTable imported =
        importTable(fixture("import-sheets.xlsx"), kSearchLayout, ImportSettings{"all", {}});
    const HaplotypeTable& table = *imported.table;
    ASSERT_EQ(table.columns(), 6);
    std::string scratch;
    EXPECT_EQ(table.text(0, 4, scratch), "S1");
    EXPECT_EQ(table.text(1, 4, scratch), "Southern");
    EXPECT_EQ(table.text(2, 4, scratch), "16");
}

} // namespace
} // namespace tarnwick
