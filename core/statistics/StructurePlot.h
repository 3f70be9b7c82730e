#pragma once

// The MDS plot of a population-structure run as plain geometry, in pixels of a canvas of a given
// size: what any painter draws, on screen or into a file.

#include "core/statistics/Amova.h"
#include "core/statistics/ClassicalScaling.h"
#include "core/statistics/StructureSample.h"
#include "core/text/TextWidths.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct PlotPoint {
    std::string label; // the population
    std::size_t men = 0;
    double x = 0; // the centre, in pixels from the canvas's top left corner
    double y = 0;
    double radius = 0; // the area grows with the men
    // The label's box: beside the point where it covers no other label or point if it can.
    double labelLeft = 0;
    double labelTop = 0;
    double labelWidth = 0;
    double labelHeight = 0;
};

struct PlotTick {
    double position = 0; // along its axis, in pixels
    std::string text;
};

struct StructurePlot {
    double width = 0;
    double height = 0;
    // The data area; both axes share one scale, so distances on screen are those of the scaling.
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    std::vector<PlotTick> xTicks; // from left to right
    std::vector<PlotTick> yTicks; // from bottom to top
    std::optional<double> zeroX;  // where the coordinates are 0, when inside the data area
    std::optional<double> zeroY;
    std::vector<PlotPoint> points; // one per population, in the database's order
    std::string title;
    std::string xTitle;
    std::string yTitle;
    std::string caption; // the goodness of fit and what the sizes mean
};

// The plot of the populations' scaling (one point each, in their order) of the pairwise values of
// this statistic, on a canvas of this size (at least 200 x 150 is sensible), its labels as wide
// as the measurer says and this high.
StructurePlot structurePlot(const std::vector<StructurePopulation>& populations,
                            const ClassicalScaling& scaling, StructureDistance distance,
                            double width, double height, const TextWidths& labels,
                            double labelHeight);

// The size of a plot saved to a file, by the window and by the batch tool alike.
inline constexpr int kSavedPlotWidth = 800;
inline constexpr int kSavedPlotHeight = 600;

} // namespace tarnwick
