#pragma once

#include <string_view>

namespace tarnwick {

// Measures the drawn width of a text in pixels, in the font of the table being fitted. The
// window gives its grid's font; tests and the batch tool give simpler ones.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual int textWidth(std::string_view text) const = 0;
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
