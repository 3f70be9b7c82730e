#include "core/matching/kernel/ByteKernel.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWICK_X86 1
#endif

namespace tarnwick {
namespace {

constexpr std::size_t kLanes = ByteBlocks::kLanes;
// How many loci are added up between two looks at whether the whole block is over the limit.
constexpr std::size_t kLociBetweenChecks = 4;

// A search haplotype in the blocks' terms: each value less its locus's base, brought into
// 0..254, and how far it lay outside (added to every difference there).
struct ByteSearch {
    std::vector<std::uint32_t> loci;
    std::vector<std::uint8_t> values;
    std::vector<std::uint8_t> beyond;
};

ByteSearch inBlockTerms(const ByteBlocks& database, const SearchLoci& search) {
    ByteSearch byteSearch;
    byteSearch.loci = search.loci;
    for (std::size_t i = 0; i < search.loci.size(); ++i) {
        const int value = search.values[i] - database.base(search.loci[i]);
        const int inside = std::clamp(value, 0, ByteBlocks::kWidest);
        byteSearch.values.push_back(static_cast<std::uint8_t>(inside));
        byteSearch.beyond.push_back(
            static_cast<std::uint8_t>(std::min(std::abs(value - inside), 255)));
    }
    return byteSearch;
}

// The lanes of mask as matches: their steps, and the loci at which they are typed, counted
// here (few lanes match); a lane typed at none of the search's loci is no match.
void collect(std::uint64_t mask, const std::uint8_t* steps, const ByteBlocks& database,
             std::size_t block, const ByteSearch& search, bool needCommon,
             std::vector<KernelMatch>& matches) {
    while (mask != 0) {
        const auto lane = static_cast<std::size_t>(__builtin_ctzll(mask));
        mask &= mask - 1;
        std::uint16_t common = 0;
        for (const std::uint32_t locus : search.loci)
            common += database.at(block, locus)[lane] != ByteBlocks::kUntyped;
        const std::size_t haplotype = block * kLanes + lane;
        if ((common > 0 || !needCommon) && haplotype < database.haplotypes())
            matches.push_back({static_cast<std::uint32_t>(haplotype), steps[lane], common});
    }
}

// The portable loop.
void compareScalar(const ByteBlocks& database, std::size_t first, std::size_t last,
                   const ByteSearch* searches, std::size_t count, std::uint8_t limit,
                   bool needCommon, std::vector<KernelMatch>* matches) {
    std::uint8_t steps[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const ByteSearch& search = searches[s];
            std::uint32_t sums[kLanes] = {};
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const std::uint8_t* values = database.at(block, search.loci[i]);
                for (std::size_t lane = 0; lane < kLanes; ++lane)
                    if (values[lane] != ByteBlocks::kUntyped)
                        sums[lane] += static_cast<std::uint32_t>(
                            std::abs(values[lane] - search.values[i]) + search.beyond[i]);
            }
            std::uint64_t mask = 0;
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                steps[lane] = static_cast<std::uint8_t>(std::min<std::uint32_t>(sums[lane], 255));
                if (sums[lane] <= limit)
                    mask |= std::uint64_t{1} << lane;
            }
            collect(mask, steps, database, block, search, needCommon, matches[s]);
        }
    }
}

#ifdef TARNWICK_X86

