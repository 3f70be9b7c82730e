#include "core/LocusPairs.h"

#include <string>
#include <unordered_map>

namespace tarnwick {

std::vector<LocusPair> pairLoci(const StringGrid& database, const StringGrid& search) {
    // Texts are interned, so equal headers have equal ids.
    std::unordered_map<TextId, std::vector<int>> searchColumnsByHeader;
    for (int column = kSearchFirstLocusColumn; column < search.ColCount(); ++column)
        searchColumnsByHeader[search.cellId(column, 0)].push_back(column);
    std::vector<LocusPair> pairs;
    for (int column = 0; column < database.ColCount(); ++column) {
        const auto found = searchColumnsByHeader.find(database.cellId(column, 0));
        if (found == searchColumnsByHeader.end())
            continue;
        for (int searchColumn : found->second)
            pairs.push_back({column, searchColumn});
    }
    return pairs;
}

void writeCommonLocusTable(StringGrid& table, const std::vector<LocusPair>& pairs) {
    table.clearCells();
    table.setColCount(1);
    table.setRowCount(3);
    table.setColCount(static_cast<int>(pairs.size()));
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        table.setCells(static_cast<int>(k), 0, std::to_string(pairs[k].databaseColumn));
        table.setCells(static_cast<int>(k), 1, std::to_string(pairs[k].searchColumn));
    }
}

} // namespace tarnwick
