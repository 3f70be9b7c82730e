#include "ScopedLocale.h"
#include "io/DelimitedTextReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace tarnwick {
namespace {

// What a sheet holds, as "A1=text" or "A1#number" entries.
struct Recorder : SheetSink {
    std::map<std::pair<long, long>, std::string> cells;
    void value(long row, long col, const CellValue& v) override {
        std::string shown = v.kind == CellValue::Kind::Number ? "#" + std::to_string(v.number)
                                                              : "=" + std::string(v.text);
        cells[{row, col}] = shown;
    }
    std::string at(long row, long col) const {
        const auto found = cells.find({row, col});
        return found == cells.end() ? "" : found->second;
    }
};

Recorder read(const std::string& bytes) {
    Recorder recorder;
    readDelimitedText(bytes, recorder);
    return recorder;
}

TEST(DelimitedText, QuotingAndLineEnds) {
    const struct {
        const char* name;
        std::string bytes;
        long row, col;
        std::string expected;
    } cases[] = {
        {"quoted separator", "a,\"b,c\",d\n", 0, 1, "=b,c"},
        {"field after quoted separator", "a,\"b,c\",d\n", 0, 2, "=d"},
        {"doubled quotes", "\"say \"\"hi\"\"\",x\n", 0, 0, "=say \"hi\""},
        {"line break inside quotes", "\"two\nlines\",x\ny,z\n", 0, 0, "=two\nlines"},
        {"row after quoted line break", "\"two\nlines\",x\ny,z\n", 1, 1, "=z"},
        {"CRLF", "a,b\r\nc,d\r\n", 1, 0, "=c"},
        {"CR only", "a,b\rc,d\r", 1, 1, "=d"},
        {"empty line is an empty row", "a,b\n\nc,d\n", 2, 0, "=c"},
        {"no final line end", "a,b\nc,d", 1, 1, "=d"},
        {"sep= line", "sep=;\na;b,c\n", 0, 1, "=b,c"},
        {"sep= line ending in CRLF", "sep=;\r\na;b,c\r\n", 0, 1, "=b,c"},
        {"sep= and a line break is data", "sep=\na,b\n", 1, 1, "=b"},
        {"sep= and a CR is data", "sep=\ra,b\r", 0, 0, "=sep="},
        {"sep= and two characters is data", "sep=;;\na;b\n", 0, 0, "=sep="},
        {"semicolons detected", "x;y;z\n1,5;2;3\n", 1, 0, "=1,5"},
        {"tabs detected", "x\ty, z\n1\t2\n", 0, 1, "=y, z"},
        {"UTF-8 BOM dropped",
         "\xEF\xBB\xBF"
         "DYS19,DYS385\n",
         0, 0, "=DYS19"},
        {"UTF-16 LE",
         std::string("\xFF\xFE"
                     "a\0,\0\x16\x04\n\0",
                     10),
         0, 1, "=Ж"},
        {"spaces kept in text", " NA ,x\n", 0, 0, "= NA "},
        {"text after closing quote kept", "\"12\"a,x\n", 0, 0, "=12a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.bytes).at(c.row, c.col), c.expected) << c.name;
}

TEST(DelimitedText, PlainDecimalNumbersArriveAsNumbers) {
    const struct {
        const char* field;
        bool number;
        double value;
    } cases[] = {
        {"14", true, 14},       {" 14 ", true, 14},       {"+5", true, 5},   {"-3", true, -3},
        {"007", true, 7},       {"12.7", true, 12.7},     {"5.", true, 5},   {"1e5", true, 1e5},
        {"1E+020", true, 1e20}, {"2.5e-3", true, 2.5e-3}, {".5", false, 0},  {"12,13", false, 0},
        {"13.2.1", false, 0},   {"0x10", false, 0},       {"1e", false, 0},  {"NA", false, 0},
        {"--", false, 0},       {"", false, 0},           {"   ", false, 0}, {"1 2", false, 0},
        {"$A", false, 0},       {"+-1", false, 0},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(parsePlainNumber(c.field, value), c.number) << "'" << c.field << "'";
        if (c.number) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.field;
        }
    }
}

// A quote that never closes ends the read at the cell's limit, not at the end of the file.
TEST(DelimitedText, AnUnclosedQuoteEndsAtTheCellsLimit) {
    try {
        read("a,b\n1,\"" + std::string(300000, 'x') + "\"\"" + std::string(300000, 'y'));
        ADD_FAILURE() << "read";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "cell B2 holds more than 262144 bytes of text, more than "
                                   "Tarnwick reads in one cell");
    }
}

TEST(DelimitedText, EmptyFieldsHoldNoValue) {
    const Recorder r = read("a,,c,\n,,\n");
    EXPECT_EQ(r.cells.size(), 2u);
    EXPECT_EQ(r.at(0, 2), "=c");
}

TEST(DelimitedText, InvalidUtf8IsReadInTheLocalesCodePage) {
    test::ScopedLocale locale("ru_RU.UTF-8");
    EXPECT_EQ(decodeTextFile("\xCD\xE0\xF1"), "Нас");
    locale.set("en_US.UTF-8");
    EXPECT_EQ(decodeTextFile("caf\xE9"), "café");
    EXPECT_EQ(decodeTextFile("Жук"), "Жук");
}

} // namespace
} // namespace tarnwick
