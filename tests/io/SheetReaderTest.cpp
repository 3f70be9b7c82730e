#include "io/SheetReader.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

std::string fixture(const std::string& name) {
    return std::string(TARNWICK_TEST_DATA) + "/" + name;
}

using Grid = std::map<std::pair<long, long>, std::string>; // (row, col) -> value as shown
using Offered = std::vector<std::pair<int, std::string>>;  // (index, name) in the order asked

std::string shown(const CellValue& value) {
    if (value.kind == CellValue::Kind::Number && value.number == std::trunc(value.number))
        return std::to_string(static_cast<long>(value.number));
    return std::string(value.text);
}

// Records the sheets offered and the values of each, wanting the sheets of a set of indexes.
struct SheetsRecorder : SheetSink {
    explicit SheetsRecorder(std::set<int> indexes) : wanted(std::move(indexes)) {}

    bool beginSheet(int index, std::string_view name) override {
        offered.emplace_back(index, std::string(name));
        current = index;
        return wanted.contains(index);
    }
    void value(long row, long col, const CellValue& value) override {
        sheets[current][{row, col}] = shown(value);
    }

    std::set<int> wanted;
    Offered offered;
    int current = -1;
    std::map<int, Grid> sheets;
};

// The sink most readers are: it keeps the default choice of sheets.
struct DefaultRecorder : SheetSink {
    void value(long row, long col, const CellValue& value) override {
        cells[{row, col}] = shown(value);
    }
    Grid cells;
};

Grid gridOf(const std::vector<std::vector<std::string>>& rows) {
    Grid grid;
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (std::size_t col = 0; col < rows[row].size(); ++col)
            grid[{static_cast<long>(row), static_cast<long>(col)}] = rows[row][col];
    return grid;
}

// tests/data/source/sheets.fods, whose second sheet is hidden.
const Offered kSheetNames{
    {0, "European"}, {1, "East Asian"}, {2, "Australian Aboriginal"}, {3, "Лист1"}};
const std::vector<Grid> kSheetValues{
    gridOf({{"Sample", "Population", "DYS19", "DYS390"},
            {"E1", "European", "14", "24"},
            {"E2", "European", "15", "23"}}),
    gridOf({{"Sample", "Population", "DYS19", "DYS390"},
            {"A1", "East Asian", "16", "25"},
            {"A2", "East Asian", "15", "22"},
            {"A3", "East Asian", "17", "24"}}),
    gridOf(
        {{"Sample", "Population", "DYS19", "DYS390"}, {"O1", "Australian Aboriginal", "13", "21"}}),
    gridOf({{"Sample", "DYS19"}, {"R1", "18"}}),
};

class WorkbookSheets : public testing::TestWithParam<const char*> {};

TEST_P(WorkbookSheets, EveryWorksheetIsOfferedAndOnlyTheWantedAreRead) {
    const std::set<int> choices[] = {{}, {0}, {1}, {2, 3}, {0, 1, 2, 3}};
    for (const auto& wanted : choices) {
        SheetsRecorder recorder(wanted);
        readSheets(fixture(GetParam()), recorder);
        EXPECT_EQ(recorder.offered, kSheetNames);
        std::map<int, Grid> expected;
        for (int index : wanted)
            expected[index] = kSheetValues[static_cast<std::size_t>(index)];
        EXPECT_EQ(recorder.sheets, expected) << wanted.size() << " sheets wanted";
    }
}

TEST_P(WorkbookSheets, ByDefaultTheFirstWorksheetAlone) {
    DefaultRecorder byDefault;
    readSheets(fixture(GetParam()), byDefault);
    EXPECT_EQ(byDefault.cells, kSheetValues[0]);

    SheetsRecorder wantsAll({0, 1, 2, 3});
    readFirstSheet(fixture(GetParam()), wantsAll);
    EXPECT_EQ(wantsAll.offered, Offered({kSheetNames[0]})) << "asked of the first alone";
    EXPECT_EQ(wantsAll.sheets, (std::map<int, Grid>{{0, kSheetValues[0]}}));
}

INSTANTIATE_TEST_SUITE_P(Formats, WorkbookSheets,
                         testing::Values("sheets.xlsx", "sheets.xls", "sheets.ods"));

// Delimited text and a bare record stream are one sheet without a name.
TEST(SheetReader, FilesOfOneSheetOfferItWithoutAName) {
    const struct {
        const char* file;
        std::pair<long, long> cell;
        const char* value;
    } cases[] = {
        {"values-comma.csv", {1, 1}, "Sample"},
        {"hostile/codepage-utf8.biff", {1, 1}, "Население"},
    };
    for (const auto& c : cases) {
        for (const bool wanted : {false, true}) {
            SheetsRecorder recorder(wanted ? std::set<int>{0} : std::set<int>{});
            readSheets(fixture(c.file), recorder);
            EXPECT_EQ(recorder.offered, Offered({{0, ""}})) << c.file;
            EXPECT_EQ(recorder.sheets.size(), wanted ? 1u : 0u) << c.file;
            if (wanted) {
                EXPECT_EQ(recorder.sheets[0][c.cell], c.value) << c.file;
            }
        }
    }
}

// A sheet not wanted is not parsed: the damage in it goes unnoticed until it is read.
TEST(SheetReader, NamesAloneLeaveTheSheetsUnread) {
    const struct {
        const char* file;
        const char* name;
        const char* fault;
    } cases[] = {
        {"hostile/row-number-most-negative.xlsx", "S", "bad row number"},
        {"hostile/missing-shared-text.xlsx", "S", "a shared text that does not exist"},
        {"hostile/number-not-a-number.ods", "S", "bad number 12abc"},
        {"hostile/codepage-unknown.biff", "", "code page 12345"},
    };
    for (const auto& c : cases) {
        SheetsRecorder namesOnly({});
        EXPECT_NO_THROW(readSheets(fixture(c.file), namesOnly)) << c.file;
        EXPECT_EQ(namesOnly.offered, Offered({{0, c.name}})) << c.file;
        SheetsRecorder reading({0});
        try {
            readSheets(fixture(c.file), reading);
            ADD_FAILURE() << c.file << " read without error";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(c.fault), std::string::npos) << error.what();
        }
    }
}

// A chart sheet comes first in the workbook but is no worksheet; the second worksheet runs past
// the last row a sheet can have, and the message says which sheet it is.
TEST(SheetReader, ChartSheetsAreNoWorksheetsAndFaultsNameTheirSheet) {
    const std::string path = fixture("hostile/second-sheet-past-last-row.xlsx");
    SheetsRecorder namesOnly({});
    readSheets(path, namesOnly);
    EXPECT_EQ(namesOnly.offered, Offered({{0, "European"}, {1, "East Asian"}}));

    DefaultRecorder byDefault;
    readSheets(path, byDefault);
    EXPECT_EQ(byDefault.cells, gridOf({{"1", "2"}}));

    SheetsRecorder all({0, 1});
    try {
        readSheets(path, all);
        ADD_FAILURE() << "read without error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot read \"" + path +
                      "\": the worksheet \"East Asian\" has more than 1048576 rows");
    }
}

} // namespace
} // namespace tarnwick
