#pragma once

#include "core/StringGrid.h"

#include <vector>

namespace tarnwick {

// A database column and a search locus column whose header texts are equal.
struct LocusPair {
    int databaseColumn;
    int searchColumn;
    bool operator==(const LocusPair&) const = default;
};

inline constexpr int kSearchFirstLocusColumn = 2;
inline constexpr int kDatabaseFirstLocusColumn = 7;

// Pairs in the order the comparison uses: database columns outer (every column, descriptive ones
// included), search locus columns inner. A header repeated on either side pairs once per copy.
std::vector<LocusPair> pairLoci(const StringGrid& database, const StringGrid& search);

// The common-locus table: pair k in column k, database column in row 0, search column in row 1.
void writeCommonLocusTable(StringGrid& table, const std::vector<LocusPair>& pairs);

} // namespace tarnwick
