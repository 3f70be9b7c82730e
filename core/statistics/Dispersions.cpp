#include "core/statistics/Dispersions.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

constexpr int kMostSteps = 2000;
constexpr int kMostHalvings = 80;
constexpr double kLongestStep = 4;
constexpr double kRounding = 1e-12;

// One term of the objective and its first two derivatives in theta = ln p (theta < 0).
struct Term {
    double value, slope, curvature;
};
Term term(double R, double W, double theta) {
    const double p = std::exp(theta);
    const double q = 1 - p * p;
    return {R * theta + W * (std::log1p(-p) - std::log1p(p)), R - W * 2 * p / q,
            -W * 2 * p * (1 + p * p) / (q * q)};
}

// The maximising p of a single locus and cluster: R p^2 + 2 W p - R = 0.
double pooledDispersion(double R, double W) {
    return R / (W + std::sqrt(W * W + R * R));
}

} // namespace

std::vector<double> DispersionFit::solve(std::span<const double> R, std::span<const double> W) {
    const std::size_t k = clusters_, L = loci_;
    std::vector<double> p(k * L, 0.0);
    // Loci and clusters with a finite estimate.
    std::vector<std::size_t> loci, clusters;
    for (std::size_t l = 0; l < L; ++l) {
        double sum = 0;
        for (std::size_t j = 0; j < k; ++j)
            sum += W[j] > 0 ? R[j * L + l] : 0;
        if (sum > 0)
            loci.push_back(l);
    }
    for (std::size_t j = 0; j < k; ++j) {
        double sum = 0;
        for (const std::size_t l : loci)
            sum += R[j * L + l];
        if (W[j] > 0 && sum > 0)
            clusters.push_back(j);
    }
    if (a_.empty()) {
        a_.assign(L, 0.0);
        b_.assign(k, 0.0);
    }
    for (const std::size_t l : loci)
        if (!(a_[l] < 0)) {
            double r = 0, w = 0;
            for (const std::size_t j : clusters) {
                r += R[j * L + l];
                w += W[j];
            }
            a_[l] = std::log(pooledDispersion(r, w));
        }
    if (!clusters.empty())
        b_[clusters.front()] = 0; // the first cluster's effect is the reference
    const std::size_t nA = loci.size();
    const std::size_t nB = clusters.empty() ? 0 : clusters.size() - 1;
    const auto nParameters = static_cast<Eigen::Index>(nA + nB);
    const auto objective = [&](const std::vector<double>& a, const std::vector<double>& b) {
        double sum = 0;
        for (const std::size_t j : clusters)
            for (const std::size_t l : loci) {
                const double theta = a[l] + b[j];
                if (!(theta < 0))
                    return -std::numeric_limits<double>::infinity();
                sum += term(R[j * L + l], W[j], theta).value;
            }
        return sum;
    };
    // Where a warm start lies outside the domain (p >= 1), start afresh from the pooled values.
    if (!clusters.empty() && objective(a_, b_) == -std::numeric_limits<double>::infinity())
        for (const std::size_t j : clusters)
            b_[j] = 0;
    double current = objective(a_, b_);
    for (int step = 0; step < kMostSteps && nParameters > 0; ++step) {
        Eigen::VectorXd gradient = Eigen::VectorXd::Zero(nParameters);
        Eigen::MatrixXd hessian = Eigen::MatrixXd::Zero(nParameters, nParameters);
        for (std::size_t c = 0; c < clusters.size(); ++c) {
            const std::size_t j = clusters[c];
            for (std::size_t i = 0; i < nA; ++i) {
                const std::size_t l = loci[i];
                const Term t = term(R[j * L + l], W[j], a_[l] + b_[j]);
                const auto ai = static_cast<Eigen::Index>(i);
                gradient[ai] += t.slope;
                hessian(ai, ai) += t.curvature;
                if (c > 0) {
                    const auto bi = static_cast<Eigen::Index>(nA + c - 1);
                    gradient[bi] += t.slope;
                    hessian(bi, bi) += t.curvature;
                    hessian(ai, bi) += t.curvature;
                    hessian(bi, ai) += t.curvature;
                }
            }
        }
        Eigen::VectorXd direction = (-hessian).ldlt().solve(gradient);
        if (!direction.allFinite())
            break;
        // At most kLongestStep in ln p at once: far from the optimum of a cluster whose men
        // nearly all sit at its centre the curvature is tiny and a full step would overshoot.
        const double longest = direction.lpNorm<Eigen::Infinity>();
        if (longest > kLongestStep)
            direction *= kLongestStep / longest;
        // Halved only to stay where p < 1 and not to lose more than rounding: the objective
        // of such a cluster is flat to double precision while its p still falls by factors.
        double t = 1;
        bool moved = false;
        for (int halving = 0; halving < kMostHalvings; ++halving, t /= 2) {
            std::vector<double> a = a_, b = b_;
            for (std::size_t i = 0; i < nA; ++i)
                a[loci[i]] += t * direction[static_cast<Eigen::Index>(i)];
            for (std::size_t c = 1; c < clusters.size(); ++c)
                b[clusters[c]] += t * direction[static_cast<Eigen::Index>(nA + c - 1)];
            const double next = objective(a, b);
            if (next >= current - kRounding * (1 + std::abs(current))) {
                moved = true;
                a_ = std::move(a);
                b_ = std::move(b);
                current = next;
                break;
            }
        }
        // Newton converges quadratically: after a full step this short the error is below the
        // rounding of the gradient's sums, and further steps would only wander in it.
        if (!moved || (t == 1 && direction.lpNorm<Eigen::Infinity>() < 1e-10))
            break;
    }
    for (std::size_t j = 0; j < k; ++j) {
        const bool fitted = std::find(clusters.begin(), clusters.end(), j) != clusters.end();
        for (const std::size_t l : loci)
            // A cluster without weight keeps the locus effects alone; one with weight and no
            // distance is exact.
            p[j * L + l] = W[j] > 0 && !fitted ? 0.0 : std::exp(a_[l] + (fitted ? b_[j] : 0.0));
    }
    return p;
}

} // namespace tarnwick
