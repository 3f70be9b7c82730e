#pragma once

#include "io/ReadError.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A workbook's shared texts one after another in one string, each found by where it ends: 4
// bytes a text instead of a string's 32 and its allocation, as a table of millions of empty
// texts (a few bytes each in the file) would otherwise take ten times the file's size. (Texts of
// a file of at most 1 GB take at most 2 GB as UTF-8.)
class SharedTexts {
public:
    void add(std::string_view text) {
        texts_ += text;
        if (texts_.size() > std::numeric_limits<std::uint32_t>::max())
            throw ReadError("the workbook's shared texts take more than 4 GB");
        ends_.push_back(static_cast<std::uint32_t>(texts_.size()));
    }
    std::size_t size() const { return ends_.size(); }
    std::string_view at(std::size_t index) const {
        const std::size_t start = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(texts_).substr(start, ends_[index] - start);
    }

private:
    std::string texts_;
    std::vector<std::uint32_t> ends_;
};

} // namespace tarnwick
