#include "core/matching/kernel/KernelLevel.h"

#include <hwy/targets.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tarnwick {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

KernelLevel levelFromEnvironment() {
    const std::vector<KernelLevel> levels = kernelLevels();
    if (const char* variable = std::getenv("TARNWICK_KERNEL")) {
        const std::string wanted = lowerCase(variable);
        if (wanted == "scalar")
            return levels.back();
        for (const KernelLevel& level : levels)
            if (level.name() == wanted)
                return level;
    }
    return levels.front();
}

} // namespace

std::string KernelLevel::name() const {
    return lowerCase(hwy::TargetName(target_));
}

KernelLevel kernelLevel() {
    static const KernelLevel level = levelFromEnvironment();
    return level;
}

} // namespace tarnwick
