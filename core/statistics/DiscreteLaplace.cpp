#include "core/statistics/DiscreteLaplace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tarnwick {
namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

template <typename ValueAt>
double logProbabilityOf(const DiscreteLaplaceModel& model, const ValueAt& valueAt) {
    std::vector<double> terms(model.clusters());
    for (std::size_t j = 0; j < model.clusters(); ++j) {
        double sum = model.tau[j] > 0 ? std::log(model.tau[j]) : kNone;
        for (std::size_t l = 0; l < model.loci && sum != kNone; ++l)
            if (const std::optional<int> value = valueAt(l))
                sum += logDiscreteLaplace(static_cast<long long>(*value) -
                                              model.centres[j * model.loci + l],
                                          model.p[j * model.loci + l]);
        terms[j] = sum;
    }
    return logSumExp(terms);
}

} // namespace

double logDiscreteLaplace(long long difference, double p) {
    if (p <= 0)
        return difference == 0 ? 0.0 : kNone;
    const double steps = static_cast<double>(std::llabs(difference));
    return std::log1p(-p) - std::log1p(p) + steps * std::log(p);
}

double logSumExp(std::span<const double> terms) {
    if (terms.empty())
        return kNone;
    const double top = *std::max_element(terms.begin(), terms.end());
    if (top == kNone)
        return kNone;
    double sum = 0;
    for (const double term : terms)
        sum += std::exp(term - top);
    return top + std::log(sum);
}

double logProbability(const DiscreteLaplaceModel& model, std::span<const std::optional<int>> h) {
    return logProbabilityOf(model, [&](std::size_t l) { return h[l]; });
}

double logProbability(const DiscreteLaplaceModel& model, std::span<const int> h) {
    return logProbabilityOf(model, [&](std::size_t l) { return std::optional<int>(h[l]); });
}

} // namespace tarnwick
