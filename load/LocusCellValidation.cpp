#include "load/LocusCellValidation.h"

#include "core/IntegerText.h"
#include "core/TableOperations.h"

#include <unordered_map>
#include <vector>

namespace tarnwick {

std::string tidyLocusText(std::string_view text) {
    std::string tidied(text.substr(0, text.find('.')));
    if (const auto apostrophe = tidied.find('\''); apostrophe != std::string::npos)
        tidied.erase(apostrophe, 1);
    return tidied;
}

int tidyAndValidateLocusCells(StringGrid& table, int firstLocusColumn, StringGrid& faultyCells) {
    struct Tidied {
        TextId id;
        bool valid;
    };
    // Locus cells repeat a few texts, so each distinct one is tidied and checked once.
    std::unordered_map<TextId, Tidied> seen;
    TextPool& pool = TextPool::shared();
    std::vector<CellPosition> faults;
    for (int column = firstLocusColumn; column < table.ColCount(); ++column) {
        for (int row = 1; row <= table.RowCount() - 3; ++row) {
            const TextId id = table.cellId(column, row);
            if (id == kEmptyText)
                continue; // an untyped locus is never a fault
            auto [entry, inserted] = seen.try_emplace(id);
            if (inserted) {
                const std::string tidied = tidyLocusText(pool.text(id));
                entry->second = {pool.intern(tidied), isIntegerText(tidied)};
            }
            table.setCellId(column, row, entry->second.id);
            if (!entry->second.valid)
                faults.push_back({column, row});
        }
    }
    recordFaultyCells(faultyCells, faults);
    return static_cast<int>(faults.size());
}

} // namespace tarnwick
