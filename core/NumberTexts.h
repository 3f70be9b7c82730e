#pragma once

#include "core/TextPool.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

// Interned decimal texts of integers. Result tables repeat the same few numbers hundreds of
// thousands of times, so small ones are looked up instead of formatted and hashed each time.
class NumberTexts {
public:
    TextId id(std::int64_t value);

private:
    static constexpr std::int64_t kCached = 1 << 20;
    std::vector<TextId> cache_;
};

} // namespace tarnwick
