#include "core/statistics/MatchProbabilities.h"

#include "core/Error.h"
#include "core/statistics/HaplotypeClasses.h"
#include "core/statistics/LocusValueIds.h"
#include "core/statistics/PopulationSummary.h"

#include <boost/math/special_functions/beta.hpp>

#include <algorithm>
#include <bit>
#include <charconv>
#include <map>
#include <span>

namespace tarnwick {
namespace {

// The database's haplotypes typed at every locus of a set, and for each population how many
// there are and how many are alone among them in their values there (the last place: all of
// them); the search haplotypes typed there look up their matches.
class LociCounts {
public:
    LociCounts(const LocusValueIds& ids, const LocusHashes& hashes,
               const PopulationIndex& populations, std::vector<std::size_t> loci)
        : populations_(&populations), classes_(ids, hashes, std::move(loci)),
          all_(populations.names.size()), n_(all_ + 1, 0), alone_(all_ + 1, 0) {
        std::vector<std::pair<int, std::size_t>> byPopulation;
        for (std::size_t cls = 0; cls < classes_.count(); ++cls)
            countClass(classes_.members(cls), byPopulation);
    }

    std::size_t n(std::size_t place) const { return n_[place]; }
    std::size_t alone(std::size_t place) const { return alone_[place]; }

    // How many database haplotypes of each population are the same as search haplotype s.
    void matchesOf(const LocusValueIds& search, std::size_t s, std::uint64_t hash,
                   std::vector<std::size_t>& matches) const {
        countMembers(classes_.find(search, s, hash), matches);
    }

private:
    void countClass(std::span<const HaplotypeClasses::Member> members,
                    std::vector<std::pair<int, std::size_t>>& byPopulation) {
        if (members.size() == 1) { // a haplotype alone in its values, as most are
            ++n_[all_];
            ++alone_[all_];
            if (const int p = populations_->ofHaplotype[members[0].second]; p >= 0) {
                ++n_[static_cast<std::size_t>(p)];
                ++alone_[static_cast<std::size_t>(p)];
            }
            return;
        }
        n_[all_] += members.size();
        byPopulation.clear();
        for (const auto& [hash, h] : members) {
            const int p = populations_->ofHaplotype[h];
            if (p < 0)
                continue;
            auto found = std::ranges::find_if(byPopulation,
                                              [&](const auto& entry) { return entry.first == p; });
            if (found == byPopulation.end())
                byPopulation.push_back({p, 1});
            else
                ++found->second;
        }
        for (const auto& [p, count] : byPopulation) {
            n_[static_cast<std::size_t>(p)] += count;
            alone_[static_cast<std::size_t>(p)] += count == 1 ? 1U : 0U;
        }
    }

    // The members of a class in each population, and in all (the last place).
    void countMembers(std::span<const HaplotypeClasses::Member> members,
                      std::vector<std::size_t>& counts) const {
        std::fill(counts.begin(), counts.end(), 0);
        for (const auto& [hash, h] : members) {
            ++counts[all_];
            if (const int p = populations_->ofHaplotype[h]; p >= 0)
                ++counts[static_cast<std::size_t>(p)];
        }
    }

