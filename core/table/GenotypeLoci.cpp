#include "core/table/GenotypeLoci.h"

#include "core/genotype/LocusKeys.h"

#include <unordered_map>
#include <unordered_set>

namespace tarnwick {

std::vector<GenotypeLocus> genotypeLoci(const HaplotypeTable& table) {
    const int first = std::max(table.layout().firstLocusColumn, 0);
    std::vector<std::string> keys;
    std::unordered_map<std::string, int> firstColumnOfKey;
    for (int col = first; col < table.columns(); ++col) {
        keys.push_back(locusKey(table.title(col)));
        firstColumnOfKey.try_emplace(keys.back(), col);
    }
    const auto keyOf = [&](int col) -> const std::string& {
        return keys[static_cast<std::size_t>(col - first)];
    };
    // The b column of each split locus, found from its a column.
    std::unordered_map<int, int> secondOf;
    std::unordered_set<int> seconds;
    for (int col = first; col < table.columns(); ++col) {
        const std::string& key = keyOf(col);
        if (key.size() < 2 || key.back() != 'A')
            continue;
        const auto b = firstColumnOfKey.find(key.substr(0, key.size() - 1) + "B");
        if (b != firstColumnOfKey.end() && !seconds.contains(b->second) &&
            !secondOf.contains(col)) {
            secondOf[col] = b->second;
            seconds.insert(b->second);
        }
    }
    std::vector<GenotypeLocus> loci;
    std::unordered_set<std::string> taken;
    for (int col = first; col < table.columns(); ++col) {
        if (seconds.contains(col))
            continue;
        GenotypeLocus locus{keyOf(col), col, -1, table.title(col)};
        if (const auto b = secondOf.find(col); b != secondOf.end()) {
            locus.key.pop_back();
            locus.secondColumn = b->second;
            locus.title = titleWithoutCopy(locus.title);
        }
        locus.bothCopiesOfOne = locus.secondColumn < 0 && isDuplicatedLocus(locus.key);
        if (taken.insert(locus.key).second)
            loci.push_back(std::move(locus));
    }
    return loci;
}

std::vector<GenotypeLocusPair> pairGenotypeLoci(const HaplotypeTable& database,
                                                const HaplotypeTable& search) {
    std::unordered_map<std::string, GenotypeLocus> searchLoci;
    for (GenotypeLocus& locus : genotypeLoci(search))
        searchLoci.emplace(locus.key, std::move(locus));
    std::vector<GenotypeLocusPair> pairs;
    for (GenotypeLocus& locus : genotypeLoci(database))
        if (const auto found = searchLoci.find(locus.key); found != searchLoci.end())
            pairs.push_back({std::move(locus), found->second});
    return pairs;
}

GenotypeLocus columnLocus(const HaplotypeTable& table, int column) {
    std::string key = locusKey(table.title(column));
    const bool duplicated = isDuplicatedLocus(key);
    return {std::move(key), column, -1, table.title(column), duplicated};
}

Genotype genotypeAt(const HaplotypeTable& table, int column, std::size_t haplotype) {
    if (!table.isLocusColumn(column) || haplotype >= table.haplotypes())
        return {};
    const LocusColumn& locus = table.locusColumn(column);
    if (locus.hasOwnText(haplotype)) {
        std::string scratch;
        return readGenotype(locus.text(haplotype, scratch));
    }
    const std::int64_t value = locus.value(haplotype);
    if (value == LocusColumn::kUntyped)
        return {};
    Genotype genotype;
    if (value == 0)
        genotype.kind = Genotype::Kind::Null;
    else if (value >= 1 && value <= 999)
        genotype = Genotype::ofRepeats(static_cast<int>(value));
    else
        genotype.kind = Genotype::Kind::Fault;
    return genotype;
}

Genotype genotypeAt(const HaplotypeTable& table, const GenotypeLocus& locus,
                    std::size_t haplotype) {
    const Genotype first = genotypeAt(table, locus.column, haplotype);
    if (locus.bothCopiesOfOne)
        return asBothCopies(first);
    if (locus.secondColumn < 0)
        return first;
    return combinedCopies(first, genotypeAt(table, locus.secondColumn, haplotype));
}

} // namespace tarnwick
