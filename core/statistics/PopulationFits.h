#pragma once

// Every population of a database fitted with the discrete Laplace mixture, for the batch tool and
// the window alike: what each fit leaves out goes to a warning callback, progress to a "go on?"
// callback.

#include "core/statistics/DiscreteLaplaceFit.h"
#include "core/statistics/PopulationSamples.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A fixed number of clusters, or the search for the one of smallest BIC up to a most.
struct ClusterRequest {
    std::size_t clusters = 0; // 0: chosen by BIC
    std::size_t maxClusters = 10;
};

// A population's men and its fits: the one fit asked for, or all fits tried (k = 1, 2, ...).
struct PopulationFits {
    PopulationSample sample;
    std::vector<DiscreteLaplaceFit> fits; // empty when the population could not be fitted
    std::size_t chosen = 0;               // into fits
    const DiscreteLaplaceFit* best() const { return fits.empty() ? nullptr : &fits[chosen]; }
};

// Where the fits stand: the population being fitted (from 0) of how many, and its fit's progress;
// 0 populations while the men of each are still being gathered.
struct PopulationFitProgress {
    std::size_t population = 0;
    std::size_t populations = 0;
    std::string_view name;
    FitProgress fit;
};
// Called now and then on the fitting thread; false stops the fits, which raise FitCancelled.
using PopulationFitGoOn = std::function<bool(const PopulationFitProgress&)>;
// Takes one warning, a line of text naming what it is about.
using FitWarning = std::function<void(const std::string&)>;

// Fits each population once, in the order they first occur. Warns, naming the population, of the
// loci left out of its fit, why a population could not be fitted and a fit that stopped before
// converging. Raises FitCancelled when goOn says no.
std::vector<PopulationFits> fitPopulations(const HaplotypeTable& database,
                                           const ClusterRequest& request, const FitWarning& warn,
                                           const PopulationFitGoOn& goOn = {});

// "population 1 of 3 (X): k = 2 of at most 10, EM iteration 4" and the like.
std::string describeFitProgress(const PopulationFitProgress& progress);

// The titles joined by ", ".
std::string listed(const std::vector<std::string>& titles);

} // namespace tarnwick
