#include "core/statistics/Medoids.h"

#include "core/Error.h"

#include <algorithm>
#include <cfloat>
#include <limits>
#include <numeric>
#include <string>
#include <thread>
#include <variant>

namespace tarnwick {
namespace {

// Men are compared with a block of this many others at a time: the block's distances stay in
// the first-level cache while they are summed up.
constexpr std::size_t kBlock = 256;
// Candidates weighed between two questions whether to go on.
constexpr std::size_t kCandidatesPerTurn = 2048;

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

// Runs work(begin, end) over [0, count) on the machine's cores.
void inParallel(std::size_t count, const std::function<void(std::size_t, std::size_t)>& work) {
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 16);
    const std::size_t parts = std::min(threads, count);
    if (parts <= 1) {
        work(0, count);
        return;
    }
    std::vector<std::jthread> running;
    for (std::size_t t = 1; t < parts; ++t)
        running.emplace_back(work, count * t / parts, count * (t + 1) / parts);
    work(0, count / parts);
}

// The haplotypes locus by locus, in a chosen order of the men's haplotypes. W holds a block's
// sums of weight times distance: 32 bits where they fit, so that they add up in as many lanes as
// the bytes of the distances allow.
template <typename T, typename W> struct Columns {
    std::size_t stride = 0;
    std::vector<T> values;  // [locus * stride + position]
    std::vector<W> weights; // [position]
};

template <typename T, typename W> class Pam {
public:
    Pam(const DistinctHaplotypes& haplotypes, const std::vector<int>& bases)
        : m_(haplotypes.count()), loci_(haplotypes.loci), weights_(m_), first_(haplotypes.first),
          last_(haplotypes.last), rows_(m_ * loci_) {
        for (std::size_t h = 0; h < m_; ++h) {
            weights_[h] = static_cast<W>(haplotypes.weights[h]);
            for (std::size_t l = 0; l < loci_; ++l)
                rows_[h * loci_ + l] = static_cast<T>(haplotypes.values[h * loci_ + l] - bases[l]);
        }
        std::vector<std::size_t> identity(m_);
        std::iota(identity.begin(), identity.end(), 0);
        inOrder_ = arrange(identity);
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
        // The first medoid has the least total distance; later ones the largest gain.
        std::vector<std::int64_t> score(m_, 0);
        weighCandidates(goOn, [&](std::size_t h) {
            if (medoid[h])
                return;
            std::int64_t sum = 0;
            forDistances(inOrder_, h, 0, m_, [&](std::size_t begin, const T* d, std::size_t n) {
                const W* c = inOrder_.weights.data() + begin;
                sum += taken.empty() ? -weightedDistance(d, c, n)
                                     : gain(d, nearest.data() + begin, c, n);
            });
            score[h] = sum;
        });
        std::size_t best = m_;
        for (std::size_t h = 0; h < m_; ++h)
            if (!medoid[h] && (best == m_ || score[h] > score[best] ||
                               (score[h] == score[best] && last_[h] > last_[best])))
                best = h;
        return best;
    }

    // SWAP from BUILD's medoids; the result in the order of their clusters.
    std::vector<std::size_t> swap(const std::vector<std::size_t>& built,
                                  const std::function<bool()>& goOn) {
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
            // Men grouped by their nearest medoid; ties (E = D) change nothing and go anywhere.
            std::vector<std::size_t> order(m_);
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                return near.slot[a] < near.slot[b];
            });
            const Columns<T, W> columns = arrange(order);
            std::vector<T> D(m_), E(m_);
            std::vector<std::size_t> slotEnd(k, 0);
            for (std::size_t pos = 0; pos < m_; ++pos) {
                D[pos] = near.first[order[pos]];
                E[pos] = near.second[order[pos]];
                slotEnd[near.slot[order[pos]]] = pos + 1;
            }
            for (std::size_t s = 1; s < k; ++s)
                slotEnd[s] = std::max(slotEnd[s], slotEnd[s - 1]);
            std::vector<bool> isMedoid(m_, false);
            for (const auto& medoid : medoids)
                isMedoid[medoid.second] = true;
            std::vector<std::int64_t> change(m_ * k, 0);
            weighCandidates(goOn, [&](std::size_t h) {
                if (isMedoid[h])
                    return;
                std::int64_t gained = 0;
                std::size_t begin = 0;
                for (std::size_t s = 0; s < k; ++s) {
                    std::int64_t lost = 0;
                    forDistances(columns, h, begin, slotEnd[s],
                                 [&](std::size_t at, const T* d, std::size_t n) {
                                     const W* c = columns.weights.data() + at;
                                     gained += gain(d, D.data() + at, c, n);
                                     lost += loss(d, D.data() + at, E.data() + at, c, n);
                                 });
                    change[h * k + s] = lost;
                    begin = slotEnd[s];
                }
                for (std::size_t s = 0; s < k; ++s)
                    change[h * k + s] -= gained;
            });
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

