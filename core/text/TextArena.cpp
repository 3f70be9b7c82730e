#include "core/text/TextArena.h"

#include <cstring>

namespace tarnwick {

std::string_view TextArena::keep(std::string_view text) {
    if (text.empty())
        return {};
    if (text.size() > kBlock) {
        large_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(large_.back().get(), text.data(), text.size());
        return {large_.back().get(), text.size()};
    }
    if (blocks_.empty() || used_ + text.size() > kBlock) {
        if (!blocks_.empty())
            ++block_;
        if (block_ == blocks_.size())
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
        used_ = 0;
    }
    char* at = blocks_[block_].get() + used_;
    std::memcpy(at, text.data(), text.size());
    used_ += text.size();
    return {at, text.size()};
}

void TextArena::clear() {
    large_.clear();
    block_ = 0;
    used_ = 0;
}

} // namespace tarnwick
