#include "core/statistics/Medoids.h"

#include "core/Error.h"
#include "core/matching/kernel/KernelLevel.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bitset>
#include <cfloat>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <string>
#include <thread>
#include <variant>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace tarnwick {
namespace {

// Men are compared with a block of this many others at a time: the block's distances stay in
// the first-level cache while they are summed up.
constexpr std::size_t kBlock = 256;
// Haplotypes carried by at most this many men stand in the vector kernel's groups once for each
// man: cheaper than weighing them apart.
constexpr std::uint64_t kRepeated = 32;
// Candidates weighed between two questions whether to go on, and by a core at a time.
constexpr std::size_t kCandidatesPerTurn = 2048;
constexpr std::size_t kShare = 256;

// The distances from one haplotype to `count` others, their values given locus by locus
// (`stride` apart). The vector units of the machine are used where it has them.
template <typename T>
inline void addDistances(const T* __restrict columns, std::size_t stride, std::size_t loci,
                         const T* __restrict h, std::size_t count, T* __restrict out) {
    std::fill(out, out + count, T{0});
    for (std::size_t l = 0; l < loci; ++l) {
        const T* column = columns + l * stride;
        const T value = h[l];
        for (std::size_t j = 0; j < count; ++j)
            out[j] =
                static_cast<T>(out[j] + (std::max(column[j], value) - std::min(column[j], value)));
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define TARNWICK_VECTOR_CLONES                                                                     \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define TARNWICK_VECTOR_CLONES
#endif

TARNWICK_VECTOR_CLONES void distances(const std::uint8_t* columns, std::size_t stride,
                                      std::size_t loci, const std::uint8_t* h, std::size_t count,
                                      std::uint8_t* out) {
    addDistances(columns, stride, loci, h, count, out);
}

TARNWICK_VECTOR_CLONES void distances(const std::uint16_t* columns, std::size_t stride,
                                      std::size_t loci, const std::uint16_t* h, std::size_t count,
                                      std::uint16_t* out) {
    addDistances(columns, stride, loci, h, count, out);
}

// A block's sums of weight times: distance (for BUILD's first medoid); how much nearer the
// candidate is than the nearest medoid (BUILD's gain, and SWAP's); how much farther the men of
// a medoid would be if it went (SWAP's loss, the second nearest medoid taking them).
template <typename T, typename W>
inline W weightedDistanceOf(const T* __restrict d, const W* __restrict c, std::size_t n) {
    W sum = 0;
    for (std::size_t j = 0; j < n; ++j)
        sum += c[j] * static_cast<W>(d[j]);
    return sum;
}
template <typename T, typename W>
inline W gainOf(const T* __restrict d, const T* __restrict D, const W* __restrict c,
                std::size_t n) {
    W sum = 0;
    for (std::size_t j = 0; j < n; ++j)
        sum += c[j] * static_cast<W>(D[j] > d[j] ? D[j] - d[j] : 0);
    return sum;
}
template <typename T, typename W>
inline W lossOf(const T* __restrict d, const T* __restrict D, const T* __restrict E,
                const W* __restrict c, std::size_t n) {
    W sum = 0;
    for (std::size_t j = 0; j < n; ++j)
        sum += c[j] * static_cast<W>(std::min(d[j], E[j]) - std::min(d[j], D[j]));
    return sum;
}

#define TARNWICK_BLOCK_SUMS(T, W)                                                                  \
    TARNWICK_VECTOR_CLONES W weightedDistance(const T* d, const W* c, std::size_t n) {             \
        return weightedDistanceOf(d, c, n);                                                        \
    }                                                                                              \
    TARNWICK_VECTOR_CLONES W gain(const T* d, const T* D, const W* c, std::size_t n) {             \
        return gainOf(d, D, c, n);                                                                 \
    }                                                                                              \
    TARNWICK_VECTOR_CLONES W loss(const T* d, const T* D, const T* E, const W* c, std::size_t n) { \
        return lossOf(d, D, E, c, n);                                                              \
    }
TARNWICK_BLOCK_SUMS(std::uint8_t, std::int32_t)
TARNWICK_BLOCK_SUMS(std::uint8_t, std::int64_t)
TARNWICK_BLOCK_SUMS(std::uint16_t, std::int64_t)
#undef TARNWICK_BLOCK_SUMS

// Over men of weight 1, kGroup at a time: the sums of d, |d - D| and |d - E|, d the
// distance from the candidate, D and E those to the nearest and second nearest medoids. Every
// sum the medoid search needs follows exactly from these three:
//   (D - d)+ = (|d - D| + D - d) / 2,   min(d, E) - min(d, D) = (E - D - |d - E| + |d - D|) / 2,
// and the vector units add up bytes of absolute differences in one instruction. Distances are
// bytes here, added with saturation at 255: the sums depend on d only through min(d, E), so they
// are exact while every E is below 255 (and the plain distance while the loci span less than 255
// repeats together). Where every locus spans at most 16 values, the distances at a locus are
// looked up in a table of 16 (one shuffle) instead of computed; where the machine permutes
// bytes across two tables of 64, two loci whose spans multiply to at most 128 share one column
// of codes and one lookup of their summed distances.
constexpr std::size_t kGroup = 64;
constexpr std::size_t kPairTable = 2 * kGroup;
// Candidates weighed together: each group of men is read once for all of them.
constexpr std::size_t kBatch = 4;
// Men weighed against all of a core's candidates before the next: their columns stay in the
// second-level cache.
constexpr std::size_t kStretch = 8192;

struct UnitSums {
    std::uint64_t distance = 0, fromNearest = 0, fromSecond = 0;
};

struct UnitGroups {
    const std::uint8_t* columns; // [column * stride + position]
    std::size_t stride;
    std::size_t count; // columns
    std::size_t pairs; // the first columns, each coding two loci
    // Each candidate's values, or with lookup its tables: kPairTable bytes for each pair, then
    // for each other locus its table of 16 repeated to fill kGroup bytes (a shuffle looks up
    // within 16).
    std::array<const std::uint8_t*, kBatch> candidates;
    const std::uint8_t* nearest; // D, by position
    const std::uint8_t* second;  // E, by position
};

using UnitKernel = void (*)(const UnitGroups&, std::size_t begin, std::size_t end,
                            std::array<UnitSums, kBatch>&);

// How a kernel finds the distances at a locus: from the values, from a table per locus, or
// from a table per pair of loci. A kernel for each, or none where the machine lacks its units.
enum class Lookup { None, Single, Pairs };

#if defined(__x86_64__) && defined(__GNUC__)
// The sum of a vector's 64-bit lanes (stored: GCC 12 warns wrongly inside its own reductions).
__attribute__((target("avx512bw"))) inline std::uint64_t lanesOf(__m512i s) {
    alignas(64) std::uint64_t lanes[8];
    _mm512_store_si512(lanes, s);
    return std::accumulate(lanes, lanes + 8, std::uint64_t{0});
}

__attribute__((target("avx2"))) inline std::uint64_t lanesOf(__m256i s) {
    alignas(32) std::uint64_t lanes[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), s);
    return std::accumulate(lanes, lanes + 4, std::uint64_t{0});
}

// Adds to d the distances at the single-locus columns [from, count) of a group of men.
template <bool lookup>
__attribute__((target("avx512bw"), always_inline)) inline void
singles512(const UnitGroups& g, std::size_t at, std::size_t from, __m512i (&d)[kBatch]) {
    const std::uint8_t* column = g.columns + from * g.stride + at;
    for (std::size_t l = from; l < g.count; ++l, column += g.stride) {
        const __m512i c = _mm512_loadu_si512(column);
        for (std::size_t i = 0; i < kBatch; ++i) {
            if constexpr (lookup) {
                const std::uint8_t* tables = g.candidates[i] + kPairTable * g.pairs;
                const __m512i table = _mm512_loadu_si512(tables + kGroup * (l - g.pairs));
                d[i] = _mm512_adds_epu8(d[i], _mm512_shuffle_epi8(table, c));
            } else {
                const __m512i v = _mm512_set1_epi8(static_cast<char>(g.candidates[i][l]));
                d[i] = _mm512_adds_epu8(
                    d[i], _mm512_sub_epi8(_mm512_max_epu8(c, v), _mm512_min_epu8(c, v)));
            }
        }
    }
}

// Adds a group's distances d, |d - D| and |d - E| to the running sums.
__attribute__((target("avx512bw"), always_inline)) inline void
tally512(const UnitGroups& g, std::size_t at, std::size_t end, __m512i (&d)[kBatch],
         __m512i (&s0)[kBatch], __m512i (&s1)[kBatch], __m512i (&s2)[kBatch]) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i D = _mm512_loadu_si512(g.nearest + at), E = _mm512_loadu_si512(g.second + at);
    if (end - at < kGroup) { // the men after end count nothing
        const __mmask64 keep = (std::uint64_t{1} << (end - at)) - 1;
        for (std::size_t i = 0; i < kBatch; ++i)
            d[i] = _mm512_maskz_mov_epi8(keep, d[i]);
        D = _mm512_maskz_mov_epi8(keep, D);
        E = _mm512_maskz_mov_epi8(keep, E);
    }
    for (std::size_t i = 0; i < kBatch; ++i) {
        s0[i] = _mm512_add_epi64(s0[i], _mm512_sad_epu8(d[i], zero));
        s1[i] = _mm512_add_epi64(s1[i], _mm512_sad_epu8(d[i], D));
        s2[i] = _mm512_add_epi64(s2[i], _mm512_sad_epu8(d[i], E));
    }
}

__attribute__((target("avx512bw"), always_inline)) inline void
store512(const __m512i (&s0)[kBatch], const __m512i (&s1)[kBatch], const __m512i (&s2)[kBatch],
         std::array<UnitSums, kBatch>& sums) {
    for (std::size_t i = 0; i < kBatch; ++i) {
        sums[i].distance += lanesOf(s0[i]);
        sums[i].fromNearest += lanesOf(s1[i]);
        sums[i].fromSecond += lanesOf(s2[i]);
    }
}

template <bool lookup>
__attribute__((target("avx512bw"))) void unitSums512(const UnitGroups& g, std::size_t begin,
                                                     std::size_t end,
                                                     std::array<UnitSums, kBatch>& sums) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i s0[kBatch], s1[kBatch], s2[kBatch];
    for (std::size_t i = 0; i < kBatch; ++i)
        s0[i] = s1[i] = s2[i] = zero;
    for (std::size_t at = begin; at < end; at += kGroup) {
        __m512i d[kBatch];
        for (std::size_t i = 0; i < kBatch; ++i)
            d[i] = zero;
        singles512<lookup>(g, at, 0, d);
        tally512(g, at, end, d, s0, s1, s2);
    }
    store512(s0, s1, s2, sums);
}

