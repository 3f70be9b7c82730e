#include "load/LocusCellValidation.h"
#include "TableBuilder.h"
#include "core/TableOperations.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::inputTable;
using Strings = std::vector<std::string>;

TEST(LocusCellValidation, TidiesAndJudgesEachText) {
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
        StringGrid table = inputTable({{"sample", "comment", "DYS19"}, {"s", "", c.text}});
        StringGrid faulty(1, 2);
        const int faults = tidyAndValidateLocusCells(table, 2, faulty);
        EXPECT_EQ(table.Cells(2, 1), c.tidied) << c.text;
        EXPECT_EQ(faults, c.valid ? 0 : 1) << c.text;
        EXPECT_EQ(faultyCellCount(faulty), faults) << c.text;
    }
}

TEST(LocusCellValidation, ScansLocusColumnsOnlyColumnByColumn) {
    StringGrid table = inputTable({
        {"id", "population", "c2", "c3", "c4", "c5", "c6", "L1", "L2"},
        {"x.1", "NA", "NA", "", "", "", "", "NA", "13"},
        {"", "", "", "", "", "", "", "", "x"},
        {"", "", "", "", "", "", "", "y", "14.5"},
    });
    table.setCells(7, 4, "NA"); // a blank row at the end is never read
    StringGrid faulty(1, 2);
    EXPECT_EQ(tidyAndValidateLocusCells(table, 7, faulty), 3);
    EXPECT_EQ(test::row(faulty, 0), (Strings{"8", "8", "9"}));
    EXPECT_EQ(test::row(faulty, 1), (Strings{"2", "4", "3"}));
    EXPECT_EQ(table.Cells(0, 1), "x.1") << "descriptive columns stay untouched";
    EXPECT_EQ(table.Cells(8, 3), "14");
    EXPECT_EQ(table.Cells(7, 4), "NA");
}

TEST(LocusCellValidation, NarrowAndHeaderOnlyTablesHaveNothingToScan) {
    StringGrid narrow = inputTable({{"id", "population", "c2"}, {"1", "NA", "NA"}});
    StringGrid headerOnly = inputTable({{"id", "population", "c2", "c3", "c4", "c5", "c6", "L"}});
    StringGrid faulty(1, 2);
    EXPECT_EQ(tidyAndValidateLocusCells(narrow, 7, faulty), 0);
    EXPECT_EQ(tidyAndValidateLocusCells(headerOnly, 7, faulty), 0);
    EXPECT_EQ(faultyCellCount(faulty), 0);
}

} // namespace
} // namespace tarnwick
