#pragma once

#include "commands/BackgroundWork.h"
#include "commands/TextMeasurer.h"
#include "commands/UserMessages.h"
#include "commands/Workspace.h"
#include "core/statistics/MatchProbabilities.h"
#include "core/statistics/PopulationFits.h"
#include "core/table/HaplotypeTable.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// Whether Calculate, "Match probabilities" can be used: both tables loaded without faults.
bool canShowMatchProbabilities(const Workspace& workspace);

// What a run takes from the workspace: the tables as they stand, and whether the discrete
// Laplace columns are asked for (Calculate, "Discrete Laplace").
struct MatchProbabilityInputs {
    std::shared_ptr<const HaplotypeTable> database;
    std::shared_ptr<const HaplotypeTable> search;
    bool discreteLaplace = false;
};

// What a run found: the table to show, and the discrete Laplace fit's warnings (loci left out,
// populations not fitted, loci of a searched haplotype skipped).
struct MatchProbabilityResult {
    std::shared_ptr<const TextTable> table;
    std::vector<std::string> warnings;
};

// The counting estimates (MatchProbabilities.h, confidence 0.95), followed, when asked, by the
// columns discrete_laplace and clusters of the fit of k = 1, 2, ... chosen by BIC in each
// population (DiscreteLaplaceColumns.h). Touches no state, so it may run on any thread; goOn is
// called there during the fits and stops the run by returning false, which gives none. The
// counting is told to counted, which stops it by raising.
std::optional<MatchProbabilityResult>
computeMatchProbabilities(const MatchProbabilityInputs& inputs, const PopulationFitGoOn& goOn = {},
                          const CountingProgress& counted = {});

// How a run with the discrete Laplace fits is carried out: here on this thread by default; the
// window's runs it on a worker behind a progress dialog. None when it was stopped.
using MatchProbabilityRun =
    std::function<std::optional<MatchProbabilityResult>(const MatchProbabilityInputs&)>;

// Calculate, "Match probabilities": the result shown in a view of its own in the views' place,
// then the fit's warnings in one message. Refuses tables loaded with different readings, as
// Calculate does. False, with nothing changed, when it could not run or was stopped. The counting
// alone runs through the runner ("Comparing").
bool showMatchProbabilities(Workspace& workspace, UserMessages& messages,
                            const TextMeasurer& measurer, const MatchProbabilityRun& run = {},
                            WorkRunner& runner = inPlace());

// Calculate, "Discrete Laplace": turns the two columns on or off, and shows the match
// probabilities again when they are shown. When that run is stopped, the setting and the view
// stay as they were (false).
bool setDiscreteLaplace(Workspace& workspace, bool on, UserMessages& messages,
                        const TextMeasurer& measurer, const MatchProbabilityRun& run = {},
                        WorkRunner& runner = inPlace());

} // namespace tarnwick
