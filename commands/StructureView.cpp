#include "commands/StructureView.h"

#include "commands/InputTables.h"
#include "commands/TableOperations.h"
#include "commands/ViewStates.h"
#include "commands/Workspace.h"
#include "core/statistics/MatchProbabilities.h"

#include <algorithm>
#include <utility>

namespace tarnwick {
namespace {

std::string count(std::size_t value) {
    return std::to_string(value);
}

std::string number(const std::optional<double>& value) {
    return value ? sixDigits(*value) : std::string();
}

int gridSize(std::size_t size) {
    return static_cast<int>(size);
}

// Sets the cells of a grid, row by row, to these texts; the grid takes the widest row's columns.
void fill(StringGrid& grid, const std::vector<std::vector<std::string>>& rows) {
    std::size_t columns = 1;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    grid.setFixedRows(0);
    grid.setColCount(gridSize(columns));
    grid.setRowCount(std::max(gridSize(rows.size()), 2)); // a fixed row needs one below it
    grid.clearCells();
    grid.setFixedRows(1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            grid.setCells(gridSize(c), gridSize(r), rows[r][c]);
}

void fillAmova(StringGrid& grid, const StructureResult& result) {
    const Amova& amova = result.structure.global;
    const std::optional<double> percent = amova.percentAmong();
    std::size_t leftOut = 0;
    for (const StructurePopulation& population : result.populations)
        leftOut += population.leftOut;
    std::vector<std::vector<std::string>> rows{
        {"Source of variation", "df", "Sum of squares", "Variance component",
         "Percentage of variation"},
        {"Among populations", count(amova.dfAmong), sixDigits(amova.ssdAmong),
         sixDigits(amova.varianceAmong), number(percent)},
        {"Within populations", count(amova.dfWithin), sixDigits(amova.ssdWithin),
         sixDigits(amova.varianceWithin), percent ? sixDigits(100 - *percent) : std::string()},
        {"Total", count(amova.dfAmong + amova.dfWithin),
         sixDigits(amova.ssdAmong + amova.ssdWithin),
         sixDigits(amova.varianceAmong + amova.varianceWithin), percent ? "100" : ""},
        {structureStatisticName(result.settings.distance), number(amova.phi)},
        {"p-value", number(result.structure.globalPValue),
         count(result.structure.permutations) + " permutations"},
        {"Populations", count(amova.populations)},
        {"Men", count(amova.men)},
        {"Men left out", count(leftOut)},
        {"Loci", count(result.loci)},
    };
    if (!amova.phi)
        rows.push_back({"No value: the men do not vary at these loci."});
    for (const PairwiseStructure& pair : result.structure.pairs)
        if (!pair.amova.phi) {
            rows.push_back({"Pairs without a value: their men do not vary at these loci."});
            break;
        }
    fill(grid, rows);
}

void fillPairwise(StringGrid& grid, const StructureResult& result) {
    const std::size_t populations = result.populations.size();
    std::vector<std::vector<std::string>> rows(populations + 1);
    rows[0] = {structureStatisticName(result.settings.distance) + " \\ p", "n"};
    for (std::size_t p = 0; p < populations; ++p) {
        rows[0].push_back(result.populations[p].name);
        rows[p + 1] = {result.populations[p].name, count(result.populations[p].men)};
        rows[p + 1].resize(populations + 2);
    }
    for (const PairwiseStructure& pair : result.structure.pairs) {
        rows[pair.b + 1][pair.a + 2] = number(pair.amova.phi);
        rows[pair.a + 1][pair.b + 2] = number(pair.pValue);
    }
    fill(grid, rows);
}

void fillScaling(StringGrid& grid, const StructureResult& result) {
    std::vector<std::vector<std::string>> rows{{"Population", "n", "Coordinate 1", "Coordinate 2"}};
    for (std::size_t p = 0; p < result.populations.size(); ++p)
        rows.push_back({result.populations[p].name, count(result.populations[p].men),
                        sixDigits(result.scaling.points[p][0]),
                        sixDigits(result.scaling.points[p][1])});
    rows.push_back({"Goodness of fit", number(result.scaling.goodnessOfFit)});
    fill(grid, rows);
}

void fillLeftOut(StringGrid& grid, const StructureResult& result) {
    std::vector<std::vector<std::string>> rows{{"Row", "Population", "Locus", "Reason"}};
    for (const LeftOutMan& man : result.leftOutMen)
        rows.push_back({count(man.haplotype + 2), result.populations[man.population].name,
                        man.locus, std::string(leftOutReasonText(man.reason))});
    fill(grid, rows);
}

} // namespace

bool canShowPopulationStructure(const Workspace& workspace) {
    return isLoaded(workspace.StringGrid1) && !workspace.databaseHasErrors;
}

StructureSample structureSampleOf(const Workspace& workspace) {
    const auto database =
        haplotypesOf(workspace.StringGrid1, InputRole::Database, workspace.databaseReading);
    return structureSample(*database, true);
}

std::optional<StructureResult> computePopulationStructure(const StructureSample& sample,
                                                          const StructureSettings& settings,
                                                          const PermutationProgress& progress) {
    PermutationOptions options;
    options.permutations = settings.permutations;
    auto structure = populationStructure(sample, settings.distance, options, progress);
    if (!structure)
        return std::nullopt;
    StructureResult result;
    result.settings = settings;
    result.populations = sample.populations;
    result.loci = sample.loci.size();
    result.leftOutMen = sample.leftOutMen;
    const std::size_t populations = sample.populations.size();
    result.scaling = classicalScaling(pairwisePhiMatrix(*structure, populations), populations);
    result.structure = std::move(*structure);
    return result;
}

void showPopulationStructure(Workspace& workspace, std::shared_ptr<const StructureResult> result,
                             const TextMeasurer& measurer) {
    StructureView& view = workspace.structure;
    fillAmova(view.amova, *result);
    fillPairwise(view.pairwise, *result);
    fillScaling(view.scaling, *result);
    fillLeftOut(view.leftOut, *result);
    for (StringGrid* grid : {&view.amova, &view.pairwise, &view.scaling, &view.leftOut})
        fitColumnWidths(*grid, measurer);
    view.result = std::move(result);
    applyViewEvent(workspace, ViewEvent::PopulationStructureShown);
    workspace.statusLine = kPopulationStructureStatus;
}

bool runPopulationStructure(Workspace& workspace, const StructureSettings& settings,
                            const TextMeasurer& measurer, const PermutationProgress& progress) {
    if (!canShowPopulationStructure(workspace))
        return false;
    auto result = computePopulationStructure(structureSampleOf(workspace), settings, progress);
    if (!result)
        return false;
    showPopulationStructure(workspace, std::make_shared<const StructureResult>(std::move(*result)),
                            measurer);
    return true;
}

bool isSignificantPairCell(const StructureView& view, int col, int row) {
    if (!view.result || row < 1 || col < 2 || col - 2 == row - 1)
        return false;
    const std::size_t populations = view.result->populations.size();
    auto a = static_cast<std::size_t>(row - 1);
    auto b = static_cast<std::size_t>(col - 2);
    if (a >= populations || b >= populations)
        return false;
    if (a > b)
        std::swap(a, b);
    // Pairs run (0, 1), (0, 2), ..., (1, 2), ...: those of smaller a come first.
    const std::size_t index = a * populations - a * (a + 1) / 2 + (b - a - 1);
    const PairwiseStructure& pair = view.result->structure.pairs[index];
    return pair.pValue && *pair.pValue < view.result->settings.significance;
}

} // namespace tarnwick
