#include "TestFiles.h"
#include "TextGrid.h"
#include "core/Error.h"
#include "core/text/CellReference.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/WorkbookReader.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string hostile(const std::string& name) {
    return std::string(TARNWICK_TEST_DATA) + "/hostile/" + name;
}

// The message of a read, or "read" with the cells of the sheet's last row when it succeeds.
std::string readOutcome(const std::string& path) {
    test::TextGrid table(1, 2);
    try {
        ReadWorkbookIntoTable(table, path);
    } catch (const Error& error) {
        return error.what();
    }
    std::string outcome = "read";
    for (int col = 0; col < table.ColCount(); ++col)
        outcome += " " + table.Cells(col, table.RowCount() - 3);
    return outcome;
}

// Crafted files of tests/data/make-hostile.py: each either reads or ends in a refusal naming the
// file and what is wrong, within 1 GB of memory. (Their full-size versions, timed by
// bench/time-batch.sh refusals, end the same way.)
TEST(HostileFiles, EndInTheirOwnMessageWithinAGigabyte) {
    const struct {
        const char* file;
        const char* outcome;
    } cases[] = {
        {"time-without-digits.ods", "the file is damaged (bad time PT.)"},
        {"time-fraction-only.ods", "the file is damaged (bad time PT.5S)"},
        {"number-not-a-number.ods", "the file is damaged (bad number 12abc)"},
        {"number-beyond-range.ods", "the file is damaged (bad number 1e400)"},
        {"date-out-of-calendar.ods", "the file is damaged (bad date 2024-13-45)"},
        {"repeat-beyond-integers.ods", "the first worksheet has more than 16384 columns"},
        {"row-number-most-negative.xlsx", "bad row number -9223372036854775808"},
        {"shared-index-not-a-number.xlsx", "a cell refers to a shared text that does not exist"},
        {"space-count.ods", "cell A2 holds more than 262144 bytes of text"},
        {"space-runs.ods", "cell A2 holds more than 262144 bytes of text"},
        {"deep-nesting.xlsx", "its XML is nested more than 256 elements deep"},
        {"area-of-two-values.xlsx", "spans 12207 rows and 16384 columns, more than Tarnwick"},
        {"empty-shared-texts.xlsx", "holds more elements than a"},
        {"empty-cell-flood.xlsx", "a part of its XML holds more elements than a part of its"},
        {"value-flood.xlsx", "a part of it holds more values than a part of its size can"},
        {"repeated-value.ods", "the first worksheet holds more than 50000000 values"},
        {"huge-comment.xlsx", "an XML element of the workbook needs more than 8 MB"},
        {"many-worksheets.xlsx", "the workbook holds more than 65536 worksheets"},
        {"many-worksheets.ods", "the workbook holds more than 65536 worksheets"},
        {"huge-attribute.xlsx", "an XML element of the workbook needs more than 8 MB"},
        {"codepage-unknown.biff", "its texts are in code page 12345, which this system cannot"},
        {"workbook-stream-renamed.xls",
         "the file is damaged (its compound-file directory holds no workbook stream)"},
        {"number-nan.biff", "the file is damaged (cell B2 holds NaN, no number)"},
        {"rk-infinite.biff", "the file is damaged (cell B2 holds an infinite number)"},
        {"formula-nan.biff", "the file is damaged (cell B2 holds NaN, no number)"},
        {"date-nan.biff", "the file is damaged (cell B2 holds NaN, no number)"},
        {"date-1e300.biff", "the file is damaged (cell B2 holds a date outside the years 1 to"},
        {"directory-nested-deep.xls",
         "the file is damaged (its compound-file directory nests or chains its entries more "
         "than 1000 deep)"},
        {"directory-linked-to-itself.xls",
         "the file is damaged (its compound-file directory links an entry twice)"},
        {"sheet-claims-two-gigabytes.xlsx", "a part of its XML inflates to more than 256 MB"},
        {"nested-table.ods", "read x "}, // not "x999"
        {"stored-member-changed.xlsx",
         "the file is damaged (the part xl/worksheets/sheet1.xml does not match its checksum)"},
        {"long-zip-comment.xlsx", "read 14 24"},
        {"codepage-utf8.biff", "read S1 Население"},
        {"numbers-beyond-range.csv", "read S1 1e400 -1e-400"},
        {"empty-cell-bomb.xlsx", "read 1 2"},
        {"unused-shared-texts.xlsx", "read first last"},
    };
    for (const auto& c : cases) {
        const std::string path = hostile(c.file);
        const std::string outcome =
            testing_files::withinMemoryCeiling(1ull << 30, [&] { return readOutcome(path); });
        if (!outcome.starts_with("read ")) {
            EXPECT_TRUE(outcome.starts_with("Cannot read \"" + path + "\": ")) << outcome;
        }
        EXPECT_NE(outcome.find(c.outcome), std::string::npos) << c.file << ": " << outcome;
    }
}

