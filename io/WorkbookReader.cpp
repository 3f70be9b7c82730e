#include "io/WorkbookReader.h"

#include "core/CellReference.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/SheetReader.h"
#include "io/ValueText.h"

#include <bit>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tarnwick {
namespace {

// Turns values into cell texts as they arrive and keeps them until the used area is known.
class TableCollector : public SheetSink {
public:
    struct Entry {
        std::uint32_t row;
        std::uint32_t col;
        TextId text;
    };

    // readFirstSheet has checked the place of every value and how many there are.
    void value(long row, long col, const CellValue& value) override {
        if (value.kind == CellValue::Kind::Empty)
            return;
        entries_.push_back({static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(col),
                            textOf(value, row, col)});
        rows_ = std::max(rows_, row + 1);
        cols_ = std::max(cols_, col + 1);
    }

    long rows() const { return rows_; }
    long cols() const { return cols_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    TextId textOf(const CellValue& value, long row, long col) {
        switch (value.kind) {
        case CellValue::Kind::Number: {
            // Repeat counts are small integers: looked up by value, without hashing.
            if (value.number >= 0 && value.number < kSmallIntegers &&
                value.number == static_cast<int>(value.number)) {
                TextId& id = smallIntegers_[static_cast<int>(value.number)];
                if (id == kUnset)
                    id = pool_.intern(numberText(value.number, decimalSeparator_));
                return id;
            }
            const auto bits = std::bit_cast<std::uint64_t>(value.number);
            if (auto found = numbers_.find(bits); found != numbers_.end())
                return found->second;
            const TextId id = pool_.intern(numberText(value.number, decimalSeparator_));
            numbers_.emplace(bits, id);
            return id;
        }
        case CellValue::Kind::Date:
            return pool_.intern(dateText(value.number));
        case CellValue::Kind::Boolean:
            return pool_.intern(booleanText(value.number != 0));
        case CellValue::Kind::Error:
            throw ReadError("cell " + cellReference(static_cast<int>(col), static_cast<int>(row)) +
                            " holds the error value " + std::string(value.text) +
                            "; correct it in the spreadsheet and load the file again");
        default:
            return pool_.intern(value.text);
        }
    }

    static constexpr int kSmallIntegers = 1024;
    static constexpr TextId kUnset = ~TextId{0};

    TextPool& pool_ = TextPool::shared();
    std::vector<TextId> smallIntegers_ = std::vector<TextId>(kSmallIntegers, kUnset);
    char decimalSeparator_ = localeDecimalSeparator();
    std::unordered_map<std::uint64_t, TextId> numbers_;
    std::vector<Entry> entries_;
    long rows_ = 0;
    long cols_ = 0;
};

} // namespace

void ReadWorkbookIntoTable(StringGrid& table, const std::string& fileName) {
    TableCollector sheet;
    readFirstSheet(fileName, sheet);
    const auto fail = [&](const std::string& why) {
        throw Error("Cannot read \"" + fileName + "\": " + why);
    };
    if (sheet.rows() == 0)
        fail("its first worksheet holds no table");
    if (sheet.rows() == 1 && sheet.cols() == 1)
        fail("its first worksheet holds a single cell, A1, and no table");
    // The table holds every cell of the used area, so the area must not outgrow the values: two
    // values at opposite corners would otherwise take gigabytes.
    const auto area =
        static_cast<std::uint64_t>(sheet.rows()) * static_cast<std::uint64_t>(sheet.cols());
    if (area > kMaxSheetCells || area > kAreaCellsPerValue.allowed(sheet.entries().size()))
        fail("its first worksheet spans " + std::to_string(sheet.rows()) + " rows and " +
             std::to_string(sheet.cols()) +
             " columns, more than Tarnwick can hold: at most 100000000 cells, and 16000000 and "
             "1000 per value (it holds " +
             std::to_string(sheet.entries().size()) + ")");

    // Rows first: the table then grows from one column to its width in a single copy.
    table.setRowCount(static_cast<int>(sheet.rows()) + 2);
    table.setColCount(static_cast<int>(sheet.cols()));
    table.clearCells();
    for (const auto& entry : sheet.entries())
        table.setCellId(static_cast<int>(entry.col), static_cast<int>(entry.row), entry.text);
}

} // namespace tarnwick
