#pragma once

#include "commands/StringGrid.h"
#include "ui/GridModel.h"

#include <QStyledItemDelegate>

#include <cstdint>
#include <unordered_set>

namespace tarnwick {

// Positions of the faulty-cell list as table positions, for the painting of the input tables.
class FaultyCells {
public:
    void reload(const StringGrid& list);
    bool contains(int col, int row) const { return cells_.count(key(col, row)) > 0; }

private:
    static std::uint64_t key(int col, int row) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(col)) << 32 |
               static_cast<std::uint32_t>(row);
    }
    std::unordered_set<std::uint64_t> cells_;
};

// StringGrid1DrawCell and StringGrid2DrawCell: while the table's error flag is set, a listed
// cell is filled red with its text in black at the cell's corner. (The window turns in-place
// editing on as it shows such a table.)
class FaultyCellDelegate : public QStyledItemDelegate {
public:
    FaultyCellDelegate(GridModel& model, const bool& hasErrors, const FaultyCells& faulty,
                       QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    GridModel& model_;
    const bool& hasErrors_;
    const FaultyCells& faulty_;
};

} // namespace tarnwick
