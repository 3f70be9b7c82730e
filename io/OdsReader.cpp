#include "io/OdsReader.h"

#include "io/DateFormats.h"
#include "io/GsfHandles.h"
#include "io/NumberParsing.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/XmlStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::string_view kTable = "table";
constexpr std::string_view kOffice = "office";
constexpr std::string_view kText = "text";
constexpr std::string_view kCalcExtension = "calcext";

// A count attribute (repeats, spaces): at least 1, and never more than a sheet has rows, so that
// sums of counts cannot overflow.
long countAttribute(const char* value) {
    if (!value)
        return 1;
    const auto count = parseDecimalInteger(value);
    if (!count)
        throwDamaged(std::string("bad count ") + value);
    return std::clamp(*count, 1L, kMaxSheetRows + 1);
}

long repeatCount(const char** attributes, std::string_view name) {
    return countAttribute(findXmlAttribute(attributes, name, kTable));
}

// "PT13H45M00S", "P1DT2H" or "-PT0.5S" as a fraction of a day (hours may exceed 24): an ISO 8601
// duration of days, hours, minutes and seconds, each a run of digits, seconds with a fraction.
std::optional<double> parseDuration(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative)
        text.remove_prefix(1);
    if (!text.starts_with('P'))
        return std::nullopt;
    text.remove_prefix(1);
    double seconds = 0;
    bool inTime = false, anyPart = false;
    std::string_view units = "D"; // the units that may still follow, in order
    while (!text.empty()) {
        if (text.front() == 'T' && !inTime) {
            inTime = true;
            units = "HMS";
            text.remove_prefix(1);
            continue;
        }
        const auto digits = text.find_first_not_of("0123456789");
        if (digits == 0 || digits == std::string_view::npos)
            return std::nullopt;
        std::size_t end = digits;
        if (text[end] == '.') {
            const auto fraction = text.find_first_not_of("0123456789", end + 1);
            if (fraction == end + 1 || fraction == std::string_view::npos || text[fraction] != 'S')
                return std::nullopt;
            end = fraction;
        }
        double number = 0;
        if (std::from_chars(text.data(), text.data() + end, number).ec != std::errc())
            return std::nullopt;
        const auto unit = units.find(text[end]);
        if (unit == std::string_view::npos)
            return std::nullopt;
        constexpr double kDay = 86400, kHour = 3600, kMinute = 60;
        const double scale = !inTime ? kDay
                                     : (units[unit] == 'H'   ? kHour
                                        : units[unit] == 'M' ? kMinute
                                                             : 1);
        seconds += number * scale;
        units.remove_prefix(unit + 1);
        text.remove_prefix(end + 1);
        anyPart = true;
    }
    if (!anyPart || !std::isfinite(seconds))
        return std::nullopt;
    return (negative ? -seconds : seconds) / 86400;
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
    ContentHandler(SheetSink& sink, ReadBudget& budget) : sink_(sink), budget_(budget) {}

    void startElement(XmlName name, const char** attributes) override {
        if (name.ns == kTable && name.local == "table") {
            if (++tableDepth_ == 1)
                startTable(attributes);
            return;
        }
        if (tableDepth_ != 1 || skipping_)
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
                    appendText(1, '\n');
            } else if (name.local == "s") {
                appendText(countAttribute(findXmlAttribute(attributes, "c", kText)), ' ');
            } else if (name.local == "tab") {
                appendText(1, '\t');
            } else if (name.local == "line-break") {
                appendText(1, '\n');
            }
        }
    }

    void endElement(XmlName name) override {
        if (name.ns == kTable && name.local == "table") {
            --tableDepth_;
            return;
        }
        if (name.ns == kOffice && name.local == "spreadsheet" && tableDepth_ == 0)
            finished_ = true; // the tables are all inside it
        if (tableDepth_ != 1 || skipping_)
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
        // A table nested in a cell (a subtable) is not the cell's text.
        if (tableDepth_ == 1 && !skipping_ && inCell_ && !annotationDepth_ && paragraphs_ > 0) {
            ReadBudget::checkCellText(text_.size() + text.size(), row_, col_);
            text_ += text;
        }
    }

    bool done() const override { return finished_; }
    bool sawTable() const { return tables_ > 0; }

