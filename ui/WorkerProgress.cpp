#include "ui/WorkerProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <exception>
#include <thread>

namespace tarnwick {

void WorkerProgress::report(int percent, std::string text) {
    percent_ = percent;
    if (text.empty())
        return;
    const std::lock_guard lock(textMutex_);
    text_ = std::move(text);
    textChanged_ = true;
}

bool runWithProgress(QWidget* parent, const QString& title, const QString& label,
                     const char* objectName, const std::function<void(WorkerProgress&)>& work) {
    QProgressDialog dialog(label, "Cancel", 0, 100, parent);
    dialog.setObjectName(objectName);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);

    WorkerProgress progress;
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished) {
            loop.quit();
        } else if (dialog.wasCanceled()) { // its button, Escape, or closing it
            if (!progress.stop_.exchange(true))
                dialog.setLabelText("Stopping...");
        } else {
            dialog.setValue(progress.percent_);
            const std::lock_guard lock(progress.textMutex_);
            if (progress.textChanged_)
                dialog.setLabelText(QString::fromStdString(progress.text_));
            progress.textChanged_ = false;
        }
    });
    poll.start(50);
    dialog.show();
    loop.exec();
    worker.join();
    dialog.close();
    if (failure)
        std::rethrow_exception(failure);
    return !progress.stop_;
}

} // namespace tarnwick
