#pragma once

#include "core/table/FaultyCellList.h"
#include "core/table/OwnTexts.h"
#include "core/table/TableColumns.h"
#include "core/text/TextTable.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace tarnwick {

// Which columns of a table are loci, and which one holds the population.
struct TableLayout {
    int firstLocusColumn; // columns before it are descriptive
    int populationColumn; // -1 when there is none
};

// A database: seven descriptive columns, the population in the second, then loci.
inline constexpr TableLayout kDatabaseLayout{7, 1};
// Haplotypes to search for: sample name and comment, then loci.
inline constexpr TableLayout kSearchLayout{2, -1};
// A sheet read as it is, every column descriptive.
inline constexpr TableLayout kSheetLayout{std::numeric_limits<int>::max(), -1};

// How the locus cells of a table are read: as integers (by the integer text rule, tidied first
// when loaded: cut at their "." and without their first "'"), or as genotypes (Genotype.h), their
// texts as they stand.
enum class CellReading { Integers, TidiedIntegers, Genotypes };

// A table of haplotypes: the column titles, and one row per haplotype holding descriptive texts
// and locus values. Haplotypes are numbered from 0.
class HaplotypeTable : public TextTable {
public:
    using Column = std::variant<TextColumn, LocusColumn>;

    HaplotypeTable(TableLayout layout, std::vector<std::string> titles, std::vector<Column> columns,
                   std::size_t haplotypes, CellReading reading = CellReading::Integers);

    const TableLayout& layout() const { return layout_; }
    CellReading reading() const { return reading_; }
    int columns() const { return static_cast<int>(columns_.size()); }
    std::size_t haplotypes() const { return haplotypes_; }
    // The empty text beyond the last column.
    const std::string& title(int col) const;

    bool isLocusColumn(int col) const;
    const LocusColumn& locusColumn(int col) const {
        return std::get<LocusColumn>(columns_[static_cast<std::size_t>(col)]);
    }
    const TextColumn& textColumn(int col) const {
        return std::get<TextColumn>(columns_[static_cast<std::size_t>(col)]);
    }
    // The text of a cell (the empty text beyond the table).
    std::string_view cell(int col, std::size_t haplotype, std::string& scratch) const;
    // Calls visit with the texts of a column at the haplotypes marked in rows (by number).
    void forEachTextOf(int col, const std::vector<bool>& haplotypes,
                       const std::function<void(std::string_view)>& visit) const;

    // As a sheet: the titles in row 0, haplotype h in row h + 1.
    int columnCount() const override { return columns(); }
    int rowCount() const override { return static_cast<int>(haplotypes_) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;
    void forEachText(int col, int begin, int end,
                     const std::function<void(std::string_view)>& visit) const override;

private:
    TableLayout layout_;
    std::vector<std::string> titles_;
    std::vector<Column> columns_;
    std::size_t haplotypes_;
    CellReading reading_;
};

// Locus cells whose tidying cut a partial repeat, read as whole repeats: how many, and the text
// of the first the file gives. A load says so as 'N cells such as "16.2" read as whole repeats;
// KEPTBY keeps them', KEPTBY naming how to read them as they stand.
struct CutPartialRepeatCells {
    std::size_t cells = 0;
    std::string first;
};
std::string cutPartialRepeatsText(const CutPartialRepeatCells& cut, std::string_view keptBy);

// Builds a table from the cells of a sheet, given in any order (row 0 the titles), its locus
// cells in the data rows read as the reading says; a tidied cell's text is what is left of it.
class HaplotypeTableBuilder {
public:
    static std::uint64_t cellKey(long row, long col) {
        return static_cast<std::uint64_t>(row) << 32 | static_cast<std::uint32_t>(col);
    }

    HaplotypeTableBuilder(TableLayout layout, CellReading reading);

    void setText(long row, long col, std::string_view text);
    // A number whose text is its decimal form, such as a whole number read from a workbook.
    void setInteger(long row, long col, std::int64_t value);
    // The same in rows cells down from (row, col), as a repeat count in a workbook gives them.
    void setTextRun(long row, long rows, long col, std::string_view text);
    void setIntegerRun(long row, long rows, long col, std::int64_t value);

    // Makes the table at least this large: cells not set are empty.
    void cover(long rows, long cols);
    // Makes room for about this many rows (the titles' included) in every column at once.
    void expectRows(long rows);

    long rows() const { return rows_; }
    long cols() const { return cols_; }

    struct Result {
        std::shared_ptr<const HaplotypeTable> table;
        FaultyCellList faults; // by column, then by row, as loading lists them
        // The texts as read of faulty cells that tidying changed, by column and row.
        std::unordered_map<long, OwnTexts> textsAsRead;
        // Locus cells whose tidying cut a partial repeat ("16.2" to 16, "12.2,17" to 12), read
        // as whole repeats and so no faults.
        CutPartialRepeatCells cutPartialRepeats;

        // A faulty cell's text as the file holds it.
        std::string asRead(const FaultyCell& fault) const;
    };
    // The table of the rows and columns set (at least one row, the titles).
    Result finish();

private:
    HaplotypeTable::Column& column(long col);
    template <typename SetOne>
    void setRun(long row, long rows, long col, std::string_view asRead, const SetOne& setOne);

    void setGenotypeCell(long row, long col, std::string_view text);
    // Keeps a cell's text as read where tidying changed it and left a fault, to list it so.
    void rememberTextAsRead(long row, long col, std::string_view text, bool tidiedFault);
    void countCutPartialRepeat(long row, long col, std::string_view text);
    void noteRewrite(long row, long col, const LocusColumn& locus, std::size_t haplotype);
    CutPartialRepeatCells cutPartialRepeats() const;
    bool isFault(const LocusColumn& locus, std::size_t haplotype) const;
    FaultyCellList faults(std::size_t haplotypes) const;

    TableLayout layout_;
    CellReading reading_;
    long rows_ = 0;
    long cols_ = 0;
    std::size_t expectedHaplotypes_ = 0;
    std::vector<std::string> titles_;
    std::vector<HaplotypeTable::Column> columns_;
    std::unordered_map<long, OwnTexts> textsAsRead_;
    bool keptAsRead_ = false; // whether the cell set last keeps its text as read
    // Cells cut, by cellKey, each with the cells below it that repeat it, in the order given;
    // cells given again after a cut (a workbook may hold a cell twice), with how many cuts came
    // before, to count each cell as it ends.
    struct CutCells {
        std::uint64_t key;
        std::size_t rows;
    };
    std::vector<CutCells> cutCells_;
    std::vector<std::pair<std::uint64_t, std::size_t>> rewrites_;
    std::string firstCutText_;
};

} // namespace tarnwick
