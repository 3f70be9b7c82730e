#pragma once

#include "commands/UserMessages.h"

#include "commands/ImportPreview.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

// An open or save file dialog of a window, with what it remembers between uses.
struct FileDialogState {
    enum class Kind { Open, Save };
    Kind kind;
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters; // (name, pattern), first selected
    std::string defaultExtension; // added by the caller to a name typed without one; may be ""
    std::string fileName;         // the name chosen last, which the dialog offers again
};

// The filter list every file dialog of the program offers.
std::vector<std::pair<std::string, std::string>> spreadsheetFilters();
// An open dialog's list: every kind of table the program reads first, then spreadsheetFilters.
std::vector<std::pair<std::string, std::string>> openFilters();

// A name typed without an extension gets the dialog's default one, when it has one.
std::string withDefaultExtension(const std::string& fileName, const std::string& extension);

enum class FormId { Form2, Form3, Form4, Form10 };

// How the commands reach the user. The window gives real dialogs; tests give a script.
class Dialogs : public UserMessages {
public:
    // Runs the file dialog and returns the name as the user typed or picked it, or nothing when
    // cancelled. No question is asked about overwriting, and an open dialog accepts a name of a
    // file that does not exist.
    virtual std::optional<std::string> runFileDialog(const FileDialogState& dialog) = 0;

    // Shows the form modally with the text its command prepared (Label1 of Form2 and Form3, the
    // fault count in Label2 of Form4 and Form10) and returns when it has closed. While it is
    // open, the user's buttons run the form's handlers (LoadForms).
    virtual void showModal(FormId form, const std::string& text) = 0;

    // The import dialog: shows the preview and lets the user change the sheet and the columns'
    // roles in it; returns whether the user chose to import (OK) rather than cancel.
    virtual bool runImportDialog(ImportPreview& preview) = 0;

    // The general error report: a box with an error icon, an OK button and the program's title,
    // showing the text (already completed by errorReportText).
    virtual void showError(const std::string& text) = 0;
};

} // namespace tarnwick
