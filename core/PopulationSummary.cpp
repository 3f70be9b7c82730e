#include "core/PopulationSummary.h"

#include "core/ByHaplotypeTable.h"
#include "core/NumberTexts.h"
#include "core/TableOperations.h"

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {
namespace {

constexpr int kSampleSizeColumn = 2;
constexpr int kExactMatchesColumn = 3;
constexpr int kPopulationColumn = 1; // of the database table

struct PopulationRow {
    TextId population;
    std::array<int, 4> bySteps{}; // result rows with 0, 1, 2 and 3 steps
};

class PopulationRows {
public:
    PopulationRows() {
        TextPool& pool = TextPool::shared();
        zero_ = pool.intern("0");
        for (int steps = 0; steps < 4; ++steps)
            stepTexts_[steps] = pool.intern(std::to_string(steps));
    }

    bool isPopulation(TextId text) const { return text != kEmptyText && text != zero_; }

    // Index of the population's row, appending it when it is new.
    std::size_t rowOf(TextId population) {
        const auto [entry, inserted] = index_.try_emplace(population, rows_.size());
        if (inserted)
            rows_.push_back({population});
        return entry->second;
    }

    void countResultRow(TextId population, TextId steps) {
        PopulationRow& row = rows_[rowOf(population)];
        for (int s = 0; s < 4; ++s)
            if (steps == stepTexts_[s])
                ++row.bySteps[s];
    }

    const std::vector<PopulationRow>& rows() const { return rows_; }

private:
    TextId zero_;
    std::array<TextId, 4> stepTexts_;
    std::unordered_map<TextId, std::size_t> index_;
    std::vector<PopulationRow> rows_;
};

void writeHeader(StringGrid& table) {
    static const char* const kHeaders[7] = {
        "population name",    "population comments", "N(population sample size)", "exact matches",
        "one-step neighbors", "two-step neighbors",  "three-step neighbors"};
    for (int column = 0; column < 7; ++column)
        table.setCells(column, 0, kHeaders[column]);
}

std::unordered_map<TextId, int> sampleSizes(const StringGrid& database) {
    std::unordered_map<TextId, int> sizes;
    for (int row = 1; row < database.RowCount(); ++row)
        ++sizes[database.cellId(kPopulationColumn, row)];
    return sizes;
}

// What the population column table holds at the end: the database's column, each population
// handled marked "0" after its first row (the first row itself is never marked).
void keepPopulationColumn(StringGrid& column, const StringGrid& database,
                          const PopulationRows& populations) {
    column.setRowCount(database.RowCount() - 1);
    for (int row = 1; row < database.RowCount(); ++row) {
        const TextId text = database.cellId(kPopulationColumn, row);
        const bool marked = row > 1 && populations.isPopulation(text);
        column.setCells(0, row - 1, marked ? std::string("0") : TextPool::shared().text(text));
    }
}

} // namespace

void showByPopulations(Workspace& workspace, const TextMeasurer& measurer) {
    StringGrid& table = workspace.StringGrid7;
    const StringGrid& result = workspace.StringGrid5;
    const StringGrid& database = workspace.StringGrid1;
    emptyTable(table);
    table.setRowCount(2);
    writeHeader(table);

    PopulationRows populations;
    for (int row = 1; row < result.RowCount(); ++row) {
        const TextId population = result.cellId(kResultPopulationColumn, row);
        if (populations.isPopulation(population))
            populations.countResultRow(population, result.cellId(kResultStepsColumn, row));
    }
    const std::size_t withResults = populations.rows().size();
    // The first pass ends by dropping its spare row; with no population that takes the header
    // row's fixed state away for good.
    table.setRowCount(1 + static_cast<int>(withResults));
    for (int row = 1; row < database.RowCount(); ++row) {
        const TextId population = database.cellId(kPopulationColumn, row);
        if (populations.isPopulation(population))
            populations.rowOf(population);
    }
    keepPopulationColumn(workspace.StringGrid8, database, populations);

    const auto sizes = sampleSizes(database);
    NumberTexts numbers;
    table.setRowCount(1 + static_cast<int>(populations.rows().size()));
    int row = 1;
    for (const PopulationRow& population : populations.rows()) {
        table.setCellId(0, row, population.population);
        const auto size = sizes.find(population.population);
        table.setCellId(kSampleSizeColumn, row, numbers.id(size == sizes.end() ? 0 : size->second));
        for (int s = 0; s < 4; ++s)
            table.setCellId(kExactMatchesColumn + s, row, numbers.id(population.bySteps[s]));
        ++row;
    }
    fitColumnWidths(table, measurer);
    workspace.StringGrid5.setVisible(false);
    workspace.StringGrid7.setVisible(true);
    workspace.enabled.Button6 = true;
    workspace.enabled.Button5 = false;
}

void showByHaplotypes(Workspace& workspace) {
    workspace.StringGrid7.setVisible(false);
    workspace.StringGrid5.setVisible(true);
    workspace.enabled.Button5 = true;
    workspace.enabled.Button6 = false;
}

} // namespace tarnwick
