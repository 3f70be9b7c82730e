// The genotype reading's rules for cells, steps and locus names, example by example.
#include "core/genotype/Genotype.h"
#include "core/genotype/LocusKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

// How a cell is understood: "missing", "fault", or the genotype as show --genotypes prints it.
std::string understood(const std::string& text) {
    const Genotype genotype = readGenotype(text);
    switch (genotype.kind) {
    case Genotype::Kind::Missing:
        return "missing";
    case Genotype::Kind::Fault:
        return "fault";
    default:
        return genotypeText(genotype);
    }
}

TEST(GenotypeCells, ReadByTheRules) {
    const struct {
        const char* cell;
        const char* understood;
    } cases[] = {
        // missing marks, never faults
        {"", "missing"},
        {"-", "missing"},
        {"--", "missing"},
        {"?", "missing"},
        {"NA", "missing"},
        {"na", "missing"},
        {"N/A", "missing"},
        {"n/a", "missing"},
        {"ND", "missing"},
        {"NR", "missing"},
        {" NA\t", "missing"},
        {"'--", "missing"},
        {"   ", "missing"},
        // null alleles
        {"0", "null"},
        {"null", "null"},
        {"NULL", "null"},
        {" Null ", "null"},
        // alleles
        {"14", "14"},
        {"013", "13"},
        {"13.2", "13.2"},
        {"13.0", "13"},
        {" 14 ", "14"},
        {"'14", "14"},
        {"1", "1"},
        {"999", "999"},
        {"0999", "999"},
        // multi-copy loci, sorted
        {"12,13", "12,13"},
        {"13/12", "12,13"},
        {"12;13", "12,13"},
        {"12-13", "12,13"},
        {"12 , 13", "12,13"},
        {"11, 14", "11,14"},
        {"37,39,41", "37,39,41"},
        {"12,13.2", "12,13.2"},
        {"13,13", "13,13"},
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"},
        // faults
        {"17a", "fault"},
        {"x", "fault"},
        {"1000", "fault"},
        {"0.2", "fault"},
        {"13.25", "fault"},
        {"13.", "fault"},
        {".5", "fault"},
        {"12 13", "fault"},
        {"12,,13", "fault"},
        {"12,", "fault"},
        {"12,0", "fault"},
        {"-5", "fault"},
        {"1e3", "fault"},
        {"''14", "fault"},
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17", "fault"},
        {"---", "fault"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(understood(c.cell), c.understood) << "cell \"" << c.cell << "\"";
}

TEST(GenotypeCells, StepsBetweenTypedCells) {
    const struct {
        const char* a;
        const char* b;
        std::int64_t steps;
    } cases[] = {
        {"13", "15", 2},       {"13.2", "13", 1},       {"13.2", "14", 2},
        {"13.2", "13.2", 0},   {"13.1", "13.2", 1},     {"null", "null", 0},
        {"0", "14", 1},        {"null", "12,13", 1},    {"12,13", "12,14", 1},
        {"11,14", "14,11", 0}, {"13", "13,16", 1},      {"37,39,41", "37,40", 2},
        {"12", "15,16,17", 5}, {"12,13", "12,13.2", 1}, {"35,36", "11,14", 46},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(genotypeSteps(readGenotype(c.a), readGenotype(c.b)), c.steps)
            << c.a << " vs " << c.b;
        EXPECT_EQ(genotypeSteps(readGenotype(c.b), readGenotype(c.a)), c.steps)
            << c.b << " vs " << c.a;
    }
}

TEST(GenotypeCells, SplitColumnsCombine) {
    const struct {
        const char* a;
        const char* b;
        const char* combined;
    } cases[] = {
        {"14", "11", "11,14"},     {"0", "12", "12"},    {"--", "12", "12"},
        {"--", "NA", "missing"},   {"0", "--", "null"},  {"0", "0", "null"},
        {"12,13", "9", "9,12,13"}, {"x", "12", "fault"},
    };
    for (const auto& c : cases) {
        const Genotype combined = combinedCopies(readGenotype(c.a), readGenotype(c.b));
        const std::string text = combined.kind == Genotype::Kind::Missing ? "missing"
                                 : combined.kind == Genotype::Kind::Fault ? "fault"
                                                                          : genotypeText(combined);
        EXPECT_EQ(text, c.combined) << c.a << " + " << c.b;
    }
}

TEST(LocusKeys, NamesAsKitsWriteThem) {
    const struct {
        const char* title;
        const char* key;
    } cases[] = {
        {"DYS389 I", "DYS389I"},  {"DYS389I", "DYS389I"},
        {"dys389ii", "DYS389II"}, {"DYS385a/b", "DYS385"},
        {"DYS385 a/b", "DYS385"}, {"DYS385a", "DYS385A"},
        {"DYS385 b", "DYS385B"},  {"Y-GATA-H4", "GATAH4"},
        {"YGATAH4", "GATAH4"},    {"GATA H4", "GATAH4"},
        {"DYS394", "DYS19"},      {"DYS395", "DYS393"},
        {"Y-GATA-A4", "DYS439"},  {"GATA A7.1", "DYS460"},
        {"GATA_A7.2", "DYS461"},  {"GATA C4", "DYS635"},
        {"dys_19", "DYS19"},      {"DYF387S1", "DYF387S1"},
        {"YGATA", "GATA"},        {"Y", "Y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(locusKey(c.title), c.key) << c.title;
    EXPECT_EQ(titleWithoutCopy("DYS385a"), "DYS385");
    EXPECT_EQ(titleWithoutCopy("DYS385 A"), "DYS385");
    EXPECT_EQ(titleWithoutCopy("DYS385-a"), "DYS385");
    EXPECT_EQ(titleWithoutCopy("DYS385._a"), "DYS385");
}

} // namespace
} // namespace tarnwick
