#include "io/BiffReader.h"

#include "core/text/Text.h"
#include "io/ByteCursor.h"
#include "io/CodePage.h"
#include "io/DateFormats.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/SharedTexts.h"
#include "io/Unicode.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

namespace record {
constexpr std::uint16_t Bof2 = 0x0009, Bof3 = 0x0209, Bof4 = 0x0409, Bof = 0x0809;
constexpr std::uint16_t Eof = 0x000A, Continue = 0x003C, FilePass = 0x002F;
constexpr std::uint16_t CodePage = 0x0042, DateMode = 0x0022, Format = 0x041E, Xf = 0x00E0;
constexpr std::uint16_t Sst = 0x00FC, BoundSheet = 0x0085;
constexpr std::uint16_t Integer2 = 0x0002, Number2 = 0x0003, Label2 = 0x0004, BoolErr2 = 0x0005;
constexpr std::uint16_t Number = 0x0203, Label = 0x0204, BoolErr = 0x0205, Rk = 0x027E;
constexpr std::uint16_t MulRk = 0x00BD, LabelSst = 0x00FD, RString = 0x00D6;
constexpr std::uint16_t Formula = 0x0006, Formula3 = 0x0206, Formula4 = 0x0406, String = 0x0207;
} // namespace record

struct Record {
    std::uint16_t type;
    std::string_view data;
    std::size_t offset;
};

// Walks the records of a stream from an offset; damage ends the walk with a ReadError.
class RecordWalker {
public:
    RecordWalker(std::string_view stream, std::size_t offset) : stream_(stream), at_(offset) {}

    std::optional<Record> next() {
        if (at_ + 4 > stream_.size())
            return std::nullopt;
        ByteCursor head(stream_.substr(at_, 4));
        const auto type = head.u16();
        const auto length = head.u16();
        if (at_ + 4 + length > stream_.size())
            throwDamaged("a record runs past the end of the workbook");
        Record r{type, stream_.substr(at_ + 4, length), at_};
        at_ += 4 + length;
        return r;
    }
    std::size_t position() const { return at_; }
    std::optional<Record> peek() {
        const auto saved = at_;
        auto r = next();
        at_ = saved;
        return r;
    }

private:
    std::string_view stream_;
    std::size_t at_;
};

const char* errorName(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#ERROR";
    }
}

