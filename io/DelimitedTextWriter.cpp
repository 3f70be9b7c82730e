#include "io/DelimitedTextWriter.h"

#include "io/ReplacingFile.h"

#include <string_view>

namespace tarnwick {
namespace {

void appendCsvField(std::string& line, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
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

template <typename Sink>
void forEachLine(const TextTable& table, int rowCount, TextTableFormat format, Sink sink) {
    const bool csv = format == TextTableFormat::Csv;
    std::string line;
    std::string scratch;
    for (int row = 0; row < rowCount; ++row) {
        line.clear();
        for (int col = 0; col < table.columnCount(); ++col) {
            if (col > 0)
                line += csv ? ',' : '\t';
            if (csv)
                appendCsvField(line, table.text(col, row, scratch));
            else
                appendTsvField(line, table.text(col, row, scratch));
        }
        line += csv ? "\r\n" : "\n";
        sink(line);
    }
}

} // namespace

void writeDelimitedText(std::ostream& out, const TextTable& table, int rowCount,
                        TextTableFormat format) {
    forEachLine(table, rowCount, format, [&](const std::string& line) { out << line; });
}

void saveDelimitedText(const TextTable& table, int rowCount, TextTableFormat format,
                       const std::string& fileName) {
    ReplacingFile file(fileName);
    forEachLine(table, rowCount, format, [&](const std::string& line) { file.write(line); });
    file.commit();
}

} // namespace tarnwick
