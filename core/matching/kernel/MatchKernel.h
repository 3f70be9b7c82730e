#pragma once

// The comparison at the heart of matching: database haplotypes in blocks of 32, locus by locus,
// compared with a search haplotype in 16-bit lanes, with the vector instructions of the level
// the caller names (KernelLevel.h).

#include "core/matching/kernel/KernelLevel.h"

#include "core/text/SmallValues.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace tarnwick {

// The repeat counts of database haplotypes at the paired loci, in blocks of kLanes haplotypes:
// within a block locus by locus, the kLanes values of a locus side by side, so that one vector
// load takes a locus of a whole block.
class LocusBlocks {
public:
    static constexpr std::size_t kLanes = 32;
    static constexpr std::int16_t kUntyped = std::numeric_limits<std::int16_t>::min();
    // Values lie within +-kLargest, so that any difference fits a 16-bit lane.
    static constexpr std::int16_t kLargest = kSmallValueLimit;

    LocusBlocks(std::size_t haplotypes, std::size_t loci);

    std::size_t blocks() const { return blocks_; }
    std::size_t loci() const { return loci_; }
    std::size_t haplotypes() const { return haplotypes_; }

    // The kLanes values of a locus in a block.
    std::int16_t* at(std::size_t block, std::size_t locus) {
        return values_.get() + (block * loci_ + locus) * kLanes;
    }
    const std::int16_t* at(std::size_t block, std::size_t locus) const {
        return values_.get() + (block * loci_ + locus) * kLanes;
    }

private:
    struct Free {
        void operator()(std::int16_t* values) const;
    };

    std::size_t haplotypes_;
    std::size_t loci_;
    std::size_t blocks_;
    std::unique_ptr<std::int16_t[], Free> values_; // aligned to a cache line
};

// A search haplotype as the kernel takes it: the loci it has a value at (indices into the
// blocks' loci) and the values. Untyped loci are left out: they are compared with nothing.
struct SearchLoci {
    std::vector<std::uint32_t> loci;
    std::vector<std::int16_t> values;
};

// One database haplotype within the limit: its number, steps and common loci.
struct KernelMatch {
    std::uint32_t haplotype;
    std::uint16_t steps;
    std::uint16_t commonLoci;
};

// Compares each search haplotype with the database haplotypes of blocks first to last - 1 and
// appends those within limit (below 65535) that have a common locus (or, without needCommon,
// any) to matches[i], in database order. A block is read from memory once for all the search
// haplotypes.
void compareBlocks(const LocusBlocks& database, std::size_t first, std::size_t last,
                   const SearchLoci* searches, std::size_t count, std::uint16_t limit,
                   bool needCommon, std::vector<KernelMatch>* matches, KernelLevel level);

} // namespace tarnwick
