#include "RealFiles.h"
#include "TextGrid.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

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

} // namespace
} // namespace tarnwick
