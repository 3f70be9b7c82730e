#include "core/ByHaplotypeTable.h"

#include "core/DecimalText.h"
#include "core/MatchedRows.h"

#include <algorithm>
#include <unordered_set>

namespace tarnwick {
namespace {

constexpr const char* kHeaders[kResultLeadingColumns] = {
    "sample name",           "sample comment",      "number in database", "number of steps",
    "number of common loci", "not matched marker1", "allele difference1", "not matched marker2",
    "allele difference2",    "not matched marker3", "allele difference3"};

// Matches whose database rows are gathered at once: enough to keep many reads under way, few
// enough for the gathered cells to stay in the cache until they are written.
constexpr std::size_t kStretch = 2048;

} // namespace

ByHaplotypeTable::ByHaplotypeTable(std::shared_ptr<const HaplotypeTable> database,
                                   std::shared_ptr<const HaplotypeTable> search,
                                   std::shared_ptr<const MatchResult> result)
    : database_(std::move(database)), search_(std::move(search)), result_(std::move(result)) {}

const std::array<MarkerSlot, 3>& ByHaplotypeTable::slotsOf(std::size_t match) const {
    if (slots_.empty()) {
        const auto& matches = result_->matches;
        slots_.resize(matches.size());
        MatchedRows rows(*database_, *search_, result_->pairs, MatchedRows::Gather::SlotsOnly);
        for (std::size_t first = 0; first < matches.size(); first += kStretch) {
            const std::size_t count = std::min(kStretch, matches.size() - first);
            rows.gather(std::span(matches).subspan(first, count));
            for (std::size_t i = 0; i < count; ++i)
                slots_[first + i] = rows.slots(i);
        }
    }
    return slots_[match];
}

std::string_view ByHaplotypeTable::text(int col, int row, std::string& scratch) const {
    if (col < 0 || col >= columnCount() || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return col < kResultLeadingColumns ? std::string_view(kHeaders[col])
                                           : database_->title(col - kResultLeadingColumns);
    const auto index = static_cast<std::size_t>(row - 1);
    const Match& match = result_->matches[index];
    switch (col) {
    case 0:
    case 1:
        return search_->cell(col, match.search, scratch);
    case 2:
        return decimalText(static_cast<std::int64_t>(match.database) + 2, scratch);
    case 3:
        return decimalText(match.steps, scratch);
    case 4:
        return decimalText(match.commonLoci, scratch);
    default:
        break;
    }
    if (col < kResultLeadingColumns) {
        const MarkerSlot& slot = slotsOf(index)[static_cast<std::size_t>(col - 5) / 2];
        if (slot.pair < 0)
            return {};
        if ((col - 5) % 2 == 1)
            return decimalText(slot.difference, scratch);
        return database_->title(result_->pairs[static_cast<std::size_t>(slot.pair)].databaseColumn);
    }
    return database_->cell(col - kResultLeadingColumns, match.database, scratch);
}

void ByHaplotypeTable::forEachText(int col, int begin, int end,
                                   const std::function<void(std::string_view)>& visit) const {
    begin = std::max(begin, 0);
    end = std::min(end, rowCount());
    if (col < 0 || col >= columnCount() || begin >= end)
        return;
    std::string scratch;
    if (begin == 0)
        visit(text(col, 0, scratch));
    const auto first = static_cast<std::size_t>(std::max(begin, 1) - 1);
    const auto last = static_cast<std::size_t>(end - 1);
    const auto& matches = result_->matches;
    if (col == 2 || col >= kResultLeadingColumns) {
        // The database's own cells, for the haplotypes matched.
        if (col == 2) {
            for (std::size_t i = first; i < last; ++i)
                visit(text(col, static_cast<int>(i) + 1, scratch));
            return;
        }
        std::vector<bool> matched(database_->haplotypes(), false);
        for (std::size_t i = first; i < last; ++i)
            matched[matches[i].database] = true;
        database_->forEachTextOf(col - kResultLeadingColumns, matched, visit);
        return;
    }
    // The rest repeat few texts: each distinct one once, found by what it is made of.
    std::unordered_set<std::int64_t> seen;
    for (std::size_t i = first; i < last; ++i) {
        const Match& match = matches[i];
        std::int64_t key = 0;
        if (col < 2) {
            key = match.search;
        } else if (col == 3) {
            key = match.steps;
        } else if (col == 4) {
            key = match.commonLoci;
        } else {
            const MarkerSlot& slot = slotsOf(i)[static_cast<std::size_t>(col - 5) / 2];
            key = (col - 5) % 2 == 1 ? slot.difference : slot.pair;
        }
        if (seen.insert(key).second)
            visit(text(col, static_cast<int>(i) + 1, scratch));
    }
}

void ByHaplotypeTable::forEachRow(int begin, int end, const RowVisitor& visit) const {
    begin = std::max(begin, 0);
    end = std::min(end, rowCount());
    if (begin >= end)
        return;
    std::vector<std::string_view> cells(static_cast<std::size_t>(columnCount()));
    std::array<std::string, kResultLeadingColumns> scratch;
    if (begin == 0) {
        for (int col = 0; col < columnCount(); ++col)
            cells[static_cast<std::size_t>(col)] = text(col, 0, scratch[0]);
        visit(cells);
        ++begin;
    }
    const auto& matches = result_->matches;
    MatchedRows rows(*database_, *search_, result_->pairs, MatchedRows::Gather::CellsAndSlots);
    const auto last = static_cast<std::size_t>(end - 1);
    for (auto first = static_cast<std::size_t>(begin - 1); first < last; first += kStretch) {
        const std::size_t count = std::min(kStretch, last - first);
        rows.gather(std::span(matches).subspan(first, count));
        for (std::size_t i = 0; i < count; ++i) {
            const Match& match = matches[first + i];
            cells[0] = search_->cell(0, match.search, scratch[0]);
            cells[1] = search_->cell(1, match.search, scratch[1]);
            cells[2] = decimalText(static_cast<std::int64_t>(match.database) + 2, scratch[2]);
            cells[3] = decimalText(match.steps, scratch[3]);
            cells[4] = decimalText(match.commonLoci, scratch[4]);
            for (std::size_t s = 0; s < 3; ++s) {
                const MarkerSlot& slot = rows.slots(i)[s];
                const std::size_t col = 5 + 2 * s;
                if (slot.pair < 0) {
                    cells[col] = cells[col + 1] = {};
                    continue;
                }
                cells[col] = database_->title(
                    result_->pairs[static_cast<std::size_t>(slot.pair)].databaseColumn);
                cells[col + 1] = decimalText(slot.difference, scratch[col + 1]);
            }
            for (int col = 0; col < database_->columns(); ++col)
                cells[kResultLeadingColumns + static_cast<std::size_t>(col)] = rows.cell(col, i);
            visit(cells);
        }
    }
}

} // namespace tarnwick
