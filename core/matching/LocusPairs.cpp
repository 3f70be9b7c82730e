#include "core/matching/LocusPairs.h"

#include <string_view>
#include <unordered_map>

namespace tarnwick {

std::vector<LocusPair> pairLoci(const HaplotypeTable& database, const HaplotypeTable& search) {
    std::unordered_map<std::string_view, std::vector<int>> searchColumnsByTitle;
    for (int column = search.layout().firstLocusColumn; column < search.columns(); ++column)
        searchColumnsByTitle[search.title(column)].push_back(column);
    std::vector<LocusPair> pairs;
    for (int column = 0; column < database.columns(); ++column) {
        const auto found = searchColumnsByTitle.find(database.title(column));
        if (found == searchColumnsByTitle.end())
            continue;
        for (int searchColumn : found->second)
            pairs.push_back({column, searchColumn});
    }
    return pairs;
}

} // namespace tarnwick
