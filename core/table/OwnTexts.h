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
// kept once, and rows that follow each other with the same text are one run of rows holding the
// text's number: a column of millions of "NA" holds one. Cells are set while the column is
// built, mostly in row order; finish() orders them, after which they are only read.
class OwnTexts {
public:
    bool empty() const { return entries_.empty(); }
    // The row's text, nullptr when it has none (once finished, or while set in row order).
    const std::string* find(std::size_t row) const;

    // Calls visit with each row that has a text, in order (once finished).
    template <typename Visit> void forEachRow(Visit visit) const {
        for (const Entry& entry : entries_)
            for (std::uint32_t k = 0; k < entry.rows; ++k)
                visit(std::size_t{entry.row} + k);
    }
    // Calls visit(first row, rows) with each run of rows that hold one text, in order (once
    // finished).
    template <typename Visit> void forEachRun(Visit visit) const {
        for (const Entry& entry : entries_)
            visit(std::size_t{entry.row}, std::size_t{entry.rows});
    }

    void set(std::size_t row, std::string_view text) { set(row, 1, text); }
    // The same text in rows rows from row on.
    void set(std::size_t row, std::size_t rows, std::string_view text);
    void erase(std::size_t row);
    // Orders the cells by row, each as it was set last; the texts' index is let go.
    void finish();

private:
    static constexpr std::uint32_t kErased = UINT32_MAX;
    struct Entry {
        std::uint32_t row; // the first of the run
        std::uint32_t rows;
        std::uint32_t text; // or kErased
        std::uint32_t end() const { return row + rows; }
    };
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };

    void append(std::size_t row, std::size_t rows, std::uint32_t text);
    void sortAndKeepLastSettings();

    std::vector<Entry> entries_;
    bool inOrder_ = true;   // entries_ ascending by row, each row once, none erased
    std::uint32_t end_ = 0; // past the greatest row set
    std::vector<std::string> texts_;
    std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> numbers_;
};

} // namespace tarnwick
