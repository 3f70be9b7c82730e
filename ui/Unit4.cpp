// Unit4: TForm4, "Attention: Data error.", the data-error dialog (Form4 and Form10).
#include "ui/Unit4.h"

#include "commands/ErrorReport.h"
#include "ui/Fonts.h"
#include "ui/TextFit.h"

#include <algorithm>
#include <exception>

namespace tarnwick {

TForm4::TForm4(Instance instance, DataErrorForm& form, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      Label3(new QLabel(tr("Errors were found in the dataset (see highlighted cells).\n"
                           "Please correct, and try again."),
                        this)),
      Label1(new QLabel(tr("Number of errors:"), this)), Label2(new QLabel(this)),
      Button1(new QPushButton(tr("Save"), this)), Button3(new QPushButton(tr("Edit.."), this)),
      Button2(new QPushButton(tr("Cancel"), this)), form_(form), dialogs_(dialogs) {
    const bool database = instance == Instance::Form4;
    setObjectName(database ? "Form4" : "Form10");
    const QSize clientSize = database ? QSize(315, 104) : QSize(318, 103);
    setWindowTitle(tr("Attention: Data error."));
    setFont(msSansSerif8());
    setFixedSize(clientSize);
    Label3->setObjectName("Label3");
    Label1->setObjectName("Label1");
    Label2->setObjectName("Label2");
    Button1->setObjectName("Button1");
    Button2->setObjectName("Button2");
    Button3->setObjectName("Button3");
    // Sized to their texts; where the machine's font is wider than the designed one, the dialog
    // widens with them rather than cut the message.
    Label3->setGeometry(40, 8, 257, 26);
    widenToText(Label3);
    Label1->move(40, 48);
    widenToText(Label1);
    // The count stands on the label's baseline: both are as high as their text, at one height.
    Label1->resize(Label1->width(), Label1->sizeHint().height());
    Label2->move(std::max(128, Label1->geometry().right() + 5), 48);
    clientWidth_ = std::max(clientSize.width(), Label3->geometry().right() + 9);
    setFixedSize(clientWidth_, clientSize.height());
    Button1->setGeometry(32, 72, 75, 25);
    Button3->setGeometry(128, 72, 75, 25);
    Button2->setGeometry(224, 72, 75, 25);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
}

void TForm4::setFaultCount(const std::string& count) {
    Label2->setText(QString::fromStdString(count));
    Label2->adjustSize();
    setFixedSize(std::max(clientWidth_, Label2->geometry().right() + 9), height());
}

void TForm4::Button1Click() {
    try {
        form_.Button1Click();
    } catch (const std::exception& error) {
        // The dialog stays open with the table loaded: the user can try again, edit or cancel.
        dialogs_.showError(errorReportText(error.what()));
        return;
    }
    accept();
}

void TForm4::Button2Click() {
    form_.Button2Click();
    accept();
}

void TForm4::Button3Click() {
    form_.Button3Click();
    accept();
}

} // namespace tarnwick
