#pragma once

#include "commands/BackgroundWork.h"

#include <QWidget>

namespace tarnwick {

// Runs a command's work on a worker thread while the window's event loop goes on: the window
// repaints, but the user's input to it waits until the work ends. After 0.3 s a modal progress
// dialog shows the phase, a percent where the work knows its total, and Cancel; closing the
// window asks to cancel.
class WindowWorkRunner : public WorkRunner {
public:
    explicit WindowWorkRunner(QWidget* window) : window_(window) {}

    bool run(const std::string& phase, const std::function<void(const GoOn&)>& work) override;

    // How long before the progress dialog shows.
    static constexpr int kShowAfterMs = 300;

private:
    QWidget* window_;
};

} // namespace tarnwick
