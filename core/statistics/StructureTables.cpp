#include "core/statistics/StructureTables.h"

#include "core/statistics/MatchProbabilities.h"

#include <numeric>

namespace tarnwick {
namespace {

std::string number(const std::optional<double>& value) {
    return value ? sixDigits(*value) : std::string();
}

bool outside(const TextTable& table, int col, int row) {
    return col < 0 || col >= table.columnCount() || row < 0 || row >= table.rowCount();
}

} // namespace

AmovaTable::AmovaTable(const StructureSample& sample, const PopulationStructure& structure) {
    const Amova& amova = structure.global;
    const std::size_t leftOut = std::accumulate(
        sample.populations.begin(), sample.populations.end(), std::size_t{0},
        [](std::size_t sum, const StructurePopulation& p) { return sum + p.leftOut; });
    rows_ = {
        {"populations", std::to_string(amova.populations)},
        {"men", std::to_string(amova.men)},
        {"men_left_out", std::to_string(leftOut)},
        {"df_among", std::to_string(amova.dfAmong)},
        {"df_within", std::to_string(amova.dfWithin)},
        {"ssd_among", sixDigits(amova.ssdAmong)},
        {"ssd_within", sixDigits(amova.ssdWithin)},
        {"variance_among", sixDigits(amova.varianceAmong)},
        {"variance_within", sixDigits(amova.varianceWithin)},
        {"percent_among", number(amova.percentAmong())},
        {"phi", number(amova.phi)},
        {"p_value", number(structure.globalPValue)},
        {"permutations", std::to_string(structure.permutations)},
    };
}

std::string_view AmovaTable::text(int col, int row, std::string&) const {
    if (outside(*this, col, row))
        return {};
    if (row == 0)
        return col == 0 ? "statistic" : "value";
    const auto& [statistic, value] = rows_[static_cast<std::size_t>(row - 1)];
    return col == 0 ? std::string_view(statistic) : std::string_view(value);
}

PairwiseStructureTable::PairwiseStructureTable(const StructureSample& sample,
                                               const PopulationStructure& structure)
    : populations_(sample.populations), pairs_(structure.pairs) {}

std::string_view PairwiseStructureTable::text(int col, int row, std::string& scratch) const {
    static constexpr const char* kHeaders[] = {"population_a", "population_b", "n_a",    "n_b",
                                               "phi",          "linearised",   "p_value"};
    if (outside(*this, col, row))
        return {};
    if (row == 0)
        return kHeaders[col];
    const PairwiseStructure& pair = pairs_[static_cast<std::size_t>(row - 1)];
    switch (col) {
    case 0:
        return populations_[pair.a].name;
    case 1:
        return populations_[pair.b].name;
    case 2:
        return scratch = std::to_string(populations_[pair.a].men);
    case 3:
        return scratch = std::to_string(populations_[pair.b].men);
    case 4:
        return scratch = number(pair.amova.phi);
    case 5:
        return scratch = number(pair.amova.linearised());
    default:
        return scratch = number(pair.pValue);
    }
}

ScalingTable::ScalingTable(const StructureSample& sample, ClassicalScaling scaling)
    : populations_(sample.populations), scaling_(std::move(scaling)) {}

std::string_view ScalingTable::text(int col, int row, std::string& scratch) const {
    static constexpr const char* kHeaders[] = {"population", "n", "x", "y"};
    if (outside(*this, col, row))
        return {};
    if (row == 0)
        return kHeaders[col];
    const auto p = static_cast<std::size_t>(row - 1);
    if (p == populations_.size()) {
        if (col == 0)
            return "goodness_of_fit";
        return col == 1 ? scratch = number(scaling_.goodnessOfFit) : std::string_view();
    }
    switch (col) {
    case 0:
        return populations_[p].name;
    case 1:
        return scratch = std::to_string(populations_[p].men);
    default:
        return scratch = sixDigits(scaling_.points[p][static_cast<std::size_t>(col - 2)]);
    }
}

LeftOutTable::LeftOutTable(const StructureSample& sample)
    : populations_(sample.populations), men_(sample.leftOutMen) {}

std::string_view LeftOutTable::text(int col, int row, std::string& scratch) const {
    static constexpr const char* kHeaders[] = {"row", "population", "locus", "reason"};
    if (outside(*this, col, row))
        return {};
    if (row == 0)
        return kHeaders[col];
    const LeftOutMan& man = men_[static_cast<std::size_t>(row - 1)];
    switch (col) {
    case 0:
        return scratch = std::to_string(man.haplotype + 2);
    case 1:
        return populations_[man.population].name;
    case 2:
        return man.locus;
    default:
        return leftOutReasonText(man.reason);
    }
}

} // namespace tarnwick
