#include "commands/Workspace.h"
#include "commands/TableOperations.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(Workspace, OpensInTheWindowsOpeningState) {
    Workspace ws;
    const struct {
        const StringGrid& grid;
        int cols, rows, fixedRows;
        bool visible;
    } shapes[] = {
        {ws.StringGrid1, 1, 2, 1, false}, {ws.StringGrid2, 1, 2, 1, false},
        {ws.StringGrid5, 1, 1, 0, true},  {ws.StringGrid6, 1, 2, 0, false},
        {ws.StringGrid7, 7, 2, 1, false},
    };
    for (const auto& s : shapes) {
        EXPECT_EQ(s.grid.ColCount(), s.cols);
        EXPECT_EQ(s.grid.RowCount(), s.rows);
        EXPECT_EQ(s.grid.FixedRows(), s.fixedRows);
        EXPECT_EQ(s.grid.FixedCols(), 0);
        EXPECT_EQ(s.grid.Visible(), s.visible);
        EXPECT_FALSE(s.grid.goEditing());
    }
    EXPECT_FALSE(ws.databaseHasErrors);
    EXPECT_FALSE(ws.searchHasErrors);
    EXPECT_EQ(ws.stepLimit, "");
    EXPECT_EQ(ws.statusLine, "");
    EXPECT_FALSE(ws.enabled.Button4);
    EXPECT_FALSE(ws.enabled.Save1);
    EXPECT_FALSE(ws.enabled.Button5);
    EXPECT_FALSE(ws.enabled.Button6);
    EXPECT_FALSE(isLoaded(ws.StringGrid1));
    EXPECT_EQ(faultyCellCount(ws.StringGrid6), 0);
}

} // namespace
} // namespace tarnwick
