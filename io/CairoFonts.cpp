#include "io/CairoFonts.h"

#include "core/Error.h"
#include "io/Unicode.h"

namespace tarnwick {

void selectPlotFont(cairo_t* context, const PlotFont& font) {
    cairo_select_font_face(context, kPlotFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(context, font.pixels);
    // Advances as the font designs them, not rounded to whole pixels glyph by glyph: texts
    // measure and space as the window's do.
    const CairoFontOptions options(cairo_font_options_create());
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(context, options.get());
}

std::string drawableText(std::string_view text) {
    return isValidUtf8(text) ? std::string(text) : latin1ToUtf8(text);
}

CairoFonts::CairoFonts()
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)),
      context_(cairo_create(surface_.get())) {
    if (cairo_status(context_.get()) != CAIRO_STATUS_SUCCESS)
        throw Error(std::string("Cannot measure the plot's texts: ") +
                    cairo_status_to_string(cairo_status(context_.get())));
}

double CairoFonts::width(std::string_view text, const PlotFont& font) const {
    selectPlotFont(context_.get(), font);
    cairo_text_extents_t extents;
    cairo_text_extents(context_.get(), drawableText(text).c_str(), &extents);
    return extents.x_advance;
}

FontExtents CairoFonts::extents(const PlotFont& font) const {
    selectPlotFont(context_.get(), font);
    cairo_font_extents_t extents;
    cairo_font_extents(context_.get(), &extents);
    return {extents.ascent, extents.descent, extents.height};
}

} // namespace tarnwick
