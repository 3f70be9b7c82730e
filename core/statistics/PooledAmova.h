#pragma once

// One AMOVA over some populations of a sample (all of them, or a pair), computed from sums over
// the men rather than over pairs of men, so that it can be repeated for every permutation of the
// men among the populations.
//
// Each man is a point whose squared Euclidean distances are the chosen distance up to a factor:
// under `Rst` his repeat counts (sum over pairs of (x - y)^2 at a locus = n sum x^2 - (sum x)^2),
// under `Fst` one indicator per allele of each locus (two men differing at a locus are 2 apart
// in squares, so the factor is 1/2, and |sum of the indicators|^2 is the sum of the squared
// allele counts). Then SSD(g) = factor (sum over g of |x|^2 - |sum over g of x|^2 / n_g), and
// the SSDs of all groups together need only each group's sum of points.

#include "core/statistics/Amova.h"
#include "core/statistics/StructureSample.h"
#include "core/statistics/UniformDraws.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

// The men of a sample as the AMOVAs over its populations read them, made once for all of them.
// Rst: each man's repeats less the least at each locus, padded with zeros to width(). Fst: the
// loci taken two at a time, each man's pair of alleles numbered among the pairs seen there
// (counting pairs is half the work of counting alleles, and the allele counts follow from them).
class StructurePoints {
public:
    // Raises an Error when the repeat counts are too far apart or the alleles too many for the
    // sums (16 bits a value, 31 bits a sum over all men).
    StructurePoints(const StructureSample& sample, StructureDistance distance);

    StructureDistance distance() const { return distance_; }
    std::size_t loci() const { return loci_; }
    std::size_t width() const { return width_; }
    const std::uint16_t* of(std::size_t man) const { return values_.data() + man * width_; }

    // Fst: the pairs of alleles (of all pairs of loci), and the two alleles of each (numbered
    // among the alleles of all loci; a locus left alone pairs with the allele numbered alleles()).
    std::size_t pairs() const { return firstAllele_.size(); }
    std::size_t alleles() const { return alleles_; }
    // Adds the allele counts that counts of pairs of alleles hold (alleles() + 1 of them).
    template <typename Count>
    void addAlleleCounts(const std::vector<Count>& pairCounts,
                         std::vector<std::int64_t>& alleleCounts) const {
        for (std::size_t j = 0; j < pairCounts.size(); ++j) {
            alleleCounts[firstAllele_[j]] += pairCounts[j];
            alleleCounts[secondAllele_[j]] += pairCounts[j];
        }
    }

private:
    void numberPairsOfAlleles(const StructureSample& sample);

    StructureDistance distance_;
    std::size_t loci_;
    std::size_t width_ = 0;
    std::vector<std::uint16_t> values_;
    std::size_t alleles_ = 0;
    std::vector<std::uint32_t> firstAllele_, secondAllele_;
};

// What one thread needs to permute the men of an AMOVA: their points laid out together, their
// arrangement and the groups' sums.
struct PermutationScratch {
    std::vector<std::uint16_t> points;
    std::vector<std::uint32_t> order;
    std::vector<std::uint16_t> partialSum;
    std::vector<std::int32_t> sum;
    std::vector<std::int64_t> rest;
    std::vector<std::int64_t> alleleCounts;
};

class PooledAmova {
public:
    // The populations (indices into the sample's) pooled, each a group of the AMOVA. The points
    // must outlive it.
    PooledAmova(const StructurePoints& points, const StructureSample& sample,
                const std::vector<std::size_t>& populations);

    std::size_t men() const { return men_.size(); }
    Amova observed() const;

    // How many of `permutations` random regroupings of the men (group sizes kept) give a phi of
    // at least `least`.
    std::size_t permutationsAtLeast(double least, std::size_t permutations, std::mt19937_64& random,
                                    PermutationScratch& scratch) const;

private:
    // Lays the men's points out in scratch, the men arranged as observed.
    void prepare(PermutationScratch& scratch) const;
    // The within-group SSD of the men as scratch arranges them, group after group; with draws,
    // of the men as a partial Fisher-Yates shuffle of that arrangement leaves them.
    double ssdWithin(PermutationScratch& scratch, UniformDraws* draws) const;
    template <bool shuffle>
    void sumGroup(PermutationScratch& scratch, std::size_t& at, std::size_t end,
                  UniformDraws* draws) const;
    // |sum of a group's points|^2 (Fst: from the allele counts that its counts of pairs of
    // alleles give); takes the sum from scratch.rest, the sums of the men not yet in a group.
    double groupSquaredNorm(PermutationScratch& scratch) const;

    const StructurePoints* points_;
    std::vector<std::size_t> sizes_;   // the groups, the largest last
    std::vector<std::uint32_t> men_;   // of the sample, group after group
    std::vector<std::int64_t> totals_; // the sum of all men's points (Fst: allele counts)
    std::size_t normed_ = 0;           // the first values of those that make the norm
    std::size_t partialMen_ = 0;       // Rst: men whose points a 16-bit sum takes
    double squares_ = 0;               // sum of |x|^2 over all men
    double factor_ = 1;
    double ssdTotal_ = 0;
};

} // namespace tarnwick
