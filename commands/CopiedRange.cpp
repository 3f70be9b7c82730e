#include "commands/CopiedRange.h"

#include "io/DelimitedTextWriter.h"

#include <sstream>

namespace tarnwick {
namespace {

// The block seen as a table of its own.
class RangeOfTable : public TextTable {
public:
    RangeOfTable(const TextTable& table, CellRange range) : table_(table), range_(range) {}

    int columnCount() const override { return range_.lastCol - range_.firstCol + 1; }
    int rowCount() const override { return range_.lastRow - range_.firstRow + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override {
        return table_.text(range_.firstCol + col, range_.firstRow + row, scratch);
    }

private:
    const TextTable& table_;
    CellRange range_;
};

} // namespace

std::string tabSeparatedText(const TextTable& table, CellRange range) {
    const RangeOfTable block(table, range);
    std::ostringstream out;
    writeDelimitedText(out, block, block.rowCount(), TextTableFormat::Tsv);
    return out.str();
}

} // namespace tarnwick
