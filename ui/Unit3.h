// Unit3: TForm3, "Load haplotype(s) for search", the format of a search set loaded without
// faults.
#pragma once

#include "ui/ConfirmationDialog.h"

namespace tarnwick {

// "Load haplotype(s) for search": the format of a search set loaded without faults.
class TForm3 : public ConfirmationDialog {
    Q_OBJECT
public:
    TForm3(ConfirmationForm& form, QWidget* parent);
};

} // namespace tarnwick
