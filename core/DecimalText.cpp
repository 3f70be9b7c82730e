#include "core/DecimalText.h"

#include <array>
#include <charconv>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::int64_t kTabled = 16383;

class SmallDecimals {
public:
    SmallDecimals() {
        std::array<char, 24> digits{};
        for (std::int64_t v = -kTabled; v <= kTabled; ++v) {
            const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), v).ptr;
            texts_.append(digits.data(), end);
            ends_.push_back(static_cast<std::uint32_t>(texts_.size()));
        }
    }
    std::string_view of(std::int64_t value) const {
        const auto index = static_cast<std::size_t>(value + kTabled);
        const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(texts_).substr(begin, ends_[index] - begin);
    }

private:
    std::string texts_;
    std::vector<std::uint32_t> ends_;
};

} // namespace

std::string_view decimalText(std::int64_t value, std::string& scratch) {
    if (value >= -kTabled && value <= kTabled) {
        static const SmallDecimals kSmall;
        return kSmall.of(value);
    }
    scratch.resize(24);
    const auto end = std::to_chars(scratch.data(), scratch.data() + scratch.size(), value).ptr;
    return {scratch.data(), static_cast<std::size_t>(end - scratch.data())};
}

} // namespace tarnwick
