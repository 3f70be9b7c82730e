#pragma once

#include <string>

namespace tarnwick {

// Shows a plain message (a box with an OK button in the window, a line on stderr in the batch
// tool) and returns when the user has acknowledged it.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace tarnwick
