#include "io/DelimitedTextWriter.h"
#include "TestFiles.h"
#include "TextGrid.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

test::TextGrid oneRow(const std::vector<std::string>& texts) {
    test::TextGrid table(static_cast<int>(texts.size()), 1);
    for (std::size_t c = 0; c < texts.size(); ++c)
        table.setCells(static_cast<int>(c), 0, texts[c]);
    return table;
}

TEST(DelimitedTextWriter, QuotesAndEscapesOnlyWhatNeedsIt) {
    struct Case {
        std::vector<std::string> cells;
        std::string csv;
        std::string tsv;
    };
    const Case cases[] = {
        {{"DYS19", "14", ""}, "DYS19,14,\r\n", "DYS19\t14\t\n"},
        {{"12,13", "say \"hi\"", "Татары"},
         "\"12,13\",\"say \"\"hi\"\"\",Татары\r\n",
         "12,13\tsay \"hi\"\tТатары\n"},
        {{"two\nlines", "tab\there", "back\\slash\r"},
         "\"two\nlines\",tab\there,\"back\\slash\r\"\r\n",
         "two\\nlines\ttab\\there\tback\\\\slash\\r\n"},
        {{" lead", "trail "}, " lead,trail \r\n", " lead\ttrail \n"},
    };
    for (const Case& c : cases) {
        std::ostringstream csv;
        std::ostringstream tsv;
        writeDelimitedText(csv, oneRow(c.cells), 1, TextTableFormat::Csv);
        writeDelimitedText(tsv, oneRow(c.cells), 1, TextTableFormat::Tsv);
        EXPECT_EQ(csv.str(), c.csv);
        EXPECT_EQ(tsv.str(), c.tsv);
    }
}

TEST(DelimitedTextWriter, CsvReadsBackAsTheSameTexts) {
    const auto file = testing_files::scratchPath("tarnwick-writer-round-trip.csv");
    test::TextGrid table(3, 3);
    const std::vector<std::string> texts = {"sample", "a,b", "say \"x\"", "S1", "two\r\nlines",
                                            "Коми",   "",    "x",         "end"};
    for (int i = 0; i < 9; ++i)
        table.setCells(i % 3, i / 3, texts[i]);
    saveDelimitedText(table, 3, TextTableFormat::Csv, file.string());
    test::TextGrid read(1, 2);
    ReadWorkbookIntoTable(read, file.string());
    fs::remove(file);
    ASSERT_EQ(read.ColCount(), 3);
    ASSERT_EQ(read.RowCount(), 3 + 2);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(read.Cells(i % 3, i / 3), texts[i]);
}

} // namespace
} // namespace tarnwick
