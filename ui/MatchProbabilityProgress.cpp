#include "ui/MatchProbabilityProgress.h"

#include "ui/WorkProgress.h"

namespace tarnwick {

MatchProbabilityRun matchProbabilitiesWithProgress(QWidget* parent) {
    return [parent](const MatchProbabilityInputs& inputs) {
        std::optional<MatchProbabilityResult> result;
        const bool finished = runWithProgress(
            parent, "Discrete Laplace", "Fitting the populations...", "DiscreteLaplaceProgress",
            [&](WorkerProgress& progress) {
                result = computeMatchProbabilities(
                    inputs,
                    [&progress](const PopulationFitProgress& fit) {
                        // Populations fitted so far; a fit's own length is not known ahead.
                        progress.report(static_cast<int>(fit.population * 100 /
                                                         std::max<std::size_t>(fit.populations, 1)),
                                        fit.populations == 0
                                            ? std::string("Gathering the populations' men...")
                                            : "Fitting " + describeFitProgress(fit));
                        return progress.goOn();
                    },
                    // The counting before the fits.
                    [&progress](std::size_t done, std::size_t total) {
                        progress.report(
                            static_cast<int>(done * 100 / std::max<std::size_t>(total, 1)),
                            "Comparing...");
                        if (!progress.goOn())
                            throw WorkCancelled();
                    });
            });
        return finished ? result : std::nullopt;
    };
}

} // namespace tarnwick
