#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// The decimal form of a value. Small values (repeat counts, steps, row numbers below 16384)
// come from a table made once; others are written into scratch.
std::string_view decimalText(std::int64_t value, std::string& scratch);

} // namespace tarnwick
