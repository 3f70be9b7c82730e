#include "commands/MatchProbabilityView.h"

#include "commands/Calculation.h"
#include "commands/InputTables.h"
#include "commands/TableOperations.h"
#include "commands/ViewStates.h"
#include "core/statistics/MatchProbabilities.h"

#include <algorithm>

namespace tarnwick {

bool canShowMatchProbabilities(const Workspace& workspace) {
    return isLoaded(workspace.StringGrid1) && isLoaded(workspace.StringGrid2) &&
           !workspace.databaseHasErrors && !workspace.searchHasErrors;
}

void showMatchProbabilities(Workspace& workspace, UserMessages& messages,
                            const TextMeasurer& measurer) {
    if (!canShowMatchProbabilities(workspace))
        return;
    if (workspace.databaseReading != workspace.searchReading) {
        workspace.statusLine = "error";
        messages.showMessage(kDifferentReadings);
        workspace.statusLine.clear();
        return;
    }
    const auto database =
        haplotypesOf(workspace.StringGrid1, InputRole::Database, workspace.databaseReading);
    const auto search =
        haplotypesOf(workspace.StringGrid2, InputRole::Search, workspace.searchReading);
    auto table = std::make_shared<const MatchProbabilityTable>(
        search, matchProbabilities(*database, *search, 0.95));
    StringGrid& view = workspace.matchProbabilities;
    view.setRowCount(std::max(table->rowCount(), 2)); // a fixed row needs one below it
    view.setColCount(table->columnCount());
    view.setFixedRows(1);
    view.showCellsOf(std::move(table));
    fitColumnWidths(view, measurer);
    applyViewEvent(workspace, ViewEvent::MatchProbabilitiesShown);
    workspace.statusLine = kMatchProbabilitiesStatus;
}

} // namespace tarnwick
