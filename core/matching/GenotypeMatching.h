#pragma once

#include "core/matching/Matching.h"

namespace tarnwick {

// Every database haplotype within limit steps of each search haplotype by the genotype reading:
// loci paired by key (GenotypeLoci.h), the steps at each locus both have typed as genotypeSteps
// says, but at DYS389II, where DYS389I is paired too and all four cells are single whole
// alleles, the difference of (DYS389II - DYS389I) (it includes DYS389I, whose difference would
// otherwise count twice). A haplotype matches with at least one locus compared. The result is
// ordered as match() orders it; its pairs are the loci's (a split locus at its a column), with
// their titles and steps for the marker slots.
MatchResult matchGenotypes(const HaplotypeTable& database, const HaplotypeTable& search,
                           std::int64_t limit, const MatchProgress& progress = {});

} // namespace tarnwick
