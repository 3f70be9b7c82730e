#include "ui/EnterKey.h"

#include <QEvent>
#include <QKeyEvent>

namespace tarnwick {
namespace {

// Watches the box for the key its line edit passes on to it.
class EnterWatcher : public QObject {
public:
    EnterWatcher(QComboBox* box, std::function<void()> action)
        : QObject(box), action_(std::move(action)) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        action_();
        return true;
    }

private:
    std::function<void()> action_;
};

} // namespace

void runOnEnter(QComboBox* box, std::function<void()> action) {
    new EnterWatcher(box, std::move(action));
}

} // namespace tarnwick
