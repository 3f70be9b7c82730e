#pragma once

#include <cstddef>
#include <string_view>

namespace tarnwick {

// Whether every byte is 7-bit ASCII.
bool isAscii(std::string_view text);

// The number of characters (code points) of UTF-8 text: every byte that does not continue one.
std::size_t utf8CharacterCount(std::string_view text);

} // namespace tarnwick
