#pragma once

// The plot's fonts as cairo has them (through fontconfig and FreeType): what a text measures and
// where its baseline goes, for the painting into either kind of file.

#include "io/CairoHandles.h"
#include "io/PlotCanvas.h"

#include <string>
#include <string_view>

namespace tarnwick {

// Chooses the font on the context for the text that follows.
void selectPlotFont(cairo_t* context, const PlotFont& font);

// Text as cairo takes it: valid UTF-8 as it is, any other bytes read as Latin-1 (a name cairo
// refused would end the drawing).
std::string drawableText(std::string_view text);

struct FontExtents {
    double ascent = 0;  // above the baseline
    double descent = 0; // below it
    double lineHeight = 0;
};

class CairoFonts {
public:
    CairoFonts(); // raises an Error when cairo cannot give a context
    double width(std::string_view text, const PlotFont& font) const;
    FontExtents extents(const PlotFont& font) const;

private:
    CairoSurface surface_;
    CairoContext context_;
};

} // namespace tarnwick
