#pragma once

#include "commands/TextMeasurer.h"
#include "commands/Workspace.h"

namespace tarnwick {

// "By populations" (Button5Click): one row per population of the database, those with result
// rows first in the order they first occur there, then the others in database order; N, and the
// result rows with 0, 1, 2 and 3 steps. Empty and "0" texts are no population.
void showByPopulations(Workspace& workspace, const TextMeasurer& measurer);

// "By haplotype(s)" (Button6Click): switches back to the by-haplotype view.
void showByHaplotypes(Workspace& workspace);

} // namespace tarnwick
