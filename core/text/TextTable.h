#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tarnwick {

// A table of texts addressed by (column, row) from 0, read cell by cell: what the writers save
// and a window shows. Cells outside the counts read as the empty text.
class TextTable {
public:
    virtual ~TextTable() = default;

    virtual int columnCount() const = 0;
    virtual int rowCount() const = 0;

    // The cell's text. Tables that hold numbers write its digits into scratch.
    virtual std::string_view text(int col, int row, std::string& scratch) const = 0;

    // Calls visit with the texts of the column's rows from begin to end (not included): each
    // distinct text at least once, repeats as the table finds cheapest, so that a caller looking
    // for the widest text need not format and look at every cell.
    virtual void forEachText(int col, int begin, int end,
                             const std::function<void(std::string_view)>& visit) const;

    using RowVisitor = std::function<void(std::span<const std::string_view>)>;
    // Calls visit with the texts of each row from begin to end (not included), every column in
    // order; the texts stay valid during the call only. Writers take tables so, and a table that
    // holds its cells apart can gather many rows at once.
    virtual void forEachRow(int begin, int end, const RowVisitor& visit) const;
};

} // namespace tarnwick
