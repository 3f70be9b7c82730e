#pragma once

// The M-step of the discrete Laplace EM: the dispersions p_jl = exp(a_l + b_j) (a locus effect
// plus a cluster effect) that maximise
//   sum over j, l of R_jl * ln p_jl + W_j * ln((1 - p_jl) / (1 + p_jl)),
// R_jl the weighted distances of cluster j's men from its centre at locus l and W_j its weight.
// The problem is concave in (a, b); Newton's method with step halving solves it to machine
// precision. Where no finite maximum exists p is 0: at a locus with no distance in any cluster,
// and in a cluster with weight but no distance at any locus.

#include <span>
#include <vector>

namespace tarnwick {

class DispersionFit {
public:
    DispersionFit(std::size_t clusters, std::size_t loci) : clusters_(clusters), loci_(loci) {}

    // p, laid out as R (cluster after cluster, `loci` each). The last solution is the next
    // starting point.
    std::vector<double> solve(std::span<const double> R, std::span<const double> W);

private:
    std::size_t clusters_, loci_;
    std::vector<double> a_, b_; // the last solution, empty before the first
};

} // namespace tarnwick
