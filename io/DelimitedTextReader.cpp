#include "io/DelimitedTextReader.h"

#include "io/CodePage.h"
#include "io/NumberParsing.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/Unicode.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

// Where the field starting at i ends: at the separator, a line end or the end of the text.
std::size_t fieldEnd(std::string_view text, std::size_t i, char separator) {
    const char* const begin = text.data();
    const char* p = begin + i;
    const char* const end = begin + text.size();
    while (p != end && *p != separator && *p != '\n' && *p != '\r')
        ++p;
    return static_cast<std::size_t>(p - begin);
}

// Splits text into records and fields, calling onField(row, col, text) for each field and
// returning after maxRows records (all when negative).
template <typename OnField>
void splitRecords(std::string_view text, char separator, long maxRows, OnField onField) {
    std::size_t i = 0;
    long row = 0, col = 0;
    std::string quoted;
    while (i < text.size() && (maxRows < 0 || row < maxRows)) {
        std::string_view field;
        if (text[i] == '"') {
            quoted.clear();
            ++i;
            while (i < text.size()) {
                // Copied up to the next quote at once, and no further than a cell may hold: a
                // quote that never closes would otherwise copy the rest of the file.
                const auto quote = std::min(text.find('"', i), text.size());
                ReadBudget::checkCellText(quoted.size() + (quote - i), row, col);
                quoted.append(text.substr(i, quote - i));
                i = quote;
                if (i == text.size())
                    break;
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    quoted += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            // Anything between the closing quote and the separator is kept, as spreadsheet
            // programs do.
            const auto end = fieldEnd(text, i, separator);
            quoted.append(text.substr(i, end - i));
            i = end;
            field = quoted;
        } else {
            const auto end = fieldEnd(text, i, separator);
            field = text.substr(i, end - i);
            i = end;
        }
        onField(row, col, field);
        if (i < text.size() && text[i] == separator) {
            ++i;
            ++col;
            if (i == text.size())
                onField(row, col, std::string_view());
            continue;
        }
        if (i < text.size() && text[i] == '\r') {
            ++i;
            if (i < text.size() && text[i] == '\n')
                ++i;
        } else if (i < text.size() && text[i] == '\n') {
            ++i;
        }
        ++row;
        col = 0;
    }
}

} // namespace

// Text in UTF-16 without a byte-order mark: the NUL bytes of its mostly ASCII characters all
// stand at odd offsets (little-endian) or all at even ones (big-endian). Returns 'L', 'B' or 0.
char utf16WithoutMark(std::string_view bytes) {
    const auto sample = bytes.substr(0, 4096);
    std::size_t even = 0, odd = 0;
    for (std::size_t i = 0; i < sample.size(); ++i)
        if (sample[i] == '\0')
            ++(i % 2 == 0 ? even : odd);
    const std::size_t half = sample.size() / 2;
    if (even == 0 && odd * 4 >= half && half > 0)
        return 'L';
    if (odd == 0 && even * 4 >= half && half > 0)
        return 'B';
    return 0;
}

namespace {

// The text of a file in UTF-8: the bytes themselves (after a byte-order mark) when they are UTF-8
// already, else decoded into storage. Bytes that hold a NUL without being UTF-16 are refused
// before anything is copied.
std::string_view utf8TextOf(std::string_view bytes, std::string& storage) {
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
                       utf16WithoutMark(bytes) != 0;
    if (!utf16) {
        const std::string_view body = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
        if (body.find('\0') != std::string_view::npos)
            throw ReadError("it is not a spreadsheet or a text table");
        if (isValidUtf8(body))
            return body;
    }
    storage = decodeTextFile(bytes);
    return storage;
}

} // namespace

std::string decodeTextFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::string(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return utf16LeToUtf8(bytes.substr(2));
    if (bytes.starts_with("\xFE\xFF"))
        return utf16BeToUtf8(bytes.substr(2));
    if (const char order = utf16WithoutMark(bytes))
        return order == 'L' ? utf16LeToUtf8(bytes) : utf16BeToUtf8(bytes);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    const TextConverter converter("UTF-8", windowsCodePageName(userWindowsCodePage()).c_str());
    if (auto text = converter.convert(bytes))
        return std::move(*text); // not copied: it can be hundreds of megabytes
    return latin1ToUtf8(bytes);
}

// The lines of the text, estimated from those of its beginning.
long estimatedRows(std::string_view text) {
    constexpr std::size_t kSample = 1 << 16;
    const std::string_view sample = text.substr(0, kSample);
    const auto lines = std::count(sample.begin(), sample.end(), '\n');
    if (lines == 0 || sample.size() == text.size())
        return static_cast<long>(lines) + 1;
    return static_cast<long>(static_cast<double>(text.size()) / static_cast<double>(sample.size()) *
                             static_cast<double>(lines) * 1.05) +
           1;
}

