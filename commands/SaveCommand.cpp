#include "commands/SaveCommand.h"

#include "commands/SaveThroughDialog.h"
#include "io/BiffWriter.h"
#include "io/DelimitedTextWriter.h"
#include "io/OutputPaths.h"

namespace tarnwick {
namespace {

FileDialogState saveDialog(const char* title = "") {
    return {FileDialogState::Kind::Save, title, spreadsheetFilters(), "xls", ""};
}

// The rows up to the last one with any text: an input table's two blank rows at its end are no
// lines of the text file.
int rowsUpToLastText(const StringGrid& table) {
    int rows = table.RowCount();
    const auto blank = [&](int row) {
        for (int col = 0; col < table.ColCount(); ++col)
            if (!table.Cells(col, row).empty())
                return false;
        return true;
    };
    while (rows > 1 && blank(rows - 1))
        --rows;
    return rows;
}

} // namespace

void saveTableFile(const StringGrid& table, const std::string& fileName,
                   const FileProgress& progress) {
    if (lowerCaseExtension(fileName) == ".csv")
        saveDelimitedText(table, rowsUpToLastText(table), TextTableFormat::Csv, fileName, progress);
    else
        SaveTableAsBiff(table, fileName, progress);
}

SaveCommand::SaveCommand(Workspace& workspace, Dialogs& dialogs)
    : SaveDialog1(saveDialog()), SaveDialog2(saveDialog()), SaveDialog3(saveDialog()),
      SaveDialog4(saveDialog()), matchProbabilitiesDialog(saveDialog()),
      amovaDialog(saveDialog("Save AMOVA table")),
      pairwiseDialog(saveDialog("Save pairwise table")),
      scalingDialog(saveDialog("Save MDS coordinates")), workspace_(workspace), dialogs_(dialogs) {}

void SaveCommand::run(WorkRunner& runner) {
    Workspace& w = workspace_;
    const std::string statusBefore = w.statusLine;
    w.statusLine = "saving...";
    const bool saved =
        saveIf(w.structure.visible, w.structure.amova, amovaDialog, "AMOVA table saved", runner) &&
        saveIf(w.structure.visible, w.structure.pairwise, pairwiseDialog, "Pairwise table saved",
               runner) &&
        saveIf(w.structure.visible, w.structure.scaling, scalingDialog, "MDS coordinates saved",
               runner) &&
        saveIf(w.matchProbabilities.Visible(), w.matchProbabilities, matchProbabilitiesDialog,
               "Save match probabilities", runner) &&
        saveIf(w.StringGrid5.Visible() && !w.StringGrid7.Visible(), w.StringGrid5, SaveDialog1,
               "Save by haplotype(s)", runner) &&
        saveIf(w.StringGrid7.Visible() && !w.StringGrid5.Visible(), w.StringGrid7, SaveDialog2,
               "Save by populations", runner) &&
        saveIf(w.StringGrid2.Visible(), w.StringGrid2, SaveDialog3, "Save!", runner) &&
        saveIf(w.StringGrid1.Visible(), w.StringGrid1, SaveDialog4, "Save!", runner);
    if (!saved) {
        w.statusLine = statusBefore;
        return;
    }
    w.statusLine.clear();
}

bool SaveCommand::saveIf(bool shown, const StringGrid& table, FileDialogState& dialog,
                         const char* message, WorkRunner& runner) {
    if (!shown)
        return true;
    const SaveOutcome outcome = saveThroughDialog(
        dialogs_, dialog,
        [&](const std::string& fileName, const FileProgress& progress) {
            saveTableFile(table, fileName, progress);
        },
        runner);
    if (outcome == SaveOutcome::Saved) {
        workspace_.statusLine.clear();
        dialogs_.showMessage(message);
    }
    return outcome != SaveOutcome::WriteCancelled;
}

} // namespace tarnwick
