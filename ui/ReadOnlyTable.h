#pragma once

// A table view that shows a grid's texts as they are: the grid's fixed row as its header, its
// column widths, fixed-height rows, no editing.

#include "ui/GridModel.h"

#include <QTableView>

namespace tarnwick {

QTableView* readOnlyTableView(GridModel* model, const char* name, QWidget* parent);

// Shows the grid's current cells and column widths.
void showGrid(QTableView* view, GridModel* model);

} // namespace tarnwick
