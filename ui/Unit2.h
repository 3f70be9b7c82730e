// Unit2: TForm2, "Load database", the format of a database loaded without faults.
#pragma once

#include "ui/ConfirmationDialog.h"

namespace tarnwick {

// "Load database": the format of a database loaded without faults.
class TForm2 : public ConfirmationDialog {
    Q_OBJECT
public:
    TForm2(ConfirmationForm& form, QWidget* parent);
};

} // namespace tarnwick
