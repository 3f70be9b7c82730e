// The format confirmation that Unit2 (TForm2) and Unit3 (TForm3) show.
#pragma once

#include "commands/LoadForms.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace tarnwick {

// The format confirmation shown after a load without faults (TForm2, TForm3).
class ConfirmationDialog : public QDialog {
    Q_OBJECT
public:
    ConfirmationDialog(ConfirmationForm& form, const QString& caption, QSize clientSize,
                       QWidget* parent);

    // The format message in Label1; the dialog widens where the message is wider than it.
    void setMessage(const std::string& text);

protected:
    QLabel* Label1;
    QPushButton* Button1; // "OK"
    QPushButton* Button2; // "Cancel"

    void placeControls(QPoint label, QPoint ok, QPoint cancel);

private:
    void Button1Click();
    void Button2Click();

    ConfirmationForm& form_;
    QSize clientSize_;
};

} // namespace tarnwick
