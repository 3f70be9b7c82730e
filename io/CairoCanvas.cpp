#include "io/CairoCanvas.h"

#include "io/CairoFonts.h"

#include <numbers>

namespace tarnwick {

void CairoCanvas::setColour(PlotColour colour) {
    cairo_set_source_rgba(context_, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
                          colour.alpha / 255.0);
}

void CairoCanvas::stroke(PlotColour colour, bool dashed) {
    setColour(colour);
    cairo_set_line_width(context_, 1);
    const double pattern[] = {4, 2};
    cairo_set_dash(context_, pattern, dashed ? 2 : 0, 0);
    cairo_stroke(context_);
}

void CairoCanvas::fillAll(PlotColour colour) {
    setColour(colour);
    cairo_paint(context_);
}

void CairoCanvas::line(double x1, double y1, double x2, double y2, PlotColour colour, bool dashed) {
    cairo_move_to(context_, x1, y1);
    cairo_line_to(context_, x2, y2);
    stroke(colour, dashed);
}

void CairoCanvas::rectangleOutline(double left, double top, double right, double bottom,
                                   PlotColour colour) {
    cairo_rectangle(context_, left, top, right - left, bottom - top);
    stroke(colour, false);
}

void CairoCanvas::circle(double x, double y, double radius, PlotColour fill, PlotColour edge) {
    cairo_new_sub_path(context_);
    cairo_arc(context_, x, y, radius, 0, 2 * std::numbers::pi);
    setColour(fill);
    cairo_fill_preserve(context_);
    stroke(edge, false);
}

void CairoCanvas::text(std::string_view text, double x, double y, const PlotFont& font,
                       TextAnchor anchor, PlotColour colour, bool upright) {
    const std::string drawable = drawableText(text);
    selectPlotFont(context_, font);
    cairo_text_extents_t extents;
    cairo_text_extents(context_, drawable.c_str(), &extents);
    const double shift = anchor == TextAnchor::Start    ? 0
                         : anchor == TextAnchor::Middle ? extents.x_advance / 2
                                                        : extents.x_advance;
    cairo_save(context_);
    cairo_translate(context_, x, y);
    if (upright)
        cairo_rotate(context_, -std::numbers::pi / 2);
    cairo_move_to(context_, -shift, 0);
    setColour(colour);
    cairo_show_text(context_, drawable.c_str());
    cairo_new_path(context_);
    cairo_restore(context_);
}

} // namespace tarnwick
