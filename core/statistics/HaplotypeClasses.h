#pragma once

#include "core/statistics/LocusValueIds.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tarnwick {

// Numbers the haplotypes typed at every one of some loci by their values there: the same
// values, the same number.
class HaplotypeClasses {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX; // not typed at every locus

    HaplotypeClasses(const LocusValueIds& ids, std::vector<std::size_t> loci);

    std::uint32_t of(std::size_t haplotype) const { return classes_[haplotype]; }
    std::size_t count() const { return representatives_.size(); }
    // The class of a haplotype of another table numbered alike at the same loci; kNone when it
    // is not typed at every locus or has no class here.
    std::uint32_t find(const LocusValueIds& other, std::size_t haplotype) const;

private:
    std::uint64_t hashOf(const LocusValueIds& ids, std::size_t haplotype) const;
    bool typedEverywhere(const LocusValueIds& ids, std::size_t haplotype) const;
    bool same(const LocusValueIds& ids, std::size_t haplotype, std::uint32_t cls) const;

    const LocusValueIds* ids_;
    std::vector<std::size_t> loci_;
    std::vector<std::uint32_t> classes_;
    std::vector<std::uint32_t> representatives_; // a haplotype of each class
    std::unordered_multimap<std::uint64_t, std::uint32_t> byHash_;
};

} // namespace tarnwick
