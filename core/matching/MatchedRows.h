#pragma once

#include "core/matching/Matching.h"
#include "core/table/HaplotypeTable.h"
#include "core/text/TextArena.h"

#include <array>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

// Reads the database rows and marker slots of matches one after the other, as a result is
// written. Matched rows lie scattered over the database, each of its columns apart, so that a row
// read in place waits on memory once per column. Where many rows are read, the database is first
// copied row by row into records (the 16-bit locus values, and where each text lies), and what a
// later match will read is fetched while earlier ones are worked on.
class MatchedRows {
public:
    // pairSteps: where the result has them (MatchResult), the steps at its pairs.
    MatchedRows(const HaplotypeTable& database, const HaplotypeTable& search,
                const std::vector<LocusPair>& pairs, std::span<const Match> matches,
                const PairSteps* pairSteps = nullptr);

    // The texts of the database row of match m, one per column, into out. The descriptive texts,
    // scattered over the database, and those made here are copied into kept.
    void cells(std::size_t m, std::span<std::string_view> out, TextArena& kept) const;
    std::array<MarkerSlot, 3> slots(std::size_t m) const;

    // Asks for the memory that cells(m) and slots(m) read, in two steps some matches ahead:
    // the row's record, then (once the record is there) its texts.
    void fetchAhead(std::size_t m) const;
    void fetchTextsAhead(std::size_t m) const;

private:
    // How a database column is read: from the record, or in place.
    struct ColumnReading {
        enum class From { Table, Narrow, Slice, Number } from = From::Table;
        std::size_t offset = 0; // in the record
        const TextColumn* texts = nullptr;
        const LocusColumn* locus = nullptr;
    };

    void planRecords();
    void planNarrowPairs();
    std::size_t narrowDifferences(const Match& match, std::int64_t* differences) const;
    std::size_t differences(const Match& match, std::int64_t* differences) const;
    void copyRecords();
    const unsigned char* record(std::uint32_t haplotype) const {
        return records_.get() + std::size_t{haplotype} * recordSize_;
    }
    std::int64_t databaseValue(std::size_t pair, std::uint32_t haplotype) const;
    std::int64_t searchValue(std::size_t pair, std::uint32_t search) const;

    const HaplotypeTable* database_;
    const HaplotypeTable* search_;
    const std::vector<LocusPair>* pairs_;
    std::span<const Match> matches_;
    const PairSteps* pairSteps_;

    std::vector<ColumnReading> reading_; // by database column
    std::size_t recordSize_ = 0;
    std::unique_ptr<unsigned char[]> records_;
    std::vector<const std::int16_t*> narrowSearch_; // each pair's search values, when 16-bit
    // Where both sides of every pair are 16-bit: each pair's place in the record.
    std::vector<std::size_t> narrowPairOffsets_;
};

} // namespace tarnwick
