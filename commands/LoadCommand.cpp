#include "commands/LoadCommand.h"

#include "commands/InputTables.h"
#include "commands/TableOperations.h"
#include "commands/ViewStates.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

// The columns' widths of a table laid out as a load shows it.
std::vector<int> measuredWidths(const LoadedTable& loaded, const TextMeasurer& measurer,
                                const GoOn& goOn) {
    StringGrid laidOut(loaded.table->columnCount(), loaded.table->rowCount() + 2);
    ReadWorkbookIntoTable(laidOut, loaded);
    fitColumnWidths(laidOut, measurer, raisingWhenCancelled(goOn));
    std::vector<int> widths;
    widths.reserve(static_cast<std::size_t>(laidOut.ColCount()));
    for (int col = 0; col < laidOut.ColCount(); ++col)
        widths.push_back(laidOut.ColWidths(col));
    return widths;
}

// The tables a load replaces in the grids, taken before it.
std::vector<std::shared_ptr<const TextTable>> shownTables(const Workspace& workspace,
                                                          InputRole role) {
    return {workspace.inputTable(role).source(), workspace.StringGrid5.source(),
            workspace.StringGrid7.source()};
}

// Lets go of them on the runner's thread once the grids show others: freeing a table of a
// million rows would hold the window's thread.
void release(std::vector<std::shared_ptr<const TextTable>> tables, WorkRunner& runner) {
    runner.runToEnd("Freeing memory", [&] { tables.clear(); });
}

FileDialogState openDialog() {
    return {FileDialogState::Kind::Open, "Open", openFilters(), "xls", ""};
}

// What an import found, after the format message: where the population came from, the men the
// rows stand for, the rows typed at no locus.
std::string importMessage(const ImportReport& report) {
    std::string text = "\r\nPopulation from " + report.population;
    if (!report.count.empty())
        text += "\r\nMen (" + report.count + "): " + std::to_string(report.men);
    if (report.sheets.size() > 1)
        text += "\r\nSheets read: " + std::to_string(report.sheets.size());
    if (report.untyped > 0)
        text += "\r\nRows typed at no locus: " + std::to_string(report.untyped);
    return text;
}

} // namespace

std::string formatMessage(InputRole role, const StringGrid& table,
                          const CutPartialRepeatCells& cut) {
    const bool database = role == InputRole::Database;
    const int markers = std::max(table.ColCount() - layoutOf(role).firstLocusColumn, 0);
    std::string message = std::string("The following data format was identified in the ") +
                          (database ? "database" : "haplotypes for search") +
                          ":\r\nNumber of haplotypes: " + std::to_string(table.RowCount() - 3) +
                          "\r\nNumber of markers: " + std::to_string(markers);
    if (cut.cells > 0)
        message += "\r\n" + cutPartialRepeatsText(cut, "\"Read genotypes\"");
    return message;
}

LoadCommands::LoadCommands(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer)
    : forms(workspace, dialogs, measurer), OpenDialog1(openDialog()), OpenDialog2(openDialog()),
      workspace_(workspace), dialogs_(dialogs), measurer_(measurer) {}

std::optional<std::string> LoadCommands::chooseFile(InputRole role,
                                                    const std::optional<std::string>& given) {
    const bool database = role == InputRole::Database;
    workspace_.statusLine = database ? "loading database..." : "loading haplotape(s)...";
    FileDialogState& dialog = database ? OpenDialog1 : OpenDialog2;
    const auto chosen = given ? given : dialogs_.runFileDialog(dialog);
    if (!chosen)
        return std::nullopt;
    // The default extension completes a typed name only when no file has the name as typed.
    const std::string fileName = std::filesystem::exists(*chosen)
                                     ? *chosen
                                     : withDefaultExtension(*chosen, dialog.defaultExtension);
    dialog.fileName = fileName;
    return fileName;
}

void LoadCommands::discardForLoad(InputRole role) {
    applyViewEvent(workspace_, ViewEvent::LoadStarted, role);
    resetFaultyCellList(workspace_.StringGrid6);
    discardInputTable(workspace_.inputTable(role));
}

std::optional<LoadCommands::MeasuredTable>
LoadCommands::readThrough(WorkRunner& runner, InputRole role, const std::string& fileName,
                          const std::function<LoadedTable(const FileProgress&)>& read) {
    std::optional<MeasuredTable> measured;
    bool finished = false;
    try {
        const std::string phase =
            std::string("Reading ").append(std::filesystem::path(fileName).filename().string());
        finished = runner.run(phase, [&](const GoOn& goOn) {
            MeasuredTable table{read(raisingWhenCancelled(goOn)), {}};
            if (table.loaded.faults.empty())
                table.widths = measuredWidths(table.loaded, measurer_, goOn);
            measured = std::move(table);
        });
    } catch (...) {
        discardForLoad(role); // a failed read ends the command with the table emptied and hidden
        throw;
    }
    if (!finished)
        return std::nullopt;
    discardForLoad(role);
    return measured;
}

