#include "core/statistics/StructureSample.h"

#include "core/Error.h"
#include "core/genotype/LocusKeys.h"
#include "core/statistics/PopulationSummary.h"
#include "core/table/GenotypeLoci.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tarnwick {
namespace {

std::optional<LeftOutReason> problemOfKind(const Genotype& genotype) {
    switch (genotype.kind) {
    case Genotype::Kind::Missing:
        return LeftOutReason::Missing;
    case Genotype::Kind::Null:
        return LeftOutReason::NullAllele;
    case Genotype::Kind::Fault:
        return LeftOutReason::Unreadable;
    case Genotype::Kind::Alleles:
        break;
    }
    return std::nullopt;
}

// A locus of the table as the analysis reads it: one or two loci of the sample.
struct SourceLocus {
    GenotypeLocus locus;
    std::size_t copies;
    std::size_t firstSampleLocus;
};

// The repeats of a man at a locus, or why he is left out.
std::optional<LeftOutReason> readLocus(const HaplotypeTable& table, const SourceLocus& source,
                                       std::size_t h, std::int32_t* repeats) {
    Genotype genotype;
    if (source.locus.secondColumn < 0) {
        genotype = genotypeAt(table, source.locus, h);
    } else {
        // Each column of a split locus on its own first: a null or a missing copy is one, even
        // where the combined genotype would hide it behind the other copy.
        const Genotype first = genotypeAt(table, source.locus.column, h);
        const Genotype second = genotypeAt(table, source.locus.secondColumn, h);
        for (const Genotype* part : {&first, &second})
            if (const auto problem = problemOfKind(*part))
                return problem;
        genotype = combinedCopies(first, second);
    }
    if (const auto problem = problemOfKind(genotype))
        return problem;
    for (std::size_t i = 0; i < genotype.count; ++i)
        if (genotype.alleles[i] % 10 != 0)
            return LeftOutReason::PartialRepeat;
    if (genotype.count > source.copies)
        return LeftOutReason::SeveralCopies;
    if (genotype.count < source.copies)
        return LeftOutReason::OneCopy;
    for (std::size_t i = 0; i < source.copies; ++i) // ascending already
        repeats[i] = genotype.alleles[i] / 10;
    return std::nullopt;
}

std::vector<SourceLocus> sourceLoci(const HaplotypeTable& table, std::vector<std::string>& titles) {
    std::vector<SourceLocus> sources;
    for (GenotypeLocus& locus : genotypeLoci(table)) {
        // The two copies of a duplicated locus are two loci (the online AMOVA tool's rule for
        // DYS385 and DYF387S1, followed by the field).
        const std::size_t copies = isDuplicatedLocus(locus.key) ? 2 : 1;
        if (copies == 2) {
            titles.push_back(locus.title + " (1)");
            titles.push_back(locus.title + " (2)");
        } else {
            titles.push_back(locus.title);
        }
        sources.push_back({std::move(locus), copies, titles.size() - copies});
    }
    return sources;
}

std::optional<std::size_t> sampleLocusOfKey(const std::vector<SourceLocus>& sources,
                                            const std::string& key) {
    for (const SourceLocus& source : sources)
        if (source.locus.key == key)
            return source.firstSampleLocus;
    return std::nullopt;
}

void refuseSmallPopulations(const std::vector<StructurePopulation>& populations) {
    std::string names;
    for (const StructurePopulation& p : populations)
        if (p.men < 2)
            names += (names.empty() ? "" : ", ") +
                     ("\"" + p.name + "\" (" + std::to_string(p.men) + " left, " +
                      std::to_string(p.leftOut) + " left out)");
    if (!names.empty())
        throw Error("Too few men for the population structure in " + names +
                    ": each population needs at least 2 men with one whole repeat count at "
                    "every locus");
    if (populations.size() < 2)
        throw Error("The population structure needs at least 2 populations; the database has " +
                    std::to_string(populations.size()));
}

} // namespace

std::string_view leftOutReasonText(LeftOutReason reason) {
    switch (reason) {
    case LeftOutReason::Missing:
        return "missing";
    case LeftOutReason::NullAllele:
        return "null allele";
    case LeftOutReason::PartialRepeat:
        return "partial repeat";
    case LeftOutReason::SeveralCopies:
        return "several copies";
    case LeftOutReason::OneCopy:
        return "one copy of two";
    case LeftOutReason::Unreadable:
        return "unreadable";
    }
    return "";
}

std::size_t StructureSample::firstMan(std::size_t p) const {
    std::size_t first = 0;
    for (std::size_t q = 0; q < p; ++q)
        first += populations[q].men;
    return first;
}

StructureSample structureSample(const HaplotypeTable& database, bool listLeftOutMen) {
    StructureSample sample;
    const std::vector<SourceLocus> sources = sourceLoci(database, sample.loci);
    if (sample.loci.empty())
        throw Error("The population structure needs at least one locus; the database has none");
    // Repeat counts of DYS389II include those of DYS389I: the analysis takes the part beyond it.
    const auto first389 = sampleLocusOfKey(sources, "DYS389I");
    const auto second389 = sampleLocusOfKey(sources, "DYS389II");
    if (second389 && !first389)
        throw Error("DYS389II is taken less DYS389I, and the database has no DYS389I");

    const PopulationIndex index = populationIndex(database);
    for (const std::string& name : index.names)
        sample.populations.push_back({name});
    const std::size_t loci = sample.loci.size();
    std::vector<std::vector<std::size_t>> menOf(index.names.size());
    std::vector<std::vector<std::int32_t>> repeatsOf(index.names.size());
    std::vector<std::int32_t> repeats(loci);
    for (std::size_t h = 0; h < database.haplotypes(); ++h) {
        const int population = index.ofHaplotype[h];
        if (population < 0)
            continue;
        const auto p = static_cast<std::size_t>(population);
        std::optional<LeftOutReason> problem;
        const SourceLocus* at = nullptr;
        for (const SourceLocus& source : sources) {
            problem = readLocus(database, source, h, repeats.data() + source.firstSampleLocus);
            if (problem) {
                at = &source;
                break;
            }
        }
        if (problem) {
            ++sample.populations[p].leftOut;
            if (listLeftOutMen)
                sample.leftOutMen.push_back({h, p, at->locus.title, *problem});
            continue;
        }
        if (second389)
            repeats[*second389] -= repeats[*first389];
        ++sample.populations[p].men;
        menOf[p].push_back(h);
        repeatsOf[p].insert(repeatsOf[p].end(), repeats.begin(), repeats.end());
    }
    refuseSmallPopulations(sample.populations);
    for (std::size_t p = 0; p < menOf.size(); ++p) {
        sample.haplotypes.insert(sample.haplotypes.end(), menOf[p].begin(), menOf[p].end());
        sample.repeats.insert(sample.repeats.end(), repeatsOf[p].begin(), repeatsOf[p].end());
    }
    return sample;
}

} // namespace tarnwick
