#include "ui/StructureProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

namespace tarnwick {

std::optional<StructureResult> computeWithProgress(QWidget* parent, const StructureSample& sample,
                                                   const StructureSettings& settings) {
    QProgressDialog dialog("Permutation tests of population structure...", "Cancel", 0, 100,
                           parent);
    dialog.setObjectName("PopulationStructureProgress");
    dialog.setWindowTitle("Population structure");
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);

    std::atomic<bool> stop{false};
    std::atomic<int> percent{0};
    std::atomic<bool> finished{false};
    std::optional<StructureResult> result;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            result = computePopulationStructure(
                sample, settings, [&](std::size_t done, std::size_t total) {
                    percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
                    return !stop.load();
                });
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    // The window's thread only looks at the atomics: no signal crosses the threads.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished) {
            loop.quit();
        } else if (dialog.wasCanceled()) { // its button, Escape, or closing it
            if (!stop.exchange(true))
                dialog.setLabelText("Stopping...");
        } else {
            dialog.setValue(percent);
        }
    });
    poll.start(50);
    dialog.show();
    loop.exec();
    worker.join();
    dialog.close();
    if (failure)
        std::rethrow_exception(failure);
    if (stop)
        return std::nullopt;
    return result;
}

} // namespace tarnwick
