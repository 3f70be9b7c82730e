#pragma once

#include "commands/Dialogs.h"
#include "commands/Workspace.h"

namespace tarnwick {

// Writes the table as its file's name says: comma-separated UTF-8 text under a ".csv" name (as
// the batch tool writes it), the BIFF label stream under any other. The file is replaced only
// once written whole.
void saveTableFile(const StringGrid& table, const std::string& fileName);

// "Save" (Button4 and File, "Save"): writes each table whose view is showing, in the order
// population structure (AMOVA, pairwise, MDS coordinates), match probabilities, by-haplotype,
// by-population, search, database, each through its own dialog. A write failure is raised and ends
// the command with the status line at "saving...".
class SaveCommand {
public:
    SaveCommand(Workspace& workspace, Dialogs& dialogs);

    void run();

    FileDialogState SaveDialog1; // by-haplotype result table
    FileDialogState SaveDialog2; // by-population result table
    FileDialogState SaveDialog3; // search table
    FileDialogState SaveDialog4; // database table
    FileDialogState matchProbabilitiesDialog;
    FileDialogState amovaDialog;
    FileDialogState pairwiseDialog;
    FileDialogState scalingDialog;

private:
    void saveIf(bool shown, const StringGrid& table, FileDialogState& dialog, const char* message);

    Workspace& workspace_;
    Dialogs& dialogs_;
};

} // namespace tarnwick
