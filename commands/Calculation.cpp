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

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

void refuse(Workspace& workspace, UserMessages& messages, const std::string& message) {
    workspace.statusLine = "error";
    messages.showMessage(message);
    workspace.statusLine.clear();
}

// The by-haplotype table of a comparison's matches, and its columns' widths measured with it.
struct Comparison {
    std::shared_ptr<const MatchResult> result;
    std::shared_ptr<const ByHaplotypeTable> shown; // null when there is no match to show
    std::vector<int> widths;
};

// Lays the matches out as the by-haplotype table shows them and measures its columns, so that
// the window's thread has only to take them.
void measureShownMatches(Comparison& comparison, std::shared_ptr<const HaplotypeTable> database,
                         std::shared_ptr<const HaplotypeTable> search, int columns,
                         const TextMeasurer& measurer) {
    const auto& result = comparison.result;
    if (result->searchesCompared == 0 || result->matches.empty())
        return;
    comparison.shown =
        std::make_shared<const ByHaplotypeTable>(std::move(database), std::move(search), result);
    StringGrid laidOut(columns, static_cast<int>(result->matches.size()) + 1);
    laidOut.showCellsOf(comparison.shown);
    fitColumnWidths(laidOut, measurer);
    for (int col = 0; col < columns; ++col)
        comparison.widths.push_back(laidOut.ColWidths(col));
}

void showResults(Workspace& workspace, const Comparison& comparison) {
    StringGrid& table = workspace.StringGrid5;
    if (comparison.result->searchesCompared == 0)
        return; // no search haplotype was compared: the table stays as emptied
    table.setColCount(workspace.StringGrid1.ColCount() + kResultLeadingColumns);
    if (!comparison.shown)
        return;
    table.setRowCount(static_cast<int>(comparison.result->matches.size()) + 1);
    table.showCellsOf(comparison.shown);
    for (std::size_t col = 0; col < comparison.widths.size(); ++col)
        table.setColWidths(static_cast<int>(col), comparison.widths[col]);
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

// Compares through the runner and lays the matches out; nothing when the user cancelled.
std::optional<Comparison> compare(const std::shared_ptr<const HaplotypeTable>& database,
                                  const std::shared_ptr<const HaplotypeTable>& search,
                                  std::int64_t limit, int columns, WorkRunner& runner,
                                  const TextMeasurer& measurer) {
    Comparison comparison;
    const bool finished = runner.run("Comparing", [&](const GoOn& goOn) {
        const MatchProgress progress = raisingWhenCancelled(goOn);
        comparison.result = std::make_shared<const MatchResult>(
            database->reading() == CellReading::Genotypes
                ? matchGenotypes(*database, *search, limit, progress)
                : match(*database, *search, limit, progress));
        measureShownMatches(comparison, database, search, columns, measurer);
    });
    if (!finished)
        return std::nullopt;
    return comparison;
}

} // namespace

void calculate(Workspace& workspace, UserMessages& messages, const TextMeasurer& measurer,
               WorkRunner& runner) {
    if (workspace.databaseHasErrors || workspace.searchHasErrors) {
        workspace.statusLine.clear();
        return;
    }
    std::shared_ptr<const HaplotypeTable> database;
    std::shared_ptr<const HaplotypeTable> search;
    const bool loaded = isLoaded(workspace.StringGrid1) && isLoaded(workspace.StringGrid2);
    if (loaded && !workspace.stepLimit.empty()) {
        const auto tables = inputHaplotypes(workspace.StringGrid1, workspace.databaseReading,
                                            workspace.StringGrid2, workspace.searchReading, runner);
        if (!tables)
            return; // cancelled before anything changed
        database = tables->database;
        search = tables->search;
    }
    const CalculationCheck check =
        checkCalculation({workspace.stepLimit, database.get(), search.get()});
    if (check.refusal)
        return refuse(workspace, messages, *check.refusal);
    const std::size_t pairs = check.commonLoci;
    const std::int64_t limit = parseIntegerText(workspace.stepLimit);

    const std::string statusBefore = workspace.statusLine;
    workspace.statusLine = "calculating, wait...";
    messages.showMessage(kCalculationWarning);
    // The last results stay in place until the new ones are there: a cancelled comparison
    // leaves them.
    const auto comparison =
        compare(database, search, limit, workspace.StringGrid1.ColCount() + kResultLeadingColumns,
                runner, measurer);
    if (!comparison) {
        workspace.statusLine = statusBefore;
        return;
    }
    const MatchResult& result = *comparison->result;
    applyViewEvent(workspace, ViewEvent::CalculationStarted);
    emptyResultTable(workspace.StringGrid5, ResultTableState::Calculating);
    showResults(workspace, *comparison);
    if (result.failure)
        throw ConversionError(*result.failure);
    reportOutcome(workspace, messages, !result.matches.empty(), pairs);
}

} // namespace tarnwick
