#include "core/statistics/HaplotypeClasses.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace tarnwick {
namespace {

// Marks a member of a run already given its class. No table holds 2^32 - 1 haplotypes.
constexpr std::uint32_t kTaken = UINT32_MAX;

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
    : ids_(&ids), loci_(std::move(loci)), starts_{0} {
    const std::vector<std::uint64_t> bits = lociBits(loci_, ids.loci());
    for (std::size_t h = 0; h < ids.haplotypes(); ++h)
        if (hashes.covers(h, bits))
            members_.push_back({hashes.over(h, bits), static_cast<std::uint32_t>(h)});
    sortByHash(members_);
    starts_.reserve(members_.size() + 1);
    for (std::size_t i = 0; i < members_.size();) {
        std::size_t end = i + 1;
        while (end < members_.size() && members_[end].first == members_[i].first)
            ++end;
        if (end - i == 1) // a haplotype alone in its values, as most are
            starts_.push_back(static_cast<std::uint32_t>(end));
        else
            splitRun(i, end);
        i = end;
    }
}

// Haplotypes of equal hashes: almost always one class of equal values, split if not, each class
// brought together in the order its members had.
void HaplotypeClasses::splitRun(std::size_t begin, std::size_t end) {
    scratch_.assign(members_.begin() + static_cast<std::ptrdiff_t>(begin),
                    members_.begin() + static_cast<std::ptrdiff_t>(end));
    std::size_t next = begin;
    for (std::size_t first = 0; first < scratch_.size(); ++first) {
        if (scratch_[first].second == kTaken)
            continue;
        const std::uint32_t representative = scratch_[first].second;
        for (std::size_t i = first; i < scratch_.size(); ++i)
            if (scratch_[i].second != kTaken &&
                same(*ids_, representative, *ids_, scratch_[i].second)) {
                members_[next++] = scratch_[i];
                scratch_[i].second = kTaken;
            }
        starts_.push_back(static_cast<std::uint32_t>(next));
    }
}

std::span<const HaplotypeClasses::Member>
HaplotypeClasses::find(const LocusValueIds& other, std::size_t h, std::uint64_t hash) const {
    auto at = std::lower_bound(
        members_.begin(), members_.end(), hash,
        [](const Member& member, std::uint64_t wanted) { return member.first < wanted; });
    while (at != members_.end() && at->first == hash) {
        const auto position = static_cast<std::uint32_t>(at - members_.begin());
        const auto cls = static_cast<std::size_t>(
            std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin() - 1);
        if (same(*ids_, at->second, other, h))
            return members(cls);
        at = members_.begin() + starts_[cls + 1];
    }
    return {};
}

bool HaplotypeClasses::same(const LocusValueIds& a, std::size_t ha, const LocusValueIds& b,
                            std::size_t hb) const {
    for (const std::size_t k : loci_)
        if (a.at(k, ha) != b.at(k, hb))
            return false;
    return true;
}

} // namespace tarnwick
