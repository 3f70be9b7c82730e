#pragma once

#include "core/TextMeasurer.h"

#include <QFontMetrics>

namespace tarnwick {

// Widths of texts in a table view's font.
class QtTextMeasurer : public TextMeasurer {
public:
    explicit QtTextMeasurer(const QFont& font) : metrics_(font) {}
    int textWidth(std::string_view text) const override;

private:
    QFontMetrics metrics_;
};

} // namespace tarnwick
