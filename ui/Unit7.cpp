// Unit7: TForm7, "Number of steps", the step-limit dialog.
#include "ui/Unit7.h"

#include "ui/EnterKey.h"
#include "ui/Fonts.h"
#include "ui/TextFit.h"

#include <algorithm>

namespace tarnwick {

TForm7::TForm7(std::function<void(const QString&)> setStepLimit, QWidget* parent)
    : QDialog(parent), Label1(new QLabel(tr("Number of steps(max):"), this)),
      ComboBox1(new QComboBox(this)), Button1(new QPushButton(tr("Ok"), this)),
      setStepLimit_(std::move(setStepLimit)) {
    setObjectName("Form7");
    setWindowTitle(tr("Number of steps"));
    setFont(msSansSerif8());
    Label1->setObjectName("Label1");
    ComboBox1->setObjectName("ComboBox1");
    Button1->setObjectName("Button1");
    Label1->setGeometry(8, 40, 105, 13);
    // The box moves right, and the dialog widens, where the label's text needs it.
    ComboBox1->setGeometry(std::max(128, widenToText(Label1) + 8), 32, 145, 21);
    setFixedSize(std::max(290, ComboBox1->geometry().right() + 1 + 17), 97);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert); // what is typed never joins the list
    ComboBox1->addItems({"0", "1", "2", "3"});
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText("");
    Button1->setGeometry(104, 64, 75, 25);
    // Enter in the box presses "Ok".
    Button1->setDefault(true);
    runOnEnter(ComboBox1, [this] { Button1->click(); });
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
}

void TForm7::Button1Click() {
    setStepLimit_(ComboBox1->currentText());
    accept();
}

} // namespace tarnwick
