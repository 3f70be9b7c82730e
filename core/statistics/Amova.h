#pragma once

// The analysis of molecular variance (Excoffier, Smouse & Quattro 1992, Genetics 131:479-491)
// with one level of populations, from the sums of squared distances.

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace tarnwick {

// The distance between two men: `Rst` the sum over loci of the squared difference in repeats
// (Slatkin 1995, Genetics 139:457-462), `Fst` the number of loci at which they differ.
enum class StructureDistance { Rst, Fst };

// The statistic's name as the tables write it (ASCII, so that a table of population names in any
// one code page can still be saved) and as dialogs and plots show it.
std::string structureStatisticName(StructureDistance distance);
std::string structureStatisticSymbol(StructureDistance distance);

// N men in P populations of sizes n_p. SSD(g) = sum over ordered pairs of men in g of d / (2 n_g);
// ssdWithin = sum of SSD(p), ssdAmong = SSD(all) - ssdWithin; n0 = (N - sum n_p^2 / N) / (P - 1);
// varianceWithin = ssdWithin / (N - P); varianceAmong = (ssdAmong / (P - 1) - varianceWithin) /
// n0; phi = varianceAmong / (varianceAmong + varianceWithin), none when that sum is 0. Negative
// components and phi stand as they come.
struct Amova {
    std::size_t populations = 0;
    std::size_t men = 0;
    std::size_t dfAmong = 0;
    std::size_t dfWithin = 0;
    double ssdAmong = 0;
    double ssdWithin = 0;
    double n0 = 0;
    double varianceAmong = 0;
    double varianceWithin = 0;
    std::optional<double> phi;

    // 100 phi: the share of the variance among populations, in percent.
    std::optional<double> percentAmong() const;
    // phi / (1 - phi), none for phi = 1 (Slatkin's linearised distance).
    std::optional<double> linearised() const;
};

// The AMOVA of populations of these sizes (at least 2 of at least 1 man, N > P) given SSD(all)
// and the within-population SSD.
Amova amovaOf(std::span<const std::size_t> sizes, double ssdTotal, double ssdWithin);

} // namespace tarnwick
