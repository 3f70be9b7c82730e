#include "commands/InputTables.h"

#include "io/WorkbookReader.h"

#include <algorithm>

namespace tarnwick {

std::shared_ptr<const HaplotypeTable> haplotypesOf(const StringGrid& grid, InputRole role,
                                                   CellReading loadedAs) {
    const int haplotypes = std::max(grid.RowCount() - 3, 0);
    if (auto shown = std::dynamic_pointer_cast<const HaplotypeTable>(grid.source());
        shown && shown->layout().firstLocusColumn == layoutOf(role).firstLocusColumn &&
        shown->columns() == grid.ColCount() &&
        static_cast<int>(shown->haplotypes()) == haplotypes && shown->reading() == loadedAs)
        return shown;
    HaplotypeTableBuilder builder(layoutOf(role), loadedAs == CellReading::Genotypes
                                                      ? CellReading::Genotypes
                                                      : CellReading::Integers);
    builder.cover(haplotypes + 1, grid.ColCount());
    std::string scratch;
    for (int col = 0; col < grid.ColCount(); ++col)
        for (int row = 0; row <= haplotypes; ++row)
            if (const auto text = grid.text(col, row, scratch); !text.empty())
                builder.setText(row, col, text);
    return builder.finish().table;
}

LoadedTable readInputTable(const std::string& fileName, InputRole role, CellReading reading,
                           const FileProgress& progress) {
    auto read = readHaplotypeTable(fileName, layoutOf(role), reading, progress);
    LoadedTable loaded{std::move(read.table), {}, std::move(read.cutPartialRepeats)};
    loaded.faults.reserve(read.faults.size());
    for (const FaultyCell& fault : read.faults)
        loaded.faults.push_back({fault.col, fault.row});
    return loaded;
}

void ReadWorkbookIntoTable(StringGrid& grid, const LoadedTable& loaded) {
    grid.showCellsOf(loaded.table, loaded.table->columnCount(), loaded.table->rowCount() + 2);
}

} // namespace tarnwick
