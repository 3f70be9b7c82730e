#pragma once

#include "io/ReadError.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tarnwick {

// Reads little-endian numbers and byte runs from a buffer; reading past its end raises a
// ReadError, so damaged files cannot make a parser read outside what it was given.
class ByteCursor {
public:
    explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - at_; }
    std::size_t position() const { return at_; }
    bool atEnd() const { return at_ >= bytes_.size(); }

    std::string_view take(std::size_t count) {
        if (count > remaining())
            throwDamaged("a record is shorter than its content");
        const auto run = bytes_.substr(at_, count);
        at_ += count;
        return run;
    }
    void skip(std::size_t count) { take(count); }
    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)[0]); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(littleEndian(take(2))); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(littleEndian(take(4))); }
    double f64() {
        const std::uint64_t bits = littleEndian(take(8));
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    static std::uint64_t littleEndian(std::string_view run) {
        std::uint64_t value = 0;
        for (std::size_t i = run.size(); i-- > 0;)
            value = value << 8 | static_cast<std::uint8_t>(run[i]);
        return value;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
};

} // namespace tarnwick