double rkValue(std::uint32_t rk) {
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

// The text of a string that may continue over CONTINUE records: each continuation starts with
// a fresh option byte telling whether its characters are one or two bytes wide.
class SegmentedReader {
public:
    explicit SegmentedReader(std::vector<std::string_view> segments)
        : segments_(std::move(segments)), cursor_(segments_.empty() ? "" : segments_[0]) {}

    bool atEnd() {
        while (cursor_.atEnd() && segment_ + 1 < segments_.size())
            cursor_ = ByteCursor(segments_[++segment_]);
        return cursor_.atEnd();
    }
    std::uint8_t u8() { return ensure(), cursor_.u8(); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(u8() | u8() << 8); }
    std::uint32_t u32() {
        return static_cast<std::uint32_t>(u16() | static_cast<std::uint32_t>(u16()) << 16);
    }
    void skip(std::size_t count) {
        while (count > 0) {
            ensure();
            const auto step = std::min(count, cursor_.remaining());
            cursor_.skip(step);
            count -= step;
        }
    }

    std::string unicodeString() {
        const std::uint16_t characters = u16();
        std::uint8_t flags = u8();
        const std::uint16_t runs = (flags & 0x08) ? u16() : 0;
        const std::uint32_t extra = (flags & 0x04) ? u32() : 0;
        std::string text;
        std::size_t left = characters;
        while (left > 0) {
            if (cursor_.atEnd()) {
                if (segment_ + 1 >= segments_.size())
                    throwDamaged("a text runs past the end of its record");
                cursor_ = ByteCursor(segments_[++segment_]);
                flags = cursor_.u8();
            }
            const std::size_t width = (flags & 0x01) ? 2 : 1;
            const std::size_t count = std::min(left, cursor_.remaining() / width);
            if (count == 0)
                throwDamaged("a text is cut inside a character");
            const auto bytes = cursor_.take(count * width);
            text += width == 2 ? utf16LeToUtf8(bytes) : latin1ToUtf8(bytes);
            left -= count;
        }
        skip(static_cast<std::size_t>(runs) * 4 + extra);
        return text;
    }

private:
    void ensure() {
        if (atEnd())
            throwDamaged("a record is shorter than its content");
    }

    std::vector<std::string_view> segments_;
    std::size_t segment_ = 0;
    ByteCursor cursor_;
};

// A worksheet the workbook's globals list: where its records start, and its name.
struct BoundSheet {
    std::size_t offset;
    std::string name;
};

class BiffSheetParser {
public:
    BiffSheetParser(SheetSink& sink, int defaultCodePage)
        : sink_(sink), codePage_(defaultCodePage) {}

    // Whether the records handled are those of a sheet, whose values go to the sink, rather than
    // the workbook's globals, which list the sheets.
    void setInSheet(bool inSheet) { inSheet_ = inSheet; }

    // Reads the shared texts the globals held, once, before the first sheet wanted.
    void readDeferredSharedTexts(std::string_view stream) {
        if (!deferredSst_)
            return;
        RecordWalker walker(stream, *deferredSst_);
        deferredSst_.reset();
        handleSst(*walker.next(), walker);
    }

    // Handles one record of the workbook globals or of the sheet; returns false at EOF.
    bool handle(const Record& r, RecordWalker& walker) {
        ByteCursor in(r.data);
        switch (r.type) {
        case record::Bof2:
        case record::Bof3:
        case record::Bof4:
        case record::Bof:
            handleBof(r.type, in);
            break;
        case record::Eof:
            return false;
        case record::FilePass:
            throwPasswordProtected();
        case record::CodePage:
            setCodePage(in.u16());
            break;
        case record::DateMode:
            date1904_ = in.u16() != 0;
            break;
        case record::Format:
            handleFormat(in);
            break;
        case record::Xf:
            in.skip(2);
            xfFormats_.push_back(in.u16());
            break;
        case record::Sst:
            if (inSheet_)
                handleSst(r, walker);
            else
                deferSst(r, walker);
            break;
        case record::BoundSheet:
            if (!inSheet_)
                handleBoundSheet(in);
            break;
        default:
            if (inSheet_)
                handleCell(r.type, in, walker);
            break;
        }
        return true;
    }

    const std::vector<BoundSheet>& worksheets() const { return worksheets_; }

private:
    void handleBof(std::uint16_t type, ByteCursor& in) {
        if (type == record::Bof2)
            version_ = 2;
        else if (type == record::Bof3)
            version_ = 3;
        else if (type == record::Bof4)
            version_ = 4;
        else
            version_ = in.remaining() >= 2 && in.u16() == 0x0600 ? 8 : 5;
    }

    void setCodePage(std::uint16_t page) {
        codePage_ = page;
        converter_.reset();
    }

    void handleFormat(ByteCursor& in) {
        const auto index = in.u16();
        const std::string code = version_ == 8 ? unicodeString(in) : byteString(in, in.u8());
        if (isDateFormatCode(code))
            customDateFormats_[index] = true;
    }

    // The shared texts wait until a sheet is wanted: listing the sheets needs none of them.
    void deferSst(const Record& sst, RecordWalker& walker) {
        deferredSst_ = sst.offset;
        while (auto next = walker.peek()) {
            if (next->type != record::Continue)
                break;
            walker.next();
        }
    }

    void handleSst(const Record& sst, RecordWalker& walker) {
        std::vector<std::string_view> segments{sst.data};
        while (auto next = walker.peek()) {
            if (next->type != record::Continue)
                break;
            segments.push_back(walker.next()->data);
        }
        SegmentedReader in(std::move(segments));
        in.skip(4);
        const std::uint32_t unique = in.u32();
        for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i)
            strings_.add(in.unicodeString());
    }

    // Chart sheets, macro sheets and modules are no worksheets and are left out of the list.
    void handleBoundSheet(ByteCursor& in) {
        const auto offset = in.u32();
        in.skip(1); // visibility: hidden sheets count in the workbook's order too
        const auto kind = in.u8();
        if (kind != 0)
            return;
        const auto length = in.u8();
        std::string name;
        if (version_ == 8) {
            const bool wide = in.u8() & 0x01;
            const auto bytes = in.take(static_cast<std::size_t>(length) * (wide ? 2 : 1));
            name = wide ? utf16LeToUtf8(bytes) : latin1ToUtf8(bytes);
        } else {
            name = byteString(in, length);
        }
        worksheets_.push_back({offset, std::move(name)});
        ReadBudget::checkWorksheetCount(worksheets_.size());
    }

    void handleCell(std::uint16_t type, ByteCursor& in, RecordWalker& walker) {
        switch (type) {
        case record::Integer2: {
            const auto [row, col] = position(in);
            in.skip(3);
            emit(row, col, CellValue::ofNumber(in.u16()));
            break;
        }
        case record::Number2: {
            const auto [row, col] = position(in);
            in.skip(3);
            emit(row, col, CellValue::ofNumber(in.f64()));
            break;
        }
        case record::Label2: {
            const auto [row, col] = position(in);
            in.skip(3);
            const std::string text = byteString(in, in.u8());
            emit(row, col, CellValue::ofText(text));
            break;
        }
        case record::BoolErr2:
        case record::BoolErr: {
            const auto [row, col] = position(in);
            in.skip(type == record::BoolErr2 ? 3 : 2);
            const auto value = in.u8();
            if (in.u8())
                emit(row, col, CellValue::ofError(errorName(value)));
            else
                emit(row, col, CellValue::ofBoolean(value != 0));
            break;
        }
        case record::Number: {
            const auto [row, col] = position(in);
            const auto xf = in.u16();
            emit(row, col, numberOrDate(in.f64(), xf));
            break;
        }
        case record::Rk: {
            const auto [row, col] = position(in);
            const auto xf = in.u16();
            emit(row, col, numberOrDate(rkValue(in.u32()), xf));
            break;
        }
        case record::MulRk: {
            const auto [row, first] = position(in);
            const std::size_t count = in.remaining() >= 2 ? (in.remaining() - 2) / 6 : 0;
            for (std::size_t i = 0; i < count; ++i) {
                const auto xf = in.u16();
                emit(row, first + static_cast<long>(i), numberOrDate(rkValue(in.u32()), xf));
            }
            break;
        }
        case record::LabelSst: {
            const auto [row, col] = position(in);
            in.skip(2);
            const auto index = in.u32();
            if (index >= strings_.size())
                throwDamaged("a cell refers to a shared text that does not exist");
            emit(row, col, CellValue::ofText(strings_.at(index)));
            break;
        }
        case record::Label:
        case record::RString: {
            const auto [row, col] = position(in);
            in.skip(2);
            const std::string text = version_ == 8 ? unicodeString(in) : byteString(in, in.u16());
            emit(row, col, CellValue::ofText(text));
            break;
        }
        case record::Formula:
        case record::Formula3:
        case record::Formula4:
            handleFormula(in, walker);
            break;
        default:
            break; // formatting, blanks and everything else carry no value
        }
    }

    void handleFormula(ByteCursor& in, RecordWalker& walker) {
        const auto [row, col] = position(in);
        const auto xf = in.u16();
        const auto result = in.take(8);
        const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(result[i]); };
        if (byte(6) != 0xFF || byte(7) != 0xFF) {
            emit(row, col, numberOrDate(ByteCursor(result).f64(), xf));
            return;
        }
        switch (byte(0)) {
        case 0: { // a text result, held by the STRING record that follows
            const auto next = walker.peek();
            if (!next || next->type != record::String)
                return;
            walker.next();
            ByteCursor text(next->data);
            const std::string value =
                version_ == 8 ? unicodeString(text) : byteString(text, text.u16());
            emit(row, col, CellValue::ofText(value));
            break;
        }
        case 1:
            emit(row, col, CellValue::ofBoolean(byte(2) != 0));
            break;
        case 2:
            emit(row, col, CellValue::ofError(errorName(byte(2))));
            break;
        default:
            emit(row, col, CellValue::ofText(""));
            break;
        }
    }

    static std::pair<long, long> position(ByteCursor& in) {
        const long row = in.u16();
        const long col = in.u16();
        return {row, col};
    }

    CellValue numberOrDate(double value, std::uint16_t xf) const {
        if (xf < xfFormats_.size()) {
            const auto format = xfFormats_[xf];
            if (isBuiltinDateFormat(format) || customDateFormats_.contains(format))
                return CellValue::ofDate(daysFromSerial(value, date1904_));
        }
        return CellValue::ofNumber(value);
    }

    std::string unicodeString(ByteCursor& in) const {
        const auto characters = in.u16();
        const auto flags = in.u8();
        // Rich-text runs and phonetic data follow the characters; only their counts come first.
        if (flags & 0x08)
            in.u16();
        if (flags & 0x04)
            in.u32();
        const bool wide = flags & 0x01;
        const auto bytes = in.take(static_cast<std::size_t>(characters) * (wide ? 2 : 1));
        return wide ? utf16LeToUtf8(bytes) : latin1ToUtf8(bytes);
    }

    std::string byteString(ByteCursor& in, std::size_t length) {
        const auto bytes = in.take(length);
        if (isAscii(bytes))
            return std::string(bytes);
        if (!converter_)
            converter_ = makeConverter();
        if (auto text = converter_->convert(bytes))
            return std::move(*text);
        return latin1ToUtf8(bytes);
    }

    std::unique_ptr<TextConverter> makeConverter() const {
        try {
            return std::make_unique<TextConverter>("UTF-8", encodingName().c_str());
        } catch (const Error&) {
            throw ReadError("its texts are in code page " + std::to_string(codePage_) +
                            ", which this system cannot convert");
        }
    }

    std::string encodingName() const {
        switch (codePage_) {
        case 367:
            return "ASCII";
        case 1200:
            return "UTF-16LE";
        case 65001:
            return "UTF-8";
        case 10000:
        case 32768:
            return "MACINTOSH";
        case 32769:
            return "CP1252";
        default:
            return windowsCodePageName(codePage_);
        }
    }

    void emit(long row, long col, const CellValue& value) { sink_.value(row, col, value); }

    SheetSink& sink_;
    int version_ = 8;
    int codePage_;
    std::unique_ptr<TextConverter> converter_;
    bool date1904_ = false;
    std::vector<std::uint16_t> xfFormats_;
    std::unordered_map<std::uint16_t, bool> customDateFormats_;
    SharedTexts strings_;
    bool inSheet_ = true;
    std::vector<BoundSheet> worksheets_;
    std::optional<std::size_t> deferredSst_;
};

} // namespace

