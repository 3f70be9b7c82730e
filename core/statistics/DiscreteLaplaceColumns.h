#pragma once

// The discrete Laplace estimate beside the counting estimates of frequencies.

#include "core/statistics/MatchProbabilities.h"
#include "core/statistics/PopulationFits.h"

#include <memory>
#include <optional>
#include <vector>

namespace tarnwick {

// One row's estimate: P(h) under the chosen model of its population, and that model's k.
struct DiscreteLaplaceEstimate {
    std::optional<double> probability;
    std::optional<std::size_t> clusters;
};

// An estimate for each row of the match probabilities: empty for "All" (the model is fitted
// per population) and for a population without a fit. A searched haplotype is scored over the
// fitted loci it has; a locus where it holds no one whole allele is skipped, and named in one
// warning per searched haplotype.
std::vector<DiscreteLaplaceEstimate>
discreteLaplaceEstimates(const HaplotypeTable& database, const HaplotypeTable& search,
                         const MatchProbabilities& probabilities,
                         const std::vector<PopulationFits>& fits, const FitWarning& warn);

// The match probability table followed by the columns discrete_laplace (6 significant digits)
// and clusters, empty where there is no estimate.
class WithDiscreteLaplace : public TextTable {
public:
    WithDiscreteLaplace(std::shared_ptr<const TextTable> counts,
                        std::vector<DiscreteLaplaceEstimate> estimates)
        : counts_(std::move(counts)), estimates_(std::move(estimates)) {}

    int columnCount() const override { return counts_->columnCount() + 2; }
    int rowCount() const override { return counts_->rowCount(); }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::shared_ptr<const TextTable> counts_;
    std::vector<DiscreteLaplaceEstimate> estimates_; // one per row after the titles
};

} // namespace tarnwick
