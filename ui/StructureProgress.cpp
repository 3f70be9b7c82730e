#include "ui/StructureProgress.h"

#include "ui/WorkProgress.h"

namespace tarnwick {

std::optional<StructureResult> computeWithProgress(QWidget* parent, const StructureSample& sample,
                                                   const StructureSettings& settings) {
    std::optional<StructureResult> result;
    const bool finished = runWithProgress(
        parent, "Population structure", "Permutation tests of population structure...",
        "PopulationStructureProgress", [&](WorkerProgress& progress) {
            result = computePopulationStructure(
                sample, settings, [&progress](std::size_t done, std::size_t total) {
                    progress.report(total == 0 ? 100 : static_cast<int>(done * 100 / total));
                    return progress.goOn();
                });
        });
    if (!finished)
        return std::nullopt;
    return result;
}

} // namespace tarnwick
