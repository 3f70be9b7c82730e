#pragma once

// How diverse each population sample of a database is, over the haplotypes typed at every locus.

#include "core/table/HaplotypeTable.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// n haplotypes of the population typed at every locus of the database (under the genotype
// reading its loci as genotypeLoci() has them); `haplotypes` distinct ones among them,
// `singletons` those occurring once; diversity = n / (n - 1) * (1 - sum of the squared shares
// of the distinct haplotypes), from n = 2; discrimination = haplotypes / n, from n = 1.
struct DiversityRow {
    std::string population; // "All" for all of them
    std::size_t n = 0;
    std::size_t haplotypes = 0;
    std::size_t singletons = 0;
    std::optional<double> diversity, discrimination;
};

// The populations in the order they first occur, then "All".
std::vector<DiversityRow> populationDiversity(const HaplotypeTable& database);

// Those rows as a table: population, N, haplotypes, singletons, diversity, discrimination.
class DiversityTable : public TextTable {
public:
    static constexpr int kColumns = 6;
    explicit DiversityTable(std::vector<DiversityRow> rows) : rows_(std::move(rows)) {}

    int columnCount() const override { return kColumns; }
    int rowCount() const override { return static_cast<int>(rows_.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::vector<DiversityRow> rows_;
};

} // namespace tarnwick