    Columns<T, W> arrange(const std::vector<std::size_t>& order) const {
        Columns<T, W> columns;
        columns.stride = (m_ + kBlock - 1) / kBlock * kBlock;
        columns.values.assign(columns.stride * loci_, T{0});
        columns.weights.resize(m_);
        for (std::size_t pos = 0; pos < m_; ++pos) {
            columns.weights[pos] = weights_[order[pos]];
            for (std::size_t l = 0; l < loci_; ++l)
                columns.values[l * columns.stride + pos] = rows_[order[pos] * loci_ + l];
        }
        return columns;
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

    template <typename Weigh> void weighCandidates(const std::function<bool()>& goOn, Weigh weigh) {
        for (std::size_t begin = 0; begin < m_; begin += kCandidatesPerTurn) {
            const std::size_t n = std::min(kCandidatesPerTurn, m_ - begin);
            inParallel(n, [&](std::size_t from, std::size_t to) {
                for (std::size_t h = begin + from; h < begin + to; ++h)
                    weigh(h);
            });
            if (goOn && !goOn())
                throw FitCancelled();
        }
    }

    std::size_t m_;
    std::size_t loci_;
    std::vector<W> weights_;
    std::vector<std::uint64_t> first_, last_;
    std::vector<T> rows_; // haplotype after haplotype
    Columns<T, W> inOrder_;
};

} // namespace

class MedoidSearch::Kernel {
public:
    explicit Kernel(const DistinctHaplotypes& haplotypes) {
        std::vector<int> bases(haplotypes.loci, 0);
        long long widest = 0;
        for (std::size_t l = 0; l < haplotypes.loci; ++l) {
            int low = std::numeric_limits<int>::max(), high = std::numeric_limits<int>::min();
            for (std::size_t h = 0; h < haplotypes.count(); ++h) {
                low = std::min(low, haplotypes.values[h * haplotypes.loci + l]);
                high = std::max(high, haplotypes.values[h * haplotypes.loci + l]);
            }
            bases[l] = low;
            widest += static_cast<long long>(high) - low;
        }
        // Distances never exceed the sum of the loci's spans, so the narrowest type holding that
        // sum adds them up exactly.
        const std::uint64_t heaviest =
            *std::max_element(haplotypes.weights.begin(), haplotypes.weights.end());
        const bool narrowSums =
            heaviest <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) /
                            (std::numeric_limits<std::uint8_t>::max() * kBlock);
        if (widest < std::numeric_limits<std::uint8_t>::max() && narrowSums)
            pam_.emplace<Pam<std::uint8_t, std::int32_t>>(haplotypes, bases);
        else if (widest < std::numeric_limits<std::uint8_t>::max())
            pam_.emplace<Pam<std::uint8_t, std::int64_t>>(haplotypes, bases);
        else if (widest < std::numeric_limits<std::uint16_t>::max())
            pam_.emplace<Pam<std::uint16_t, std::int64_t>>(haplotypes, bases);
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
                while (built_.size() < k)
                    built_.push_back(pam.build(built_, goOn));
                return pam.swap(
                    std::vector<std::size_t>(built_.begin(),
                                             built_.begin() + static_cast<std::ptrdiff_t>(k)),
                    goOn);
            }
        },
        kernel_->pam_);
}

} // namespace tarnwick
