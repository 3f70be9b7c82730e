#pragma once

// Partitioning around medoids (Kaufman & Rousseeuw, BUILD then SWAP) on Manhattan distances, for
// the starting centres of a discrete Laplace fit. Men with the same haplotype are one weighted
// object; ties are broken as if each man were an object of his own, in row order:
// BUILD takes the last candidate of largest gain; SWAP takes the first (candidate, medoid) pair,
// candidates outermost, of strictly smallest change, and stops when that change is not below
// -16 * DBL_EPSILON * (the total distance to the nearest medoids).

#include "core/statistics/FitProgress.h"
#include "core/statistics/HaplotypeSample.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tarnwick {

class MedoidSearch {
public:
    // Raises an Error when the values of a locus (or of all loci together) span more than 65535
    // repeats: no repeat counts do.
    explicit MedoidSearch(const DistinctHaplotypes& haplotypes);
    ~MedoidSearch();
    MedoidSearch(const MedoidSearch&) = delete;
    MedoidSearch& operator=(const MedoidSearch&) = delete;

    // The medoids (haplotype numbers) of k clusters, 1 <= k <= the number of haplotypes, in the
    // order of the clusters: numbered by the first man assigned to each, a man to his nearest
    // medoid (the first in the men's order on ties). BUILD's medoids are kept from one k to the
    // next, and SWAP's first pass for k gives BUILD's medoid k + 1 (its gains are BUILD's): ask
    // for k = 1, 2, ... in turn and BUILD makes no pass of its own after the second medoid.
    // goOn is asked after every pass over the candidates; false raises FitCancelled.
    std::vector<std::size_t> medoids(std::size_t k, const std::function<bool()>& goOn = {});

    class Kernel;

private:
    std::unique_ptr<Kernel> kernel_;
    std::vector<std::size_t> built_; // BUILD's medoids so far, in the order it took them
    // BUILD's next medoid, when SWAP from all of built_ has weighed its gains
    std::optional<std::size_t> next_;
};

} // namespace tarnwick
