#pragma once

// The population-structure plot (core/statistics/StructurePlot.h) painted as the window paints
// it: the frame, dashed zero lines, ticks, titles, the caption, then the points (largest first)
// and their labels.

#include "core/statistics/StructurePlot.h"
#include "io/CairoFonts.h"
#include "io/PlotCanvas.h"

#include <vector>

namespace tarnwick {

// The plot at this size, its labels measured in the font they are painted in.
StructurePlot structurePlotIn(const CairoFonts& fonts,
                              const std::vector<StructurePopulation>& populations,
                              const ClassicalScaling& scaling, StructureDistance distance,
                              double width, double height);

void paintStructurePlot(PlotCanvas& canvas, const StructurePlot& plot, const CairoFonts& fonts);

} // namespace tarnwick
