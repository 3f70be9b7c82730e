#include "core/MatchedRows.h"

#include "core/DecimalText.h"
#include "core/LocusCells.h"

namespace tarnwick {
namespace {

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

} // namespace

MatchedRows::MatchedRows(const HaplotypeTable& database, const HaplotypeTable& search,
                         const std::vector<LocusPair>& pairs, Gather what)
    : database_(&database), search_(&search), pairs_(&pairs), what_(what),
      paired_(static_cast<std::size_t>(database.columns()), false) {
    for (const LocusPair& pair : pairs)
        paired_[static_cast<std::size_t>(pair.databaseColumn)] = true;
}

void MatchedRows::gather(std::span<const Match> matches) {
    count_ = matches.size();
    haplotypes_.resize(count_);
    for (std::size_t i = 0; i < count_; ++i)
        haplotypes_[i] = matches[i].database;
    const auto columns = static_cast<std::size_t>(database_->columns());
    values_.resize(columns * count_);
    cells_.resize(columns * count_);
    formatted_.clear();
    for (int col = 0; col < database_->columns(); ++col) {
        const bool paired = paired_[static_cast<std::size_t>(col)];
        if (what_ == Gather::SlotsOnly && !paired)
            continue;
        if (database_->isLocusColumn(col))
            gatherValues(col);
        if (what_ == Gather::CellsAndSlots || !database_->isLocusColumn(col))
            gatherCells(col);
    }
    findSlots(matches);
}

void MatchedRows::gatherValues(int col) {
    const LocusColumn& locus = database_->locusColumn(col);
    std::int64_t* values = values_.data() + static_cast<std::size_t>(col) * count_;
    // Tight loops with nothing waiting on the previous read.
    if (locus.isNarrow()) {
        const std::int16_t* narrow = locus.narrowValues().data();
        for (std::size_t i = 0; i < count_; ++i)
            values[i] = fromNarrow(narrow[haplotypes_[i]]);
    } else {
        const std::int64_t* wide = locus.wideValues().data();
        for (std::size_t i = 0; i < count_; ++i)
            values[i] = wide[haplotypes_[i]];
    }
}

void MatchedRows::gatherCells(int col) {
    std::string_view* cells = cells_.data() + static_cast<std::size_t>(col) * count_;
    if (!database_->isLocusColumn(col)) {
        const TextColumn& texts = database_->textColumn(col);
        for (std::size_t i = 0; i < count_; ++i) {
            cells[i] = texts.text(haplotypes_[i]);
            __builtin_prefetch(cells[i].data()); // read when the row is written
        }
        return;
    }
    const LocusColumn& locus = database_->locusColumn(col);
    const std::int64_t* values = values_.data() + static_cast<std::size_t>(col) * count_;
    std::string scratch;
    for (std::size_t i = 0; i < count_; ++i) {
        if (locus.hasOwnTexts() && locus.hasOwnText(haplotypes_[i])) {
            cells[i] = locus.text(haplotypes_[i], scratch);
        } else if (!typed(values[i])) {
            cells[i] = {};
        } else {
            cells[i] = decimalText(values[i], scratch);
            if (cells[i].data() == scratch.data())
                cells[i] = formatted_.emplace_back(cells[i]);
        }
    }
}

std::int64_t MatchedRows::databaseValue(std::size_t pair, std::size_t i) const {
    const int col = (*pairs_)[pair].databaseColumn;
    const std::size_t at = static_cast<std::size_t>(col) * count_ + i;
    return database_->isLocusColumn(col) ? values_[at] : integerOrUntyped(cells_[at]);
}

void MatchedRows::readSearchValues(std::uint32_t search) {
    if (haveSearchValues_ && valuesOfSearch_ == search)
        return; // the matches of a search haplotype come together
    searchValues_.clear();
    std::string scratch;
    for (const LocusPair& pair : *pairs_) {
        const int col = pair.searchColumn;
        searchValues_.push_back(search_->isLocusColumn(col)
                                    ? search_->locusColumn(col).value(search)
                                    : integerOrUntyped(search_->cell(col, search, scratch)));
    }
    valuesOfSearch_ = search;
    haveSearchValues_ = true;
}

void MatchedRows::findSlots(std::span<const Match> matches) {
    slots_.resize(count_);
    differences_.resize(pairs_->size());
    for (std::size_t i = 0; i < count_; ++i) {
        readSearchValues(matches[i].search);
        for (std::size_t k = 0; k < pairs_->size(); ++k) {
            const std::int64_t s = searchValues_[k];
            const std::int64_t d = databaseValue(k, i);
            differences_[k] = typed(s) && typed(d) ? (s > d ? s - d : d - s) : -1;
        }
        slots_[i] = markerSlots(differences_);
    }
}

} // namespace tarnwick
