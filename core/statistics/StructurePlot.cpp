#include "core/statistics/StructurePlot.h"

#include "core/statistics/MatchProbabilities.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tarnwick {
namespace {

constexpr double kMarginLeft = 58;
constexpr double kMarginRight = 14;
constexpr double kMarginTop = 30;
constexpr double kMarginBottom = 80; // tick labels, the axis title and two lines of caption

// A step of 1, 2 or 5 times a power of ten giving about five ticks over the span.
double tickStep(double span) {
    const double raw = span / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double normalised = raw / magnitude;
    const double factor = normalised < 1.5 ? 1 : normalised < 3 ? 2 : normalised < 7 ? 5 : 10;
    return factor * magnitude;
}

std::string tickText(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    if (std::abs(value) < step / 2)
        value = 0; // no "-0"
    char digits[64];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals)
            .ptr;
    return {digits, end};
}

// Ticks at the multiples of the step within [low, high], at pixels from a running one way or
// the other.
std::vector<PlotTick> ticks(double low, double high, double origin, double pixelsPerUnit) {
    const double step = tickStep(high - low);
    std::vector<PlotTick> result;
    for (double k = std::ceil(low / step); k * step <= high + step * 1e-9; ++k)
        result.push_back({origin + (k * step - low) * pixelsPerUnit, tickText(k * step, step)});
    return result;
}

struct Box {
    double left, top, right, bottom;
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    bool inside(const Box& other) const {
        return left >= other.left && right <= other.right && top >= other.top &&
               bottom <= other.bottom;
    }
};

Box circleBox(const PlotPoint& point) {
    return {point.x - point.radius, point.y - point.radius, point.x + point.radius,
            point.y + point.radius};
}

// Each label in turn goes right of its point, else left, above or below it: the first of these
// that covers the fewest labels placed before it and points, keeping within the data area.
void placeLabels(StructurePlot& plot) {
    const Box frame{plot.left, plot.top, plot.right, plot.bottom};
    std::vector<Box> placed;
    for (std::size_t p = 0; p < plot.points.size(); ++p) {
        PlotPoint& point = plot.points[p];
        const double w = point.labelWidth;
        const double h = point.labelHeight;
        const double gap = point.radius + 3;
        const Box candidates[] = {
            {point.x + gap, point.y - h / 2, point.x + gap + w, point.y + h / 2},
            {point.x - gap - w, point.y - h / 2, point.x - gap, point.y + h / 2},
            {point.x - w / 2, point.y - gap - h, point.x + w / 2, point.y - gap},
            {point.x - w / 2, point.y + gap, point.x + w / 2, point.y + gap + h},
        };
        const Box* best = nullptr;
        int bestCost = 0;
        for (const Box& candidate : candidates) {
            int cost = candidate.inside(frame) ? 0 : 100;
            for (const Box& other : placed)
                cost += candidate.overlaps(other) ? 10 : 0;
            for (std::size_t q = 0; q < plot.points.size(); ++q)
                cost += q != p && candidate.overlaps(circleBox(plot.points[q])) ? 3 : 0;
            if (!best || cost < bestCost) {
                best = &candidate;
                bestCost = cost;
            }
        }
        point.labelLeft = best->left;
        point.labelTop = best->top;
        placed.push_back(*best);
    }
}

} // namespace

StructurePlot structurePlot(const std::vector<StructurePopulation>& populations,
                            const ClassicalScaling& scaling, StructureDistance distance,
                            double width, double height, const TextWidths& labels,
                            double labelHeight) {
    StructurePlot plot;
    plot.width = width;
    plot.height = height;
    plot.left = kMarginLeft;
    plot.top = kMarginTop;
    plot.right = std::max(width - kMarginRight, plot.left + 1);
    plot.bottom = std::max(height - kMarginBottom, plot.top + 1);
    const double frameWidth = plot.right - plot.left;
    const double frameHeight = plot.bottom - plot.top;

    const auto& coordinates = scaling.points;
    double lowX = 0, highX = 0, lowY = 0, highY = 0;
    if (!coordinates.empty()) {
        lowX = highX = coordinates[0][0];
        lowY = highY = coordinates[0][1];
    }
    for (const auto& point : coordinates) {
        lowX = std::min(lowX, point[0]);
        highX = std::max(highX, point[0]);
        lowY = std::min(lowY, point[1]);
        highY = std::max(highY, point[1]);
    }
    // Room around the points for their circles; one unit when they all lie in one place.
    double span = std::max(highX - lowX, highY - lowY);
    if (!(span > 0))
        span = 1;
    const double pad = span * 0.15;
    const double pixelsPerUnit =
        std::min(frameWidth / (highX - lowX + 2 * pad), frameHeight / (highY - lowY + 2 * pad));
    const double visibleLowX = (lowX + highX) / 2 - frameWidth / pixelsPerUnit / 2;
    const double visibleLowY = (lowY + highY) / 2 - frameHeight / pixelsPerUnit / 2;
    const double visibleHighX = visibleLowX + frameWidth / pixelsPerUnit;
    const double visibleHighY = visibleLowY + frameHeight / pixelsPerUnit;
    const auto pixelX = [&](double x) { return plot.left + (x - visibleLowX) * pixelsPerUnit; };
    const auto pixelY = [&](double y) { return plot.bottom - (y - visibleLowY) * pixelsPerUnit; };

    plot.xTicks = ticks(visibleLowX, visibleHighX, plot.left, pixelsPerUnit);
    plot.yTicks = ticks(visibleLowY, visibleHighY, plot.bottom, -pixelsPerUnit);
    if (visibleLowX < 0 && visibleHighX > 0)
        plot.zeroX = pixelX(0);
    if (visibleLowY < 0 && visibleHighY > 0)
        plot.zeroY = pixelY(0);

    std::size_t mostMen = 1;
    for (const StructurePopulation& population : populations)
        mostMen = std::max(mostMen, population.men);
    const double largest = std::clamp(std::min(frameWidth, frameHeight) / 18, 5.0, 14.0);
    for (std::size_t p = 0; p < coordinates.size() && p < populations.size(); ++p) {
        PlotPoint point;
        point.label = populations[p].name;
        point.men = populations[p].men;
        point.x = pixelX(coordinates[p][0]);
        point.y = pixelY(coordinates[p][1]);
        point.radius = std::max(2.5, largest * std::sqrt(static_cast<double>(point.men) /
                                                         static_cast<double>(mostMen)));
        point.labelWidth = labels.widthOf(point.label);
        point.labelHeight = labelHeight;
        plot.points.push_back(point);
    }
    placeLabels(plot);

    const std::string statistic = structureStatisticSymbol(distance);
    plot.title = "MDS of pairwise " + statistic;
    plot.xTitle = "Coordinate 1";
    plot.yTitle = "Coordinate 2";
    plot.caption =
        "Goodness of fit " +
        (scaling.goodnessOfFit ? sixDigits(*scaling.goodnessOfFit) : std::string("none")) +
        "; circle areas grow with the men of each population";
    return plot;
}

} // namespace tarnwick
