#pragma once

#include <cstddef>

namespace tarnwick {

// Bounds that keep a damaged or hostile file from exhausting memory or time. They lie far
// beyond any haplotype table: a sheet can have at most as many rows and columns as the largest
// spreadsheet programs allow.
inline constexpr long kMaxSheetRows = 1048576;
inline constexpr long kMaxSheetColumns = 16384;
inline constexpr std::size_t kMaxSheetCells = 200'000'000; // rows x columns of the used area
inline constexpr std::size_t kMaxSheetValues = 50'000'000; // cells that hold a value
inline constexpr std::size_t kMaxFileBytes = 1ull << 30;   // a file or stream read whole
inline constexpr std::size_t kMaxXmlBytes = 4ull << 30;    // XML inflated from a package

} // namespace tarnwick
