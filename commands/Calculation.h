#pragma once

#include "commands/BackgroundWork.h"
#include "commands/TextMeasurer.h"
#include "commands/UserMessages.h"
#include "commands/Workspace.h"
#include "core/matching/CalculationRefusal.h"
#include "core/matching/Matching.h"

namespace tarnwick {

inline constexpr const char* kCalculationWarning =
    "calculate with highlighted cells might take few minutes, press \"ok\"";

// "Calculate" (Button3Click): refuses while an input table has faults, without a step limit or
// before both tables are loaded; otherwise lists every database haplotype within the step limit
// of each search haplotype in the by-haplotype table, sorted by number of steps, and reports how
// many loci overlap. A step limit or paired cell that is not integer text raises
// ConversionError; the table then holds the rows of the search haplotypes before it. Tables
// loaded as genotypes are compared by the genotype rules (GenotypeMatching.h). The comparison
// runs through the runner; when the user cancels it, the tables, views and status line stay as
// they were before the command.
void calculate(Workspace& workspace, UserMessages& messages, const TextMeasurer& measurer,
               WorkRunner& runner = inPlace());

} // namespace tarnwick
