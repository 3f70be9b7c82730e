#include "core/matching/PairedColumns.h"

#include "core/matching/kernel/ByteKernel.h"
#include "core/table/LocusCells.h"
#include "core/text/IntegerText.h"

#include "core/matching/SelectionSortOrder.h"

#include <algorithm>
#include <limits>
#include <thread>
#include <unordered_map>

namespace tarnwick {
namespace {

constexpr std::int64_t kUntyped = LocusColumn::kUntyped;
constexpr std::int64_t kNotInteger = LocusColumn::kNotInteger;
constexpr std::size_t kNone = ColumnValues::kNone;

std::int64_t absoluteDifference(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

} // namespace

ColumnValues::ColumnValues(const HaplotypeTable& table, int col) : table_(&table), col_(col) {
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
    if (const LocusColumn* narrow = narrowLocus()) {
        // The tight loop over 16-bit values, for the large columns.
        const auto values = narrow->narrowValues();
        const auto typed = std::ranges::find_if(
            values, [](std::int16_t v) { return v != LocusColumn::kNarrowUntyped; });
        const auto notInteger = std::ranges::find(values, LocusColumn::kNarrowNotInteger);
        if (typed != values.end())
            firstTyped = static_cast<std::size_t>(typed - values.begin());
        if (notInteger != values.end())
            firstNotInteger = static_cast<std::size_t>(notInteger - values.begin());
        return;
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

std::string ColumnValues::text(std::size_t h) const {
    std::string scratch;
    return std::string(table_->cell(col_, h, scratch));
}

bool ColumnValues::fitsNarrow() const {
    if (narrowLocus())
        return true;
    for (std::size_t h = 0; h < table_->haplotypes(); ++h)
        if (const std::int64_t v = (*this)[h];
            isTypedValue(v) && (v < -LocusBlocks::kLargest || v > LocusBlocks::kLargest))
            return false;
    return true;
}

PairedColumns::PairedColumns(const HaplotypeTable& database, const HaplotypeTable& search,
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

std::optional<std::string> PairedColumns::conversionFailure(std::size_t s) const {
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

bool PairedColumns::useKernel(std::int64_t limit) {
    if (limit < 0 || limit >= 65535 || pairs_.empty())
        return false;
    for (const ColumnsOfPair& pair : pairs_)
        if (!columns_[pair.database].fitsNarrow() || !columns_[pair.search].fitsNarrow())
            return false;
    if (!blocks_ && !byteBlocks_)
        makeBlocks(limit);
    return true;
}

SearchLoci PairedColumns::searchLoci(std::size_t s) const {
    SearchLoci loci;
    for (std::size_t k = 0; k < order_.size(); ++k)
        if (const std::int64_t v = searchValue(s, order_[k]); isTypedValue(v)) {
            loci.loci.push_back(static_cast<std::uint32_t>(k));
            loci.values.push_back(static_cast<std::int16_t>(v));
        }
    return loci;
}

void PairedColumns::findMatches(std::size_t first, std::int64_t limit,
                                std::vector<std::vector<Match>>& matches, bool needCommon) const {
    for (auto& list : matches)
        list.clear();
    if (limit < 0)
        return; // a haplotype with a common locus has at least 0 steps
    if (!blocks_ && !byteBlocks_) {
        for (std::size_t i = 0; i < matches.size(); ++i)
            findMatchesOneByOne(first + i, limit, needCommon, matches[i]);
        return;
    }
    std::vector<SearchLoci> searches;
    searches.reserve(matches.size());
    for (std::size_t i = 0; i < matches.size(); ++i)
        searches.push_back(searchLoci(first + i));
    std::vector<std::vector<KernelMatch>> found(matches.size());
    if (byteBlocks_)
        compareByteBlocks(*byteBlocks_, 0, byteBlocks_->blocks(), searches.data(), searches.size(),
                          static_cast<std::uint8_t>(limit), needCommon, found.data(),
                          kernelLevel());
    else
        compareBlocks(*blocks_, 0, blocks_->blocks(), searches.data(), searches.size(),
                      static_cast<std::uint16_t>(limit), needCommon, found.data(), kernelLevel());
    for (std::size_t i = 0; i < matches.size(); ++i) {
        matches[i].reserve(found[i].size());
        for (const KernelMatch& m : found[i])
            matches[i].push_back(
                {static_cast<std::uint32_t>(first + i), m.haplotype, m.steps, m.commonLoci});
    }
}

std::size_t PairedColumns::distinctValues(std::size_t pair) const {
    // Counted on an even sample: enough to rank the loci, quick on any database.
    constexpr std::size_t kSample = 1 << 16;
    const std::size_t step = std::max<std::size_t>(1, databaseHaplotypes_ / kSample);
    const ColumnValues& column = columns_[pairs_[pair].database];
    std::vector<bool> seen(2 * LocusBlocks::kLargest + 2, false);
    std::size_t distinct = 0;
    for (std::size_t h = 0; h < databaseHaplotypes_; h += step) {
        const std::int64_t v = column[h];
        const std::size_t slot =
            isTypedValue(v) ? static_cast<std::size_t>(v + LocusBlocks::kLargest) : seen.size() - 1;
        if (!seen[slot]) {
            seen[slot] = true;
            ++distinct;
        }
    }
    return distinct;
}

std::optional<std::pair<std::int16_t, std::int16_t>>
PairedColumns::typedRange(std::size_t pair) const {
    const ColumnValues& column = databaseColumn(pair);
    std::int64_t smallest = std::numeric_limits<std::int64_t>::max();
    std::int64_t largest = std::numeric_limits<std::int64_t>::min();
    if (const LocusColumn* narrow = column.narrowLocus()) {
        // The two marks of cells without a value are the two smallest 16-bit numbers.
        for (const std::int16_t v : narrow->narrowValues())
            if (v > LocusColumn::kNarrowNotInteger) {
                smallest = std::min<std::int64_t>(smallest, v);
                largest = std::max<std::int64_t>(largest, v);
            }
    } else {
        for (std::size_t h = 0; h < databaseHaplotypes_; ++h)
            if (const std::int64_t v = column[h]; isTypedValue(v)) {
                smallest = std::min(smallest, v);
                largest = std::max(largest, v);
            }
    }
    if (smallest > largest)
        return std::nullopt;
    return std::pair(static_cast<std::int16_t>(smallest), static_cast<std::int16_t>(largest));
}

void PairedColumns::makeBlocks(std::int64_t limit) {
    std::vector<std::size_t> distinct(pairs_.size());
    order_.resize(pairs_.size());
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
        order_[k] = k;
        distinct[k] = distinctValues(k);
    }
    std::stable_sort(order_.begin(), order_.end(),
                     [&](std::size_t a, std::size_t b) { return distinct[a] > distinct[b]; });
    // Bytes where the limit and every locus's spread of values allow them.
    std::vector<std::int16_t> bases;
    bool bytes = limit < ByteBlocks::kLimits;
    for (std::size_t k = 0; k < order_.size() && bytes; ++k) {
        const auto range = typedRange(order_[k]);
        bytes = !range || range->second - range->first <= ByteBlocks::kWidest;
        bases.push_back(range ? range->first : std::int16_t{0});
    }
    if (bytes) {
        byteBlocks_.emplace(databaseHaplotypes_, std::move(bases));
        fillBlocks(*byteBlocks_, [&](std::size_t k, std::int16_t v) {
            return v <= LocusColumn::kNarrowNotInteger
                       ? ByteBlocks::kUntyped
                       : static_cast<std::uint8_t>(v - byteBlocks_->base(k));
        });
    } else {
        blocks_.emplace(databaseHaplotypes_, order_.size());
        fillBlocks(*blocks_, [](std::size_t, std::int16_t v) {
            // A text that is no integer stays untyped here: conversionFailure names it before
            // any comparison would read it.
            return v == LocusColumn::kNarrowNotInteger ? LocusBlocks::kUntyped : v;
        });
    }
}

template <typename Blocks, typename Lane>
void PairedColumns::fillBlocks(Blocks& blocks, Lane lane) const {
    constexpr std::size_t kLanes = Blocks::kLanes;
    std::vector<const std::int16_t*> narrow(order_.size(), nullptr);
    for (std::size_t k = 0; k < order_.size(); ++k)
        if (const LocusColumn* locus = databaseColumn(order_[k]).narrowLocus())
            narrow[k] = locus->narrowValues().data();
    // Block by block, so that the blocks are written in order and each column read in order.
    for (std::size_t block = 0; block < blocks.blocks(); ++block) {
        const std::size_t begin = block * kLanes;
        const std::size_t count = std::min(kLanes, databaseHaplotypes_ - begin);
        for (std::size_t k = 0; k < order_.size(); ++k) {
            auto* lanes = blocks.at(block, k);
            if (narrow[k]) {
                const std::int16_t* values = narrow[k] + begin;
                for (std::size_t i = 0; i < count; ++i)
                    lanes[i] = lane(k, values[i]);
            } else {
                const ColumnValues& column = databaseColumn(order_[k]);
                for (std::size_t i = 0; i < count; ++i) {
                    const std::int64_t v = column[begin + i];
                    lanes[i] = lane(k, isTypedValue(v) ? static_cast<std::int16_t>(v)
                                                       : LocusColumn::kNarrowUntyped);
                }
            }
            std::fill(lanes + count, lanes + kLanes, Blocks::kUntyped);
        }
    }
}

void PairedColumns::findMatchesOneByOne(std::size_t s, std::int64_t limit, bool needCommon,
                                        std::vector<Match>& matches) const {
    struct ActivePair {
        std::size_t pair;
        std::int64_t value;
    };
    std::vector<ActivePair> active;
    for (std::size_t k = 0; k < pairs_.size(); ++k)
        if (const std::int64_t v = searchValue(s, k); isTypedValue(v))
            active.push_back({k, v});
    if (active.empty() && needCommon)
        return;
    for (std::size_t h = 0; h < databaseHaplotypes_; ++h) {
        std::int64_t steps = 0;
        int common = 0;
        bool within = true;
        for (const ActivePair& pair : active) {
            const std::int64_t value = databaseValue(h, pair.pair);
            if (!isTypedValue(value))
                continue;
            ++common;
            steps += absoluteDifference(pair.value, value);
            if (steps > limit) {
                within = false; // steps only grow: the rest cannot bring it back
                break;
            }
        }
        if (within && (common > 0 || !needCommon))
            matches.push_back(
                {static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(h), steps, common});
    }
}

namespace {

// Search haplotypes compared in one pass over the database, on each core.
constexpr std::size_t kSearchBatch = 64;

void compareBatch(const PairedColumns& columns, std::size_t first, std::int64_t limit,
                  const Refinement& refine, std::vector<std::vector<Match>>& matches) {
    columns.findMatches(first, limit, matches, !refine);
    if (refine)
        for (std::size_t i = 0; i < matches.size(); ++i)
            refine(first + i, matches[i]);
}

} // namespace

MatchesBySearch compareAll(const PairedColumns& columns, std::size_t comparable, std::size_t total,
                           std::int64_t limit, const MatchProgress& progress,
                           const Refinement& refine) {
    MatchesBySearch comparisons;
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
                helpers.emplace_back([&, first, t] {
                    try {
                        compareBatch(columns, first + t * batch, limit, refine, batches[t]);
                    } catch (...) {
                        failures[t] = std::current_exception();
                    }
                });
            compareBatch(columns, first, limit, refine, batches[0]);
        }
        for (const auto& failure : failures)
            if (failure)
                std::rethrow_exception(failure);
        std::size_t done = first;
        for (const auto& lists : batches) {
            for (const auto& matches : lists) {
                comparisons.matches.insert(comparisons.matches.end(), matches.begin(),
                                           matches.end());
                comparisons.ends.push_back(comparisons.matches.size());
                ++done;
            }
        }
        if (progress)
            progress(done, total);
    }
    return comparisons;
}

std::vector<Match> inSortedOrder(const MatchesBySearch& comparisons) {
    SelectionSortOrder order(comparisons.matches.size());
    std::size_t next = 0;
    for (std::size_t end : comparisons.ends) {
        if (end == next)
            continue; // a pass over rows already sorted changes nothing
        for (; next < end; ++next)
            order.append(comparisons.matches[next].steps, static_cast<std::uint32_t>(next));
        order.sortPass();
    }
    std::vector<Match> sorted;
    sorted.reserve(order.size());
    for (const std::uint32_t item : order.items())
        sorted.push_back(comparisons.matches[item]);
    return sorted;
}

} // namespace tarnwick
