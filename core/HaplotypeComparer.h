#pragma once

#include "core/CompactHaplotypes.h"
#include "core/LocusPairs.h"
#include "core/StringGrid.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace tarnwick {

// One database haplotype within the step limit of one search haplotype.
struct Match {
    int searchRow;
    int databaseRow;
    std::int64_t steps;
    int commonLoci;
};

// Compares haplotypes on integers converted once, instead of on cell texts. A pair is compared
// only where both haplotypes have a value; steps are summed in 64 bits.
class HaplotypeComparer {
public:
    static constexpr std::int64_t kUntyped = std::numeric_limits<std::int64_t>::min();

    HaplotypeComparer(const StringGrid& database, const StringGrid& search,
                      std::vector<LocusPair> pairs);

    const std::vector<LocusPair>& pairs() const { return pairs_; }
    int databaseHaplotypes() const { return databaseHaplotypes_; }

    // Raises the conversion error a comparison of this search haplotype would meet first (cells
    // in database order, pairs in order), so that nothing of it is half done.
    void checkConvertible(int searchRow) const;

    // The matches of search rows first to first + matches.size() - 1, each in database order.
    // Several search haplotypes are compared in one pass over the database.
    void findMatches(int firstSearchRow, std::int64_t limit,
                     std::vector<std::vector<Match>>& matches) const;

    // Absolute difference at each pair, or kUntyped where either haplotype has no value.
    void differences(int searchRow, int databaseRow, std::vector<std::int64_t>& result) const;

private:
    void findMatchesOneByOne(int searchRow, std::int64_t limit, std::vector<Match>& matches) const;

    struct ColumnFaults {
        int firstTypedRow = -1;   // first row with a non-empty cell
        int firstInvalidRow = -1; // first row with a non-empty cell that is not integer text
    };

    const std::int64_t* searchValues(int searchRow) const {
        return searchValues_.data() + static_cast<std::size_t>(searchRow - 1) * pairs_.size();
    }
    std::int64_t databaseValue(int databaseRow, std::size_t pair) const {
        return databaseValues_[static_cast<std::size_t>(databaseRow - 1) * pairs_.size() + pair];
    }

    const StringGrid& database_;
    const StringGrid& search_;
    std::vector<LocusPair> pairs_;
    int databaseHaplotypes_;
    std::vector<std::int64_t> databaseValues_; // row-major: one value per pair per haplotype
    std::vector<std::int64_t> searchValues_;   // the same for the search haplotypes
    std::vector<ColumnFaults> faults_;         // per pair
    std::optional<CompactHaplotypes> compactDatabase_;
    std::optional<CompactHaplotypes> compactSearch_;
};

} // namespace tarnwick
