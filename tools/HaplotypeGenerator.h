#pragma once

// Makes realistic haplotype tables for the examples and the benchmarks: each population descends
// from a few founders, and each haplotype from a founder by single-step mutations, so that
// near neighbours and exact matches occur as in real data.

#include "core/StringGrid.h"

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
    StringGrid database; // sheet form: header row, then one row per haplotype
    StringGrid search;
};

GeneratedTables generateTables(const GeneratorOptions& options);

// A sheet-form table as a load leaves it: two blank rows added at the end.
StringGrid asLoadedTable(const StringGrid& sheet);

} // namespace tarnwick