// As unitSums512 with lookup, the paired columns first: a code below 64 picks from a
// candidate's first table of 64, one from 64 to 127 from its second.
__attribute__((target("avx512bw,avx512vbmi"))) void
pairedSums512(const UnitGroups& g, std::size_t begin, std::size_t end,
              std::array<UnitSums, kBatch>& sums) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i s0[kBatch], s1[kBatch], s2[kBatch];
    for (std::size_t i = 0; i < kBatch; ++i)
        s0[i] = s1[i] = s2[i] = zero;
    for (std::size_t at = begin; at < end; at += kGroup) {
        __m512i d[kBatch];
        for (std::size_t i = 0; i < kBatch; ++i)
            d[i] = zero;
        const std::uint8_t* column = g.columns + at;
        for (std::size_t p = 0; p < g.pairs; ++p, column += g.stride) {
            const __m512i c = _mm512_loadu_si512(column);
            for (std::size_t i = 0; i < kBatch; ++i) {
                const std::uint8_t* table = g.candidates[i] + kPairTable * p;
                d[i] = _mm512_adds_epu8(
                    d[i], _mm512_permutex2var_epi8(_mm512_loadu_si512(table), c,
                                                   _mm512_loadu_si512(table + kGroup)));
            }
        }
        singles512<true>(g, at, g.pairs, d);
        tally512(g, at, end, d, s0, s1, s2);
    }
    store512(s0, s1, s2, sums);
}

