#include "io/TableCollector.h"

#include "core/text/CellReference.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/ValueText.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {

void TableCollector::value(long row, long col, const CellValue& value) {
    if (value.kind == CellValue::Kind::Empty)
        return;
    ++values_;
    checkArea(row, col);
    // A text goes on as it is, uncopied.
    if (value.kind == CellValue::Kind::Text) {
        builder_.setText(row, col, value.text);
        return;
    }
    const Cell cell = cellOf(row, col, value);
    if (cell.integer)
        builder_.setInteger(row, col, cell.number);
    else
        builder_.setText(row, col, cell.text);
}

void TableCollector::repeatedValue(long row, long rows, long col, long cols,
                                   const CellValue& value) {
    if (value.kind == CellValue::Kind::Empty || rows <= 0 || cols <= 0)
        return;
    values_ += static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols);
    checkArea(row + rows - 1, col + cols - 1);
    const Cell cell = cellOf(row, col, value);
    const std::string_view text = value.kind == CellValue::Kind::Text ? value.text : cell.text;
    for (long c = col; c < col + cols; ++c) {
        if (cell.integer)
            builder_.setIntegerRun(row, rows, c, cell.number);
        else
            builder_.setTextRun(row, rows, c, text);
    }
}

TableCollector::Cell TableCollector::cellOf(long row, long col, const CellValue& value) const {
    if ((value.kind == CellValue::Kind::Number || value.kind == CellValue::Kind::Date) &&
        !std::isfinite(value.number))
        throwDamagedCell(row, col,
                         std::isnan(value.number) ? "holds NaN, no number"
                                                  : "holds an infinite number");
    switch (value.kind) {
    case CellValue::Kind::Number:
        // A whole number's general form is its digits: no text to make.
        if (std::abs(value.number) < kWholeDigitsLimit && value.number == std::trunc(value.number))
            return {true, static_cast<std::int64_t>(value.number), {}};
        return {false, 0, numberText(value.number, decimalSeparator_)};
    case CellValue::Kind::Date:
        if (auto text = dateText(value.number))
            return {false, 0, std::move(*text)};
        throwDamagedCell(row, col, "holds a date outside the years 1 to 9999");
    case CellValue::Kind::Boolean:
        return {false, 0, booleanText(value.number != 0)};
    case CellValue::Kind::Error:
        throw ReadError("cell " + cellReference(static_cast<int>(col), static_cast<int>(row)) +
                        " holds the error value " + std::string(value.text) +
                        "; correct it in the spreadsheet and load the file again");
    case CellValue::Kind::Empty:
    case CellValue::Kind::Text:
        break;
    }
    return {false, 0, {}}; // a text is taken as it stands
}

void TableCollector::checkArea(long row, long col) const {
    const auto rows = static_cast<std::uint64_t>(std::max(builder_.rows(), row + 1));
    const auto cols = static_cast<std::uint64_t>(std::max(builder_.cols(), col + 1));
    const std::uint64_t area = rows * cols;
    if (area > kMaxSheetCells || area > kAreaCellsPerValue.allowed(values_))
        throw ReadError("its first worksheet spans " + std::to_string(rows) + " rows and " +
                        std::to_string(cols) +
                        " columns, more than Tarnwick can hold: at most 100000000 cells, "
                        "and 16000000 and 1000 per value (it holds " +
                        std::to_string(values_) + ")");
}

void TableCollector::throwDamagedCell(long row, long col, const std::string& what) {
    throwDamaged("cell " + cellReference(static_cast<int>(col), static_cast<int>(row)) + " " +
                 what);
}

} // namespace tarnwick
