#include "core/statistics/DiscreteLaplaceColumns.h"

#include "core/statistics/DiscreteLaplace.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace tarnwick {

std::vector<DiscreteLaplaceEstimate>
discreteLaplaceEstimates(const HaplotypeTable& database, const HaplotypeTable& search,
                         const MatchProbabilities& probabilities,
                         const std::vector<PopulationFits>& fits, const FitWarning& warn) {
    std::unordered_map<std::string, const PopulationFits*> byName;
    for (const PopulationFits& population : fits)
        byName.emplace(population.sample.population, &population);
    const SearchedHaplotypes searched(database, search);
    std::vector<std::vector<std::string>> skipped(search.haplotypes());
    std::vector<DiscreteLaplaceEstimate> estimates;
    estimates.reserve(probabilities.rows.size());
    for (const ProbabilityRow& row : probabilities.rows) {
        DiscreteLaplaceEstimate& estimate = estimates.emplace_back();
        if (row.population < 0)
            continue;
        const auto population =
            byName.find(probabilities.populations[static_cast<std::size_t>(row.population)]);
        if (population == byName.end() || !population->second->best())
            continue;
        const PopulationFits& populationFits = *population->second;
        const SearchedAlleles alleles = searched.at(populationFits.sample, row.search);
        for (const std::string& locus : alleles.skipped)
            if (std::find(skipped[row.search].begin(), skipped[row.search].end(), locus) ==
                skipped[row.search].end())
                skipped[row.search].push_back(locus);
        // Typed at none of the fitted loci, every locus would be summed out and P(h) be 1: such
        // a haplotype has no estimate.
        if (std::none_of(alleles.values.begin(), alleles.values.end(),
                         [](const std::optional<int>& value) { return value.has_value(); }))
            continue;
        const DiscreteLaplaceModel& model = populationFits.best()->model;
        const double probability = std::exp(logProbability(model, alleles.values));
        if (!std::isnan(probability))
            estimate.probability = probability;
        estimate.clusters = model.clusters();
    }
    std::string scratch;
    for (std::size_t s = 0; s < skipped.size(); ++s)
        if (!skipped[s].empty())
            warn("sample \"" + std::string(search.cell(0, s, scratch)) + "\" (row " +
                 std::to_string(s + 2) + "): " + listed(skipped[s]) +
                 " skipped in the discrete Laplace estimate (not one whole allele)");
    return estimates;
}

std::string_view WithDiscreteLaplace::text(int col, int row, std::string& scratch) const {
    const int first = counts_->columnCount();
    if (col < first)
        return counts_->text(col, row, scratch);
    if (col > first + 1 || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return col == first ? "discrete_laplace" : "clusters";
    const DiscreteLaplaceEstimate& estimate = estimates_[static_cast<std::size_t>(row - 1)];
    if (col == first)
        return estimate.probability ? std::string_view(scratch = sixDigits(*estimate.probability))
                                    : std::string_view();
    return estimate.clusters ? std::string_view(scratch = std::to_string(*estimate.clusters))
                             : std::string_view();
}

} // namespace tarnwick
