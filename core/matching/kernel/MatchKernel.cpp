#include "core/matching/kernel/MatchKernel.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWICK_X86 1
#endif

namespace tarnwick {
namespace {

constexpr std::size_t kLanes = LocusBlocks::kLanes;
// How many loci are added up between two looks at whether the whole block is over the limit.
constexpr std::size_t kLociBetweenChecks = 4;

// The lanes of mask as matches of the block: their steps and common loci from the lanes.
void collect(std::uint32_t mask, const std::uint16_t* steps, const std::uint16_t* common,
             std::size_t block, std::size_t haplotypes, std::vector<KernelMatch>& matches) {
    while (mask != 0) {
        const auto lane = static_cast<std::size_t>(__builtin_ctz(mask));
        mask &= mask - 1;
        const std::size_t haplotype = block * kLanes + lane;
        if (haplotype < haplotypes)
            matches.push_back({static_cast<std::uint32_t>(haplotype), steps[lane], common[lane]});
    }
}

// The portable loop.
void compareScalar(const LocusBlocks& database, std::size_t first, std::size_t last,
                   const SearchLoci* searches, std::size_t count, std::uint16_t limit,
                   bool needCommon, std::vector<KernelMatch>* matches) {
    std::uint16_t steps[kLanes];
    std::uint16_t common[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const SearchLoci& search = searches[s];
            std::uint32_t steps32[kLanes] = {};
            std::memset(common, 0, sizeof common);
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const std::int16_t* values = database.at(block, search.loci[i]);
                for (std::size_t lane = 0; lane < kLanes; ++lane) {
                    if (values[lane] == LocusBlocks::kUntyped)
                        continue;
                    const int difference = values[lane] - search.values[i];
                    steps32[lane] +=
                        static_cast<std::uint32_t>(difference < 0 ? -difference : difference);
                    ++common[lane];
                }
            }
            std::uint32_t mask = 0;
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                steps[lane] =
                    static_cast<std::uint16_t>(std::min<std::uint32_t>(steps32[lane], 65535));
                if (steps32[lane] <= limit && (common[lane] > 0 || !needCommon))
                    mask |= 1u << lane;
            }
            collect(mask, steps, common, block, database.haplotypes(), matches[s]);
        }
    }
}

#ifdef TARNWICK_X86

__attribute__((target("avx512bw"))) void
compareAvx512(const LocusBlocks& database, std::size_t first, std::size_t last,
              const SearchLoci* searches, std::size_t count, std::uint16_t limit, bool needCommon,
              std::vector<KernelMatch>* matches) {
    const __m512i untyped = _mm512_set1_epi16(LocusBlocks::kUntyped);
    const __m512i limitLanes = _mm512_set1_epi16(static_cast<short>(limit));
    const __m512i one = _mm512_set1_epi16(1);
    alignas(64) std::uint16_t steps[kLanes];
    alignas(64) std::uint16_t common[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const SearchLoci& search = searches[s];
            __m512i sum = _mm512_setzero_si512();
            __m512i typed = _mm512_setzero_si512();
            bool over = false;
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const __m512i values = _mm512_loadu_si512(database.at(block, search.loci[i]));
                const __mmask32 present = _mm512_cmpneq_epi16_mask(values, untyped);
                const __m512i difference =
                    _mm512_abs_epi16(_mm512_sub_epi16(values, _mm512_set1_epi16(search.values[i])));
                sum = _mm512_mask_adds_epu16(sum, present, sum, difference);
                typed = _mm512_mask_add_epi16(typed, present, typed, one);
                if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                    _mm512_cmpgt_epu16_mask(sum, limitLanes) == 0xFFFFFFFFu) {
                    over = true; // every haplotype of the block is beyond the limit already
                    break;
                }
            }
            if (over)
                continue;
            const std::uint32_t mask =
                _mm512_cmple_epu16_mask(sum, limitLanes) &
                (needCommon ? _mm512_test_epi16_mask(typed, typed) : ~__mmask32{0});
            if (mask == 0)
                continue;
            _mm512_store_si512(steps, sum);
            _mm512_store_si512(common, typed);
            collect(mask, steps, common, block, database.haplotypes(), matches[s]);
        }
    }
}

