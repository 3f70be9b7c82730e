#include "core/Calculation.h"

#include "core/ByHaplotypeTable.h"
#include "core/Error.h"
#include "core/HaplotypeComparer.h"
#include "core/IntegerText.h"
#include "core/LocusPairs.h"
#include "core/SelectionSortOrder.h"
#include "core/TableOperations.h"

#include <algorithm>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

void refuse(Workspace& workspace, UserMessages& messages, const std::string& message) {
    workspace.statusLine = "error";
    messages.showMessage(message);
    workspace.statusLine.clear();
}

// Returns true when the command may go on.
bool passesRefusals(Workspace& workspace, UserMessages& messages,
                    const std::vector<LocusPair>& pairs) {
    if (workspace.databaseHasErrors || workspace.searchHasErrors) {
        workspace.statusLine.clear();
        return false;
    }
    if (workspace.stepLimit.empty()) {
        refuse(workspace, messages, "nonselected step");
        return false;
    }
    if (!isLoaded(workspace.StringGrid1) || !isLoaded(workspace.StringGrid2)) {
        refuse(workspace, messages, "data not load");
        return false;
    }
    // Without a common locus no haplotype could be compared at all.
    if (pairs.empty() && workspace.StringGrid1.RowCount() > 3 &&
        workspace.StringGrid2.RowCount() > 3) {
        refuse(workspace, messages, "no common loci");
        return false;
    }
    return true;
}

void showEmptyResultTable(Workspace& workspace) {
    StringGrid& result = workspace.StringGrid5;
    workspace.StringGrid5.setVisible(true);
    workspace.StringGrid1.setVisible(false);
    workspace.StringGrid2.setVisible(false);
    emptyTable(result);
    result.setColCount(1);
    result.setRowCount(2);
    result.setFixedRows(1);
    workspace.StringGrid7.setVisible(false);
    emptyTable(workspace.StringGrid4);
    workspace.StringGrid4.setColCount(1);
    workspace.StringGrid4.setRowCount(5);
}

// The search haplotypes compared before the first one that meets a conversion error.
struct Comparisons {
    std::vector<Match> matches;
    std::vector<std::size_t> batchEnds; // matches of search row s end at batchEnds[s - 1]
    std::exception_ptr failure;
};

// Search haplotypes compared in one pass over the database.
constexpr int kSearchBlock = 8;

Comparisons compareAll(const HaplotypeComparer& comparer, int searchHaplotypes, std::int64_t limit,
                       const CalculationProgress& progress) {
    Comparisons comparisons;
    int comparable = searchHaplotypes;
    for (int row = 1; row <= searchHaplotypes; ++row) {
        try {
            comparer.checkConvertible(row);
        } catch (const ConversionError&) {
            comparisons.failure = std::current_exception();
            comparable = row - 1;
            break;
        }
    }
    // Blocks of search haplotypes are compared side by side on the machine's cores; their
    // matches are then taken in search order, so the result does not depend on the threads.
    const int threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::vector<std::vector<std::vector<Match>>> blocks(static_cast<std::size_t>(threads));
    for (int first = 1; first <= comparable; first += threads * kSearchBlock) {
        for (int t = 0; t < threads; ++t)
            blocks[static_cast<std::size_t>(t)].resize(static_cast<std::size_t>(
                std::clamp(comparable - first - t * kSearchBlock + 1, 0, kSearchBlock)));
        std::vector<std::exception_ptr> failures(static_cast<std::size_t>(threads));
        {
            std::vector<std::jthread> helpers; // joined on leaving the scope, also on an error
            for (int t = 1; t < threads && !blocks[static_cast<std::size_t>(t)].empty(); ++t)
                helpers.emplace_back([&comparer, &blocks, &failures, first, t, limit] {
                    try {
                        comparer.findMatches(first + t * kSearchBlock, limit,
                                             blocks[static_cast<std::size_t>(t)]);
                    } catch (...) {
                        failures[static_cast<std::size_t>(t)] = std::current_exception();
                    }
                });
            comparer.findMatches(first, limit, blocks[0]);
        }
        for (const auto& failure : failures)
            if (failure)
                std::rethrow_exception(failure);
        int done = first - 1;
        for (const auto& block : blocks) {
            for (const auto& matches : block) {
                comparisons.matches.insert(comparisons.matches.end(), matches.begin(),
                                           matches.end());
                comparisons.batchEnds.push_back(comparisons.matches.size());
                ++done;
            }
        }
        if (progress)
            progress(done, searchHaplotypes);
    }
    return comparisons;
}

// The order the selection sort, repeated after each search haplotype, leaves the rows in.
std::vector<std::uint32_t> sortedOrder(const Comparisons& comparisons) {
    SelectionSortOrder order(comparisons.matches.size());
    std::size_t next = 0;
    for (std::size_t end : comparisons.batchEnds) {
        if (end == next)
            continue; // a pass over rows already sorted changes nothing
        for (; next < end; ++next)
            order.append(static_cast<std::int32_t>(comparisons.matches[next].steps),
                         static_cast<std::uint32_t>(next));
        order.sortPass();
    }
    return {order.items().begin(), order.items().end()};
}

void fillResultTable(Workspace& workspace, const HaplotypeComparer& comparer,
                     const Comparisons& comparisons, const TextMeasurer& measurer) {
    StringGrid& result = workspace.StringGrid5;
    if (comparisons.batchEnds.empty())
        return; // no search haplotype was compared: the table stays as emptied
    result.setColCount(workspace.StringGrid1.ColCount() + kResultLeadingColumns);
    const auto order = sortedOrder(comparisons);
    if (order.empty())
        return;
    result.setRowCount(static_cast<int>(order.size()) + 1);
    ByHaplotypeTableWriter writer(workspace.StringGrid1, workspace.StringGrid2, comparer);
    writer.writeHeader(result);
    for (std::size_t i = 0; i < order.size(); ++i)
        writer.writeRow(result, static_cast<int>(i) + 1, comparisons.matches[order[i]]);
    fitColumnWidths(result, measurer);
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
    workspace.enabled.Button4 = true;
    workspace.enabled.Save1 = true;
    workspace.enabled.Button5 = true;
    workspace.enabled.Button6 = false;
    workspace.statusLine.clear();
}

} // namespace

void calculate(Workspace& workspace, UserMessages& messages, const TextMeasurer& measurer,
               const CalculationProgress& progress) {
    const StringGrid& database = workspace.StringGrid1;
    const StringGrid& search = workspace.StringGrid2;
    auto pairs = pairLoci(database, search);
    if (!passesRefusals(workspace, messages, pairs))
        return;
    const std::int64_t limit = parseIntegerText(workspace.stepLimit);

    workspace.statusLine = "calculating, wait...";
    messages.showMessage(kCalculationWarning);
    showEmptyResultTable(workspace);

    const int searchHaplotypes = std::max(search.RowCount() - 3, 0);
    if (searchHaplotypes > 0)
        writeCommonLocusTable(workspace.StringGrid3, pairs);
    const std::size_t pairCount = pairs.size();
    const HaplotypeComparer comparer(database, search, std::move(pairs));
    const Comparisons comparisons = compareAll(comparer, searchHaplotypes, limit, progress);
    fillResultTable(workspace, comparer, comparisons, measurer);
    if (comparisons.failure)
        std::rethrow_exception(comparisons.failure);
    reportOutcome(workspace, messages, !comparisons.matches.empty(), pairCount);
}

} // namespace tarnwick
