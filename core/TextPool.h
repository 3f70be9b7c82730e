#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarnwick {

// Identifies one distinct cell text; 0 is always the empty text.
using TextId = std::uint32_t;
inline constexpr TextId kEmptyText = 0;

// Every distinct cell text is stored once and cells hold its id. Haplotype tables repeat a few
// hundred texts over millions of cells, so this keeps tables small and lets rows move between
// tables without copying text. Texts are never removed: the pool lives as long as the program
// and only grows by the distinct texts the user's files bring. Used from one thread only.
class TextPool {
public:
    static TextPool& shared();

    TextId intern(std::string_view text);
    const std::string& text(TextId id) const { return texts_[id]; }
    std::size_t size() const { return texts_.size(); }

private:
    TextPool();

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
