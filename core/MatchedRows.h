#pragma once

#include "core/HaplotypeTable.h"
#include "core/Matching.h"

#include <array>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

// The database rows and marker slots of a stretch of matches, gathered column by column. Matched
// rows lie scattered over the database: reading one column for many of them at once keeps many
// memory reads under way together, where a row read cell by cell waits on each in turn.
class MatchedRows {
public:
    enum class Gather { SlotsOnly, CellsAndSlots };

    MatchedRows(const HaplotypeTable& database, const HaplotypeTable& search,
                const std::vector<LocusPair>& pairs, Gather what);

    // Gathers the rows of these matches, replacing what an earlier call gathered.
    void gather(std::span<const Match> matches);

    // The text of database column col in the row of the i-th match gathered.
    std::string_view cell(int col, std::size_t i) const {
        return cells_[static_cast<std::size_t>(col) * count_ + i];
    }
    const std::array<MarkerSlot, 3>& slots(std::size_t i) const { return slots_[i]; }

private:
    void gatherValues(int col);
    void gatherCells(int col);
    std::int64_t databaseValue(std::size_t pair, std::size_t i) const;
    void readSearchValues(std::uint32_t search);
    void findSlots(std::span<const Match> matches);

    const HaplotypeTable* database_;
    const HaplotypeTable* search_;
    const std::vector<LocusPair>* pairs_;
    Gather what_;
    std::vector<bool> paired_;              // by database column
    std::vector<std::uint32_t> haplotypes_; // the database haplotypes gathered
    std::size_t count_ = 0;
    std::vector<std::int64_t> values_;    // [column][i], for locus columns gathered
    std::vector<std::string_view> cells_; // [column][i]
    std::deque<std::string> formatted_;   // the texts of values too large for the table of them
    std::uint32_t valuesOfSearch_ = 0;
    bool haveSearchValues_ = false;
    std::vector<std::int64_t> searchValues_; // of one search haplotype, by pair
    std::vector<std::int64_t> differences_;
    std::vector<std::array<MarkerSlot, 3>> slots_;
};

} // namespace tarnwick
