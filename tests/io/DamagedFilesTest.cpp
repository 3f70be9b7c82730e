#include "TestFiles.h"
#include "core/Error.h"
#include "io/SheetReader.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::readFile;
using testing_files::writeFile;

// Wants the values of every worksheet and keeps none.
struct EverySheet : SheetSink {
    bool beginSheet(int, std::string_view) override { return true; }
    void value(long, long, const CellValue&) override {}
};

// Reading a damaged file either succeeds or raises an Error; it never crashes, hangs or
// raises anything else. Run under the sanitizers, this also catches reads out of bounds.
void expectReadEndsCleanly(const std::string& bytes, const std::string& what) {
    const auto path = testing_files::scratchPath("tarnwick-damaged.bin");
    writeFile(path, bytes);
    const auto endsCleanly = [&](const auto& read) {
        try {
            read();
        } catch (const Error&) {
        } catch (const std::exception& other) {
            ADD_FAILURE() << what << ": " << other.what();
        }
    };
    endsCleanly([&] { // as the database load reads it
        readHaplotypeTable(path.string(), kDatabaseLayout, CellReading::TidiedIntegers);
    });
    endsCleanly([&] {
        EverySheet sink;
        readSheets(path.string(), sink);
    });
    fs::remove(path);
}

class DamagedCopies : public testing::TestWithParam<const char*> {};

TEST_P(DamagedCopies, TruncatedAndBitFlippedCopiesEndInAnErrorOrARead) {
    const std::string original = readFile(std::string(TARNWICK_TEST_DATA) + "/" + GetParam());
    ASSERT_FALSE(original.empty());
    std::mt19937 random(20261208);
    for (int i = 1; i <= 40; ++i) {
        const std::size_t length = original.size() * static_cast<std::size_t>(i) / 41;
        expectReadEndsCleanly(original.substr(0, length), "cut at " + std::to_string(length));
    }
    for (int i = 0; i < 120; ++i) {
        std::string copy = original;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f)
            copy[random() % copy.size()] ^= static_cast<char>(1 << (random() % 8));
        expectReadEndsCleanly(copy, "flip run " + std::to_string(i));
    }
}

// What the fuzzers (fuzz/) found, each mended: read again under the sanitizers at every test run.
TEST(DamagedFiles, WhatTheFuzzersFoundEndsInAnErrorOrARead) {
    int found = 0;
    for (const auto& entry :
         fs::directory_iterator(std::string(TARNWICK_TEST_DATA) + "/fuzz-found")) {
        expectReadEndsCleanly(readFile(entry.path()), entry.path().filename().string());
        ++found;
    }
    EXPECT_GT(found, 0);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DamagedCopies,
                         testing::Values("values.xlsx", "values.xls", "values.ods",
                                         "values-comma.csv", "values-utf16.csv", "error-cell.xls",
                                         "header-only.xlsx", "sheets.xlsx", "sheets.xls",
                                         "sheets.ods"));

} // namespace
} // namespace tarnwick
