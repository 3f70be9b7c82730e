#pragma once

// The discrete Laplace fits as the batch commands ask for them: the cluster options they share,
// and the fits with their warnings on stderr and their progress on the status line.

#include "cli/CommandLine.h"
#include "cli/TerminalStatus.h"
#include "core/statistics/PopulationFits.h"

#include <ostream>
#include <vector>

namespace tarnwick {

// Declares --clusters K and --max-clusters K, each excluding the other; when needed is given,
// they are accepted only along with it.
void declareClusterOptions(CommandDeclaration& command, ClusterRequest& request,
                           CLI::Option* needed = nullptr);

// Fits each population once (PopulationFits.h), each warning a line of err.
std::vector<PopulationFits> fitPopulations(const HaplotypeTable& database,
                                           const ClusterRequest& request, std::ostream& err,
                                           TerminalStatus& status);

// A warning as a line of err.
FitWarning warningsTo(std::ostream& err, TerminalStatus& status);

} // namespace tarnwick
