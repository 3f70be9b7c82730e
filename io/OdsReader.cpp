#include "io/OdsReader.h"

#include "io/DateFormats.h"
#include "io/GsfHandles.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/XmlStream.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::string_view kTable = "table";
constexpr std::string_view kOffice = "office";
constexpr std::string_view kText = "text";
constexpr std::string_view kCalcExtension = "calcext";

long repeatCount(const char** attributes, std::string_view name) {
    const char* value = findXmlAttribute(attributes, name, kTable);
    if (!value)
        return 1;
    const long count = std::atol(value);
    return count < 1 ? 1 : count;
}

// "PT13H45M00S" as a fraction of a day (hours may exceed 24).
double parseDuration(std::string_view text) {
    double total = 0, number = 0;
    bool inTime = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'T') {
            inTime = true;
        } else if ((c >= '0' && c <= '9') || c == '.') {
            const auto result = std::from_chars(text.data() + i, text.data() + text.size(), number);
            i = static_cast<std::size_t>(result.ptr - text.data()) - 1;
        } else if (c == 'D') {
            total += number * 86400;
        } else if (c == 'H' && inTime) {
            total += number * 3600;
        } else if (c == 'M' && inTime) {
            total += number * 60;
        } else if (c == 'S' && inTime) {
            total += number;
        }
    }
    const double days = total / 86400;
    return text.starts_with('-') ? -days : days;
}

// One cell as the row holds it until the row's end tells how often the row repeats.
struct PendingCell {
    long col;
    long repeat;
    CellValue::Kind kind;
    double number;
    std::string text;
};

class ContentHandler : public XmlHandler {
public:
    explicit ContentHandler(SheetSink& sink) : sink_(sink) {}

    void startElement(XmlName name, const char** attributes) override {
        if (name.ns == kTable && name.local == "table") {
            ++tableDepth_;
            return;
        }
        if (tableDepth_ != 1)
            return;
        if (name.ns == kOffice && name.local == "annotation") {
            ++annotationDepth_;
        } else if (name.ns == kTable && name.local == "table-row") {
            rowRepeat_ = repeatCount(attributes, "number-rows-repeated");
            col_ = 0;
            cells_.clear();
        } else if (name.ns == kTable &&
                   (name.local == "table-cell" || name.local == "covered-table-cell")) {
            startCell(attributes);
        } else if (inCell_ && !annotationDepth_ && name.ns == kText) {
            if (name.local == "p" || name.local == "h") {
                if (paragraphs_++ > 0)
                    text_ += '\n';
            } else if (name.local == "s") {
                const char* count = findXmlAttribute(attributes, "c", kText);
                text_.append(
                    static_cast<std::size_t>(std::clamp(count ? std::atol(count) : 1L, 1L, 1000L)),
                    ' ');
            } else if (name.local == "tab") {
                text_ += '\t';
            } else if (name.local == "line-break") {
                text_ += '\n';
            }
        }
    }

    void endElement(XmlName name) override {
        if (name.ns == kTable && name.local == "table") {
            if (--tableDepth_ == 0)
                finished_ = true;
            return;
        }
        if (tableDepth_ != 1)
            return;
        if (name.ns == kOffice && name.local == "annotation") {
            --annotationDepth_;
        } else if (name.ns == kTable &&
                   (name.local == "table-cell" || name.local == "covered-table-cell")) {
            endCell();
        } else if (name.ns == kTable && name.local == "table-row") {
            endRow();
        }
    }

    void characters(std::string_view text) override {
        if (inCell_ && !annotationDepth_ && paragraphs_ > 0)
            text_ += text;
    }

