#pragma once

namespace tarnwick {

// The two input tables differ in how many descriptive columns come before the loci.
enum class InputRole { Database, Search };

inline int firstLocusColumn(InputRole role) {
    return role == InputRole::Database ? 7 : 2;
}

} // namespace tarnwick
