#include "core/statistics/MatchProbabilities.h"

#include "core/Error.h"
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

// Hashes of haplotypes over any set of loci from one sum per haplotype: each locus's value adds
// a scrambled 64-bit number, so the hash over fewer loci is the sum less the terms of the others.
// Hashes only find candidates: sameness is always checked on the values.
class LocusHashes {
public:
    explicit LocusHashes(const LocusValueIds& ids)
        : ids_(&ids), words_((ids.loci() + 63) / 64), masks_(ids.haplotypes() * words_, 0),
          sums_(ids.haplotypes(), 0) {
        for (std::size_t k = 0; k < ids.loci(); ++k)
            for (std::size_t h = 0; h < ids.haplotypes(); ++h)
                if (const std::uint32_t id = ids.at(k, h); id != LocusValueIds::kUntyped) {
                    masks_[h * words_ + k / 64] |= std::uint64_t{1} << (k % 64);
                    sums_[h] += term(k, id);
                }
    }

    static std::uint64_t term(std::size_t locus, std::uint32_t id) {
        std::uint64_t z = (static_cast<std::uint64_t>(locus) << 32 | id) + 0x9E3779B97F4A7C15ULL;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::size_t words() const { return words_; }
    // The loci a haplotype is typed at, as bits.
    std::span<const std::uint64_t> typed(std::size_t h) const {
        return std::span(masks_).subspan(h * words_, words_);
    }
    bool covers(std::size_t h, std::span<const std::uint64_t> loci) const {
        for (std::size_t w = 0; w < words_; ++w)
            if ((masks_[h * words_ + w] & loci[w]) != loci[w])
                return false;
        return true;
    }
    // The hash of a haplotype over loci it covers.
    std::uint64_t over(std::size_t h, std::span<const std::uint64_t> loci) const {
        std::uint64_t sum = sums_[h];
        for (std::size_t w = 0; w < words_; ++w)
            for (std::uint64_t rest = masks_[h * words_ + w] & ~loci[w]; rest != 0;
                 rest &= rest - 1) {
                const std::size_t k = w * 64 + static_cast<std::size_t>(std::countr_zero(rest));
                sum -= term(k, ids_->at(k, h));
            }
        return sum;
    }

private:
    const LocusValueIds* ids_;
    std::size_t words_;
    std::vector<std::uint64_t> masks_; // [haplotype][word]
    std::vector<std::uint64_t> sums_;
};

// Sorts by hash, 16 bits at a time from the lowest: for the hundreds of thousands of haplotypes
// sorted once for each set of loci, much quicker than comparing them.
void sortByHash(std::vector<std::pair<std::uint64_t, std::uint32_t>>& entries) {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> sorted(entries.size());
    std::vector<std::size_t> starts(1 << 16);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(starts.begin(), starts.end(), 0);
        for (const auto& entry : entries)
            ++starts[entry.first >> shift & 0xFFFF];
        std::size_t start = 0;
        for (std::size_t& count : starts)
            start += std::exchange(count, start);
        for (const auto& entry : entries)
            sorted[starts[entry.first >> shift & 0xFFFF]++] = entry;
        entries.swap(sorted);
    }
}

// Whether two haplotypes (of tables numbered alike) have the same values at the loci.
bool sameOver(const LocusValueIds& a, std::size_t ha, const LocusValueIds& b, std::size_t hb,
              const std::vector<std::size_t>& loci) {
    for (const std::size_t k : loci)
        if (a.at(k, ha) != b.at(k, hb))
            return false;
    return true;
}

// The database's haplotypes typed at every locus of a set, and for each population how many
// there are and how many are alone among them in their values there (the last place: all of
// them); the search haplotypes typed there look up their matches.
class LociCounts {
public:
    LociCounts(const LocusValueIds& ids, const LocusHashes& hashes,
               const PopulationIndex& populations, std::span<const std::uint64_t> lociBits,
               std::vector<std::size_t> loci)
        : ids_(&ids), populations_(&populations), loci_(std::move(loci)),
          all_(populations.names.size()), n_(all_ + 1, 0), alone_(all_ + 1, 0) {
        for (std::size_t h = 0; h < ids.haplotypes(); ++h)
            if (hashes.covers(h, lociBits))
                byHash_.push_back({hashes.over(h, lociBits), static_cast<std::uint32_t>(h)});
        sortByHash(byHash_);
        for (std::size_t i = 0; i < byHash_.size();) {
            std::size_t end = i + 1;
            while (end < byHash_.size() && byHash_[end].first == byHash_[i].first)
                ++end;
            countRun(i, end);
            i = end;
        }
    }

