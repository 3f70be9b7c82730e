#include "commands/Calculation.h"

#include "commands/InputTables.h"
#include "commands/TableOperations.h"
#include "commands/ViewStates.h"
#include "core/Error.h"
#include "core/matching/ByHaplotypeTable.h"
#include "core/matching/CalculationRefusal.h"
#include "core/matching/GenotypeMatching.h"
#include "core/table/GenotypeLoci.h"
#include "core/text/IntegerText.h"

#include <string>

namespace tarnwick {
namespace {

void refuse(Workspace& workspace, UserMessages& messages, const std::string& message) {
    workspace.statusLine = "error";
    messages.showMessage(message);
    workspace.statusLine.clear();
}

void showResults(Workspace& workspace, std::shared_ptr<const HaplotypeTable> database,
                 std::shared_ptr<const HaplotypeTable> search,
                 const std::shared_ptr<const MatchResult>& result, const TextMeasurer& measurer) {
    StringGrid& table = workspace.StringGrid5;
    if (result->searchesCompared == 0)
        return; // no search haplotype was compared: the table stays as emptied
    table.setColCount(workspace.StringGrid1.ColCount() + kResultLeadingColumns);
    if (result->matches.empty())
        return;
    table.setRowCount(static_cast<int>(result->matches.size()) + 1);
    table.showCellsOf(
        std::make_shared<const ByHaplotypeTable>(std::move(database), std::move(search), result));
    fitColumnWidths(table, measurer);
}

void reportOutcome(Workspace& workspace, UserMessages& messages, bool matched,
                   std::size_t pairCount) {
    StringGrid& result = workspace.StringGrid5;
    if (!matched) {
        result.setFixedRows(0);
        result.setRowCount(1);
        result.setColCount(1);
        workspace.statusLine.clear();
        messages.showMessage("not match");
        return;
    }
    workspace.statusLine.clear();
    messages.showMessage(std::string(19, ' ') + "SUCCESFUL!!!\r\n" + std::to_string(pairCount) +
                         " markers overlap with the database");
    applyViewEvent(workspace, ViewEvent::CalculationMatched);
    workspace.statusLine.clear();
}

} // namespace

void calculate(Workspace& workspace, UserMessages& messages, const TextMeasurer& measurer,
               const MatchProgress& progress) {
    if (workspace.databaseHasErrors || workspace.searchHasErrors) {
        workspace.statusLine.clear();
        return;
    }
    std::shared_ptr<const HaplotypeTable> database;
    std::shared_ptr<const HaplotypeTable> search;
    const bool loaded = isLoaded(workspace.StringGrid1) && isLoaded(workspace.StringGrid2);
    if (loaded && !workspace.stepLimit.empty()) {
        database =
            haplotypesOf(workspace.StringGrid1, InputRole::Database, workspace.databaseReading);
        search = haplotypesOf(workspace.StringGrid2, InputRole::Search, workspace.searchReading);
    }
    const CalculationCheck check =
        checkCalculation({workspace.stepLimit, database.get(), search.get()});
    if (check.refusal)
        return refuse(workspace, messages, *check.refusal);
    const bool genotypes = database->reading() == CellReading::Genotypes;
    const std::size_t pairs = check.commonLoci;
    const std::int64_t limit = parseIntegerText(workspace.stepLimit);

    workspace.statusLine = "calculating, wait...";
    messages.showMessage(kCalculationWarning);
    applyViewEvent(workspace, ViewEvent::CalculationStarted);
    emptyResultTable(workspace.StringGrid5, ResultTableState::Calculating);

    auto result = std::make_shared<const MatchResult>(
        genotypes ? matchGenotypes(*database, *search, limit, progress)
                  : match(*database, *search, limit, progress));
    showResults(workspace, database, search, result, measurer);
    if (result->failure)
        throw ConversionError(*result->failure);
    reportOutcome(workspace, messages, !result->matches.empty(), pairs);
}

} // namespace tarnwick
