#include "core/table/HaplotypeTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Strings = std::vector<std::string>;
using Rows = std::vector<Strings>;

// A table built from sheet rows as a load reads them: locus cells tidied and checked.
HaplotypeTableBuilder::Result loaded(const Rows& rows, TableLayout layout) {
    HaplotypeTableBuilder builder(layout, CellReading::TidiedIntegers);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty())
                builder.setText(static_cast<long>(r), static_cast<long>(c), rows[r][c]);
    return builder.finish();
}

std::string cellText(const HaplotypeTable& table, int col, int row) {
    std::string scratch;
    return std::string(table.text(col, row, scratch));
}

TEST(LoadedLocusCells, AreTidiedAndJudgedByTheIntegerRule) {
    struct Case {
        const char* text;
        const char* tidied;
        bool valid;
    };
    const Case cases[] = {
        {"12.7", "12", true},   {"12,7", "12,7", false},   {"12'", "12", true},
        {"'12", "12", true},    {"1'2", "12", true},       {"1''2", "1'2", false},
        {".5", "", false},      {"-3", "-3", true},        {"+3", "+3", true},
        {"  14", "  14", true}, {"14 ", "14 ", false},     {"$A", "$A", true},
        {"NA", "NA", false},    {"--", "--", false},       {"12.2'", "12", true},
        {"13'.2", "13", true},  {"12,13", "12,13", false}, {"Ж", "Ж", false},
    };
    for (const Case& c : cases) {
        const auto read =
            loaded({{"sample", "comment", "DYS19"}, {"s", "", c.text}}, kSearchLayout);
        EXPECT_EQ(cellText(*read.table, 2, 1), c.tidied) << c.text;
        EXPECT_EQ(read.faults.size(), c.valid ? 0u : 1u) << c.text;
        if (!c.valid) {
            EXPECT_EQ(read.asRead(read.faults.at(0)), c.text);
        }
    }
}

// A cell repeated down a column, as a workbook's repeat count gives it, reads as the cells one by
// one do: texts, faults in order with their texts as read, cut partial repeats.
TEST(LoadedLocusCells, ARepeatedCellReadsAsItsCellsOneByOne) {
    const auto outcome = [](const HaplotypeTableBuilder::Result& read) {
        std::string text;
        for (int row = 0; row < read.table->rowCount(); ++row)
            for (int col = 0; col < read.table->columnCount(); ++col)
                text += cellText(*read.table, col, row) + "|";
        for (const FaultyCell& fault : read.faults)
            text += " " + std::to_string(fault.col) + ":" + std::to_string(fault.row) + "=" +
                    read.asRead(fault);
        return text + " cut " + std::to_string(read.cutPartialRepeats.cells);
    };
    for (const CellReading reading : {CellReading::TidiedIntegers, CellReading::Genotypes}) {
        for (const std::string text : {"NA", "N.A", "16.2", "14", "'15", "013", ".5", "1e400"}) {
            // Titles; the cell in rows 0 (the title) to 5 of two columns, and over a cell set
            // before; a whole number below the title of another.
            const auto build = [&](bool repeated) {
                HaplotypeTableBuilder builder(kSearchLayout, reading);
                builder.setText(0, 0, "sample");
                builder.setText(1, 2, "x.5");
                const auto run = [&](long row, long rows, long col) {
                    if (repeated)
                        builder.setTextRun(row, rows, col, text);
                    for (long r = row; !repeated && r < row + rows; ++r)
                        builder.setText(r, col, text);
                };
                run(0, 6, 3);
                run(0, 6, 4);
                run(1, 3, 2);
                if (repeated)
                    builder.setIntegerRun(1, 3, 5, 17);
                for (long r = 1; !repeated && r < 4; ++r)
                    builder.setInteger(r, 5, 17);
                return outcome(builder.finish());
            };
            EXPECT_EQ(build(true), build(false)) << text;
        }
    }
}

TEST(LoadedLocusCells, OnlyLocusColumnsAreCheckedColumnByColumn) {
    const auto read = loaded(
        {
            {"id", "population", "c2", "c3", "c4", "c5", "c6", "L1", "L2"},
            {"x.1", "NA", "NA", "", "", "", "", "NA", "13"},
            {"", "", "", "", "", "", "", "", "x"},
            {"", "", "", "", "", "", "", "y", "14.5"},
        },
        kDatabaseLayout);
    std::vector<std::pair<int, int>> faults;
    for (const FaultyCell& fault : read.faults)
        faults.emplace_back(fault.col, fault.row);
    EXPECT_EQ(faults, (std::vector<std::pair<int, int>>{{7, 1}, {7, 3}, {8, 2}}));
    EXPECT_EQ(cellText(*read.table, 0, 1), "x.1") << "descriptive columns stay untouched";
    EXPECT_EQ(cellText(*read.table, 8, 3), "14");
    EXPECT_EQ(cellText(*read.table, 7, 0), "L1") << "titles are never locus values";
}

