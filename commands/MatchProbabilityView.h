#pragma once

#include "commands/TextMeasurer.h"
#include "commands/UserMessages.h"
#include "commands/Workspace.h"

namespace tarnwick {

// Whether Calculate, "Match probabilities" can be used: both tables loaded without faults.
bool canShowMatchProbabilities(const Workspace& workspace);

// Calculate, "Match probabilities": how often each search haplotype occurs in each population
// of the database (MatchProbabilities.h, confidence 0.95), shown in a view of its own in the
// views' place. Refuses tables loaded with different readings, as Calculate does.
void showMatchProbabilities(Workspace& workspace, UserMessages& messages,
                            const TextMeasurer& measurer);

} // namespace tarnwick
