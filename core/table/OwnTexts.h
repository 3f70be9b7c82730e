#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick {

// The texts that some cells of a locus column hold instead of a value's decimal form. They are
// few kinds, much repeated ("NA" in every cell of a locus not typed), so each distinct text is
// kept once and a cell holds its row and the text's number. Cells are set while the column is
// built, mostly in row order; finish() orders them, after which they are only read.
class OwnTexts {
public:
    bool empty() const { return entries_.empty(); }
    // The row's text, nullptr when it has none (once finished, or while set in row order).
    const std::string* find(std::size_t row) const;

    // Calls visit with each row that has a text, in order (once finished).
    template <typename Visit> void forEachRow(Visit visit) const {
        for (const Entry& entry : entries_)
            visit(std::size_t{entry.row});
    }

    void set(std::size_t row, std::string_view text);
    void erase(std::size_t row);
    // Orders the cells by row, each as it was set last; the texts' index is let go.
    void finish();

private:
    static constexpr std::uint32_t kErased = UINT32_MAX;
    struct Entry {
        std::uint32_t row;
        std::uint32_t text; // or kErased
    };
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };

    void append(std::size_t row, std::uint32_t text);

    std::vector<Entry> entries_;
    bool inOrder_ = true; // entries_ ascending by row, each row once, none erased
    std::uint32_t greatestRow_ = 0;
    std::vector<std::string> texts_;
    std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> numbers_;
};

} // namespace tarnwick
