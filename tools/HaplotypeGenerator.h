#pragma once

// Makes realistic haplotype tables for the examples and the benchmarks: each population descends
// from a few founders, and each haplotype from a founder by single-step mutations, so that
// near neighbours and exact matches occur as in real data.

#include "core/table/HaplotypeTable.h"

#include <memory>

#include <string>
#include <vector>

namespace tarnwick {

struct GeneratorOptions {
    int databaseHaplotypes = 2000;
    int searchHaplotypes = 20;
    int loci = 27; // 23 to 27
    int populations = 12;
    int foundersPerPopulation = 3;
    double mutationsPerHaplotype = 3.0;
    double shortProfileShare = 0.1; // haplotypes typed at the first 17 loci only
    int faultyCells = 0;            // cells such as "NA", "12,13" or "--"
    unsigned seed = 1;
};

struct GeneratedTables {
    std::shared_ptr<const HaplotypeTable> database;
    std::shared_ptr<const HaplotypeTable> search;
};

GeneratedTables generateTables(const GeneratorOptions& options);

// The diversity of a large real collection: sixteen populations of twenty founders, eight
// mutations from a founder on average, so that about 0.1 % of the database lies within 10 steps
// of a search haplotype. (The defaults make close-knit populations, hundreds of matches each.)
GeneratorOptions diverseOptions(int databaseHaplotypes, int searchHaplotypes);

} // namespace tarnwick
