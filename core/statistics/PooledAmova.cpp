#include "core/statistics/PooledAmova.h"

#include "core/Error.h"

#include <algorithm>
#include <limits>
#include <map>

namespace tarnwick {
namespace {

// A uniform number below range (> 0) from 32 random bits, by Lemire's multiply-and-reject
// ("Fast random integer generation in an interval", ACM TOMACS 29, 2019): unlike
// std::uniform_int_distribution, the same on every standard library, so a seed repeats a run.
std::uint32_t below(std::mt19937& random, std::uint32_t range) {
    std::uint64_t product = std::uint64_t{random()} * range;
    auto low = static_cast<std::uint32_t>(product);
    if (low < range) {
        const std::uint32_t floor = static_cast<std::uint32_t>(-range) % range;
        while (low < floor) {
            product = std::uint64_t{random()} * range;
            low = static_cast<std::uint32_t>(product);
        }
    }
    return static_cast<std::uint32_t>(product >> 32);
}

template <typename Value> double squaredNorm(const std::vector<Value>& values) {
    double sum = 0;
    for (const Value v : values)
        sum += static_cast<double>(v) * static_cast<double>(v);
    return sum;
}

} // namespace

StructurePoints::StructurePoints(const StructureSample& sample, StructureDistance distance)
    : distance_(distance), loci_(sample.loci.size()) {
    const std::size_t men = sample.men();
    if (men > std::numeric_limits<std::int32_t>::max())
        throw Error("Too many men for the population structure: " + std::to_string(men));
    width_ = distance == StructureDistance::Rst ? (loci_ + 7) / 8 * 8 : loci_;
    values_.assign(men * width_, 0);
    for (std::size_t l = 0; l < loci_; ++l) {
        if (distance == StructureDistance::Rst) {
            std::int64_t least = std::numeric_limits<std::int64_t>::max();
            std::int64_t most = std::numeric_limits<std::int64_t>::min();
            for (std::size_t m = 0; m < men; ++m) {
                least = std::min<std::int64_t>(least, sample.repeat(m, l));
                most = std::max<std::int64_t>(most, sample.repeat(m, l));
            }
            if ((most - least) * static_cast<std::int64_t>(men) >
                std::numeric_limits<std::int32_t>::max())
                throw Error("Repeat counts from " + std::to_string(least) + " to " +
                            std::to_string(most) + " at " + sample.loci[l] + " in " +
                            std::to_string(men) + " men are too many to sum");
            for (std::size_t m = 0; m < men; ++m)
                values_[m * width_ + l] = static_cast<std::int32_t>(sample.repeat(m, l) - least);
        } else {
            std::map<std::int32_t, std::int32_t> numbers;
            for (std::size_t m = 0; m < men; ++m)
                numbers.emplace(sample.repeat(m, l), 0);
            for (auto& entry : numbers)
                entry.second = static_cast<std::int32_t>(alleles_++);
            for (std::size_t m = 0; m < men; ++m)
                values_[m * width_ + l] = numbers.at(sample.repeat(m, l));
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
            order_.push_back(static_cast<std::uint32_t>(m));
    }
    const bool alleles = points.distance() == StructureDistance::Fst;
    factor_ = alleles ? 0.5 : 1;
    totals_.assign(alleles ? points.alleles() : points.width(), 0);
    for (const std::uint32_t m : order_) {
        const std::int32_t* point = points.of(m);
        for (std::size_t l = 0; l < points.width(); ++l) {
            if (alleles) {
                ++totals_[static_cast<std::size_t>(point[l])];
            } else {
                totals_[l] += point[l];
                squares_ += static_cast<double>(point[l]) * point[l];
            }
        }
    }
    const double n = static_cast<double>(order_.size());
    if (alleles)
        squares_ = static_cast<double>(points.loci()) * n;
    ssdTotal_ = factor_ * (squares_ - squaredNorm(totals_) / n);
}

double PooledAmova::ssdWithin(const std::vector<std::uint32_t>& order) const {
    return points_->distance() == StructureDistance::Rst ? ssdWithinOf<false>(order)
                                                         : ssdWithinOf<true>(order);
}

template <bool alleles>
double PooledAmova::ssdWithinOf(const std::vector<std::uint32_t>& order) const {
    const std::size_t width = points_->width();
    std::vector<std::int32_t> sum(totals_.size());
    std::vector<std::int64_t> rest = totals_;
    double normsBySize = 0;
    std::size_t at = 0;
    for (std::size_t g = 0; g + 1 < sizes_.size(); ++g) {
        std::fill(sum.begin(), sum.end(), 0);
        for (const std::size_t end = at + sizes_[g]; at < end; ++at) {
            const std::int32_t* point = points_->of(order[at]);
            for (std::size_t l = 0; l < width; ++l) {
                if constexpr (alleles)
                    ++sum[static_cast<std::size_t>(point[l])];
                else
                    sum[l] += point[l];
            }
        }
        for (std::size_t i = 0; i < sum.size(); ++i)
            rest[i] -= sum[i];
        normsBySize += squaredNorm(sum) / static_cast<double>(sizes_[g]);
    }
    normsBySize += squaredNorm(rest) / static_cast<double>(sizes_.back());
    return factor_ * (squares_ - normsBySize);
}

std::size_t PooledAmova::permutationsAtLeast(double least, std::size_t permutations,
                                             std::mt19937& random,
                                             std::vector<std::uint32_t>& order) const {
    // A partial Fisher-Yates shuffle of any arrangement draws the men of all groups but the last
    // uniformly; the last takes the rest.
    const std::size_t drawn = order.size() - sizes_.back();
    const auto men = static_cast<std::uint32_t>(order.size());
    std::size_t count = 0;
    for (std::size_t r = 0; r < permutations; ++r) {
        for (std::uint32_t i = 0; i < drawn; ++i)
            std::swap(order[i], order[i + below(random, men - i)]);
        const Amova a = amovaOf(sizes_, ssdTotal_, ssdWithin(order));
        if (a.phi && *a.phi >= least)
            ++count;
    }
    return count;
}

} // namespace tarnwick