void LoadCommands::load(InputRole role, const std::optional<std::string>& given,
                        WorkRunner& runner) {
    // A dialog cancelled leaves everything as it was, the table the user may have edited first.
    const std::string statusBefore = workspace_.statusLine;
    const auto fileName = chooseFile(role, given);
    if (!fileName) {
        workspace_.statusLine = statusBefore;
        return;
    }
    // The sheet is read, and its locus cells tidied and checked, in one pass.
    const CellReading reading =
        workspace_.readGenotypes ? CellReading::Genotypes : CellReading::TidiedIntegers;
    auto replaced = shownTables(workspace_, role);
    const auto measured = readThrough(runner, role, *fileName, [&](const FileProgress& progress) {
        return readInputTable(*fileName, role, reading, progress);
    });
    if (!measured) {
        workspace_.statusLine = statusBefore;
        return;
    }
    workspace_.fileOf(role) = *fileName;
    install(role, *measured, reading, "");
    workspace_.statusLine.clear();
    release(std::move(replaced), runner);
}

void LoadCommands::import(InputRole role, const std::optional<std::string>& given,
                          WorkRunner& runner) {
    const std::string statusBefore = workspace_.statusLine;
    const auto fileName = chooseFile(role, given);
    if (!fileName) {
        workspace_.statusLine = statusBefore;
        return;
    }
    ImportPreview preview(*fileName, role);
    if (!dialogs_.runImportDialog(preview)) {
        workspace_.statusLine = statusBefore;
        return;
    }
    const ImportSettings settings = preview.settings();
    std::string message;
    auto replaced = shownTables(workspace_, role);
    const auto measured = readThrough(runner, role, *fileName, [&](const FileProgress& progress) {
        const ImportedTable imported = importTable(*fileName, layoutOf(role), settings, progress);
        LoadedTable loaded{imported.table, {}, {}};
        listFaults(loaded, imported.faults);
        message = importMessage(imported.report);
        return loaded;
    });
    if (!measured) {
        workspace_.statusLine = statusBefore;
        return;
    }
    workspace_.fileOf(role) = *fileName;
    install(role, *measured, CellReading::Genotypes, message);
    workspace_.statusLine.clear();
    release(std::move(replaced), runner);
}

void LoadCommands::install(InputRole role, const MeasuredTable& measured, CellReading reading,
                           const std::string& extraMessage) {
    const LoadedTable& loaded = measured.loaded;
    StringGrid& table = workspace_.inputTable(role);
    workspace_.readingOf(role) = reading;
    ReadWorkbookIntoTable(table, loaded);
    recordFaultyCells(workspace_.StringGrid6, loaded.faults);
    if (!loaded.faults.empty())
        finishFaulty(role, loaded.faultCount);
    else
        finishClean(role, measured, extraMessage);
}

void LoadCommands::finishFaulty(InputRole role, std::size_t faults) {
    StringGrid& table = workspace_.inputTable(role);
    table.setRowCount(table.RowCount() - 2);
    workspace_.statusLine = "error";
    applyViewEvent(workspace_, ViewEvent::LoadedWithFaults, role);
    emptyResultTable(workspace_.StringGrid5, ResultTableState::BeforeCalculation);
    if (role == InputRole::Database) {
        dialogs_.showModal(FormId::Form4, std::to_string(faults));
        workspace_.databaseHasErrors = true;
    } else {
        dialogs_.showModal(FormId::Form10, std::to_string(faults));
        applyViewEvent(workspace_, ViewEvent::SearchFaultsDialogDone, role);
        workspace_.searchHasErrors = true;
    }
}

void LoadCommands::finishClean(InputRole role, const MeasuredTable& measured,
                               const std::string& extraMessage) {
    StringGrid& table = workspace_.inputTable(role);
    emptyResultTable(workspace_.StringGrid5, ResultTableState::BeforeCalculation);
    (role == InputRole::Database ? workspace_.databaseHasErrors : workspace_.searchHasErrors) =
        false;
    table.setGoEditing(false);
    workspace_.StringGrid7.clearCells();
    workspace_.StringGrid7.setColCount(7);
    workspace_.StringGrid7.setRowCount(2);
    workspace_.statusLine.clear();
    const std::string message =
        formatMessage(role, table, measured.loaded.cutPartialRepeats) + extraMessage;
    for (std::size_t col = 0; col < measured.widths.size(); ++col)
        table.setColWidths(static_cast<int>(col), measured.widths[col]);
    applyViewEvent(workspace_, ViewEvent::LoadedClean, role);
    dialogs_.showModal(role == InputRole::Database ? FormId::Form2 : FormId::Form3, message);
}

} // namespace tarnwick
