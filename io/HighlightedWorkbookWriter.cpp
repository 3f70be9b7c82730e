#include "io/HighlightedWorkbookWriter.h"

#include "core/Error.h"
#include "core/text/CellReference.h"
#include "core/text/Text.h"
#include "io/QuietStderr.h"
#include "io/ReplacingFile.h"
#include "io/ValueText.h"
#include "io/XmlTextEscapes.h"

#include <xlsxwriter.h>

#include <clocale>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

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

// The faulty cells in the order the rows are written.
std::vector<CellPosition> inWritingOrder(std::vector<CellPosition> positions) {
    std::sort(positions.begin(), positions.end(), [](CellPosition a, CellPosition b) {
        return a.row != b.row ? a.row < b.row : a.col < b.col;
    });
    return positions;
}

void checkFits(const TextTable& table, const std::string& fileName) {
    if (table.rowCount() > kMaxRows || table.columnCount() > kMaxColumns)
        raiseCannotSave(fileName, "a worksheet holds at most 1,048,576 rows and 16,384 columns");
    std::string scratch;
    for (int row = 0; row < table.rowCount(); ++row)
        for (int col = 0; col < table.columnCount(); ++col)
            if (const auto text = table.text(col, row, scratch);
                text.size() > kMaxTextLength && utf8CharacterCount(text) > kMaxTextLength)
                raiseCannotSave(fileName, "cell " + cellReference(col, row) +
                                              " holds more than 32,767 characters");
}

struct WorkbookStyle {
    const char* sheetName;
    bool pointNumbers; // texts with "." before the decimals are numbers too
};

// The C locale's numbers for this thread while it lives: libxlsxwriter prints numbers with the
// locale's decimal separator, and "0,7" in a workbook's XML makes it unreadable.
class PointNumbers {
public:
    PointNumbers()
        : point_(newlocale(LC_NUMERIC_MASK, "C", duplocale(uselocale(nullptr)))),
          previous_(point_ ? uselocale(point_) : nullptr) {}
    ~PointNumbers() {
        if (point_) {
            uselocale(previous_);
            freelocale(point_);
        }
    }
    PointNumbers(const PointNumbers&) = delete;
    PointNumbers& operator=(const PointNumbers&) = delete;

private:
    locale_t point_;
    locale_t previous_;
};

// Writes the workbook to a file by name, as libxlsxwriter does.
void writeWorkbook(const TextTable& table, const std::vector<CellPosition>& faulty,
                   const WorkbookStyle& style, const std::string& path,
                   const std::string& fileName) {
    const char decimalSeparator = localeDecimalSeparator(); // the user's, to read the texts
    const QuietStderr quiet;
    const PointNumbers pointNumbers;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.use_zip64 = LXW_TRUE;
    WorkbookPtr workbook(workbook_new_opt(path.c_str(), &options));
    if (!workbook)
        raiseCannotSave(fileName, "the workbook could not be started");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), style.sheetName);
    lxw_format* red = workbook_add_format(workbook.get());
    if (!sheet || !red)
        raiseCannotSave(fileName, "the worksheet could not be made");
    format_set_pattern(red, LXW_PATTERN_SOLID);
    format_set_bg_color(red, 0xFF0000);
    format_set_font_color(red, LXW_COLOR_BLACK);

    auto nextFaulty = faulty.begin();
    std::string scratch;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int col = 0; col < table.columnCount(); ++col) {
            lxw_format* format = nullptr;
            // The list may name a cell twice, or one outside the table.
            while (nextFaulty != faulty.end() &&
                   (nextFaulty->row < row || (nextFaulty->row == row && nextFaulty->col <= col))) {
                if (nextFaulty->row == row && nextFaulty->col == col)
                    format = red;
                ++nextFaulty;
            }
            const std::string text(table.text(col, row, scratch));
            const auto cellRow = static_cast<lxw_row_t>(row);
            const auto cellCol = static_cast<lxw_col_t>(col);
            // What a spreadsheet program turns into a number goes in as one, so users get
            // numbers, not "number stored as text"; every other text stays text and reads back
            // as it was.
            auto number = generalFormNumber(text, decimalSeparator);
            if (!number && style.pointNumbers)
                number = generalFormNumber(text, '.');
            const lxw_error written =
                number ? worksheet_write_number(sheet, cellRow, cellCol, *number, format)
                       : worksheet_write_string(sheet, cellRow, cellCol,
                                                protectEscapeLookalikes(text).c_str(), format);
            if (written != LXW_NO_ERROR)
                raiseCannotSave(fileName,
                                "cell " + cellReference(col, row) + ": " + lxw_strerror(written));
        }
    }
    // workbook_close writes the file and frees the workbook, whatever its outcome.
    errno = 0;
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) {
        // The system's reason (a full disk, say) tells the user more than the library's.
        const int systemError = errno;
        raiseCannotSave(fileName, systemError ? std::strerror(systemError) : lxw_strerror(closed));
    }
}

// A package written elsewhere, passed on into an output that is written straight (a pipe, a
// device), since the library needs a file it can seek in.
void copyInto(ReplacingFile& file, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
        file.write(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
}

void saveWorkbook(const TextTable& table, const std::vector<CellPosition>& faultyCells,
                  const WorkbookStyle& style, const std::string& fileName) {
    checkFits(table, fileName);
    const auto faulty = inWritingOrder(faultyCells);
    ReplacingFile file(fileName); // written beside, so a failure never harms an existing file
    if (file.writesStraight()) {
        const ReplacingFile scratch(std::filesystem::temp_directory_path() / "tarnwick.xlsx");
        writeWorkbook(table, faulty, style, scratch.temporaryPath(), fileName);
        copyInto(file, scratch.temporaryPath());
    } else {
        writeWorkbook(table, faulty, style, file.temporaryPath(), fileName);
    }
    file.commit();
}

} // namespace

bool SaveTableWithHighlights(const TextTable& table, const std::vector<CellPosition>& faultyCells,
                             const std::string& fileName) {
    saveWorkbook(table, faultyCells, {kHighlightedSheetName, false}, fileName);
    return true;
}

void SaveTableAsWorkbook(const TextTable& table, const std::string& fileName) {
    saveWorkbook(table, {}, {"Tarnwick", true}, fileName);
}

} // namespace tarnwick
