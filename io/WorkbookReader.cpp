#include "io/WorkbookReader.h"

#include "core/text/CellReference.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/SheetReader.h"
#include "io/ValueText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarnwick {
namespace {

// Turns values into cell texts (or whole numbers) and hands them to the table being built.
class TableCollector : public SheetSink {
public:
    TableCollector(HaplotypeTableBuilder& builder, char decimalSeparator)
        : builder_(builder), decimalSeparator_(decimalSeparator) {}

    void expectRows(long rows) override { builder_.expectRows(rows); }

    // readFirstSheet has checked the place of every value and how many there are.
    void value(long row, long col, const CellValue& value) override {
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
            if (std::abs(value.number) < kWholeDigitsLimit &&
                value.number == std::trunc(value.number))
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

    // The table holds every cell of the used area, so the area must not outgrow the values: two
    // values at opposite corners would otherwise take gigabytes. Checked as values arrive, before
    // the memory is taken.
    void checkArea(long row, long col) const {
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

private:
    [[noreturn]] static void throwDamagedCell(long row, long col, const std::string& what) {
        throwDamaged("cell " + cellReference(static_cast<int>(col), static_cast<int>(row)) + " " +
                     what);
    }

    static constexpr double kWholeDigitsLimit = 1e15; // beyond, the general form has an exponent

    HaplotypeTableBuilder& builder_;
    char decimalSeparator_;
    std::uint64_t values_ = 0;
};

} // namespace

HaplotypeTableBuilder::Result readHaplotypeTable(const std::string& fileName, TableLayout layout,
                                                 CellReading reading) {
    HaplotypeTableBuilder builder(layout, reading);
    TableCollector sheet(builder,
                         reading == CellReading::Genotypes ? '.' : localeDecimalSeparator());
    readFirstSheet(fileName, sheet);
    const auto fail = [&](const std::string& why) {
        throw Error("Cannot read \"" + fileName + "\": " + why);
    };
    if (builder.rows() == 0)
        fail("its first worksheet holds no table");
    if (builder.rows() == 1 && builder.cols() == 1)
        fail("its first worksheet holds a single cell, A1, and no table");
    return builder.finish();
}

} // namespace tarnwick