template <bool lookup>
__attribute__((target("avx2"))) void unitSums256(const UnitGroups& g, std::size_t begin,
                                                 std::size_t end,
                                                 std::array<UnitSums, kBatch>& sums) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i s0[kBatch], s1[kBatch], s2[kBatch];
    for (std::size_t i = 0; i < kBatch; ++i)
        s0[i] = s1[i] = s2[i] = zero;
    for (std::size_t at = begin; at < end; at += 32) {
        __m256i d[kBatch];
        for (std::size_t i = 0; i < kBatch; ++i)
            d[i] = zero;
        const std::uint8_t* column = g.columns + at;
        for (std::size_t l = 0; l < g.count; ++l, column += g.stride) {
            const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(column));
            for (std::size_t i = 0; i < kBatch; ++i) {
                if constexpr (lookup) {
                    const __m256i table = _mm256_loadu_si256(
                        reinterpret_cast<const __m256i*>(g.candidates[i] + kGroup * l));
                    d[i] = _mm256_adds_epu8(d[i], _mm256_shuffle_epi8(table, c));
                } else {
                    const __m256i v = _mm256_set1_epi8(static_cast<char>(g.candidates[i][l]));
                    d[i] = _mm256_adds_epu8(
                        d[i], _mm256_sub_epi8(_mm256_max_epu8(c, v), _mm256_min_epu8(c, v)));
                }
            }
        }
        __m256i D = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g.nearest + at));
        __m256i E = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g.second + at));
        if (end - at < 32) { // the men after end count nothing
            const __m256i keep = _mm256_cmpgt_epi8(
                _mm256_set1_epi8(static_cast<char>(end - at)),
                _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31));
            for (std::size_t i = 0; i < kBatch; ++i)
                d[i] = _mm256_and_si256(d[i], keep);
            D = _mm256_and_si256(D, keep);
            E = _mm256_and_si256(E, keep);
        }
        for (std::size_t i = 0; i < kBatch; ++i) {
            s0[i] = _mm256_add_epi64(s0[i], _mm256_sad_epu8(d[i], zero));
            s1[i] = _mm256_add_epi64(s1[i], _mm256_sad_epu8(d[i], D));
            s2[i] = _mm256_add_epi64(s2[i], _mm256_sad_epu8(d[i], E));
        }
    }
    for (std::size_t i = 0; i < kBatch; ++i) {
        sums[i].distance += lanesOf(s0[i]);
        sums[i].fromNearest += lanesOf(s1[i]);
        sums[i].fromSecond += lanesOf(s2[i]);
    }
}

// The level TARNWICK_KERNEL asks for bounds these kernels as it bounds matching's, so that the
// narrower paths are tested on a machine that has the wider ones.
UnitKernel unitKernel(Lookup lookup) {
    const KernelLevel level = kernelLevel();
    const bool wide = level == KernelLevel::Avx512 && __builtin_cpu_supports("avx512bw");
    if (lookup == Lookup::Pairs)
        return wide && __builtin_cpu_supports("avx512vbmi") ? pairedSums512 : nullptr;
    if (wide)
        return lookup == Lookup::Single ? unitSums512<true> : unitSums512<false>;
    if (level >= KernelLevel::Avx2 && __builtin_cpu_supports("avx2"))
        return lookup == Lookup::Single ? unitSums256<true> : unitSums256<false>;
    return nullptr;
}
#else
UnitKernel unitKernel(Lookup) {
    return nullptr;
}
#endif

// Runs work(begin, end) over [0, count) on the machine's cores, in shares of `share` that each
// core takes as it is free: a core held up by other work leaves more to the others.
void inParallel(std::size_t count, std::size_t share,
                const std::function<void(std::size_t, std::size_t)>& work) {
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 16);
    const std::size_t shares = (count + share - 1) / share;
    std::atomic<std::size_t> next{0};
    const auto take = [&] {
        for (std::size_t s = next++; s < shares; s = next++)
            work(s * share, std::min(count, (s + 1) * share));
    };
    std::vector<std::jthread> running;
    for (std::size_t t = 1; t < std::min(threads, shares); ++t)
        running.emplace_back(take);
    take();
}

