// Unit5: TForm5, "Instructions", the help text.
#pragma once

#include <QDialog>
#include <QLabel>

namespace tarnwick {

extern const char* const kInstructionsText;

// "Instructions": the help text.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent);

private:
    QLabel* lbl1;
};

} // namespace tarnwick
