#include "commands/PopulationViews.h"

#include "commands/InputTables.h"
#include "commands/TableOperations.h"
#include "commands/ViewStates.h"
#include "core/matching/ByHaplotypeTable.h"
#include "core/statistics/PopulationSummary.h"

#include <algorithm>
#include <string>

namespace tarnwick {
namespace {

// The result rows of the by-haplotype table as the summary counts them: the population of
// column 12 and the steps of column 3, whose texts "0" to "3" count.
std::vector<PopulationMatch> shownMatches(const StringGrid& byHaplotype) {
    const auto rows = static_cast<std::size_t>(std::max(byHaplotype.RowCount() - 1, 0));
    if (const auto shown =
            std::dynamic_pointer_cast<const ByHaplotypeTable>(byHaplotype.source())) {
        const auto& matches = shown->result().matches;
        return populationMatches(
            shown->database(),
            {matches.begin(),
             matches.begin() + static_cast<std::ptrdiff_t>(std::min(rows, matches.size()))});
    }
    std::vector<PopulationMatch> matches;
    for (int row = 1; row <= static_cast<int>(rows); ++row) {
        const std::string steps = byHaplotype.Cells(kResultStepsColumn, row);
        const bool counted = steps.size() == 1 && steps[0] >= '0' && steps[0] <= '3';
        matches.push_back(
            {byHaplotype.Cells(kResultPopulationColumn, row), counted ? steps[0] - '0' : -1});
    }
    return matches;
}

} // namespace

void showByPopulations(Workspace& workspace, const TextMeasurer& measurer) {
    StringGrid& table = workspace.StringGrid7;
    table.clearCells();
    table.setRowCount(2);
    for (int col = 0; col < ByPopulationTable::kColumns; ++col)
        table.setCells(col, 0, ByPopulationTable::header(col));

    const auto database =
        haplotypesOf(workspace.StringGrid1, InputRole::Database, workspace.databaseReading);
    auto summary = summariseByPopulation(*database, shownMatches(workspace.StringGrid5));
    // The first pass, over the populations of the result rows, ends by dropping its spare row;
    // with no population that takes the header row's fixed state away for good.
    table.setRowCount(1 + static_cast<int>(summary.withMatches));

    const ByPopulationTable rows(std::move(summary.rows));
    std::string scratch;
    table.setRowCount(rows.rowCount());
    for (int row = 1; row < rows.rowCount(); ++row)
        for (int col = 0; col < ByPopulationTable::kColumns; ++col)
            if (col != 1)
                table.setCells(col, row, rows.text(col, row, scratch));
    fitColumnWidths(table, measurer);
    applyViewEvent(workspace, ViewEvent::ByPopulationsShown);
}

void showByHaplotypes(Workspace& workspace) {
    applyViewEvent(workspace, ViewEvent::ByHaplotypesShown);
}

} // namespace tarnwick
