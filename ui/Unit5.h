// Unit5: TForm5, "Instructions", the help text.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QScrollArea>

namespace tarnwick {

extern const char* const kInstructionsText;

// "Instructions": the help text. Each time it is shown it fits the screen it opens on, and the
// text scrolls where the screen is smaller than the window was designed.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent);

    void setVisible(bool visible) override;

private:
    void fitToScreen();

    QScrollArea* scrollBox_;
    QLabel* lbl1;
};

} // namespace tarnwick
