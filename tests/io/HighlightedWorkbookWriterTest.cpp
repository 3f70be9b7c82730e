#include "io/HighlightedWorkbookWriter.h"
#include "TestFiles.h"
#include "TextGrid.h"
#include "core/Error.h"
#include "core/text/CellReference.h"
#include "io/GsfHandles.h"
#include "io/QuietStderr.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <sys/resource.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::readFile;
using testing_files::writeFile;

// A member of the written package, as text.
std::string packageMember(const std::string& path, const std::string& member) {
    const auto input = openGsfInput(path);
    GError* error = nullptr;
    GsfPtr<GsfInfile> zip(gsf_infile_zip_new(input.get(), &error));
    if (error)
        g_error_free(error);
    if (!zip)
        return "";
    const auto found = openZipMember(zip.get(), member);
    return found ? readWholeInput(found.get(), 1 << 26) : "";
}

// Cell reference -> style index ("" when none) of every cell written to the first worksheet.
std::map<std::string, std::string> cellStyles(const std::string& sheetXml) {
    std::map<std::string, std::string> styles;
    const std::regex cell(R"re(<c r="([A-Z]+[0-9]+)"( s="([0-9]+)")?)re");
    for (std::sregex_iterator i(sheetXml.begin(), sheetXml.end(), cell), end; i != end; ++i)
        styles[(*i)[1]] = (*i)[3];
    return styles;
}

class HighlightedWorkbook : public ::testing::Test {
protected:
    HighlightedWorkbook() {
        directory = testing_files::scratchPath("tarnwick-highlighted");
        fs::create_directories(directory);
        table = test::TextGrid(3, 3);
        const char* texts[3][3] = {{"id", "DYS19", "DYS390"}, {"1", "NA", "24"}, {"2", "", "Ж"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                table.setCells(c, r, texts[r][c]);
    }
    ~HighlightedWorkbook() override { fs::remove_all(directory); }

    fs::path directory;
    test::TextGrid table{1, 1};
    const std::vector<CellPosition> faulty{{1, 1}, {1, 2}}; // B2 "NA", B3 empty after tidying
};

// The batch tool's workbooks: one plain sheet, statistics written with a point numbers also under
// a locale with a decimal comma.
TEST_F(HighlightedWorkbook, PlainWorkbooksTakePointNumbersAsNumbers) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locales-all is installed";
    test::TextGrid statistics(3, 2);
    statistics.setCells(0, 0, "frequency");
    statistics.setCells(1, 0, "copies");
    statistics.setCells(2, 0, "N");
    statistics.setCells(0, 1, "0.0265669");
    statistics.setCells(1, 1, "12,13");
    statistics.setCells(2, 1, "137");
    const auto path = (directory / "statistics.xlsx").string();
    SaveTableAsWorkbook(statistics, path);
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(packageMember(path, "xl/workbook.xml").find("<sheet name=\"Tarnwick\""),
              std::string::npos);
    const auto sheet = packageMember(path, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<c r=\"A2\"><v>0.0265669</v></c>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<c r=\"C2\"><v>137</v></c>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<c r=\"B2\"><v>12.13</v></c>"), std::string::npos)
        << "under a decimal comma, as the spreadsheet program reads it there";
}

TEST_F(HighlightedWorkbook, OneSheetEveryCellAsTextFaultyCellsRed) {
    const auto path = (directory / "checked.csv").string(); // the extension changes nothing
    ASSERT_TRUE(SaveTableWithHighlights(table, faulty, path));
    EXPECT_EQ(readFile(path).substr(0, 2), "PK") << "an .xlsx package whatever the name";
    const auto workbook = packageMember(path, "xl/workbook.xml");
    EXPECT_NE(workbook.find("<sheet name=\"My Sheet Name\""), std::string::npos) << workbook;
    EXPECT_EQ(workbook.find("<sheet ", workbook.find("<sheet ") + 1), std::string::npos)
        << "one worksheet";
    const auto sheet = packageMember(path, "xl/worksheets/sheet1.xml");
    const auto styles = cellStyles(sheet);
    ASSERT_EQ(styles.count("B2"), 1u);
    ASSERT_EQ(styles.count("B3"), 1u) << "an empty faulty cell is filled too";
    const std::string red = styles.at("B2");
    EXPECT_FALSE(red.empty());
    EXPECT_EQ(styles.at("B3"), red);
    for (const auto& [cell, style] : styles) {
        if (cell != "B2" && cell != "B3") {
            EXPECT_EQ(style, "") << cell;
        }
    }
    EXPECT_NE(sheet.find("<c r=\"B1\" t=\"inlineStr\"><is><t>DYS19</t></is></c>"),
              std::string::npos);
    EXPECT_NE(sheet.find("<c r=\"C2\"><v>24</v></c>"), std::string::npos) << "a number cell";
    const auto stylesXml = packageMember(path, "xl/styles.xml");
    EXPECT_NE(stylesXml.find("<patternFill patternType=\"solid\"><fgColor rgb=\"FFFF0000\"/>"),
              std::string::npos)
        << stylesXml;
    EXPECT_NE(stylesXml.find("<color rgb=\"FF000000\"/>"), std::string::npos) << "black text";

    // It loads again as it was written.
    test::TextGrid again(1, 2);
    ReadWorkbookIntoTable(again, path);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(again.Cells(c, r), table.Cells(c, r));
}

