#include "io/HighlightedWorkbookWriter.h"

#include "core/CellReference.h"
#include "core/Error.h"
#include "core/IntegerText.h"
#include "core/TableOperations.h"
#include "io/ReplacingFile.h"

#include <xlsxwriter.h>

#include <memory>
#include <unordered_set>

namespace tarnwick {
namespace {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr std::size_t kMaxTextLength = 32767; // characters in one cell

struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};
using WorkbookPtr = std::unique_ptr<lxw_workbook, WorkbookFree>;

[[noreturn]] void raiseCannotSave(const std::string& fileName, const std::string& reason) {
    throw Error("Cannot save \"" + fileName + "\": " + reason);
}

std::uint64_t cellKey(int col, int row) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32 |
           static_cast<std::uint32_t>(col);
}

// The positions of the faulty-cell list (counted from 1 there) as table positions.
std::unordered_set<std::uint64_t> faultyPositions(const StringGrid& faultyCells) {
    std::unordered_set<std::uint64_t> positions;
    for (int k = 0; k < faultyCellCount(faultyCells); ++k)
        positions.insert(cellKey(parseIntegerText(faultyCells.Cells(k, 0)) - 1,
                                 parseIntegerText(faultyCells.Cells(k, 1)) - 1));
    return positions;
}

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

void checkFits(const StringGrid& table, const std::string& fileName) {
    if (table.RowCount() > kMaxRows || table.ColCount() > kMaxColumns)
        raiseCannotSave(fileName, "a worksheet holds at most 1,048,576 rows and 16,384 columns");
    for (int row = 0; row < table.RowCount(); ++row)
        for (int col = 0; col < table.ColCount(); ++col)
            if (characterCount(table.Cells(col, row)) > kMaxTextLength)
                raiseCannotSave(fileName, "cell " + cellReference(col, row) +
                                              " holds more than 32,767 characters");
}

} // namespace

bool SaveTableWithHighlights(const StringGrid& table, const StringGrid& faultyCells,
                             const std::string& fileName) {
    checkFits(table, fileName);
    const auto faulty = faultyPositions(faultyCells);
    ReplacingFile file(fileName); // written beside, so a failure never harms an existing file

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.use_zip64 = LXW_TRUE;
    WorkbookPtr workbook(workbook_new_opt(file.temporaryPath().c_str(), &options));
    if (!workbook)
        raiseCannotSave(fileName, "the workbook could not be started");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), kHighlightedSheetName);
    lxw_format* red = workbook_add_format(workbook.get());
    if (!sheet || !red)
        raiseCannotSave(fileName, "the worksheet could not be made");
    format_set_pattern(red, LXW_PATTERN_SOLID);
    format_set_bg_color(red, 0xFF0000);
    format_set_font_color(red, LXW_COLOR_BLACK);

    for (int row = 0; row < table.RowCount(); ++row) {
        for (int col = 0; col < table.ColCount(); ++col) {
            lxw_format* format = faulty.count(cellKey(col, row)) ? red : nullptr;
            const lxw_error written =
                worksheet_write_string(sheet, static_cast<lxw_row_t>(row),
                                       static_cast<lxw_col_t>(col),
                                       table.Cells(col, row).c_str(), format);
            if (written != LXW_NO_ERROR)
                raiseCannotSave(fileName, "cell " + cellReference(col, row) + ": " +
                                              lxw_strerror(written));
        }
    }
    // workbook_close writes the file and frees the workbook, whatever its outcome.
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR)
        raiseCannotSave(fileName, lxw_strerror(closed));
    file.commit();
    return true;
}

} // namespace tarnwick
