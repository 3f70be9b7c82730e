// Unit4: TForm4, "Attention: Data error.", the data-error dialog; Form4 serves the database,
// Form10 (TForm10) the haplotypes for search.
#pragma once

#include "commands/Dialogs.h"
#include "commands/LoadForms.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace tarnwick {

// "Attention: Data error." after a load with faults. One class for both input tables: the
// database's Form4 is 315 x 104, the search table's Form10 318 x 103.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    enum class Instance { Form4, Form10 };
    TForm4(Instance instance, DataErrorForm& form, Dialogs& dialogs, QWidget* parent);

    // The number of faulty cells in Label2, beside its title.
    void setFaultCount(const std::string& count);

private:
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;       // the number of faulty cells
    QPushButton* Button1; // "Save"
    QPushButton* Button3; // "Edit.."
    QPushButton* Button2; // "Cancel"

    void Button1Click();
    void Button2Click();
    void Button3Click();

    DataErrorForm& form_;
    Dialogs& dialogs_;
    int clientWidth_;
};

// The search table's data-error dialog is the same dialog.
using TForm10 = TForm4;

} // namespace tarnwick
