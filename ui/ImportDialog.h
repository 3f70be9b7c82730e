#pragma once

#include "commands/ImportPreview.h"
#include "ui/ImportOutcomeWorker.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QTableWidget>

#include <vector>

namespace tarnwick {

// Shows an import's preview: the sheet read, the first rows with each column's role above its
// title, and what the import would give. Each change goes to the preview, and the dialog shows
// the preview again; what the import would give is worked out off the window's thread, OK
// waiting for it. The import itself is the caller's.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(ImportPreview& preview, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseSheet(int index);
    void markColumn(int column, int roleIndex);
    // The sheet's rows and a role box above each column, made anew for the sheet previewed.
    void showRows();
    void showRoles();
    void showOutcome();
    void showOutcomeText(const QString& text, bool importable);
    void orderTabs();
    void fitToScreen();

    ImportPreview& preview_;
    QFormLayout* form_;
    QComboBox* sheets_;
    QLabel* marksLabel_;
    QTableWidget* table_;
    QLabel* outcome_;
    QDialogButtonBox* buttons_;
    std::vector<QComboBox*> roleBoxes_;
    ImportOutcomeWorker* outcomes_;
};

} // namespace tarnwick
