#include "ui/SelectionCopy.h"

#include "commands/CopiedRange.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>

#include <algorithm>

namespace tarnwick {
namespace {

class SelectionCopier : public QObject {
public:
    SelectionCopier(QTableView* view, GridModel& model)
        : QObject(view), view_(view), model_(model) {
        view->installEventFilter(this);
    }

protected:
    // Taken before the view, whose own Ctrl+C copies the current cell; an editor open in a cell
    // gets its keys itself.
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool copy =
            (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy);
        if (watched != view_ || !copy)
            return false;
        if (event->type() == QEvent::KeyPress)
            copySelection();
        event->accept();
        return true;
    }

private:
    void copySelection() const {
        const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
        if (selected.isEmpty())
            return;
        CellRange range{selected.front().column(), selected.front().row(),
                        selected.front().column(), selected.front().row()};
        for (const QModelIndex& index : selected) {
            range.firstCol = std::min(range.firstCol, index.column());
            range.lastCol = std::max(range.lastCol, index.column());
            range.firstRow = std::min(range.firstRow, index.row());
            range.lastRow = std::max(range.lastRow, index.row());
        }
        range.firstRow = model_.gridRow(range.firstRow);
        range.lastRow = model_.gridRow(range.lastRow);
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(tabSeparatedText(model_.grid(), range)));
    }

    QTableView* view_;
    GridModel& model_;
};

} // namespace

void copySelectionOnCtrlC(QTableView* view, GridModel& model) {
    new SelectionCopier(view, model);
}

} // namespace tarnwick
