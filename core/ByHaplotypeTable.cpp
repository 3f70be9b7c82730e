#include "core/ByHaplotypeTable.h"

#include <algorithm>

namespace tarnwick {

std::array<TextId, 6> markerSlots(const std::vector<std::int64_t>& differences,
                                  const std::vector<TextId>& locusNames, NumberTexts& numbers) {
    std::array<TextId, 6> slots{};
    int oneStepLoci = 0;
    for (std::size_t k = 0; k < differences.size(); ++k) {
        const std::int64_t difference = differences[k];
        int slot = 0; // 1 to 3 when the locus is shown
        if (difference == 1 && ++oneStepLoci <= 3)
            slot = oneStepLoci;
        else if (difference == 2 || difference == 3)
            slot = static_cast<int>(difference);
        if (slot == 0)
            continue;
        slots[2 * (slot - 1)] = locusNames[k];
        slots[2 * (slot - 1) + 1] = numbers.id(difference);
    }
    return slots;
}

ByHaplotypeTableWriter::ByHaplotypeTableWriter(const StringGrid& database, const StringGrid& search,
                                               const HaplotypeComparer& comparer)
    : database_(database), search_(search), comparer_(comparer) {
    for (const LocusPair& pair : comparer.pairs())
        locusNames_.push_back(database.cellId(pair.databaseColumn, 0));
}

void ByHaplotypeTableWriter::writeHeader(StringGrid& result) const {
    static const char* const kHeaders[kResultLeadingColumns] = {
        "sample name",           "sample comment",      "number in database", "number of steps",
        "number of common loci", "not matched marker1", "allele difference1", "not matched marker2",
        "allele difference2",    "not matched marker3", "allele difference3"};
    for (int column = 0; column < kResultLeadingColumns; ++column)
        result.setCells(column, 0, kHeaders[column]);
    const auto header = database_.rowIds(0);
    std::copy(header.begin(), header.end(), result.rowIds(0).begin() + kResultLeadingColumns);
}

void ByHaplotypeTableWriter::writeRow(StringGrid& result, int row, const Match& match) {
    const auto cells = result.rowIds(row);
    cells[0] = search_.cellId(0, match.searchRow);
    cells[1] = search_.cellId(1, match.searchRow);
    cells[2] = numbers_.id(match.databaseRow + 1);
    cells[3] = numbers_.id(match.steps);
    cells[4] = numbers_.id(match.commonLoci);
    comparer_.differences(match.searchRow, match.databaseRow, differences_);
    const auto slots = markerSlots(differences_, locusNames_, numbers_);
    std::copy(slots.begin(), slots.end(), cells.begin() + 5);
    const auto haplotype = database_.rowIds(match.databaseRow);
    std::copy(haplotype.begin(), haplotype.end(), cells.begin() + kResultLeadingColumns);
}

} // namespace tarnwick
