#pragma once

// A table read as it comes: its columns told apart by their titles (or as the user marks them),
// one sheet or all of them, counted rows written out, and the result laid out as the rest of the
// program knows tables (a database's seven descriptive columns or a search set's two, then the
// loci), read as genotypes.

#include "core/table/ColumnRoles.h"
#include "core/table/HaplotypeTable.h"
#include "io/FileProgress.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

struct ImportSettings {
    // "" the first sheet, "all" every sheet, else a sheet's name or its number from 1.
    std::string sheet;
    // Roles given to columns by title, over what the titles name.
    std::vector<ColumnMark> marks;
};

// What was detected and read, to show before anything is used.
struct ImportReport {
    std::vector<std::string> sheets;       // the names of the sheets read
    std::vector<std::string> loci;         // their titles, in the table's order
    std::string population;                // where the population came from
    std::string sample;                    // where the sample came from
    std::string count;                     // the count column, "" when there is none
    std::vector<std::string> otherColumns; // kept as descriptive columns
    std::vector<std::string> leftOut;      // descriptive columns the layout has no room for
    std::size_t rows = 0;                  // data rows read
    std::size_t men = 0;                   // the haplotypes they stand for
    std::size_t untyped = 0;               // rows with no locus typed
    static constexpr std::size_t kUntypedNamed = 20;
    std::vector<std::string> untypedSamples; // the first of them, by sample
};

// The report as lines for the terminal or a dialog: loci, population, sample, count, sheets,
// rows and men, rows with no haplotype.
std::string describeImport(const std::string& fileName, const ImportReport& report);

struct ImportedTable {
    std::shared_ptr<const HaplotypeTable> table;
    // Faulty cells by column, then row, in the table's places. A table with faults keeps one row
    // per sheet row (counts are then not written out).
    FaultyCellList faults;
    ImportReport report;
    // A faulty cell's place in the file: "cell D7", or "sheet "East Asian" cell D7".
    std::string placeInFile(const FaultyCell& fault) const;

    struct Origin {
        int sheet; // index into report.sheets
        long row;  // on the sheet, from 0
    };
    std::vector<Origin> rowOrigins;             // of each table row after the titles, before counts
    std::vector<std::vector<int>> sheetColumns; // per sheet read: each table column's on the sheet
};

// Reads the file for a table of the layout kDatabaseLayout or kSearchLayout. Raises an Error
// naming the file when it cannot be read, holds no locus column, names a sheet it has not, or
// its sheets' loci differ (naming the sheet and the locus). The progress is told of the rows read.
ImportedTable importTable(const std::string& fileName, TableLayout layout,
                          const ImportSettings& settings, const FileProgress& progress = {});

// The first rows of a sheet as texts (the titles first), and the names of all sheets: what the
// import dialog previews.
struct SheetPreview {
    std::vector<std::string> sheetNames;
    std::vector<std::vector<std::string>> rows;
};
SheetPreview previewSheet(const std::string& fileName, const std::string& sheet, int rows);

} // namespace tarnwick
