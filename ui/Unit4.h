#pragma once

#include "ui/DataErrorDialog.h"

namespace tarnwick {

// The database table's data-error dialog.
class TForm4 : public DataErrorDialog {
    Q_OBJECT
public:
    TForm4(DataErrorForm& form, Dialogs& dialogs, QWidget* parent)
        : DataErrorDialog(form, dialogs, QSize(315, 104), parent) {
        setObjectName("Form4");
    }
};

} // namespace tarnwick
