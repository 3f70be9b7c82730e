#pragma once

// Fitting the discrete Laplace mixture (DiscreteLaplace.h) to the men of one population, and
// choosing the number of clusters by BIC, as the reference implementation does (R package
// disclapmix, after Andersen, Eriksen & Morling 2013):
//  1. starting centres: for one cluster the column medians (the mean of the two middle values
//     for an even count of men, rounded half to even); for more the medoids of Medoids.h;
//  2. EM from v_ij = tau_j = 1/k: the M-step fits p (Dispersions.h) to the weighted distances,
//     the E-step sets v_ij proportional to tau_j * prod_l f(x_il - y_jl; p_jl) and tau_j to the
//     mean of v_ij; it stops when max |v_new - v| / max v (of the iteration before) < epsilon,
//     or after maxIterations. The first iteration compares with the starting v = 1/k: one
//     cluster stops there, as the reference reports (one EM iteration for danes at k = 1);
//  3. each centre moves to the v-weighted median of each locus (the smallest on ties); when one
//     moved and no two centres coincide, EM runs again from the current v and tau;
//  4. BIC = ln(n L) (k L + L + k - 1 + k - 1) - 2 sum_i ln P(x_i).
// A locus where all men have the same allele is exact: p = 0 there, the allele's probability 1.

#include "core/statistics/DiscreteLaplace.h"
#include "core/statistics/FitProgress.h"
#include "core/statistics/HaplotypeSample.h"

#include <vector>

namespace tarnwick {

struct FitOptions {
    double epsilon = 1e-3;
    std::size_t maxIterations = 100; // per EM run
    std::size_t maxCentreMoves = 100;
};

struct DiscreteLaplaceFit {
    DiscreteLaplaceModel model;
    double logLikelihood = 0; // sum over the men of ln P(x_i)
    double bic = 0;
    std::size_t iterations = 0; // EM iterations of all runs
    // Runs after the first (the reference's own count of "central haplotype changes" is another
    // measure: 0 for danes at k = 4, where its 16 iterations, as ours, span two runs).
    std::size_t centreMoves = 0;
    bool converged = false; // every EM run stopped by the criterion
};

// Fits k clusters. Raises an Error for a sample without men or loci, or with fewer different
// haplotypes than k; FitCancelled when goOn says no.
DiscreteLaplaceFit fitDiscreteLaplace(const HaplotypeSample& sample, std::size_t clusters,
                                      const FitOptions& options = {}, const FitGoOn& goOn = {});

// Fits k = 1, 2, ... until BIC has risen twice in a row, k reaches maxClusters or the number
// of different haplotypes; the chosen fit has the smallest BIC (the first of equals).
struct ClusterChoice {
    std::vector<DiscreteLaplaceFit> fits; // k = 1, 2, ...
    std::size_t chosen = 0;               // into fits
    const DiscreteLaplaceFit& best() const { return fits[chosen]; }
};
ClusterChoice chooseClusters(const HaplotypeSample& sample, std::size_t maxClusters = 10,
                             const FitOptions& options = {}, const FitGoOn& goOn = {});

} // namespace tarnwick
