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
void forEachLine(const StringGrid& table, int rowCount, TextTableFormat format, Sink sink) {
    const bool csv = format == TextTableFormat::Csv;
    std::string line;
    for (int row = 0; row < rowCount; ++row) {
        line.clear();
        for (int col = 0; col < table.ColCount(); ++col) {
            if (col > 0)
                line += csv ? ',' : '\t';
            if (csv)
                appendCsvField(line, table.Cells(col, row));
            else
                appendTsvField(line, table.Cells(col, row));
        }
        line += csv ? "\r\n" : "\n";
        sink(line);
    }
}

} // namespace

void writeDelimitedText(std::ostream& out, const StringGrid& table, int rowCount,
                        TextTableFormat format) {
    forEachLine(table, rowCount, format, [&](const std::string& line) { out << line; });
}

void saveDelimitedText(const StringGrid& table, int rowCount, TextTableFormat format,
                       const std::string& fileName) {
    ReplacingFile file(fileName);
    forEachLine(table, rowCount, format, [&](const std::string& line) { file.write(line); });
    file.commit();
}

} // namespace tarnwick
