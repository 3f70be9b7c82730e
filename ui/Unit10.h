#pragma once

#include "ui/DataErrorDialog.h"

namespace tarnwick {

// The search table's data-error dialog.
class TForm10 : public DataErrorDialog {
    Q_OBJECT
public:
    TForm10(DataErrorForm& form, Dialogs& dialogs, QWidget* parent)
        : DataErrorDialog(form, dialogs, QSize(318, 103), parent) {
        setObjectName("Form10");
    }
};

} // namespace tarnwick
