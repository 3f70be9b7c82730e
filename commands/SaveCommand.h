#pragma once

#include "commands/BackgroundWork.h"
#include "commands/Dialogs.h"
#include "commands/Workspace.h"
#include "io/FileProgress.h"

namespace tarnwick {

// Writes the table as its file's name says: comma-separated UTF-8 text under a ".csv" name (as
// the batch tool writes it), the BIFF label stream under any other. The file is replaced only
// once written whole; when the progress raises, the old file stays and nothing is left beside it.
void saveTableFile(const StringGrid& table, const std::string& fileName,
                   const FileProgress& progress = {});

// "Save" (Button4 and File, "Save"): writes each table whose view is showing, in the order
// population structure (AMOVA, pairwise, MDS coordinates), match probabilities, by-haplotype,
// by-population, search, database, each through its own dialog. A write failure is raised and ends
// the command with the status line at "saving...". Each file is written through the runner
// ("Writing <name>"); a write the user cancels ends the command, that file as it was before and
// the status line as before the command.
class SaveCommand {
public:
    SaveCommand(Workspace& workspace, Dialogs& dialogs);

    void run(WorkRunner& runner = inPlace());

    FileDialogState SaveDialog1; // by-haplotype result table
    FileDialogState SaveDialog2; // by-population result table
    FileDialogState SaveDialog3; // search table
    FileDialogState SaveDialog4; // database table
    FileDialogState matchProbabilitiesDialog;
    FileDialogState amovaDialog;
    FileDialogState pairwiseDialog;
    FileDialogState scalingDialog;

private:
    // False when the user cancelled the write.
    bool saveIf(bool shown, const StringGrid& table, FileDialogState& dialog, const char* message,
                WorkRunner& runner);

    Workspace& workspace_;
    Dialogs& dialogs_;
};

} // namespace tarnwick