// The haplotypes locus by locus, the men grouped (by their nearest medoid in SWAP) and within
// each group those for the vector kernel first, one position per man. W holds a block's sums of
// weight times distance: 32 bits where they fit, so that they add up in as many lanes as the bytes
// of the distances allow.
struct Segment {
    std::size_t begin = 0, split = 0, end = 0; // [begin, split) for the vector kernel
    std::int64_t nearest = 0, second = 0;      // the sums of D and E over [begin, split)
};

template <typename T, typename W> struct Columns {
    std::size_t positions = 0;
    std::size_t stride = 0;
    std::vector<T> values;          // [locus * stride + position]
    std::vector<W> weights;         // [position]
    std::vector<std::size_t> order; // the haplotype at each position
    std::vector<Segment> segments;  // the groups, in their order
    std::vector<T> nearest, second; // D and E by position
    // For the vector kernel: the values and D and E as bytes, and whether its sums are exact.
    std::vector<std::uint8_t> codes, nearestBytes, secondBytes;
    bool byKernel = false;
};

// What a candidate's sums over a segment are for.
enum class Need { Distance, Gain, GainAndLoss };

struct Sums {
    std::int64_t distance = 0, gain = 0, loss = 0;
};

// A column of the vector kernel: one locus, or a pair of loci whose values, as they occur
// together, are numbered (at most kPairTable combinations).
struct Code {
    std::size_t first = 0, second = 0;
    bool pair = false;
    std::array<std::uint8_t, 256> numberOf{};                        // by first * 16 + second
    std::vector<std::pair<std::uint8_t, std::uint8_t>> combinations; // by number
    std::vector<std::uint8_t> tables; // for the vector kernel, by number (Pam::tabulate)
};

