#pragma once

// The men of one population as the discrete Laplace fit takes them: a whole repeat count at each
// of the same loci for every row, and how many men each row stands for.

#include <cstdint>
#include <span>
#include <vector>

namespace tarnwick {

struct HaplotypeSample {
    std::size_t loci = 0;
    std::vector<int> values;            // row after row, `loci` values each
    std::vector<std::uint32_t> weights; // men per row, at least 1

    std::size_t rows() const { return weights.size(); }
    std::span<const int> row(std::size_t r) const {
        return std::span(values).subspan(r * loci, loci);
    }
    void add(std::span<const int> haplotype, std::uint32_t weight = 1);
    std::uint64_t men() const;
};

// The different haplotypes of a sample, in the order the first man of each comes, each with its
// men and the places of its first and last man when every row is written out weight times
// (rows in order): the medoid search breaks ties by those places.
struct DistinctHaplotypes {
    std::size_t loci = 0;
    std::vector<int> values; // haplotype after haplotype
    std::vector<std::uint64_t> weights;
    std::vector<std::uint64_t> first;
    std::vector<std::uint64_t> last;

    std::size_t count() const { return weights.size(); }
    std::span<const int> haplotype(std::size_t h) const {
        return std::span(values).subspan(h * loci, loci);
    }
};

// Raises an Error when a row has no men, or the values do not fill the rows.
DistinctHaplotypes distinctHaplotypes(const HaplotypeSample& sample);

} // namespace tarnwick
