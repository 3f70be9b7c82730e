#include "core/matching/ByHaplotypeTable.h"

#include "core/matching/MatchedRows.h"
#include "core/text/DecimalText.h"

#include <algorithm>
#include <future>
#include <unordered_set>

namespace tarnwick {
namespace {

constexpr const char* kHeaders[kResultLeadingColumns] = {
    "sample name",           "sample comment",      "number in database", "number of steps",
    "number of common loci", "not matched marker1", "allele difference1", "not matched marker2",
    "allele difference2",    "not matched marker3", "allele difference3"};

// How many matches ahead of the one read their rows are fetched from memory.
constexpr std::size_t kAhead = 16;
// Rows made ready at a time.
constexpr std::size_t kStretch = 2048;

} // namespace

ByHaplotypeTable::ByHaplotypeTable(std::shared_ptr<const HaplotypeTable> database,
                                   std::shared_ptr<const HaplotypeTable> search,
                                   std::shared_ptr<const MatchResult> result)
    : database_(std::move(database)), search_(std::move(search)), result_(std::move(result)) {}

std::string_view ByHaplotypeTable::pairTitle(int pair) const {
    const auto index = static_cast<std::size_t>(pair);
    if (index < result_->pairTitles.size())
        return result_->pairTitles[index];
    return database_->title(result_->pairs[index].databaseColumn);
}

const std::array<MarkerSlot, 3>& ByHaplotypeTable::slotsOf(std::size_t match) const {
    if (slots_.empty()) {
        const auto& matches = result_->matches;
        slots_.reserve(matches.size());
        MatchedRows rows(*database_, *search_, result_->pairs, matches, result_->pairSteps.get());
        for (std::size_t m = 0; m < matches.size(); ++m) {
            rows.fetchAhead(m + kAhead);
            slots_.push_back(rows.slots(m));
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
        return pairTitle(slot.pair);
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
    if (begin == 0) {
        std::vector<std::string_view> titles(static_cast<std::size_t>(columnCount()));
        std::string scratch;
        for (int col = 0; col < columnCount(); ++col)
            titles[static_cast<std::size_t>(col)] = text(col, 0, scratch);
        visit(titles);
        if (++begin == end)
            return;
    }
    const auto first = static_cast<std::size_t>(begin - 1);
    const auto last = static_cast<std::size_t>(end - 1);
    const MatchedRows rows(*database_, *search_, result_->pairs,
                           std::span(result_->matches).subspan(first, last - first),
                           result_->pairSteps.get());
    // A stretch of rows is made ready on a second thread while the last one is visited.
    const std::size_t stretches = (last - first + kStretch - 1) / kStretch;
    std::array<ReadyRows, 2> ready;
    const auto prepare = [&](std::size_t stretch) {
        const std::size_t from = first + stretch * kStretch;
        prepareRows(rows, first, from, std::min(from + kStretch, last), ready[stretch % 2]);
    };
    std::future<void> next;
    if (stretches > 1)
        next = std::async(std::launch::async, prepare, 0);
    else
        prepare(0);
    for (std::size_t stretch = 0; stretch < stretches; ++stretch) {
        if (next.valid())
            next.get();
        if (stretch + 1 < stretches)
            next = std::async(std::launch::async, prepare, stretch + 1);
        const ReadyRows& rowsReady = ready[stretch % 2];
        for (std::size_t i = 0; i < rowsReady.count; ++i)
            visit(rowsReady.row(i));
    }
}

void ByHaplotypeTable::prepareRows(const MatchedRows& rows, std::size_t rowsFirst,
                                   std::size_t first, std::size_t last, ReadyRows& ready) const {
    const auto columns = static_cast<std::size_t>(columnCount());
    ready.columns = columns;
    ready.count = last - first;
    ready.cells.resize(columns * ready.count);
    ready.texts.clear();
    std::string scratch;
    // A text made in scratch is kept with the rows; the others live in the tables.
    const auto keep = [&](std::string_view text) {
        return text.data() == scratch.data() ? ready.texts.keep(text) : text;
    };
    for (std::size_t m = first; m < last; ++m) {
        rows.fetchAhead(m - rowsFirst + kAhead);
        rows.fetchTextsAhead(m - rowsFirst + kAhead / 2);
        const Match& match = result_->matches[m];
        const std::span<std::string_view> cells =
            std::span(ready.cells).subspan((m - first) * columns, columns);
        cells[0] = keep(search_->cell(0, match.search, scratch));
        cells[1] = keep(search_->cell(1, match.search, scratch));
        cells[2] = keep(decimalText(static_cast<std::int64_t>(match.database) + 2, scratch));
        cells[3] = keep(decimalText(match.steps, scratch));
        cells[4] = keep(decimalText(match.commonLoci, scratch));
        const auto slots = rows.slots(m - rowsFirst);
        for (std::size_t s = 0; s < 3; ++s) {
            const MarkerSlot& slot = slots[s];
            const std::size_t col = 5 + 2 * s;
            if (slot.pair < 0) {
                cells[col] = cells[col + 1] = {};
                continue;
            }
            cells[col] = pairTitle(slot.pair);
            cells[col + 1] = keep(decimalText(slot.difference, scratch));
        }
        rows.cells(m - rowsFirst, cells.subspan(kResultLeadingColumns), ready.texts);
    }
}

} // namespace tarnwick
