#include "core/matching/GenotypeMatching.h"

#include "core/matching/PairedColumns.h"
#include "core/table/GenotypeLoci.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <unordered_map>

namespace tarnwick {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// Codes of cells that are not one whole allele (whose code is its repeats, 1 to 999).
constexpr std::int16_t kMissing = LocusColumn::kNarrowUntyped;
constexpr std::int16_t kOther = kMissing + 1; // typed: a null, a microvariant, copies
constexpr std::int16_t kFault = kMissing + 2;
// Loci marked in masks of 64-bit words.
constexpr std::size_t kMaskBits = 64;

// One locus of one table, its genotypes read once.
class LocusGenotypes {
public:
    LocusGenotypes(const HaplotypeTable& table, const GenotypeLocus& locus)
        : table_(&table), locus_(locus), codes_(table.haplotypes(), kMissing) {
        const LocusColumn* column =
            table.isLocusColumn(locus.column) ? &table.locusColumn(locus.column) : nullptr;
        const bool plain =
            column && column->isNarrow() && locus.secondColumn < 0 && !locus.bothCopiesOfOne;
        for (std::size_t h = 0; h < codes_.size(); ++h) {
            std::int16_t& code = codes_[h];
            // Most cells hold a whole number, read without making a genotype of it.
            if (plain && !column->hasOwnText(h)) {
                const std::int16_t value = column->narrowValues()[h];
                if (value >= 1 && value <= 999) {
                    code = value;
                    if (firstTyped == kNone)
                        firstTyped = h;
                    continue;
                }
            }
            const Genotype genotype = genotypeAt(table, locus, h);
            if (genotype.isWholeRepeats()) {
                code = static_cast<std::int16_t>(genotype.alleles[0] / 10);
            } else if (genotype.kind == Genotype::Kind::Fault) {
                code = kFault;
                if (firstFault == kNone)
                    firstFault = h;
            } else if (genotype.typed()) {
                code = kOther;
                others_.emplace(static_cast<std::uint32_t>(h), genotype);
            }
            if (code != kMissing && firstTyped == kNone)
                firstTyped = h;
        }
    }

    std::int16_t code(std::size_t h) const { return codes_[h]; }
    bool isOther(std::size_t h) const { return codes_[h] == kOther; }
    // The genotype, of a cell that is no fault.
    Genotype at(std::size_t h) const {
        const std::int16_t code = codes_[h];
        if (code > 0)
            return Genotype::ofRepeats(code);
        if (code == kOther)
            return others_.at(static_cast<std::uint32_t>(h));
        return {};
    }
    // The values the vector comparison takes: whole alleles, nothing for the rest.
    std::vector<std::int16_t> wholeAlleles() const {
        std::vector<std::int16_t> values(codes_);
        for (std::int16_t& value : values)
            if (value <= 0)
                value = kMissing;
        return values;
    }
    // The text of a faulty cell as the table holds it.
    std::string faultText(std::size_t h) const {
        std::string scratch;
        const bool firstFaulty =
            genotypeAt(*table_, locus_.column, h).kind == Genotype::Kind::Fault;
        const int column =
            firstFaulty || locus_.secondColumn < 0 ? locus_.column : locus_.secondColumn;
        return std::string(table_->cell(column, h, scratch));
    }

    std::size_t firstTyped = kNone; // the first haplotype with anything in the cell
    std::size_t firstFault = kNone;

private:
    const HaplotypeTable* table_;
    GenotypeLocus locus_;
    std::vector<std::int16_t> codes_;
    std::unordered_map<std::uint32_t, Genotype> others_;
};

// Both tables' genotypes at the paired loci, and the steps between them.
class GenotypeComparison : public PairSteps {
public:
    GenotypeComparison(const HaplotypeTable& database, const HaplotypeTable& search,
                       const std::vector<GenotypeLocusPair>& loci) {
        for (std::size_t k = 0; k < loci.size(); ++k) {
            database_.emplace_back(database, loci[k].database);
            search_.emplace_back(search, loci[k].search);
            if (loci[k].database.key == "DYS389I")
                dys389I_ = static_cast<int>(k);
            if (loci[k].database.key == "DYS389II")
                dys389II_ = static_cast<int>(k);
        }
        if (dys389I_ < 0)
            dys389II_ = -1; // only with both is DYS389II compared apart
        words_ = std::max<std::size_t>((loci.size() + kMaskBits - 1) / kMaskBits, 1);
        databaseOthers_ = othersOf(database_, database.haplotypes());
        searchOthers_ = othersOf(search_, search.haplotypes());
        alwaysExact_.assign(words_, 0);
        if (dys389II_ >= 0)
            mark(alwaysExact_.data(), static_cast<std::size_t>(dys389II_));
    }

