#include "core/statistics/HaplotypeSample.h"

#include "core/Error.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace tarnwick {

void HaplotypeSample::add(std::span<const int> haplotype, std::uint32_t weight) {
    if (haplotype.size() != loci)
        throw Error("A haplotype of " + std::to_string(haplotype.size()) +
                    " values does not fit a sample of " + std::to_string(loci) + " loci");
    values.insert(values.end(), haplotype.begin(), haplotype.end());
    weights.push_back(weight);
}

std::uint64_t HaplotypeSample::men() const {
    return std::accumulate(weights.begin(), weights.end(), std::uint64_t{0});
}

DistinctHaplotypes distinctHaplotypes(const HaplotypeSample& sample) {
    if (sample.values.size() != sample.rows() * sample.loci)
        throw Error("The sample holds " + std::to_string(sample.values.size()) +
                    " values, not a whole number of haplotypes");
    for (std::size_t r = 0; r < sample.rows(); ++r)
        if (sample.weights[r] == 0)
            throw Error("Row " + std::to_string(r + 1) + " of the sample stands for no man");
    std::vector<std::size_t> order(sample.rows());
    std::iota(order.begin(), order.end(), 0);
    // Equal haplotypes together, each run in row order.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto ra = sample.row(a);
        const auto rb = sample.row(b);
        return std::lexicographical_compare(ra.begin(), ra.end(), rb.begin(), rb.end());
    });
    std::vector<std::uint64_t> start(sample.rows());
    std::uint64_t place = 0;
    for (std::size_t r = 0; r < sample.rows(); ++r) {
        start[r] = place;
        place += sample.weights[r];
    }
    struct Run {
        std::size_t row; // the first row of the haplotype
        std::uint64_t weight, first, last;
    };
    std::vector<Run> runs;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t r = order[i];
        if (i > 0 && std::ranges::equal(sample.row(order[i - 1]), sample.row(r))) {
            runs.back().weight += sample.weights[r];
            runs.back().last = start[r] + sample.weights[r] - 1;
        } else {
            runs.push_back({r, sample.weights[r], start[r], start[r] + sample.weights[r] - 1});
        }
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.first < b.first; });
    DistinctHaplotypes distinct;
    distinct.loci = sample.loci;
    for (const Run& run : runs) {
        const auto values = sample.row(run.row);
        distinct.values.insert(distinct.values.end(), values.begin(), values.end());
        distinct.weights.push_back(run.weight);
        distinct.first.push_back(run.first);
        distinct.last.push_back(run.last);
    }
    return distinct;
}

} // namespace tarnwick
