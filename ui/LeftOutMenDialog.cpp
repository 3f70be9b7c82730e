#include "ui/LeftOutMenDialog.h"

#include "commands/ErrorReport.h"
#include "commands/SaveCommand.h"
#include "commands/SaveThroughDialog.h"
#include "ui/Fonts.h"
#include "ui/ReadOnlyTable.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <exception>

namespace tarnwick {

LeftOutMenDialog::LeftOutMenDialog(StringGrid& list, Dialogs& dialogs, FileDialogState& saveDialog,
                                   QWidget* parent)
    : QDialog(parent), list_(list), dialogs_(dialogs), saveDialog_(saveDialog) {
    setObjectName("LeftOutMenDialog");
    setWindowTitle(tr("Men left out"));
    auto* model = new GridModel(list, this);
    QTableView* table = readOnlyTableView(model, "LeftOutMenTable", this);
    showGrid(table, model);
    auto* caption =
        new QLabel(tr("%n men left out of the analysis: row in the database, population, and "
                      "the first locus that is not one whole repeat count.",
                      nullptr, list.RowCount() - 1),
                   this);
    caption->setFont(msSansSerif8());
    caption->setWordWrap(true);
    auto* save = new QPushButton(tr("&Save..."), this);
    auto* close = new QPushButton(tr("Close"), this);
    save->setObjectName("SaveLeftOutMen");
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    resize(460, 360);
    connect(save, &QPushButton::clicked, this, &LeftOutMenDialog::SaveClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void LeftOutMenDialog::SaveClick() {
    try {
        const SaveOutcome outcome = saveThroughDialog(
            dialogs_, saveDialog_, [&](const std::string& fileName, const FileProgress& progress) {
                saveTableFile(list_, fileName, progress);
            });
        if (outcome == SaveOutcome::Saved)
            dialogs_.showMessage(tr("Men left out saved").toStdString());
    } catch (const std::exception& error) {
        dialogs_.showError(errorReportText(error.what()));
    }
}

} // namespace tarnwick
