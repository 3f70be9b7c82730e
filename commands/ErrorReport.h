#pragma once

#include <string>

namespace tarnwick {

// The text the general error report shows: the error's own message, with a "." added unless it
// ends in "." or a character that sorts before it (a space, "!", ")", ...).
std::string errorReportText(std::string message);

} // namespace tarnwick