    std::size_t n(std::size_t place) const { return n_[place]; }
    std::size_t alone(std::size_t place) const { return alone_[place]; }

    // How many database haplotypes of each population are the same as search haplotype s.
    void matchesOf(const LocusValueIds& search, std::size_t s, std::uint64_t hash,
                   std::vector<std::size_t>& matches) const {
        std::fill(matches.begin(), matches.end(), 0);
        auto at = std::lower_bound(
            byHash_.begin(), byHash_.end(), hash,
            [](const auto& entry, std::uint64_t wanted) { return entry.first < wanted; });
        for (; at != byHash_.end() && at->first == hash; ++at)
            if (sameOver(*ids_, at->second, search, s, loci_)) {
                ++matches[all_];
                if (const int p = populationOf(at->second); p >= 0)
                    ++matches[static_cast<std::size_t>(p)];
            }
    }

private:
    int populationOf(std::uint32_t h) const { return populations_->ofHaplotype[h]; }

    // Haplotypes of equal hashes: almost always one class of equal values, split if not.
    void countRun(std::size_t begin, std::size_t end) {
        if (end - begin == 1) { // a haplotype alone in its values, as most are
            ++n_[all_];
            ++alone_[all_];
            if (const int p = populationOf(byHash_[begin].second); p >= 0) {
                ++n_[static_cast<std::size_t>(p)];
                ++alone_[static_cast<std::size_t>(p)];
            }
            return;
        }
        std::vector<std::vector<std::uint32_t>> classes;
        for (std::size_t i = begin; i < end; ++i) {
            const std::uint32_t h = byHash_[i].second;
            auto found = std::ranges::find_if(classes, [&](const auto& members) {
                return sameOver(*ids_, members.front(), *ids_, h, loci_);
            });
            if (found == classes.end())
                classes.push_back({h});
            else
                found->push_back(h);
        }
        for (const auto& members : classes)
            countClass(members);
    }

    void countClass(const std::vector<std::uint32_t>& members) {
        n_[all_] += members.size();
        alone_[all_] += members.size() == 1 ? 1 : 0;
        std::vector<std::pair<int, std::size_t>> byPopulation;
        for (const std::uint32_t h : members) {
            const int p = populationOf(h);
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
            alone_[static_cast<std::size_t>(p)] += count == 1 ? 1 : 0;
        }
    }

    const LocusValueIds* ids_;
    const PopulationIndex* populations_;
    std::vector<std::size_t> loci_;
    std::size_t all_;
    std::vector<std::size_t> n_;
    std::vector<std::size_t> alone_;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byHash_;
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
    ProbabilityRow row{search, population, n, matches, {}, {}, {}, {}, {}};
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
                                      double confidence) {
    if (!(confidence >= kLeastConfidence && confidence <= kGreatestConfidence))
        throw Error("The confidence must lie between 0.5 and 0.9999; " + sixDigits(confidence) +
                    " does not");
    const PairedValueIds ids = pairedValueIds(database, search);
    const PopulationIndex populations = populationIndex(database);
    const std::size_t places = populations.names.size() + 1;
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
    for (const auto& [lociBits, searches] : searchesByLoci) {
        std::vector<std::size_t> loci;
        for (std::size_t k = 0; k < ids.search.loci(); ++k)
            if (lociBits[k / 64] >> (k % 64) & 1)
                loci.push_back(k);
        const LociCounts counts(ids.database, databaseHashes, populations, lociBits, loci);
        for (const std::size_t s : searches) {
            counts.matchesOf(ids.search, s, searchHashes.over(s, lociBits), matches);
            for (std::size_t p = 0; p < places; ++p)
                rowsOf[s].push_back(rowOf(s, p + 1 == places ? -1 : static_cast<int>(p),
                                          counts.n(p), matches[p], counts.alone(p), intervals));
        }
    }
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
        return scratch = std::to_string(r.n);
    case 4:
        return scratch = std::to_string(r.matches);
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
