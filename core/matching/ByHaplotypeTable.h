#pragma once

#include "core/matching/Matching.h"
#include "core/table/HaplotypeTable.h"
#include "core/text/TextArena.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

class MatchedRows;

// Columns of the by-haplotype table before the copied database row.
inline constexpr int kResultLeadingColumns = 11;
inline constexpr int kResultStepsColumn = 3;
inline constexpr int kResultPopulationColumn = kResultLeadingColumns + 1; // database column 1

// The matches as the by-haplotype table shows them, made when shown or written: a header row,
// then one row per match in the result's order: sample name and comment, its number in the
// database (its row on the database's sheet), number of steps and of common loci, up to three
// differing loci with their difference, then the whole database row.
class ByHaplotypeTable : public TextTable {
public:
    ByHaplotypeTable(std::shared_ptr<const HaplotypeTable> database,
                     std::shared_ptr<const HaplotypeTable> search,
                     std::shared_ptr<const MatchResult> result);

    int columnCount() const override { return database_->columns() + kResultLeadingColumns; }
    int rowCount() const override { return static_cast<int>(result_->matches.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;
    void forEachText(int col, int begin, int end,
                     const std::function<void(std::string_view)>& visit) const override;
    void forEachRow(int begin, int end, const RowVisitor& visit) const override;

    const MatchResult& result() const { return *result_; }
    const HaplotypeTable& database() const { return *database_; }

private:
    // Rows with their texts, made ready to be visited.
    struct ReadyRows {
        std::size_t columns = 0;
        std::size_t count = 0;
        std::vector<std::string_view> cells; // row after row
        TextArena texts;                     // those not kept by the tables
        std::span<const std::string_view> row(std::size_t i) const {
            return std::span(cells).subspan(i * columns, columns);
        }
    };

    const std::array<MarkerSlot, 3>& slotsOf(std::size_t match) const;
    std::string_view pairTitle(int pair) const;
    // Rows of matches first to last - 1; rows reads the matches from rowsFirst on.
    void prepareRows(const MatchedRows& rows, std::size_t rowsFirst, std::size_t first,
                     std::size_t last, ReadyRows& ready) const;

    std::shared_ptr<const HaplotypeTable> database_;
    std::shared_ptr<const HaplotypeTable> search_;
    std::shared_ptr<const MatchResult> result_;
    mutable std::vector<std::array<MarkerSlot, 3>> slots_; // made on first use, for all rows
};

} // namespace tarnwick
