#pragma once

// Every population of a database fitted with the discrete Laplace mixture, for the commands that
// use it: the cluster options they share, a warning for what a fit leaves out, progress on the
// status line.

#include "cli/CommandLine.h"
#include "cli/TerminalStatus.h"
#include "core/statistics/DiscreteLaplaceFit.h"
#include "core/statistics/PopulationSamples.h"

#include <ostream>
#include <vector>

namespace tarnwick {

// A fixed number of clusters, or the search for the one of smallest BIC up to a most.
struct ClusterRequest {
    std::size_t clusters = 0; // 0: chosen by BIC
    std::size_t maxClusters = 10;
};

// Declares --clusters K and --max-clusters K, each excluding the other; when needed is given,
// they are accepted only along with it.
void declareClusterOptions(CommandDeclaration& command, ClusterRequest& request,
                           CLI::Option* needed = nullptr);

// A population's men and its fits: the one fit asked for, or all fits tried (k = 1, 2, ...).
struct PopulationFits {
    PopulationSample sample;
    std::vector<DiscreteLaplaceFit> fits; // empty when the population could not be fitted
    std::size_t chosen = 0;               // into fits
    const DiscreteLaplaceFit* best() const { return fits.empty() ? nullptr : &fits[chosen]; }
};

// Fits each population once, in the order they first occur. Writes to err, naming the
// population, the loci left out of its fit, why a population could not be fitted and a fit that
// stopped before converging.
std::vector<PopulationFits> fitPopulations(const HaplotypeTable& database,
                                           const ClusterRequest& request, std::ostream& err,
                                           TerminalStatus& status);

// The titles joined by ", ".
std::string listed(const std::vector<std::string>& titles);

} // namespace tarnwick