// Lanes at or below the limit, as a bit per 16-bit lane of the two halves of a block.
__attribute__((target("avx2"))) std::uint32_t withinLimit(__m256i low, __m256i high,
                                                          __m256i limitLanes) {
    const __m256i zero = _mm256_setzero_si256();
    // A sum at or below the limit leaves nothing when the limit is taken off it.
    const __m256i lowWithin = _mm256_cmpeq_epi16(_mm256_subs_epu16(low, limitLanes), zero);
    const __m256i highWithin = _mm256_cmpeq_epi16(_mm256_subs_epu16(high, limitLanes), zero);
    // Packing interleaves the halves' 128-bit lanes; the permutation puts them back in order.
    const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packs_epi16(lowWithin, highWithin), 0xD8);
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
}

__attribute__((target("avx2"))) void compareAvx2(const LocusBlocks& database, std::size_t first,
                                                 std::size_t last, const SearchLoci* searches,
                                                 std::size_t count, std::uint16_t limit,
                                                 bool needCommon,
                                                 std::vector<KernelMatch>* matches) {
    const __m256i untyped = _mm256_set1_epi16(LocusBlocks::kUntyped);
    const __m256i limitLanes = _mm256_set1_epi16(static_cast<short>(limit));
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i zero = _mm256_setzero_si256();
    alignas(32) std::uint16_t steps[kLanes];
    alignas(32) std::uint16_t common[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const SearchLoci& search = searches[s];
            __m256i sum[2] = {zero, zero};
            __m256i typed[2] = {zero, zero};
            bool over = false;
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const std::int16_t* values = database.at(block, search.loci[i]);
                const __m256i value = _mm256_set1_epi16(search.values[i]);
                for (std::ptrdiff_t half = 0; half < 2; ++half) {
                    const __m256i x =
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values + 16 * half));
                    const __m256i absent = _mm256_cmpeq_epi16(x, untyped);
                    const __m256i difference =
                        _mm256_andnot_si256(absent, _mm256_abs_epi16(_mm256_sub_epi16(x, value)));
                    sum[half] = _mm256_adds_epu16(sum[half], difference);
                    typed[half] = _mm256_add_epi16(typed[half], _mm256_andnot_si256(absent, one));
                }
                if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                    withinLimit(sum[0], sum[1], limitLanes) == 0) {
                    over = true;
                    break;
                }
            }
            if (over)
                continue;
            const std::uint32_t present = // no common locus: nothing left of 0
                needCommon ? ~withinLimit(typed[0], typed[1], zero) : ~0u;
            const std::uint32_t mask = withinLimit(sum[0], sum[1], limitLanes) & present;
            if (mask == 0)
                continue;
            _mm256_store_si256(reinterpret_cast<__m256i*>(steps), sum[0]);
            _mm256_store_si256(reinterpret_cast<__m256i*>(steps + 16), sum[1]);
            _mm256_store_si256(reinterpret_cast<__m256i*>(common), typed[0]);
            _mm256_store_si256(reinterpret_cast<__m256i*>(common + 16), typed[1]);
            collect(mask, steps, common, block, database.haplotypes(), matches[s]);
        }
    }
}

// Lanes at or below the limit, as a bit per 16-bit lane of the four quarters of a block.
std::uint32_t withinLimit(const __m128i* sums, __m128i limitLanes) {
    const __m128i zero = _mm_setzero_si128();
    std::uint32_t mask = 0;
    for (std::ptrdiff_t quarter = 0; quarter < 4; ++quarter) {
        const __m128i within = _mm_cmpeq_epi16(_mm_subs_epu16(sums[quarter], limitLanes), zero);
        // One bit per lane: the even bits of the byte mask, packed.
        const std::uint32_t bytes =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(within, zero)));
        mask |= (bytes & 0xFFu) << (8 * quarter);
    }
    return mask;
}