__attribute__((target("avx512bw"))) void
compareAvx512(const ByteBlocks& database, std::size_t first, std::size_t last,
              const ByteSearch* searches, std::size_t count, std::uint8_t limit, bool needCommon,
              std::vector<KernelMatch>* matches) {
    const __m512i untyped = _mm512_set1_epi8(static_cast<char>(ByteBlocks::kUntyped));
    const __m512i limitLanes = _mm512_set1_epi8(static_cast<char>(limit));
    alignas(64) std::uint8_t steps[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const ByteSearch& search = searches[s];
            __m512i sum = _mm512_setzero_si512();
            bool over = false;
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const __m512i values = _mm512_load_si512(database.at(block, search.loci[i]));
                const __mmask64 present = _mm512_cmpneq_epi8_mask(values, untyped);
                const __m512i value = _mm512_set1_epi8(static_cast<char>(search.values[i]));
                __m512i difference =
                    _mm512_sub_epi8(_mm512_max_epu8(values, value), _mm512_min_epu8(values, value));
                if (search.beyond[i] != 0)
                    difference = _mm512_adds_epu8(
                        difference, _mm512_set1_epi8(static_cast<char>(search.beyond[i])));
                sum = _mm512_mask_adds_epu8(sum, present, sum, difference);
                if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                    _mm512_cmple_epu8_mask(sum, limitLanes) == 0) {
                    over = true; // every haplotype of the block is beyond the limit already
                    break;
                }
            }
            if (over)
                continue;
            const std::uint64_t mask = _mm512_cmple_epu8_mask(sum, limitLanes);
            if (mask == 0)
                continue;
            _mm512_store_si512(steps, sum);
            collect(mask, steps, database, block, search, needCommon, matches[s]);
        }
    }
}

// Lanes at or below the limit, a bit per byte lane of a 32-byte part of a block.
__attribute__((target("avx2"))) std::uint64_t withinLimit(__m256i sum, __m256i limitLanes) {
    // A sum at or below the limit leaves nothing when the limit is taken off it.
    const __m256i within =
        _mm256_cmpeq_epi8(_mm256_subs_epu8(sum, limitLanes), _mm256_setzero_si256());
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(within));
}

__attribute__((target("avx2"))) void compareAvx2(const ByteBlocks& database, std::size_t first,
                                                 std::size_t last, const ByteSearch* searches,
                                                 std::size_t count, std::uint8_t limit,
                                                 bool needCommon,
                                                 std::vector<KernelMatch>* matches) {
    const __m256i untyped = _mm256_set1_epi8(static_cast<char>(ByteBlocks::kUntyped));
    const __m256i limitLanes = _mm256_set1_epi8(static_cast<char>(limit));
    alignas(32) std::uint8_t steps[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const ByteSearch& search = searches[s];
            __m256i sum[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
            bool over = false;
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const std::uint8_t* values = database.at(block, search.loci[i]);
                const __m256i value = _mm256_set1_epi8(static_cast<char>(search.values[i]));
                const __m256i beyond = _mm256_set1_epi8(static_cast<char>(search.beyond[i]));
                for (std::ptrdiff_t half = 0; half < 2; ++half) {
                    const __m256i x =
                        _mm256_load_si256(reinterpret_cast<const __m256i*>(values + 32 * half));
                    const __m256i absent = _mm256_cmpeq_epi8(x, untyped);
                    const __m256i difference = _mm256_adds_epu8(
                        _mm256_sub_epi8(_mm256_max_epu8(x, value), _mm256_min_epu8(x, value)),
                        beyond);
                    sum[half] =
                        _mm256_adds_epu8(sum[half], _mm256_andnot_si256(absent, difference));
                }
                if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                    (withinLimit(sum[0], limitLanes) | withinLimit(sum[1], limitLanes)) == 0) {
                    over = true;
                    break;
                }
            }
            if (over)
                continue;
            const std::uint64_t mask =
                withinLimit(sum[0], limitLanes) | withinLimit(sum[1], limitLanes) << 32;
            if (mask == 0)
                continue;
            _mm256_store_si256(reinterpret_cast<__m256i*>(steps), sum[0]);
            _mm256_store_si256(reinterpret_cast<__m256i*>(steps + 32), sum[1]);
            collect(mask, steps, database, block, search, needCommon, matches[s]);
        }
    }
}

// Lanes at or below the limit, a bit per byte lane of a 16-byte part of a block.
std::uint64_t withinLimit(__m128i sum, __m128i limitLanes) {
    const __m128i within = _mm_cmpeq_epi8(_mm_subs_epu8(sum, limitLanes), _mm_setzero_si128());
    return static_cast<std::uint32_t>(_mm_movemask_epi8(within));
}

