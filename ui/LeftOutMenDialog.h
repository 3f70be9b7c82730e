#pragma once

#include "commands/Dialogs.h"
#include "commands/StringGrid.h"

#include <QDialog>

namespace tarnwick {

// The men a population-structure run left out, with the reason for each, and "Save..." to
// write the list as the other tables are written.
class LeftOutMenDialog : public QDialog {
    Q_OBJECT
public:
    LeftOutMenDialog(StringGrid& list, Dialogs& dialogs, FileDialogState& saveDialog,
                     QWidget* parent);

    void SaveClick();

private:
    StringGrid& list_;
    Dialogs& dialogs_;
    FileDialogState& saveDialog_;
};

} // namespace tarnwick
