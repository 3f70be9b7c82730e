// Unit3: TForm3, "Load haplotype(s) for search", the format of a search set loaded without
// faults.
#include "ui/Unit3.h"

namespace tarnwick {

TForm3::TForm3(ConfirmationForm& form, QWidget* parent)
    : ConfirmationDialog(form, tr("Load haplotype(s) for search"), QSize(371, 118), parent) {
    setObjectName("Form3");
    placeControls({32, 16}, {24, 80}, {272, 80});
    // "OK" holds the focus and Enter presses it: Enter never discards the table loaded.
    setTabOrder(Button1, Button2);
    Button1->setDefault(true);
    Button1->setFocus();
}

} // namespace tarnwick
