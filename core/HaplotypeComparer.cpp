#include "core/HaplotypeComparer.h"

#include "core/IntegerText.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tarnwick {
namespace {

std::int64_t absoluteDifference(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

// Pairs ordered by how many distinct values the database holds there, most first: a comparison
// that stops after its first block then decides most haplotypes.
std::vector<std::size_t> mostVariableFirst(const std::vector<std::int64_t>& values,
                                           std::size_t width) {
    std::vector<std::size_t> order(width);
    std::vector<std::size_t> distinct(width);
    for (std::size_t k = 0; k < width; ++k) {
        order[k] = k;
        std::unordered_set<std::int64_t> seen;
        for (std::size_t i = k; i < values.size(); i += width)
            seen.insert(values[i]);
        distinct[k] = seen.size();
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return distinct[a] > distinct[b]; });
    return order;
}

} // namespace

HaplotypeComparer::HaplotypeComparer(const StringGrid& database, const StringGrid& search,
                                     std::vector<LocusPair> pairs)
    : database_(database), search_(search), pairs_(std::move(pairs)),
      databaseHaplotypes_(std::max(database.RowCount() - 3, 0)),
      databaseValues_(static_cast<std::size_t>(databaseHaplotypes_) * pairs_.size(), kUntyped),
      faults_(pairs_.size()) {
    // Distinct texts are few (repeat counts), so each is converted once.
    std::unordered_map<TextId, std::optional<std::int32_t>> converted;
    const std::size_t width = pairs_.size();
    for (std::size_t k = 0; k < width; ++k) {
        const int column = pairs_[k].databaseColumn;
        ColumnFaults& faults = faults_[k];
        for (int row = 1; row <= databaseHaplotypes_; ++row) {
            const TextId id = database.cellId(column, row);
            if (id == kEmptyText)
                continue;
            if (faults.firstTypedRow < 0)
                faults.firstTypedRow = row;
            auto [entry, inserted] = converted.try_emplace(id);
            if (inserted)
                entry->second = tryParseIntegerText(TextPool::shared().text(id));
            if (!entry->second) {
                if (faults.firstInvalidRow < 0)
                    faults.firstInvalidRow = row;
                continue;
            }
            databaseValues_[static_cast<std::size_t>(row - 1) * width + k] = *entry->second;
        }
    }
    // A search text that is not integer text stays untyped here: checkConvertible raises its
    // error before any comparison would read it.
    const int searchHaplotypes = std::max(search.RowCount() - 3, 0);
    searchValues_.assign(static_cast<std::size_t>(searchHaplotypes) * width, kUntyped);
    for (int row = 1; row <= searchHaplotypes; ++row)
        for (std::size_t k = 0; k < width; ++k)
            if (const auto value = tryParseIntegerText(search.Cells(pairs_[k].searchColumn, row)))
                searchValues_[static_cast<std::size_t>(row - 1) * width + k] = *value;
    const auto order = mostVariableFirst(databaseValues_, width);
    compactDatabase_ = CompactHaplotypes::tryMake(databaseValues_, width, kUntyped, order);
    compactSearch_ = CompactHaplotypes::tryMake(searchValues_, width, kUntyped, order);
}

void HaplotypeComparer::checkConvertible(int searchRow) const {
    // A pair is read at a database row when both cells are non-empty; the search cell first.
    int firstRow = -1;
    const std::string* firstText = nullptr;
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
        const std::string& searchText = search_.Cells(pairs_[k].searchColumn, searchRow);
        if (searchText.empty())
            continue;
        int row = -1;
        const std::string* text = nullptr;
        if (!isIntegerText(searchText)) {
            row = faults_[k].firstTypedRow;
            text = &searchText;
        } else if (faults_[k].firstInvalidRow >= 0) {
            row = faults_[k].firstInvalidRow;
            text = &database_.Cells(pairs_[k].databaseColumn, row);
        }
        // Pairs are visited in order, so a later pair wins only at an earlier row.
        if (row >= 0 && (firstRow < 0 || row < firstRow)) {
            firstRow = row;
            firstText = text;
        }
    }
    if (firstText)
        parseIntegerText(*firstText); // throws the rule's own message
}

void HaplotypeComparer::findMatches(int firstSearchRow, std::int64_t limit,
                                    std::vector<std::vector<Match>>& matches) const {
    for (auto& list : matches)
        list.clear();
    if (limit < 0)
        return; // a haplotype with a common locus has at least 0 steps
    if (!compactDatabase_ || !compactSearch_) {
        for (std::size_t i = 0; i < matches.size(); ++i)
            findMatchesOneByOne(firstSearchRow + static_cast<int>(i), limit, matches[i]);
        return;
    }
    const std::size_t stride = compactDatabase_->stride();
    const auto clampedLimit = static_cast<std::int32_t>(std::min<std::int64_t>(limit, INT32_MAX));
    for (int row = 1; row <= databaseHaplotypes_; ++row) {
        const std::int16_t* haplotype = compactDatabase_->row(static_cast<std::size_t>(row - 1));
        for (std::size_t i = 0; i < matches.size(); ++i) {
            const int searchRow = firstSearchRow + static_cast<int>(i);
            const auto distance = CompactHaplotypes::distance(
                compactSearch_->row(static_cast<std::size_t>(searchRow - 1)), haplotype, stride,
                clampedLimit);
            if (distance.commonLoci > 0 && distance.steps <= limit)
                matches[i].push_back({searchRow, row, distance.steps, distance.commonLoci});
        }
    }
}

void HaplotypeComparer::findMatchesOneByOne(int searchRow, std::int64_t limit,
                                            std::vector<Match>& matches) const {
    struct ActivePair {
        std::size_t pair;
        std::int64_t value;
    };
    const std::int64_t* values = searchValues(searchRow);
    std::vector<ActivePair> active;
    for (std::size_t k = 0; k < pairs_.size(); ++k)
        if (values[k] != kUntyped)
            active.push_back({k, values[k]});
    if (active.empty())
        return;
    const std::size_t width = pairs_.size();
    for (int row = 1; row <= databaseHaplotypes_; ++row) {
        const std::int64_t* haplotype =
            databaseValues_.data() + static_cast<std::size_t>(row - 1) * width;
        std::int64_t steps = 0;
        int common = 0;
        bool within = true;
        for (const ActivePair& pair : active) {
            const std::int64_t value = haplotype[pair.pair];
            if (value == kUntyped)
                continue;
            ++common;
            steps += absoluteDifference(pair.value, value);
            if (steps > limit) {
                within = false; // steps only grow: the rest cannot bring it back
                break;
            }
        }
        if (within && common > 0)
            matches.push_back({searchRow, row, steps, common});
    }
}

void HaplotypeComparer::differences(int searchRow, int databaseRow,
                                    std::vector<std::int64_t>& result) const {
    const std::int64_t* values = searchValues(searchRow);
    result.assign(pairs_.size(), kUntyped);
    for (std::size_t k = 0; k < result.size(); ++k) {
        const std::int64_t value = databaseValue(databaseRow, k);
        if (values[k] != kUntyped && value != kUntyped)
            result[k] = absoluteDifference(values[k], value);
    }
}

} // namespace tarnwick