bool startsWithBiffBof(std::string_view bytes) {
    if (bytes.size() < 8)
        return false;
    ByteCursor in(bytes);
    const auto type = in.u16();
    const auto length = in.u16();
    const bool bofType =
        type == record::Bof2 || type == record::Bof3 || type == record::Bof4 || type == record::Bof;
    return bofType && length >= 4 && length <= 20;
}

void readBiffWorkbookStream(std::string_view stream, SheetSink& sink) {
    if (!startsWithBiffBof(stream))
        throw ReadError("the workbook stream does not start like a workbook");
    BiffSheetParser parser(sink, 1252);
    parser.setInSheet(false);
    RecordWalker globals(stream, 0);
    while (auto r = globals.next())
        if (!parser.handle(*r, globals))
            break;
    const std::vector<BoundSheet> worksheets = parser.worksheets();
    if (worksheets.empty())
        throw ReadError("the workbook holds no worksheet");
    // Each sheet's records start where the globals say: one not wanted is simply not visited.
    // Sheets that overlap would make the records be read again and again: together they may
    // take no more than the stream.
    parser.setInSheet(true);
    std::size_t walked = 0;
    for (std::size_t i = 0; i < worksheets.size(); ++i) {
        const int index = static_cast<int>(i);
        const auto& [offset, name] = worksheets[i];
        if (!sink.beginSheet(index, name))
            continue;
        if (offset >= stream.size() || !startsWithBiffBof(stream.substr(offset)))
            throwDamaged(worksheetPhrase(index, name) + " is not where the workbook says");
        parser.readDeferredSharedTexts(stream);
        RecordWalker sheet(stream, offset);
        while (auto r = sheet.next())
            if (!parser.handle(*r, sheet))
                break;
        walked += sheet.position() - offset;
        if (walked > stream.size())
            throwDamaged("its worksheets overlap");
    }
}

void readPlainBiffStream(std::string_view stream, SheetSink& sink) {
    BiffSheetParser parser(sink, userWindowsCodePage());
    RecordWalker walker(stream, 0);
    while (auto r = walker.next())
        if (!parser.handle(*r, walker))
            break;
}

} // namespace tarnwick