// Faulty cells that repeat counts give are all counted, at the cost of one each count: "NA" at
// 49 loci (48 read as loci) in 980,000 rows of 1 KB.
TEST(HostileFiles, RepeatedFaultyCellsAreAllCountedWithinAGigabyte) {
    const std::string path = hostile("repeated-faults.ods");
    const struct {
        TableLayout layout;
        const char* outcome; // count, first and last, text as read
    } cases[] = {
        {kSearchLayout, "47040000 C2 AX980001 NA"},
        {kDatabaseLayout, "42140000 H2 AX980001 NA"},
    };
    for (const auto& c : cases) {
        const std::string outcome = testing_files::withinMemoryCeiling(1ull << 30, [&] {
            const auto read = readHaplotypeTable(path, c.layout, CellReading::TidiedIntegers);
            const FaultyCell first = read.faults.front();
            const FaultyCell last = read.faults[read.faults.size() - 1];
            return std::to_string(read.faults.size()) + " " + cellReference(first.col, first.row) +
                   " " + cellReference(last.col, last.row) + " " + read.asRead(last);
        });
        EXPECT_EQ(outcome, c.outcome);
    }
}

// A file beyond 1 GB (here a sparse one) is refused by its size before it is read, whatever its
// format, within a ceiling that would not hold it.
TEST(HostileFiles, AFileBeyondOneGigabyteIsRefusedUnread) {
    for (const std::string start :
         {"sample,DYS19\n", "PK\x03\x04", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"}) {
        const auto path = testing_files::scratchPath("tarnwick-beyond-a-gigabyte");
        testing_files::writeFile(path, start);
        fs::resize_file(path, (std::uintmax_t{1} << 30) + (1 << 20));
        const std::string outcome = testing_files::withinMemoryCeiling(
            512ull << 20, [&] { return readOutcome(path.string()); });
        fs::remove(path);
        EXPECT_NE(outcome.find("the file is larger than 1 GB, more than Tarnwick reads"),
                  std::string::npos)
            << outcome;
    }
}

// What a part yields (the XML it inflates to or says it will, its elements, values and text) is
// bounded by the part's own size in the file, not by the whole file's: a large picture nothing
// reads raises none of it. A part of unknown size is bounded by the file alone.
TEST(HostileFiles, APartYieldsByItsOwnSize) {
    enum class Count { XmlBytes, ToldXmlBytes, Elements, Values, Text };
    const std::uint64_t part = 1000;
    const struct {
        Count what;
        std::uint64_t allowed;
    } allowances[] = {{Count::XmlBytes, (256ull << 20) + 64 * part},
                      {Count::ToldXmlBytes, (256ull << 20) + 64 * part},
                      {Count::Elements, 4'000'000 + 2 * part},
                      {Count::Values, 1'000'000 + 4 * part},
                      {Count::Text, (256ull << 20) + 16 * part}};
    // Whether counting so much in a part of that size, in a file of 1 GB, is refused.
    const auto refused = [](Count what, std::optional<std::uint64_t> partBytes,
                            std::uint64_t count) {
        ReadBudget budget(1ull << 30);
        budget.startXmlPart(partBytes);
        try {
            if (what == Count::XmlBytes)
                budget.countXmlBytes(count);
            else if (what == Count::ToldXmlBytes)
                budget.expectXmlBytes(count);
            else if (what == Count::Text)
                budget.countText(count);
            for (std::uint64_t i = 0; what == Count::Elements && i < count; ++i)
                budget.countXmlElement();
            for (std::uint64_t i = 0; what == Count::Values && i < count; ++i)
                budget.countValue();
        } catch (const ReadError&) {
            return true;
        }
        return false;
    };
    for (const auto& a : allowances) {
        const auto what = static_cast<int>(a.what);
        EXPECT_FALSE(refused(a.what, part, a.allowed)) << what;
        EXPECT_TRUE(refused(a.what, part, a.allowed + 1)) << what;
        EXPECT_FALSE(refused(a.what, std::nullopt, a.allowed + 1)) << what;
    }
}

// Values a repeat count gives are bounded by what a sheet holds, not by the size of the part
// that gives them, and unlock nothing: no more values one by one, no more XML elements.
TEST(HostileFiles, RepeatedValuesAreBoundedByTheSheetAlone) {
    const struct {
        std::uint64_t repeated, single, elements;
        bool refused;
    } cases[] = {
        {50'000'000, 0, 0, false},         {50'000'001, 0, 0, true},
        {40'000'000, 1'004'000, 0, false}, {40'000'000, 1'004'001, 0, true},
        {40'000'000, 0, 4'002'000, false}, {40'000'000, 0, 4'002'001, true},
    };
    // In a file of 1000 bytes, in a part of that size and in one of unknown size.
    for (const auto part : {std::optional<std::uint64_t>(1000), std::optional<std::uint64_t>()})
        for (const auto& c : cases) {
            ReadBudget budget(1000);
            budget.startXmlPart(part);
            bool refused = false;
            try {
                budget.countRepeatedValues(c.repeated);
                for (std::uint64_t i = 0; i < c.single; ++i)
                    budget.countValue();
                for (std::uint64_t i = 0; i < c.elements; ++i)
                    budget.countXmlElement();
            } catch (const ReadError&) {
                refused = true;
            }
            EXPECT_EQ(refused, c.refused) << c.repeated << " " << c.single << " " << c.elements;
        }
}

TEST(HostileFiles, OnlyRegularFilesAreRead) {
    const auto folder = testing_files::scratchPath("tarnwick-not-files");
    fs::create_directories(folder);
    const auto fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto socketPath = folder / "socket";
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const struct {
        std::string path;
        const char* outcome;
    } cases[] = {
        {fifo.string(), "it is a named pipe, not a file"}, // a read would wait forever
        {"/dev/null", "it is a device, not a file"},
        {socketPath.string(), "it is a socket, not a file"},
        {folder.string(), "it is a folder, not a file"},
        {"/proc/self/status", "read "}, // a regular file that tells no size
    };
    for (const auto& c : cases)
        EXPECT_NE(readOutcome(c.path).find(c.outcome), std::string::npos) << c.path;
    ::close(socketFd);
    fs::remove_all(folder);
}

// libgsf and GLib report what they meet in a damaged file on stderr; the program says it once,
// in its own words.
TEST(HostileFiles, LibrariesStayQuietAboutDamage) {
    const std::string original =
        testing_files::readFile(std::string(TARNWICK_TEST_DATA) + "/values.xls");
    const auto path = testing_files::scratchPath("tarnwick-flipped.xls");
    const std::string printed = testing_files::stderrOf([&] {
        for (std::size_t at = 0; at < original.size(); at += 97) {
            std::string copy = original;
            copy[at] = static_cast<char>(copy[at] ^ 0x5A);
            testing_files::writeFile(path, copy);
            readOutcome(path.string());
        }
    });
    fs::remove(path);
    EXPECT_EQ(printed, "");
    // Only while a file is read: GLib's messages at other times reach the user as before.
    EXPECT_NE(testing_files::stderrOf([] {
                  g_log("Tarnwick-test", G_LOG_LEVEL_WARNING, "a message between reads");
              }).find("a message between reads"),
              std::string::npos);
}

} // namespace
} // namespace tarnwick
