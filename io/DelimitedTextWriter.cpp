#include "io/DelimitedTextWriter.h"

#include "io/ReplacingFile.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace tarnwick {
namespace {

// Bytes that make a CSV field quoted.
constexpr std::array<bool, 256> kQuoted = [] {
    std::array<bool, 256> quoted{};
    for (const char c : {',', '"', '\r', '\n'})
        quoted[static_cast<unsigned char>(c)] = true;
    return quoted;
}();

// Writes a field at out, which has room for twice its bytes and two more; returns its end.
char* putCsvField(char* out, std::string_view text) {
    // Copied as it is while looking for a byte that needs quotes, which is rare. (A loop: most
    // fields are a few bytes, too short for memcpy to pay.)
    bool quoted = false;
    char* end = out;
    for (const char c : text) {
        *end++ = c;
        quoted |= kQuoted[static_cast<unsigned char>(c)];
    }
    if (!quoted)
        return end;
    end = out;
    *end++ = '"';
    for (const char c : text) {
        if (c == '"')
            *end++ = '"';
        *end++ = c;
    }
    *end++ = '"';
    return end;
}

// Writes a field at out, which has room for twice its bytes and two more; returns its end. A
// field holding a tab or a line break, or starting with a quote, is quoted as in CSV, which is
// how spreadsheet programs and the reader take tab-separated text; every other byte stays.
char* putTsvField(char* out, std::string_view text) {
    if (text.find_first_of("\t\r\n") == std::string_view::npos && !text.starts_with('"'))
        return std::copy(text.begin(), text.end(), out);
    *out++ = '"';
    for (const char c : text) {
        if (c == '"')
            *out++ = '"';
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

// Rows are handed to sink a good many at a time.
constexpr std::size_t kPiece = 1 << 20;

// Rows between reports of progress.
constexpr std::uint64_t kRowsPerReport = 4096;

template <typename Sink>
void forEachPiece(const TextTable& table, int rowCount, TextTableFormat format, Sink sink,
                  const FileProgress& progress = {}) {
    const bool csv = format == TextTableFormat::Csv;
    std::vector<char> piece(kPiece);
    std::size_t used = 0;
    // Room for a field and what follows it even if every byte were doubled; a row may end
    // up in two pieces.
    const auto makeRoom = [&](std::size_t bytes) {
        const std::size_t room = 2 * bytes + 3;
        if (used + room <= piece.size())
            return;
        sink(std::string_view(piece.data(), used));
        used = 0;
        if (room > piece.size())
            piece.resize(room);
    };
    std::uint64_t rowsWritten = 0;
    const auto writeRow = [&](std::span<const std::string_view> cells) {
        for (std::size_t col = 0; col < cells.size(); ++col) {
            makeRoom(cells[col].size());
            char* out = piece.data() + used;
            if (col > 0)
                *out++ = csv ? ',' : '\t';
            out = csv ? putCsvField(out, cells[col]) : putTsvField(out, cells[col]);
            used = static_cast<std::size_t>(out - piece.data());
        }
        makeRoom(0);
        if (csv)
            piece[used++] = '\r';
        piece[used++] = '\n';
        if (progress && ++rowsWritten % kRowsPerReport == 0)
            progress(rowsWritten, static_cast<std::uint64_t>(std::max(rowCount, 0)));
    };
    table.forEachRow(0, rowCount, writeRow);
    // Rows asked for beyond the table's are empty.
    const std::vector<std::string_view> emptyRow(static_cast<std::size_t>(table.columnCount()));
    for (int row = std::max(table.rowCount(), 0); row < rowCount; ++row)
        writeRow(emptyRow);
    if (used > 0)
        sink(std::string_view(piece.data(), used));
}

} // namespace

void writeDelimitedText(std::ostream& out, const TextTable& table, int rowCount,
                        TextTableFormat format) {
    forEachPiece(table, rowCount, format, [&](std::string_view piece) { out << piece; });
}

void saveDelimitedText(const TextTable& table, int rowCount, TextTableFormat format,
                       const std::string& fileName, const FileProgress& progress) {
    ReplacingFile file(fileName);
    forEachPiece(
        table, rowCount, format, [&](std::string_view piece) { file.write(piece); }, progress);
    file.commit();
}

} // namespace tarnwick
