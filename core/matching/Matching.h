#pragma once

#include "core/matching/LocusPairs.h"
#include "core/table/HaplotypeTable.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnwick {

// A database haplotype within the step limit of a search haplotype (both numbered from 0).
struct Match {
    std::uint32_t search;
    std::uint32_t database;
    std::int64_t steps;
    std::int32_t commonLoci;
    bool operator==(const Match&) const = default;
};

// The steps at each pair of a match, where the comparison is not the difference of two values
// (the genotype reading): -1 where the pair was not compared.
class PairSteps {
public:
    virtual ~PairSteps() = default;
    virtual void stepsAtPairs(const Match& match, std::vector<std::int64_t>& steps) const = 0;
};

struct MatchResult {
    std::vector<LocusPair> pairs;
    // The titles the marker slots show for the pairs, where they are not the database columns'.
    std::vector<std::string> pairTitles;
    std::shared_ptr<const PairSteps> pairSteps; // null: the differences of the values
    // Sorted by number of steps in the program's order: a selection sort of all matches so far,
    // repeated after each search haplotype (ties end up as that procedure leaves them).
    std::vector<Match> matches;
    // All search haplotypes, or those before the first whose comparison meets a paired cell that
    // is no integer; failure then says which text ("'17a' is not a valid integer value").
    std::size_t searchesCompared = 0;
    std::optional<std::string> failure;
};

// Called now and then with the number of search haplotypes compared and of all.
using MatchProgress = std::function<void(std::size_t, std::size_t)>;

// Every database haplotype within limit steps of each search haplotype. The steps are the sum
// of the absolute differences at the paired loci where both are typed (have a value); a database
// haplotype with no such locus is no match.
MatchResult match(const HaplotypeTable& database, const HaplotypeTable& search, std::int64_t limit,
                  const MatchProgress& progress = {});

// Up to three loci at which a match differs, shown beside it: one-step loci fill slots 1, 2, 3
// in pair order; a two-step locus takes slot 2 and a three-step locus slot 3; later ones replace
// earlier ones, and larger differences are not shown.
struct MarkerSlot {
    int pair = -1; // none
    std::int64_t difference = 0;
};
std::array<MarkerSlot, 3> markerSlots(std::span<const std::int64_t> differences);

} // namespace tarnwick