    bool done() const override { return finished_; }
    bool sawTable() const { return finished_; }

private:
    void startCell(const char** attributes) {
        inCell_ = true;
        cellRepeat_ = repeatCount(attributes, "number-columns-repeated");
        text_.clear();
        paragraphs_ = 0;
        const char* calcType = findXmlAttribute(attributes, "value-type", kCalcExtension);
        const char* type = findXmlAttribute(attributes, "value-type", kOffice);
        const std::string_view valueType = type ? type : "";
        number_ = 0;
        stringValue_.reset();
        if (calcType && std::string_view(calcType) == "error") {
            kind_ = CellValue::Kind::Error;
        } else if (valueType == "float" || valueType == "percentage" || valueType == "currency") {
            kind_ = CellValue::Kind::Number;
            const char* value = findXmlAttribute(attributes, "value", kOffice);
            if (value)
                std::from_chars(value, value + std::char_traits<char>::length(value), number_);
        } else if (valueType == "date") {
            kind_ = CellValue::Kind::Date;
            const char* value = findXmlAttribute(attributes, "date-value", kOffice);
            if (!value || !parseIsoDateTime(value, number_))
                throwDamaged("bad date in a cell");
        } else if (valueType == "time") {
            kind_ = CellValue::Kind::Date;
            const char* value = findXmlAttribute(attributes, "time-value", kOffice);
            number_ = value ? parseDuration(value) : 0;
        } else if (valueType == "boolean") {
            kind_ = CellValue::Kind::Boolean;
            const char* value = findXmlAttribute(attributes, "boolean-value", kOffice);
            number_ =
                value && (std::string_view(value) == "true" || std::string_view(value) == "1");
        } else if (valueType == "string") {
            kind_ = CellValue::Kind::Text;
            if (const char* value = findXmlAttribute(attributes, "string-value", kOffice))
                stringValue_ = value;
        } else {
            kind_ = CellValue::Kind::Empty; // text without a value type still counts as text
        }
    }

    void endCell() {
        inCell_ = false;
        auto kind = kind_;
        if (kind == CellValue::Kind::Empty && paragraphs_ > 0 && !text_.empty())
            kind = CellValue::Kind::Text;
        if (kind != CellValue::Kind::Empty) {
            if (cells_.size() >= kMaxSheetValues)
                throw ReadError("the sheet holds more values than Tarnwick can read");
            cells_.push_back(
                {col_, cellRepeat_, kind, number_,
                 kind == CellValue::Kind::Text && stringValue_ ? *stringValue_ : text_});
        }
        col_ += cellRepeat_;
    }

    void endRow() {
        if (!cells_.empty()) {
            for (long r = 0; r < rowRepeat_; ++r) {
                if (row_ + r >= kMaxSheetRows)
                    throw ReadError("the sheet has more rows than Tarnwick can read");
                for (const auto& cell : cells_)
                    for (long c = 0; c < cell.repeat; ++c)
                        sink_.value(row_ + r, cell.col + c, valueOf(cell));
            }
        }
        row_ += rowRepeat_;
    }

    static CellValue valueOf(const PendingCell& cell) {
        switch (cell.kind) {
        case CellValue::Kind::Number:
            return CellValue::ofNumber(cell.number);
        case CellValue::Kind::Date:
            return CellValue::ofDate(cell.number);
        case CellValue::Kind::Boolean:
            return CellValue::ofBoolean(cell.number != 0);
        case CellValue::Kind::Error:
            return CellValue::ofError(cell.text.empty() ? "#ERROR" : cell.text);
        default:
            return CellValue::ofText(cell.text);
        }
    }

    SheetSink& sink_;
    int tableDepth_ = 0;
    int annotationDepth_ = 0;
    bool finished_ = false;
    long row_ = 0, col_ = 0, rowRepeat_ = 1, cellRepeat_ = 1;
    bool inCell_ = false;
    int paragraphs_ = 0;
    CellValue::Kind kind_ = CellValue::Kind::Empty;
    double number_ = 0;
    std::optional<std::string> stringValue_;
    std::string text_;
    std::vector<PendingCell> cells_;
};

} // namespace

bool isOdsPackage(GsfInfile* zip) {
    auto mimetype = openZipMember(zip, "mimetype");
    if (!mimetype)
        return openZipMember(zip, "content.xml") != nullptr;
    const std::string type = readWholeInput(mimetype.get(), 4096);
    return type.starts_with("application/vnd.oasis.opendocument.spreadsheet");
}

void readOdsWorkbook(GsfInfile* zip, SheetSink& sink) {
    auto content = openZipMember(zip, "content.xml");
    if (!content)
        throwDamaged("the spreadsheet's content part is missing");
    ContentHandler handler(sink);
    parseXmlStream(content.get(), handler);
    if (!handler.sawTable())
        throw ReadError("the workbook holds no worksheet");
}

} // namespace tarnwick
