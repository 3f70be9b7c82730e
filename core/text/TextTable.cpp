#include "core/text/TextTable.h"

#include <algorithm>
#include <vector>

namespace tarnwick {

void TextTable::forEachText(int col, int begin, int end,
                            const std::function<void(std::string_view)>& visit) const {
    std::string scratch;
    for (int row = std::max(begin, 0); row < std::min(end, rowCount()); ++row)
        visit(text(col, row, scratch));
}

void TextTable::forEachRow(int begin, int end, const RowVisitor& visit) const {
    const auto columns = static_cast<std::size_t>(std::max(columnCount(), 0));
    std::vector<std::string> scratch(columns);
    std::vector<std::string_view> cells(columns);
    for (int row = std::max(begin, 0); row < std::min(end, rowCount()); ++row) {
        for (std::size_t col = 0; col < columns; ++col)
            cells[col] = text(static_cast<int>(col), row, scratch[col]);
        visit(cells);
    }
}

} // namespace tarnwick
