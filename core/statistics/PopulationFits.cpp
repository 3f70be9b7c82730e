#include "core/statistics/PopulationFits.h"

namespace tarnwick {
namespace {

void fit(PopulationFits& fits, const ClusterRequest& request, const FitGoOn& goOn) {
    if (request.clusters > 0) {
        fits.fits.push_back(fitDiscreteLaplace(fits.sample.sample, request.clusters, {}, goOn));
        return;
    }
    ClusterChoice choice = chooseClusters(fits.sample.sample, request.maxClusters, {}, goOn);
    fits.fits = std::move(choice.fits);
    fits.chosen = choice.chosen;
}

} // namespace

std::vector<PopulationFits> fitPopulations(const HaplotypeTable& database,
                                           const ClusterRequest& request, const FitWarning& warn,
                                           const PopulationFitGoOn& goOn) {
    // Gathering the men of a million rows takes a while: the go-on question comes between passes.
    std::vector<PopulationSample> samples = populationSamples(database, [&goOn] {
        if (goOn && !goOn({}))
            throw FitCancelled();
    });
    std::vector<PopulationFits> result(samples.size());
    for (std::size_t p = 0; p < samples.size(); ++p) {
        PopulationFits& fits = result[p];
        fits.sample = std::move(samples[p]);
        const std::string name = "population \"" + fits.sample.population + "\"";
        if (!fits.sample.leftOut.empty())
            warn(name + ": " + listed(fits.sample.leftOut) +
                 " left out of the discrete Laplace fit (a man without one whole allele there)");
        FitGoOn fitGoOn;
        if (goOn)
            fitGoOn = [&goOn, &fits, p, count = samples.size()](const FitProgress& progress) {
                return goOn({p, count, fits.sample.population, progress});
            };
        try {
            fit(fits, request, fitGoOn);
        } catch (const FitCancelled&) {
            throw;
        } catch (const Error& error) {
            warn(name + ": no discrete Laplace fit: " + error.what());
        }
        for (const DiscreteLaplaceFit& done : fits.fits)
            if (!done.converged)
                warn(name + ", k = " + std::to_string(done.model.clusters()) +
                     ": the fit reached its limit of EM iterations before converging");
    }
    return result;
}

std::string describeFitProgress(const PopulationFitProgress& progress) {
    std::string text = "population " + std::to_string(progress.population + 1) + " of " +
                       std::to_string(progress.populations) + " (" + std::string(progress.name) +
                       "): k = " + std::to_string(progress.fit.clusters);
    if (progress.fit.maxClusters > progress.fit.clusters)
        text += " of at most " + std::to_string(progress.fit.maxClusters);
    text += progress.fit.stage == FitProgress::Stage::Medoids
                ? ", starting centres, pass " + std::to_string(progress.fit.step)
                : ", EM iteration " + std::to_string(progress.fit.step);
    return text;
}

std::string listed(const std::vector<std::string>& titles) {
    std::string text;
    for (const std::string& title : titles)
        text += (text.empty() ? "" : ", ") + title;
    return text;
}

} // namespace tarnwick
