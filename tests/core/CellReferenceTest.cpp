#include "core/text/CellReference.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(CellReference, NamesCellsTheWaySpreadsheetsDo) {
    const struct {
        int col, row;
        const char* name;
    } cases[] = {{0, 0, "A1"},     {2, 6, "C7"},       {25, 9, "Z10"},      {26, 0, "AA1"},
                 {27, 1, "AB2"},   {51, 0, "AZ1"},     {52, 0, "BA1"},      {701, 0, "ZZ1"},
                 {702, 0, "AAA1"}, {16383, 0, "XFD1"}, {0, 65535, "A65536"}};
    for (const auto& c : cases)
        EXPECT_EQ(cellReference(c.col, c.row), c.name);
}

} // namespace
} // namespace tarnwick
