#include "ui/TextFit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStyle>

#include <algorithm>

namespace tarnwick {

int widthForText(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->sizeHint().width();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        const QStyle* style = button->style();
        const int margins = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                                 style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        return button->fontMetrics().horizontalAdvance(button->text()) + margins;
    }
    return control->width();
}

int widenToText(QWidget* control) {
    control->resize(std::max(control->width(), widthForText(control)), control->height());
    return control->geometry().right() + 1;
}

} // namespace tarnwick
