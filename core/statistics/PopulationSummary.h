#pragma once

#include "core/matching/Matching.h"
#include "core/table/HaplotypeTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

// One population of a database: its haplotypes, and the matches that fall into it with 0, 1, 2
// and 3 steps (a database haplotype matched by two search haplotypes counts twice).
struct PopulationRow {
    std::string population;
    std::int64_t sampleSize = 0;
    std::array<std::int64_t, 4> bySteps{};
    bool operator==(const PopulationRow&) const = default;
};

// A population is a text of the database's population column; the empty text and "0" are none.
bool isPopulation(std::string_view text);

// The populations of a database in the order they first occur, and each haplotype's (-1: none).
struct PopulationIndex {
    std::vector<std::string> names;
    std::vector<int> ofHaplotype;
};
PopulationIndex populationIndex(const HaplotypeTable& database);

// A match as the summary counts it: the population of the database haplotype, and the steps.
struct PopulationMatch {
    std::string population;
    std::int64_t steps;
};
std::vector<PopulationMatch> populationMatches(const HaplotypeTable& database,
                                               const std::vector<Match>& matches);

// Every population of the database: first those with matches (whatever their steps), in the
// order they first occur among the matches, then the others in the order they first occur in
// the database.
struct PopulationSummary {
    std::vector<PopulationRow> rows;
    std::size_t withMatches = 0; // the first rows
};
PopulationSummary summariseByPopulation(const HaplotypeTable& database,
                                        const std::vector<PopulationMatch>& matches);

// Those rows as a table: a header row, then population name, comments (always empty), N and the
// four counts.
class ByPopulationTable : public TextTable {
public:
    static constexpr int kColumns = 7;
    explicit ByPopulationTable(std::vector<PopulationRow> rows) : rows_(std::move(rows)) {}

    static std::string_view header(int col);

    int columnCount() const override { return kColumns; }
    int rowCount() const override { return static_cast<int>(rows_.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::vector<PopulationRow> rows_;
};

} // namespace tarnwick
