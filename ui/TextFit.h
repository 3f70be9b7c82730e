#pragma once

#include <QWidget>

namespace tarnwick {

// Widths that show a control's whole text, for windows laid out by position: a label or button
// keeps its designed size where its text fits, and grows to the right where the machine's fonts
// are wider than the designed ones.

// The width the text of a QLabel or QAbstractButton needs, frame and margins included.
int widthForText(const QWidget* control);

// Widens the control to widthForText when it is narrower; returns its right edge.
int widenToText(QWidget* control);

} // namespace tarnwick
