// Unit2: TForm2, "Load database", the format of a database loaded without faults.
#include "ui/Unit2.h"

namespace tarnwick {

TForm2::TForm2(ConfirmationForm& form, QWidget* parent)
    : ConfirmationDialog(form, tr("Load database"), QSize(324, 118), parent) {
    setObjectName("Form2");
    placeControls({24, 16}, {27, 77}, {224, 80});
    setTabOrder(Button1, Button2); // "OK" first
    Button1->setFocus();
}

} // namespace tarnwick
