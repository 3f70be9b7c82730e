#pragma once

#include "core/HaplotypeComparer.h"
#include "core/NumberTexts.h"
#include "core/StringGrid.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarnwick {

// Columns of the by-haplotype result table before the copied database row.
inline constexpr int kResultLeadingColumns = 11;
inline constexpr int kResultStepsColumn = 3;
inline constexpr int kResultPopulationColumn = kResultLeadingColumns + 1;

// Columns 5 to 10: up to three differing loci (name, difference). One-step loci fill the slots in
// pair order; a two-step locus takes slot 2 and a three-step locus slot 3; later writes replace
// earlier ones and larger differences are not shown.
std::array<TextId, 6> markerSlots(const std::vector<std::int64_t>& differences,
                                  const std::vector<TextId>& locusNames, NumberTexts& numbers);

// Writes the result rows in the given order into rows 1 to matches.size(), and the header row.
class ByHaplotypeTableWriter {
public:
    ByHaplotypeTableWriter(const StringGrid& database, const StringGrid& search,
                           const HaplotypeComparer& comparer);

    void writeHeader(StringGrid& result) const;
    void writeRow(StringGrid& result, int row, const Match& match);

private:
    const StringGrid& database_;
    const StringGrid& search_;
    const HaplotypeComparer& comparer_;
    std::vector<TextId> locusNames_; // database header of each pair
    std::vector<std::int64_t> differences_;
    NumberTexts numbers_;
};

} // namespace tarnwick
