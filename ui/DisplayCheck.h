#pragma once

#include <string>

namespace tarnwick {

// Why no window could be shown here, or empty when a display is there. Qt ends the process when
// it cannot reach a display, so the program asks first.
std::string displayProblem();

} // namespace tarnwick
