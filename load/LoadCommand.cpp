#include "load/LoadCommand.h"

#include "core/TableOperations.h"
#include "io/WorkbookReader.h"
#include "load/LocusCellValidation.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

FileDialogState openDialog() {
    return {FileDialogState::Kind::Open, "Open", spreadsheetFilters(), "xls", ""};
}

void disableResultCommands(Workspace& workspace) {
    workspace.enabled.Button6 = false;
    workspace.enabled.Button4 = false;
    workspace.enabled.Save1 = false;
    workspace.enabled.Button5 = false;
}

void emptyResultTable(StringGrid& result) {
    emptyTable(result);
    result.setColCount(1);
    result.setRowCount(1);
    result.setFixedRows(0);
}

} // namespace

std::string formatMessage(InputRole role, const StringGrid& table) {
    const bool database = role == InputRole::Database;
    const int markers = std::max(table.ColCount() - firstLocusColumn(role), 0);
    return std::string("The following data format was identified in the ") +
           (database ? "database" : "haplotypes for search") +
           ":\r\nNumber of haplotypes: " + std::to_string(table.RowCount() - 3) +
           "\r\nNumber of markers: " + std::to_string(markers);
}

LoadCommands::LoadCommands(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer)
    : forms(workspace, dialogs, measurer), OpenDialog1(openDialog()), OpenDialog2(openDialog()),
      workspace_(workspace), dialogs_(dialogs), measurer_(measurer) {}

void LoadCommands::load(InputRole role) {
    const bool database = role == InputRole::Database;
    StringGrid& table = inputTable(workspace_, role);
    table.setVisible(false);
    workspace_.StringGrid5.setVisible(true);
    workspace_.enabled.Button4 = false;
    resetFaultyCellList(workspace_.StringGrid6);
    emptyTable(table);
    table.setColCount(1);
    table.setRowCount(2);
    workspace_.statusLine = database ? "loading database..." : "loading haplotape(s)...";

    FileDialogState& dialog = database ? OpenDialog1 : OpenDialog2;
    if (const auto chosen = dialogs_.runFileDialog(dialog)) {
        // The default extension completes a typed name only when no file has the name as typed.
        const std::string fileName = std::filesystem::exists(*chosen)
                                         ? *chosen
                                         : withDefaultExtension(*chosen, dialog.defaultExtension);
        dialog.fileName = fileName;
        emptyTable(table);
        table.setRowCount(2);
        table.setColCount(1);
        ReadWorkbookIntoTable(table, fileName);
        const int faults =
            tidyAndValidateLocusCells(table, firstLocusColumn(role), workspace_.StringGrid6);
        if (faults > 0)
            finishFaulty(role, faults);
        else
            finishClean(role);
    }
    workspace_.statusLine.clear();
}

void LoadCommands::finishFaulty(InputRole role, int faults) {
    StringGrid& table = inputTable(workspace_, role);
    table.setRowCount(table.RowCount() - 2);
    workspace_.statusLine = "error";
    workspace_.StringGrid7.setVisible(false);
    disableResultCommands(workspace_);
    emptyResultTable(workspace_.StringGrid5);
    if (role == InputRole::Database) {
        dialogs_.showModal(FormId::Form4, std::to_string(faults));
        workspace_.databaseHasErrors = true;
    } else {
        dialogs_.showModal(FormId::Form10, std::to_string(faults));
        workspace_.StringGrid1.setVisible(false);
        workspace_.searchHasErrors = true;
    }
}

void LoadCommands::finishClean(InputRole role) {
    StringGrid& table = inputTable(workspace_, role);
    emptyResultTable(workspace_.StringGrid5);
    (role == InputRole::Database ? workspace_.databaseHasErrors : workspace_.searchHasErrors) =
        false;
    table.setGoEditing(false);
    emptyTable(workspace_.StringGrid7);
    workspace_.StringGrid7.setColCount(7);
    workspace_.StringGrid7.setRowCount(2);
    disableResultCommands(workspace_);
    workspace_.statusLine.clear();
    const std::string message = formatMessage(role, table);
    fitColumnWidths(table, measurer_);
    table.setVisible(true);
    workspace_.StringGrid5.setVisible(false);
    otherInputTable(workspace_, role).setVisible(false);
    workspace_.StringGrid7.setVisible(false);
    dialogs_.showModal(role == InputRole::Database ? FormId::Form2 : FormId::Form3, message);
}

} // namespace tarnwick
