#include "ui/StructureWidget.h"

#include "commands/ErrorReport.h"
#include "core/statistics/MatchProbabilities.h"
#include "ui/Fonts.h"
#include "ui/StructurePlotDrawing.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPainter>

#include <exception>

namespace tarnwick {
namespace {

constexpr int kRowHeight = 20;
const QColor kSignificantTint(255, 226, 160);

QTableView* tableView(GridModel* model, const char* name, QWidget* parent) {
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
                                  "Save plot",
                                  {{"SVG", "*.svg"}, {"PNG", "*.png"}},
                                  "svg",
                                  ""},
      view_(view), dialogs_(dialogs), amovaModel_(new GridModel(view.amova, this)),
      pairsModel_(new StructurePairsModel(view, this)),
      amovaView_(tableView(amovaModel_, "AmovaTable", this)),
      pairsView_(tableView(pairsModel_, "PairwiseTable", this)), pairsCaption_(new QLabel(this)),
      plot_(new StructurePlotWidget(view, this)), savePlot_(new QPushButton("Save plot", this)) {
    setObjectName("PopulationStructureView");
    plot_->setObjectName("StructurePlot");
    savePlot_->setObjectName("SavePlot");
    pairsCaption_->setObjectName("PairwiseCaption");
    pairsCaption_->setFont(msSansSerif8());
    savePlot_->setFont(msSansSerif8());
    auto* tables = new QVBoxLayout;
    tables->addWidget(amovaView_, 3);
    tables->addWidget(pairsCaption_);
    tables->addWidget(pairsView_, 4);
    auto* plot = new QVBoxLayout;
    plot->addWidget(plot_, 1);
    plot->addWidget(savePlot_, 0, Qt::AlignRight);
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(tables, 1);
    columns->addLayout(plot, 1);
    connect(savePlot_, &QPushButton::clicked, this, &StructureWidget::SavePlotClick);
}

void StructureWidget::refresh() {
    showGrid(amovaView_, amovaModel_);
    showGrid(pairsView_, pairsModel_);
    if (view_.result) {
        const StructureSettings& settings = view_.result->settings;
        pairsCaption_->setText(QString::fromStdString(
            "Pairwise " + structureStatisticSymbol(settings.distance) +
            " below the diagonal, p above; shaded: p < " + sixDigits(settings.significance)));
    }
    savePlot_->setEnabled(view_.result != nullptr);
    plot_->update();
    setVisible(view_.visible);
}

void StructureWidget::SavePlotClick() {
    if (!view_.result)
        return;
    try {
        const auto chosen = dialogs_.runFileDialog(plotDialog);
        if (!chosen)
            return;
        plotDialog.fileName = withDefaultExtension(*chosen, plotDialog.defaultExtension);
        saveStructurePlot(*view_.result, plotDialog.fileName);
    } catch (const std::exception& error) {
        dialogs_.showError(errorReportText(error.what()));
    }
}

} // namespace tarnwick
