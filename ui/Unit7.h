// Unit7: TForm7, "Number of steps", the step-limit dialog.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <functional>

namespace tarnwick {

// "Number of steps": sets the main window's step limit from a combo box of its own.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    // setStepLimit replaces the text of the main window's step-limit box.
    TForm7(std::function<void(const QString&)> setStepLimit, QWidget* parent);

private:
    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* Button1; // "Ok"

    void Button1Click();

    std::function<void(const QString&)> setStepLimit_;
};

} // namespace tarnwick
