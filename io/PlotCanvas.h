#pragma once

// What a plot is drawn with when it goes into a file: a few shapes and lines of text, in pixels
// from the canvas's top left corner, painted in the order they are given.

#include <cstdint>
#include <string_view>

namespace tarnwick {

struct PlotColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
};

// A size in pixels (the em square) of the plot's one family, "DejaVu Sans".
struct PlotFont {
    double pixels = 11;
    bool bold = false;
};
inline constexpr const char* kPlotFontFamily = "DejaVu Sans";

// Where a line of text stands against the x it is given.
enum class TextAnchor { Start, Middle, End };

class PlotCanvas {
public:
    virtual ~PlotCanvas() = default;

    virtual void fillAll(PlotColour colour) = 0;
    // One pixel wide; a dashed line runs 4 pixels drawn, 2 not.
    virtual void line(double x1, double y1, double x2, double y2, PlotColour colour,
                      bool dashed) = 0;
    virtual void rectangleOutline(double left, double top, double right, double bottom,
                                  PlotColour colour) = 0;
    // Filled, then edged one pixel wide.
    virtual void circle(double x, double y, double radius, PlotColour fill, PlotColour edge) = 0;
    // One line of UTF-8 text on the baseline through y; upright text reads from bottom to top,
    // turned a quarter about (x, y).
    virtual void text(std::string_view text, double x, double y, const PlotFont& font,
                      TextAnchor anchor, PlotColour colour, bool upright = false) = 0;
};

} // namespace tarnwick
