#pragma once

// The instruction sets the comparison can use: the vector instructions of each x86 level this
// processor runs, and the portable loop, which runs everywhere.

#include <string_view>
#include <vector>

namespace tarnwick {

enum class KernelLevel { Scalar, Sse2, Avx2, Avx512 };

// "scalar", "sse2", "avx2", "avx512".
std::string_view kernelLevelName(KernelLevel level);

// Every level this processor runs, the widest first, the portable loop last.
std::vector<KernelLevel> kernelLevels();

// The level matching uses: the one the environment variable TARNWICK_KERNEL names (a name of
// kernelLevels()), else the widest. Read at the first call and the same for the rest of the
// process; tests and benchmarks that want another level pass it to the kernels themselves.
KernelLevel kernelLevel();

} // namespace tarnwick
