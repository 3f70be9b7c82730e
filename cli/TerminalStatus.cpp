#include "cli/TerminalStatus.h"

#include <algorithm>

namespace tarnwick {

void report(std::ostream& err, TerminalStatus& status, const std::string& text) {
    status.show("");
    std::string shown = text.substr(text.find_first_not_of(' '));
    std::replace(shown.begin(), shown.end(), '\r', ' ');
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    err << shown << "\n";
}

} // namespace tarnwick
