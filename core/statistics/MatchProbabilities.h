#pragma once

// How often a search haplotype occurs in each population of a database, with a confidence
// interval, an augmented count and Brenner's kappa estimate for one never seen.

#include "core/table/HaplotypeTable.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// A search haplotype in one population (or all of them). For L, the paired loci at which the
// search haplotype is typed: n haplotypes of the population typed at every locus of L, matches of
// them the same as it over L. A search haplotype typed at none of the paired loci (L empty) has
// nothing defined, not even n. The rest is not defined when n is 0 (and kappa when matches > 0):
// frequency = matches / n; lower and upper the Clopper-Pearson interval; augmented =
// (matches + 1) / (n + 1); kappa = (1 - k) / n with k the share of the n haplotypes whose
// haplotype over L occurs once among them.
struct ProbabilityRow {
    std::size_t search;
    int population; // into MatchProbabilities::populations; -1 for all of them
    std::size_t n = 0;
    std::size_t matches = 0;
    std::optional<double> frequency, lower, upper, augmented, kappa;
    bool typed = true; // false when L is empty: n and matches are then 0, and shown empty
};

struct MatchProbabilities {
    std::vector<std::string> populations; // in the order they first occur
    std::vector<ProbabilityRow> rows;     // by search haplotype, populations then all
};

// Confidence of the intervals: 0.5 to 0.9999.
inline constexpr double kLeastConfidence = 0.5;
inline constexpr double kGreatestConfidence = 0.9999;

// Told how far the counting is (done of total) before each pass over the database: for each
// locus numbered, the populations, the hashes, and each set of search haplotypes typed at the
// same loci. It stops the counting by raising.
using CountingProgress = std::function<void(std::size_t done, std::size_t total)>;

// The loci pair as the tables were read (integers or genotypes). Raises an Error when the
// confidence lies outside its range.
MatchProbabilities matchProbabilities(const HaplotypeTable& database, const HaplotypeTable& search,
                                      double confidence, const CountingProgress& progress = {});

// The Clopper-Pearson interval of matches of n at this confidence (n > 0).
std::pair<double, double> clopperPearson(std::size_t matches, std::size_t n, double confidence);

// Those rows as a table: sample, comment, population ("All" for all), N, matches, frequency,
// lower, upper, augmented, kappa; numbers other than counts with 6 significant digits; what is
// not defined empty.
class MatchProbabilityTable : public TextTable {
public:
    static constexpr int kColumns = 10;
    MatchProbabilityTable(std::shared_ptr<const HaplotypeTable> search,
                          MatchProbabilities probabilities);

    int columnCount() const override { return kColumns; }
    int rowCount() const override { return static_cast<int>(probabilities_.rows.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override;

private:
    std::shared_ptr<const HaplotypeTable> search_;
    MatchProbabilities probabilities_;
};

// A number as "%.6g" writes it, "." before the decimals whatever the locale.
std::string sixDigits(double value);

} // namespace tarnwick
