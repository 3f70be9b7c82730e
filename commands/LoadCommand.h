#pragma once

#include "commands/BackgroundWork.h"
#include "commands/Dialogs.h"
#include "commands/InputRole.h"
#include "commands/InputTables.h"
#include "commands/LoadForms.h"
#include "commands/TextMeasurer.h"
#include "commands/Workspace.h"
#include "core/table/HaplotypeTable.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The format message of a load without faults; the number of markers is never negative. Cells
// whose partial repeat was cut are counted on a line of their own, when there are any.
std::string formatMessage(InputRole role, const StringGrid& table,
                          const CutPartialRepeatCells& cut = {});

// "Load database" (Button1Click of the main window) and "Load haplotype(s) for search"
// (Button2Click): one command, parameterised by the role. A reader failure is raised and ends
// the command with the table hidden and the status line as it was set. The file is read through
// the runner ("Reading <name>"); the dialogs stay on the caller's thread. A read the user cancels
// leaves everything as it was: the old table, its views and the commands enabled.
class LoadCommands {
public:
    LoadCommands(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer);

    void Button1Click(WorkRunner& runner = inPlace()) {
        load(InputRole::Database, std::nullopt, runner);
    }
    void Button2Click(WorkRunner& runner = inPlace()) {
        load(InputRole::Search, std::nullopt, runner);
    }
    // The load, the file chosen in its dialog, or given (the file the program was started with).
    void load(InputRole role, const std::optional<std::string>& given = std::nullopt,
              WorkRunner& runner = inPlace());
    // "Import database..." and "Import haplotype(s) for search...": the file chosen in the load's
    // dialog, then the import dialog; the table as it comes, read as genotypes, installed as a
    // load installs it (faults, red cells, the format message).
    void import(InputRole role, const std::optional<std::string>& given = std::nullopt,
                WorkRunner& runner = inPlace());

    LoadForms forms;
    FileDialogState OpenDialog1;
    FileDialogState OpenDialog2;

private:
    // Sets the status line and returns the file chosen, or nothing when the dialog was cancelled.
    std::optional<std::string> chooseFile(InputRole role, const std::optional<std::string>& given);
    // A table read on the runner's thread, with its columns' widths when it is clean, so that
    // the caller's thread has only to take them.
    struct MeasuredTable {
        LoadedTable loaded;
        std::vector<int> widths;
    };
    // Reads through the runner; nothing when the user cancelled. Once read, or when the read
    // fails, the old table is discarded.
    std::optional<MeasuredTable>
    readThrough(WorkRunner& runner, InputRole role, const std::string& fileName,
                const std::function<LoadedTable(const FileProgress&)>& read);
    // Once a file is read: the table emptied and hidden, its faults forgotten.
    void discardForLoad(InputRole role);
    void install(InputRole role, const MeasuredTable& measured, CellReading reading,
                 const std::string& extraMessage);
    void finishFaulty(InputRole role, std::size_t faults);
    void finishClean(InputRole role, const MeasuredTable& measured,
                     const std::string& extraMessage);

    Workspace& workspace_;
    Dialogs& dialogs_;
    const TextMeasurer& measurer_;
};

} // namespace tarnwick
