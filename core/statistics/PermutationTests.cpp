#include "core/statistics/PermutationTests.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <numeric>
#include <thread>

namespace tarnwick {
namespace {

// Permutations per block: small enough for prompt progress and cancellation (a block of an
// AMOVA of 10,000 men takes some 10 ms), large enough that seeding a generator costs nothing.
constexpr std::size_t kBlockPermutations = 250;

// Observed and permuted phis that are equal but for rounding count as equal.
constexpr double kTolerance = 1e-12;

struct Block {
    std::size_t test;
    std::size_t index;
    std::size_t permutations;
};

std::mt19937_64 generatorOf(std::uint64_t seed, std::size_t test, std::size_t block) {
    std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                           static_cast<std::uint32_t>(test), static_cast<std::uint32_t>(block)};
    return std::mt19937_64(sequence);
}

// Runs the blocks on worker threads while the caller's thread reports progress.
class BlockRunner {
public:
    BlockRunner(const std::vector<const PooledAmova*>& tests, const std::vector<double>& least,
                const std::vector<Block>& blocks, std::uint64_t seed)
        : tests_(tests), least_(least), blocks_(blocks), seed_(seed), counts_(blocks.size(), 0) {}

    // False when progress said stop.
    bool run(unsigned threads, std::size_t total, const PermutationProgress& progress) {
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([this] { work(); });
        bool goOn = true;
        {
            std::unique_lock lock(mutex_);
            while (!finished_.wait_for(lock, std::chrono::milliseconds(100),
                                       [&] { return running_ == 0 && started_ == threads; })) {
                if (progress && goOn && !progress(done_.load(), total)) {
                    goOn = false;
                    stop_ = true;
                }
            }
        }
        for (std::thread& worker : workers)
            worker.join();
        if (failure_)
            std::rethrow_exception(failure_);
        if (goOn && progress)
            progress(total, total); // all done: nothing left to stop
        return goOn;
    }

    const std::vector<std::size_t>& counts() const { return counts_; }

private:
    void work() {
        {
            std::lock_guard lock(mutex_);
            ++started_;
            ++running_;
        }
        try {
            PermutationScratch scratch;
            for (std::size_t i = next_++; i < blocks_.size() && !stop_; i = next_++) {
                const Block& block = blocks_[i];
                const PooledAmova& test = *tests_[block.test];
                std::mt19937_64 random = generatorOf(seed_, block.test, block.index);
                counts_[i] = test.permutationsAtLeast(least_[block.test], block.permutations,
                                                      random, scratch);
                done_ += block.permutations;
            }
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!failure_)
                failure_ = std::current_exception();
            stop_ = true;
        }
        std::lock_guard lock(mutex_);
        --running_;
        finished_.notify_one();
    }

    const std::vector<const PooledAmova*>& tests_;
    const std::vector<double>& least_;
    const std::vector<Block>& blocks_;
    std::uint64_t seed_;
    std::vector<std::size_t> counts_; // by block, each written by one worker
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable finished_;
    unsigned started_ = 0;
    unsigned running_ = 0;
    std::exception_ptr failure_;
};

} // namespace

std::optional<std::vector<std::optional<double>>>
permutationPValues(const std::vector<const PooledAmova*>& tests, const PermutationOptions& options,
                   const PermutationProgress& progress) {
    const std::size_t r = options.permutations;
    std::vector<std::optional<double>> observed(tests.size());
    std::vector<double> least(tests.size(), 0);
    for (std::size_t t = 0; t < tests.size(); ++t) {
        observed[t] = tests[t]->observed().phi;
        least[t] = observed[t].value_or(0) - kTolerance;
    }
    // The largest tests first, so that no worker is left with a long one at the end.
    std::vector<std::size_t> byCost(tests.size());
    std::iota(byCost.begin(), byCost.end(), std::size_t{0});
    std::stable_sort(byCost.begin(), byCost.end(),
                     [&](auto a, auto b) { return tests[a]->men() > tests[b]->men(); });
    std::vector<Block> blocks;
    std::size_t total = 0;
    for (const std::size_t t : byCost) {
        if (!observed[t])
            continue;
        for (std::size_t first = 0, index = 0; first < r; first += kBlockPermutations, ++index)
            blocks.push_back({t, index, std::min(kBlockPermutations, r - first)});
        total += r;
    }
    BlockRunner runner(tests, least, blocks, options.seed);
    unsigned threads = options.threads != 0 ? options.threads : std::thread::hardware_concurrency();
    threads =
        static_cast<unsigned>(std::clamp<std::size_t>(blocks.size(), 1, std::max(threads, 1u)));
    if (!runner.run(threads, total, progress))
        return std::nullopt;

    std::vector<std::size_t> atLeast(tests.size(), 0);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        atLeast[blocks[i].test] += runner.counts()[i];
    std::vector<std::optional<double>> p(tests.size());
    for (std::size_t t = 0; t < tests.size(); ++t)
        if (observed[t] && r > 0)
            p[t] = static_cast<double>(atLeast[t] + 1) / static_cast<double>(r + 1);
    return p;
}

} // namespace tarnwick
