#include "core/table/OwnTexts.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwick {

const std::string* OwnTexts::find(std::size_t row) const {
    auto found = std::upper_bound(entries_.begin(), entries_.end(), row,
                                  [](std::size_t r, const Entry& entry) { return r < entry.row; });
    if (found == entries_.begin())
        return nullptr;
    --found;
    if (row >= found->end() || found->text == kErased)
        return nullptr;
    return &texts_[found->text];
}

void OwnTexts::set(std::size_t row, std::size_t rows, std::string_view text) {
    if (rows == 0)
        return;
    auto number = numbers_.find(text);
    if (number == numbers_.end()) {
        number =
            numbers_.emplace(std::string(text), static_cast<std::uint32_t>(texts_.size())).first;
        texts_.emplace_back(text);
    }
    append(row, rows, number->second);
}

void OwnTexts::erase(std::size_t row) {
    if (entries_.empty() || row >= end_)
        return; // nothing set there yet
    append(row, 1, kErased);
}

void OwnTexts::append(std::size_t row, std::size_t rows, std::uint32_t text) {
    if (row >= kErased || rows >= kErased - row)
        throw std::length_error("a column has more rows than Tarnwick holds");
    const auto row32 = static_cast<std::uint32_t>(row);
    const auto rows32 = static_cast<std::uint32_t>(rows);
    if (inOrder_ && !entries_.empty()) {
        Entry& last = entries_.back();
        if (rows32 == 1 && last.end() == row32 + 1) {
            // The cell just set, set again: the common case of a value followed by its text.
            if (text == last.text)
                return;
            if (--last.rows == 0)
                entries_.pop_back();
            if (text != kErased)
                entries_.push_back({row32, 1, text});
            else
                end_ = row32;
            return;
        }
        if (text == last.text && last.end() == row32) {
            last.rows += rows32; // the run goes on
            end_ = last.end();
            return;
        }
    }
    if (!entries_.empty() && (entries_.back().end() > row32 || text == kErased))
        inOrder_ = false;
    entries_.push_back({row32, rows32, text});
    if (text != kErased)
        end_ = std::max(end_, row32 + rows32);
}

// Of a row set more than once, the last setting counts; runs are cut into rows to tell, and
// rows that follow each other with one text joined again.
void OwnTexts::sortAndKeepLastSettings() {
    std::vector<Entry> rows;
    for (const Entry& entry : entries_)
        for (std::uint32_t k = 0; k < entry.rows; ++k)
            rows.push_back({entry.row + k, 1, entry.text});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Entry& a, const Entry& b) { return a.row < b.row; });
    std::vector<Entry> runs;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i + 1 < rows.size() && rows[i + 1].row == rows[i].row)
            continue; // set again later
        const Entry& entry = rows[i];
        if (entry.text == kErased)
            continue;
        if (!runs.empty() && runs.back().text == entry.text && runs.back().end() == entry.row)
            ++runs.back().rows;
        else
            runs.push_back(entry);
    }
    entries_ = std::move(runs);
    inOrder_ = true;
}

void OwnTexts::finish() {
    numbers_ = {};
    if (!inOrder_)
        sortAndKeepLastSettings();
    entries_.shrink_to_fit();
    texts_.shrink_to_fit();
}

} // namespace tarnwick
