#include "core/PairedColumns.h"

#include "core/IntegerText.h"
#include "core/LocusCells.h"

#include <algorithm>
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
    if (!blocks_)
        makeBlocks();
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

void PairedColumns::makeBlocks() {
    std::vector<std::size_t> distinct(pairs_.size());
    order_.resize(pairs_.size());
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
        order_[k] = k;
        distinct[k] = distinctValues(k);
    }
    std::stable_sort(order_.begin(), order_.end(),
                     [&](std::size_t a, std::size_t b) { return distinct[a] > distinct[b]; });
    blocks_.emplace(databaseHaplotypes_, order_.size());
    std::vector<const std::int16_t*> narrow(order_.size(), nullptr);
    for (std::size_t k = 0; k < order_.size(); ++k)
        if (const LocusColumn* locus = databaseColumn(order_[k]).narrowLocus())
            narrow[k] = locus->narrowValues().data();
    // Block by block, so that the blocks are written in order and each column read in order.
    constexpr std::size_t kLanes = LocusBlocks::kLanes;
    for (std::size_t block = 0; block < blocks_->blocks(); ++block) {
        const std::size_t begin = block * kLanes;
        const std::size_t count = std::min(kLanes, databaseHaplotypes_ - begin);
        for (std::size_t k = 0; k < order_.size(); ++k) {
            std::int16_t* lanes = blocks_->at(block, k);
            if (narrow[k]) {
                // A text that is no integer stays untyped here: conversionFailure names it
                // before any comparison would read it.
                const std::int16_t* values = narrow[k] + begin;
                for (std::size_t lane = 0; lane < count; ++lane)
                    lanes[lane] = values[lane] == LocusColumn::kNarrowNotInteger
                                      ? LocusBlocks::kUntyped
                                      : values[lane];
            } else {
                const ColumnValues& column = databaseColumn(order_[k]);
                for (std::size_t lane = 0; lane < count; ++lane) {
                    const std::int64_t v = column[begin + lane];
                    lanes[lane] =
                        isTypedValue(v) ? static_cast<std::int16_t>(v) : LocusBlocks::kUntyped;
                }
            }
            std::fill(lanes + count, lanes + kLanes, LocusBlocks::kUntyped);
        }
    }
}

void PairedColumns::findMatchesOneByOne(std::size_t s, std::int64_t limit,
                                        std::vector<Match>& matches) const {
    struct ActivePair {
        std::size_t pair;
        std::int64_t value;
    };
    std::vector<ActivePair> active;
    for (std::size_t k = 0; k < pairs_.size(); ++k)
        if (const std::int64_t v = searchValue(s, k); isTypedValue(v))
            active.push_back({k, v});
    if (active.empty())
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
        if (within && common > 0)
            matches.push_back(
                {static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(h), steps, common});
    }
}

} // namespace tarnwick
