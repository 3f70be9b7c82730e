#pragma once

// How a command's long work runs: the window puts it on a worker thread behind a progress
// indication with Cancel, tests and benchmarks run it in place. The work itself stays
// window-free: it is told to report and learns whether to go on.

#include "core/Error.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tarnwick {

// Told how far the work is (done of total; total 0 when not known); returns whether to go on.
using GoOn = std::function<bool(std::size_t done, std::size_t total)>;

// Raised inside work that has been told to stop; the runner takes it as the cancellation.
class WorkCancelled : public Error {
public:
    WorkCancelled() : Error("The work was cancelled") {}
};

class WorkRunner {
public:
    virtual ~WorkRunner() = default;
    // Runs the work under the name of its phase ("Comparing"), which calls goOn now and then.
    // Returns false when the user cancelled it; raises the work's own error.
    virtual bool run(const std::string& phase, const std::function<void(const GoOn&)>& work) = 0;
    // Runs work that cannot be stopped once begun (freeing memory) under the name of its phase:
    // where it shows, it offers no Cancel.
    virtual void runToEnd(const std::string& phase, const std::function<void()>& work);
};

// Runs the work on the calling thread and never stops it.
WorkRunner& inPlace();

// The progress report of work that stops by raising (reading, writing, comparing): passes the
// report on and raises WorkCancelled once goOn says no.
std::function<void(std::size_t done, std::size_t total)> raisingWhenCancelled(const GoOn& goOn);

} // namespace tarnwick
