#pragma once

// The discrete Laplace mixture for Y-STR haplotypes (Andersen, Eriksen & Morling 2013, "The
// discrete Laplace exponential family and estimation of Y-STR haplotype frequencies", J. Theor.
// Biol. 329:39-51): P(h) = sum over clusters j of tau_j * prod over loci l of f(h_l - y_jl; p_jl),
// f(d; p) = (1 - p) / (1 + p) * p^|d|, with integer centres y and p = 0 at a locus every man of
// the fitted population shares (that allele has probability 1 there).

#include <optional>
#include <span>
#include <vector>

namespace tarnwick {

struct DiscreteLaplaceModel {
    std::size_t loci = 0;
    std::vector<int> centres; // cluster after cluster, `loci` each
    std::vector<double> p;    // laid out as the centres
    std::vector<double> tau;  // per cluster, summing to 1

    std::size_t clusters() const { return tau.size(); }
};

// ln f(d; p), -infinity where f is 0 (p = 0 and d != 0).
double logDiscreteLaplace(long long difference, double p);

// ln P(h) over the loci h has (std::nullopt: missing, summed out), computed in logarithms so
// that a haplotype far from every centre gets its true tiny value (or -infinity when a locus of
// probability 0 rules it out), never NaN. h has one entry per locus of the model.
double logProbability(const DiscreteLaplaceModel& model, std::span<const std::optional<int>> h);
double logProbability(const DiscreteLaplaceModel& model, std::span<const int> h);

// ln(sum of exp(terms)), -infinity for no terms or all -infinity.
double logSumExp(std::span<const double> terms);

} // namespace tarnwick
