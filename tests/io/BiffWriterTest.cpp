#include "io/BiffWriter.h"
#include "TextGrid.h"
#include "core/Error.h"

#include "ScopedLocale.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::readFile;
using testing_files::writeFile;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

struct Record {
    int type;
    std::string data;
};

std::vector<Record> parseRecords(const std::string& stream) {
    std::vector<Record> records;
    std::size_t at = 0;
    auto u16 = [&](std::size_t pos) {
        return static_cast<unsigned char>(stream[pos]) | static_cast<unsigned char>(stream[pos + 1])
                                                             << 8;
    };
    while (at + 4 <= stream.size()) {
        const int type = u16(at);
        const int length = u16(at + 2);
        records.push_back({type, stream.substr(at + 4, length)});
        at += 4 + length;
    }
    EXPECT_EQ(at, stream.size()) << "stream ends inside a record";
    return records;
}

class BiffWriterTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tarnwick-biff-" + std::to_string(::getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    fs::path folder_;
    test::ScopedLocale locale_{"en_GB.UTF-8"};
};

const std::string kBof =
    bytes({0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00});
const std::string kEof = bytes({0x0A, 0x00, 0x00, 0x00});

TEST_F(BiffWriterTest, OneEmptyCellGivesThe28ByteFile) {
    const test::TextGrid table(1, 1);
    const auto path = folder_ / "one.xls";
    EXPECT_TRUE(SaveTableAsBiff(table, path));
    EXPECT_EQ(readFile(path),
              kBof + bytes({0x04, 0x02, 0x08, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}) + kEof);
}

TEST_F(BiffWriterTest, AbcAtTheFirstCell) {
    test::TextGrid table(1, 1);
    table.setCells(0, 0, "abc");
    const auto path = folder_ / "abc.xls";
    SaveTableAsBiff(table, path);
    EXPECT_EQ(readFile(path), kBof +
                                  bytes({0x04, 0x02, 0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0x03, 0x00, 0x61, 0x62, 0x63}) +
                                  kEof);
}

TEST_F(BiffWriterTest, WritesEveryCellColumnByColumnAndTheSizeFollowsTheFormula) {
    test::TextGrid table(3, 4);
    int totalText = 0;
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 4; ++row)
            if ((col + row) % 3 != 0) {
                const std::string text = "c" + std::to_string(col) + "r" + std::to_string(row);
                table.setCells(col, row, text);
                totalText += static_cast<int>(text.size());
            }
    const auto path = folder_ / "t.csv";
    SaveTableAsBiff(table, path);
    const std::string stream = readFile(path);
    EXPECT_EQ(stream.size(), 16u + 12u * 3 * 4 + totalText);

    const auto records = parseRecords(stream);
    ASSERT_EQ(records.size(), 2u + 12);
    EXPECT_EQ(records.front().type, 0x0809);
    EXPECT_EQ(records.back().type, 0x000A);
    int index = 1;
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 4; ++row, ++index) {
            const Record& r = records[index];
            EXPECT_EQ(r.type, 0x0204);
            EXPECT_EQ(r.data[0], row);
            EXPECT_EQ(r.data[2], col);
            EXPECT_EQ(r.data.substr(8), table.Cells(col, row));
            EXPECT_EQ(static_cast<std::size_t>(r.data[6]), table.Cells(col, row).size());
        }
}

TEST_F(BiffWriterTest, TheExtensionChangesNothingAndALongerOldFileLeavesNoTail) {
    test::TextGrid table(2, 2);
    table.setCells(1, 1, "14");
    const auto xls = folder_ / "a.xls";
    const auto csv = folder_ / "a.csv";
    const auto bare = folder_ / "a";
    writeFile(csv, std::string(5000, 'z'));
    for (const auto& path : {xls, csv, bare})
        SaveTableAsBiff(table, path);
    EXPECT_EQ(readFile(csv), readFile(xls));
    EXPECT_EQ(readFile(bare), readFile(xls));
    EXPECT_EQ(readFile(xls).size(), 16u + 12 * 4 + 2);
    EXPECT_EQ(filesInFolder(), 3u) << "no temporary file stays behind";
}

