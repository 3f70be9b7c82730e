#pragma once

// The men of each population of a database as samples for the discrete Laplace fit.

#include "core/statistics/HaplotypeSample.h"
#include "core/table/HaplotypeTable.h"

#include <string>
#include <vector>

namespace tarnwick {

// A population's men in row order (one man per row until tables count rows), over the loci at
// which every one of them holds one whole allele: under the integer reading an integer, under
// the genotype reading a single allele of whole repeats. The other loci are left out, by title,
// for a warning: a man missing there, or with a partial repeat, a null allele or several copies.
struct PopulationSample {
    std::string population;
    HaplotypeSample sample;
    std::vector<std::string> loci;    // the titles of the sample's loci
    std::vector<std::string> leftOut; // the titles of the loci left out
};

// The populations in the order they first occur; the men of no population are in none.
std::vector<PopulationSample> populationSamples(const HaplotypeTable& database);

} // namespace tarnwick
