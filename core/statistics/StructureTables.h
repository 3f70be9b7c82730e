#pragma once

// A population-structure analysis as tables, for saving and showing: the AMOVA of all
// populations, the pairwise one, the classical scaling of the pairwise phis, and the men left out.

#include "core/statistics/ClassicalScaling.h"
#include "core/statistics/PopulationStructure.h"
#include "core/statistics/StructureSample.h"
#include "core/text/TextTable.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// Columns statistic, value; rows populations, men, men_left_out, df_among, df_within, ssd_among,
// ssd_within, variance_among, variance_within, percent_among, phi, p_value, permutations. What
// is not defined (phi of no variance, p without permutations) is empty.
class AmovaTable : public TextTable {
public:
    AmovaTable(const StructureSample& sample, const PopulationStructure& structure);

    int columnCount() const override { return 2; }
    int rowCount() const override { return static_cast<int>(rows_.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::vector<std::pair<const char*, std::string>> rows_;
};

// Columns population_a, population_b, n_a, n_b, phi, linearised, p_value; one row per pair, a
// before b in the sample's order of populations.
class PairwiseStructureTable : public TextTable {
public:
    PairwiseStructureTable(const StructureSample& sample, const PopulationStructure& structure);

    int columnCount() const override { return 7; }
    int rowCount() const override { return static_cast<int>(pairs_.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::vector<StructurePopulation> populations_;
    std::vector<PairwiseStructure> pairs_;
};

// Columns population, n, x, y; one row per population, then a row goodness_of_fit with its
// value in the second column (empty when no eigenvalue is positive).
class ScalingTable : public TextTable {
public:
    ScalingTable(const StructureSample& sample, ClassicalScaling scaling);

    int columnCount() const override { return 4; }
    int rowCount() const override { return static_cast<int>(populations_.size()) + 2; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::vector<StructurePopulation> populations_;
    ClassicalScaling scaling_;
};

// Columns row, population, locus, reason: each man left out of the sample (when it lists them),
// row his row on the sheet counted from 1 with the titles on row 1.
class LeftOutTable : public TextTable {
public:
    explicit LeftOutTable(const StructureSample& sample);

    int columnCount() const override { return 4; }
    int rowCount() const override { return static_cast<int>(men_.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::vector<StructurePopulation> populations_;
    std::vector<LeftOutMan> men_;
};

} // namespace tarnwick
