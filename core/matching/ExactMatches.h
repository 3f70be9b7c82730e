#pragma once

#include "core/matching/PairedColumns.h"

#include <optional>

namespace tarnwick {

// Limit 0: the database haplotypes equal to each of the first `searches` search haplotypes at
// every locus both have typed, looked up in an index of the database instead of compared one by
// one. Nothing when the index does not serve: over 64 pairs, many patterns of typed loci, or
// a part of the database that shares no locus with every search haplotype.
std::optional<MatchesBySearch> findExactMatches(const PairedColumns& columns, std::size_t searches);

} // namespace tarnwick
