#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// A locus cell as loading keeps it: cut at its first "." (the fraction of a repeat count is
// dropped, not rounded), then without its first "'".
std::string tidyLocusText(std::string_view text);

// What a locus cell holds, read by the integer text rule.
struct IntegerCell {
    enum class Kind { Untyped, Integer, NotInteger };
    Kind kind;
    std::int32_t value = 0; // for Integer

    // The empty text is a locus that was not typed; anything else must be integer text.
    static IntegerCell read(std::string_view text);
};

} // namespace tarnwick