template <typename T, typename W> class Pam {
public:
    // narrow: every locus spans at most 16 values; bytes: every locus less than 256.
    Pam(const DistinctHaplotypes& haplotypes, const std::vector<int>& bases, bool narrow,
        bool bytes)
        : m_(haplotypes.count()), loci_(haplotypes.loci), weights_(m_), first_(haplotypes.first),
          last_(haplotypes.last), rows_(m_ * loci_), lookup_(narrow) {
        for (std::size_t h = 0; h < m_; ++h) {
            weights_[h] = static_cast<W>(haplotypes.weights[h]);
            for (std::size_t l = 0; l < loci_; ++l)
                rows_[h * loci_ + l] = static_cast<T>(haplotypes.values[h * loci_ + l] - bases[l]);
        }
        if (bytes && lookup_)
            unitKernel_ = unitKernel(Lookup::Pairs);
        const bool paired = unitKernel_ != nullptr;
        if (bytes && !unitKernel_)
            unitKernel_ = unitKernel(lookup_ ? Lookup::Single : Lookup::None);
        planCodes(paired);
        std::vector<std::size_t> identity(m_);
        std::iota(identity.begin(), identity.end(), 0);
        inOrder_ = arrange(identity, std::vector<std::size_t>(m_, 0), 1, false);
        all_ = arrange(identity, std::vector<std::size_t>(m_, 0), 1, true);
    }

    std::size_t count() const { return m_; }

    // BUILD's next medoid after those taken.
    std::size_t build(const std::vector<std::size_t>& taken, const std::function<bool()>& goOn) {
        std::vector<T> nearest(m_, std::numeric_limits<T>::max());
        std::vector<bool> medoid(m_, false);
        for (const std::size_t t : taken) {
            medoid[t] = true;
            forDistances(inOrder_, t, 0, m_, [&](std::size_t begin, const T* d, std::size_t n) {
                for (std::size_t j = 0; j < n; ++j)
                    nearest[begin + j] = std::min(nearest[begin + j], d[j]);
            });
        }
        setNearest(all_, nearest, nearest);
        all_.byKernel =
            unitKernel_ && (taken.empty() ? std::is_same_v<T, std::uint8_t> : belowByte(nearest));
        // The first medoid has the least total distance; later ones the largest gain.
        const Need need = taken.empty() ? Need::Distance : Need::Gain;
        std::vector<std::int64_t> score(m_, 0);
        weighCandidates(goOn, [&](const std::vector<Batch>& batches) {
            const auto sums = sumsOver(all_, all_.segments[0], batches, need);
            for (std::size_t b = 0; b < batches.size(); ++b)
                for (std::size_t i = 0; i < batches[b].count; ++i)
                    score[batches[b].first + i] =
                        taken.empty() ? -sums[b][i].distance : sums[b][i].gain;
        });
        return largest(score, medoid);
    }

    // The haplotype, not a medoid, of the largest score, the last of equals (m_ if none).
    std::size_t largest(const std::vector<std::int64_t>& score,
                        const std::vector<bool>& medoid) const {
        std::size_t best = m_;
        for (std::size_t h = 0; h < m_; ++h)
            if (!medoid[h] && (best == m_ || score[h] > score[best] ||
                               (score[h] == score[best] && last_[h] > last_[best])))
                best = h;
        return best;
    }

    // SWAP from BUILD's medoids; the result in the order of their clusters. For each candidate
    // one pass over the men gives the change of swapping it for every medoid (Schubert &
    // Rousseeuw 2019, "Faster k-Medoids Clustering", FastPAM1): the gain from the men it would
    // take over, less what the men of the medoid leaving would lose.
    // Its first pass weighs BUILD's gains too: with `next`, BUILD's medoid after `built` is
    // left there (m_ if none).
    std::vector<std::size_t> swap(const std::vector<std::size_t>& built,
                                  const std::function<bool()>& goOn, std::size_t* next = nullptr) {
        if (next)
            *next = m_;
        // Medoids by the place of the man standing for each: BUILD took the last of equals,
        // SWAP takes the first.
        std::vector<std::pair<std::uint64_t, std::size_t>> medoids;
        medoids.reserve(built.size());
        for (const std::size_t b : built)
            medoids.push_back({last_[b], b});
        const std::size_t k = medoids.size();
        if (k == 0)
            return inClusterOrder(medoids);
        for (std::size_t round = 0;; ++round) {
            std::sort(medoids.begin(), medoids.end());
            const Nearest near = nearestMedoids(medoids);
            if (k == 1 || round > 10000)
                break;
            std::vector<std::size_t> identity(m_);
            std::iota(identity.begin(), identity.end(), 0);
            Columns<T, W> columns = arrange(identity, near.slot, k, true);
            setNearest(columns, near.first, near.second);
            columns.byKernel = unitKernel_ && belowByte(near.second);
            std::vector<bool> isMedoid(m_, false);
            for (const auto& medoid : medoids)
                isMedoid[medoid.second] = true;
            std::vector<std::int64_t> change(m_ * k, 0);
            std::vector<std::int64_t> gains(next && round == 0 ? m_ : 0);
            weighCandidates(goOn, [&](const std::vector<Batch>& batches) {
                std::vector<std::int64_t> gained(batches.size() * kBatch, 0);
                for (std::size_t s = 0; s < k; ++s) {
                    const auto sums =
                        sumsOver(columns, columns.segments[s], batches, Need::GainAndLoss);
                    for (std::size_t b = 0; b < batches.size(); ++b)
                        for (std::size_t i = 0; i < batches[b].count; ++i) {
                            gained[b * kBatch + i] += sums[b][i].gain;
                            change[(batches[b].first + i) * k + s] = sums[b][i].loss;
                        }
                }
                for (std::size_t b = 0; b < batches.size(); ++b)
                    for (std::size_t i = 0; i < batches[b].count; ++i) {
                        for (std::size_t s = 0; s < k; ++s)
                            change[(batches[b].first + i) * k + s] -= gained[b * kBatch + i];
                        if (!gains.empty())
                            gains[batches[b].first + i] = gained[b * kBatch + i];
                    }
            });
            if (!gains.empty())
                *next = largest(gains, isMedoid);
            std::int64_t best = std::numeric_limits<std::int64_t>::max();
            std::size_t bestCandidate = m_, bestSlot = 0;
            for (std::size_t h = 0; h < m_; ++h)
                if (!isMedoid[h])
                    for (std::size_t s = 0; s < k; ++s)
                        if (change[h * k + s] < best) {
                            best = change[h * k + s];
                            bestCandidate = h;
                            bestSlot = s;
                        }
            if (bestCandidate == m_ ||
                !(static_cast<double>(best) < -16 * DBL_EPSILON * static_cast<double>(near.total)))
                break;
            medoids[bestSlot] = {first_[bestCandidate], bestCandidate};
        }
        return inClusterOrder(medoids);
    }

private:
    struct Nearest {
        std::vector<T> first, second;
        std::vector<std::size_t> slot;
        std::int64_t total = 0;
    };

    Nearest nearestMedoids(const std::vector<std::pair<std::uint64_t, std::size_t>>& medoids) {
        Nearest near{std::vector<T>(m_, std::numeric_limits<T>::max()),
                     std::vector<T>(m_, std::numeric_limits<T>::max()),
                     std::vector<std::size_t>(m_, 0), 0};
        for (std::size_t s = 0; s < medoids.size(); ++s)
            forDistances(inOrder_, medoids[s].second, 0, m_,
                         [&](std::size_t begin, const T* d, std::size_t n) {
                             for (std::size_t j = 0; j < n; ++j) {
                                 const std::size_t at = begin + j;
                                 if (s == 0 || d[j] < near.first[at]) {
                                     near.second[at] = s == 0 ? near.second[at] : near.first[at];
                                     near.first[at] = d[j];
                                     near.slot[at] = s;
                                 } else if (d[j] < near.second[at]) {
                                     near.second[at] = d[j];
                                 }
                             }
                         });
        for (std::size_t j = 0; j < m_; ++j)
            near.total += static_cast<std::int64_t>(weights_[j]) * near.first[j];
        return near;
    }

    std::vector<std::size_t>
    inClusterOrder(const std::vector<std::pair<std::uint64_t, std::size_t>>& medoids) {
        const Nearest near = nearestMedoids(medoids);
        std::vector<std::size_t> clusters;
        std::vector<bool> numbered(medoids.size(), false);
        for (std::size_t j = 0; j < m_; ++j) // in the order of their first men
            if (!numbered[near.slot[j]]) {
                numbered[near.slot[j]] = true;
                clusters.push_back(medoids[near.slot[j]].second);
            }
        return clusters;
    }

    // The haplotypes of `order` by their group (of `groups`); with `vectors`, those the vector
    // kernel takes first in each, a haplotype of weight c as c men of weight 1.
    Columns<T, W> arrange(const std::vector<std::size_t>& order,
                          const std::vector<std::size_t>& group, std::size_t groups,
                          bool vectors) const {
        Columns<T, W> columns;
        const bool unitsFirst = vectors && unitKernel_;
        const auto copies = [&](std::size_t h) -> std::size_t {
            return unitsFirst && static_cast<std::uint64_t>(weights_[h]) <= kRepeated
                       ? static_cast<std::size_t>(weights_[h])
                       : 0;
        };
        std::vector<std::size_t> units(groups, 0), sizes(groups, 0);
        for (const std::size_t h : order) {
            units[group[h]] += copies(h);
            sizes[group[h]] += copies(h) == 0 ? 1 : copies(h);
        }
        std::vector<std::size_t> nextUnit(groups), nextOther(groups);
        std::size_t at = 0;
        for (std::size_t g = 0; g < groups; ++g) {
            Segment segment;
            segment.begin = at;
            segment.split = at + units[g];
            segment.end = at + sizes[g];
            nextUnit[g] = at;
            nextOther[g] = at + units[g];
            columns.segments.push_back(segment);
            at = segment.end;
        }
        columns.positions = at;
        // The vector kernel reads up to a kGroup past the last man.
        columns.stride = (at + kGroup + kBlock - 1) / kBlock * kBlock;
        columns.values.assign(columns.stride * loci_, T{0});
        if (unitsFirst)
            columns.codes.assign(columns.stride * codes_.size(), 0);
        columns.weights.resize(at);
        columns.order.resize(at);
        const auto place = [&](std::size_t h, std::size_t pos, W weight) {
            columns.order[pos] = h;
            columns.weights[pos] = weight;
            for (std::size_t l = 0; l < loci_; ++l)
                columns.values[l * columns.stride + pos] = rows_[h * loci_ + l];
            for (std::size_t c = 0; c < codes_.size() && unitsFirst; ++c)
                columns.codes[c * columns.stride + pos] = codeOf(h, codes_[c]);
        };
        for (const std::size_t h : order) {
            if (copies(h) == 0)
                place(h, nextOther[group[h]]++, weights_[h]);
            for (std::size_t c = 0; c < copies(h); ++c)
                place(h, nextUnit[group[h]]++, W{1});
        }
        return columns;
    }

    // D and E by position (given by haplotype), and their sums for the vector kernel.
    void setNearest(Columns<T, W>& columns, const std::vector<T>& first,
                    const std::vector<T>& second) const {
        columns.nearest.assign(columns.stride, 0);
        columns.second.assign(columns.stride, 0);
        columns.nearestBytes.assign(columns.stride, 0);
        columns.secondBytes.assign(columns.stride, 0);
        constexpr T byte = std::numeric_limits<std::uint8_t>::max();
        for (std::size_t pos = 0; pos < columns.positions; ++pos) {
            columns.nearest[pos] = first[columns.order[pos]];
            columns.second[pos] = second[columns.order[pos]];
            columns.nearestBytes[pos] =
                static_cast<std::uint8_t>(std::min(columns.nearest[pos], byte));
            columns.secondBytes[pos] =
                static_cast<std::uint8_t>(std::min(columns.second[pos], byte));
        }
        for (Segment& segment : columns.segments) {
            segment.nearest = segment.second = 0;
            for (std::size_t pos = segment.begin; pos < segment.split; ++pos) {
                segment.nearest += columns.nearest[pos];
                segment.second += columns.second[pos];
            }
        }
    }

    static bool belowByte(const std::vector<T>& distances) {
        return std::all_of(distances.begin(), distances.end(),
                           [](T d) { return d < std::numeric_limits<std::uint8_t>::max(); });
    }

    // Candidates first, first + 1, ... (count of them) and what the vector kernel takes of each.
    struct Batch {
        std::size_t first = 0, count = 0;
        std::array<const std::uint8_t*, kBatch> candidates{};
    };

    // The weighted sums over a segment's men for each candidate of the batches.
    std::vector<std::array<Sums, kBatch>> sumsOver(const Columns<T, W>& columns,
                                                   const Segment& segment,
                                                   const std::vector<Batch>& batches,
                                                   Need need) const {
        std::vector<std::array<Sums, kBatch>> sums(batches.size());
        const std::size_t split = columns.byKernel ? segment.split : segment.begin;
        if (split > segment.begin) {
            std::vector<std::array<UnitSums, kBatch>> unit(batches.size());
            for (std::size_t from = segment.begin; from < split; from += kStretch)
                for (std::size_t b = 0; b < batches.size(); ++b)
                    unitKernel_({columns.codes.data(), columns.stride, codes_.size(), pairs_,
                                 batches[b].candidates, columns.nearestBytes.data(),
                                 columns.secondBytes.data()},
                                from, std::min(split, from + kStretch), unit[b]);
            for (std::size_t b = 0; b < batches.size(); ++b)
                for (std::size_t i = 0; i < batches[b].count; ++i) {
                    const auto d = static_cast<std::int64_t>(unit[b][i].distance);
                    const auto dD = static_cast<std::int64_t>(unit[b][i].fromNearest);
                    const auto dE = static_cast<std::int64_t>(unit[b][i].fromSecond);
                    sums[b][i].distance = d;
                    sums[b][i].gain = (dD + segment.nearest - d) / 2;
                    sums[b][i].loss = (segment.second - segment.nearest - dE + dD) / 2;
                }
        }
        for (std::size_t b = 0; b < batches.size(); ++b)
            for (std::size_t i = 0; i < batches[b].count; ++i)
                forDistances(columns, batches[b].first + i, split, segment.end,
                             [&](std::size_t at, const T* d, std::size_t n) {
                                 Sums& sum = sums[b][i];
                                 const W* c = columns.weights.data() + at;
                                 if (need == Need::Distance) {
                                     sum.distance += weightedDistance(d, c, n);
                                     return;
                                 }
                                 const T* D = columns.nearest.data() + at;
                                 sum.gain += gain(d, D, c, n);
                                 if (need == Need::GainAndLoss)
                                     sum.loss += loss(d, D, columns.second.data() + at, c, n);
                             });
        return sums;
    }

    // use(begin, distances, n) for the blocks of positions [begin, end) of columns.
    template <typename Use>
    void forDistances(const Columns<T, W>& columns, std::size_t h, std::size_t begin,
                      std::size_t end, const Use& use) const {
        alignas(64) T d[kBlock];
        for (std::size_t at = begin; at < end; at += kBlock) {
            const std::size_t n = std::min(kBlock, end - at);
            distances(columns.values.data() + at, columns.stride, loci_, rows_.data() + h * loci_,
                      n, d);
            use(at, d, n);
        }
    }

    // weigh(batches) for every haplotype, kBatch to a batch, each core weighing its share of a
    // turn's candidates together.
    template <typename Weigh> void weighCandidates(const std::function<bool()>& goOn, Weigh weigh) {
        for (std::size_t begin = 0; begin < m_; begin += kCandidatesPerTurn) {
            const std::size_t n = std::min(kCandidatesPerTurn, m_ - begin);
            inParallel(n, kShare, [&](std::size_t from, std::size_t to) {
                std::vector<std::uint8_t> tables((to - from + kBatch - 1) / kBatch * kBatch *
                                                 describedBytes_);
                std::vector<Batch> batches;
                for (std::size_t h = begin + from; h < begin + to; h += kBatch) {
                    Batch batch{h, std::min(kBatch, begin + to - h), {}};
                    for (std::size_t i = 0; i < kBatch; ++i) {
                        // A short batch repeats its last candidate for the kernel.
                        const std::size_t c = h + std::min(i, batch.count - 1);
                        std::uint8_t* candidate =
                            tables.data() + (batches.size() * kBatch + i) * describedBytes_;
                        describe(c, candidate);
                        batch.candidates[i] = candidate;
                    }
                    batches.push_back(batch);
                }
                weigh(batches);
            });
            if (goOn && !goOn())
                throw FitCancelled();
        }
    }

    // The vector kernel's columns: where pairs are looked up, loci paired when their values
    // occur in at most kPairTable combinations (those with the fewest partners first), the
    // pairs first.
    void planCodes(bool paired) {
        std::vector<std::bitset<256>> together(paired ? loci_ * loci_ : 0);
        for (std::size_t h = 0; h < m_ && paired; ++h)
            for (std::size_t a = 0; a < loci_; ++a)
                for (std::size_t b = a + 1; b < loci_; ++b)
                    together[a * loci_ + b].set(rows_[h * loci_ + a] * 16u + rows_[h * loci_ + b]);
        const auto pairs = [&](std::size_t a, std::size_t b) {
            return a != b &&
                   together[std::min(a, b) * loci_ + std::max(a, b)].count() <= kPairTable;
        };
        std::vector<std::size_t> partners(loci_, 0);
        for (std::size_t a = 0; a < loci_ && paired; ++a)
            for (std::size_t b = 0; b < loci_; ++b)
                partners[a] += pairs(a, b) ? std::size_t{1} : std::size_t{0};
        std::vector<std::size_t> byPartners(loci_);
        std::iota(byPartners.begin(), byPartners.end(), 0);
        std::stable_sort(byPartners.begin(), byPartners.end(),
                         [&](std::size_t a, std::size_t b) { return partners[a] < partners[b]; });
        std::vector<bool> taken(loci_, false);
        std::vector<std::size_t> singles;
        for (const std::size_t a : byPartners) {
            if (taken[a])
                continue;
            taken[a] = true;
            std::size_t partner = loci_;
            for (const std::size_t b : byPartners)
                if (!taken[b] && paired && pairs(a, b)) {
                    partner = b;
                    break;
                }
            if (partner == loci_) {
                singles.push_back(a);
                continue;
            }
            taken[partner] = true;
            Code code;
            code.first = std::min(a, partner);
            code.second = std::max(a, partner);
            code.pair = true;
            const std::bitset<256>& seen = together[code.first * loci_ + code.second];
            for (std::size_t v = 0; v < 256; ++v)
                if (seen[v]) {
                    code.numberOf[v] = static_cast<std::uint8_t>(code.combinations.size());
                    code.combinations.push_back(
                        {static_cast<std::uint8_t>(v / 16), static_cast<std::uint8_t>(v % 16)});
                }
            codes_.push_back(std::move(code));
        }
        pairs_ = codes_.size();
        std::sort(singles.begin(), singles.end());
        for (const std::size_t l : singles) {
            Code code;
            code.first = code.second = l;
            codes_.push_back(std::move(code));
        }
        describedBytes_ = lookup_ ? pairs_ * kPairTable + (loci_ - 2 * pairs_) * kGroup : loci_;
        for (Code& code : codes_)
            if (lookup_ && unitKernel_)
                tabulate(code);
    }

    std::uint8_t codeOf(std::size_t h, const Code& code) const {
        const std::size_t first = rows_[h * loci_ + code.first];
        if (!code.pair)
            return static_cast<std::uint8_t>(first);
        return code.numberOf[first * 16 + rows_[h * loci_ + code.second]];
    }

    // What the vector kernel takes of candidate h: its values, or its tables.
    void describe(std::size_t h, std::uint8_t* candidate) const {
        if (!unitKernel_)
            return;
        std::uint8_t* out = candidate;
        for (const Code& code : codes_) {
            if (!lookup_) {
                *out++ = static_cast<std::uint8_t>(rows_[h * loci_ + code.first]);
                continue;
            }
            const std::size_t size = code.pair ? kPairTable : kGroup;
            const auto table =
                code.tables.begin() + static_cast<std::ptrdiff_t>(codeOf(h, code) * size);
            out = std::copy(table, table + static_cast<std::ptrdiff_t>(size), out);
        }
    }

    // The tables of a column for each of its codes: the distances from the code's values to
    // every code's (a pair's numbered combinations; a locus's 16 values repeated to kGroup).
    static void tabulate(Code& code) {
        const auto distance = [](std::size_t a, std::size_t b) {
            return static_cast<std::uint8_t>(a > b ? a - b : b - a);
        };
        if (code.pair) {
            const auto& all = code.combinations;
            code.tables.assign(all.size() * kPairTable, 0);
            for (std::size_t n = 0; n < all.size(); ++n)
                for (std::size_t c = 0; c < all.size(); ++c)
                    code.tables[n * kPairTable + c] =
                        static_cast<std::uint8_t>(distance(all[c].first, all[n].first) +
                                                  distance(all[c].second, all[n].second));
            return;
        }
        code.tables.resize(16 * kGroup);
        for (std::size_t n = 0; n < 16; ++n)
            for (std::size_t b = 0; b < kGroup; ++b)
                code.tables[n * kGroup + b] = distance(b % 16, n);
    }

    std::size_t m_;
    std::size_t loci_;
    std::vector<W> weights_;
    std::vector<std::uint64_t> first_, last_;
    std::vector<T> rows_; // haplotype after haplotype
    bool lookup_;         // every locus spans at most 16 values
    UnitKernel unitKernel_ = nullptr;
    // The vector kernel's columns (pairs_ of them first), and the bytes describing a candidate.
    std::vector<Code> codes_;
    std::size_t pairs_ = 0;
    std::size_t describedBytes_ = 0;
    Columns<T, W> inOrder_; // by haplotype
    Columns<T, W> all_;     // for BUILD
};

} // namespace

