#pragma once

#include "core/Error.h"

#include <string>

namespace tarnwick {

// A fault found inside a workbook. The reader adds the file's name when it passes it on.
class ReadError : public Error {
public:
    using Error::Error;
};

[[noreturn]] inline void throwDamaged(const std::string& detail) {
    throw ReadError("the file is damaged (" + detail + ")");
}

[[noreturn]] inline void throwPasswordProtected() {
    throw ReadError("the workbook is protected with a password; save it without one and load it "
                    "again");
}

} // namespace tarnwick
