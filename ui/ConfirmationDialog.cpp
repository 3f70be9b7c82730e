// The format confirmation that Unit2 (TForm2) and Unit3 (TForm3) show.
#include "ui/ConfirmationDialog.h"

#include "ui/Fonts.h"
#include "ui/QtDialogs.h"

#include <algorithm>

namespace tarnwick {

ConfirmationDialog::ConfirmationDialog(ConfirmationForm& form, const QString& caption,
                                       QSize clientSize, QWidget* parent)
    : QDialog(parent), Label1(new QLabel(this)), Button1(new QPushButton(tr("OK"), this)),
      Button2(new QPushButton(tr("Cancel"), this)), form_(form), clientSize_(clientSize) {
    setWindowTitle(caption);
    setFont(msSansSerif8());
    setFixedSize(clientSize);
    Label1->setObjectName("Label1");
    Button1->setObjectName("Button1");
    Button2->setObjectName("Button2");
    connect(Button1, &QPushButton::clicked, this, &ConfirmationDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &ConfirmationDialog::Button2Click);
}

void ConfirmationDialog::placeControls(QPoint label, QPoint ok, QPoint cancel) {
    Label1->move(label);
    Button1->setGeometry(ok.x(), ok.y(), 75, 25);
    Button2->setGeometry(cancel.x(), cancel.y(), 75, 25);
}

void ConfirmationDialog::setMessage(const std::string& text) {
    Label1->setText(shownText(text));
    Label1->adjustSize();
    setFixedSize(std::max(clientSize_.width(), Label1->geometry().right() + 1 + Label1->x()),
                 clientSize_.height());
}

void ConfirmationDialog::Button1Click() {
    accept(); // "OK": the table stays loaded
}

void ConfirmationDialog::Button2Click() {
    form_.Button2Click();
    accept();
}

} // namespace tarnwick
