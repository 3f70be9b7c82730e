#pragma once

// The comparison with 8-bit lanes, twice as many haplotypes per instruction as MatchKernel.h's:
// for limits below 255 and loci whose database values span at most 254 repeats, as every real
// repeat count does. Each locus stores its values less the smallest.

#include "core/matching/kernel/MatchKernel.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tarnwick {

class ByteBlocks {
public:
    static constexpr std::size_t kLanes = 64;
    static constexpr std::uint8_t kUntyped = 255;
    static constexpr int kWidest = 254; // a locus's largest value less its smallest
    static constexpr int kLimits = 255; // limits below this

    // bases: each locus's smallest value, subtracted from its values.
    ByteBlocks(std::size_t haplotypes, std::vector<std::int16_t> bases);

    std::size_t blocks() const { return blocks_; }
    std::size_t loci() const { return bases_.size(); }
    std::size_t haplotypes() const { return haplotypes_; }
    std::int16_t base(std::size_t locus) const { return bases_[locus]; }

    std::uint8_t* at(std::size_t block, std::size_t locus) {
        return values_.get() + (block * loci() + locus) * kLanes;
    }
    const std::uint8_t* at(std::size_t block, std::size_t locus) const {
        return values_.get() + (block * loci() + locus) * kLanes;
    }

private:
    struct Free {
        void operator()(std::uint8_t* values) const;
    };

    std::size_t haplotypes_;
    std::vector<std::int16_t> bases_;
    std::size_t blocks_;
    std::unique_ptr<std::uint8_t[], Free> values_; // aligned to a cache line
};

// As compareBlocks, on byte blocks; limit below ByteBlocks::kLimits.
void compareByteBlocks(const ByteBlocks& database, std::size_t first, std::size_t last,
                       const SearchLoci* searches, std::size_t count, std::uint8_t limit,
                       bool needCommon, std::vector<KernelMatch>* matches, KernelLevel level);

} // namespace tarnwick
