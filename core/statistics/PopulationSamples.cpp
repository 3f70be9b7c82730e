#include "core/statistics/PopulationSamples.h"

#include "core/matching/LocusPairs.h"
#include "core/statistics/PopulationSummary.h"
#include "core/table/GenotypeLoci.h"
#include "core/table/LocusCells.h"

#include <limits>
#include <optional>

namespace tarnwick {
namespace {

// A locus of the database: its title and each man's whole allele there, if he holds one.
struct LocusAlleles {
    std::string title;
    int column;
    std::vector<std::optional<int>> alleles;
};

std::optional<int> wholeAllele(std::int64_t value) {
    if (value == LocusColumn::kUntyped || value == LocusColumn::kNotInteger ||
        value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

std::vector<LocusAlleles> locusAlleles(const HaplotypeTable& table,
                                       const std::function<void()>& eachPass) {
    std::vector<LocusAlleles> loci;
    if (table.reading() == CellReading::Genotypes) {
        for (const GenotypeLocus& locus : genotypeLoci(table)) {
            if (eachPass)
                eachPass();
            LocusAlleles& alleles = loci.emplace_back(LocusAlleles{locus.title, locus.column, {}});
            for (std::size_t h = 0; h < table.haplotypes(); ++h) {
                const Genotype genotype = genotypeAt(table, locus, h);
                alleles.alleles.push_back(genotype.isWholeRepeats()
                                              ? std::optional<int>(genotype.alleles[0] / 10)
                                              : std::nullopt);
            }
        }
        return loci;
    }
    std::string scratch;
    for (int col = std::max(table.layout().firstLocusColumn, 0); col < table.columns(); ++col) {
        if (eachPass)
            eachPass();
        LocusAlleles& alleles = loci.emplace_back(LocusAlleles{table.title(col), col, {}});
        for (std::size_t h = 0; h < table.haplotypes(); ++h) {
            if (table.isLocusColumn(col)) {
                alleles.alleles.push_back(wholeAllele(table.locusColumn(col).value(h)));
            } else {
                const IntegerCell cell = IntegerCell::read(table.cell(col, h, scratch));
                alleles.alleles.push_back(cell.kind == IntegerCell::Kind::Integer
                                              ? wholeAllele(cell.value)
                                              : std::nullopt);
            }
        }
    }
    return loci;
}

} // namespace

std::vector<PopulationSample> populationSamples(const HaplotypeTable& database,
                                                const std::function<void()>& eachPass) {
    const PopulationIndex populations = populationIndex(database);
    const std::vector<LocusAlleles> loci = locusAlleles(database, eachPass);
    std::vector<std::vector<std::size_t>> men(populations.names.size());
    for (std::size_t h = 0; h < database.haplotypes(); ++h)
        if (const int p = populations.ofHaplotype[h]; p >= 0)
            men[static_cast<std::size_t>(p)].push_back(h);
    std::vector<PopulationSample> samples;
    for (std::size_t p = 0; p < men.size(); ++p) {
        if (eachPass)
            eachPass();
        PopulationSample& sample = samples.emplace_back();
        sample.population = populations.names[p];
        std::vector<const LocusAlleles*> used;
        for (const LocusAlleles& locus : loci) {
            bool whole = true;
            for (const std::size_t h : men[p])
                whole = whole && locus.alleles[h].has_value();
            (whole ? sample.loci : sample.leftOut).push_back(locus.title);
            if (whole) {
                used.push_back(&locus);
                sample.columns.push_back(locus.column);
            }
        }
        sample.sample.loci = used.size();
        std::vector<int> values(used.size());
        for (const std::size_t h : men[p]) {
            for (std::size_t l = 0; l < used.size(); ++l)
                values[l] = *used[l]->alleles[h];
            sample.sample.add(values);
        }
    }
    return samples;
}

SearchedHaplotypes::SearchedHaplotypes(const HaplotypeTable& database, const HaplotypeTable& search)
    : search_(&search) {
    if (database.reading() == CellReading::Genotypes) {
        for (const GenotypeLocusPair& pair : pairGenotypeLoci(database, search))
            pairedLocus_.emplace(pair.database.column, pair.search);
    } else {
        for (const LocusPair& pair : pairLoci(database, search))
            pairedColumn_[pair.databaseColumn] = pair.searchColumn;
    }
}

SearchedAlleles SearchedHaplotypes::at(const PopulationSample& sample,
                                       std::size_t haplotype) const {
    SearchedAlleles alleles;
    std::string scratch;
    for (std::size_t l = 0; l < sample.columns.size(); ++l) {
        std::optional<int> value;
        bool skipped = false;
        const int column = sample.columns[l];
        if (const auto paired = pairedLocus_.find(column); paired != pairedLocus_.end()) {
            const Genotype genotype = genotypeAt(*search_, paired->second, haplotype);
            if (genotype.isWholeRepeats())
                value = genotype.alleles[0] / 10;
            else
                skipped = genotype.kind != Genotype::Kind::Missing;
        } else if (const auto col = pairedColumn_.find(column); col != pairedColumn_.end()) {
            std::int64_t read = LocusColumn::kUntyped;
            if (search_->isLocusColumn(col->second)) {
                read = search_->locusColumn(col->second).value(haplotype);
            } else {
                const IntegerCell cell =
                    IntegerCell::read(search_->cell(col->second, haplotype, scratch));
                read = cell.kind == IntegerCell::Kind::Integer      ? cell.value
                       : cell.kind == IntegerCell::Kind::NotInteger ? LocusColumn::kNotInteger
                                                                    : LocusColumn::kUntyped;
            }
            value = wholeAllele(read);
            skipped = !value && read != LocusColumn::kUntyped;
        }
        alleles.values.push_back(value);
        if (skipped)
            alleles.skipped.push_back(sample.loci[l]);
    }
    return alleles;
}

} // namespace tarnwick
