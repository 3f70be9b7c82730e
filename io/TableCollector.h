#pragma once

#include "core/table/HaplotypeTable.h"
#include "io/CellValue.h"

#include <cstdint>
#include <string>

namespace tarnwick {

// Turns values into cell texts (or whole numbers) and hands them to the table being built.
class TableCollector : public SheetSink {
public:
    TableCollector(HaplotypeTableBuilder& builder, char decimalSeparator)
        : builder_(builder), decimalSeparator_(decimalSeparator) {}

    void expectRows(long rows) override { builder_.expectRows(rows); }
    // The sheet reader has checked the place of every value and how many there are.
    void value(long row, long col, const CellValue& value) override;
    // Column by column, each a run the table holds at the cost of one cell.
    void repeatedValue(long row, long rows, long col, long cols, const CellValue& value) override;

private:
    // The table holds every cell of the used area, so the area must not outgrow the values: two
    // values at opposite corners would otherwise take gigabytes. Checked as values arrive, before
    // the memory is taken.
    void checkArea(long row, long col) const;
    [[noreturn]] static void throwDamagedCell(long row, long col, const std::string& what);
    // What a value becomes in the table: a whole number, or a text.
    struct Cell {
        bool integer;
        std::int64_t number;
        std::string text;
    };
    Cell cellOf(long row, long col, const CellValue& value) const;

    static constexpr double kWholeDigitsLimit = 1e15; // beyond, the general form has an exponent

    HaplotypeTableBuilder& builder_;
    char decimalSeparator_;
    std::uint64_t values_ = 0;
};

} // namespace tarnwick
