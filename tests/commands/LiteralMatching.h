#pragma once

// A deliberately literal, slow implementation of "Calculate" and "By populations": every number
// kept as text in the scratch tables, converted at each use, the selection sort rerun after each
// search haplotype. The real implementation must leave exactly the same workspace behind.

#include "commands/TextMeasurer.h"
#include "commands/UserMessages.h"
#include "commands/Workspace.h"

namespace tarnwick::literal {

void calculate(Workspace& workspace, UserMessages& messages, const TextMeasurer& measurer);
void showByPopulations(Workspace& workspace, const TextMeasurer& measurer);

} // namespace tarnwick::literal