    std::size_t loci() const { return database_.size(); }

    // The error comparing this search haplotype would meet first, as the integer reading finds
    // it: database haplotypes in order, loci in order, the search cell before the database's.
    std::optional<std::string> conversionFailure(std::size_t s) const {
        std::size_t firstRow = kNone;
        std::string text;
        for (std::size_t k = 0; k < loci(); ++k) {
            const std::int16_t code = search_[k].code(s);
            if (code == kMissing)
                continue;
            std::size_t row = kNone;
            std::string candidate;
            if (code == kFault && database_[k].firstTyped != kNone) {
                row = database_[k].firstTyped;
                candidate = search_[k].faultText(s);
            } else if (code != kFault && database_[k].firstFault != kNone) {
                row = database_[k].firstFault;
                candidate = database_[k].faultText(row);
            }
            if (row != kNone && (firstRow == kNone || row < firstRow)) {
                firstRow = row;
                text = std::move(candidate);
            }
        }
        if (firstRow == kNone)
            return std::nullopt;
        return "'" + text + "' is not a valid genotype";
    }

    // Tables of whole alleles for the vector comparison, which gives a lower bound of the steps:
    // the other cells (and DYS389II, compared apart) are left to refine().
    std::pair<std::shared_ptr<const HaplotypeTable>, std::shared_ptr<const HaplotypeTable>>
    wholeAlleleTables(std::size_t databaseHaplotypes, std::size_t searchHaplotypes) const {
        return {wholeAlleleTable(database_, databaseHaplotypes),
                wholeAlleleTable(search_, searchHaplotypes)};
    }

    // The candidate's steps and common loci completed at the loci the vector comparison left
    // out; whether it then matches.
    bool refine(Match& candidate, std::int64_t limit) const {
        const std::uint64_t* searchOthers = &searchOthers_[candidate.search * words_];
        const std::uint64_t* databaseOthers = &databaseOthers_[candidate.database * words_];
        for (std::size_t w = 0; w < words_; ++w) {
            for (std::uint64_t rest = alwaysExact_[w] | searchOthers[w] | databaseOthers[w];
                 rest != 0; rest &= rest - 1) {
                const std::size_t k =
                    w * kMaskBits + static_cast<std::size_t>(std::countr_zero(rest));
                if (const auto steps = stepsAt(k, candidate.search, candidate.database)) {
                    candidate.steps += *steps;
                    ++candidate.commonLoci;
                    if (candidate.steps > limit)
                        return false;
                }
            }
        }
        return candidate.commonLoci > 0 && candidate.steps <= limit;
    }

    void stepsAtPairs(const Match& match, std::vector<std::int64_t>& steps) const override {
        steps.assign(loci(), -1);
        for (std::size_t k = 0; k < loci(); ++k)
            if (const auto at = stepsAt(k, match.search, match.database))
                steps[k] = *at;
    }

private:
    static void mark(std::uint64_t* mask, std::size_t k) {
        mask[k / kMaskBits] |= std::uint64_t{1} << (k % kMaskBits);
    }

    // Each haplotype's mask (words_ words) of the loci where its cell is typed but no whole allele.
    std::vector<std::uint64_t> othersOf(const std::vector<LocusGenotypes>& loci,
                                        std::size_t haplotypes) const {
        std::vector<std::uint64_t> others(haplotypes * words_, 0);
        for (std::size_t k = 0; k < loci.size(); ++k)
            for (std::size_t h = 0; h < haplotypes; ++h)
                if (loci[k].isOther(h))
                    mark(&others[h * words_], k);
        return others;
    }

