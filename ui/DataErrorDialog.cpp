#include "ui/DataErrorDialog.h"

#include "load/ErrorReport.h"
#include "ui/Fonts.h"
#include "ui/TextFit.h"

#include <algorithm>
#include <exception>

namespace tarnwick {

DataErrorDialog::DataErrorDialog(DataErrorForm& form, Dialogs& dialogs, QSize clientSize,
                                 QWidget* parent)
    : QDialog(parent),
      Label3(new QLabel("Errors were found in the dataset (see highlighted cells).\n"
                        "Please correct, and try again.",
                        this)),
      Label1(new QLabel("Number of errors:", this)), Label2(new QLabel(this)),
      Button1(new QPushButton("Save", this)), Button3(new QPushButton("Edit..", this)),
      Button2(new QPushButton("Cancel", this)), form_(form), dialogs_(dialogs) {
    setWindowTitle("Attention: Data error.");
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
    Label2->move(std::max(128, Label1->geometry().right() + 5), 48);
    clientWidth_ = std::max(clientSize.width(), Label3->geometry().right() + 9);
    setFixedSize(clientWidth_, clientSize.height());
    Button1->setGeometry(32, 72, 75, 25);
    Button3->setGeometry(128, 72, 75, 25);
    Button2->setGeometry(224, 72, 75, 25);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    connect(Button1, &QPushButton::clicked, this, &DataErrorDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &DataErrorDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &DataErrorDialog::Button3Click);
}

void DataErrorDialog::setFaultCount(const std::string& count) {
    Label2->setText(QString::fromStdString(count));
    Label2->adjustSize();
    setFixedSize(std::max(clientWidth_, Label2->geometry().right() + 9), height());
}

void DataErrorDialog::Button1Click() {
    try {
        form_.Button1Click();
    } catch (const std::exception& error) {
        // The dialog stays open with the table loaded: the user can try again, edit or cancel.
        dialogs_.showError(errorReportText(error.what()));
        return;
    }
    accept();
}

void DataErrorDialog::Button2Click() {
    form_.Button2Click();
    accept();
}

void DataErrorDialog::Button3Click() {
    form_.Button3Click();
    accept();
}

} // namespace tarnwick
