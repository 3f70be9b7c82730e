#include "core/statistics/PopulationSummary.h"

#include <string_view>
#include <unordered_map>

namespace tarnwick {

bool isPopulation(std::string_view text) {
    return !text.empty() && text != "0";
}

PopulationIndex populationIndex(const HaplotypeTable& database) {
    PopulationIndex index;
    index.ofHaplotype.assign(database.haplotypes(), -1);
    std::unordered_map<std::string, int> numbers;
    std::string scratch;
    const int column = database.layout().populationColumn;
    for (std::size_t h = 0; h < database.haplotypes(); ++h) {
        const std::string_view text = database.cell(column, h, scratch);
        if (!isPopulation(text))
            continue;
        const auto [entry, added] =
            numbers.try_emplace(std::string(text), static_cast<int>(index.names.size()));
        if (added)
            index.names.emplace_back(text);
        index.ofHaplotype[h] = entry->second;
    }
    return index;
}

std::vector<PopulationMatch> populationMatches(const HaplotypeTable& database,
                                               const std::vector<Match>& matches) {
    const int column = database.layout().populationColumn;
    std::string scratch;
    std::vector<PopulationMatch> populations;
    populations.reserve(matches.size());
    for (const Match& match : matches)
        populations.push_back(
            {std::string(database.cell(column, match.database, scratch)), match.steps});
    return populations;
}

PopulationSummary summariseByPopulation(const HaplotypeTable& database,
                                        const std::vector<PopulationMatch>& matches) {
    const int column = database.layout().populationColumn;
    std::string scratch;
    const auto populationOf = [&](std::size_t haplotype) {
        return std::string(database.cell(column, haplotype, scratch));
    };
    std::vector<PopulationRow> rows;
    std::unordered_map<std::string, std::size_t> rowOf;
    const auto rowFor = [&](const std::string& population) -> PopulationRow& {
        const auto [entry, added] = rowOf.try_emplace(population, rows.size());
        if (added)
            rows.push_back({population});
        return rows[entry->second];
    };
    for (const PopulationMatch& match : matches) {
        if (!isPopulation(match.population))
            continue;
        PopulationRow& row = rowFor(match.population);
        if (match.steps >= 0 && match.steps <= 3)
            ++row.bySteps[static_cast<std::size_t>(match.steps)];
    }
    const std::size_t withMatches = rows.size();
    for (std::size_t h = 0; h < database.haplotypes(); ++h) {
        const std::string population = populationOf(h);
        if (isPopulation(population))
            ++rowFor(population).sampleSize;
    }
    return {std::move(rows), withMatches};
}

std::string_view ByPopulationTable::header(int col) {
    static constexpr const char* kHeaders[kColumns] = {
        "population name",    "population comments", "N(population sample size)", "exact matches",
        "one-step neighbors", "two-step neighbors",  "three-step neighbors"};
    return col >= 0 && col < kColumns ? kHeaders[col] : "";
}

std::string_view ByPopulationTable::text(int col, int row, std::string& scratch) const {
    if (col < 0 || col >= kColumns || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return header(col);
    const PopulationRow& population = rows_[static_cast<std::size_t>(row - 1)];
    switch (col) {
    case 0:
        return population.population;
    case 1:
        return {};
    case 2:
        scratch = std::to_string(population.sampleSize);
        return scratch;
    default:
        scratch = std::to_string(population.bySteps[static_cast<std::size_t>(col - 3)]);
        return scratch;
    }
}

} // namespace tarnwick
