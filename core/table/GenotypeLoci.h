#pragma once

// The loci of a table as the genotype reading pairs them: by key (LocusKeys.h), a locus split into
// columns a and b taken as one, a key repeated left out.

#include "core/genotype/Genotype.h"
#include "core/table/HaplotypeTable.h"

#include <string>
#include <vector>

namespace tarnwick {

struct GenotypeLocus {
    std::string key;
    int column;            // the locus's column; of a split locus, the a column
    int secondColumn = -1; // of a split locus, the b column
    std::string title;     // as the marker slots show it
    // A duplicated locus (isDuplicatedLocus) in one column: a single allele is both copies.
    bool bothCopiesOfOne = false;
};

// The locus columns of a table (from its first locus column on), in order. Two whose keys are
// X + "A" and X + "B" form the one locus X at the A column; a key that an earlier locus already
// has is left out.
std::vector<GenotypeLocus> genotypeLoci(const HaplotypeTable& table);

struct GenotypeLocusPair {
    GenotypeLocus database;
    GenotypeLocus search;
};

// The loci both tables have, in the database's order.
std::vector<GenotypeLocusPair> pairGenotypeLoci(const HaplotypeTable& database,
                                                const HaplotypeTable& search);

// A locus column taken alone, as a locus of its own (never split).
GenotypeLocus columnLocus(const HaplotypeTable& table, int column);

// The genotype of a haplotype at a locus column, read from what the column keeps.
Genotype genotypeAt(const HaplotypeTable& table, int column, std::size_t haplotype);
// The same at a locus: its two columns combined when it is split, a single allele taken as both
// copies at a duplicated locus in one column.
Genotype genotypeAt(const HaplotypeTable& table, const GenotypeLocus& locus, std::size_t haplotype);

} // namespace tarnwick
