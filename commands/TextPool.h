#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarnwick {

// Identifies one distinct cell text of a pool; 0 is always the empty text.
using TextId = std::uint32_t;
inline constexpr TextId kEmptyText = 0;

// The distinct texts written into one table, each stored once: tables repeat a few hundred texts
// over many cells, and rows then move within the table without copying text. A pool belongs to
// the table (and its copies) and goes with them.
class TextPool {
public:
    TextPool();

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
