#pragma once

#include <cstddef>
#include <cstdint>

namespace tarnwick {

// Bounds that keep a damaged or hostile file from exhausting memory or time. They lie far
// beyond any haplotype table: a sheet can have at most as many rows and columns as the largest
// spreadsheet programs allow.
inline constexpr long kMaxSheetRows = 1048576;
inline constexpr long kMaxSheetColumns = 16384;
inline constexpr std::size_t kMaxSheetCells = 100'000'000;    // rows x columns of the used area
inline constexpr std::size_t kMaxSheetValues = 50'000'000;    // cells that hold a value
inline constexpr std::size_t kMaxWorksheets = 65536;          // of one workbook
inline constexpr std::size_t kMaxFileBytes = 1ull << 30;      // a file or stream read whole
inline constexpr std::size_t kMaxCellTextBytes = 256u << 10;  // the text of one cell, in UTF-8
inline constexpr int kMaxXmlDepth = 256;                      // elements inside elements
inline constexpr std::size_t kMaxXmlParserBytes = 8ull << 20; // what the XML parser may hold

// Compressed packages and repeat counts let a small file describe far more than it holds. What a
// file may make the reader do therefore grows with its size: a free allowance plus so much per
// byte of the file; and what one part of a package yields, with that part's own size in the
// file, so that a large member nothing reads (a picture) unlocks nothing. Real sheets stay well
// inside: LibreOffice's most compressible .ods, a sheet of identical rows, holds 1.1 values, 2.1
// XML elements and 127 bytes of XML per byte of file; .xlsx files hold at most 14 bytes of XML per
// byte.
struct Allowance {
    std::uint64_t free;
    std::uint64_t perUnit;
    std::uint64_t allowed(std::uint64_t units) const { return free + perUnit * units; }
};
inline constexpr Allowance kValuesPerFileByte{1'000'000, 4};
inline constexpr Allowance kXmlElementsPerFileByte{4'000'000, 2};
inline constexpr std::uint64_t kXmlElementsPerValue = 8; // on top: a cell and its parts
inline constexpr Allowance kXlsxXmlBytesPerFileByte{256ull << 20, 64};
inline constexpr Allowance kOdsXmlBytesPerFileByte{256ull << 20, 160};
inline constexpr Allowance kTextBytesPerFileByte{256ull << 20, 16};
// Cells of the used area per value: a stray value far from the table still reads.
inline constexpr Allowance kAreaCellsPerValue{16'000'000, 1000};

} // namespace tarnwick
