#include "core/Matching.h"

#include "core/IntegerText.h"
#include "core/LocusCells.h"
#include "core/MatchKernel.h"
#include "core/SelectionSortOrder.h"

#include <algorithm>
#include <bit>
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

bool typed(std::int64_t value) {
    return value != kUntyped && value != kNotInteger;
}

// The integer values of one paired column: a locus column's own, a descriptive column's texts
// read by the integer text rule, once.
class ColumnValues {
public:
    ColumnValues(const HaplotypeTable& table, int col) : table_(&table), col_(col) {
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
        return std::string(table_->cell(col_, h, scratch));
    }
    // The values in 16 bits, when a locus column holds them so.
    const LocusColumn* narrowLocus() const {
        return locus_ && locus_->isNarrow() ? locus_ : nullptr;
    }
    // Whether every value fits the kernel's 16-bit lanes.
    bool fitsNarrow() const {
        if (narrowLocus())
            return true;
        for (std::size_t h = 0; h < table_->haplotypes(); ++h)
            if (const std::int64_t v = (*this)[h];
                typed(v) && (v < -LocusBlocks::kLargest || v > LocusBlocks::kLargest))
                return false;
        return true;
    }

    std::size_t firstTyped = kNone;      // first haplotype with a value or a text
    std::size_t firstNotInteger = kNone; // first haplotype whose text is no integer

private:
    const HaplotypeTable* table_;
    int col_;
    const LocusColumn* locus_ = nullptr;
    std::vector<std::int64_t> parsed_;
};

// The paired columns of both tables, each read once, and the comparison of their haplotypes:
// in the kernel's 16-bit blocks where every value fits, else one by one in 64 bits.
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
    }

    std::size_t pairCount() const { return pairs_.size(); }
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

    // Whether the kernel can compare: every paired value in 16 bits and the limit below its
    // saturation. Makes its blocks on first use.
    bool useKernel(std::int64_t limit) {
        if (limit < 0 || limit >= 65535 || pairs_.empty())
            return false;
        for (const PairColumns& pair : pairs_)
            if (!columns_[pair.database].fitsNarrow() || !columns_[pair.search].fitsNarrow())
                return false;
        if (!blocks_)
            makeBlocks();
        return true;
    }

    // A search haplotype as the kernel takes it, its loci in the blocks' order.
    SearchLoci searchLoci(std::size_t s) const {
        SearchLoci loci;
        for (std::size_t k = 0; k < order_.size(); ++k)
            if (const std::int64_t v = searchValue(s, order_[k]); typed(v)) {
                loci.loci.push_back(static_cast<std::uint32_t>(k));
                loci.values.push_back(static_cast<std::int16_t>(v));
            }
        return loci;
    }

    // The matches of search haplotypes first to first + matches.size() - 1, each in database
    // order. The kernel reads each block of the database once for all of them.
    void findMatches(std::size_t first, std::int64_t limit,
                     std::vector<std::vector<Match>>& matches) const {
        for (auto& list : matches)
            list.clear();
        if (limit < 0)
            return; // a haplotype with a common locus has at least 0 steps
        if (!blocks_) {
            for (std::size_t i = 0; i < matches.size(); ++i)
                findMatchesOneByOne(first + i, limit, matches[i]);
            return;
        }
        std::vector<SearchLoci> searches;
        searches.reserve(matches.size());
        for (std::size_t i = 0; i < matches.size(); ++i)
            searches.push_back(searchLoci(first + i));
        std::vector<std::vector<KernelMatch>> found(matches.size());
        compareBlocks(*blocks_, 0, blocks_->blocks(), searches.data(), searches.size(),
                      static_cast<std::uint16_t>(limit), found.data());
        for (std::size_t i = 0; i < matches.size(); ++i) {
            matches[i].reserve(found[i].size());
            for (const KernelMatch& m : found[i])
                matches[i].push_back(
                    {static_cast<std::uint32_t>(first + i), m.haplotype, m.steps, m.commonLoci});
        }
    }

