#include "cli/ClusterOptions.h"

#include <charconv>
#include <chrono>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

// Where the fits stand, a few times a second once they have taken a second, as the other long
// calculations show theirs.
PopulationFitGoOn fitStatus(TerminalStatus& status) {
    const Clock::time_point start = Clock::now();
    return [&status, start, last = start](const PopulationFitProgress& progress) mutable {
        const auto now = Clock::now();
        if (now - start < std::chrono::seconds(1) || now - last < std::chrono::milliseconds(200))
            return true;
        last = now;
        status.show(progress.populations == 0 ? std::string("gathering the populations' men")
                                              : "fitting " + describeFitProgress(progress));
        return true;
    };
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

FitWarning warningsTo(std::ostream& err, TerminalStatus& status) {
    return [&err, &status](const std::string& text) { report(err, status, text); };
}

std::vector<PopulationFits> fitPopulations(const HaplotypeTable& database,
                                           const ClusterRequest& request, std::ostream& err,
                                           TerminalStatus& status) {
    std::vector<PopulationFits> fits =
        fitPopulations(database, request, warningsTo(err, status), fitStatus(status));
    status.show("");
    return fits;
}

} // namespace tarnwick
