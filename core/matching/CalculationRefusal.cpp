#include "core/matching/CalculationRefusal.h"

#include "core/matching/LocusPairs.h"
#include "core/table/GenotypeLoci.h"

namespace tarnwick {

CalculationCheck checkCalculation(const CalculationInputs& inputs) {
    if (inputs.stepLimit.empty())
        return {"nonselected step"};
    const HaplotypeTable* database = inputs.database;
    const HaplotypeTable* search = inputs.search;
    if (database == nullptr || search == nullptr)
        return {"data not load"};
    // Whole-repeat readings (tidied on load or not) compare with each other, genotypes only with
    // genotypes.
    const bool genotypes = database->reading() == CellReading::Genotypes;
    if (genotypes != (search->reading() == CellReading::Genotypes))
        return {kDifferentReadings};
    const std::size_t pairs = genotypes ? pairGenotypeLoci(*database, *search).size()
                                        : pairLoci(*database, *search).size();
    // Without a common locus no haplotype could be compared at all.
    if (pairs == 0 && database->haplotypes() > 0 && search->haplotypes() > 0)
        return {"no common loci"};
    return {std::nullopt, pairs};
}

} // namespace tarnwick
