#include "commands/InputTables.h"

#include "io/WorkbookReader.h"

#include <algorithm>

namespace tarnwick {

namespace {

int haplotypeRows(const StringGrid& grid) {
    return std::max(grid.RowCount() - 3, 0);
}

} // namespace

std::shared_ptr<const HaplotypeTable> loadedHaplotypes(const StringGrid& grid, InputRole role,
                                                       CellReading loadedAs) {
    auto shown = std::dynamic_pointer_cast<const HaplotypeTable>(grid.source());
    if (shown && shown->layout().firstLocusColumn == layoutOf(role).firstLocusColumn &&
        shown->columns() == grid.ColCount() &&
        static_cast<int>(shown->haplotypes()) == haplotypeRows(grid) &&
        shown->reading() == loadedAs)
        return shown;
    return nullptr;
}

std::shared_ptr<const HaplotypeTable>
haplotypesOf(const StringGrid& grid, InputRole role, CellReading loadedAs,
             const std::function<void(std::size_t done, std::size_t total)>& progress) {
    if (auto shown = loadedHaplotypes(grid, role, loadedAs))
        return shown;
    const int haplotypes = haplotypeRows(grid);
    HaplotypeTableBuilder builder(layoutOf(role), loadedAs == CellReading::Genotypes
                                                      ? CellReading::Genotypes
                                                      : CellReading::Integers);
    builder.cover(haplotypes + 1, grid.ColCount());
    std::string scratch;
    const auto columns = static_cast<std::size_t>(grid.ColCount());
    for (int col = 0; col < grid.ColCount(); ++col) {
        if (progress)
            progress(static_cast<std::size_t>(col), columns);
        for (int row = 0; row <= haplotypes; ++row)
            if (const auto text = grid.text(col, row, scratch); !text.empty())
                builder.setText(row, col, text);
    }
    if (progress)
        progress(columns, columns);
    return builder.finish().table;
}

std::optional<InputHaplotypes> inputHaplotypes(const StringGrid& database,
                                               CellReading databaseReading,
                                               const StringGrid& search, CellReading searchReading,
                                               WorkRunner& runner) {
    InputHaplotypes tables{loadedHaplotypes(database, InputRole::Database, databaseReading),
                           loadedHaplotypes(search, InputRole::Search, searchReading)};
    if (tables.database && tables.search)
        return tables;
    // Copies share the grids' cells until a grid is written, so taking them costs nothing.
    const StringGrid databaseCopy = database;
    const StringGrid searchCopy = search;
    const bool finished = runner.run("Reading the tables", [&](const GoOn& goOn) {
        // The database's columns, then the search's, as one count.
        const std::size_t databaseColumns =
            tables.database ? 0 : static_cast<std::size_t>(databaseCopy.ColCount());
        const std::size_t columns =
            databaseColumns + (tables.search ? 0 : static_cast<std::size_t>(searchCopy.ColCount()));
        const auto report = raisingWhenCancelled(goOn);
        if (!tables.database)
            tables.database =
                haplotypesOf(databaseCopy, InputRole::Database, databaseReading,
                             [&](std::size_t done, std::size_t) { report(done, columns); });
        if (!tables.search)
            tables.search = haplotypesOf(
                searchCopy, InputRole::Search, searchReading,
                [&](std::size_t done, std::size_t) { report(databaseColumns + done, columns); });
    });
    if (!finished)
        return std::nullopt;
    return tables;
}

void listFaults(LoadedTable& loaded, const FaultyCellList& faults) {
    loaded.faultCount = faults.size();
    loaded.faults.reserve(std::min(faults.size(), kMostFaultsMarked));
    for (const FaultyCell& fault : faults) {
        if (loaded.faults.size() == kMostFaultsMarked)
            break;
        loaded.faults.push_back({fault.col, fault.row});
    }
}

LoadedTable readInputTable(const std::string& fileName, InputRole role, CellReading reading,
                           const FileProgress& progress) {
    auto read = readHaplotypeTable(fileName, layoutOf(role), reading, progress);
    LoadedTable loaded{std::move(read.table), {}, std::move(read.cutPartialRepeats)};
    listFaults(loaded, read.faults);
    return loaded;
}

void ReadWorkbookIntoTable(StringGrid& grid, const LoadedTable& loaded) {
    grid.showCellsOf(loaded.table, loaded.table->columnCount(), loaded.table->rowCount() + 2);
}

} // namespace tarnwick
