#pragma once

#include "commands/ImportPreview.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace tarnwick {

// Works out an import's outcome off the window's thread, as reading a large file takes long: a
// request waits a moment for the next (choices made in a row read the file once), a newer
// request stops the older ones, and only the newest one's outcome is told.
class ImportOutcomeWorker : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 150;

    explicit ImportOutcomeWorker(QObject* parent = nullptr);
    // Stops the work under way and waits for it.
    ~ImportOutcomeWorker() override;
    ImportOutcomeWorker(const ImportOutcomeWorker&) = delete;
    ImportOutcomeWorker& operator=(const ImportOutcomeWorker&) = delete;

    void request(ImportPreview::OutcomeQuery query);
    // Forgets every request: nothing more is told until the next.
    void drop();
    // Between a request and its outcome.
    bool pending() const { return pending_; }

signals:
    void ready(const QString& text, bool importable);

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void start();
    void stopAll();
    void joinFinished();

    QTimer settle_;
    ImportPreview::OutcomeQuery query_;
    unsigned generation_ = 0;
    bool pending_ = false;
    std::vector<Job> jobs_;
};

} // namespace tarnwick
