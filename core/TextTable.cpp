#include "core/TextTable.h"

#include <algorithm>

namespace tarnwick {

void TextTable::forEachText(int col, int begin, int end,
                            const std::function<void(std::string_view)>& visit) const {
    std::string scratch;
    for (int row = std::max(begin, 0); row < std::min(end, rowCount()); ++row)
        visit(text(col, row, scratch));
}

} // namespace tarnwick
