#pragma once

// Locus cells read as genotypes, as geneticists write them: missing marks, null alleles,
// microvariants (partial repeats) and the alleles of multi-copy loci.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

struct Genotype {
    enum class Kind : std::uint8_t {
        Missing, // the locus was not typed: never compared, never a fault
        Null,    // a null allele
        Alleles, // one allele, or the copies of a multi-copy locus
        Fault,   // anything else
    };
    static constexpr std::size_t kMaxAlleles = 16;
    static constexpr int kGreatestRepeats = 999;

    Kind kind = Kind::Missing;
    std::uint8_t count = 0;
    // Each allele as repeats * 10 + partial repeat (13.2 is 132), ascending.
    std::array<std::uint16_t, kMaxAlleles> alleles{};

    bool typed() const { return kind == Kind::Null || kind == Kind::Alleles; }
    // One allele of whole repeats: what the 16-bit comparison can take.
    bool isWholeRepeats() const {
        return kind == Kind::Alleles && count == 1 && alleles[0] % 10 == 0;
    }
    static Genotype ofRepeats(int repeats);
};

// Reads a cell by the genotype rules: surrounding spaces and tabs and one leading apostrophe
// ignored; "", "-", "--", "?", "NA", "N/A", "ND", "NR" missing; "0" or "null" a null allele;
// n or n.p (n 1 to 999, p one digit, n.0 being n) an allele; 2 to 16 alleles separated by
// "," "/" ";" or "-" (spaces allowed around them) the copies of a multi-copy locus.
Genotype readGenotype(std::string_view text);

// As "show --genotypes" prints it: "14", "13.2", "12,13", "null", and "" for a missing locus
// (or a fault).
std::string genotypeText(const Genotype& genotype);

// The two cells of a locus split into columns a and b, as one: the alleles of both, sorted; an
// allele beats a null; missing when both are. A fault in either is the fault.
Genotype combinedCopies(const Genotype& a, const Genotype& b);

// A single allele as the two copies of a duplicated locus written once (14 is 14,14); anything
// else as it is.
Genotype asBothCopies(const Genotype& genotype);

// Steps between two typed genotypes: between single alleles the difference in repeats, plus 1
// when the partial repeats differ; null and null 0, null and anything else 1; lists of equal
// length the sum over their sorted pairs; of different lengths the difference in length plus the
// least sum over pairings of the shorter list's values with distinct values of the longer one,
// order kept.
std::int64_t genotypeSteps(const Genotype& a, const Genotype& b);

} // namespace tarnwick
