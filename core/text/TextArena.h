#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace tarnwick {

// Keeps copies of texts in large blocks, so that texts kept together lie together in memory and
// stay where they are until clear().
class TextArena {
public:
    std::string_view keep(std::string_view text);
    // Forgets every text; the blocks are used again.
    void clear();

private:
    static constexpr std::size_t kBlock = 1 << 16;

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_; // texts longer than a block
    std::size_t block_ = 0;                      // the one being filled
    std::size_t used_ = 0;                       // of it
};

} // namespace tarnwick
