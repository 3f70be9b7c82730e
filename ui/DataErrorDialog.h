#pragma once

#include "load/Dialogs.h"
#include "load/LoadForms.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace tarnwick {

// "Attention: Data error." after a load with faults (TForm4, TForm10).
class DataErrorDialog : public QDialog {
    Q_OBJECT
public:
    DataErrorDialog(DataErrorForm& form, Dialogs& dialogs, QSize clientSize, QWidget* parent);

    // The number of faulty cells in Label2, beside its title.
    void setFaultCount(const std::string& count);

    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;       // the number of faulty cells
    QPushButton* Button1; // "Save"
    QPushButton* Button3; // "Edit.."
    QPushButton* Button2; // "Cancel"

private:
    void Button1Click();
    void Button2Click();
    void Button3Click();

    DataErrorForm& form_;
    Dialogs& dialogs_;
    int clientWidth_;
};

} // namespace tarnwick