    const PopulationIndex* populations_;
    HaplotypeClasses classes_;
    std::size_t all_;
    std::vector<std::size_t> n_;
    std::vector<std::size_t> alone_;
};

// Intervals worked out once for each count: the Beta quantiles are slow, and most search
// haplotypes have the same few counts in a population (none, mostly).
class Intervals {
public:
    explicit Intervals(double confidence) : confidence_(confidence) {}
    std::pair<double, double> of(std::size_t matches, std::size_t n) {
        const auto [entry, added] = known_.try_emplace({matches, n});
        if (added)
            entry->second = clopperPearson(matches, n, confidence_);
        return entry->second;
    }

private:
    double confidence_;
    std::map<std::pair<std::size_t, std::size_t>, std::pair<double, double>> known_;
};

ProbabilityRow rowOf(std::size_t search, int population, std::size_t n, std::size_t matches,
                     std::size_t alone, Intervals& intervals) {
    ProbabilityRow row{search, population, n, matches, {}, {}, {}, {}, {}, true};
    if (n == 0)
        return row;
    const double dn = static_cast<double>(n);
    const double dm = static_cast<double>(matches);
    row.frequency = dm / dn;
    const auto [lower, upper] = intervals.of(matches, n);
    row.lower = lower;
    row.upper = upper;
    row.augmented = (dm + 1) / (dn + 1);
    if (matches == 0)
        row.kappa = (1 - static_cast<double>(alone) / dn) / dn;
    return row;
}

} // namespace

std::pair<double, double> clopperPearson(std::size_t matches, std::size_t n, double confidence) {
    const double alpha = 1 - confidence;
    const double m = static_cast<double>(matches);
    const double total = static_cast<double>(n);
    const double lower = matches == 0 ? 0.0 : boost::math::ibeta_inv(m, total - m + 1, alpha / 2);
    const double upper =
        matches == n ? 1.0 : boost::math::ibeta_inv(m + 1, total - m, 1 - alpha / 2);
    return {lower, upper};
}

MatchProbabilities matchProbabilities(const HaplotypeTable& database, const HaplotypeTable& search,
                                      double confidence, const CountingProgress& progress) {
    if (!(confidence >= kLeastConfidence && confidence <= kGreatestConfidence))
        throw Error("The confidence must lie between 0.5 and 0.9999; " + sixDigits(confidence) +
                    " does not");
    // Progress in thousandths: the numbering of the loci takes about as long as the counting.
    constexpr std::size_t kTotal = 1000;
    constexpr std::size_t kNumbered = 400;
    constexpr std::size_t kHashed = 500;
    const auto tell = [&progress](std::size_t done) {
        if (progress)
            progress(done, kTotal);
    };
    const PairedValueIds ids =
        pairedValueIds(database, search, [&](std::size_t locus, std::size_t loci) {
            tell(locus * kNumbered / std::max<std::size_t>(loci, 1));
        });
    tell(kNumbered);
    const PopulationIndex populations = populationIndex(database);
    const std::size_t places = populations.names.size() + 1;
    tell((kNumbered + kHashed) / 2);
    // Search haplotypes typed at the same loci share the counts of the database over them.
    const LocusHashes databaseHashes(ids.database);
    const LocusHashes searchHashes(ids.search);
    std::map<std::vector<std::uint64_t>, std::vector<std::size_t>> searchesByLoci;
    for (std::size_t s = 0; s < search.haplotypes(); ++s) {
        const auto typed = searchHashes.typed(s);
        searchesByLoci[{typed.begin(), typed.end()}].push_back(s);
    }
    std::vector<std::vector<ProbabilityRow>> rowsOf(search.haplotypes());
    Intervals intervals(confidence);
    std::vector<std::size_t> matches(places);
    std::size_t counted = 0;
    for (const auto& [lociBits, searches] : searchesByLoci) {
        tell(kHashed + counted++ * (kTotal - kHashed) / searchesByLoci.size());
        std::vector<std::size_t> loci;
        for (std::size_t k = 0; k < ids.search.loci(); ++k)
            if (lociBits[k / 64] >> (k % 64) & 1)
                loci.push_back(k);
        if (loci.empty()) { // every database haplotype would be the same as it over no loci
            for (const std::size_t s : searches)
                for (std::size_t p = 0; p < places; ++p) {
                    ProbabilityRow& row = rowsOf[s].emplace_back();
                    row.search = s;
                    row.population = p + 1 == places ? -1 : static_cast<int>(p);
                    row.typed = false;
                }
            continue;
        }
        const LociCounts counts(ids.database, databaseHashes, populations, loci);
        for (const std::size_t s : searches) {
            counts.matchesOf(ids.search, s, searchHashes.over(s, lociBits), matches);
            for (std::size_t p = 0; p < places; ++p)
                rowsOf[s].push_back(rowOf(s, p + 1 == places ? -1 : static_cast<int>(p),
                                          counts.n(p), matches[p], counts.alone(p), intervals));
        }
    }
    tell(kTotal);
    MatchProbabilities result{populations.names, {}};
    result.rows.reserve(search.haplotypes() * places);
    for (auto& rows : rowsOf)
        std::move(rows.begin(), rows.end(), std::back_inserter(result.rows));
    return result;
}

std::string sixDigits(double value) {
    char digits[32];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6).ptr;
    return {digits, end};
}

MatchProbabilityTable::MatchProbabilityTable(std::shared_ptr<const HaplotypeTable> search,
                                             MatchProbabilities probabilities)
    : search_(std::move(search)), probabilities_(std::move(probabilities)) {}

std::string_view MatchProbabilityTable::text(int col, int row, std::string& scratch) const {
    static constexpr const char* kHeaders[kColumns] = {
        "sample",    "comment", "population", "N",         "matches",
        "frequency", "lower",   "upper",      "augmented", "kappa"};
    if (col < 0 || col >= kColumns || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return kHeaders[col];
    const ProbabilityRow& r = probabilities_.rows[static_cast<std::size_t>(row - 1)];
    const auto number = [&](const std::optional<double>& value) -> std::string_view {
        if (!value)
            return {};
        scratch = sixDigits(*value);
        return scratch;
    };
    switch (col) {
    case 0:
    case 1:
        return search_->cell(col, r.search, scratch);
    case 2:
        return r.population < 0
                   ? std::string_view("All")
                   : std::string_view(
                         probabilities_.populations[static_cast<std::size_t>(r.population)]);
    case 3:
        return r.typed ? std::string_view(scratch = std::to_string(r.n)) : std::string_view();
    case 4:
        return r.typed ? std::string_view(scratch = std::to_string(r.matches)) : std::string_view();
    case 5:
        return number(r.frequency);
    case 6:
        return number(r.lower);
    case 7:
        return number(r.upper);
    case 8:
        return number(r.augmented);
    default:
        return number(r.kappa);
    }
}

} // namespace tarnwick
