#include "RealFiles.h"
#include "TextGrid.h"
#include "io/SheetReader.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

using testing_files::kRealFiles;

TEST(RealFiles, EveryFileReadsWithTheValuesASpreadsheetShows) {
    if (!fs::is_directory(kRealFiles))
        GTEST_SKIP() << kRealFiles << " is absent";
    // Spot checks: file -> (A1 reference, text).
    const std::multimap<std::string, std::pair<std::string, std::string>> spots{
        {"Chinese_Han.xlsx", {"D1", "DYS19"}},
        {"Chinese_Han.xlsx", {"D2", "15"}},
        {"Chinese_Han.xlsx", {"K2", "12,13"}},
        {"South_Australia.xlsx", {"B2", "European"}},
        {"YfilerPlus_Asian_NoDups.xls", {"A2", "BB-1054"}},
        {"YfilerPlus_Asian_NoDups.xls", {"C1", "DYS389 I"}},
        {"YfilerPlus_Asian_NoDups.xls", {"B2", "16"}},
    };
    int files = 0;
    for (const fs::path& file : testing_files::realFiles()) {
        const std::string name = file.filename().string();
        ++files;
        test::TextGrid table(1, 2);
        ASSERT_NO_THROW(ReadWorkbookIntoTable(table, file.string())) << name;
        EXPECT_GE(table.RowCount(), 100) << name;
        EXPECT_GE(table.ColCount(), 10) << name;
        EXPECT_FALSE(table.Cells(0, 0).empty()) << name;
        const auto [first, last] = spots.equal_range(name);
        for (auto spot = first; spot != last; ++spot) {
            const auto& [reference, text] = spot->second;
            EXPECT_EQ(table.Cells(reference[0] - 'A', std::stoi(reference.substr(1)) - 1), text)
                << name << " " << reference;
        }
    }
    EXPECT_GE(files, 16);
}

// Every sheet of every file reads; South_Australia.xlsx holds a population on each of its three.
TEST(RealFiles, EverySheetReads) {
    if (!fs::is_directory(kRealFiles))
        GTEST_SKIP() << kRealFiles << " is absent";
    struct Sheets : SheetSink {
        bool beginSheet(int, std::string_view name) override {
            names.emplace_back(name);
            rows.emplace_back();
            return true;
        }
        void value(long row, long col, const CellValue& value) override {
            rows.back().insert(row);
            if (row == 1 && col == 1)
                populations.emplace_back(value.text);
        }
        std::vector<std::string> names, populations;
        std::vector<std::set<long>> rows; // the rows holding a value, of each sheet
    };
    for (const fs::path& file : testing_files::realFiles()) {
        const std::string name = file.filename().string();
        Sheets sheets;
        ASSERT_NO_THROW(readSheets(file.string(), sheets)) << name;
        if (name != "South_Australia.xlsx") {
            EXPECT_EQ(sheets.names.size(), 1u) << name;
            continue;
        }
        EXPECT_EQ(sheets.names, (std::vector<std::string>{"European", "East Asian", "Aboriginal"}));
        EXPECT_EQ(sheets.populations,
                  (std::vector<std::string>{"European", "East Asian", "Australian Aboriginal"}));
        ASSERT_EQ(sheets.rows.size(), 3u);
        // A title row and at least the typed men of each population.
        EXPECT_GT(sheets.rows[0].size(), 197u);
        EXPECT_GT(sheets.rows[1].size(), 196u);
        EXPECT_GT(sheets.rows[2].size(), 742u);
    }
}

} // namespace
} // namespace tarnwick
