#pragma once

// The men of each population of a database as samples for the discrete Laplace fit.

#include "core/statistics/HaplotypeSample.h"
#include "core/table/GenotypeLoci.h"
#include "core/table/HaplotypeTable.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
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
    std::vector<int> columns;         // their database columns (of a split locus, the a column)
    std::vector<std::string> leftOut; // the titles of the loci left out
};

// The populations in the order they first occur; the men of no population are in none. Told
// before each pass over the database's men (a locus read, a population gathered); it may stop
// the gathering by raising.
std::vector<PopulationSample> populationSamples(const HaplotypeTable& database,
                                                const std::function<void()>& eachPass = {});

// A searched haplotype at a population's loci, the tables' loci paired by the reading they were
// read with: missing (summed out) where the search table lacks the locus or leaves it empty;
// skipped, by title, for a warning where its cell holds no one whole allele (a partial repeat,
// several copies, a null allele, no integer).
struct SearchedAlleles {
    std::vector<std::optional<int>> values; // one per locus of the sample
    std::vector<std::string> skipped;
};
class SearchedHaplotypes {
public:
    SearchedHaplotypes(const HaplotypeTable& database, const HaplotypeTable& search);
    SearchedAlleles at(const PopulationSample& sample, std::size_t haplotype) const;

private:
    const HaplotypeTable* search_;
    std::unordered_map<int, int> pairedColumn_; // database column to search column (integers)
    std::unordered_map<int, GenotypeLocus> pairedLocus_; // to a search locus
};

} // namespace tarnwick