void compareSse2(const LocusBlocks& database, std::size_t first, std::size_t last,
                 const SearchLoci* searches, std::size_t count, std::uint16_t limit,
                 bool needCommon, std::vector<KernelMatch>* matches) {
    const __m128i untyped = _mm_set1_epi16(LocusBlocks::kUntyped);
    const __m128i limitLanes = _mm_set1_epi16(static_cast<short>(limit));
    const __m128i one = _mm_set1_epi16(1);
    const __m128i zero = _mm_setzero_si128();
    alignas(16) std::uint16_t steps[kLanes];
    alignas(16) std::uint16_t common[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const SearchLoci& search = searches[s];
            __m128i sum[4] = {zero, zero, zero, zero};
            __m128i typed[4] = {zero, zero, zero, zero};
            bool over = false;
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const std::int16_t* values = database.at(block, search.loci[i]);
                const __m128i value = _mm_set1_epi16(search.values[i]);
                for (std::ptrdiff_t quarter = 0; quarter < 4; ++quarter) {
                    const __m128i x =
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 8 * quarter));
                    const __m128i absent = _mm_cmpeq_epi16(x, untyped);
                    // SSE2 has no absolute value of 16-bit lanes: the larger less the smaller.
                    const __m128i difference = _mm_andnot_si128(
                        absent, _mm_sub_epi16(_mm_max_epi16(x, value), _mm_min_epi16(x, value)));
                    sum[quarter] = _mm_adds_epu16(sum[quarter], difference);
                    typed[quarter] = _mm_add_epi16(typed[quarter], _mm_andnot_si128(absent, one));
                }
                if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                    withinLimit(sum, limitLanes) == 0) {
                    over = true;
                    break;
                }
            }
            if (over)
                continue;
            const std::uint32_t mask =
                withinLimit(sum, limitLanes) & (needCommon ? ~withinLimit(typed, zero) : ~0u);
            if (mask == 0)
                continue;
            for (std::ptrdiff_t quarter = 0; quarter < 4; ++quarter) {
                _mm_store_si128(reinterpret_cast<__m128i*>(steps + 8 * quarter), sum[quarter]);
                _mm_store_si128(reinterpret_cast<__m128i*>(common + 8 * quarter), typed[quarter]);
            }
            collect(mask, steps, common, block, database.haplotypes(), matches[s]);
        }
    }
}

#endif

} // namespace

void LocusBlocks::Free::operator()(std::int16_t* values) const {
    ::operator delete[](values, std::align_val_t(64));
}

LocusBlocks::LocusBlocks(std::size_t haplotypes, std::size_t loci)
    : haplotypes_(haplotypes), loci_(loci), blocks_((haplotypes + kLanes - 1) / kLanes),
      values_(static_cast<std::int16_t*>(
          ::operator new[](std::max<std::size_t>(blocks_* loci_* kLanes, 1) * sizeof(std::int16_t),
                           std::align_val_t(64)))) {}

void compareBlocks(const LocusBlocks& database, std::size_t first, std::size_t last,
                   const SearchLoci* searches, std::size_t count, std::uint16_t limit,
                   bool needCommon, std::vector<KernelMatch>* matches, KernelLevel level) {
    switch (level) {
#ifdef TARNWICK_X86
    case KernelLevel::Avx512:
        return compareAvx512(database, first, last, searches, count, limit, needCommon, matches);
    case KernelLevel::Avx2:
        return compareAvx2(database, first, last, searches, count, limit, needCommon, matches);
    case KernelLevel::Sse2:
        return compareSse2(database, first, last, searches, count, limit, needCommon, matches);
#endif
    default:
        return compareScalar(database, first, last, searches, count, limit, needCommon, matches);
    }
}

} // namespace tarnwick
