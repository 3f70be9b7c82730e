#include "ui/FaultyCellDelegate.h"

#include "commands/TableOperations.h"

#include <QPainter>

namespace tarnwick {

void FaultyCells::reload(const StringGrid& list) {
    cells_.clear();
    for (const CellPosition& cell : faultyCellPositions(list))
        cells_.insert(key(cell.col, cell.row));
}

FaultyCellDelegate::FaultyCellDelegate(GridModel& model, const bool& hasErrors,
                                       const FaultyCells& faulty, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), hasErrors_(hasErrors), faulty_(faulty) {}

void FaultyCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (!hasErrors_)
        return;
    const int col = index.column();
    const int row = model_.gridRow(index.row());
    if (faulty_.contains(col, row)) {
        painter->save();
        painter->fillRect(option.rect, QColor(255, 0, 0));
        painter->setPen(Qt::black);
        painter->setFont(option.font);
        const QString text = QString::fromStdString(model_.grid().Cells(col, row));
        painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }
}

} // namespace tarnwick
