#pragma once

#include "core/statistics/LocusValueIds.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tarnwick {

// Hashes of haplotypes over any set of loci from one sum per haplotype: each locus's value adds
// a scrambled 64-bit number, so the hash over fewer loci is the sum less the terms of the others.
// Hashes only find candidates: sameness is always checked on the values.
class LocusHashes {
public:
    explicit LocusHashes(const LocusValueIds& ids);

    std::size_t words() const { return words_; }
    // The loci a haplotype is typed at, as bits.
    std::span<const std::uint64_t> typed(std::size_t h) const {
        return std::span(masks_).subspan(h * words_, words_);
    }
    bool covers(std::size_t h, std::span<const std::uint64_t> loci) const;
    // The hash of a haplotype over loci it covers.
    std::uint64_t over(std::size_t h, std::span<const std::uint64_t> loci) const;

private:
    static std::uint64_t term(std::size_t locus, std::uint32_t id);

    const LocusValueIds* ids_;
    std::size_t words_;
    std::vector<std::uint64_t> masks_; // [haplotype][word]
    std::vector<std::uint64_t> sums_;
};

// The loci of a set as bits, as LocusHashes takes them.
std::vector<std::uint64_t> lociBits(const std::vector<std::size_t>& loci, std::size_t allLoci);

// The haplotypes typed at every locus of a set, grouped by their values there: equal values, one
// class. Classes are found by sorting hashes, so hundreds of thousands of haplotypes group in
// linear time for each set of loci; the members of a class lie side by side in that order.
class HaplotypeClasses {
public:
    using Member = std::pair<std::uint64_t, std::uint32_t>; // its hash over the loci, haplotype

    HaplotypeClasses(const LocusValueIds& ids, const LocusHashes& hashes,
                     std::vector<std::size_t> loci);

    std::size_t count() const { return starts_.size() - 1; }
    std::span<const Member> members(std::size_t cls) const {
        return std::span(members_).subspan(starts_[cls], starts_[cls + 1] - starts_[cls]);
    }
    // The members of the class of haplotype h of another table numbered alike, given its hash
    // over the loci (LocusHashes::over); none when no haplotype here has its values.
    std::span<const Member> find(const LocusValueIds& other, std::size_t h,
                                 std::uint64_t hash) const;

private:
    void splitRun(std::size_t begin, std::size_t end);
    bool same(const LocusValueIds& a, std::size_t ha, const LocusValueIds& b, std::size_t hb) const;

    const LocusValueIds* ids_;
    std::vector<std::size_t> loci_;
    std::vector<Member> members_;       // by hash, each class's members side by side
    std::vector<std::uint32_t> starts_; // [class]: where its members start; one past the end
    std::vector<Member> scratch_;       // while splitting a run of equal hashes
};

} // namespace tarnwick
