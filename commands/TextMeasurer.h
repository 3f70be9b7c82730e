#pragma once

#include "core/text/TextWidths.h"

#include <string_view>

namespace tarnwick {

// Measures the drawn width of a text in pixels, in the font of the table being fitted. The
// window gives its grid's font; tests and the batch tool give simpler ones.
// Whole pixels, as a table's columns are fitted in them.
class TextMeasurer : public TextWidths {
public:
    virtual int textWidth(std::string_view text) const = 0;
    double widthOf(std::string_view text) const final { return textWidth(text); }
};

// Counts characters (UTF-8 code points) times a fixed width: for use without a display.
class FixedWidthMeasurer : public TextMeasurer {
public:
    explicit FixedWidthMeasurer(int charWidth) : charWidth_(charWidth) {}
    int textWidth(std::string_view text) const override;

private:
    int charWidth_;
};

} // namespace tarnwick
