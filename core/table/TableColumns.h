#pragma once

#include "core/table/OwnTexts.h"
#include "core/text/SmallValues.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick {

// The texts of one descriptive column, one per haplotype. Cells may be set in any order while a
// table is built; finish() then lays them out in one block. A column whose texts repeat (the
// population) keeps each distinct text once.
class TextColumn {
public:
    explicit TextColumn(bool distinctTexts = false) : distinct_(distinctTexts) {}

    std::size_t size() const { return size_; }
    std::string_view text(std::size_t row) const;

    // For copies that lay rows out together: a plain column's texts are slices of one block of
    // bytes; a column of distinct texts numbers them.
    bool keepsDistinctTexts() const { return distinct_; }
    std::string_view allBytes() const { return bytes_; }
    std::uint32_t textNumber(std::size_t row) const {
        return row < codes_.size() ? codes_[row] : 0;
    }
    std::string_view numberedText(std::uint32_t number) const { return texts_[number]; }
    // Asks the processor to fetch what text(row) reads, ahead of reading it.
    void prefetch(std::size_t row) const {
        if (distinct_ && row < codes_.size())
            __builtin_prefetch(codes_.data() + row);
        else if (!distinct_ && row < ends_.size())
            __builtin_prefetch(ends_.data() + row);
    }

    void set(std::size_t row, std::string_view text);
    void reserve(std::size_t rows);
    void finish(std::size_t rows);

private:
    bool distinct_;
    std::size_t size_ = 0;
    // Plain: the texts one after the other; row r ends at ends_[r].
    std::string bytes_;
    std::vector<std::uint64_t> ends_;
    std::unordered_map<std::size_t, std::string> outOfOrder_; // while building only
    // Distinct texts: a number per row into texts_ (0 is the empty text).
    std::vector<std::uint32_t> codes_;
    std::vector<std::string> texts_{std::string()};
    std::unordered_map<std::string, std::uint32_t> numbers_; // while building only
};

// The repeat counts of one locus column, one per haplotype, held as integers: in 16 bits while
// every value lies within +-kNarrowLimit (real repeat counts always do), else in 64. A cell whose
// text is not the decimal form of its value ("013", "$A", or no integer at all) keeps its text.
class LocusColumn {
public:
    static constexpr std::int64_t kUntyped = std::numeric_limits<std::int64_t>::min();
    static constexpr std::int64_t kNotInteger = kUntyped + 1;
    static constexpr std::int16_t kNarrowLimit = kSmallValueLimit;
    static constexpr std::int16_t kNarrowUntyped = std::numeric_limits<std::int16_t>::min();
    static constexpr std::int16_t kNarrowNotInteger = kNarrowUntyped + 1;

    LocusColumn() = default;
    // A column of 16-bit values as they stand (kNarrowUntyped for no value).
    explicit LocusColumn(std::vector<std::int16_t> narrowValues)
        : narrow_(std::move(narrowValues)) {}

    std::size_t size() const { return wide_ ? wideValues_.size() : narrow_.size(); }
    bool isNarrow() const { return !wide_; }
    std::span<const std::int16_t> narrowValues() const { return narrow_; }
    // The value of a cell, kUntyped or kNotInteger.
    std::int64_t value(std::size_t row) const;
    // The cell's text: its own where it has one, else its value's decimal form.
    std::string_view text(std::size_t row, std::string& scratch) const;
    bool hasOwnText(std::size_t row) const { return !texts_.empty() && texts_.find(row); }
    template <typename Visit> void forEachRowWithOwnText(Visit visit) const {
        texts_.forEachRow(visit);
    }
    // Calls visit(first row, rows) with each run of rows holding one text of their own.
    template <typename Visit> void forEachOwnTextRun(Visit visit) const {
        texts_.forEachRun(visit);
    }
    std::span<const std::int64_t> wideValues() const { return wideValues_; }
    // Calls visit with each row's text, each distinct value formatted once.
    void forEachText(std::size_t begin, std::size_t end,
                     const std::function<void(std::string_view)>& visit) const;

    // A value (or kUntyped, kNotInteger) and no text of its own.
    void setValue(std::size_t row, std::int64_t value);
    // A text of the cell's own, shown instead of its value's decimal form.
    void setOwnText(std::size_t row, std::string_view text);
    // The cell at row, value and text, repeated in the rows - 1 rows below it, which hold
    // nothing yet.
    void repeatDown(std::size_t row, std::size_t rows);
    void reserve(std::size_t rows);
    // Ends the building: the column's length, storage made for more rows than it has given back
    // and its own texts put in order for reading.
    void resize(std::size_t rows);

private:
    void widen();
    void store(std::size_t row, std::int64_t value);

    bool wide_ = false;
    std::vector<std::int16_t> narrow_;
    std::vector<std::int64_t> wideValues_;
    OwnTexts texts_;
};

} // namespace tarnwick
