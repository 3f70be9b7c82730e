#include "core/Matching.h"

#include "core/CompactHaplotypes.h"
#include "core/IntegerText.h"
#include "core/LocusCells.h"
#include "core/SelectionSortOrder.h"

#include <algorithm>
#include <thread>
#include <unordered_map>

namespace tarnwick {
namespace {

constexpr std::int64_t kUntyped = LocusColumn::kUntyped;
constexpr std::int64_t kNotInteger = LocusColumn::kNotInteger;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::int64_t absoluteDifference(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

// The integer values of one paired column: a locus column's own, a descriptive column's texts
// read by the integer text rule, once.
class ColumnValues {
public:
    ColumnValues(const HaplotypeTable& table, int col) : table_(table), col_(col) {
        if (table.isLocusColumn(col)) {
            locus_ = &table.locusColumn(col);
        } else {
            parsed_.resize(table.haplotypes(), kUntyped);
            std::string scratch;
            for (std::size_t h = 0; h < table.haplotypes(); ++h) {
                const auto cell = IntegerCell::read(table.cell(col, h, scratch));
                parsed_[h] = cell.kind == IntegerCell::Kind::Integer   ? cell.value
                             : cell.kind == IntegerCell::Kind::Untyped ? kUntyped
                                                                       : kNotInteger;
            }
        }
        for (std::size_t h = 0; h < table.haplotypes(); ++h) {
            const std::int64_t v = (*this)[h];
            if (v != kUntyped && firstTyped == kNone)
                firstTyped = h;
            if (v == kNotInteger) {
                firstNotInteger = h;
                break;
            }
        }
    }

    std::int64_t operator[](std::size_t h) const { return locus_ ? locus_->value(h) : parsed_[h]; }
    std::string text(std::size_t h) const {
        std::string scratch;
        return std::string(table_.cell(col_, h, scratch));
    }

    std::size_t firstTyped = kNone;      // first haplotype with a value or a text
    std::size_t firstNotInteger = kNone; // first haplotype whose text is no integer

private:
    const HaplotypeTable& table_;
    int col_;
    const LocusColumn* locus_ = nullptr;
    std::vector<std::int64_t> parsed_;
};

// The paired columns of both tables, each read once, and the comparison of their haplotypes.
class Comparer {
public:
    Comparer(const HaplotypeTable& database, const HaplotypeTable& search,
             const std::vector<LocusPair>& pairs)
        : databaseHaplotypes_(database.haplotypes()) {
        std::unordered_map<int, std::size_t> databaseColumn, searchColumn;
        for (const LocusPair& pair : pairs) {
            const auto [d, newD] = databaseColumn.try_emplace(pair.databaseColumn, columns_.size());
            if (newD)
                columns_.emplace_back(database, pair.databaseColumn);
            const auto [s, newS] = searchColumn.try_emplace(pair.searchColumn, columns_.size());
            if (newS)
                columns_.emplace_back(search, pair.searchColumn);
            pairs_.push_back({d->second, s->second});
        }
        makeCompactCopies(search.haplotypes());
    }

    std::int64_t databaseValue(std::size_t h, std::size_t pair) const {
        return columns_[pairs_[pair].database][h];
    }
    std::int64_t searchValue(std::size_t s, std::size_t pair) const {
        return columns_[pairs_[pair].search][s];
    }

    // The error a comparison of this search haplotype would meet first (database haplotypes in
    // order, pairs in order, the search cell read before the database cell), if any.
    std::optional<std::string> conversionFailure(std::size_t s) const {
        std::size_t firstRow = kNone;
        std::string text;
        for (std::size_t k = 0; k < pairs_.size(); ++k) {
            const ColumnValues& searchColumn = columns_[pairs_[k].search];
            const std::int64_t searchValue = searchColumn[s];
            if (searchValue == kUntyped)
                continue; // an untyped search locus is skipped, as an untyped database one
            const ColumnValues& databaseColumn = columns_[pairs_[k].database];
            std::size_t row = kNone;
            std::string candidate;
            if (searchValue == kNotInteger && databaseColumn.firstTyped != kNone) {
                row = databaseColumn.firstTyped;
                candidate = searchColumn.text(s);
            } else if (searchValue != kNotInteger && databaseColumn.firstNotInteger != kNone) {
                row = databaseColumn.firstNotInteger;
                candidate = databaseColumn.text(row);
            }
            // Pairs are visited in order, so a later pair wins only at an earlier row.
            if (row != kNone && (firstRow == kNone || row < firstRow)) {
                firstRow = row;
                text = std::move(candidate);
            }
        }
        if (firstRow == kNone)
            return std::nullopt;
        return notIntegerMessage(text);
    }

    // The matches of search haplotypes first to first + matches.size() - 1, each in database
    // order; several search haplotypes are compared in one pass over the database.
    void findMatches(std::size_t first, std::int64_t limit,
                     std::vector<std::vector<Match>>& matches) const {
        for (auto& list : matches)
            list.clear();
        if (limit < 0)
            return; // a haplotype with a common locus has at least 0 steps
        if (!compactDatabase_ || !compactSearch_) {
            for (std::size_t i = 0; i < matches.size(); ++i)
                findMatchesOneByOne(first + i, limit, matches[i]);
            return;
        }
        const std::size_t stride = compactDatabase_->stride();
        const auto clampedLimit =
            static_cast<std::int32_t>(std::min<std::int64_t>(limit, INT32_MAX));
        for (std::size_t h = 0; h < databaseHaplotypes_; ++h) {
            const std::int16_t* haplotype = compactDatabase_->row(h);
            for (std::size_t i = 0; i < matches.size(); ++i) {
                const auto distance = CompactHaplotypes::distance(compactSearch_->row(first + i),
                                                                  haplotype, stride, clampedLimit);
                if (distance.commonLoci > 0 && distance.steps <= limit)
                    matches[i].push_back({static_cast<std::uint32_t>(first + i),
                                          static_cast<std::uint32_t>(h), distance.steps,
                                          distance.commonLoci});
            }
        }
    }

private:
    struct PairColumns {
        std::size_t database;
        std::size_t search;
    };

    // Pairs ordered by how many distinct values the database holds there, most first: a
    // comparison that stops after its first block then decides most haplotypes.
    std::vector<std::size_t> mostVariableFirst() const {
        std::vector<std::size_t> order(pairs_.size());
        std::vector<std::size_t> distinct(pairs_.size());
        for (std::size_t k = 0; k < pairs_.size(); ++k) {
            order[k] = k;
            std::unordered_map<std::int64_t, bool> seen;
            for (std::size_t h = 0; h < databaseHaplotypes_; ++h)
                seen.emplace(databaseValue(h, k), true);
            distinct[k] = seen.size();
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return distinct[a] > distinct[b]; });
        return order;
    }

    void makeCompactCopies(std::size_t searchHaplotypes) {
        const auto order = mostVariableFirst();
        // A text that is no integer stays untyped here: conversionFailure names it before any
        // comparison would read it.
        const auto usable = [](std::int64_t v) { return v == kNotInteger ? kUntyped : v; };
        compactDatabase_ = CompactHaplotypes::tryMake(
            databaseHaplotypes_, order, kUntyped,
            [&](std::size_t h, std::size_t k) { return usable(databaseValue(h, k)); });
        compactSearch_ = CompactHaplotypes::tryMake(
            searchHaplotypes, order, kUntyped,
            [&](std::size_t s, std::size_t k) { return usable(searchValue(s, k)); });
    }

    void findMatchesOneByOne(std::size_t s, std::int64_t limit, std::vector<Match>& matches) const {
        struct ActivePair {
            std::size_t pair;
            std::int64_t value;
        };
        std::vector<ActivePair> active;
        for (std::size_t k = 0; k < pairs_.size(); ++k)
            if (const std::int64_t v = searchValue(s, k); v != kUntyped && v != kNotInteger)
                active.push_back({k, v});
        if (active.empty())
            return;
        for (std::size_t h = 0; h < databaseHaplotypes_; ++h) {
            std::int64_t steps = 0;
            int common = 0;
            bool within = true;
            for (const ActivePair& pair : active) {
                const std::int64_t value = databaseValue(h, pair.pair);
                if (value == kUntyped || value == kNotInteger)
                    continue;
                ++common;
                steps += absoluteDifference(pair.value, value);
                if (steps > limit) {
                    within = false; // steps only grow: the rest cannot bring it back
                    break;
                }
            }
            if (within && common > 0)
                matches.push_back(
                    {static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(h), steps, common});
        }
    }

    std::size_t databaseHaplotypes_;
    std::vector<ColumnValues> columns_;
    std::vector<PairColumns> pairs_;
    std::optional<CompactHaplotypes> compactDatabase_;
    std::optional<CompactHaplotypes> compactSearch_;
};

// Search haplotypes compared in one pass over the database.
constexpr std::size_t kSearchBlock = 8;

struct Comparisons {
    std::vector<Match> matches;
    std::vector<std::size_t> batchEnds; // the matches of search haplotype s end at batchEnds[s]
};

Comparisons compareAll(const Comparer& comparer, std::size_t comparable, std::size_t total,
                       std::int64_t limit, const MatchProgress& progress) {
    Comparisons comparisons;
    // Blocks of search haplotypes are compared side by side on the machine's cores; their
    // matches are then taken in search order, so the result does not depend on the threads.
    const auto threads =
        static_cast<std::size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::vector<std::vector<std::vector<Match>>> blocks(threads);
    for (std::size_t first = 0; first < comparable; first += threads * kSearchBlock) {
        for (std::size_t t = 0; t < threads; ++t) {
            const std::size_t begin = std::min(first + t * kSearchBlock, comparable);
            blocks[t].resize(std::min(begin + kSearchBlock, comparable) - begin);
        }
        std::vector<std::exception_ptr> failures(threads);
        {
            std::vector<std::jthread> helpers; // joined on leaving the scope, also on an error
            for (std::size_t t = 1; t < threads && !blocks[t].empty(); ++t)
                helpers.emplace_back([&comparer, &blocks, &failures, first, t, limit] {
                    try {
                        comparer.findMatches(first + t * kSearchBlock, limit, blocks[t]);
                    } catch (...) {
                        failures[t] = std::current_exception();
                    }
                });
            comparer.findMatches(first, limit, blocks[0]);
        }
        for (const auto& failure : failures)
            if (failure)
                std::rethrow_exception(failure);
        std::size_t done = first;
        for (const auto& block : blocks) {
            for (const auto& matches : block) {
                comparisons.matches.insert(comparisons.matches.end(), matches.begin(),
                                           matches.end());
                comparisons.batchEnds.push_back(comparisons.matches.size());
                ++done;
            }
        }
        if (progress)
            progress(done, total);
    }
    return comparisons;
}

// The order the selection sort, repeated after each search haplotype, leaves the matches in.
std::vector<Match> inSortedOrder(const Comparisons& comparisons) {
    SelectionSortOrder order(comparisons.matches.size());
    std::size_t next = 0;
    for (std::size_t end : comparisons.batchEnds) {
        if (end == next)
            continue; // a pass over rows already sorted changes nothing
        for (; next < end; ++next)
            order.append(static_cast<std::int32_t>(comparisons.matches[next].steps),
                         static_cast<std::uint32_t>(next));
        order.sortPass();
    }
    std::vector<Match> sorted;
    sorted.reserve(order.size());
    for (const std::uint32_t item : order.items())
        sorted.push_back(comparisons.matches[item]);
    return sorted;
}

} // namespace

MatchResult match(const HaplotypeTable& database, const HaplotypeTable& search, std::int64_t limit,
                  const MatchProgress& progress) {
    MatchResult result;
    result.pairs = pairLoci(database, search);
    const Comparer comparer(database, search, result.pairs);
    const std::size_t searches = search.haplotypes();
    result.searchesCompared = searches;
    for (std::size_t s = 0; s < searches; ++s) {
        if (auto failure = comparer.conversionFailure(s)) {
            result.searchesCompared = s;
            result.failure = std::move(failure);
            break;
        }
    }
    result.matches =
        inSortedOrder(compareAll(comparer, result.searchesCompared, searches, limit, progress));
    return result;
}

std::vector<std::int64_t> pairDifferences(const HaplotypeTable& database,
                                          const HaplotypeTable& search,
                                          const std::vector<LocusPair>& pairs, const Match& match) {
    std::vector<std::int64_t> differences;
    differences.reserve(pairs.size());
    std::string scratch;
    const auto valueOf = [&](const HaplotypeTable& table, int col, std::size_t h) -> std::int64_t {
        if (table.isLocusColumn(col))
            return table.locusColumn(col).value(h);
        const auto cell = IntegerCell::read(table.cell(col, h, scratch));
        return cell.kind == IntegerCell::Kind::Integer ? cell.value : kUntyped;
    };
    for (const LocusPair& pair : pairs) {
        const std::int64_t s = valueOf(search, pair.searchColumn, match.search);
        const std::int64_t d = valueOf(database, pair.databaseColumn, match.database);
        const bool typed = s != kUntyped && s != kNotInteger && d != kUntyped && d != kNotInteger;
        differences.push_back(typed ? absoluteDifference(s, d) : -1);
    }
    return differences;
}

std::array<MarkerSlot, 3> markerSlots(const std::vector<std::int64_t>& differences) {
    std::array<MarkerSlot, 3> slots{};
    int oneStepLoci = 0;
    for (std::size_t k = 0; k < differences.size(); ++k) {
        const std::int64_t difference = differences[k];
        int slot = 0; // 1 to 3 when the locus is shown
        if (difference == 1 && ++oneStepLoci <= 3)
            slot = oneStepLoci;
        else if (difference == 2 || difference == 3)
            slot = static_cast<int>(difference);
        if (slot > 0)
            slots[static_cast<std::size_t>(slot - 1)] = {static_cast<int>(k), difference};
    }
    return slots;
}

} // namespace tarnwick
