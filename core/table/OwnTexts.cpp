#include "core/table/OwnTexts.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwick {

const std::string* OwnTexts::find(std::size_t row) const {
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), row,
                         [](const Entry& entry, std::size_t r) { return entry.row < r; });
    if (found == entries_.end() || found->row != row || found->text == kErased)
        return nullptr;
    return &texts_[found->text];
}

void OwnTexts::set(std::size_t row, std::string_view text) {
    auto number = numbers_.find(text);
    if (number == numbers_.end()) {
        number =
            numbers_.emplace(std::string(text), static_cast<std::uint32_t>(texts_.size())).first;
        texts_.emplace_back(text);
    }
    append(row, number->second);
}

void OwnTexts::erase(std::size_t row) {
    if (entries_.empty() || row > greatestRow_)
        return; // nothing set there yet
    append(row, kErased);
}

void OwnTexts::append(std::size_t row, std::uint32_t text) {
    if (row >= kErased)
        throw std::length_error("a column has more rows than Tarnwick holds");
    const auto row32 = static_cast<std::uint32_t>(row);
    if (inOrder_ && !entries_.empty() && entries_.back().row == row32) {
        // The cell just set, set again: the common case of a value followed by its text.
        if (text == kErased)
            entries_.pop_back();
        else
            entries_.back().text = text;
        return;
    }
    if (!entries_.empty() && (entries_.back().row > row32 || text == kErased))
        inOrder_ = false;
    entries_.push_back({row32, text});
    if (text != kErased)
        greatestRow_ = std::max(greatestRow_, row32);
}

void OwnTexts::finish() {
    numbers_ = {};
    if (!inOrder_) {
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.row < b.row; });
        // Of a row set more than once, the last setting counts.
        std::vector<Entry> last;
        for (const Entry& entry : entries_) {
            if (!last.empty() && last.back().row == entry.row)
                last.pop_back();
            last.push_back(entry);
        }
        std::erase_if(last, [](const Entry& entry) { return entry.text == kErased; });
        entries_ = std::move(last);
        inOrder_ = true;
    }
    entries_.shrink_to_fit();
    texts_.shrink_to_fit();
}

} // namespace tarnwick
