#pragma once

#include "io/PlotCanvas.h"

#include <string>
#include <string_view>

namespace tarnwick {

// Writes what is painted as an SVG 1.1 document of plain elements (rect, line, circle, text), so
// that its texts stay texts: searchable, selectable and editable in a drawing program.
class SvgCanvas : public PlotCanvas {
public:
    SvgCanvas(double width, double height, std::string_view title);

    void fillAll(PlotColour colour) override;
    void line(double x1, double y1, double x2, double y2, PlotColour colour, bool dashed) override;
    void rectangleOutline(double left, double top, double right, double bottom,
                          PlotColour colour) override;
    void circle(double x, double y, double radius, PlotColour fill, PlotColour edge) override;
    void text(std::string_view text, double x, double y, const PlotFont& font, TextAnchor anchor,
              PlotColour colour, bool upright) override;

    // The whole document; nothing more can be painted.
    std::string finish();

private:
    std::string svg_;
    double width_;
    double height_;
};

// The text as XML character data or an attribute's value: markup characters escaped, characters
// XML cannot hold left out, bytes that are not UTF-8 read as Latin-1.
std::string xmlEscaped(std::string_view text);

} // namespace tarnwick
