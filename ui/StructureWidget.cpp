#include "ui/StructureWidget.h"

#include "commands/ErrorReport.h"
#include "commands/SaveThroughDialog.h"
#include "core/statistics/MatchProbabilities.h"
#include "ui/Fonts.h"
#include "ui/LeftOutMenDialog.h"
#include "ui/ReadOnlyTable.h"
#include "ui/StructurePlotDrawing.h"

#include <QBoxLayout>
#include <QPainter>

#include <exception>

namespace tarnwick {
namespace {

const QColor kSignificantTint(255, 226, 160);

} // namespace

StructurePlotWidget::StructurePlotWidget(const StructureView& view, QWidget* parent)
    : QWidget(parent), view_(view) {
    setMinimumSize(240, 200);
}

void StructurePlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!view_.result) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    drawStructurePlot(painter, structurePlotOf(*view_.result, width(), height()));
}

StructurePairsModel::StructurePairsModel(StructureView& view, QObject* parent)
    : GridModel(view.pairwise, parent), view_(view) {}

QVariant StructurePairsModel::data(const QModelIndex& index, int role) const {
    if (index.isValid() && (role == Qt::FontRole || role == Qt::BackgroundRole) &&
        isSignificantPairCell(view_, index.column(), gridRow(index.row()))) {
        if (role == Qt::BackgroundRole)
            return kSignificantTint;
        QFont bold = msSansSerif8();
        bold.setBold(true);
        return bold;
    }
    return GridModel::data(index, role);
}

StructureWidget::StructureWidget(StructureView& view, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), plotDialog{FileDialogState::Kind::Save,
                                  tr("Save plot").toStdString(),
                                  {{tr("SVG").toStdString(), "*.svg"},
                                   {tr("PNG").toStdString(), "*.png"}},
                                  "svg",
                                  ""},
      leftOutDialog{FileDialogState::Kind::Save, tr("Save men left out").toStdString(),
                    spreadsheetFilters(), "xls", ""},
      view_(view), dialogs_(dialogs), amovaModel_(new GridModel(view.amova, this)),
      pairsModel_(new StructurePairsModel(view, this)),
      amovaView_(readOnlyTableView(amovaModel_, "AmovaTable", this)),
      pairsView_(readOnlyTableView(pairsModel_, "PairwiseTable", this)),
      pairsCaption_(new QLabel(this)), plot_(new StructurePlotWidget(view, this)),
      savePlot_(new QPushButton(tr("Save plot"), this)),
      leftOut_(new QPushButton(tr("Men left out..."), this)) {
    setObjectName("PopulationStructureView");
    plot_->setObjectName("StructurePlot");
    savePlot_->setObjectName("SavePlot");
    pairsCaption_->setObjectName("PairwiseCaption");
    pairsCaption_->setFont(msSansSerif8());
    savePlot_->setFont(msSansSerif8());
    leftOut_->setObjectName("LeftOutMen");
    leftOut_->setFont(msSansSerif8());
    auto* tables = new QVBoxLayout;
    tables->addWidget(amovaView_, 3);
    tables->addWidget(pairsCaption_);
    tables->addWidget(pairsView_, 4);
    auto* plot = new QVBoxLayout;
    plot->addWidget(plot_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(leftOut_);
    buttons->addWidget(savePlot_);
    plot->addLayout(buttons);
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(tables, 1);
    columns->addLayout(plot, 1);
    connect(savePlot_, &QPushButton::clicked, this, &StructureWidget::SavePlotClick);
    connect(leftOut_, &QPushButton::clicked, this, &StructureWidget::LeftOutMenClick);
}

void StructureWidget::refresh() {
    showGrid(amovaView_, amovaModel_);
    showGrid(pairsView_, pairsModel_);
    if (view_.result) {
        const StructureSettings& settings = view_.result->settings;
        pairsCaption_->setText(
            tr("Pairwise %1 below the diagonal, p above; shaded: p < %2")
                .arg(QString::fromStdString(structureStatisticSymbol(settings.distance)),
                     QString::fromStdString(sixDigits(settings.significance))));
    }
    savePlot_->setEnabled(view_.result != nullptr);
    leftOut_->setEnabled(view_.result && !view_.result->leftOutMen.empty());
    plot_->update();
    setVisible(view_.visible);
}

void StructureWidget::SavePlotClick() {
    if (!view_.result)
        return;
    try {
        saveThroughDialog(dialogs_, plotDialog,
                          [&](const std::string& fileName, const FileProgress&) {
                              saveStructurePlot(*view_.result, fileName);
                          });
    } catch (const std::exception& error) {
        dialogs_.showError(errorReportText(error.what()));
    }
}

void StructureWidget::LeftOutMenClick() {
    if (!view_.result || view_.result->leftOutMen.empty())
        return;
    LeftOutMenDialog dialog(view_.leftOut, dialogs_, leftOutDialog, this);
    dialog.exec();
}

} // namespace tarnwick
