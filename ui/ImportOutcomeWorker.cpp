#include "ui/ImportOutcomeWorker.h"

#include "commands/BackgroundWork.h"

#include <QMetaObject>

#include <algorithm>
#include <exception>

namespace tarnwick {

ImportOutcomeWorker::ImportOutcomeWorker(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &ImportOutcomeWorker::start);
}

ImportOutcomeWorker::~ImportOutcomeWorker() {
    stopAll();
    for (Job& job : jobs_)
        job.thread.join();
}

void ImportOutcomeWorker::request(ImportPreview::OutcomeQuery query) {
    query_ = std::move(query);
    ++generation_;
    pending_ = true;
    stopAll(); // what they would tell is out of date
    settle_.start();
}

void ImportOutcomeWorker::drop() {
    ++generation_;
    pending_ = false;
    stopAll();
    settle_.stop();
}

void ImportOutcomeWorker::start() {
    joinFinished();
    Job job{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    job.thread = std::thread(
        [this, query = query_, generation = generation_, stop = job.stop, finished = job.finished] {
            ImportPreview::Outcome outcome;
            try {
                outcome = query.run([&stop](std::uint64_t, std::uint64_t) {
                    if (*stop)
                        throw WorkCancelled();
                });
            } catch (const std::exception& error) {
                // Anything raised past this thread's end would end the program.
                outcome = {error.what(), false};
            }
            if (!*stop)
                // Told on the window's thread, where a newer request may have come meanwhile; the
                // destructor waits for this thread, so the object is still there.
                QMetaObject::invokeMethod(
                    this,
                    [this, generation, text = QString::fromStdString(outcome.text),
                     importable = outcome.importable] {
                        if (generation != generation_)
                            return;
                        pending_ = false;
                        emit ready(text, importable);
                    },
                    Qt::QueuedConnection);
            *finished = true;
        });
    jobs_.push_back(std::move(job));
}

void ImportOutcomeWorker::stopAll() {
    for (Job& job : jobs_)
        *job.stop = true;
}

void ImportOutcomeWorker::joinFinished() {
    const auto done =
        std::partition(jobs_.begin(), jobs_.end(), [](const Job& job) { return !*job.finished; });
    for (auto job = done; job != jobs_.end(); ++job)
        job->thread.join();
    jobs_.erase(done, jobs_.end());
}

} // namespace tarnwick
