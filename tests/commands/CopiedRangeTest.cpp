#include "commands/CopiedRange.h"
#include "TableBuilder.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(CopiedRange, IsTabSeparatedTextALinePerRow) {
    const StringGrid table = test::inputTable(
        {{"a", "b", "c"}, {"1", "tab\there", "3"}, {"4", "", "line\nbreak"}, {"Ж", "\"q", "9"}});
    const struct {
        CellRange range;
        std::string text;
    } cases[] = {
        {{0, 0, 0, 0}, "a\n"},
        {{1, 1, 2, 2}, "\"tab\there\"\t3\n\t\"line\nbreak\"\n"},
        {{0, 3, 2, 3}, "Ж\t\"\"\"q\"\t9\n"},
        {{0, 0, 2, 1}, "a\tb\tc\n1\t\"tab\there\"\t3\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tabSeparatedText(table, c.range), c.text)
            << c.range.firstCol << "," << c.range.firstRow;
}

} // namespace
} // namespace tarnwick