class MedoidSearch::Kernel {
public:
    explicit Kernel(const DistinctHaplotypes& haplotypes) {
        std::vector<int> bases(haplotypes.loci, 0);
        long long widest = 0;
        bool narrow = true, bytes = true;
        for (std::size_t l = 0; l < haplotypes.loci; ++l) {
            int low = std::numeric_limits<int>::max(), high = std::numeric_limits<int>::min();
            for (std::size_t h = 0; h < haplotypes.count(); ++h) {
                low = std::min(low, haplotypes.values[h * haplotypes.loci + l]);
                high = std::max(high, haplotypes.values[h * haplotypes.loci + l]);
            }
            bases[l] = low;
            widest += static_cast<long long>(high) - low;
            narrow = narrow && static_cast<long long>(high) - low < 16;
            bytes = bytes && static_cast<long long>(high) - low < 256;
        }
        // Distances never exceed the sum of the loci's spans, so the narrowest type holding that
        // sum adds them up exactly.
        const std::uint64_t heaviest =
            *std::max_element(haplotypes.weights.begin(), haplotypes.weights.end());
        const bool narrowSums =
            heaviest <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) /
                            (std::numeric_limits<std::uint8_t>::max() * kBlock);
        if (widest < std::numeric_limits<std::uint8_t>::max() && narrowSums)
            pam_.emplace<Pam<std::uint8_t, std::int32_t>>(haplotypes, bases, narrow, bytes);
        else if (widest < std::numeric_limits<std::uint8_t>::max())
            pam_.emplace<Pam<std::uint8_t, std::int64_t>>(haplotypes, bases, narrow, bytes);
        else if (widest < std::numeric_limits<std::uint16_t>::max())
            pam_.emplace<Pam<std::uint16_t, std::int64_t>>(haplotypes, bases, narrow, bytes);
        else
            throw Error("The repeat counts of this population span " + std::to_string(widest) +
                        " repeats over its loci; repeat counts that far apart cannot be fitted");
    }

    std::variant<std::monostate, Pam<std::uint8_t, std::int32_t>, Pam<std::uint8_t, std::int64_t>,
                 Pam<std::uint16_t, std::int64_t>>
        pam_;
};

