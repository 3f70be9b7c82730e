#include "core/table/HaplotypeTable.h"

#include "core/genotype/Genotype.h"
#include "core/table/LocusCells.h"

#include <algorithm>

namespace tarnwick {

HaplotypeTable::HaplotypeTable(TableLayout layout, std::vector<std::string> titles,
                               std::vector<Column> columns, std::size_t haplotypes,
                               CellReading reading)
    : layout_(layout), titles_(std::move(titles)), columns_(std::move(columns)),
      haplotypes_(haplotypes), reading_(reading) {
    titles_.resize(columns_.size());
}

const std::string& HaplotypeTable::title(int col) const {
    static const std::string kNone;
    return col >= 0 && col < columns() ? titles_[static_cast<std::size_t>(col)] : kNone;
}

bool HaplotypeTable::isLocusColumn(int col) const {
    return col >= 0 && col < columns() &&
           std::holds_alternative<LocusColumn>(columns_[static_cast<std::size_t>(col)]);
}

std::string_view HaplotypeTable::cell(int col, std::size_t haplotype, std::string& scratch) const {
    if (col < 0 || col >= columns() || haplotype >= haplotypes_)
        return {};
    const Column& column = columns_[static_cast<std::size_t>(col)];
    if (const auto* locus = std::get_if<LocusColumn>(&column))
        return locus->text(haplotype, scratch);
    return std::get<TextColumn>(column).text(haplotype);
}

std::string_view HaplotypeTable::text(int col, int row, std::string& scratch) const {
    if (row == 0)
        return title(col);
    return row > 0 ? cell(col, static_cast<std::size_t>(row - 1), scratch) : std::string_view();
}

void HaplotypeTable::forEachText(int col, int begin, int end,
                                 const std::function<void(std::string_view)>& visit) const {
    if (col < 0 || col >= columns())
        return TextTable::forEachText(col, begin, end, visit);
    if (begin <= 0 && end > 0)
        visit(title(col));
    const auto first = static_cast<std::size_t>(std::max(begin, 1) - 1);
    const auto last = static_cast<std::size_t>(std::max(end, 1) - 1);
    const Column& column = columns_[static_cast<std::size_t>(col)];
    if (const auto* locus = std::get_if<LocusColumn>(&column)) {
        locus->forEachText(first, last, visit);
        return;
    }
    const TextColumn& texts = std::get<TextColumn>(column);
    for (std::size_t h = first; h < last; ++h)
        visit(texts.text(h));
}

void HaplotypeTable::forEachTextOf(int col, const std::vector<bool>& haplotypes,
                                   const std::function<void(std::string_view)>& visit) const {
    std::string scratch;
    for (std::size_t h = 0; h < std::min(haplotypes.size(), haplotypes_); ++h)
        if (haplotypes[h])
            visit(cell(col, h, scratch));
}

std::string cutPartialRepeatsText(const CutPartialRepeatCells& cut, std::string_view keptBy) {
    return std::to_string(cut.cells) + (cut.cells == 1 ? " cell" : " cells") + " such as \"" +
           cut.first + "\" read as whole repeats; " + std::string(keptBy) + " keeps them";
}

HaplotypeTableBuilder::HaplotypeTableBuilder(TableLayout layout, CellReading reading)
    : layout_(layout), reading_(reading) {}

HaplotypeTable::Column& HaplotypeTableBuilder::column(long col) {
    while (static_cast<long>(columns_.size()) <= col) {
        const auto index = static_cast<int>(columns_.size());
        if (index >= layout_.firstLocusColumn)
            columns_.emplace_back(LocusColumn());
        else
            columns_.emplace_back(TextColumn(index == layout_.populationColumn));
        std::visit([&](auto& added) { added.reserve(expectedHaplotypes_); }, columns_.back());
    }
    return columns_[static_cast<std::size_t>(col)];
}

void HaplotypeTableBuilder::setText(long row, long col, std::string_view text) {
    rows_ = std::max(rows_, row + 1);
    cols_ = std::max(cols_, col + 1);
    HaplotypeTable::Column& target = column(col);
    if (row == 0) {
        if (titles_.size() <= static_cast<std::size_t>(col))
            titles_.resize(static_cast<std::size_t>(col) + 1);
        titles_[static_cast<std::size_t>(col)] = text;
        return;
    }
    const auto haplotype = static_cast<std::size_t>(row - 1);
    auto* locus = std::get_if<LocusColumn>(&target);
    if (!locus) {
        std::get<TextColumn>(target).set(haplotype, text);
        return;
    }
    if (reading_ == CellReading::Genotypes) {
        setGenotypeCell(row, col, text);
        return;
    }
    noteRewrite(row, col, *locus, haplotype);
    const std::string tidied = reading_ == CellReading::TidiedIntegers && !text.empty()
                                   ? tidyLocusText(text)
                                   : std::string(text);
    const IntegerCell read = IntegerCell::read(tidied);
    switch (read.kind) {
    case IntegerCell::Kind::Untyped:
        locus->setValue(haplotype, LocusColumn::kUntyped);
        if (!text.empty()) // tidied away to nothing: empty as a cell, but a fault
            locus->setOwnText(haplotype, tidied);
        break;
    case IntegerCell::Kind::NotInteger:
        locus->setValue(haplotype, LocusColumn::kNotInteger);
        locus->setOwnText(haplotype, tidied);
        break;
    case IntegerCell::Kind::Integer:
        locus->setValue(haplotype, read.value);
        if (tidied != std::to_string(read.value))
            locus->setOwnText(haplotype, tidied);
        if (reading_ == CellReading::TidiedIntegers)
            countCutPartialRepeat(row, col, text);
        break;
    }
    rememberTextAsRead(row, col, text, read.kind != IntegerCell::Kind::Integer && tidied != text);
}

void HaplotypeTableBuilder::rememberTextAsRead(long row, long col, std::string_view text,
                                               bool tidiedFault) {
    keptAsRead_ = tidiedFault;
    if (tidiedFault)
        textsAsRead_[col].set(static_cast<std::size_t>(row), text);
    else if (const auto kept = textsAsRead_.find(col); kept != textsAsRead_.end())
        kept->second.erase(static_cast<std::size_t>(row));
}

// A cell read as an integer after tidying cut what followed its "." (not only zeros, which cut
// nothing of the repeat count).
void HaplotypeTableBuilder::countCutPartialRepeat(long row, long col, std::string_view text) {
    const auto dot = text.find('.');
    if (dot == std::string_view::npos ||
        text.find_first_not_of('0', dot + 1) == std::string_view::npos)
        return;
    if (cutCells_.empty()) {
        // An example for a message: a long text cut short, between characters.
        constexpr std::size_t kLongest = 24;
        if (text.size() <= kLongest) {
            firstCutText_ = text;
        } else {
            std::size_t end = kLongest;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                --end;
            firstCutText_ = std::string(text.substr(0, end)) + "...";
        }
    }
    cutCells_.push_back({cellKey(row, col), 1});
}

// A cell given again that may have been cut: only a cell holding an integer can have been.
void HaplotypeTableBuilder::noteRewrite(long row, long col, const LocusColumn& locus,
                                        std::size_t haplotype) {
    if (cutCells_.empty() || haplotype >= locus.size())
        return;
    const std::int64_t value = locus.value(haplotype);
    if (value != LocusColumn::kUntyped && value != LocusColumn::kNotInteger)
        rewrites_.emplace_back(cellKey(row, col), cutCells_.size());
}

// Each cut counts unless its cell was given again after it.
CutPartialRepeatCells HaplotypeTableBuilder::cutPartialRepeats() const {
    std::unordered_map<std::uint64_t, std::size_t> lastRewrite;
    for (const auto& [key, cutsBefore] : rewrites_)
        lastRewrite[key] = cutsBefore;
    CutPartialRepeatCells cut{0, firstCutText_};
    for (std::size_t i = 0; i < cutCells_.size(); ++i) {
        const CutCells& cells = cutCells_[i];
        cut.cells += cells.rows;
        if (cells.rows == 1) {
            const auto rewritten = lastRewrite.find(cells.key);
            if (rewritten != lastRewrite.end() && rewritten->second > i)
                --cut.cells;
            continue;
        }
        const std::uint64_t first = cells.key, end = first + (std::uint64_t{cells.rows} << 32);
        for (const auto& [key, cutsBefore] : lastRewrite)
            if (cutsBefore > i && key >= first && key < end &&
                static_cast<std::uint32_t>(key) == static_cast<std::uint32_t>(first))
                --cut.cells;
    }
    return cut;
}

// The text as it stands: the value where it is an integer's decimal form, else the text itself;
// a fault where the genotype rules say so.
void HaplotypeTableBuilder::setGenotypeCell(long row, long col, std::string_view text) {
    auto& locus = std::get<LocusColumn>(column(col));
    const auto haplotype = static_cast<std::size_t>(row - 1);
    const IntegerCell read = IntegerCell::read(text);
    if (text.empty()) {
        locus.setValue(haplotype, LocusColumn::kUntyped);
    } else if (read.kind == IntegerCell::Kind::Integer && text == std::to_string(read.value)) {
        locus.setValue(haplotype, read.value);
    } else {
        locus.setValue(haplotype, LocusColumn::kNotInteger);
        locus.setOwnText(haplotype, text);
    }
}

void HaplotypeTableBuilder::setInteger(long row, long col, std::int64_t value) {
    if (row == 0 || !std::holds_alternative<LocusColumn>(column(col)) ||
        value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        setText(row, col, std::to_string(value));
        return;
    }
    rows_ = std::max(rows_, row + 1);
    cols_ = std::max(cols_, col + 1);
    auto& locus = std::get<LocusColumn>(column(col));
    noteRewrite(row, col, locus, static_cast<std::size_t>(row - 1));
    locus.setValue(static_cast<std::size_t>(row - 1), value);
    rememberTextAsRead(row, col, {}, false);
}

void HaplotypeTableBuilder::setTextRun(long row, long rows, long col, std::string_view text) {
    setRun(row, rows, col, text, [&](long r) { setText(r, col, text); });
}

void HaplotypeTableBuilder::setIntegerRun(long row, long rows, long col, std::int64_t value) {
    setRun(row, rows, col, {}, [&](long r) { setInteger(r, col, value); });
}

// A locus column takes the first cell as one, and repeats what it became in the cells below
// when none of them was set before (as a workbook repeats a cell): the cost does not grow with
// the rows. Descriptive columns hold each row's text. asRead is the cells' text as read.
template <typename SetOne>
void HaplotypeTableBuilder::setRun(long row, long rows, long col, std::string_view asRead,
                                   const SetOne& setOne) {
    if (rows <= 0)
        return;
    if (row == 0) {
        setOne(0);
        ++row;
        --rows;
    }
    auto* locus = rows > 1 ? std::get_if<LocusColumn>(&column(col)) : nullptr;
    const auto haplotype = static_cast<std::size_t>(row - 1);
    if (!locus || haplotype < locus->size()) {
        for (long r = row; r < row + rows; ++r)
            setOne(r);
        return;
    }
    const std::size_t cutsBefore = cutCells_.size();
    keptAsRead_ = false;
    setOne(row);
    rows_ = std::max(rows_, row + rows);
    locus->repeatDown(haplotype, static_cast<std::size_t>(rows));
    if (keptAsRead_)
        textsAsRead_[col].set(static_cast<std::size_t>(row) + 1, static_cast<std::size_t>(rows - 1),
                              asRead);
    if (cutCells_.size() > cutsBefore)
        cutCells_.back().rows = static_cast<std::size_t>(rows);
}

void HaplotypeTableBuilder::expectRows(long rows) {
    expectedHaplotypes_ = static_cast<std::size_t>(std::max(rows - 1, 0L));
    for (auto& column : columns_)
        std::visit([&](auto& existing) { existing.reserve(expectedHaplotypes_); }, column);
}

void HaplotypeTableBuilder::cover(long rows, long cols) {
    rows_ = std::max(rows_, rows);
    cols_ = std::max(cols_, cols);
    if (cols_ > 0)
        column(cols_ - 1);
}

// Whether a locus cell, as it ended up, is faulty.
bool HaplotypeTableBuilder::isFault(const LocusColumn& locus, std::size_t haplotype) const {
    const std::int64_t value = locus.value(haplotype);
    if (reading_ != CellReading::Genotypes)
        return value == LocusColumn::kNotInteger ||
               (value == LocusColumn::kUntyped && locus.hasOwnText(haplotype));
    // Cells without a text of their own are empty (missing) or a number's decimal form, which
    // from 0 (null) to 999 is a genotype.
    if (!locus.hasOwnText(haplotype) &&
        (value == LocusColumn::kUntyped || (value >= 0 && value <= Genotype::kGreatestRepeats)))
        return false;
    std::string scratch;
    return readGenotype(locus.text(haplotype, scratch)).kind == Genotype::Kind::Fault;
}

// The faulty locus cells, column by column and row by row. Rows that hold one text of their own
// one after the other are all faulty or none (the text decides), and are listed as one run.
FaultyCellList HaplotypeTableBuilder::faults(std::size_t haplotypes) const {
    FaultyCellList faults;
    for (std::size_t col = 0; col < columns_.size(); ++col) {
        const auto* locus = std::get_if<LocusColumn>(&columns_[col]);
        if (!locus)
            continue;
        const auto addIfFaulty = [&](std::size_t haplotype, std::size_t rows) {
            if (isFault(*locus, haplotype))
                faults.add({static_cast<int>(col), static_cast<int>(haplotype) + 1}, rows);
        };
        // Read as integers, only a cell with a text of its own can be faulty.
        if (reading_ != CellReading::Genotypes) {
            locus->forEachOwnTextRun(addIfFaulty);
            continue;
        }
        std::size_t next = 0;
        locus->forEachOwnTextRun([&](std::size_t first, std::size_t rows) {
            for (; next < first; ++next)
                addIfFaulty(next, 1);
            addIfFaulty(first, rows);
            next = first + rows;
        });
        for (; next < haplotypes; ++next)
            addIfFaulty(next, 1);
    }
    return faults;
}

std::string HaplotypeTableBuilder::Result::asRead(const FaultyCell& fault) const {
    if (const auto kept = textsAsRead.find(fault.col); kept != textsAsRead.end())
        if (const std::string* asRead = kept->second.find(static_cast<std::size_t>(fault.row)))
            return *asRead;
    std::string scratch;
    return std::string(table->text(fault.col, fault.row, scratch));
}

HaplotypeTableBuilder::Result HaplotypeTableBuilder::finish() {
    const auto haplotypes = static_cast<std::size_t>(std::max(rows_, 1L) - 1);
    columns_.resize(static_cast<std::size_t>(cols_), TextColumn());
    for (auto& column : columns_) {
        if (auto* locus = std::get_if<LocusColumn>(&column))
            locus->resize(haplotypes);
        else
            std::get<TextColumn>(column).finish(haplotypes);
    }
    FaultyCellList faults = this->faults(haplotypes);
    for (auto& [col, texts] : textsAsRead_)
        texts.finish();
    auto table = std::make_shared<const HaplotypeTable>(layout_, std::move(titles_),
                                                        std::move(columns_), haplotypes, reading_);
    return {std::move(table), std::move(faults), std::move(textsAsRead_), cutPartialRepeats()};
}

} // namespace tarnwick
