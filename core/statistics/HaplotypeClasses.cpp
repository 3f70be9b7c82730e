#include "core/statistics/HaplotypeClasses.h"

namespace tarnwick {

HaplotypeClasses::HaplotypeClasses(const LocusValueIds& ids, std::vector<std::size_t> loci)
    : ids_(&ids), loci_(std::move(loci)), classes_(ids.haplotypes(), kNone) {
    byHash_.reserve(ids.haplotypes());
    for (std::size_t h = 0; h < ids.haplotypes(); ++h) {
        if (!typedEverywhere(ids, h))
            continue;
        const std::uint64_t hash = hashOf(ids, h);
        std::uint32_t cls = kNone;
        for (auto [at, end] = byHash_.equal_range(hash); at != end && cls == kNone; ++at)
            if (same(ids, h, at->second))
                cls = at->second;
        if (cls == kNone) {
            cls = static_cast<std::uint32_t>(representatives_.size());
            representatives_.push_back(static_cast<std::uint32_t>(h));
            byHash_.emplace(hash, cls);
        }
        classes_[h] = cls;
    }
}

std::uint32_t HaplotypeClasses::find(const LocusValueIds& other, std::size_t haplotype) const {
    if (!typedEverywhere(other, haplotype))
        return kNone;
    for (auto [at, end] = byHash_.equal_range(hashOf(other, haplotype)); at != end; ++at)
        if (same(other, haplotype, at->second))
            return at->second;
    return kNone;
}

std::uint64_t HaplotypeClasses::hashOf(const LocusValueIds& ids, std::size_t haplotype) const {
    std::uint64_t hash = 0x9E3779B97F4A7C15ULL;
    for (const std::size_t locus : loci_) {
        hash ^= ids.at(locus, haplotype) + 0x9E3779B97F4A7C15ULL + (hash << 6) + (hash >> 2);
        hash *= 0xBF58476D1CE4E5B9ULL;
    }
    return hash;
}

bool HaplotypeClasses::typedEverywhere(const LocusValueIds& ids, std::size_t haplotype) const {
    for (const std::size_t locus : loci_)
        if (ids.at(locus, haplotype) == LocusValueIds::kUntyped)
            return false;
    return true;
}

bool HaplotypeClasses::same(const LocusValueIds& ids, std::size_t haplotype,
                            std::uint32_t cls) const {
    const std::size_t representative = representatives_[cls];
    for (const std::size_t locus : loci_)
        if (ids.at(locus, haplotype) != ids_->at(locus, representative))
            return false;
    return true;
}

} // namespace tarnwick
