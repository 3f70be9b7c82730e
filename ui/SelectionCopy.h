#pragma once

#include "ui/GridModel.h"

#include <QTableView>

namespace tarnwick {

// Ctrl+C in the view copies the selected block of cells, not only the current one, as
// tab-separated text a line per row, which spreadsheets paste as cells. (Ctrl+A, select all, is
// the view's own.)
void copySelectionOnCtrlC(QTableView* view, GridModel& model);

} // namespace tarnwick
