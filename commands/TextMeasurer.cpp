#include "commands/TextMeasurer.h"

#include "core/text/Text.h"

namespace tarnwick {

int FixedWidthMeasurer::textWidth(std::string_view text) const {
    return static_cast<int>(utf8CharacterCount(text)) * charWidth_;
}

} // namespace tarnwick