private:
    // Each table of the spreadsheet is a worksheet; one not wanted is passed over unread.
    void startTable(const char** attributes) {
        const char* name = findXmlAttribute(attributes, "name", kTable);
        const int index = tables_++;
        ReadBudget::checkWorksheetCount(static_cast<std::size_t>(tables_));
        skipping_ = !sink_.beginSheet(index, name ? name : "");
        if (skipping_)
            return;
        sheet_ = worksheetPhrase(index, name ? name : "");
        row_ = 0;
        col_ = 0;
        rowRepeat_ = 1;
        cellRepeat_ = 1;
        inCell_ = false;
        annotationDepth_ = 0;
        cells_.clear();
    }

    void appendText(long count, char c) {
        const auto n = static_cast<std::size_t>(count);
        ReadBudget::checkCellText(text_.size() + n, row_, col_);
        text_.append(n, c);
    }

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
            if (const char* value = findXmlAttribute(attributes, "value", kOffice)) {
                const auto number = parseFiniteNumber(value);
                if (!number)
                    throwDamaged(std::string("bad number ") + value);
                number_ = *number;
            }
        } else if (valueType == "date") {
            kind_ = CellValue::Kind::Date;
            const char* value = findXmlAttribute(attributes, "date-value", kOffice);
            if (!value || !parseIsoDateTime(value, number_))
                throwDamaged(std::string("bad date ") + (value ? value : "(none)"));
        } else if (valueType == "time") {
            kind_ = CellValue::Kind::Date;
            if (const char* value = findXmlAttribute(attributes, "time-value", kOffice)) {
                const auto days = parseDuration(value);
                if (!days)
                    throwDamaged(std::string("bad time ") + value);
                number_ = *days;
            }
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
            if (col_ >= kMaxSheetColumns)
                throw ReadError(sheet_ + " has more than 16384 columns");
            std::string text =
                kind == CellValue::Kind::Text && stringValue_ ? *stringValue_ : text_;
            ReadBudget::checkCellText(text.size(), row_, col_);
            budget_.countText(text.size());
            cells_.push_back({col_, cellRepeat_, kind, number_, std::move(text)});
        }
        col_ = std::min(col_ + cellRepeat_, kMaxSheetColumns + 1);
    }

    // Each cell goes to the sink once, with its repeats, whatever they are: the titles' row first
    // whole, as the sink reads the titles before the rows.
    void endRow() {
        long row = row_, rows = rowRepeat_;
        if (row == 0 && rows > 1) {
            for (const auto& cell : cells_)
                sink_.repeatedValue(0, 1, cell.col, cell.repeat, valueOf(cell));
            row = 1;
            --rows;
        }
        for (const auto& cell : cells_)
            sink_.repeatedValue(row, rows, cell.col, cell.repeat, valueOf(cell));
        // Trailing empty rows may repeat far beyond the last; counting stops past it.
        row_ = std::min(row_ + rowRepeat_, kMaxSheetRows + 1);
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
            return CellValue::ofError(cell.text.empty() ? std::string_view("#ERROR")
                                                        : std::string_view(cell.text));
        default:
            return CellValue::ofText(cell.text);
        }
    }

    SheetSink& sink_;
    ReadBudget& budget_;
    int tableDepth_ = 0;
    int annotationDepth_ = 0;
    bool finished_ = false;
    int tables_ = 0;
    bool skipping_ = false;
    std::string sheet_;
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

void readOdsWorkbook(GsfInfile* zip, SheetSink& sink, ReadBudget& budget) {
    auto content = openZipMember(zip, "content.xml");
    if (!content)
        throwDamaged("the spreadsheet's content part is missing");
    budget.setXmlByteAllowance(kOdsXmlBytesPerFileByte); // its XML is the most verbose
    ContentHandler handler(sink, budget);
    parseXmlStream(content.get(), handler, budget);
    if (!handler.sawTable())
        throw ReadError("the workbook holds no worksheet");
}

} // namespace tarnwick
