#include "io/DelimitedTextWriter.h"
#include "TestFiles.h"
#include "TextGrid.h"
#include "core/text/Text.h"
#include "io/BiffWriter.h"
#include "io/HighlightedWorkbookWriter.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
         "\"two\nlines\"\t\"tab\there\"\t\"back\\slash\r\"\n"},
        {{"\"quoted\"", "a \"b\""},
         "\"\"\"quoted\"\"\",\"a \"\"b\"\"\"\r\n",
         "\"\"\"quoted\"\"\"\ta \"b\"\n"},
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

// Whatever Tarnwick writes it reads back as it was, in every format it writes (the .xls record
// stream in the user's single-byte code page, without the texts beyond it).
TEST(DelimitedTextWriter, EveryWriterReadsBackTheSameTexts) {
    const std::vector<std::string> texts = {"sample",    "back\\slash",
                                            "tab\there", "CR\rLF\nCRLF\r\n",
                                            "say \"x\"", "\"lead",
                                            "a,b;c",     "\x0B\x01\x1F",
                                            "_x000B_",   "_x005F_",
                                            "Коми",      "\U0001F9EC𝔸",
                                            " spaced  ", "",
                                            "end\\",     "x"};
    constexpr int kCols = 4;
    const auto tableOf = [&](bool unicode) {
        test::TextGrid table(kCols, static_cast<int>(texts.size()) / kCols);
        for (std::size_t i = 0; i < texts.size(); ++i)
            table.setCells(static_cast<int>(i % kCols), static_cast<int>(i / kCols),
                           unicode || isAscii(texts[i]) ? texts[i] : "");
        return table;
    };
    const test::TextGrid unicode = tableOf(true);
    const test::TextGrid singleByte = tableOf(false);
    const struct {
        const char* name;
        const test::TextGrid& table;
        std::function<void(const std::string&)> save;
    } writers[] = {
        {"back.csv", unicode,
         [&](const std::string& f) { saveDelimitedText(unicode, 4, TextTableFormat::Csv, f); }},
        {"back.tsv", unicode,
         [&](const std::string& f) { saveDelimitedText(unicode, 4, TextTableFormat::Tsv, f); }},
        {"back.xlsx", unicode, [&](const std::string& f) { SaveTableAsWorkbook(unicode, f); }},
        {"back.xls", singleByte, [&](const std::string& f) { SaveTableAsBiff(singleByte, f); }},
    };
    for (const auto& writer : writers) {
        const auto file = testing_files::scratchPath(std::string("tarnwick-") + writer.name);
        writer.save(file.string());
        test::TextGrid read(1, 2);
        ReadWorkbookIntoTable(read, file.string());
        fs::remove(file);
        ASSERT_EQ(read.ColCount(), kCols) << writer.name;
        for (int row = 0; row < writer.table.RowCount(); ++row)
            for (int col = 0; col < kCols; ++col)
                EXPECT_EQ(read.Cells(col, row), writer.table.Cells(col, row))
                    << writer.name << " " << col << "," << row;
    }
}

} // namespace
} // namespace tarnwick
