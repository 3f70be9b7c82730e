#include "commands/ErrorReport.h"

namespace tarnwick {

std::string errorReportText(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

} // namespace tarnwick
