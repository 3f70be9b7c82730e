#include "ui/WorkProgress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace tarnwick {
namespace {

// What the worker and the window's thread share: the window only reads and sets atomics.
struct SharedState {
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
};

// While work runs, the user's input to the program's windows other than the progress dialog is
// dropped (a click would start a second command in the middle of the first); closing the main
// window is taken as a request to cancel. Work that cannot be cancelled takes no input at all,
// and closing waits for it.
class InputHold : public QObject {
public:
    InputHold(QWidget* window, QProgressDialog& dialog, bool cancellable)
        : window_(window), dialog_(dialog), cancellable_(cancellable) {
        qApp->installEventFilter(this);
    }
    ~InputHold() override { qApp->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() == QEvent::Close && target == window_) {
            event->ignore();
            if (cancellable_)
                askToCancel();
            return true;
        }
        if (event->type() == QEvent::Close && target == &dialog_ && !cancellable_) {
            event->ignore();
            return true;
        }
        if (!isUserInput(event->type()))
            return false;
        if (!cancellable_)
            return true;
        const auto* widget = qobject_cast<QWidget*>(target);
        return !(widget && dialog_.isVisible() && dialog_.isAncestorOf(widget)) &&
               target != &dialog_;
    }

private:
    static bool isUserInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

    void askToCancel() {
        dialog_.show();
        const auto answer =
            QMessageBox::question(&dialog_, dialog_.windowTitle(),
                                  QCoreApplication::translate("tarnwick::WindowWorkRunner",
                                                              "Cancel the work in progress?"));
        if (answer == QMessageBox::Yes)
            dialog_.cancel();
    }

    QWidget* window_;
    QProgressDialog& dialog_;
    bool cancellable_;
};

int percentOf(std::size_t done, std::size_t total) {
    return static_cast<int>(std::min<std::size_t>(done, total) * 100 / total);
}

} // namespace

bool WindowWorkRunner::run(const std::string& phase, const std::function<void(const GoOn&)>& work) {
    return runOnWorker(phase, work, true);
}

void WindowWorkRunner::runToEnd(const std::string& phase, const std::function<void()>& work) {
    runOnWorker(
        phase, [&](const GoOn&) { work(); }, false);
}

bool WindowWorkRunner::runOnWorker(const std::string& phase,
                                   const std::function<void(const GoOn&)>& work, bool cancellable) {
    SharedState state;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work([&](std::size_t done, std::size_t total) {
                state.done = done;
                state.total = total;
                return !state.stop.load();
            });
        } catch (const WorkCancelled&) {
            // the stop asked for, reached
        } catch (...) {
            failure = std::current_exception();
        }
        state.finished = true;
    });

    const bool atOnce = look_.showAfterMs <= 0;
    QProgressDialog dialog(QString::fromStdString(phase + "..."),
                           QCoreApplication::translate("tarnwick::WindowWorkRunner", "Cancel"), 0,
                           atOnce ? 100 : 0, window_);
    dialog.setObjectName(look_.objectName);
    dialog.setWindowTitle(!look_.title.isEmpty() ? look_.title
                          : window_              ? window_->windowTitle()
                                                 : QString());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    if (!cancellable)
        dialog.setCancelButton(nullptr);
    dialog.reset(); // QProgressDialog shows itself on construction otherwise
    dialog.hide();
    InputHold hold(window_, dialog, cancellable);
    if (atOnce) {
        dialog.setValue(0);
        dialog.show();
    }

    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (state.finished) {
            loop.quit();
            return;
        }
        if (cancellable && dialog.wasCanceled()) { // its button, Escape, or the window's close box
            if (!state.stop.exchange(true))
                dialog.setLabelText(
                    QCoreApplication::translate("tarnwick::WindowWorkRunner", "Stopping..."));
            return;
        }
        if (!dialog.isVisible() && clock.elapsed() >= look_.showAfterMs)
            dialog.show();
        if (const std::lock_guard lock(labelMutex_); labelChanged_) {
            dialog.setLabelText(QString::fromStdString(label_));
            labelChanged_ = false;
        }
        // setValue would show the dialog at once; before its time it stays hidden.
        if (const std::size_t total = state.total; total > 0 && dialog.isVisible()) {
            dialog.setMaximum(100);
            dialog.setValue(percentOf(state.done, total));
        }
    });
    poll.start(20);
    if (!state.finished)
        loop.exec();
    worker.join();
    dialog.hide();
    if (failure)
        std::rethrow_exception(failure);
    return !state.stop;
}

void WindowWorkRunner::setLabelText(std::string text) {
    const std::lock_guard lock(labelMutex_);
    label_ = std::move(text);
    labelChanged_ = true;
}

void WorkerProgress::report(int percent, std::string text) {
    percent_ = percent;
    if (!text.empty())
        runner_.setLabelText(std::move(text));
}

bool WorkerProgress::goOn() const {
    return goOn_(static_cast<std::size_t>(std::clamp(percent_.load(), 0, 100)), 100);
}

bool runWithProgress(QWidget* parent, const QString& title, const QString& label,
                     const char* objectName, const std::function<void(WorkerProgress&)>& work) {
    WindowWorkRunner runner(parent, {0, title, objectName});
    QString phase = label;
    if (phase.endsWith("...")) // the runner adds them
        phase.chop(3);
    return runner.run(phase.toStdString(), [&](const GoOn& goOn) {
        WorkerProgress progress(runner, goOn);
        work(progress);
    });
}

} // namespace tarnwick
