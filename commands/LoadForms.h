#pragma once

#include "commands/Dialogs.h"
#include "commands/InputRole.h"
#include "commands/TextMeasurer.h"
#include "commands/Workspace.h"

#include <string>

namespace tarnwick {

// Empties the table and gives it the shape it has when the window opens: 1 column, 2 rows.
void discardInputTable(StringGrid& table);

// Form2 (database) and Form3 (search): the format confirmation after a load without faults.
class ConfirmationForm {
public:
    ConfirmationForm(Workspace& workspace, InputRole role);

    // "OK" closes the form and leaves the table loaded: the form has nothing to do.
    void Button2Click(); // "Cancel": the table becomes one empty cell and counts as not loaded

private:
    Workspace& workspace_;
    InputRole role_;
};

// Form4 (database) and Form10 (search): the data-error dialog after a load with faults.
class DataErrorForm {
public:
    DataErrorForm(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer,
                  InputRole role);

    // "Save": writes the table with its faulty cells in red, then discards it. An Error (the
    // workbook could not be written) leaves the table loaded: the dialog then stays open.
    void Button1Click();
    void Button2Click(); // "Cancel": discards the table and shows the by-haplotype view
    void Button3Click(); // "Edit..": shows the table for editing in place, enables "Save"

    FileDialogState SaveDialog1;

private:
    Workspace& workspace_;
    Dialogs& dialogs_;
    const TextMeasurer& measurer_;
    InputRole role_;
};

inline constexpr const char* kHighlightedSaveWarning =
    "saving the file with highlighted cells might take few minutes, press \"ok\"";

// The four dialogs of the load commands; each exists once, so what it holds survives.
struct LoadForms {
    LoadForms(Workspace& workspace, Dialogs& dialogs, const TextMeasurer& measurer);

    ConfirmationForm Form2;
    ConfirmationForm Form3;
    DataErrorForm Form4;
    DataErrorForm Form10;
};

} // namespace tarnwick
