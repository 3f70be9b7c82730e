#pragma once

#include "core/table/HaplotypeTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// Refusing to compare tables loaded with different readings of their locus cells.
inline constexpr const char* kDifferentReadings =
    "The database and the haplotypes for search were loaded with different readings of their "
    "locus cells. Load them again with the same reading (Settings, \"Read genotypes\").";

// What Calculate starts from. A table is null while it is not loaded.
struct CalculationInputs {
    std::string_view stepLimit;
    const HaplotypeTable* database = nullptr;
    const HaplotypeTable* search = nullptr;
};

struct CalculationCheck {
    std::optional<std::string> refusal; // the message Calculate stops with, if any
    std::size_t commonLoci = 0;         // the loci the two tables share (when not refused)
};

// Calculate's refusals, in their order: no step limit ("nonselected step"), a table not loaded
// ("data not load"), tables read differently, and tables with haplotypes but no common locus
// ("no common loci"). The window and the batch tool both ask here.
CalculationCheck checkCalculation(const CalculationInputs& inputs);

} // namespace tarnwick
