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
    if ((value.kind == CellValue::Kind::Number || value.kind == CellValue::Kind::Date) &&
        !std::isfinite(value.number))
        throwDamagedCell(row, col,
                         std::isnan(value.number) ? "holds NaN, no number"
                                                  : "holds an infinite number");
    switch (value.kind) {
    case CellValue::Kind::Empty:
        return;
    case CellValue::Kind::Number:
        // A whole number's general form is its digits: no text to make.
        if (std::abs(value.number) < kWholeDigitsLimit && value.number == std::trunc(value.number))
            builder_.setInteger(row, col, static_cast<std::int64_t>(value.number));
        else
            builder_.setText(row, col, numberText(value.number, decimalSeparator_));
        return;
    case CellValue::Kind::Date:
        if (const auto text = dateText(value.number))
            builder_.setText(row, col, *text);
        else
            throwDamagedCell(row, col, "holds a date outside the years 1 to 9999");
        return;
    case CellValue::Kind::Boolean:
        builder_.setText(row, col, booleanText(value.number != 0));
        return;
    case CellValue::Kind::Error:
        throw ReadError("cell " + cellReference(static_cast<int>(col), static_cast<int>(row)) +
                        " holds the error value " + std::string(value.text) +
                        "; correct it in the spreadsheet and load the file again");
    case CellValue::Kind::Text:
        builder_.setText(row, col, value.text);
        return;
    }
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
