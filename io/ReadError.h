#pragma once

#include "core/Error.h"

#include <string>
#include <string_view>

namespace tarnwick {

// A fault found inside a workbook. The reader adds the file's name when it passes it on.
class ReadError : public Error {
public:
    using Error::Error;
};

// How messages name a worksheet: "the first worksheet", else by its name, as the first is the
// one read unless another is asked for.
inline std::string worksheetPhrase(int index, std::string_view name) {
    return index == 0 ? std::string("the first worksheet")
                      : "the worksheet \"" + std::string(name) + "\"";
}

[[noreturn]] inline void throwDamaged(const std::string& detail) {
    throw ReadError("the file is damaged (" + detail + ")");
}

[[noreturn]] inline void throwPasswordProtected() {
    throw ReadError("the workbook is protected with a password; save it without one and load it "
                    "again");
}

} // namespace tarnwick
