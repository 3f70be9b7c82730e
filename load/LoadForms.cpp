#include "load/LoadForms.h"

#include "core/TableOperations.h"
#include "io/HighlightedWorkbookWriter.h"

namespace tarnwick {

StringGrid& inputTable(Workspace& workspace, InputRole role) {
    return role == InputRole::Database ? workspace.StringGrid1 : workspace.StringGrid2;
}

StringGrid& otherInputTable(Workspace& workspace, InputRole role) {
    return role == InputRole::Database ? workspace.StringGrid2 : workspace.StringGrid1;
}

void discardInputTable(StringGrid& table) {
    emptyTable(table);
    table.setColCount(1);
    table.setRowCount(2);
}

namespace {

// The workbook is an .xlsx package, so the database's dialog offers and adds that extension;
// the search table's dialog keeps the program's list and adds none.
std::vector<std::pair<std::string, std::string>> highlightedWorkbookFilters(InputRole role) {
    auto filters = spreadsheetFilters();
    if (role == InputRole::Database)
        filters.front() = {"Excel workbook", "*.xlsx"};
    return filters;
}

} // namespace

ConfirmationForm::ConfirmationForm(Workspace& workspace, InputRole role)
    : workspace_(workspace), role_(role) {}

void ConfirmationForm::Button1Click() {}

void ConfirmationForm::Button2Click() {
    StringGrid& table = inputTable(workspace_, role_);
    emptyTable(table);
    table.setRowCount(1);
    table.setColCount(1);
}

DataErrorForm::DataErrorForm(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer,
                             InputRole role)
    : SaveDialog1{FileDialogState::Kind::Save, "Save", highlightedWorkbookFilters(role),
                  role == InputRole::Database ? "xlsx" : "", ""},
      workspace_(workspace), dialogs_(dialogs), measurer_(measurer), role_(role) {}

void DataErrorForm::Button1Click() {
    dialogs_.showMessage(kHighlightedSaveWarning);
    workspace_.statusLine = "saving...";
    if (const auto chosen = dialogs_.runFileDialog(SaveDialog1)) {
        const std::string fileName = withDefaultExtension(*chosen, SaveDialog1.defaultExtension);
        SaveDialog1.fileName = fileName;
        if (SaveTableWithHighlights(inputTable(workspace_, role_), workspace_.StringGrid6,
                                    fileName))
            dialogs_.showMessage("save!");
    }
    discardInputTable(inputTable(workspace_, role_));
}

void DataErrorForm::Button2Click() {
    StringGrid& table = inputTable(workspace_, role_);
    discardInputTable(table);
    table.setVisible(false);
    workspace_.StringGrid5.setVisible(true);
    workspace_.enabled.Button4 = false;
}

void DataErrorForm::Button3Click() {
    StringGrid& table = inputTable(workspace_, role_);
    fitColumnWidths(table, measurer_);
    workspace_.enabled.Button4 = true;
    table.setVisible(true);
    workspace_.StringGrid5.setVisible(false);
    otherInputTable(workspace_, role_).setVisible(false);
}

LoadForms::LoadForms(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer)
    : Form2(workspace, InputRole::Database), Form3(workspace, InputRole::Search),
      Form4(workspace, dialogs, measurer, InputRole::Database),
      Form10(workspace, dialogs, measurer, InputRole::Search) {}

} // namespace tarnwick
