#include "core/statistics/Diversity.h"

#include "core/statistics/HaplotypeClasses.h"
#include "core/statistics/LocusValueIds.h"
#include "core/statistics/MatchProbabilities.h"
#include "core/statistics/PopulationSummary.h"

#include <algorithm>
#include <numeric>

namespace tarnwick {
namespace {

// A population's members given as the classes of its haplotypes, sorted.
DiversityRow rowOf(std::string population, const std::vector<std::uint32_t>& sortedClasses) {
    DiversityRow row;
    row.population = std::move(population);
    row.n = sortedClasses.size();
    double squares = 0;
    for (std::size_t i = 0; i < sortedClasses.size();) {
        std::size_t end = i;
        while (end < sortedClasses.size() && sortedClasses[end] == sortedClasses[i])
            ++end;
        const std::size_t members = end - i;
        ++row.haplotypes;
        row.singletons += members == 1 ? 1 : 0;
        const double share = static_cast<double>(members) / static_cast<double>(row.n);
        squares += share * share;
        i = end;
    }
    const double n = static_cast<double>(row.n);
    if (row.n >= 2)
        row.diversity = n / (n - 1) * (1 - squares);
    if (row.n >= 1)
        row.discrimination = static_cast<double>(row.haplotypes) / n;
    return row;
}

} // namespace

std::vector<DiversityRow> populationDiversity(const HaplotypeTable& database) {
    const LocusValueIds ids = tableValueIds(database);
    std::vector<std::size_t> loci(ids.loci());
    std::iota(loci.begin(), loci.end(), 0);
    const LocusHashes hashes(ids);
    const HaplotypeClasses classes(ids, hashes, loci);
    const PopulationIndex populations = populationIndex(database);
    std::vector<std::vector<std::uint32_t>> members(populations.names.size());
    std::vector<std::uint32_t> all;
    for (std::size_t c = 0; c < classes.count(); ++c) {
        const auto cls = static_cast<std::uint32_t>(c);
        for (const auto& [hash, h] : classes.members(c)) {
            all.push_back(cls);
            if (const int p = populations.ofHaplotype[h]; p >= 0)
                members[static_cast<std::size_t>(p)].push_back(cls);
        }
    }
    std::vector<DiversityRow> rows;
    for (std::size_t p = 0; p < members.size(); ++p) {
        std::sort(members[p].begin(), members[p].end());
        rows.push_back(rowOf(populations.names[p], members[p]));
    }
    std::sort(all.begin(), all.end());
    rows.push_back(rowOf("All", all));
    return rows;
}

std::string_view DiversityTable::text(int col, int row, std::string& scratch) const {
    static constexpr const char* kHeaders[kColumns] = {"population", "N",         "haplotypes",
                                                       "singletons", "diversity", "discrimination"};
    if (col < 0 || col >= kColumns || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return kHeaders[col];
    const DiversityRow& r = rows_[static_cast<std::size_t>(row - 1)];
    const auto number = [&](const std::optional<double>& value) -> std::string_view {
        if (!value)
            return {};
        return scratch = sixDigits(*value);
    };
    switch (col) {
    case 0:
        return r.population;
    case 1:
        return scratch = std::to_string(r.n);
    case 2:
        return scratch = std::to_string(r.haplotypes);
    case 3:
        return scratch = std::to_string(r.singletons);
    case 4:
        return number(r.diversity);
    default:
        return number(r.discrimination);
    }
}

} // namespace tarnwick
