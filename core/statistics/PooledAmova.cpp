#include "core/statistics/PooledAmova.h"

#include "core/Error.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <numeric>

namespace tarnwick {
namespace {

template <typename Value> double squaredNorm(const Value* values, std::size_t size) {
    double sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += static_cast<double>(values[i]) * static_cast<double>(values[i]);
    return sum;
}

std::vector<std::uint16_t> repeatsFromLeast(const StructureSample& sample, std::size_t width) {
    const std::size_t men = sample.men();
    std::vector<std::uint16_t> values(men * width, 0);
    for (std::size_t l = 0; l < sample.loci.size(); ++l) {
        std::int64_t least = std::numeric_limits<std::int64_t>::max();
        std::int64_t most = std::numeric_limits<std::int64_t>::min();
        for (std::size_t m = 0; m < men; ++m) {
            least = std::min<std::int64_t>(least, sample.repeat(m, l));
            most = std::max<std::int64_t>(most, sample.repeat(m, l));
        }
        if (most - least > std::numeric_limits<std::uint16_t>::max() ||
            (most - least) * static_cast<std::int64_t>(men) >
                std::numeric_limits<std::int32_t>::max())
            throw Error("Repeat counts from " + std::to_string(least) + " to " +
                        std::to_string(most) + " at " + sample.loci[l] + " in " +
                        std::to_string(men) + " men are too far apart to sum");
        for (std::size_t m = 0; m < men; ++m)
            values[m * width + l] = static_cast<std::uint16_t>(sample.repeat(m, l) - least);
    }
    return values;
}

// Places a man at `at`: with shuffle, one drawn from those not yet placed. His point.
template <bool shuffle>
const std::uint16_t* placeMan(const std::uint16_t* points, std::size_t width, std::uint32_t* order,
                              std::size_t at, std::uint32_t men, UniformDraws* draws) {
    if constexpr (shuffle)
        std::swap(order[at], order[at + draws->below(men - static_cast<std::uint32_t>(at))]);
    return points + std::size_t{order[at]} * width;
}

// Adds the repeats of the men from at to end, in 16 bits as long as the sum fits (a third of the
// work of widening each value), in registers where the width is known here.
template <std::size_t kWidth, bool shuffle>
void addRepeats(const std::uint16_t* points, std::size_t width, std::uint32_t* order,
                std::size_t& at, std::size_t end, std::size_t chunk, std::uint32_t men,
                UniformDraws* draws, std::int32_t* sum, std::uint16_t* scratch) {
    const std::size_t w = kWidth != 0 ? kWidth : width;
    while (at < end) {
        const std::size_t stop = std::min(end, at + chunk);
        std::array<std::uint16_t, kWidth != 0 ? kWidth : 1> fixed{};
        std::uint16_t* partial = kWidth != 0 ? fixed.data() : scratch;
        if constexpr (kWidth == 0)
            std::fill_n(partial, w, std::uint16_t{0});
        for (; at < stop; ++at) {
            const std::uint16_t* point = placeMan<shuffle>(points, w, order, at, men, draws);
            if constexpr (kWidth != 0)
                for (std::size_t l = 0; l < kWidth; ++l)
                    fixed[l] = static_cast<std::uint16_t>(fixed[l] + point[l]);
            else
                for (std::size_t l = 0; l < w; ++l)
                    partial[l] = static_cast<std::uint16_t>(partial[l] + point[l]);
        }
        for (std::size_t l = 0; l < w; ++l)
            sum[l] += partial[l];
    }
}

// Counts the pairs of alleles of the men from at to end.
template <std::size_t kWidth, bool shuffle>
void countPairs(const std::uint16_t* points, std::size_t width, std::uint32_t* order,
                std::size_t& at, std::size_t end, std::uint32_t men, UniformDraws* draws,
                std::int32_t* counts) {
    const std::size_t w = kWidth != 0 ? kWidth : width;
    for (; at < end; ++at) {
        const std::uint16_t* point = placeMan<shuffle>(points, w, order, at, men, draws);
        for (std::size_t k = 0; k < w; ++k)
            ++counts[point[k]];
    }
}

} // namespace

StructurePoints::StructurePoints(const StructureSample& sample, StructureDistance distance)
    : distance_(distance), loci_(sample.loci.size()) {
    if (sample.men() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw Error("Too many men for the population structure: " + std::to_string(sample.men()));
    if (distance == StructureDistance::Rst) {
        width_ = (loci_ + 7) / 8 * 8; // whole vectors of eight
        values_ = repeatsFromLeast(sample, width_);
    } else {
        numberPairsOfAlleles(sample);
    }
}

void StructurePoints::numberPairsOfAlleles(const StructureSample& sample) {
    const std::size_t men = sample.men();
    std::vector<std::uint32_t> alleleOf(men * loci_);
    for (std::size_t l = 0; l < loci_; ++l) {
        std::map<std::int32_t, std::uint32_t> numbers;
        for (std::size_t m = 0; m < men; ++m)
            numbers.emplace(sample.repeat(m, l), 0);
        for (auto& entry : numbers)
            entry.second = static_cast<std::uint32_t>(alleles_++);
        for (std::size_t m = 0; m < men; ++m)
            alleleOf[m * loci_ + l] = numbers.at(sample.repeat(m, l));
    }
    const auto none = static_cast<std::uint32_t>(alleles_);
    width_ = (loci_ + 1) / 2;
    values_.assign(men * width_, 0);
    for (std::size_t k = 0; k < width_; ++k) {
        std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint16_t> numbers;
        for (std::size_t m = 0; m < men; ++m) {
            const std::pair<std::uint32_t, std::uint32_t> alleles{
                alleleOf[m * loci_ + 2 * k],
                2 * k + 1 < loci_ ? alleleOf[m * loci_ + 2 * k + 1] : none};
            auto found = numbers.find(alleles);
            if (found == numbers.end()) {
                if (pairs() > std::numeric_limits<std::uint16_t>::max())
                    throw Error("Too many alleles for the population structure at " +
                                sample.loci[2 * k] + " and before");
                found = numbers.emplace(alleles, static_cast<std::uint16_t>(pairs())).first;
                firstAllele_.push_back(alleles.first);
                secondAllele_.push_back(alleles.second);
            }
            values_[m * width_ + k] = found->second;
        }
    }
}

PooledAmova::PooledAmova(const StructurePoints& points, const StructureSample& sample,
                         const std::vector<std::size_t>& populations)
    : points_(&points) {
    std::vector<std::size_t> groups = populations;
    // The largest group last: its sums are what the others leave, so permutations draw only the
    // men of the others.
    const auto largest = std::max_element(groups.rbegin(), groups.rend(), [&](auto a, auto b) {
        return sample.populations[a].men < sample.populations[b].men;
    });
    std::iter_swap(largest, groups.rbegin());
    for (const std::size_t p : groups) {
        sizes_.push_back(sample.populations[p].men);
        const std::size_t first = sample.firstMan(p);
        for (std::size_t m = first; m < first + sample.populations[p].men; ++m)
            men_.push_back(static_cast<std::uint32_t>(m));
    }
    const bool alleles = points.distance() == StructureDistance::Fst;
    factor_ = alleles ? 0.5 : 1;
    std::vector<std::int64_t> pairs(points.pairs());
    totals_.assign(alleles ? points.alleles() + 1 : points.width(), 0);
    normed_ = alleles ? points.alleles() : points.width(); // not the allele of no locus
    std::uint16_t most = 0;
    for (const std::uint32_t m : men_) {
        const std::uint16_t* point = points.of(m);
        for (std::size_t l = 0; l < points.width(); ++l) {
            if (alleles) {
                ++pairs[point[l]];
            } else {
                totals_[l] += point[l];
                squares_ += static_cast<double>(point[l]) * point[l];
                most = std::max(most, point[l]);
            }
        }
    }
    if (alleles)
        points.addAlleleCounts(pairs, totals_);
    partialMen_ = most == 0 ? men_.size() : std::numeric_limits<std::uint16_t>::max() / most;
    const double n = static_cast<double>(men_.size());
    if (alleles)
        squares_ = static_cast<double>(points.loci()) * n;
    ssdTotal_ = factor_ * (squares_ - squaredNorm(totals_.data(), normed_) / n);
}

Amova PooledAmova::observed() const {
    PermutationScratch scratch;
    prepare(scratch);
    return amovaOf(sizes_, ssdTotal_, ssdWithin(scratch, nullptr));
}

void PooledAmova::prepare(PermutationScratch& scratch) const {
    const std::size_t width = points_->width();
    scratch.points.resize(men_.size() * width);
    for (std::size_t i = 0; i < men_.size(); ++i)
        std::copy_n(points_->of(men_[i]), width, scratch.points.data() + i * width);
    scratch.order.resize(men_.size());
    std::iota(scratch.order.begin(), scratch.order.end(), std::uint32_t{0});
    scratch.sum.resize(points_->distance() == StructureDistance::Rst ? width : points_->pairs());
    scratch.partialSum.resize(width);
    scratch.alleleCounts.resize(points_->alleles() + 1);
}

double PooledAmova::groupSquaredNorm(PermutationScratch& scratch) const {
    if (points_->distance() == StructureDistance::Rst) {
        for (std::size_t i = 0; i < scratch.sum.size(); ++i)
            scratch.rest[i] -= scratch.sum[i];
        return squaredNorm(scratch.sum.data(), scratch.sum.size());
    }
    std::fill(scratch.alleleCounts.begin(), scratch.alleleCounts.end(), 0);
    points_->addAlleleCounts(scratch.sum, scratch.alleleCounts);
    for (std::size_t i = 0; i < normed_; ++i)
        scratch.rest[i] -= scratch.alleleCounts[i];
    return squaredNorm(scratch.alleleCounts.data(), normed_);
}

template <bool shuffle>
void PooledAmova::sumGroup(PermutationScratch& scratch, std::size_t& at, std::size_t end,
                           UniformDraws* draws) const {
    const std::uint16_t* points = scratch.points.data();
    const std::size_t width = points_->width();
    std::uint32_t* order = scratch.order.data();
    const auto men = static_cast<std::uint32_t>(men_.size());
    std::int32_t* sum = scratch.sum.data();
    if (points_->distance() == StructureDistance::Fst) {
        const auto count = [&]<std::size_t kWidth>() {
            countPairs<kWidth, shuffle>(points, width, order, at, end, men, draws, sum);
        };
        // The common kits' widths unrolled: 17, 23 and 27 loci (each copy of a two-copy locus
        // one of them).
        switch (width) {
        case 9:
            return count.template operator()<9>();
        case 12:
            return count.template operator()<12>();
        case 14:
            return count.template operator()<14>();
        default:
            return count.template operator()<0>();
        }
    }
    std::uint16_t* partial = scratch.partialSum.data();
    const auto add = [&]<std::size_t kWidth>() {
        addRepeats<kWidth, shuffle>(points, width, order, at, end, partialMen_, men, draws, sum,
                                    partial);
    };
    switch (width) {
    case 8:
        return add.template operator()<8>();
    case 16:
        return add.template operator()<16>();
    case 24:
        return add.template operator()<24>();
    case 32:
        return add.template operator()<32>();
    default:
        return add.template operator()<0>();
    }
}

double PooledAmova::ssdWithin(PermutationScratch& scratch, UniformDraws* draws) const {
    scratch.rest = totals_;
    double normsBySize = 0;
    std::size_t at = 0;
    for (std::size_t g = 0; g + 1 < sizes_.size(); ++g) {
        std::fill(scratch.sum.begin(), scratch.sum.end(), 0);
        if (draws)
            sumGroup<true>(scratch, at, at + sizes_[g], draws);
        else
            sumGroup<false>(scratch, at, at + sizes_[g], draws);
        normsBySize += groupSquaredNorm(scratch) / static_cast<double>(sizes_[g]);
    }
    normsBySize += squaredNorm(scratch.rest.data(), normed_) / static_cast<double>(sizes_.back());
    return factor_ * (squares_ - normsBySize);
}

std::size_t PooledAmova::permutationsAtLeast(double least, std::size_t permutations,
                                             std::mt19937_64& random,
                                             PermutationScratch& scratch) const {
    prepare(scratch);
    // A partial Fisher-Yates shuffle of any arrangement draws the men of all groups but the last
    // uniformly; the last takes the rest.
    UniformDraws draws(random);
    std::size_t count = 0;
    for (std::size_t r = 0; r < permutations; ++r) {
        const Amova a = amovaOf(sizes_, ssdTotal_, ssdWithin(scratch, &draws));
        if (a.phi && *a.phi >= least)
            ++count;
    }
    return count;
}

} // namespace tarnwick
