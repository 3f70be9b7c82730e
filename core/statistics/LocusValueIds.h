#pragma once

// The values of haplotypes at loci as small numbers, equal numbers for equal values (0: not
// typed), so that haplotypes compare over any set of loci by comparing numbers.

#include "core/table/HaplotypeTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tarnwick {

class LocusValueIds {
public:
    static constexpr std::uint32_t kUntyped = 0;

    explicit LocusValueIds(std::size_t haplotypes = 0) : haplotypes_(haplotypes) {}

    std::size_t loci() const { return ids_.size(); }
    std::size_t haplotypes() const { return haplotypes_; }
    std::uint32_t at(std::size_t locus, std::size_t haplotype) const {
        return ids_[locus][haplotype];
    }
    // A further locus, every haplotype untyped there until numbered.
    std::vector<std::uint32_t>& addLocus() { return ids_.emplace_back(haplotypes_, kUntyped); }

private:
    std::size_t haplotypes_;
    std::vector<std::vector<std::uint32_t>> ids_; // [locus][haplotype]
};

// The paired loci of a database and a search table, by the reading the tables were loaded with
// (pairLoci for integers, pairGenotypeLoci for genotypes), both tables numbered alike. Told
// before each locus is numbered (locus of loci), a pass over every haplotype; it may stop the
// numbering by raising.
struct PairedValueIds {
    LocusValueIds database;
    LocusValueIds search;
};
using EachLocus = std::function<void(std::size_t locus, std::size_t loci)>;
PairedValueIds pairedValueIds(const HaplotypeTable& database, const HaplotypeTable& search,
                              const EachLocus& eachLocus = {});

// Every locus of a table: under the integer reading each locus column, under the genotype
// reading each locus as genotypeLoci() has them (a and b columns as one).
LocusValueIds tableValueIds(const HaplotypeTable& table);

} // namespace tarnwick
