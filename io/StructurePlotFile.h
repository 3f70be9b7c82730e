#pragma once

// The population-structure plot written into a file, as the window's "Save plot" writes it.

#include "core/statistics/Amova.h"
#include "core/statistics/ClassicalScaling.h"
#include "core/statistics/StructureSample.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

enum class PlotFormat { Svg, Png };

// By the name's extension, in any case: .svg or .png; none for any other.
std::optional<PlotFormat> plotFormatOf(const std::string& fileName);
inline constexpr const char* kPlotExtensions = ".svg or .png";

// Writes the plot of the populations' scaling of the pairwise values of this statistic,
// kSavedPlotWidth x kSavedPlotHeight pixels, as SVG or PNG by the file's extension; the file is
// replaced only once written whole. Raises an Error naming the file for any other extension or
// when it cannot be written.
void writeStructurePlot(const std::vector<StructurePopulation>& populations,
                        const ClassicalScaling& scaling, StructureDistance distance,
                        const std::string& fileName);

} // namespace tarnwick
