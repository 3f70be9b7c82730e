#include "core/statistics/HaplotypeClasses.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace tarnwick {
namespace {

// Sorts by hash, 16 bits at a time from the lowest: for the hundreds of thousands of haplotypes
// sorted once for each set of loci, much quicker than comparing them.
void sortByHash(std::vector<std::pair<std::uint64_t, std::uint32_t>>& entries) {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> sorted(entries.size());
    std::vector<std::size_t> starts(1 << 16);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(starts.begin(), starts.end(), 0);
        for (const auto& entry : entries)
            ++starts[entry.first >> shift & 0xFFFF];
        std::size_t start = 0;
        for (std::size_t& count : starts)
            start += std::exchange(count, start);
        for (const auto& entry : entries)
            sorted[starts[entry.first >> shift & 0xFFFF]++] = entry;
        entries.swap(sorted);
    }
}

} // namespace

LocusHashes::LocusHashes(const LocusValueIds& ids)
    : ids_(&ids), words_((ids.loci() + 63) / 64), masks_(ids.haplotypes() * words_, 0),
      sums_(ids.haplotypes(), 0) {
    for (std::size_t k = 0; k < ids.loci(); ++k)
        for (std::size_t h = 0; h < ids.haplotypes(); ++h)
            if (const std::uint32_t id = ids.at(k, h); id != LocusValueIds::kUntyped) {
                masks_[h * words_ + k / 64] |= std::uint64_t{1} << (k % 64);
                sums_[h] += term(k, id);
            }
}

std::uint64_t LocusHashes::term(std::size_t locus, std::uint32_t id) {
    std::uint64_t z = (static_cast<std::uint64_t>(locus) << 32 | id) + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

bool LocusHashes::covers(std::size_t h, std::span<const std::uint64_t> loci) const {
    for (std::size_t w = 0; w < words_; ++w)
        if ((masks_[h * words_ + w] & loci[w]) != loci[w])
            return false;
    return true;
}

std::uint64_t LocusHashes::over(std::size_t h, std::span<const std::uint64_t> loci) const {
    std::uint64_t sum = sums_[h];
    for (std::size_t w = 0; w < words_; ++w)
        for (std::uint64_t rest = masks_[h * words_ + w] & ~loci[w]; rest != 0; rest &= rest - 1) {
            const std::size_t k = w * 64 + static_cast<std::size_t>(std::countr_zero(rest));
            sum -= term(k, ids_->at(k, h));
        }
    return sum;
}

std::vector<std::uint64_t> lociBits(const std::vector<std::size_t>& loci, std::size_t allLoci) {
    std::vector<std::uint64_t> bits((allLoci + 63) / 64, 0);
    for (const std::size_t k : loci)
        bits[k / 64] |= std::uint64_t{1} << (k % 64);
    return bits;
}

HaplotypeClasses::HaplotypeClasses(const LocusValueIds& ids, const LocusHashes& hashes,
                                   std::vector<std::size_t> loci)
    : ids_(&ids), loci_(std::move(loci)), classOf_(ids.haplotypes(), kNone), starts_{0} {
    const std::vector<std::uint64_t> bits = lociBits(loci_, ids.loci());
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byHash;
    for (std::size_t h = 0; h < ids.haplotypes(); ++h)
        if (hashes.covers(h, bits))
            byHash.push_back({hashes.over(h, bits), static_cast<std::uint32_t>(h)});
    sortByHash(byHash);
    members_.reserve(byHash.size());
    for (std::size_t i = 0; i < byHash.size();) {
        std::size_t end = i + 1;
        while (end < byHash.size() && byHash[end].first == byHash[i].first)
            ++end;
        addRun(std::span(byHash).subspan(i, end - i));
        i = end;
    }
}

// Haplotypes of equal hashes: almost always one class of equal values, split if not.
void HaplotypeClasses::addRun(std::span<const std::pair<std::uint64_t, std::uint32_t>> run) {
    const std::size_t first = count();
    std::vector<std::uint32_t> representatives; // the first haplotype of each class of the run
    for (const auto& [hash, h] : run) {
        std::uint32_t cls = kNone;
        for (std::size_t c = 0; c < representatives.size() && cls == kNone; ++c)
            if (same(*ids_, representatives[c], *ids_, h))
                cls = static_cast<std::uint32_t>(first + c);
        if (cls == kNone) {
            cls = static_cast<std::uint32_t>(count());
            representatives.push_back(h);
            starts_.push_back(starts_.back());
            classHashes_.push_back(hash);
        }
        classOf_[h] = cls;
    }
    // Members in class order: the run's haplotypes, class by class.
    for (std::size_t c = first; c < count(); ++c) {
        starts_[c] = members_.size();
        for (const auto& [hash, h] : run)
            if (classOf_[h] == c)
                members_.push_back(h);
    }
    starts_.back() = members_.size();
}

std::uint32_t HaplotypeClasses::find(const LocusValueIds& other, std::size_t h,
                                     std::uint64_t hash) const {
    auto at = std::lower_bound(classHashes_.begin(), classHashes_.end(), hash);
    for (; at != classHashes_.end() && *at == hash; ++at) {
        const auto cls = static_cast<std::uint32_t>(at - classHashes_.begin());
        if (same(*ids_, members_[starts_[cls]], other, h))
            return cls;
    }
    return kNone;
}

bool HaplotypeClasses::same(const LocusValueIds& a, std::size_t ha, const LocusValueIds& b,
                            std::size_t hb) const {
    for (const std::size_t k : loci_)
        if (a.at(k, ha) != b.at(k, hb))
            return false;
    return true;
}

} // namespace tarnwick
