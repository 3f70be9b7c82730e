#include "commands/BackgroundWork.h"

namespace tarnwick {
namespace {

class InPlaceRunner : public WorkRunner {
public:
    bool run(const std::string& /*phase*/, const std::function<void(const GoOn&)>& work) override {
        work([](std::size_t, std::size_t) { return true; });
        return true;
    }
};

} // namespace

void WorkRunner::runToEnd(const std::string& phase, const std::function<void()>& work) {
    run(phase, [&](const GoOn&) { work(); });
}

WorkRunner& inPlace() {
    static InPlaceRunner runner;
    return runner;
}

std::function<void(std::size_t, std::size_t)> raisingWhenCancelled(const GoOn& goOn) {
    return [&goOn](std::size_t done, std::size_t total) {
        if (!goOn(done, total))
            throw WorkCancelled();
    };
}

} // namespace tarnwick
