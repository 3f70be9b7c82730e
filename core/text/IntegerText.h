#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The one rule by which cell and step-limit texts are read as signed 32-bit integers: leading
// spaces, an optional sign, then decimal digits within range or a hexadecimal pattern of up to
// 8 significant digits after "$", "x", "X", "0x" or "0X"; nothing may follow.
std::optional<std::int32_t> tryParseIntegerText(std::string_view text);

// As above; a text that fails raises ConversionError naming it.
std::int32_t parseIntegerText(std::string_view text);

// The message of that error: "'17a' is not a valid integer value".
std::string notIntegerMessage(std::string_view text);

bool isIntegerText(std::string_view text);

} // namespace tarnwick
