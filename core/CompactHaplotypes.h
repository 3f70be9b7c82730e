#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tarnwick {

// Haplotypes as 16-bit repeat counts in rows padded to whole blocks of 16, so that comparing two
// of them is a fixed-size loop the compiler vectorises, and a whole database fits in the cache.
// Used whenever every value fits, which real repeat counts always do.
class CompactHaplotypes {
public:
    static constexpr std::int16_t kUntyped = INT16_MIN;
    // Values are kept within this range so that any difference fits in a signed 16-bit lane.
    static constexpr std::int16_t kLargest = 16383;
    static constexpr std::size_t kBlock = 16;

    struct Distance {
        std::int32_t steps;
        std::int32_t commonLoci;
    };

    // From value(row, locus) for rows 0 to rows - 1, loci in the given order (untypedValue
    // where there is none); nothing when a value lies outside +-kLargest or the rows are too wide
    // for 32-bit sums.
    template <typename Value>
    static std::optional<CompactHaplotypes> tryMake(std::size_t rows,
                                                    const std::vector<std::size_t>& order,
                                                    std::int64_t untypedValue, Value value) {
        const std::size_t width = order.size();
        if (width == 0 || width >= (1u << 15))
            return std::nullopt;
        CompactHaplotypes compact;
        compact.stride_ = (width + kBlock - 1) / kBlock * kBlock;
        compact.values_.assign(rows * compact.stride_, kUntyped);
        for (std::size_t r = 0; r < rows; ++r) {
            for (std::size_t k = 0; k < width; ++k) {
                const std::int64_t v = value(r, order[k]);
                if (v == untypedValue)
                    continue;
                if (v < -kLargest || v > kLargest)
                    return std::nullopt;
                compact.values_[r * compact.stride_ + k] = static_cast<std::int16_t>(v);
            }
        }
        return compact;
    }

    const std::int16_t* row(std::size_t index) const { return values_.data() + index * stride_; }

    // Steps and common loci of two rows. Stops early once the steps exceed the limit: the
    // result then only tells that they do.
    static Distance distance(const std::int16_t* a, const std::int16_t* b, std::size_t stride,
                             std::int32_t limit);

    std::size_t stride() const { return stride_; }

private:
    std::size_t stride_ = 0;
    std::vector<std::int16_t> values_;
};

// Inline: it runs once per pair of haplotypes.
#ifdef __SSE2__

inline CompactHaplotypes::Distance CompactHaplotypes::distance(const std::int16_t* a,
                                                               const std::int16_t* b,
                                                               std::size_t stride,
                                                               std::int32_t limit) {
    const __m128i untyped = _mm_set1_epi16(kUntyped);
    const __m128i ones = _mm_set1_epi16(1);
    __m128i steps = _mm_setzero_si128();  // 4 x 32 bits
    __m128i common = _mm_setzero_si128(); // 8 x 16 bits, counting down
    for (std::size_t block = 0; block < stride; block += kBlock) {
        for (std::size_t i = block; i < block + kBlock; i += 8) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            const __m128i untypedEither =
                _mm_or_si128(_mm_cmpeq_epi16(x, untyped), _mm_cmpeq_epi16(y, untyped));
            const __m128i difference = _mm_sub_epi16(_mm_max_epi16(x, y), _mm_min_epi16(x, y));
            steps = _mm_add_epi32(
                steps, _mm_madd_epi16(_mm_andnot_si128(untypedEither, difference), ones));
            common = _mm_add_epi16(common, _mm_andnot_si128(untypedEither, ones));
        }
        __m128i sum = _mm_add_epi32(steps, _mm_shuffle_epi32(steps, 0x4E));
        sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
        const std::int32_t total = _mm_cvtsi128_si32(sum);
        if (total > limit || block + kBlock == stride) {
            __m128i count = _mm_madd_epi16(common, ones);
            count = _mm_add_epi32(count, _mm_shuffle_epi32(count, 0x4E));
            count = _mm_add_epi32(count, _mm_shuffle_epi32(count, 0xB1));
            return {total, _mm_cvtsi128_si32(count)};
        }
    }
    return {0, 0};
}

#else

inline CompactHaplotypes::Distance CompactHaplotypes::distance(const std::int16_t* a,
                                                               const std::int16_t* b,
                                                               std::size_t stride,
                                                               std::int32_t limit) {
    std::int32_t steps = 0;
    std::int32_t common = 0;
    for (std::size_t block = 0; block < stride; block += kBlock) {
        for (std::size_t i = block; i < block + kBlock; ++i) {
            if (a[i] == kUntyped || b[i] == kUntyped)
                continue;
            steps += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
            ++common;
        }
        if (steps > limit)
            break;
    }
    return {steps, common};
}

#endif

} // namespace tarnwick
