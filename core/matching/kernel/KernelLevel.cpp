#include "core/matching/kernel/KernelLevel.h"

#include <cstdlib>

namespace tarnwick {
namespace {

KernelLevel processorLevel() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw"))
        return KernelLevel::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return KernelLevel::Avx2;
    return KernelLevel::Sse2;
#else
    return KernelLevel::Scalar;
#endif
}

KernelLevel levelFromEnvironment() {
    const std::vector<KernelLevel> levels = kernelLevels();
    if (const char* wanted = std::getenv("TARNWICK_KERNEL"))
        for (const KernelLevel level : levels)
            if (kernelLevelName(level) == wanted)
                return level;
    return levels.front();
}

} // namespace

std::string_view kernelLevelName(KernelLevel level) {
    switch (level) {
    case KernelLevel::Sse2:
        return "sse2";
    case KernelLevel::Avx2:
        return "avx2";
    case KernelLevel::Avx512:
        return "avx512";
    case KernelLevel::Scalar:
        break;
    }
    return "scalar";
}

std::vector<KernelLevel> kernelLevels() {
    std::vector<KernelLevel> levels;
    for (const KernelLevel level : {KernelLevel::Avx512, KernelLevel::Avx2, KernelLevel::Sse2})
        if (static_cast<int>(level) <= static_cast<int>(processorLevel()))
            levels.push_back(level);
    levels.push_back(KernelLevel::Scalar);
    return levels;
}

KernelLevel kernelLevel() {
    static const KernelLevel level = levelFromEnvironment();
    return level;
}

} // namespace tarnwick
