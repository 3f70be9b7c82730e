#pragma once

#include "core/table/HaplotypeTable.h"

#include <vector>

namespace tarnwick {

// A database column and a search locus column whose titles are equal.
struct LocusPair {
    int databaseColumn;
    int searchColumn;
    bool operator==(const LocusPair&) const = default;
};

// Pairs in the order the comparison uses: database columns outer (every column, descriptive ones
// included), search locus columns inner. Titles are compared whole, exactly; a title repeated on
// either side pairs once per copy.
std::vector<LocusPair> pairLoci(const HaplotypeTable& database, const HaplotypeTable& search);

} // namespace tarnwick
