#include "core/matching/MatchedRows.h"

#include "core/table/LocusCells.h"
#include "core/text/DecimalText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tarnwick {
namespace {

// The copy pays for itself where at least one database row in this many is read.
constexpr std::size_t kShareForCopy = 16;

bool typed(std::int64_t value) {
    return value != LocusColumn::kUntyped && value != LocusColumn::kNotInteger;
}

std::int64_t fromNarrow(std::int16_t value) {
    return value == LocusColumn::kNarrowUntyped      ? LocusColumn::kUntyped
           : value == LocusColumn::kNarrowNotInteger ? LocusColumn::kNotInteger
                                                     : value;
}

// A paired descriptive cell counts where it reads as an integer.
std::int64_t integerOrUntyped(std::string_view text) {
    const auto cell = IntegerCell::read(text);
    return cell.kind == IntegerCell::Kind::Integer ? cell.value : LocusColumn::kUntyped;
}

template <typename T> T load(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T> void store(unsigned char* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

} // namespace

MatchedRows::MatchedRows(const HaplotypeTable& database, const HaplotypeTable& search,
                         const std::vector<LocusPair>& pairs, std::span<const Match> matches,
                         const PairSteps* pairSteps)
    : database_(&database), search_(&search), pairs_(&pairs), matches_(matches),
      pairSteps_(pairSteps), reading_(static_cast<std::size_t>(database.columns())) {
    for (int col = 0; col < database.columns(); ++col) {
        ColumnReading& reading = reading_[static_cast<std::size_t>(col)];
        if (database.isLocusColumn(col))
            reading.locus = &database.locusColumn(col);
        else
            reading.texts = &database.textColumn(col);
    }
    for (const LocusPair& pair : pairs) {
        const bool narrow = search.isLocusColumn(pair.searchColumn) &&
                            search.locusColumn(pair.searchColumn).isNarrow();
        narrowSearch_.push_back(narrow ? search.locusColumn(pair.searchColumn).narrowValues().data()
                                       : nullptr);
    }
    if (matches.size() * kShareForCopy >= database.haplotypes() && database.haplotypes() > 0) {
        planRecords();
        copyRecords();
        planNarrowPairs();
    }
}

void MatchedRows::planRecords() {
    // 16-bit values first, then 32-bit slices and numbers, each aligned in the record.
    for (ColumnReading& reading : reading_)
        if (reading.locus && reading.locus->isNarrow()) {
            reading.from = ColumnReading::From::Narrow;
            reading.offset = recordSize_;
            recordSize_ += sizeof(std::int16_t);
        }
    recordSize_ = (recordSize_ + 3) / 4 * 4;
    for (ColumnReading& reading : reading_) {
        if (!reading.texts)
            continue;
        if (reading.texts->keepsDistinctTexts()) {
            reading.from = ColumnReading::From::Number;
            reading.offset = recordSize_;
            recordSize_ += sizeof(std::uint32_t);
        } else if (reading.texts->allBytes().size() <= std::numeric_limits<std::uint32_t>::max()) {
            reading.from = ColumnReading::From::Slice; // where the text begins, and its length
            reading.offset = recordSize_;
            recordSize_ += 2 * sizeof(std::uint32_t);
        }
    }
}

void MatchedRows::planNarrowPairs() {
    for (std::size_t k = 0; k < pairs_->size(); ++k) {
        const ColumnReading& reading =
            reading_[static_cast<std::size_t>((*pairs_)[k].databaseColumn)];
        if (reading.from != ColumnReading::From::Narrow || !narrowSearch_[k]) {
            narrowPairOffsets_.clear();
            return;
        }
        narrowPairOffsets_.push_back(reading.offset);
    }
}

void MatchedRows::copyRecords() {
    const std::size_t haplotypes = database_->haplotypes();
    records_ = std::make_unique_for_overwrite<unsigned char[]>(recordSize_ * haplotypes);
    // Column by column over tiles of records that stay in the cache meanwhile.
    constexpr std::size_t kTile = 1024;
    for (std::size_t first = 0; first < haplotypes; first += kTile) {
        const std::size_t last = std::min(first + kTile, haplotypes);
        for (const ColumnReading& reading : reading_) {
            unsigned char* at = records_.get() + first * recordSize_ + reading.offset;
            switch (reading.from) {
            case ColumnReading::From::Narrow: {
                const std::int16_t* values = reading.locus->narrowValues().data();
                for (std::size_t h = first; h < last; ++h, at += recordSize_)
                    store(at, values[h]);
                break;
            }
            case ColumnReading::From::Slice: {
                const char* base = reading.texts->allBytes().data();
                for (std::size_t h = first; h < last; ++h, at += recordSize_) {
                    const std::string_view text = reading.texts->text(h);
                    store(at, static_cast<std::uint32_t>(text.data() - base));
                    store(at + 4, static_cast<std::uint32_t>(text.size()));
                }
                break;
            }
            case ColumnReading::From::Number:
                for (std::size_t h = first; h < last; ++h, at += recordSize_)
                    store(at, reading.texts->textNumber(h));
                break;
            case ColumnReading::From::Table:
                break;
            }
        }
    }
}

void MatchedRows::fetchAhead(std::size_t m) const {
    if (m >= matches_.size())
        return;
    const std::uint32_t haplotype = matches_[m].database;
    if (records_) {
        const unsigned char* at = record(haplotype);
        for (std::size_t line = 0; line < recordSize_; line += 64)
            __builtin_prefetch(at + line);
        __builtin_prefetch(at + recordSize_ - 1);
        return;
    }
    for (const ColumnReading& reading : reading_)
        if (reading.texts)
            reading.texts->prefetch(haplotype);
}

void MatchedRows::fetchTextsAhead(std::size_t m) const {
    if (m >= matches_.size() || !records_)
        return;
    const unsigned char* at = record(matches_[m].database);
    for (const ColumnReading& reading : reading_)
        if (reading.from == ColumnReading::From::Slice)
            __builtin_prefetch(reading.texts->allBytes().data() +
                               load<std::uint32_t>(at + reading.offset));
}

std::int64_t MatchedRows::databaseValue(std::size_t pair, std::uint32_t haplotype) const {
    const int col = (*pairs_)[pair].databaseColumn;
    const ColumnReading& reading = reading_[static_cast<std::size_t>(col)];
    if (reading.from == ColumnReading::From::Narrow)
        return fromNarrow(load<std::int16_t>(record(haplotype) + reading.offset));
    if (reading.locus)
        return reading.locus->value(haplotype);
    std::string scratch;
    return integerOrUntyped(database_->cell(col, haplotype, scratch));
}

std::int64_t MatchedRows::searchValue(std::size_t pair, std::uint32_t search) const {
    if (const std::int16_t* narrow = narrowSearch_[pair])
        return fromNarrow(narrow[search]);
    const int col = (*pairs_)[pair].searchColumn;
    if (search_->isLocusColumn(col))
        return search_->locusColumn(col).value(search);
    std::string scratch;
    return integerOrUntyped(search_->cell(col, search, scratch));
}

void MatchedRows::cells(std::size_t m, std::span<std::string_view> out, TextArena& kept) const {
    const std::uint32_t haplotype = matches_[m].database;
    const unsigned char* at = records_ ? record(haplotype) : nullptr;
    const SmallDecimals& decimals = SmallDecimals::table();
    std::string scratch;
    for (std::size_t col = 0; col < reading_.size(); ++col) {
        const ColumnReading& reading = reading_[col];
        std::string_view& cell = out[col];
        switch (reading.from) {
        case ColumnReading::From::Slice:
            cell = kept.keep(
                reading.texts->allBytes().substr(load<std::uint32_t>(at + reading.offset),
                                                 load<std::uint32_t>(at + reading.offset + 4)));
            continue;
        case ColumnReading::From::Number:
            cell = reading.texts->numberedText(load<std::uint32_t>(at + reading.offset));
            continue;
        case ColumnReading::From::Table:
            if (reading.texts) {
                cell = kept.keep(reading.texts->text(haplotype));
                continue;
            }
            break;
        case ColumnReading::From::Narrow:
            break;
        }
        const LocusColumn& locus = *reading.locus;
        if (locus.hasOwnText(haplotype)) {
            cell = kept.keep(locus.text(haplotype, scratch));
            continue;
        }
        const std::int64_t value = reading.from == ColumnReading::From::Narrow
                                       ? fromNarrow(load<std::int16_t>(at + reading.offset))
                                       : locus.value(haplotype);
        if (!typed(value))
            cell = {};
        else if (SmallDecimals::holds(value))
            cell = decimals.of(value);
        else
            cell = kept.keep(decimalText(value, scratch));
    }
}

// The steps are the sum of the differences: once they are all found, the rest are 0, and a
// locus without a difference is not shown. So the differences are worked out up to there; the
// number of pairs done is returned.
std::size_t MatchedRows::narrowDifferences(const Match& match, std::int64_t* differences) const {
    const unsigned char* at = record(match.database);
    std::int64_t found = 0;
    std::size_t k = 0;
    for (; k < narrowPairOffsets_.size() && found < match.steps; ++k) {
        const std::int16_t d = load<std::int16_t>(at + narrowPairOffsets_[k]);
        const std::int16_t s = narrowSearch_[k][match.search];
        const bool bothTyped =
            d != LocusColumn::kNarrowUntyped && d != LocusColumn::kNarrowNotInteger &&
            s != LocusColumn::kNarrowUntyped && s != LocusColumn::kNarrowNotInteger;
        differences[k] = bothTyped ? std::abs(std::int64_t{d} - s) : -1;
        found += bothTyped ? differences[k] : 0;
    }
    return k;
}

std::size_t MatchedRows::differences(const Match& match, std::int64_t* differences) const {
    std::int64_t found = 0;
    std::size_t k = 0;
    for (; k < pairs_->size() && found < match.steps; ++k) {
        const std::int64_t d = databaseValue(k, match.database);
        const std::int64_t s = typed(d) ? searchValue(k, match.search) : d;
        differences[k] = typed(s) && typed(d) ? (s > d ? s - d : d - s) : -1;
        found += std::max<std::int64_t>(differences[k], 0);
    }
    return k;
}

std::array<MarkerSlot, 3> MatchedRows::slots(std::size_t m) const {
    if (pairSteps_) {
        std::vector<std::int64_t> steps;
        pairSteps_->stepsAtPairs(matches_[m], steps);
        return markerSlots(steps);
    }
    std::array<std::int64_t, 64> few{};
    std::vector<std::int64_t> many;
    if (pairs_->size() > few.size())
        many.resize(pairs_->size());
    std::int64_t* differences = many.empty() ? few.data() : many.data();
    const std::size_t done = narrowPairOffsets_.empty()
                                 ? this->differences(matches_[m], differences)
                                 : narrowDifferences(matches_[m], differences);
    return markerSlots(std::span(differences, done));
}

} // namespace tarnwick
