#pragma once

#include "commands/BackgroundWork.h"

#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace tarnwick {

// How long before a delayed progress dialog shows: quick work shows none.
inline constexpr int kProgressShowAfterMs = 300;

// How a runner's progress dialog shows: after a delay (a command that may well be quick) or at
// once (work known to be long), under which title (empty: the window's) and object name.
struct ProgressDialogLook {
    int showAfterMs = kProgressShowAfterMs;
    QString title;
    QString objectName = "WorkProgress";
};

// Runs a command's work on a worker thread while the window's event loop goes on: the window
// repaints, but the user's input to it waits until the work ends. The modal progress dialog shows
// the phase (or the text the work sets), a percent where the work knows its total, and Cancel;
// closing the window asks to cancel.
class WindowWorkRunner : public WorkRunner {
public:
    explicit WindowWorkRunner(QWidget* window, ProgressDialogLook look = {})
        : window_(window), look_(std::move(look)) {}

    bool run(const std::string& phase, const std::function<void(const GoOn&)>& work) override;
    // The dialog, if it shows, has no Cancel; closing the window waits for the work.
    void runToEnd(const std::string& phase, const std::function<void()>& work) override;

    // Called from the work's thread: what the dialog says from now on, in place of the phase.
    void setLabelText(std::string text);

    static constexpr int kShowAfterMs = kProgressShowAfterMs;

private:
    bool runOnWorker(const std::string& phase, const std::function<void(const GoOn&)>& work,
                     bool cancellable);

    QWidget* window_;
    ProgressDialogLook look_;
    std::mutex labelMutex_;
    std::string label_;
    bool labelChanged_ = false;
};

// What work that knows its share done and what it is doing tells the dialog, and the dialog's
// answer to "go on?".
class WorkerProgress {
public:
    WorkerProgress(WindowWorkRunner& runner, const GoOn& goOn) : runner_(runner), goOn_(goOn) {}
    // How far the work is, 0 to 100, and, when not empty, what it is doing.
    void report(int percent, std::string text = {});
    // False once the user has cancelled.
    bool goOn() const;

private:
    WindowWorkRunner& runner_;
    const GoOn& goOn_;
    std::atomic<int> percent_{0};
};

// Runs work on a worker thread while a modal progress dialog (named objectName) shows at once how
// far it is, under the label until the work says what it is doing; its Cancel, Escape or closing
// asks the work to stop. False when it was cancelled. An error the work raised is raised here.
bool runWithProgress(QWidget* parent, const QString& title, const QString& label,
                     const char* objectName, const std::function<void(WorkerProgress&)>& work);

} // namespace tarnwick
