#pragma once

#include "commands/BackgroundWork.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick::test {

// Runs the work in place and stops it at its n-th report, counted from 1 over all runs (0: never),
// as the window's Cancel would. Counts the reports and keeps the phases named.
class StoppingRunner : public WorkRunner {
public:
    explicit StoppingRunner(std::size_t stopAt = 0) : stopAt_(stopAt) {}

    bool run(const std::string& phase, const std::function<void(const GoOn&)>& work) override {
        phases.push_back(phase);
        bool stopped = false;
        try {
            work([&](std::size_t, std::size_t) {
                stopped = stopped || ++reports == stopAt_;
                return !stopped;
            });
        } catch (const WorkCancelled&) {
        }
        return !stopped;
    }

    std::vector<std::string> phases;
    std::size_t reports = 0;

private:
    std::size_t stopAt_;
};

// Runs the work in place and stops it at its first report at or past a share of it, as the
// window's Cancel would; only in the phase named, when one is.
class CancellingRunner : public WorkRunner {
public:
    explicit CancellingRunner(std::size_t percent, std::string phase = {})
        : percent_(percent), phase_(std::move(phase)) {}

    bool run(const std::string& phase, const std::function<void(const GoOn&)>& work) override {
        phases.push_back(phase);
        const bool here = phase_.empty() || phase == phase_;
        bool stopped = false;
        try {
            work([&](std::size_t done, std::size_t total) {
                stopped = stopped || (here && total > 0 && done * 100 >= percent_ * total);
                return !stopped;
            });
        } catch (const WorkCancelled&) {
        }
        return !stopped;
    }

    std::vector<std::string> phases;

private:
    std::size_t percent_;
    std::string phase_;
};

} // namespace tarnwick::test