// A first line "sep=X" names the separator: X one printable character, then the line's end. Any
// other line starting "sep=" is data.
bool startsWithSeparatorLine(std::string_view text) {
    if (!text.starts_with("sep=") || text.size() < 5)
        return false;
    const auto named = static_cast<unsigned char>(text[4]);
    return named >= 0x20 && named != 0x7F && named != '"' &&
           (text.size() == 5 || text[5] == '\n' || text[5] == '\r');
}

char detectSeparator(std::string_view text) {
    if (startsWithSeparatorLine(text))
        return text[4];
    constexpr std::array candidates{',', ';', '\t'};
    constexpr long kSampleRows = 20;
    char best = ',';
    long bestScore = -1;
    for (char separator : candidates) {
        std::vector<long> fields;
        splitRecords(text, separator, kSampleRows, [&](long row, long col, std::string_view) {
            if (static_cast<std::size_t>(row) >= fields.size())
                fields.resize(static_cast<std::size_t>(row) + 1, 0);
            fields[static_cast<std::size_t>(row)] = col + 1;
        });
        if (fields.empty() || fields[0] < 2)
            continue;
        // Lines split into the same number of fields as the first, weighted by that number.
        long consistent = 0;
        for (long count : fields)
            consistent += count == fields[0];
        const long score = consistent * 1000 + fields[0];
        if (score > bestScore) {
            bestScore = score;
            best = separator;
        }
    }
    return best;
}

// Moves i past a run of decimal digits and tells how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    return i - start;
}

bool parsePlainNumber(std::string_view field, double& value) {
    // Most fields of a haplotype table are short whole numbers: read without the general rule.
    if (!field.empty() && field.size() <= 9) {
        const bool negative = field.front() == '-';
        long whole = 0;
        std::size_t i = negative ? 1 : 0;
        for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
            whole = whole * 10 + (field[i] - '0');
        if (i == field.size() && i > (negative ? 1u : 0u)) {
            value = static_cast<double>(negative ? -whole : whole);
            return true;
        }
    }
    const auto first = field.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    field = field.substr(first, field.find_last_not_of(' ') - first + 1);
    std::size_t i = 0;
    if (field[i] == '+' || field[i] == '-')
        ++i;
    if (skipDigits(field, i) == 0)
        return false;
    if (i < field.size() && field[i] == '.')
        skipDigits(field, ++i);
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        if (i < field.size() && (field[i] == '+' || field[i] == '-'))
            ++i;
        if (skipDigits(field, i) == 0)
            return false;
    }
    if (i != field.size())
        return false;
    // Beyond the range of a number (1e400, 1e-400) a field stays text, as in spreadsheets.
    const auto number = parseFiniteNumber(field);
    if (!number)
        return false;
    value = *number;
    return true;
}

namespace {

void readUtf8DelimitedText(std::string_view text, SheetSink& sink) {
    std::string_view body = text;
    const char separator = detectSeparator(body);
    if (startsWithSeparatorLine(body)) {
        const auto lineEnd = body.find_first_of("\r\n");
        body = lineEnd == std::string_view::npos ? std::string_view() : body.substr(lineEnd);
        body.remove_prefix(std::min<std::size_t>(body.starts_with("\r\n") ? 2 : 1, body.size()));
    }
    sink.expectRows(estimatedRows(body));
    splitRecords(body, separator, -1, [&](long row, long col, std::string_view field) {
        if (field.empty())
            return;
        double number;
        if (parsePlainNumber(field, number))
            sink.value(row, col, CellValue::ofNumber(number));
        else
            sink.value(row, col, CellValue::ofText(field));
    });
}

// Pictures, documents and other binary files are no tables: text holds no NUL character, and a
// PDF file may hold none either.
void checkIsText(std::string_view text, std::string_view bytes) {
    if (text.find('\0') != std::string::npos || bytes.starts_with("%PDF-"))
        throw ReadError("it is not a spreadsheet or a text table");
}

} // namespace

void readDelimitedText(std::string_view bytes, SheetSink& sink) {
    std::string decoded;
    const std::string_view text = utf8TextOf(bytes, decoded);
    checkIsText(text, bytes);
    readUtf8DelimitedText(text, sink);
}

void readDelimitedText(std::string&& bytes, SheetSink& sink) {
    std::string decoded;
    const std::string_view text = utf8TextOf(bytes, decoded);
    checkIsText(text, bytes);
    // Decoded text no longer needs the file's bytes: they are let go before the table is made.
    if (!decoded.empty())
        std::string().swap(bytes);
    readUtf8DelimitedText(text, sink);
}

} // namespace tarnwick