    std::shared_ptr<const HaplotypeTable> wholeAlleleTable(const std::vector<LocusGenotypes>& loci,
                                                           std::size_t haplotypes) const {
        std::vector<HaplotypeTable::Column> columns;
        std::vector<std::string> titles;
        for (std::size_t k = 0; k < loci.size(); ++k) {
            const bool apart = static_cast<int>(k) == dys389II_;
            columns.emplace_back(LocusColumn(apart ? std::vector<std::int16_t>(haplotypes, kMissing)
                                                   : loci[k].wholeAlleles()));
            titles.push_back(std::to_string(k));
        }
        return std::make_shared<const HaplotypeTable>(TableLayout{0, -1}, std::move(titles),
                                                      std::move(columns), haplotypes);
    }

    // The steps at locus k, when both cells are typed.
    std::optional<std::int64_t> stepsAt(std::size_t k, std::size_t s, std::size_t h) const {
        const std::int16_t searchCode = search_[k].code(s);
        const std::int16_t databaseCode = database_[k].code(h);
        if (searchCode == kMissing || databaseCode == kMissing || searchCode == kFault ||
            databaseCode == kFault)
            return std::nullopt;
        if (static_cast<int>(k) == dys389II_) {
            const auto i = static_cast<std::size_t>(dys389I_);
            const std::int16_t searchI = search_[i].code(s);
            const std::int16_t databaseI = database_[i].code(h);
            if (searchCode > 0 && databaseCode > 0 && searchI > 0 && databaseI > 0)
                return std::abs((searchCode - searchI) - (databaseCode - databaseI));
        }
        if (searchCode > 0 && databaseCode > 0)
            return std::abs(searchCode - databaseCode);
        return genotypeSteps(search_[k].at(s), database_[k].at(h));
    }

    std::vector<LocusGenotypes> database_;
    std::vector<LocusGenotypes> search_;
    int dys389I_ = -1;
    int dys389II_ = -1;
    std::size_t words_ = 1; // of each locus mask
    std::vector<std::uint64_t> databaseOthers_;
    std::vector<std::uint64_t> searchOthers_;
    std::vector<std::uint64_t> alwaysExact_; // DYS389II, compared apart
};

} // namespace

MatchResult matchGenotypes(const HaplotypeTable& database, const HaplotypeTable& search,
                           std::int64_t limit, const MatchProgress& progress) {
    const auto loci = pairGenotypeLoci(database, search);
    const auto comparison = std::make_shared<const GenotypeComparison>(database, search, loci);
    MatchResult result;
    for (const GenotypeLocusPair& pair : loci) {
        result.pairs.push_back({pair.database.column, pair.search.column});
        result.pairTitles.push_back(pair.database.title);
    }
    result.pairSteps = comparison;
    const std::size_t searches = search.haplotypes();
    result.searchesCompared = searches;
    for (std::size_t s = 0; s < searches; ++s) {
        if (auto failure = comparison->conversionFailure(s)) {
            result.searchesCompared = s;
            result.failure = std::move(failure);
            break;
        }
    }
    const auto [wholeDatabase, wholeSearch] =
        comparison->wholeAlleleTables(database.haplotypes(), searches);
    std::vector<LocusPair> wholePairs;
    for (std::size_t k = 0; k < loci.size(); ++k)
        wholePairs.push_back({static_cast<int>(k), static_cast<int>(k)});
    PairedColumns columns(*wholeDatabase, *wholeSearch, wholePairs);
    columns.useKernel(limit);
    const auto comparisons = compareAll(columns, result.searchesCompared, searches, limit, progress,
                                        [&](std::size_t, std::vector<Match>& candidates) {
                                            std::erase_if(candidates, [&](Match& candidate) {
                                                return !comparison->refine(candidate, limit);
                                            });
                                        });
    result.matches = inSortedOrder(comparisons);
    return result;
}

} // namespace tarnwick
