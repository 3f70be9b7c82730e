#include "core/NumberTexts.h"

#include <string>

namespace tarnwick {

TextId NumberTexts::id(std::int64_t value) {
    if (value < 0 || value >= kCached)
        return TextPool::shared().intern(std::to_string(value));
    const auto index = static_cast<std::size_t>(value);
    if (index >= cache_.size())
        cache_.resize(index + 1, kEmptyText); // 0 marks "not yet interned": no number is empty
    if (cache_[index] == kEmptyText)
        cache_[index] = TextPool::shared().intern(std::to_string(value));
    return cache_[index];
}

} // namespace tarnwick
