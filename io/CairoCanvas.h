#pragma once

#include "io/CairoHandles.h"
#include "io/PlotCanvas.h"

namespace tarnwick {

// Paints onto a cairo context, antialiased; the context stays the caller's.
class CairoCanvas : public PlotCanvas {
public:
    explicit CairoCanvas(cairo_t* context) : context_(context) {}

    void fillAll(PlotColour colour) override;
    void line(double x1, double y1, double x2, double y2, PlotColour colour, bool dashed) override;
    void rectangleOutline(double left, double top, double right, double bottom,
                          PlotColour colour) override;
    void circle(double x, double y, double radius, PlotColour fill, PlotColour edge) override;
    void text(std::string_view text, double x, double y, const PlotFont& font, TextAnchor anchor,
              PlotColour colour, bool upright) override;

private:
    void setColour(PlotColour colour);
    void stroke(PlotColour colour, bool dashed);

    cairo_t* context_;
};

} // namespace tarnwick
