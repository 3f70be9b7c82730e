#include "core/CompactHaplotypes.h"

namespace tarnwick {

std::optional<CompactHaplotypes> CompactHaplotypes::tryMake(const std::vector<std::int64_t>& values,
                                                            std::size_t width,
                                                            std::int64_t untypedValue,
                                                            const std::vector<std::size_t>& order) {
    if (width == 0 || width >= (1u << 15) || order.size() != width)
        return std::nullopt;
    CompactHaplotypes compact;
    compact.stride_ = (width + kBlock - 1) / kBlock * kBlock;
    const std::size_t rows = values.size() / width;
    compact.values_.assign(rows * compact.stride_, kUntyped);
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t k = 0; k < width; ++k) {
            const std::int64_t value = values[r * width + order[k]];
            if (value == untypedValue)
                continue;
            if (value < -kLargest || value > kLargest)
                return std::nullopt;
            compact.values_[r * compact.stride_ + k] = static_cast<std::int16_t>(value);
        }
    }
    return compact;
}

} // namespace tarnwick
