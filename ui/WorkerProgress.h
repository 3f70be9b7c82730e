#pragma once

// Long work on a worker thread behind a modal progress dialog whose Cancel stops it.

#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace tarnwick {

// What the work tells the dialog, and the dialog's answer to "go on?". The work writes it on its
// thread; the window's thread only reads it on a timer: no signal crosses the threads.
class WorkerProgress {
public:
    // How far the work is, 0 to 100, and, when not empty, what it is doing.
    void report(int percent, std::string text = {});
    // False once the user has cancelled.
    bool goOn() const { return !stop_.load(); }

private:
    friend bool runWithProgress(QWidget*, const QString&, const QString&, const char*,
                                const std::function<void(WorkerProgress&)>&);
    std::atomic<int> percent_{0};
    std::atomic<bool> stop_{false};
    mutable std::mutex textMutex_;
    std::string text_;
    bool textChanged_ = false;
};

// Runs work on a worker thread while a modal progress dialog (named objectName) shows how far it
// is; its Cancel, Escape or closing asks the work to stop. False when it was cancelled. An error
// the work raised is raised here.
bool runWithProgress(QWidget* parent, const QString& title, const QString& label,
                     const char* objectName, const std::function<void(WorkerProgress&)>& work);

} // namespace tarnwick
