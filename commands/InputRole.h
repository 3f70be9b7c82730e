#pragma once

#include "core/table/HaplotypeTable.h"

namespace tarnwick {

// The two input tables: the database and the haplotypes to search for.
enum class InputRole { Database, Search };

inline const TableLayout& layoutOf(InputRole role) {
    return role == InputRole::Database ? kDatabaseLayout : kSearchLayout;
}

} // namespace tarnwick