private:
    struct PairColumns {
        std::size_t database;
        std::size_t search;
    };

    // How many distinct values the database holds at a pair.
    std::size_t distinctValues(std::size_t pair) const {
        const ColumnValues& column = columns_[pairs_[pair].database];
        std::vector<bool> seen(2 * LocusBlocks::kLargest + 2, false);
        std::size_t distinct = 0;
        for (std::size_t h = 0; h < databaseHaplotypes_; ++h) {
            const std::int64_t v = column[h];
            const std::size_t slot =
                typed(v) ? static_cast<std::size_t>(v + LocusBlocks::kLargest) : seen.size() - 1;
            if (!seen[slot]) {
                seen[slot] = true;
                ++distinct;
            }
        }
        return distinct;
    }

    // The database in blocks, the pairs ordered by how many distinct values the database holds
    // there, most first: a comparison that stops early then decides most haplotypes.
    void makeBlocks() {
        std::vector<std::size_t> distinct(pairs_.size());
        order_.resize(pairs_.size());
        for (std::size_t k = 0; k < pairs_.size(); ++k) {
            order_[k] = k;
            distinct[k] = distinctValues(k);
        }
        std::stable_sort(order_.begin(), order_.end(),
                         [&](std::size_t a, std::size_t b) { return distinct[a] > distinct[b]; });
        blocks_.emplace(databaseHaplotypes_, order_.size());
        constexpr std::size_t kLanes = LocusBlocks::kLanes;
        for (std::size_t k = 0; k < order_.size(); ++k) {
            const ColumnValues& column = columns_[pairs_[order_[k]].database];
            const LocusColumn* narrow = column.narrowLocus();
            for (std::size_t block = 0; block < blocks_->blocks(); ++block) {
                std::int16_t* lanes = blocks_->at(block, k);
                const std::size_t begin = block * kLanes;
                const std::size_t count = std::min(kLanes, databaseHaplotypes_ - begin);
                if (narrow) {
                    // A text that is no integer stays untyped here: conversionFailure names it
                    // before any comparison would read it.
                    const std::int16_t* values = narrow->narrowValues().data() + begin;
                    for (std::size_t lane = 0; lane < count; ++lane)
                        lanes[lane] = values[lane] == LocusColumn::kNarrowNotInteger
                                          ? LocusBlocks::kUntyped
                                          : values[lane];
                } else {
                    for (std::size_t lane = 0; lane < count; ++lane) {
                        const std::int64_t v = column[begin + lane];
                        lanes[lane] =
                            typed(v) ? static_cast<std::int16_t>(v) : LocusBlocks::kUntyped;
                    }
                }
                std::fill(lanes + count, lanes + kLanes, LocusBlocks::kUntyped);
            }
        }
    }

    void findMatchesOneByOne(std::size_t s, std::int64_t limit, std::vector<Match>& matches) const {
        struct ActivePair {
            std::size_t pair;
            std::int64_t value;
        };
        std::vector<ActivePair> active;
        for (std::size_t k = 0; k < pairs_.size(); ++k)
            if (const std::int64_t v = searchValue(s, k); typed(v))
                active.push_back({k, v});
        if (active.empty())
            return;
        for (std::size_t h = 0; h < databaseHaplotypes_; ++h) {
            std::int64_t steps = 0;
            int common = 0;
            bool within = true;
            for (const ActivePair& pair : active) {
                const std::int64_t value = databaseValue(h, pair.pair);
                if (!typed(value))
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
    std::vector<std::size_t> order_; // the blocks' loci as pairs
    std::optional<LocusBlocks> blocks_;
};

// Search haplotypes compared in one pass over the database, on each core.
constexpr std::size_t kSearchBatch = 64;

struct Comparisons {
    std::vector<Match> matches;
    std::vector<std::size_t> batchEnds; // the matches of search haplotype s end at batchEnds[s]
};

Comparisons compareAll(const Comparer& comparer, std::size_t comparable, std::size_t total,
                       std::int64_t limit, const MatchProgress& progress) {
    Comparisons comparisons;
    // Batches of search haplotypes are compared side by side on the machine's cores; their
    // matches are then taken in search order, so the result does not depend on the threads.
    const auto threads =
        static_cast<std::size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    const std::size_t batch =
        std::clamp<std::size_t>((comparable + threads - 1) / threads, 1, kSearchBatch);
    std::vector<std::vector<std::vector<Match>>> batches(threads);
    for (std::size_t first = 0; first < comparable; first += threads * batch) {
        for (std::size_t t = 0; t < threads; ++t) {
            const std::size_t begin = std::min(first + t * batch, comparable);
            batches[t].resize(std::min(begin + batch, comparable) - begin);
        }
        std::vector<std::exception_ptr> failures(threads);
        {
            std::vector<std::jthread> helpers; // joined on leaving the scope, also on an error
            for (std::size_t t = 1; t < threads && !batches[t].empty(); ++t)
                helpers.emplace_back([&comparer, &batches, &failures, first, t, batch, limit] {
                    try {
                        comparer.findMatches(first + t * batch, limit, batches[t]);
                    } catch (...) {
                        failures[t] = std::current_exception();
                    }
                });
            comparer.findMatches(first, limit, batches[0]);
        }
        for (const auto& failure : failures)
            if (failure)
                std::rethrow_exception(failure);
        std::size_t done = first;
        for (const auto& lists : batches) {
            for (const auto& matches : lists) {
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

// Limit 0: the database haplotypes equal to a search haplotype at every locus both have typed.
// They are looked up by their values instead of compared one by one: the database is grouped
// by which loci each haplotype has typed, and each group hashed by the values at the loci its
// haplotypes share with the search haplotype. Only for few groups of up to 64 loci; nothing
// when it does not apply.
class ExactMatches {
public:
    static constexpr std::size_t kMaxLoci = 64;
    static constexpr std::size_t kMaxLookups = 16; // hash tables, each a pass over the database

    ExactMatches(const Comparer& comparer, std::size_t databaseHaplotypes)
        : comparer_(comparer), haplotypes_(databaseHaplotypes) {
        for (std::size_t h = 0; h < haplotypes_; ++h) {
            std::uint64_t pattern = 0;
            for (std::size_t k = 0; k < comparer.pairCount(); ++k)
                if (typed(comparer.databaseValue(h, k)))
                    pattern |= std::uint64_t{1} << k;
            auto [group, added] = groupOf_.try_emplace(pattern, groups_.size());
            if (added)
                groups_.push_back({pattern, {}});
            groups_[group->second].haplotypes.push_back(static_cast<std::uint32_t>(h));
        }
    }

    static bool applies(const Comparer& comparer) { return comparer.pairCount() <= kMaxLoci; }

    // The matches of search haplotype s in database order, or nothing when looking them up
    // would take more hash tables than comparing.
    std::optional<std::vector<Match>> find(std::size_t s) {
        std::uint64_t searchPattern = 0;
        for (std::size_t k = 0; k < comparer_.pairCount(); ++k)
            if (typed(comparer_.searchValue(s, k)))
                searchPattern |= std::uint64_t{1} << k;
        std::vector<Match> matches;
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            const std::uint64_t common = groups_[g].pattern & searchPattern;
            if (common == 0)
                continue;
            const auto [entry, added] = lookups_.try_emplace({g, common});
            if (added && lookups_.size() > kMaxLookups)
                return std::nullopt;
            Lookup& lookup = entry->second;
            if (added)
                fill(lookup, groups_[g], common);
            const auto found = lookup.byValues.find(
                valuesKey(common, [&](std::size_t k) { return comparer_.searchValue(s, k); }));
            if (found == lookup.byValues.end())
                continue;
            const auto loci = static_cast<std::int32_t>(std::popcount(common));
            for (const std::uint32_t h : found->second)
                matches.push_back({static_cast<std::uint32_t>(s), h, 0, loci});
        }
        std::sort(matches.begin(), matches.end(),
                  [](const Match& a, const Match& b) { return a.database < b.database; });
        return matches;
    }

private:
    struct Group {
        std::uint64_t pattern;
        std::vector<std::uint32_t> haplotypes;
    };
    struct Lookup {
        std::unordered_map<std::string, std::vector<std::uint32_t>> byValues;
    };
    struct KeyHash {
        std::size_t operator()(const std::pair<std::size_t, std::uint64_t>& key) const {
            return std::hash<std::uint64_t>{}(key.second * 31 + key.first);
        }
    };

    // The values at the loci of the pattern, as bytes: equal keys, equal values.
    template <typename Value> static std::string valuesKey(std::uint64_t pattern, Value value) {
        std::string key;
        for (std::uint64_t rest = pattern; rest != 0; rest &= rest - 1) {
            const std::int64_t v = value(static_cast<std::size_t>(std::countr_zero(rest)));
            key.append(reinterpret_cast<const char*>(&v), sizeof v);
        }
        return key;
    }

    void fill(Lookup& lookup, const Group& group, std::uint64_t common) const {
        for (const std::uint32_t h : group.haplotypes)
            lookup
                .byValues[valuesKey(common,
                                    [&](std::size_t k) { return comparer_.databaseValue(h, k); })]
                .push_back(h);
    }

    const Comparer& comparer_;
    std::size_t haplotypes_;
    std::vector<Group> groups_;
    std::unordered_map<std::uint64_t, std::size_t> groupOf_;
    std::unordered_map<std::pair<std::size_t, std::uint64_t>, Lookup, KeyHash> lookups_;
};

// Limit 0 by looking up; nothing when the lookup does not apply.
std::optional<Comparisons> compareExactly(const Comparer& comparer, std::size_t comparable,
                                          std::size_t total, std::size_t databaseHaplotypes,
                                          const MatchProgress& progress) {
    if (!ExactMatches::applies(comparer))
        return std::nullopt;
    ExactMatches exact(comparer, databaseHaplotypes);
    Comparisons comparisons;
    for (std::size_t s = 0; s < comparable; ++s) {
        auto matches = exact.find(s);
        if (!matches)
            return std::nullopt;
        comparisons.matches.insert(comparisons.matches.end(), matches->begin(), matches->end());
        comparisons.batchEnds.push_back(comparisons.matches.size());
    }
    if (progress)
        progress(comparable, total);
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
    Comparer comparer(database, search, result.pairs);
    const std::size_t searches = search.haplotypes();
    result.searchesCompared = searches;
    for (std::size_t s = 0; s < searches; ++s) {
        if (auto failure = comparer.conversionFailure(s)) {
            result.searchesCompared = s;
            result.failure = std::move(failure);
            break;
        }
    }
    std::optional<Comparisons> comparisons;
    if (limit == 0)
        comparisons = compareExactly(comparer, result.searchesCompared, searches,
                                     database.haplotypes(), progress);
    if (!comparisons) {
        comparer.useKernel(limit);
        comparisons = compareAll(comparer, result.searchesCompared, searches, limit, progress);
    }
    result.matches = inSortedOrder(*comparisons);
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
        differences.push_back(typed(s) && typed(d) ? absoluteDifference(s, d) : -1);
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