void compareSse2(const ByteBlocks& database, std::size_t first, std::size_t last,
                 const ByteSearch* searches, std::size_t count, std::uint8_t limit, bool needCommon,
                 std::vector<KernelMatch>* matches) {
    const __m128i untyped = _mm_set1_epi8(static_cast<char>(ByteBlocks::kUntyped));
    const __m128i limitLanes = _mm_set1_epi8(static_cast<char>(limit));
    alignas(16) std::uint8_t steps[kLanes];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const ByteSearch& search = searches[s];
            __m128i sum[4] = {};
            bool over = false;
            for (std::size_t i = 0; i < search.loci.size(); ++i) {
                const std::uint8_t* values = database.at(block, search.loci[i]);
                const __m128i value = _mm_set1_epi8(static_cast<char>(search.values[i]));
                const __m128i beyond = _mm_set1_epi8(static_cast<char>(search.beyond[i]));
                for (std::ptrdiff_t quarter = 0; quarter < 4; ++quarter) {
                    const __m128i x =
                        _mm_load_si128(reinterpret_cast<const __m128i*>(values + 16 * quarter));
                    const __m128i absent = _mm_cmpeq_epi8(x, untyped);
                    const __m128i difference = _mm_adds_epu8(
                        _mm_sub_epi8(_mm_max_epu8(x, value), _mm_min_epu8(x, value)), beyond);
                    sum[quarter] =
                        _mm_adds_epu8(sum[quarter], _mm_andnot_si128(absent, difference));
                }
                if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                    (withinLimit(sum[0], limitLanes) | withinLimit(sum[1], limitLanes) |
                     withinLimit(sum[2], limitLanes) | withinLimit(sum[3], limitLanes)) == 0) {
                    over = true;
                    break;
                }
            }
            if (over)
                continue;
            std::uint64_t mask = 0;
            for (std::ptrdiff_t quarter = 0; quarter < 4; ++quarter) {
                mask |= withinLimit(sum[quarter], limitLanes) << (16 * quarter);
                _mm_store_si128(reinterpret_cast<__m128i*>(steps + 16 * quarter), sum[quarter]);
            }
            if (mask != 0)
                collect(mask, steps, database, block, search, needCommon, matches[s]);
        }
    }
}

#endif

} // namespace

void ByteBlocks::Free::operator()(std::uint8_t* values) const {
    ::operator delete[](values, std::align_val_t(64));
}

ByteBlocks::ByteBlocks(std::size_t haplotypes, std::vector<std::int16_t> bases)
    : haplotypes_(haplotypes), bases_(std::move(bases)),
      blocks_((haplotypes + kLanes - 1) / kLanes),
      values_(static_cast<std::uint8_t*>(::operator new[](
          std::max<std::size_t>(blocks_* bases_.size() * kLanes, 1), std::align_val_t(64)))) {}

void compareByteBlocks(const ByteBlocks& database, std::size_t first, std::size_t last,
                       const SearchLoci* searches, std::size_t count, std::uint8_t limit,
                       bool needCommon, std::vector<KernelMatch>* matches, KernelLevel level) {
    std::vector<ByteSearch> byteSearches;
    byteSearches.reserve(count);
    for (std::size_t s = 0; s < count; ++s)
        byteSearches.push_back(inBlockTerms(database, searches[s]));
    const ByteSearch* const inTerms = byteSearches.data();
    switch (level) {
#ifdef TARNWICK_X86
    case KernelLevel::Avx512:
        return compareAvx512(database, first, last, inTerms, count, limit, needCommon, matches);
    case KernelLevel::Avx2:
        return compareAvx2(database, first, last, inTerms, count, limit, needCommon, matches);
    case KernelLevel::Sse2:
        return compareSse2(database, first, last, inTerms, count, limit, needCommon, matches);
#endif
    default:
        return compareScalar(database, first, last, inTerms, count, limit, needCommon, matches);
    }
}

} // namespace tarnwick
