#include "io/WorkbookReader.h"
#include "ScopedLocale.h"
#include "TestFiles.h"
#include "TextGrid.h"
#include "core/Error.h"
#include "io/BiffWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string fixture(const std::string& name) {
    return std::string(TARNWICK_TEST_DATA) + "/" + name;
}

std::string readError(const std::string& path) {
    test::TextGrid table(1, 2);
    try {
        ReadWorkbookIntoTable(table, path);
    } catch (const Error& error) {
        EXPECT_EQ(table.ColCount(), 1) << "a failed read leaves the table as it was";
        EXPECT_EQ(table.RowCount(), 2);
        return error.what();
    }
    return "read without error";
}

class ValuesFixture : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { std::setlocale(LC_ALL, "C"); }

    test::ScopedLocale locale_{"ru_RU.UTF-8"}; // the code page of the Windows-1251 CSV
};

// The first sheet of tests/data/source/values.fods as each format delivers it. Cells that a
// format stores differently are checked in the format's own tests.
TEST_P(ValuesFixture, DeliversTheFirstSheetFromA1) {
    test::TextGrid table(1, 2);
    ReadWorkbookIntoTable(table, fixture(GetParam()));
    ASSERT_EQ(table.ColCount(), 7) << "formatted empty cells right of G must not count";
    ASSERT_EQ(table.RowCount(), 7 + 2) << "formatted empty rows below 7 must not count";
    const std::map<std::string, std::string> expected{
        {"A1", ""},
        {"G1", ""},
        {"A2", ""},
        {"B2", "Sample"},
        {"C2", "Население"},
        {"D2", "DYS19"},
        {"B3", "S1"},
        {"C3", "Русские"},
        {"D3", "14"},
        {"G3", "17"},
        {"D4", "17.25"},
        {"D5", "16.1"},
        {"E5", "12,13"},
        {"C5", ""},
        {"D6", "1E20"},
        {"E6", "1.5E-5"},
        {"F6", "-3"},
        {"G6", "0"},
        {"D7", "13.2"},
        {"E7", "123456789012345"},
        {"F7", "1.23456789012346E15"},
        {"G7", ""},
    };
    for (const auto& [reference, text] : expected) {
        const int col = reference[0] - 'A';
        const int row = std::stoi(reference.substr(1)) - 1;
        EXPECT_EQ(table.Cells(col, row), text) << reference;
    }
    for (int col = 0; col < 7; ++col) {
        EXPECT_EQ(table.Cells(col, 7), "");
        EXPECT_EQ(table.Cells(col, 8), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ValuesFixture,
                         testing::Values("values.xlsx", "values.xls", "values.ods",
                                         "values-comma.csv", "values-semicolon.csv",
                                         "values-cp1251-tab.csv", "values-utf16.csv"));

// Under a locale with a decimal comma a number shows as the spreadsheet shows it there, but the
// genotype reading formats it with a point: 16.1 is a partial repeat, never the copies 16 and 1.
TEST(WorkbookReader, GenotypesReadNumbersWithAPointInEveryLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locales-all is installed";
    for (const char* name : {"values.xlsx", "values.xls", "values.ods"}) {
        const TableLayout lociFromD{3, -1};
        std::string scratch;
        const auto integers =
            readHaplotypeTable(fixture(name), lociFromD, CellReading::Integers).table;
        EXPECT_EQ(integers->text(3, 4, scratch), "16,1") << name;
        const auto genotypes = readHaplotypeTable(fixture(name), lociFromD, CellReading::Genotypes);
        EXPECT_EQ(genotypes.table->text(3, 4, scratch), "16.1") << name;
        EXPECT_TRUE(std::ranges::none_of(genotypes.faults, [&](const FaultyCell& fault) {
            return genotypes.asRead(fault) == "16.1";
        })) << name;
    }
    std::setlocale(LC_ALL, "C");
}

TEST(WorkbookReader, DatesTruthValuesAndFormulaResultsOfWorkbooks) {
    std::setlocale(LC_ALL, "C");
    for (const char* name : {"values.xlsx", "values.xls", "values.ods"}) {
        test::TextGrid table(1, 2);
        ReadWorkbookIntoTable(table, fixture(name));
        EXPECT_EQ(table.Cells(4, 2), "03/05/24") << name;
        EXPECT_EQ(table.Cells(4, 3), "03/05/24 13:45:00") << name;
        EXPECT_EQ(table.Cells(5, 2), "True") << name;
        EXPECT_EQ(table.Cells(5, 3), "False") << name;
    }
    for (const char* name : {"values.xlsx", "values.ods"}) {
        test::TextGrid table(1, 2);
        ReadWorkbookIntoTable(table, fixture(name));
        EXPECT_EQ(table.Cells(6, 3), "S2x") << name << ": cached text result of a formula";
    }
    test::TextGrid ods(1, 2);
    ReadWorkbookIntoTable(ods, fixture("values.ods"));
    EXPECT_EQ(ods.Cells(6, 4), "True") << "cached truth-value result of a formula";
}

TEST(WorkbookReader, DelimitedTextKeepsWhatIsNotANumber) {
    test::TextGrid table(1, 2);
    ReadWorkbookIntoTable(table, fixture("values-comma.csv"));
    EXPECT_EQ(table.Cells(4, 2), "2024-03-05");
    EXPECT_EQ(table.Cells(5, 2), "TRUE");
}

TEST(WorkbookReader, AHeaderOnlySheetHasThreeRows) {
    for (const char* name : {"header-only.xlsx", "header-only.xls", "header-only.ods"}) {
        test::TextGrid table(1, 2);
        ReadWorkbookIntoTable(table, fixture(name));
        EXPECT_EQ(table.RowCount(), 3) << name;
        EXPECT_EQ(table.ColCount(), 3) << name;
        EXPECT_EQ(table.Cells(2, 0), "DYS19") << name;
    }
}

TEST(WorkbookReader, FormattedEmptyRowsToTheSheetsEndAreNotExpanded) {
    // A million formatted empty rows of 1024 cells each: read by skipping, in no time.
    test::TextGrid table(1, 2);
    ReadWorkbookIntoTable(table, fixture("long-empty-tail.ods"));
    EXPECT_EQ(table.ColCount(), 2);
    EXPECT_EQ(table.RowCount(), 2 + 2);
    EXPECT_EQ(table.Cells(1, 1), "14");
}

TEST(WorkbookReader, FailuresNameTheFileAndWhatIsWrong) {
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {fixture("one-cell.xlsx"), "its first worksheet holds a single cell, A1, and no table"},
        {fixture("one-cell.xls"), "its first worksheet holds a single cell, A1, and no table"},
        {fixture("one-cell.ods"), "its first worksheet holds a single cell, A1, and no table"},
        {fixture("empty-sheet.xlsx"), "its first worksheet holds no table"},
        {fixture("empty-sheet.xls"), "its first worksheet holds no table"},
        {fixture("empty-sheet.ods"), "its first worksheet holds no table"},
        {fixture("error-cell.xlsx"), "cell B2 holds the error value #DIV/0!"},
        {fixture("error-cell.xls"), "cell B2 holds the error value #DIV/0!"},
        {fixture("error-cell.ods"), "cell B2 holds the error value #DIV/0!"},
        {fixture("no-such-file.xls"), "No such file or directory"},
        {fixture("source"), "it is a folder, not a file"},
    };
    for (const auto& c : cases) {
        const std::string message = readError(c.file);
        EXPECT_TRUE(message.starts_with("Cannot read \"" + c.file + "\": ")) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(WorkbookReader, HostileWorkbooksEndInAClearError) {
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"hostile/far-corner.xlsx",
         "its first worksheet spans 1048576 rows and 16384 columns, more than Tarnwick can hold"},
        {"hostile/past-last-row.xlsx", "the first worksheet has more than 1048576 rows"},
        {"hostile/missing-shared-text.xlsx", "a cell refers to a shared text that does not exist"},
    };
    for (const auto& c : cases) {
        const std::string message = readError(fixture(c.file));
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
    // Three million empty cells packed into 12 KB hold no value and cost no memory.
    test::TextGrid table(1, 2);
    ReadWorkbookIntoTable(table, fixture("hostile/empty-cell-bomb.xlsx"));
    EXPECT_EQ(table.ColCount(), 2);
    EXPECT_EQ(table.RowCount(), 1 + 2);
}

// A picture or a document read as delimited text would give a table of garbage.
TEST(WorkbookReader, FilesThatAreNoTablesAreRefused) {
    using namespace std::string_literals;
    std::string utf16le, utf16be;
    for (const char c : std::string("DYS19,DYS390\n14,24\n")) {
        utf16le += std::string{c, '\0'};
        utf16be += std::string{'\0', c};
    }
    const struct {
        const char* name;
        std::string bytes;
        const char* outcome;
    } cases[] = {
        {"picture.png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10"s,
         "it is not a spreadsheet or a text table"},
        {"document.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\n",
         "it is not a spreadsheet or a text table"},
        {"binary.csv", "a,b\n1,\0\x01\x02\n"s, "it is not a spreadsheet or a text table"},
        {"utf16le.csv", utf16le, "read without error"},
        {"utf16be.csv", utf16be, "read without error"},
    };
    for (const auto& c : cases) {
        const auto path = testing_files::scratchPath(c.name);
        testing_files::writeFile(path, c.bytes);
        const std::string message = readError(path.string());
        EXPECT_NE(message.find(c.outcome), std::string::npos) << c.name << ": " << message;
        if (std::string(c.outcome) == "read without error") {
            test::TextGrid table(1, 2);
            ReadWorkbookIntoTable(table, path.string());
            EXPECT_EQ(table.Cells(1, 1), "24") << c.name;
        }
        fs::remove(path);
    }
}

TEST(WorkbookReader, SheetsWiderThanASpreadsheetCanBeAreRefused) {
    const auto path = testing_files::scratchPath("tarnwick-wide.csv");
    std::ofstream(path) << "a" << std::string(16384, ',') << "z\n";
    const std::string message = readError(path.string());
    fs::remove(path);
    EXPECT_NE(message.find("more than 16384 columns"), std::string::npos) << message;
}

TEST(WorkbookReader, ASavedTableLoadsAgain) {
    test::ScopedLocale locale("en_US.UTF-8");
    test::TextGrid saved(3, 4);
    saved.setCells(0, 0, "population name");
    saved.setCells(0, 1, "Русские");
    saved.setCells(1, 1, "14");
    saved.setCells(2, 3, "12,13");
    saved.setCells(1, 3, "017");
    const auto path = testing_files::scratchPath("tarnwick-roundtrip.xls");
    SaveTableAsBiff(saved, path);
    test::TextGrid loaded(1, 2);
    ReadWorkbookIntoTable(loaded, path);
    fs::remove(path);
    EXPECT_EQ(loaded.ColCount(), 3);
    EXPECT_EQ(loaded.RowCount(), 4 + 2);
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(loaded.Cells(col, row), saved.Cells(col, row)) << col << "," << row;
}

} // namespace
} // namespace tarnwick