TEST_F(BiffWriterTest, NonAsciiTextsGetACodePageRecordAndSingleBytes) {
    const struct {
        const char* locale;
        std::vector<std::string> texts;
        int codePage;
        std::string firstTextBytes;
    } cases[] = {
        {"en_GB.UTF-8", {"Жук", "14"}, 1251, bytes({0xC6, 0xF3, 0xEA})},
        {"ru_RU.UTF-8", {"Жук"}, 1251, bytes({0xC6, 0xF3, 0xEA})},
        {"ru_RU.UTF-8", {"café"}, 1252, "caf" + bytes({0xE9})},
        {"pl_PL.UTF-8", {"café"}, 1250, "caf" + bytes({0xE9})},
        {"C", {"Ελλάδα"}, 1253, bytes({0xC5, 0xEB, 0xEB, 0xDC, 0xE4, 0xE1})},
        {"en_US.UTF-8", {"Łódź", "é"}, 1250, bytes({0xA3, 0xF3, 0x64, 0x9F})},
    };
    for (const auto& c : cases) {
        locale_.set(c.locale);
        test::TextGrid table(1, static_cast<int>(c.texts.size()));
        for (std::size_t i = 0; i < c.texts.size(); ++i)
            table.setCells(0, static_cast<int>(i), c.texts[i]);
        const auto path = folder_ / "cp.xls";
        SaveTableAsBiff(table, path);
        const auto records = parseRecords(readFile(path));
        ASSERT_GE(records.size(), 3u);
        EXPECT_EQ(records[0].type, 0x0809);
        EXPECT_EQ(records[1].type, 0x0042) << c.texts[0];
        ASSERT_EQ(records[1].data.size(), 2u);
        EXPECT_EQ(static_cast<unsigned char>(records[1].data[0]) |
                      static_cast<unsigned char>(records[1].data[1]) << 8,
                  c.codePage)
            << c.locale << " " << c.texts[0];
        EXPECT_EQ(records[2].data.substr(8), c.firstTextBytes) << c.texts[0];
        EXPECT_EQ(records.size(), 3u + c.texts.size());
    }
}

TEST_F(BiffWriterTest, RefusalsLeaveTheExistingFileUntouched) {
    const auto path = folder_ / "keep.xls";
    writeFile(path, "old content");

    test::TextGrid mixed(2, 3);
    mixed.setCells(0, 0, "café");
    mixed.setCells(1, 0, "x");
    mixed.setCells(1, 2, "Жук");
    test::TextGrid tooManyRows(1, 65537);
    test::TextGrid tooManyColumns(65537, 1);
    test::TextGrid longText(2, 2);
    longText.setCells(1, 1, std::string(65528, 'a'));
    const struct {
        const test::TextGrid& table;
        std::string message;
    } cases[] = {
        {mixed, "Cell B3 cannot be written in a single-byte code page"},
        {tooManyRows, "The table has 65537 rows; a saved table can hold at most 65536 rows"},
        {tooManyColumns,
         "The table has 65537 columns; a saved table can hold at most 65536 columns"},
        {longText, "Cell B2 holds 65528 bytes of text; a saved cell can hold at most 65527 bytes"},
    };
    for (const auto& c : cases) {
        try {
            SaveTableAsBiff(c.table, path);
            ADD_FAILURE() << "saved: " << c.message;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_EQ(readFile(path), "old content");
        EXPECT_EQ(filesInFolder(), 1u);
    }
}

TEST_F(BiffWriterTest, TheLargestRepresentableTableIsWritten) {
    test::TextGrid table(1, 65536);
    table.setCells(0, 65535, std::string(65527, 'b'));
    const auto path = folder_ / "big.xls";
    SaveTableAsBiff(table, path);
    EXPECT_EQ(fs::file_size(path), 16u + 12u * 65536 + 65527);
    const auto records = parseRecords(readFile(path));
    EXPECT_EQ(static_cast<unsigned char>(records[65536].data[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(records[65536].data[1]), 0xFF);
}

TEST_F(BiffWriterTest, AFolderThatDoesNotExistCannotBeCreated) {
    const std::string path = (folder_ / "missing" / "x.xls").string();
    try {
        SaveTableAsBiff(test::TextGrid(1, 1), path);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
    try {
        SaveTableAsBiff(test::TextGrid(1, 1), folder_.string());
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + folder_.string() + "\". Is a directory");
    }
}

TEST_F(BiffWriterTest, AFullDiskKeepsTheOldFileAndLeavesNoPartialFile) {
    const auto path = folder_ / "full.xls";
    writeFile(path, "previous results");
    test::TextGrid table(20, 5000);
    for (int row = 0; row < 5000; ++row)
        table.setCells(0, row, "haplotype " + std::to_string(row));

    const std::string message =
        testing_files::errorWithDiskFullAfter(64 * 1024, [&] { SaveTableAsBiff(table, path); });
    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(readFile(path), "previous results");
    EXPECT_EQ(filesInFolder(), 1u);
}

} // namespace
} // namespace tarnwick
