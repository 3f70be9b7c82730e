#pragma once

// The men and loci a population-structure analysis (AMOVA, pairwise RST and PhiST) works on,
// chosen from a database as the field's online AMOVA tool chooses them: a man enters with one
// whole repeat count at every locus, or not at all.

#include "core/table/HaplotypeTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Why a man is left out: the first locus (in the table's order) that is not one whole repeat
// count, or two at a duplicated locus (isDuplicatedLocus: DYS385, DYF387S1, ...).
enum class LeftOutReason : std::uint8_t {
    Missing,
    NullAllele,
    PartialRepeat,
    SeveralCopies, // more than one copy, or more than two at a two-copy locus
    OneCopy,       // one copy at a two-copy locus
    Unreadable,    // a cell the genotype rules cannot read
};
std::string_view leftOutReasonText(LeftOutReason reason);

struct LeftOutMan {
    std::size_t haplotype;  // in the table, from 0
    std::size_t population; // into StructureSample::populations
    std::string locus;      // the table's title of the locus
    LeftOutReason reason;
};

struct StructurePopulation {
    std::string name;
    std::size_t men = 0;     // in the analysis
    std::size_t leftOut = 0; // haplotypes of the population left out
};

// The analysis loci: a locus of the table, or one copy of a duplicated locus (DYS385, DYF387S1,
// ...: the smaller allele is copy 1). DYS389II holds DYS389II - DYS389I.
struct StructureSample {
    std::vector<std::string> loci;
    std::vector<StructurePopulation> populations; // in the order they first occur
    // The men, population by population and in the table's order within each: their rows in the
    // table, and their repeat counts at the loci (man by man).
    std::vector<std::size_t> haplotypes;
    std::vector<std::int32_t> repeats;
    std::vector<LeftOutMan> leftOutMen; // only when asked for

    std::size_t men() const { return haplotypes.size(); }
    std::int32_t repeat(std::size_t man, std::size_t locus) const {
        return repeats[man * loci.size() + locus];
    }
    // The first man of population p (men of one population follow one another).
    std::size_t firstMan(std::size_t p) const;
};

// The sample of a database under either reading (its loci as genotypeLoci() has them, a and b
// columns as one). Men of no population are not in it. Raises an Error naming every population
// with fewer than 2 men left, when there are fewer than 2 populations, when there is no locus,
// or when DYS389II is typed without DYS389I.
StructureSample structureSample(const HaplotypeTable& database, bool listLeftOutMen = false);

} // namespace tarnwick
