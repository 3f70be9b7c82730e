#pragma once

// The instruction sets the comparison can use: each vector instruction set the kernels were
// compiled for that this processor runs, and the portable loop, which runs everywhere.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

class KernelLevel {
public:
    // Highway's name in lower case: "avx3", "avx2", "sse4", "ssse3" on x86, "sve2", "sve",
    // "neon" on ARM, ..., "emu128" for the portable loop.
    std::string name() const;
    // Highway's bit for the instruction set (HWY_AVX2, ...).
    std::int64_t target() const { return target_; }
    bool operator==(const KernelLevel&) const = default;

private:
    explicit KernelLevel(std::int64_t target) : target_(target) {}
    friend std::vector<KernelLevel> kernelLevels();

    std::int64_t target_;
};

// Every level this processor runs, the widest first, the portable loop last.
std::vector<KernelLevel> kernelLevels();

// The level matching uses: the one the environment variable TARNWICK_KERNEL names (a name() of
// kernelLevels(), or "scalar" for the portable loop), else the widest. Read at the first call
// and the same for the rest of the process; tests and benchmarks that want another level pass
// it to the kernels themselves.
KernelLevel kernelLevel();

} // namespace tarnwick
