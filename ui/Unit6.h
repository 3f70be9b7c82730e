// Unit6: TForm6, "About the programme".
#pragma once

#include <QDialog>
#include <QLabel>

namespace tarnwick {

// "About the programme".
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent);

private:
    QLabel* Label1;
};

} // namespace tarnwick
