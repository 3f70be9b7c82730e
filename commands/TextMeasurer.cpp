#include "commands/TextMeasurer.h"

namespace tarnwick {

int FixedWidthMeasurer::textWidth(std::string_view text) const {
    int characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++characters;
    return characters * charWidth_;
}

} // namespace tarnwick