MedoidSearch::MedoidSearch(const DistinctHaplotypes& haplotypes)
    : kernel_(std::make_unique<Kernel>(haplotypes)) {}

MedoidSearch::~MedoidSearch() = default;

std::vector<std::size_t> MedoidSearch::medoids(std::size_t k, const std::function<bool()>& goOn) {
    return std::visit(
        [&](auto& pam) -> std::vector<std::size_t> {
            if constexpr (std::is_same_v<std::decay_t<decltype(pam)>, std::monostate>) {
                return {};
            } else {
                if (k == 0 || k > pam.count())
                    throw Error(std::to_string(k) +
                                " clusters need at least as many different "
                                "haplotypes; there are " +
                                std::to_string(pam.count()));
                while (built_.size() < k) {
                    built_.push_back(next_ ? *next_ : pam.build(built_, goOn));
                    next_.reset();
                }
                std::size_t next = pam.count();
                const bool last = built_.size() == k;
                auto medoids =
                    pam.swap(std::vector<std::size_t>(
                                 built_.begin(), built_.begin() + static_cast<std::ptrdiff_t>(k)),
                             goOn, last ? &next : nullptr);
                if (last && next < pam.count())
                    next_ = next;
                return medoids;
            }
        },
        kernel_->pam_);
}

} // namespace tarnwick
