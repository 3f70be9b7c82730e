#include "io/BiffWriter.h"

#include "core/Error.h"
#include "core/text/CellReference.h"
#include "core/text/Text.h"
#include "io/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tarnwick {
namespace {

constexpr int kMaxRowsOrColumns = 65536;
constexpr std::size_t kMaxTextBytes = 65527;

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kWorksheet = 0x0010;

void putUint16(char* at, std::uint16_t value) {
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

template <std::size_t N> std::string_view record(std::array<char, N>& bytes) {
    return {bytes.data(), bytes.size()};
}

void writeBof(ReplacingFile& file) {
    std::array<char, 12> bytes{};
    putUint16(&bytes[0], kBof);
    putUint16(&bytes[2], 8);
    putUint16(&bytes[6], kWorksheet);
    file.write(record(bytes));
}

void writeCodePage(ReplacingFile& file, int codePage) {
    std::array<char, 6> bytes{};
    putUint16(&bytes[0], kCodePage);
    putUint16(&bytes[2], 2);
    putUint16(&bytes[4], static_cast<std::uint16_t>(codePage));
    file.write(record(bytes));
}

void writeEof(ReplacingFile& file) {
    std::array<char, 4> bytes{};
    putUint16(&bytes[0], kEof);
    file.write(record(bytes));
}

void checkDimensions(const TextTable& table) {
    if (table.rowCount() > kMaxRowsOrColumns)
        throw Error("The table has " + std::to_string(table.rowCount()) +
                    " rows; a saved table can hold at most 65536 rows");
    if (table.columnCount() > kMaxRowsOrColumns)
        throw Error("The table has " + std::to_string(table.columnCount()) +
                    " columns; a saved table can hold at most 65536 columns");
}

// How far a save is: each pass over the table's columns is a third of it.
class SaveProgress {
public:
    SaveProgress(const FileProgress& progress, int columns)
        : progress_(progress), columns_(static_cast<std::uint64_t>(std::max(columns, 0))) {}
    void columnDone() {
        if (progress_)
            progress_(++done_, 3 * columns_);
    }

private:
    const FileProgress& progress_;
    std::uint64_t columns_;
    std::uint64_t done_ = 0;
};

// Visits every cell in the order the records are written.
template <typename Visit>
void forEachCellColumnMajor(const TextTable& table, Visit visit, SaveProgress* progress = nullptr) {
    std::string scratch;
    for (int col = 0; col < table.columnCount(); ++col) {
        for (int row = 0; row < table.rowCount(); ++row)
            visit(col, row, table.text(col, row, scratch));
        if (progress)
            progress->columnDone();
    }
}

// The bytes each non-ASCII text is written as, in the one code page that holds them all.
class CellEncoding {
public:
    explicit CellEncoding(const TextTable& table, SaveProgress* progress = nullptr) {
        const std::vector<int> preference = singleByteCodePagePreference();
        std::vector<std::unique_ptr<TextConverter>> converters;
        converters.reserve(preference.size());
        for (int page : preference)
            converters.push_back(
                std::make_unique<TextConverter>(windowsCodePageName(page).c_str(), "UTF-8"));
        // For each non-ASCII text, its bytes in each candidate code page (none: not held).
        std::unordered_map<std::string, std::vector<std::optional<std::string>>> encoded;
        std::vector<bool> candidate(preference.size(), true);
        forEachCellColumnMajor(
            table,
            [&](int col, int row, std::string_view text) {
                if (isAscii(text) || encoded.contains(std::string(text)))
                    return;
                auto& forms = encoded[std::string(text)];
                bool anyLeft = false;
                for (std::size_t i = 0; i < converters.size(); ++i) {
                    forms.push_back(converters[i]->convert(text));
                    candidate[i] = candidate[i] && forms.back().has_value();
                    anyLeft = anyLeft || candidate[i];
                }
                if (!anyLeft)
                    throw Error("Cell " + cellReference(col, row) +
                                " cannot be written in a single-byte code page");
            },
            progress);
        if (encoded.empty())
            return;
        std::size_t chosen = 0;
        while (!candidate[chosen])
            ++chosen;
        codePage_ = preference[chosen];
        for (auto& [text, forms] : encoded)
            bytes_.emplace(text, std::move(*forms[chosen]));
    }

    std::optional<int> codePage() const { return codePage_; }

    std::string_view bytesOf(std::string_view text) const {
        if (bytes_.empty() || isAscii(text))
            return text;
        if (auto found = bytes_.find(std::string(text)); found != bytes_.end())
            return found->second;
        return text;
    }

private:
    std::optional<int> codePage_;
    std::unordered_map<std::string, std::string> bytes_;
};

void checkTextLengths(const TextTable& table, const CellEncoding& encoding,
                      SaveProgress* progress) {
    forEachCellColumnMajor(
        table,
        [&](int col, int row, std::string_view text) {
            const auto length = encoding.bytesOf(text).size();
            if (length > kMaxTextBytes)
                throw Error("Cell " + cellReference(col, row) + " holds " + std::to_string(length) +
                            " bytes of text; a saved cell can hold at most 65527 bytes");
        },
        progress);
}

} // namespace

void WriteLabelRecord(ReplacingFile& file, int col, int row, std::string_view text) {
    std::array<char, 12> head{};
    const auto length = static_cast<std::uint16_t>(text.size());
    putUint16(&head[0], kLabel);
    putUint16(&head[2], static_cast<std::uint16_t>(length + 8));
    putUint16(&head[4], static_cast<std::uint16_t>(row));
    putUint16(&head[6], static_cast<std::uint16_t>(col));
    putUint16(&head[10], length);
    file.write(record(head));
    file.write(text);
}

bool SaveTableAsBiff(const TextTable& table, const std::string& fileName,
                     const FileProgress& progress) {
    checkDimensions(table);
    SaveProgress saved(progress, table.columnCount());
    const CellEncoding encoding(table, &saved);
    checkTextLengths(table, encoding, &saved);

    ReplacingFile file(fileName);
    writeBof(file);
    if (const auto codePage = encoding.codePage())
        writeCodePage(file, *codePage);
    forEachCellColumnMajor(
        table,
        [&](int col, int row, std::string_view text) {
            WriteLabelRecord(file, col, row, encoding.bytesOf(text));
        },
        &saved);
    writeEof(file);
    file.commit();
    return true;
}

} // namespace tarnwick
