#include "io/DelimitedTextWriter.h"

#include "io/ReplacingFile.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace tarnwick {
namespace {

bool needsQuotes(std::string_view text) {
    // One pass without early exit, which the compiler turns into vector compares.
    bool found = false;
    for (const char c : text)
        found |= (c == ',') | (c == '"') | (c == '\r') | (c == '\n');
    return found;
}

void appendCsvField(std::string& line, std::string_view text) {
    if (!needsQuotes(text)) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void appendTsvField(std::string& line, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        case '\\':
            line += "\\\\";
            break;
        default:
            line += c;
        }
    }
}

// Lines are handed to sink a good many at a time.
constexpr std::size_t kPiece = 1 << 20;

template <typename Sink>
void forEachPiece(const TextTable& table, int rowCount, TextTableFormat format, Sink sink) {
    const bool csv = format == TextTableFormat::Csv;
    std::string piece;
    piece.reserve(kPiece + kPiece / 4);
    const auto writeRow = [&](std::span<const std::string_view> cells) {
        for (std::size_t col = 0; col < cells.size(); ++col) {
            if (col > 0)
                piece += csv ? ',' : '\t';
            if (csv)
                appendCsvField(piece, cells[col]);
            else
                appendTsvField(piece, cells[col]);
        }
        piece += csv ? "\r\n" : "\n";
        if (piece.size() >= kPiece) {
            sink(piece);
            piece.clear();
        }
    };
    table.forEachRow(0, rowCount, writeRow);
    // Rows asked for beyond the table's are empty.
    const std::vector<std::string_view> emptyRow(static_cast<std::size_t>(table.columnCount()));
    for (int row = std::max(table.rowCount(), 0); row < rowCount; ++row)
        writeRow(emptyRow);
    if (!piece.empty())
        sink(piece);
}

} // namespace

void writeDelimitedText(std::ostream& out, const TextTable& table, int rowCount,
                        TextTableFormat format) {
    forEachPiece(table, rowCount, format, [&](const std::string& piece) { out << piece; });
}

void saveDelimitedText(const TextTable& table, int rowCount, TextTableFormat format,
                       const std::string& fileName) {
    ReplacingFile file(fileName);
    forEachPiece(table, rowCount, format, [&](const std::string& piece) { file.write(piece); });
    file.commit();
}

} // namespace tarnwick
