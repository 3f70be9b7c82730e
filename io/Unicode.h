#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// Appends one code point as UTF-8; invalid ones become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

// UTF-16 little-endian bytes (an odd last byte is dropped) to UTF-8; unpaired surrogates
// become U+FFFD.
std::string utf16LeToUtf8(std::string_view bytes);
std::string utf16BeToUtf8(std::string_view bytes);

// Bytes 0-255 as the code points of the same number.
std::string latin1ToUtf8(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

} // namespace tarnwick
