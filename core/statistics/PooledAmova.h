#pragma once

// One AMOVA over some populations of a sample (all of them, or a pair), computed from sums over
// the men rather than over pairs of men, so that it can be repeated for every permutation of the
// men among the populations.
//
// Each man is a point whose squared Euclidean distances are the chosen distance up to a factor:
// under `Rst` his repeat counts (sum over pairs of (x - y)^2 at a locus = n sum x^2 - (sum x)^2),
// under `Fst` one indicator per allele of each locus (two men differing at a locus are 2 apart
// in squares, so the factor is 1/2). Then SSD(g) = factor (sum over g of |x|^2 - |sum over g of
// x|^2 / n_g), and the SSDs of all groups together need only each group's sum of points.

#include "core/statistics/Amova.h"
#include "core/statistics/StructureSample.h"

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace tarnwick {

// The men of a sample as points, once for all the AMOVAs over its populations.
class StructurePoints {
public:
    // Raises an Error when repeat counts are too far apart for the sums to fit 31 bits.
    StructurePoints(const StructureSample& sample, StructureDistance distance);

    StructureDistance distance() const { return distance_; }
    std::size_t width() const { return width_; }
    // Rst: repeats less the least at each locus, padded with zeros to width(); Fst: the number
    // of the man's allele at each locus among all loci's alleles (alleles() of them).
    const std::int32_t* of(std::size_t man) const { return values_.data() + man * width_; }
    std::size_t alleles() const { return alleles_; }
    std::size_t loci() const { return loci_; }

private:
    StructureDistance distance_;
    std::size_t loci_;
    std::size_t width_ = 0;
    std::size_t alleles_ = 0;
    std::vector<std::int32_t> values_;
};

class PooledAmova {
public:
    // The populations (indices into the sample's) pooled, each a group of the AMOVA. The points
    // must outlive it.
    PooledAmova(const StructurePoints& points, const StructureSample& sample,
                const std::vector<std::size_t>& populations);

    std::size_t men() const { return order_.size(); }
    Amova observed() const { return amovaOf(sizes_, ssdTotal_, ssdWithin(order_)); }
    // The men (of the sample) as observed, group after group: where permutations start from.
    const std::vector<std::uint32_t>& observedOrder() const { return order_; }

    // How many of `permutations` random regroupings of the men (group sizes kept) give a phi of
    // at least `least`; `order` is scratch holding the men in any arrangement.
    std::size_t permutationsAtLeast(double least, std::size_t permutations, std::mt19937& random,
                                    std::vector<std::uint32_t>& order) const;

private:
    // The within-group SSD of the men arranged group after group (sizes_ as given).
    double ssdWithin(const std::vector<std::uint32_t>& order) const;
    template <bool alleles> double ssdWithinOf(const std::vector<std::uint32_t>& order) const;

    const StructurePoints* points_;
    std::vector<std::size_t> sizes_;   // the groups, the largest last
    std::vector<std::uint32_t> order_; // the men as observed
    std::vector<std::int64_t> totals_; // the sum of all men's points (Fst: allele counts)
    double squares_ = 0;               // sum of |x|^2 over all men
    double factor_ = 1;
    double ssdTotal_ = 0;
};

} // namespace tarnwick
