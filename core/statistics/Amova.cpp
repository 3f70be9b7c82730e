#include "core/statistics/Amova.h"

namespace tarnwick {

std::string structureStatisticName(StructureDistance distance) {
    return distance == StructureDistance::Rst ? "RST" : "PhiST";
}

std::string structureStatisticSymbol(StructureDistance distance) {
    return distance == StructureDistance::Rst ? "RST" : "\u03A6ST";
}

std::optional<double> Amova::percentAmong() const {
    if (!phi)
        return std::nullopt;
    return 100 * *phi;
}

std::optional<double> Amova::linearised() const {
    if (!phi || *phi == 1)
        return std::nullopt;
    return *phi / (1 - *phi);
}

Amova amovaOf(std::span<const std::size_t> sizes, double ssdTotal, double ssdWithin) {
    Amova a;
    a.populations = sizes.size();
    double squares = 0;
    for (const std::size_t n : sizes) {
        a.men += n;
        squares += static_cast<double>(n) * static_cast<double>(n);
    }
    a.dfAmong = a.populations - 1;
    a.dfWithin = a.men - a.populations;
    const double men = static_cast<double>(a.men);
    const double dfAmong = static_cast<double>(a.dfAmong);
    a.n0 = (men - squares / men) / dfAmong;
    a.ssdWithin = ssdWithin;
    a.ssdAmong = ssdTotal - ssdWithin;
    a.varianceWithin = ssdWithin / static_cast<double>(a.dfWithin);
    a.varianceAmong = (a.ssdAmong / dfAmong - a.varianceWithin) / a.n0;
    const double total = a.varianceAmong + a.varianceWithin;
    if (total != 0)
        a.phi = a.varianceAmong / total;
    return a;
}

} // namespace tarnwick
