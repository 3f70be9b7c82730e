#include "core/text/DecimalText.h"

#include <array>
#include <charconv>

namespace tarnwick {

SmallDecimals::SmallDecimals() {
    std::array<char, 24> digits{};
    begins_.push_back(0);
    for (std::int64_t v = -kLargest; v <= kLargest; ++v) {
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), v).ptr;
        texts_.append(digits.data(), end);
        begins_.push_back(static_cast<std::uint32_t>(texts_.size()));
    }
}

const SmallDecimals& SmallDecimals::table() {
    static const SmallDecimals kTable;
    return kTable;
}

std::string_view decimalText(std::int64_t value, std::string& scratch) {
    if (SmallDecimals::holds(value))
        return SmallDecimals::table().of(value);
    scratch.resize(24);
    const auto end = std::to_chars(scratch.data(), scratch.data() + scratch.size(), value).ptr;
    return {scratch.data(), static_cast<std::size_t>(end - scratch.data())};
}

} // namespace tarnwick
