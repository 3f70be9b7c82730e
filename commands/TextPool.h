#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarnwick {

// Identifies one distinct cell text of a pool; 0 is always the empty text.
using TextId = std::uint32_t;
inline constexpr TextId kEmptyText = 0;

// The distinct texts written into one table, each stored once: tables repeat a few hundred texts
// over many cells, and rows then move within the table without copying text. A pool belongs to
// the table (and its copies, until one of them writes) and goes with them.
class TextPool {
public:
    TextPool();
    // Its keys point into its own texts: a copy is made by copy() alone.
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    // A pool of its own with the same texts under the same ids.
    std::shared_ptr<TextPool> copy() const;

    TextId intern(std::string_view text);
    const std::string& text(TextId id) const { return texts_[id]; }
    std::size_t size() const { return texts_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>{}(s);
        }
    };

    std::deque<std::string> texts_; // a deque keeps the keys' storage in place as it grows
    std::unordered_map<std::string_view, TextId, Hash, std::equal_to<>> ids_;
};

} // namespace tarnwick