// Cut, and so read as whole repeats: counted, the first named as the file gives it.
TEST(LoadedLocusCells, CellsWhosePartialRepeatIsCutAreCounted) {
    const auto read = loaded({{"id", "population", "c2", "c3", "c4", "c5", "c6", "L1", "L2"},
                              {"x.5", "", "", "", "", "", "", "16", "16.2"},
                              {"", "", "", "", "", "", "", "'13.2", "16.0"},
                              {"", "", "", "", "", "", "", "12.2,17", "14."},
                              {"", "", "", "", "", "", "", "12,17.2", "NA"}},
                             kDatabaseLayout);
    EXPECT_EQ(read.cutPartialRepeats.cells, 3u) << "not x.5, 16.0, 14. nor the faults";
    EXPECT_EQ(read.cutPartialRepeats.first, "16.2");
    EXPECT_EQ(cutPartialRepeatsText(read.cutPartialRepeats, "--genotypes"),
              "3 cells such as \"16.2\" read as whole repeats; --genotypes keeps them");
    const auto longCell =
        loaded({{"sample", "comment", "L"}, {"s", "", "13.2 read twice, ждём"}}, kSearchLayout);
    EXPECT_EQ(longCell.cutPartialRepeats.first, "13.2 read twice, ждё...") << "cut between letters";
    EXPECT_EQ(cutPartialRepeatsText({1, "9.3"}, "X"),
              "1 cell such as \"9.3\" read as whole repeats; X keeps them");
}

TEST(LoadedLocusCells, NarrowAndHeaderOnlyTablesHaveNothingToCheck) {
    EXPECT_TRUE(
        loaded({{"id", "population", "c2"}, {"1", "NA", "NA"}}, kDatabaseLayout).faults.empty());
    EXPECT_TRUE(loaded({{"id", "population", "c2", "c3", "c4", "c5", "c6", "L"}}, kDatabaseLayout)
                    .faults.empty());
}

// A cell given twice (a workbook may hold a cell twice) is judged, and listed, as it ends.
TEST(LoadedLocusCells, ARewrittenCellCountsAsItEnds) {
    const struct {
        CellReading reading;
        const char* first;
        const char* second;  // nullptr: the number 1000 from a workbook
        const char* listed;  // nullptr: no fault
        std::size_t cut = 0; // cells whose partial repeat was cut
    } cases[] = {
        {CellReading::TidiedIntegers, ".5", "x", "x"},
        {CellReading::TidiedIntegers, "x", ".5", ".5"},
        {CellReading::TidiedIntegers, ".5", "12", nullptr},
        {CellReading::TidiedIntegers, "NA", nullptr, nullptr},
        {CellReading::TidiedIntegers, "12.5", "13", nullptr},
        {CellReading::TidiedIntegers, "12.5", nullptr, nullptr},
        {CellReading::TidiedIntegers, "12", "12.5", nullptr, 1},
        {CellReading::TidiedIntegers, "12.5", "12.5", nullptr, 1},
        {CellReading::TidiedIntegers, "12.5", "x", "x"},
        {CellReading::Genotypes, "12,13", "13.2.1", "13.2.1"},
        {CellReading::Genotypes, "x", "NA", nullptr},
        {CellReading::Genotypes, "NA", nullptr, "1000"},
    };
    for (const auto& c : cases) {
        HaplotypeTableBuilder builder(kSearchLayout, c.reading);
        builder.setText(0, 2, "DYS19");
        builder.setText(1, 2, c.first);
        if (c.second)
            builder.setText(1, 2, c.second);
        else
            builder.setInteger(1, 2, 1000);
        const auto read = builder.finish();
        EXPECT_EQ(read.cutPartialRepeats.cells, c.cut) << c.first;
        ASSERT_EQ(read.faults.size(), c.listed ? 1u : 0u) << c.first;
        if (c.listed) {
            EXPECT_EQ(read.asRead(read.faults[0]), c.listed) << c.first;
        }
    }
}

} // namespace
} // namespace tarnwick
