#include "commands/TextPool.h"

#include <limits>
#include <stdexcept>

namespace tarnwick {

TextPool::TextPool() {
    texts_.emplace_back();
    ids_.emplace(std::string_view(texts_.back()), kEmptyText);
}

std::shared_ptr<TextPool> TextPool::copy() const {
    auto copied = std::make_shared<TextPool>();
    for (std::size_t id = 1; id < texts_.size(); ++id)
        copied->intern(texts_[id]);
    return copied;
}

TextId TextPool::intern(std::string_view text) {
    if (text.empty())
        return kEmptyText;
    if (auto found = ids_.find(text); found != ids_.end())
        return found->second;
    if (texts_.size() >= std::numeric_limits<TextId>::max())
        throw std::length_error("Too many distinct cell texts");
    const auto id = static_cast<TextId>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(std::string_view(texts_.back()), id);
    return id;
}

} // namespace tarnwick
