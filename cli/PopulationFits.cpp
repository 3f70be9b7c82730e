#include "cli/PopulationFits.h"

#include <charconv>
#include <chrono>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

// Where the fit of one population stands, a few times a second once the fits have taken a
// second (from start), as the other long calculations show theirs.
FitGoOn fitStatus(TerminalStatus& status, const std::string& population, std::size_t place,
                  std::size_t count, Clock::time_point start) {
    return [&status, population, place, count, start,
            last = start](const FitProgress& progress) mutable {
        const auto now = Clock::now();
        if (now - start < std::chrono::seconds(1) || now - last < std::chrono::milliseconds(200))
            return true;
        last = now;
        std::string text = "fitting population " + std::to_string(place + 1) + " of " +
                           std::to_string(count) + " (" + population +
                           "): k = " + std::to_string(progress.clusters);
        if (progress.maxClusters > progress.clusters)
            text += " of at most " + std::to_string(progress.maxClusters);
        text += progress.stage == FitProgress::Stage::Medoids
                    ? ", starting centres, pass " + std::to_string(progress.step)
                    : ", EM iteration " + std::to_string(progress.step);
        status.show(text);
        return true;
    };
}

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

void declareClusterOptions(CommandDeclaration& command, ClusterRequest& request,
                           CLI::Option* needed) {
    // A count of clusters, shown as K alone in the help.
    const CLI::Validator atLeastOne(
        [](const std::string& text) -> std::string {
            std::size_t count = 0;
            const char* const end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, count);
            if (error == std::errc() && stop == end && count >= 1)
                return {};
            return "takes a whole number of clusters from 1, not \"" + text + "\"";
        },
        "");
    CLI::Option* clusters =
        command
            .value("--clusters", request.clusters, "K",
                   "fits K clusters in every population instead of choosing k by BIC")
            ->check(atLeastOne);
    CLI::Option* most = command
                            .value("--max-clusters", request.maxClusters, "K",
                                   "tries k = 1, 2, ... up to K (default 10), stopping early "
                                   "once BIC has risen twice in a row; the fit of smallest BIC "
                                   "is chosen")
                            ->check(atLeastOne);
    clusters->excludes(most);
    if (needed) {
        clusters->needs(needed);
        most->needs(needed);
    }
}

std::vector<PopulationFits> fitPopulations(const HaplotypeTable& database,
                                           const ClusterRequest& request, std::ostream& err,
                                           TerminalStatus& status) {
    std::vector<PopulationSample> samples = populationSamples(database);
    std::vector<PopulationFits> result(samples.size());
    const Clock::time_point start = Clock::now();
    for (std::size_t p = 0; p < samples.size(); ++p) {
        PopulationFits& fits = result[p];
        fits.sample = std::move(samples[p]);
        const std::string name = "population \"" + fits.sample.population + "\"";
        if (!fits.sample.leftOut.empty())
            report(err, status,
                   name + ": " + listed(fits.sample.leftOut) +
                       " left out of the discrete Laplace fit (a man without one whole allele "
                       "there)");
        try {
            fit(fits, request, fitStatus(status, fits.sample.population, p, samples.size(), start));
        } catch (const FitCancelled&) {
            throw;
        } catch (const Error& error) {
            report(err, status, name + ": no discrete Laplace fit: " + error.what());
        }
        for (const DiscreteLaplaceFit& done : fits.fits)
            if (!done.converged)
                report(err, status,
                       name + ", k = " + std::to_string(done.model.clusters()) +
                           ": the fit reached its limit of EM iterations before converging");
    }
    status.show("");
    return result;
}

std::string listed(const std::vector<std::string>& titles) {
    std::string text;
    for (const std::string& title : titles)
        text += (text.empty() ? "" : ", ") + title;
    return text;
}

} // namespace tarnwick
