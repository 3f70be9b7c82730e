#pragma once

#include "commands/BackgroundWork.h"
#include "commands/InputRole.h"
#include "commands/StringGrid.h"
#include "core/table/FaultyCellList.h"
#include "core/table/HaplotypeTable.h"
#include "core/text/CellReference.h"
#include "io/FileProgress.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The haplotypes of an input table as the grid holds them now: rows 1 to RowCount - 3 under
// the titles of row 0. The table the grid shows when it is still the one a load gave it;
// otherwise one read from its cells as they stand (every cell's text as it is, not tidied), as
// genotypes when the table was loaded so. The progress is told of the columns read from cells and
// stops the reading by raising.
std::shared_ptr<const HaplotypeTable>
haplotypesOf(const StringGrid& grid, InputRole role, CellReading loadedAs,
             const std::function<void(std::size_t done, std::size_t total)>& progress = {});

// The table the grid shows when it is still the one a load gave it; none when it must be read
// from its cells.
std::shared_ptr<const HaplotypeTable> loadedHaplotypes(const StringGrid& grid, InputRole role,
                                                       CellReading loadedAs);

// Both input tables as haplotypes: those the grids show as loaded at once, those edited by hand
// read from copies of the grids (which keep their cells as they are) on the runner's thread,
// "Reading the tables", so that the window's thread never goes through their cells. None when
// the user cancelled.
struct InputHaplotypes {
    std::shared_ptr<const HaplotypeTable> database;
    std::shared_ptr<const HaplotypeTable> search;
};
std::optional<InputHaplotypes> inputHaplotypes(const StringGrid& database,
                                               CellReading databaseReading,
                                               const StringGrid& search, CellReading searchReading,
                                               WorkRunner& runner);

// The faulty cells a load marks at most: a sheet may hold 50 million faults (one cell repeated
// down a column), which the window could neither paint nor hold as its list.
inline constexpr std::size_t kMostFaultsMarked = 1'000'000;

// What a load reads into an input table: the file's first sheet, its locus cells tidied and
// read, the faulty ones counted and the first kMostFaultsMarked listed by column, then row, and
// those whose tidying cut a partial repeat. The progress is told of the rows read.
struct LoadedTable {
    std::shared_ptr<const HaplotypeTable> table;
    std::vector<CellPosition> faults;
    CutPartialRepeatCells cutPartialRepeats;
    std::size_t faultCount = 0;
};

// Counts the faults and lists the first kMostFaultsMarked of them.
void listFaults(LoadedTable& loaded, const FaultyCellList& faults);

LoadedTable readInputTable(const std::string& fileName, InputRole role, CellReading reading,
                           const FileProgress& progress = {});

// ReadWorkbookIntoTable: fills the grid with the sheet, from A1 to its last row and column that
// hold a value, and two blank rows after it (ColCount K, RowCount R + 2).
void ReadWorkbookIntoTable(StringGrid& grid, const LoadedTable& loaded);

} // namespace tarnwick
