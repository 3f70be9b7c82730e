#pragma once

#include "cli/TableReading.h"
#include "core/table/HaplotypeTable.h"
#include "core/text/TextTable.h"

#include <memory>
#include <ostream>
#include <string>

namespace tarnwick {

// A table read as a load reads it, and whether its locus cells are all whole numbers or empty.
struct CheckedTable {
    std::shared_ptr<const HaplotypeTable> table;
    bool clean;
};

// Reads a file and reads and checks its locus cells as the load commands do, or imports it as it
// comes and says on err what was detected. Lists every faulty cell with the text the file holds
// there.
CheckedTable readChecked(const std::string& file, TableLayout layout, const TableReading& reading,
                         std::ostream& err);

// Writes rowCount rows of a table to target: "-" for out (as TSV), else a file whose extension
// chooses the format (.csv, .tsv, .xlsx, anything else an .xls workbook).
void writeTable(const TextTable& table, int rowCount, const std::string& target, std::ostream& out);

} // namespace tarnwick
