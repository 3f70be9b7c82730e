#include "core/table/TableColumns.h"

#include "core/text/DecimalText.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace tarnwick {

std::string_view TextColumn::text(std::size_t row) const {
    if (distinct_)
        return row < codes_.size() ? std::string_view(texts_[codes_[row]]) : std::string_view();
    if (row >= ends_.size())
        return {};
    const std::uint64_t begin = row == 0 ? 0 : ends_[row - 1];
    return std::string_view(bytes_).substr(begin, ends_[row] - begin);
}

void TextColumn::set(std::size_t row, std::string_view text) {
    if (distinct_) {
        if (row >= codes_.size())
            codes_.resize(row + 1, 0);
        if (text.empty()) {
            codes_[row] = 0;
            return;
        }
        const auto [entry, added] =
            numbers_.try_emplace(std::string(text), static_cast<std::uint32_t>(texts_.size()));
        if (added)
            texts_.emplace_back(text);
        codes_[row] = entry->second;
        return;
    }
    // Sheets arrive row by row, so texts are appended in order; anything else waits for finish().
    if (row < ends_.size() || !outOfOrder_.empty()) {
        outOfOrder_[row] = std::string(text);
        return;
    }
    ends_.resize(row, bytes_.size()); // rows skipped are empty
    bytes_ += text;
    ends_.push_back(bytes_.size());
}

void TextColumn::reserve(std::size_t rows) {
    if (distinct_)
        codes_.reserve(rows);
    else
        ends_.reserve(rows);
}

void TextColumn::finish(std::size_t rows) {
    size_ = rows;
    if (distinct_) {
        codes_.resize(rows, 0);
        codes_.shrink_to_fit();
        numbers_ = {};
        return;
    }
    if (!outOfOrder_.empty()) {
        std::string bytes;
        std::vector<std::uint64_t> ends;
        ends.reserve(rows);
        for (std::size_t row = 0; row < rows; ++row) {
            if (const auto late = outOfOrder_.find(row); late != outOfOrder_.end())
                bytes += late->second;
            else
                bytes += text(row);
            ends.push_back(bytes.size());
        }
        bytes_ = std::move(bytes);
        ends_ = std::move(ends);
        outOfOrder_ = {};
        return;
    }
    ends_.resize(rows, bytes_.size());
    bytes_.shrink_to_fit();
    ends_.shrink_to_fit();
}

std::int64_t LocusColumn::value(std::size_t row) const {
    if (wide_)
        return row < wideValues_.size() ? wideValues_[row] : kUntyped;
    if (row >= narrow_.size())
        return kUntyped;
    const std::int16_t value = narrow_[row];
    if (value == kNarrowUntyped)
        return kUntyped;
    if (value == kNarrowNotInteger)
        return kNotInteger;
    return value;
}

std::string_view LocusColumn::text(std::size_t row, std::string& scratch) const {
    if (!texts_.empty())
        if (const std::string* own = texts_.find(row))
            return *own;
    const std::int64_t v = value(row);
    return v == kUntyped || v == kNotInteger ? std::string_view() : decimalText(v, scratch);
}

void LocusColumn::forEachText(std::size_t begin, std::size_t end,
                              const std::function<void(std::string_view)>& visit) const {
    std::string scratch;
    bool emptySeen = false;
    std::vector<bool> narrowSeen(wide_ ? 0 : 2 * kNarrowLimit + 1);
    std::unordered_set<std::int64_t> wideSeen;
    for (std::size_t row = begin; row < std::min(end, size()); ++row) {
        if (const std::string* own = texts_.empty() ? nullptr : texts_.find(row)) {
            visit(*own);
            continue;
        }
        const std::int64_t v = value(row);
        if (v == kUntyped || v == kNotInteger) {
            if (!std::exchange(emptySeen, true))
                visit({});
            continue;
        }
        const bool first = wide_ ? wideSeen.insert(v).second
                                 : !narrowSeen[static_cast<std::size_t>(v + kNarrowLimit)];
        if (!wide_)
            narrowSeen[static_cast<std::size_t>(v + kNarrowLimit)] = true;
        if (first)
            visit(decimalText(v, scratch));
    }
    if (end > size() && !emptySeen)
        visit({});
}

void LocusColumn::reserve(std::size_t rows) {
    if (wide_)
        wideValues_.reserve(rows);
    else
        narrow_.reserve(rows);
}

void LocusColumn::resize(std::size_t rows) {
    if (wide_) {
        wideValues_.resize(rows, kUntyped);
        wideValues_.shrink_to_fit();
    } else {
        narrow_.resize(rows, kNarrowUntyped);
        narrow_.shrink_to_fit();
    }
    texts_.finish();
}

void LocusColumn::widen() {
    wideValues_.reserve(narrow_.capacity());
    for (std::size_t row = 0; row < narrow_.size(); ++row)
        wideValues_.push_back(value(row));
    narrow_ = {};
    wide_ = true;
}

void LocusColumn::store(std::size_t row, std::int64_t value) {
    const bool fitsNarrow = value == kUntyped || value == kNotInteger ||
                            (value >= -kNarrowLimit && value <= kNarrowLimit);
    if (!wide_ && !fitsNarrow)
        widen();
    if (wide_) {
        if (row >= wideValues_.size())
            wideValues_.resize(row + 1, kUntyped);
        wideValues_[row] = value;
        return;
    }
    const std::int16_t narrow = value == kUntyped      ? kNarrowUntyped
                                : value == kNotInteger ? kNarrowNotInteger
                                                       : static_cast<std::int16_t>(value);
    // Sheets arrive row by row: most values go at the end.
    if (row == narrow_.size()) {
        narrow_.push_back(narrow);
        return;
    }
    if (row > narrow_.size())
        narrow_.resize(row + 1, kNarrowUntyped);
    narrow_[row] = narrow;
}

void LocusColumn::setValue(std::size_t row, std::int64_t value) {
    store(row, value);
    texts_.erase(row);
}

void LocusColumn::setOwnText(std::size_t row, std::string_view text) {
    texts_.set(row, text);
}

void LocusColumn::repeatDown(std::size_t row, std::size_t rows) {
    if (rows <= 1)
        return;
    const std::int64_t v = value(row);
    store(row + rows - 1, v); // makes room
    const auto first = static_cast<std::ptrdiff_t>(row + 1),
               last = first + static_cast<std::ptrdiff_t>(rows - 2);
    if (wide_)
        std::fill(wideValues_.begin() + first, wideValues_.begin() + last, v);
    else
        std::fill(narrow_.begin() + first, narrow_.begin() + last, narrow_[row]);
    if (const std::string* own = texts_.empty() ? nullptr : texts_.find(row)) {
        const std::string text = *own;
        texts_.set(row + 1, rows - 1, text);
    }
}

} // namespace tarnwick
