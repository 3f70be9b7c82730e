#pragma once

#include <string_view>

namespace tarnwick {

// One value of a worksheet cell as a workbook holds it, before it becomes cell text.
struct CellValue {
    enum class Kind { Empty, Number, Text, Boolean, Date, Error };

    Kind kind = Kind::Empty;
    // Number: the value. Boolean: 0 or 1. Date: days since 1899-12-30, the time as the fraction.
    double number = 0;
    // Text: the text in UTF-8. Error: the spreadsheet's error name, such as "#DIV/0!".
    std::string_view text;

    static CellValue ofNumber(double n) { return {Kind::Number, n, {}}; }
    static CellValue ofText(std::string_view t) { return {Kind::Text, 0, t}; }
    static CellValue ofBoolean(bool b) { return {Kind::Boolean, b ? 1.0 : 0.0, {}}; }
    static CellValue ofDate(double days) { return {Kind::Date, days, {}}; }
    static CellValue ofError(std::string_view name) { return {Kind::Error, 0, name}; }
};

// Receives the values of a workbook's worksheets, each at its row and column counted from 0
// within its sheet, in any order within the sheet. Empty cells need not be reported.
class SheetSink {
public:
    virtual ~SheetSink() = default;
    // Called before the values of each worksheet, in the workbook's order (index from 0; the
    // name as the workbook gives it; delimited text and a bare record stream are one sheet whose
    // name is ""). Returns whether its values are wanted: the reader skips the sheet otherwise.
    // By default only the first worksheet is read.
    virtual bool beginSheet(int index, std::string_view /*name*/) { return index == 0; }
    virtual void value(long row, long col, const CellValue& value) = 0;
    // The same value in a block of rows x cols cells from (row, col), as a repeat count gives it:
    // a sink that can take it whole costs no more than for one cell.
    virtual void repeatedValue(long row, long rows, long col, long cols, const CellValue& value) {
        for (long r = row; r < row + rows; ++r)
            for (long c = col; c < col + cols; ++c)
                this->value(r, c, value);
    }
    // A reader's estimate of how many rows the sheet has, so that storage is made once.
    virtual void expectRows(long /*rows*/) {}
};

} // namespace tarnwick
