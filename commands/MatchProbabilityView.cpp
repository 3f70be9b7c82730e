#include "commands/MatchProbabilityView.h"

#include "commands/Calculation.h"
#include "commands/InputTables.h"
#include "commands/TableOperations.h"
#include "commands/ViewStates.h"
#include "core/statistics/DiscreteLaplaceColumns.h"
#include "core/statistics/MatchProbabilities.h"

#include <algorithm>

namespace tarnwick {
namespace {

// The warnings a message shows at most; the rest are counted.
constexpr std::size_t kWarningsShown = 10;

std::optional<MatchProbabilityInputs> inputsOf(Workspace& workspace, UserMessages& messages,
                                               WorkRunner& runner) {
    if (!canShowMatchProbabilities(workspace))
        return std::nullopt;
    if (workspace.databaseReading != workspace.searchReading) {
        workspace.statusLine = "error";
        messages.showMessage(kDifferentReadings);
        workspace.statusLine.clear();
        return std::nullopt;
    }
    const auto tables = inputHaplotypes(workspace.StringGrid1, workspace.databaseReading,
                                        workspace.StringGrid2, workspace.searchReading, runner);
    if (!tables)
        return std::nullopt;
    return MatchProbabilityInputs{tables->database, tables->search, workspace.discreteLaplace};
}

void show(Workspace& workspace, std::shared_ptr<const TextTable> table,
          const TextMeasurer& measurer) {
    StringGrid& view = workspace.matchProbabilities;
    view.setRowCount(std::max(table->rowCount(), 2)); // a fixed row needs one below it
    view.setColCount(table->columnCount());
    view.setFixedRows(1);
    view.showCellsOf(std::move(table));
    fitColumnWidths(view, measurer);
    applyViewEvent(workspace, ViewEvent::MatchProbabilitiesShown);
    workspace.statusLine = kMatchProbabilitiesStatus;
}

// All warnings of a run in one message rather than a box each: the first few, then a count.
std::string warningMessage(const std::vector<std::string>& warnings) {
    std::string text = "Discrete Laplace:";
    for (std::size_t w = 0; w < std::min(warnings.size(), kWarningsShown); ++w)
        text += "\n" + warnings[w];
    if (warnings.size() > kWarningsShown)
        text += "\n... and " + std::to_string(warnings.size() - kWarningsShown) + " more";
    return text;
}

} // namespace

bool canShowMatchProbabilities(const Workspace& workspace) {
    return isLoaded(workspace.StringGrid1) && isLoaded(workspace.StringGrid2) &&
           !workspace.databaseHasErrors && !workspace.searchHasErrors;
}

std::optional<MatchProbabilityResult>
computeMatchProbabilities(const MatchProbabilityInputs& inputs, const PopulationFitGoOn& goOn,
                          const CountingProgress& counted) {
    MatchProbabilities probabilities =
        matchProbabilities(*inputs.database, *inputs.search, 0.95, counted);
    MatchProbabilityResult result;
    std::vector<DiscreteLaplaceEstimate> estimates;
    if (inputs.discreteLaplace) {
        const FitWarning warn = [&result](const std::string& text) {
            result.warnings.push_back(text);
        };
        try {
            estimates = discreteLaplaceEstimates(
                *inputs.database, *inputs.search, probabilities,
                fitPopulations(*inputs.database, ClusterRequest{}, warn, goOn), warn);
        } catch (const FitCancelled&) {
            return std::nullopt;
        }
    }
    auto counts =
        std::make_shared<const MatchProbabilityTable>(inputs.search, std::move(probabilities));
    if (inputs.discreteLaplace)
        result.table =
            std::make_shared<const WithDiscreteLaplace>(std::move(counts), std::move(estimates));
    else
        result.table = std::move(counts);
    return result;
}

bool showMatchProbabilities(Workspace& workspace, UserMessages& messages,
                            const TextMeasurer& measurer, const MatchProbabilityRun& run,
                            WorkRunner& runner) {
    const auto inputs = inputsOf(workspace, messages, runner);
    if (!inputs)
        return false;
    std::optional<MatchProbabilityResult> result;
    if (inputs->discreteLaplace && run)
        result = run(*inputs);
    else if (!runner.run("Comparing", [&](const GoOn& goOn) {
                 // The fits, after the counting, tell the populations fitted.
                 const PopulationFitGoOn fitted = [&goOn](const PopulationFitProgress& fit) {
                     return goOn(fit.population, fit.populations);
                 };
                 result = computeMatchProbabilities(*inputs, fitted, raisingWhenCancelled(goOn));
             }))
        return false;
    if (!result)
        return false;
    show(workspace, result->table, measurer);
    if (!result->warnings.empty())
        messages.showMessage(warningMessage(result->warnings));
    return true;
}

bool setDiscreteLaplace(Workspace& workspace, bool on, UserMessages& messages,
                        const TextMeasurer& measurer, const MatchProbabilityRun& run,
                        WorkRunner& runner) {
    const bool before = workspace.discreteLaplace;
    workspace.discreteLaplace = on;
    if (on == before || !workspace.matchProbabilities.Visible())
        return true;
    if (showMatchProbabilities(workspace, messages, measurer, run, runner))
        return true;
    workspace.discreteLaplace = before;
    return false;
}

} // namespace tarnwick
