#pragma once

#include "commands/Dialogs.h"
#include "commands/StructureView.h"
#include "ui/GridModel.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

namespace tarnwick {

// Paints the MDS plot of the view's result at the widget's size.
class StructurePlotWidget : public QWidget {
public:
    StructurePlotWidget(const StructureView& view, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const StructureView& view_;
};

// The pairwise table, its significant pairs' cells in bold on a tint.
class StructurePairsModel : public GridModel {
public:
    StructurePairsModel(StructureView& view, QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const StructureView& view_;
};

// Calculate, "Population structure"'s view in the views' place: the AMOVA table and the pairwise
// table on the left, the MDS plot and "Save plot" on the right.
class StructureWidget : public QWidget {
    Q_OBJECT
public:
    StructureWidget(StructureView& view, Dialogs& dialogs, QWidget* parent);

    // Shows the view's state: its tables, their widths, the plot, and whether it is visible.
    void refresh();
    void SavePlotClick();
    // Lists the men the run left out, in a dialog that can save the list.
    void LeftOutMenClick();

    FileDialogState plotDialog;
    FileDialogState leftOutDialog;

private:
    StructureView& view_;
    Dialogs& dialogs_;
    GridModel* amovaModel_;
    StructurePairsModel* pairsModel_;
    QTableView* amovaView_;
    QTableView* pairsView_;
    QLabel* pairsCaption_;
    StructurePlotWidget* plot_;
    QPushButton* savePlot_;
    QPushButton* leftOut_;
};

} // namespace tarnwick
