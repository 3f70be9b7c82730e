#pragma once

#include "core/text/SmallValues.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The decimal forms of the values within +-kLargest (repeat counts, steps, row numbers), made
// once, so that showing a value needs no formatting.
class SmallDecimals {
public:
    static constexpr std::int64_t kLargest = kSmallValueLimit;

    static const SmallDecimals& table();

    static bool holds(std::int64_t value) { return value >= -kLargest && value <= kLargest; }
    std::string_view of(std::int64_t value) const {
        const auto index = static_cast<std::size_t>(value + kLargest);
        return {texts_.data() + begins_[index], begins_[index + 1] - begins_[index]};
    }

private:
    SmallDecimals();

    std::string texts_;
    std::vector<std::uint32_t> begins_; // and the end of the last
};

// The decimal form of a value: from the table when it holds it, else written into scratch.
std::string_view decimalText(std::int64_t value, std::string& scratch);

} // namespace tarnwick
