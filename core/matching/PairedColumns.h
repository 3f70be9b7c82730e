#pragma once

// The paired columns of a database and a search table as the comparison reads them: each column's
// integer values read once, and the comparison of haplotypes at them.

#include "core/matching/LocusPairs.h"
#include "core/matching/Matching.h"
#include "core/matching/kernel/ByteKernel.h"
#include "core/matching/kernel/MatchKernel.h"
#include "core/table/HaplotypeTable.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

inline bool isTypedValue(std::int64_t value) {
    return value != LocusColumn::kUntyped && value != LocusColumn::kNotInteger;
}

// The integer values of one paired column: a locus column's own, a descriptive column's texts
// read by the integer text rule, once.
class ColumnValues {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    ColumnValues(const HaplotypeTable& table, int col);

    // The value of a haplotype, LocusColumn::kUntyped or kNotInteger.
    std::int64_t operator[](std::size_t h) const { return locus_ ? locus_->value(h) : parsed_[h]; }
    std::string text(std::size_t h) const;
    // The values in 16 bits, when a locus column holds them so.
    const LocusColumn* narrowLocus() const {
        return locus_ && locus_->isNarrow() ? locus_ : nullptr;
    }
    // Whether every value fits the kernel's 16-bit lanes.
    bool fitsNarrow() const;

    std::size_t firstTyped = kNone;      // first haplotype with a value or a text
    std::size_t firstNotInteger = kNone; // first haplotype whose text is no integer

private:
    const HaplotypeTable* table_;
    int col_;
    const LocusColumn* locus_ = nullptr;
    std::vector<std::int64_t> parsed_;
};

// Matches of a run of search haplotypes, each one's in database order: those of the i-th end at
// ends[i].
struct MatchesBySearch {
    std::vector<Match> matches;
    std::vector<std::size_t> ends;
};

// The paired columns of both tables and the comparison of their haplotypes: in the kernel's
// 16-bit blocks where every value fits, else one by one in 64 bits.
class PairedColumns {
public:
    PairedColumns(const HaplotypeTable& database, const HaplotypeTable& search,
                  const std::vector<LocusPair>& pairs);

    std::size_t pairCount() const { return pairs_.size(); }
    std::size_t databaseHaplotypes() const { return databaseHaplotypes_; }
    std::int64_t databaseValue(std::size_t h, std::size_t pair) const {
        return columns_[pairs_[pair].database][h];
    }
    std::int64_t searchValue(std::size_t s, std::size_t pair) const {
        return columns_[pairs_[pair].search][s];
    }
    const ColumnValues& databaseColumn(std::size_t pair) const {
        return columns_[pairs_[pair].database];
    }

    // The error a comparison of this search haplotype would meet first (database haplotypes in
    // order, pairs in order, the search cell read before the database cell), if any.
    std::optional<std::string> conversionFailure(std::size_t s) const;

    // Whether the kernel can compare: every paired value in 16 bits and the limit below its
    // saturation. Makes its blocks on first use.
    bool useKernel(std::int64_t limit);

    // The matches of search haplotypes first to first + matches.size() - 1, each in database
    // order. The kernel reads each block of the database once for all of them. Without
    // needCommon, haplotypes with no typed locus in common are listed too (with 0 steps).
    void findMatches(std::size_t first, std::int64_t limit,
                     std::vector<std::vector<Match>>& matches, bool needCommon = true) const;

private:
    struct ColumnsOfPair {
        std::size_t database;
        std::size_t search;
    };

    std::size_t distinctValues(std::size_t pair) const;
    // The smallest and largest value the database has at a pair, if any.
    std::optional<std::pair<std::int16_t, std::int16_t>> typedRange(std::size_t pair) const;
    void makeBlocks(std::int64_t limit);
    template <typename Blocks, typename Lane> void fillBlocks(Blocks& blocks, Lane lane) const;
    SearchLoci searchLoci(std::size_t s) const;
    void findMatchesOneByOne(std::size_t s, std::int64_t limit, bool needCommon,
                             std::vector<Match>& matches) const;

    std::size_t databaseHaplotypes_;
    std::vector<ColumnValues> columns_;
    std::vector<ColumnsOfPair> pairs_;
    std::vector<std::size_t> order_; // the blocks' loci as pairs
    std::optional<LocusBlocks> blocks_;
    std::optional<ByteBlocks> byteBlocks_;
};

// Turns the candidates the comparison found for search haplotype s (database haplotypes within
// the limit at the columns compared, common locus or not) into its matches.
using Refinement = std::function<void(std::size_t s, std::vector<Match>& candidates)>;

// The matches of the first `comparable` search haplotypes (of `total`), compared in batches on
// the machine's cores; without refine, those with a common locus.
MatchesBySearch compareAll(const PairedColumns& columns, std::size_t comparable, std::size_t total,
                           std::int64_t limit, const MatchProgress& progress,
                           const Refinement& refine = {});

// The order the selection sort, repeated after each search haplotype, leaves the matches in.
std::vector<Match> inSortedOrder(const MatchesBySearch& comparisons);

} // namespace tarnwick
