#include "ui/QtTextMeasurer.h"

#include <QString>

#include <algorithm>

namespace tarnwick {

int QtTextMeasurer::textWidth(std::string_view text) const {
    if (text.empty())
        return 0;
    return metrics_.horizontalAdvance(
               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) +
           extraMargin_;
}

int cellMarginBeyondPadding(const QStyle* style) {
    constexpr int kPadding = 5;
    const int margin = style ? style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1 : 0;
    return std::max(0, 2 * margin + 1 - kPadding);
}

} // namespace tarnwick
