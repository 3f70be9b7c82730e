#pragma once

#include "commands/StringGrid.h"

#include <QAbstractTableModel>

namespace tarnwick {

// Shows a StringGrid in a QTableView without copying its cells. The grid's fixed row is shown as
// the view's header, so it stays in place while the rows scroll; in-place edits are written
// into the grid while its goEditing option is on.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(StringGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The grid row shown at a view row.
    int gridRow(int viewRow) const { return viewRow + headerRows(); }
    int headerRows() const { return grid_.FixedRows() > 0 ? 1 : 0; }
    StringGrid& grid() { return grid_; }

    // Call after a command changed the grid.
    void reload();

private:
    StringGrid& grid_;
};

} // namespace tarnwick