// A text in the general form of a number goes in as that number, as a spreadsheet program turns
// it into one; everything else stays text. Either way the workbook reads back as it was.
TEST_F(HighlightedWorkbook, NumbersInTheirGeneralFormAreNumberCells) {
    const struct {
        const char* text;
        bool number;
    } cases[] = {{"12", true},     {"-3", true},     {"16.1", true},   {"1E20", true},
                 {"1.5E-5", true}, {"0", true},      {"12,13", false}, {"013", false},
                 {" 12", false},   {"12 ", false},   {"+12", false},   {"NA", false},
                 {"-0", false},    {"16.10", false}, {"1e20", false},  {"1E+20", false},
                 {"0x11", false},  {"12.", false},   {"inf", false},   {"", false}};
    std::setlocale(LC_ALL, "C");
    test::TextGrid row(static_cast<int>(std::size(cases)), 1);
    for (std::size_t c = 0; c < std::size(cases); ++c)
        row.setCells(static_cast<int>(c), 0, cases[c].text);
    const auto path = (directory / "numbers.xlsx").string();
    SaveTableWithHighlights(row, faulty, path);
    const auto sheet = packageMember(path, "xl/worksheets/sheet1.xml");
    test::TextGrid again(1, 2);
    ReadWorkbookIntoTable(again, path);
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        const std::string reference = cellReference(static_cast<int>(c), 0);
        const bool number = sheet.find("<c r=\"" + reference + "\"><v>") != std::string::npos;
        EXPECT_EQ(number, cases[c].number) << '"' << cases[c].text << '"';
        EXPECT_EQ(again.Cells(static_cast<int>(c), 0), cases[c].text) << "reads back";
    }
}

TEST_F(HighlightedWorkbook, AFailureNamesTheFileAndLeavesTheOldOneAlone) {
    const auto path = (directory / "old.xlsx").string();
    writeFile(path, "previous workbook");
    test::TextGrid tooLong = table;
    tooLong.setCells(2, 2, std::string(32768, 'x'));
    std::string message;
    try {
        SaveTableWithHighlights(tooLong, faulty, path);
    } catch (const Error& error) {
        message = error.what();
    }
    EXPECT_EQ(message, "Cannot save \"" + path + "\": cell C3 holds more than 32,767 characters");
    EXPECT_EQ(readFile(path), "previous workbook");

    // A full disk: a file size limit of 4 KiB for this process.
    test::TextGrid large(20, 2000);
    for (int r = 0; r < 2000; ++r)
        for (int c = 0; c < 20; ++c)
            large.setCells(c, r, std::to_string(r * 20 + c));
    // libxlsxwriter reports the failure on stderr, naming the hidden file it wrote to; the user
    // sees only the program's own message.
    const std::string printed = testing_files::stderrOf([&] {
        message = testing_files::errorWithDiskFullAfter(
            4 * 1024, [&] { SaveTableWithHighlights(large, faulty, path); });
    });
    EXPECT_EQ(message, "Cannot save \"" + path + "\": File too large");
    EXPECT_EQ(printed, "");
    EXPECT_EQ(readFile(path), "previous workbook");
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);
}

} // namespace
} // namespace tarnwick

namespace tarnwick {
namespace {

// Saves on two threads may quiet stderr over each other's time: it comes back when the last
// ends, whichever ended first.
TEST(QuietStderrTest, StderrComesBackWhenTheLastQuietEnds) {
    FILE* const before = stderr;
    {
        auto first = std::make_unique<QuietStderr>();
        const QuietStderr second;
        first.reset();
        EXPECT_NE(stderr, before);
    }
    EXPECT_EQ(stderr, before);
}

} // namespace
} // namespace tarnwick
