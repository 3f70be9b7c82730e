#pragma once

#include <cstdint>

namespace tarnwick {

// Repeat counts, steps and row numbers within +-kSmallValueLimit are held in 16 bits: any
// difference of two of them still fits 16 signed bits. Real repeat counts always lie within it.
inline constexpr std::int16_t kSmallValueLimit = 16383;

} // namespace tarnwick
