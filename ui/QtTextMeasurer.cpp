#include "ui/QtTextMeasurer.h"

#include <QString>

namespace tarnwick {

int QtTextMeasurer::textWidth(std::string_view text) const {
    return metrics_.horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace tarnwick
