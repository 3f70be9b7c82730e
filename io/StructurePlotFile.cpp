#include "io/StructurePlotFile.h"

#include "core/Error.h"
#include "io/CairoCanvas.h"
#include "io/ReplacingFile.h"
#include "io/StructurePlotPainting.h"
#include "io/SvgCanvas.h"

#include <algorithm>
#include <cctype>

namespace tarnwick {
namespace {

void raiseIfFailed(cairo_status_t status, const std::string& fileName) {
    if (status != CAIRO_STATUS_SUCCESS)
        throw Error("Cannot draw the plot for \"" + fileName +
                    "\": " + cairo_status_to_string(status));
}

cairo_status_t appendTo(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string pngOf(const StructurePlot& plot, const CairoFonts& fonts, const std::string& fileName) {
    const CairoSurface surface(cairo_image_surface_create(
        CAIRO_FORMAT_RGB24, static_cast<int>(plot.width), static_cast<int>(plot.height)));
    raiseIfFailed(cairo_surface_status(surface.get()), fileName);
    const CairoContext context(cairo_create(surface.get()));
    raiseIfFailed(cairo_status(context.get()), fileName);
    CairoCanvas canvas(context.get());
    paintStructurePlot(canvas, plot, fonts);
    raiseIfFailed(cairo_status(context.get()), fileName);
    cairo_surface_flush(surface.get());
    std::string bytes;
    raiseIfFailed(cairo_surface_write_to_png_stream(surface.get(), appendTo, &bytes), fileName);
    return bytes;
}

std::string svgOf(const StructurePlot& plot, const CairoFonts& fonts) {
    SvgCanvas canvas(plot.width, plot.height, plot.title);
    paintStructurePlot(canvas, plot, fonts);
    return canvas.finish();
}

void writeWhole(const std::string& bytes, const std::string& fileName) {
    ReplacingFile file(fileName); // its own error names the file
    try {
        file.write(bytes);
        file.commit();
    } catch (const Error& error) {
        throw Error("Cannot write the plot to \"" + fileName + "\": " + error.what());
    }
}

} // namespace

std::optional<PlotFormat> plotFormatOf(const std::string& fileName) {
    const auto dot = fileName.find_last_of("./");
    if (dot == std::string::npos || fileName[dot] != '.')
        return std::nullopt;
    std::string extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "svg")
        return PlotFormat::Svg;
    if (extension == "png")
        return PlotFormat::Png;
    return std::nullopt;
}

void writeStructurePlot(const std::vector<StructurePopulation>& populations,
                        const ClassicalScaling& scaling, StructureDistance distance,
                        const std::string& fileName) {
    const auto format = plotFormatOf(fileName);
    if (!format)
        throw Error("Cannot save the plot as \"" + fileName + "\": give a name ending in " +
                    kPlotExtensions + ".");
    const CairoFonts fonts;
    const StructurePlot plot =
        structurePlotIn(fonts, populations, scaling, distance, kSavedPlotWidth, kSavedPlotHeight);
    writeWhole(*format == PlotFormat::Svg ? svgOf(plot, fonts) : pngOf(plot, fonts, fileName),
               fileName);
}

} // namespace tarnwick
