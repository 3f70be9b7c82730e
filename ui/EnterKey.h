#pragma once

#include <QComboBox>

#include <functional>

namespace tarnwick {

// Runs the action when Enter or Return is pressed in the editable box. (The box keeps the key to
// itself: it reaches neither a window's shortcuts nor a dialog's default button.)
void runOnEnter(QComboBox* box, std::function<void()> action);

} // namespace tarnwick
