#pragma once

// Calculate, "Population structure": how the database's populations differ (the AMOVA of all of
// them, pairwise AMOVAs with permutation p-values, and an MDS of the pairwise values), shown in a
// view of its own in the views' place.

#include "commands/StringGrid.h"
#include "commands/TextMeasurer.h"
#include "core/statistics/ClassicalScaling.h"
#include "core/statistics/PopulationStructure.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct Workspace;

// What the user chooses before a run.
struct StructureSettings {
    StructureDistance distance = StructureDistance::Rst;
    std::size_t permutations = 9999;
    double significance = 0.05; // a pair differs significantly when its p is below it
};
inline constexpr std::array<std::size_t, 3> kStructurePermutationChoices{999, 9999, 99999};

// What one run found.
struct StructureResult {
    StructureSettings settings;
    std::vector<StructurePopulation> populations; // in the database's order
    std::size_t loci = 0;
    PopulationStructure structure;
    ClassicalScaling scaling; // of the pairwise values, negative ones taken as 0
    std::vector<LeftOutMan> leftOutMen;
};

// The view's state: its tables, and the result they show.
struct StructureView {
    // Source of variation, df, sums of squares, variance components, percentages; then the
    // statistic, its p-value, the men counted and left out, and notes.
    StringGrid amova{5, 2, 1};
    // Population, n, then one column per population: the statistic below the diagonal, its
    // p-value above.
    StringGrid pairwise{2, 2, 1};
    // Population, n, the two MDS coordinates, and the goodness of fit; saved, not shown.
    StringGrid scaling{4, 2, 1};
    // Row (as the database's sheet numbers it, titles on row 1), population, locus and reason of
    // each man left out of the analysis; listed on request.
    StringGrid leftOut{4, 2, 1};
    std::shared_ptr<const StructureResult> result;
    bool visible = false;
};

// The status line while the view is shown.
inline constexpr const char* kPopulationStructureStatus = "population structure";

// Whether Calculate, "Population structure" can be used: a database loaded without faults.
bool canShowPopulationStructure(const Workspace& workspace);

// The men and loci of the database as it stands in its table, with the men left out listed.
// Raises an Error naming the
// populations too small to enter, or when fewer than 2 populations are left.
StructureSample structureSampleOf(const Workspace& workspace);

// The tests and the scaling; touches no state, so it may run on any thread. Progress is called
// on that thread and stops the run by returning false, which gives none.
std::optional<StructureResult> computePopulationStructure(const StructureSample& sample,
                                                          const StructureSettings& settings,
                                                          const PermutationProgress& progress = {});

// Shows the result in the view in the views' place.
void showPopulationStructure(Workspace& workspace, std::shared_ptr<const StructureResult> result,
                             const TextMeasurer& measurer);

// The three steps in turn on this thread. False, with nothing changed, when progress stopped it.
bool runPopulationStructure(Workspace& workspace, const StructureSettings& settings,
                            const TextMeasurer& measurer, const PermutationProgress& progress = {});

// Whether the pairwise table's cell belongs to a pair that differs at the chosen level (both its
// statistic's cell and its p-value's cell).
bool isSignificantPairCell(const StructureView& view, int col, int row);

} // namespace tarnwick
