#include "commands/LoadForms.h"

#include "commands/TableOperations.h"
#include "commands/ViewStates.h"
#include "io/HighlightedWorkbookWriter.h"

namespace tarnwick {

void discardInputTable(StringGrid& table) {
    // Shrunk first: emptied at its old size, a table of a million rows would make empty cells
    // for all of them.
    table.setColCount(1);
    table.setRowCount(2);
    table.clearCells();
}

namespace {

// The workbook is an .xlsx package, so the dialog offers and adds that extension.
std::vector<std::pair<std::string, std::string>> highlightedWorkbookFilters() {
    auto filters = spreadsheetFilters();
    filters.front() = {"Excel workbook", "*.xlsx"};
    return filters;
}

} // namespace

ConfirmationForm::ConfirmationForm(Workspace& workspace, InputRole role)
    : workspace_(workspace), role_(role) {}

void ConfirmationForm::Button2Click() {
    StringGrid& table = workspace_.inputTable(role_);
    table.clearCells();
    table.setRowCount(1);
    table.setColCount(1);
}

DataErrorForm::DataErrorForm(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer,
                             InputRole role)
    : SaveDialog1{FileDialogState::Kind::Save, "Save", highlightedWorkbookFilters(), "xlsx", ""},
      workspace_(workspace), dialogs_(dialogs), measurer_(measurer), role_(role) {}

void DataErrorForm::Button1Click() {
    dialogs_.showMessage(kHighlightedSaveWarning);
    workspace_.statusLine = "saving...";
    if (const auto chosen = dialogs_.runFileDialog(SaveDialog1)) {
        const std::string fileName = withDefaultExtension(*chosen, SaveDialog1.defaultExtension);
        SaveDialog1.fileName = fileName;
        if (SaveTableWithHighlights(workspace_.inputTable(role_),
                                    faultyCellPositions(workspace_.StringGrid6), fileName))
            dialogs_.showMessage("save!");
    }
    discardInputTable(workspace_.inputTable(role_));
}

void DataErrorForm::Button2Click() {
    discardInputTable(workspace_.inputTable(role_));
    applyViewEvent(workspace_, ViewEvent::FaultsCancelPressed, role_);
}

void DataErrorForm::Button3Click() {
    fitColumnWidths(workspace_.inputTable(role_), measurer_);
    applyViewEvent(workspace_, ViewEvent::FaultsEditPressed, role_);
}

LoadForms::LoadForms(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer)
    : Form2(workspace, InputRole::Database), Form3(workspace, InputRole::Search),
      Form4(workspace, dialogs, measurer, InputRole::Database),
      Form10(workspace, dialogs, measurer, InputRole::Search) {}

} // namespace tarnwick
