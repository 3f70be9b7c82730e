#pragma once

#include <string_view>

namespace tarnwick {

// How wide a text is drawn, in pixels of the one font a caller measures in: what laying out a
// plot or a table needs of a window's, a file renderer's or a test's fonts.
class TextWidths {
public:
    virtual ~TextWidths() = default;
    virtual double widthOf(std::string_view text) const = 0;
};

} // namespace tarnwick
