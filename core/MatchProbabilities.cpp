#include "core/MatchProbabilities.h"

#include "core/Error.h"
#include "core/HaplotypeClasses.h"
#include "core/LocusValueIds.h"
#include "core/PopulationSummary.h"

#include <boost/math/special_functions/beta.hpp>

#include <algorithm>
#include <charconv>
#include <map>

namespace tarnwick {
namespace {

// The database's haplotypes typed at every locus of a set, by class and population, and for each
// population how many there are and how many are alone in their class.
class ClassCounts {
public:
    ClassCounts(const HaplotypeClasses& classes, const PopulationIndex& populations)
        : all_(populations.names.size()), n_(all_ + 1, 0), alone_(all_ + 1, 0) {
        for (std::size_t h = 0; h < populations.ofHaplotype.size(); ++h)
            if (const std::uint32_t cls = classes.of(h); cls != HaplotypeClasses::kNone)
                members_.push_back({cls, populations.ofHaplotype[h]});
        std::sort(members_.begin(), members_.end());
        firstOfClass_.assign(classes.count() + 1, members_.size());
        for (std::size_t i = members_.size(); i-- > 0;)
            firstOfClass_[members_[i].first] = i;
        for (std::size_t i = 0; i < members_.size();) {
            const std::uint32_t cls = members_[i].first;
            std::size_t end = i;
            while (end < members_.size() && members_[end].first == cls)
                ++end;
            count(end - i, all_);
            for (std::size_t run = i; run < end;) {
                std::size_t runEnd = run;
                while (runEnd < end && members_[runEnd].second == members_[run].second)
                    ++runEnd;
                if (members_[run].second >= 0)
                    count(runEnd - run, static_cast<std::size_t>(members_[run].second));
                run = runEnd;
            }
            i = end;
        }
    }

    std::size_t n(std::size_t population) const { return n_[population]; }
    std::size_t alone(std::size_t population) const { return alone_[population]; }
    // How many of a class each population has (the last place: all of them).
    void matchesOf(std::uint32_t cls, std::vector<std::size_t>& matches) const {
        std::fill(matches.begin(), matches.end(), 0);
        if (cls == HaplotypeClasses::kNone)
            return;
        for (std::size_t i = firstOfClass_[cls]; i < members_.size() && members_[i].first == cls;
             ++i) {
            ++matches[all_];
            if (members_[i].second >= 0)
                ++matches[static_cast<std::size_t>(members_[i].second)];
        }
    }

private:
    void count(std::size_t members, std::size_t population) {
        n_[population] += members;
        alone_[population] += members == 1 ? 1 : 0;
    }

    std::size_t all_;                                    // the place of all populations together
    std::vector<std::pair<std::uint32_t, int>> members_; // class, population
    std::vector<std::size_t> firstOfClass_;
    std::vector<std::size_t> n_;
    std::vector<std::size_t> alone_;
};

ProbabilityRow rowOf(std::size_t search, int population, std::size_t n, std::size_t matches,
                     std::size_t alone, double confidence) {
    ProbabilityRow row{search, population, n, matches, {}, {}, {}, {}, {}};
    if (n == 0)
        return row;
    const double dn = static_cast<double>(n);
    const double dm = static_cast<double>(matches);
    row.frequency = dm / dn;
    const auto [lower, upper] = clopperPearson(matches, n, confidence);
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
    std::map<std::vector<std::size_t>, std::vector<std::size_t>> searchesByLoci;
    for (std::size_t s = 0; s < search.haplotypes(); ++s) {
        std::vector<std::size_t> loci;
        for (std::size_t k = 0; k < ids.search.loci(); ++k)
            if (ids.search.at(k, s) != LocusValueIds::kUntyped)
                loci.push_back(k);
        searchesByLoci[loci].push_back(s);
    }
    std::vector<std::vector<ProbabilityRow>> rowsOf(search.haplotypes());
    std::vector<std::size_t> matches(places);
    for (const auto& [loci, searches] : searchesByLoci) {
        const HaplotypeClasses classes(ids.database, loci);
        const ClassCounts counts(classes, populations);
        for (const std::size_t s : searches) {
            counts.matchesOf(classes.find(ids.search, s), matches);
            for (std::size_t p = 0; p < places; ++p)
                rowsOf[s].push_back(rowOf(s, p + 1 == places ? -1 : static_cast<int>(p),
                                          counts.n(p), matches[p], counts.alone(p), confidence));
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
