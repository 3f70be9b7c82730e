#include "ui/ReadOnlyTable.h"

#include "ui/Fonts.h"

#include <QHeaderView>

namespace tarnwick {
namespace {

constexpr int kRowHeight = 20;

} // namespace

QTableView* readOnlyTableView(GridModel* model, const char* name, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setFont(msSansSerif8());
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    return view;
}

void showGrid(QTableView* view, GridModel* model) {
    model->reload();
    const StringGrid& grid = model->grid();
    view->horizontalHeader()->setFixedHeight(kRowHeight);
    for (int col = 0; col < grid.ColCount(); ++col)
        view->setColumnWidth(col, grid.ColWidths(col));
}

} // namespace tarnwick
