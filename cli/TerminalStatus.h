#pragma once

#include "core/matching/Matching.h"
#include "core/statistics/PermutationTests.h"

#include <chrono>
#include <ostream>
#include <string>

namespace tarnwick {

// What a run is doing, on one line of a terminal that each step overwrites; cleared at the end.
// Silent when stderr is not a terminal.
class TerminalStatus {
public:
    TerminalStatus(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ~TerminalStatus() { show(""); }

    void show(const std::string& text) {
        if (enabled_ && (shown_ || !text.empty()))
            err_ << "\r\033[K" << text << std::flush;
        shown_ = !text.empty();
    }

    // Counts search haplotypes once the calculation has taken a second, a few times a second.
    MatchProgress calculationProgress() {
        if (!enabled_)
            return {};
        const auto start = Clock::now();
        return [this, start, last = start](std::size_t done, std::size_t total) mutable {
            const auto now = Clock::now();
            if (now - start < std::chrono::seconds(1) ||
                now - last < std::chrono::milliseconds(200))
                return;
            last = now;
            show("calculating: " + std::to_string(done) + " of " + std::to_string(total) +
                 " search haplotypes compared");
        };
    }

    // Counts permutations once they have taken a second, a few times a second; never stops them.
    PermutationProgress permutationProgress() {
        if (!enabled_)
            return {};
        const auto start = Clock::now();
        return [this, start, last = start](std::size_t done, std::size_t total) mutable {
            const auto now = Clock::now();
            if (now - start >= std::chrono::seconds(1) &&
                now - last >= std::chrono::milliseconds(200)) {
                last = now;
                show("permutations: " + std::to_string(done) + " of " + std::to_string(total) +
                     " done");
            }
            return true;
        };
    }

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& err_;
    bool enabled_;
    bool shown_ = false;
};

// A message as the window would show it in a box, on one line of stderr.
void report(std::ostream& err, TerminalStatus& status, const std::string& text);

} // namespace tarnwick
