#include "core/statistics/LocusValueIds.h"

#include "core/matching/LocusPairs.h"
#include "core/table/GenotypeLoci.h"
#include "core/table/LocusCells.h"

#include <string>
#include <unordered_map>

namespace tarnwick {

namespace {

// Numbers the values of one locus in both tables alike.
class LocusNumbering {
public:
    std::uint32_t ofInteger(std::int64_t value) {
        const auto [entry, added] = integers_.try_emplace(value, next_);
        if (added)
            ++next_;
        return entry->second;
    }
    std::uint32_t ofGenotype(const Genotype& genotype) {
        if (!genotype.typed())
            return LocusValueIds::kUntyped;
        if (genotype.isWholeRepeats())
            return ofInteger(genotype.alleles[0]);
        // Every other genotype by what it is made of: its kind and sorted alleles.
        std::string key(1, static_cast<char>(genotype.kind));
        for (std::size_t i = 0; i < genotype.count; ++i)
            key.append(reinterpret_cast<const char*>(&genotype.alleles[i]),
                       sizeof genotype.alleles[i]);
        const auto [entry, added] = others_.try_emplace(std::move(key), next_);
        return added ? next_++ : entry->second;
    }

private:
    std::unordered_map<std::int64_t, std::uint32_t> integers_;
    std::unordered_map<std::string, std::uint32_t> others_;
    std::uint32_t next_ = 1;
};

// The value of a cell by the integer rule: a locus column's, or a descriptive text's read so.
std::int64_t integerValue(const HaplotypeTable& table, int col, std::size_t h) {
    if (table.isLocusColumn(col))
        return table.locusColumn(col).value(h);
    std::string scratch;
    const auto cell = IntegerCell::read(table.cell(col, h, scratch));
    return cell.kind == IntegerCell::Kind::Integer ? cell.value : LocusColumn::kUntyped;
}

bool typedInteger(std::int64_t value) {
    return value != LocusColumn::kUntyped && value != LocusColumn::kNotInteger;
}

void numberIntegers(const HaplotypeTable& table, int col, LocusNumbering& numbering,
                    std::vector<std::uint32_t>& ids) {
    for (std::size_t h = 0; h < ids.size(); ++h)
        if (const std::int64_t value = integerValue(table, col, h); typedInteger(value))
            ids[h] = numbering.ofInteger(value);
}

void numberGenotypes(const HaplotypeTable& table, const GenotypeLocus& locus,
                     LocusNumbering& numbering, std::vector<std::uint32_t>& ids) {
    for (std::size_t h = 0; h < ids.size(); ++h)
        ids[h] = numbering.ofGenotype(genotypeAt(table, locus, h));
}

} // namespace

PairedValueIds pairedValueIds(const HaplotypeTable& database, const HaplotypeTable& search,
                              const EachLocus& eachLocus) {
    PairedValueIds ids{LocusValueIds(database.haplotypes()), LocusValueIds(search.haplotypes())};
    std::size_t loci = 0;
    const auto add = [&](const auto& numberDatabase, const auto& numberSearch) {
        if (eachLocus)
            eachLocus(ids.database.loci(), loci);
        LocusNumbering numbering;
        numberDatabase(numbering, ids.database.addLocus());
        numberSearch(numbering, ids.search.addLocus());
    };
    if (database.reading() == CellReading::Genotypes) {
        const auto pairs = pairGenotypeLoci(database, search);
        loci = pairs.size();
        for (const GenotypeLocusPair& pair : pairs)
            add([&](auto& n, auto& v) { numberGenotypes(database, pair.database, n, v); },
                [&](auto& n, auto& v) { numberGenotypes(search, pair.search, n, v); });
    } else {
        const auto pairs = pairLoci(database, search);
        loci = pairs.size();
        for (const LocusPair& pair : pairs)
            add([&](auto& n, auto& v) { numberIntegers(database, pair.databaseColumn, n, v); },
                [&](auto& n, auto& v) { numberIntegers(search, pair.searchColumn, n, v); });
    }
    return ids;
}

LocusValueIds tableValueIds(const HaplotypeTable& table) {
    LocusValueIds ids(table.haplotypes());
    if (table.reading() == CellReading::Genotypes) {
        for (const GenotypeLocus& locus : genotypeLoci(table)) {
            LocusNumbering numbering;
            numberGenotypes(table, locus, numbering, ids.addLocus());
        }
    } else {
        for (int col = std::max(table.layout().firstLocusColumn, 0); col < table.columns(); ++col) {
            LocusNumbering numbering;
            numberIntegers(table, col, numbering, ids.addLocus());
        }
    }
    return ids;
}

} // namespace tarnwick
