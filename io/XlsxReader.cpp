#include "io/XlsxReader.h"

#include "io/DateFormats.h"
#include "io/GsfHandles.h"
#include "io/NumberParsing.h"
#include "io/OutputPaths.h"
#include "io/ReadBudget.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/SharedTexts.h"
#include "io/XmlStream.h"
#include "io/XmlTextEscapes.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tarnwick {
namespace {

std::string attribute(const char** attributes, std::string_view local) {
    const char* value = findXmlAttribute(attributes, local);
    return value ? value : "";
}

bool isTrue(std::string_view value) {
    return value == "1" || value == "true";
}

// A whole-number attribute such as a style or format index; a damaged one ends the read.
long indexAttribute(const char* value, const char* what) {
    if (!value)
        return 0;
    const auto index = parseDecimalInteger(value);
    if (!index || *index < 0)
        throwDamaged(std::string("bad ") + what + " " + value);
    return *index;
}

// What a .rels part says that the table needs: the targets of the main document, the shared
// texts and the styles, and the worksheets by id. Nothing else is kept, so that relationships
// the reader has no use for cost no memory however large their attributes.
struct Relationships {
    std::string officeDocument, sharedStrings, styles;
    std::unordered_map<std::string, std::string> worksheets; // id -> target
};

constexpr std::string_view kOfficeDocument = "/officeDocument";

// Ids longer than this name no worksheet a program saves.
constexpr std::size_t kLongestRelationshipId = 255;
// A target longer than a ZIP member's name can be names no part.
constexpr std::size_t kLongestTarget = 65535;

class RelationshipsHandler : public XmlHandler {
public:
    explicit RelationshipsHandler(ReadBudget& budget) : budget_(budget) {}

    Relationships found;
    void startElement(XmlName name, const char** attributes) override {
        if (name.local != "Relationship")
            return;
        const char* typeValue = findXmlAttribute(attributes, "Type");
        const std::string_view type = typeValue ? typeValue : "";
        const char* targetValue = findXmlAttribute(attributes, "Target");
        const std::string_view target = targetValue ? targetValue : "";
        if (target.size() > kLongestTarget)
            return;
        if (type.ends_with(kOfficeDocument)) {
            keep(found.officeDocument, target);
        } else if (type.ends_with("/sharedStrings")) {
            keep(found.sharedStrings, target);
        } else if (type.ends_with("/styles")) {
            keep(found.styles, target);
        } else if (type.ends_with("/worksheet")) {
            const std::string id = attribute(attributes, "Id");
            if (id.size() <= kLongestRelationshipId) {
                budget_.countText(id.size());
                keep(found.worksheets[id], target);
            }
        }
    }
    void endElement(XmlName) override {}
    void characters(std::string_view) override {}

private:
    void keep(std::string& kept, std::string_view target) {
        budget_.countText(target.size());
        kept = target;
    }

    ReadBudget& budget_;
};

Relationships readRelationships(GsfInfile* zip, const std::string& path, ReadBudget& budget) {
    RelationshipsHandler handler(budget);
    if (auto part = openZipMember(zip, path))
        parseXmlStream(part.get(), handler, budget);
    return std::move(handler.found);
}

// A relationship target resolved against the folder of the part that names it.
std::string resolveTarget(const std::string& fromFolder, const std::string& target) {
    if (target.starts_with('/'))
        return target.substr(1);
    std::vector<std::string> parts;
    std::string path = fromFolder + target;
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto slash = path.find('/', start);
        const std::string part =
            path.substr(start, slash == std::string::npos ? slash : slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    std::string resolved;
    for (const auto& part : parts)
        resolved += (resolved.empty() ? "" : "/") + part;
    return resolved;
}

// A sheet of the workbook that is a worksheet, by its name and the target of its part.
struct WorksheetEntry {
    std::string name;
    std::string target;
};

// The workbook part up to the end of its list of sheets: the worksheets in the workbook's order
// (chart sheets and other kinds have no worksheet relationship and are left out).
class WorkbookHandler : public XmlHandler {
public:
    WorkbookHandler(const std::unordered_map<std::string, std::string>& worksheets,
                    ReadBudget& budget)
        : worksheets_(worksheets), budget_(budget) {}

    bool date1904 = false;
    std::vector<WorksheetEntry> sheets;
    void startElement(XmlName name, const char** attributes) override {
        if (name.local == "workbookPr") {
            date1904 = isTrue(attribute(attributes, "date1904"));
        } else if (name.local == "sheet") {
            const char* id = findXmlAttribute(attributes, "id");
            if (!id)
                return;
            const auto found = worksheets_.find(id);
            if (found == worksheets_.end())
                return;
            std::string sheetName = attribute(attributes, "name");
            budget_.countText(sheetName.size() + found->second.size());
            sheets.push_back({std::move(sheetName), found->second});
            ReadBudget::checkWorksheetCount(sheets.size());
        }
    }
    void endElement(XmlName name) override {
        if (name.local == "sheets")
            finished_ = true;
    }
    void characters(std::string_view) override {}
    bool done() const override { return finished_; }

private:
    const std::unordered_map<std::string, std::string>& worksheets_;
    ReadBudget& budget_;
    bool finished_ = false;
};

// The shared texts a worksheet's cells may refer to, by index. Real workbooks use every one, so
// all are kept while they are no more than the values the worksheet's part can hold; beyond,
// those its cells use are found first and only they are kept, so that texts nothing uses cost
// nothing however many the part lists.
class SheetSharedTexts {
public:
    SharedTexts texts;
    std::size_t listed = 0;          // how many the workbook lists
    bool selected = false;           // only those of used are kept
    std::vector<std::uint32_t> used; // ascending

    bool keeps(std::size_t index) const {
        return !selected || std::binary_search(used.begin(), used.end(), index);
    }
    std::optional<std::string_view> find(std::size_t index) const {
        if (index >= listed)
            return std::nullopt;
        if (!selected)
            return texts.at(index);
        const auto at = std::lower_bound(used.begin(), used.end(), index);
        if (at == used.end() || *at != index)
            return std::nullopt;
        return texts.at(static_cast<std::size_t>(at - used.begin()));
    }
};

class SharedStringsHandler : public XmlHandler {
public:
    // Keeps the texts that found keeps; when it keeps all, up to keepAtMost of them.
    SharedStringsHandler(SheetSharedTexts& found, std::uint64_t keepAtMost, ReadBudget& budget)
        : found_(found), keepAtMost_(keepAtMost), budget_(budget) {}

    // More texts than were to be kept: the reading stopped.
    bool tooMany() const { return tooMany_; }
    bool done() const override { return tooMany_; }

    void startElement(XmlName name, const char**) override {
        if (name.local == "si") {
            finishText();
            inString_ = true;
            kept_ = found_.keeps(found_.listed);
        } else if (name.local == "rPh") {
            ++phonetic_;
        } else if (name.local == "t" && !phonetic_) {
            inText_ = true;
        }
    }
    void endElement(XmlName name) override {
        if (name.local == "rPh")
            --phonetic_;
        else if (name.local == "t")
            inText_ = false;
        else if (name.local == "si")
            finishText();
    }
    void characters(std::string_view text) override {
        if (!inText_ || !inString_ || !kept_)
            return;
        budget_.countText(text.size());
        if (current_.size() + text.size() > kMaxCellTextBytes)
            throw ReadError("a shared text of the workbook holds more than 262144 bytes, more "
                            "than Tarnwick reads in one cell");
        current_ += text;
    }

private:
    void finishText() {
        if (!inString_)
            return;
        inString_ = false;
        ++found_.listed;
        if (!kept_)
            return;
        if (found_.texts.size() == keepAtMost_) {
            tooMany_ = true;
            return;
        }
        decodeEscapedCharacters(current_);
        found_.texts.add(current_);
        current_.clear();
    }

    SheetSharedTexts& found_;
    std::uint64_t keepAtMost_;
    bool tooMany_ = false;
    bool kept_ = true;
    ReadBudget& budget_;
    std::string current_;
    bool inString_ = false;
    bool inText_ = false;
    int phonetic_ = 0;
};

class StylesHandler : public XmlHandler {
public:
    std::vector<bool> xfIsDate;
    void startElement(XmlName name, const char** attributes) override {
        if (name.local == "numFmt") {
            const long id = indexAttribute(findXmlAttribute(attributes, "numFmtId"), "format");
            if (isDateFormatCode(attribute(attributes, "formatCode")))
                customDates_.insert(id);
        } else if (name.local == "cellXfs") {
            inCellXfs_ = true;
        } else if (name.local == "xf" && inCellXfs_) {
            const long id = indexAttribute(findXmlAttribute(attributes, "numFmtId"), "format");
            xfIsDate.push_back((id <= 255 && isBuiltinDateFormat(static_cast<int>(id))) ||
                               customDates_.contains(id));
        }
    }
    void endElement(XmlName name) override {
        if (name.local == "cellXfs")
            inCellXfs_ = false;
    }
    void characters(std::string_view) override {}

private:
    std::unordered_set<long> customDates_;
    bool inCellXfs_ = false;
};

// "B3" -> column 1, row 2; false when the text is no cell reference.
bool parseCellReference(std::string_view text, long& col, long& row) {
    std::size_t i = 0;
    long letters = 0;
    while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z' && i < 4)
        letters = letters * 26 + (text[i++] - 'A' + 1);
    long digits = 0;
    const std::size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digitsStart < 8)
        digits = digits * 10 + (text[i++] - '0');
    if (letters == 0 || digits == 0 || i != text.size() || digitsStart == i)
        return false;
    col = letters - 1;
    row = digits - 1;
    return true;
}

// The shared texts a worksheet's cells refer to, read from its part without its values.
class UsedSharedTextsHandler : public XmlHandler {
public:
    std::vector<std::uint32_t> used;

    void startElement(XmlName name, const char** attributes) override {
        if (name.local == "c") {
            const char* type = findXmlAttribute(attributes, "t");
            shared_ = type && std::string_view(type) == "s";
        } else if (name.local == "v" && shared_) {
            inValue_ = true;
            value_.clear();
        }
    }
    void endElement(XmlName name) override {
        if (name.local == "v" && inValue_) {
            inValue_ = false;
            const auto index = parseDecimalInteger(value_);
            if (!index || *index < 0 || *index > std::numeric_limits<std::uint32_t>::max())
                throwDamaged("a cell refers to a shared text that does not exist");
            used.push_back(static_cast<std::uint32_t>(*index));
        } else if (name.local == "sheetData") {
            finished_ = true;
        }
    }
    void characters(std::string_view text) override {
        if (!inValue_)
            return;
        if (value_.size() + text.size() > kLongestIndex)
            throwDamaged("a cell refers to a shared text that does not exist");
        value_ += text;
    }
    bool done() const override { return finished_; }

private:
    static constexpr std::size_t kLongestIndex = 24;
    bool shared_ = false, inValue_ = false, finished_ = false;
    std::string value_;
};

class SheetHandler : public XmlHandler {
public:
    SheetHandler(SheetSink& sink, const SheetSharedTexts& strings,
                 const std::vector<bool>& xfIsDate, bool date1904, const std::string& sheetPhrase)
        : sink_(sink), strings_(strings), xfIsDate_(xfIsDate), date1904_(date1904),
          sheetPhrase_(sheetPhrase) {}

    void startElement(XmlName name, const char** attributes) override {
        const auto& local = name.local;
        if (local == "row") {
            row_ = rowNumber(findXmlAttribute(attributes, "r"));
            col_ = -1;
        } else if (local == "c") {
            // One pass over the cell's attributes: this runs for every cell of the sheet.
            const char* r = nullptr;
            const char* type = "";
            style_ = 0;
            for (const char** a = attributes; *a; a += 2) {
                const XmlName attributeName = splitXmlName(*a);
                if (attributeName.local == "r")
                    r = a[1];
                else if (attributeName.local == "t")
                    type = a[1];
                else if (attributeName.local == "s")
                    style_ = indexAttribute(a[1], "style");
            }
            long col = col_ + 1, row = row_;
            if (r && !parseCellReference(r, col, row))
                throwDamaged(std::string("bad cell reference ") + r);
            col_ = col;
            row_ = row;
            type_ = type;
            value_.clear();
            inline_.clear();
            hasValue_ = false;
        } else if (local == "v") {
            inValue_ = true;
            hasValue_ = true;
        } else if (local == "is") {
            inInline_ = true;
            hasValue_ = true;
        } else if (local == "rPh") {
            ++phonetic_;
        } else if (local == "t" && inInline_ && !phonetic_) {
            inText_ = true;
        }
    }

    void endElement(XmlName name) override {
        const auto& local = name.local;
        if (local == "v")
            inValue_ = false;
        else if (local == "is")
            inInline_ = false;
        else if (local == "t")
            inText_ = false;
        else if (local == "rPh")
            --phonetic_;
        else if (local == "c" && hasValue_)
            emitCell();
        else if (local == "sheetData")
            finished_ = true;
    }

    void characters(std::string_view text) override {
        if (inValue_)
            append(value_, text);
        else if (inText_)
            append(inline_, text);
    }

    bool done() const override { return finished_; }

private:
    void append(std::string& cellText, std::string_view text) const {
        ReadBudget::checkCellText(cellText.size() + text.size(), row_, col_);
        cellText += text;
    }

    // The row a <row> element names, or the one after the last.
    long rowNumber(const char* r) const {
        if (!r)
            return row_ + 1;
        const auto number = parseDecimalInteger(r);
        if (!number || *number < 1)
            throwDamaged(std::string("bad row number ") + r);
        if (*number > kMaxSheetRows)
            throw ReadError(sheetPhrase_ + " has more than 1048576 rows");
        return *number - 1;
    }

    void emitCell() {
        if (row_ < 0 || col_ < 0)
            throwDamaged("a cell lies before the first row or column");
        if (type_ == "s") {
            const auto index = parseDecimalInteger(value_);
            const auto text = index && *index >= 0 ? strings_.find(static_cast<std::size_t>(*index))
                                                   : std::nullopt;
            if (!text)
                throwDamaged("a cell refers to a shared text that does not exist");
            sink_.value(row_, col_, CellValue::ofText(*text));
        } else if (type_ == "str") {
            decodeEscapedCharacters(value_);
            sink_.value(row_, col_, CellValue::ofText(value_));
        } else if (type_ == "inlineStr") {
            decodeEscapedCharacters(inline_);
            sink_.value(row_, col_, CellValue::ofText(inline_));
        } else if (type_ == "b") {
            sink_.value(row_, col_, CellValue::ofBoolean(isTrue(value_)));
        } else if (type_ == "e") {
            sink_.value(row_, col_, CellValue::ofError(value_));
        } else if (type_ == "d") {
            double days;
            if (!parseIsoDateTime(value_, days))
                throwDamaged("bad date " + value_);
            sink_.value(row_, col_, CellValue::ofDate(days));
        } else {
            if (value_.empty())
                return;
            const auto number = parseFiniteNumber(value_);
            if (!number)
                throwDamaged("bad number " + value_);
            const bool date = style_ >= 0 && static_cast<std::size_t>(style_) < xfIsDate_.size() &&
                              xfIsDate_[static_cast<std::size_t>(style_)];
            sink_.value(row_, col_,
                        date ? CellValue::ofDate(daysFromSerial(*number, date1904_))
                             : CellValue::ofNumber(*number));
        }
    }

    SheetSink& sink_;
    const SheetSharedTexts& strings_;
    const std::vector<bool>& xfIsDate_;
    bool date1904_;
    const std::string& sheetPhrase_;
    long row_ = -1, col_ = -1, style_ = 0;
    std::string type_, value_, inline_;
    bool hasValue_ = false, inValue_ = false, inInline_ = false, inText_ = false;
    int phonetic_ = 0;
    bool finished_ = false;
};

// The shared texts the worksheet whose part is sheetPart may need (its cells are scanned when the
// texts are more than it can hold values).
SheetSharedTexts readSharedTexts(GsfInfile* zip, const std::string& stringsPath,
                                 const std::string& sheetPath, ReadBudget& budget) {
    SheetSharedTexts found;
    auto part = openZipMember(zip, stringsPath);
    if (!part)
        return found;
    const auto sheetBytes = [&]() -> std::optional<std::uint64_t> {
        auto sheet = openZipMember(zip, sheetPath);
        return sheet ? MemberChecksum(sheet.get()).compressedSize() : std::nullopt;
    }();
    const std::uint64_t keepAtMost = sheetBytes ? kValuesPerFileByte.allowed(*sheetBytes)
                                                : std::numeric_limits<std::uint64_t>::max();
    SharedStringsHandler all(found, keepAtMost, budget);
    parseXmlStream(part.get(), all, budget);
    if (!all.tooMany())
        return found;
    UsedSharedTextsHandler scan;
    if (auto sheet = openZipMember(zip, sheetPath))
        parseXmlStream(sheet.get(), scan, budget);
    found = SheetSharedTexts();
    found.selected = true;
    found.used = std::move(scan.used);
    std::sort(found.used.begin(), found.used.end());
    found.used.erase(std::unique(found.used.begin(), found.used.end()), found.used.end());
    found.used.shrink_to_fit();
    part = openZipMember(zip, stringsPath);
    SharedStringsHandler selected(found, std::numeric_limits<std::uint64_t>::max(), budget);
    parseXmlStream(part.get(), selected, budget);
    return found;
}

} // namespace

bool isXlsxPackage(GsfInfile* zip) {
    return openZipMember(zip, "xl/workbook.xml") != nullptr ||
           openZipMember(zip, "_rels/.rels") != nullptr;
}

void readXlsxWorkbook(GsfInfile* zip, SheetSink& sink, ReadBudget& budget) {
    std::string workbookPath = "xl/workbook.xml";
    if (const auto root = readRelationships(zip, "_rels/.rels", budget);
        !root.officeDocument.empty())
        workbookPath = resolveTarget("", root.officeDocument);
    auto workbookPart = openZipMember(zip, workbookPath);
    if (!workbookPart)
        throw ReadError("the workbook part is missing; the file is not a spreadsheet workbook");

    const std::string folder = folderOf(workbookPath);
    const Relationships rels = readRelationships(
        zip, folder + "_rels/" + workbookPath.substr(folder.size()) + ".rels", budget);
    WorkbookHandler workbook(rels.worksheets, budget);
    parseXmlStream(workbookPart.get(), workbook, budget);
    if (workbook.sheets.empty())
        throw ReadError("the workbook holds no worksheet");

    // The shared texts and styles are read once, for the first sheet wanted (the texts again
    // for each sheet when only those a sheet uses were kept): a reader that only learns the
    // sheets' names reads nothing but the workbook part.
    std::optional<SheetSharedTexts> strings;
    std::optional<StylesHandler> styles;
    const std::string stringsPath = resolveTarget(
        folder, rels.sharedStrings.empty() ? "sharedStrings.xml" : rels.sharedStrings);
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        const WorksheetEntry& entry = workbook.sheets[i];
        const int index = static_cast<int>(i);
        if (!sink.beginSheet(index, entry.name))
            continue;
        const std::string sheetPath = resolveTarget(folder, entry.target);
        if (!styles) {
            styles.emplace();
            const std::string stylesPath =
                resolveTarget(folder, rels.styles.empty() ? "styles.xml" : rels.styles);
            if (auto part = openZipMember(zip, stylesPath))
                parseXmlStream(part.get(), *styles, budget);
        }
        if (!strings || strings->selected)
            strings = readSharedTexts(zip, stringsPath, sheetPath, budget);
        auto sheetPart = openZipMember(zip, sheetPath);
        if (!sheetPart)
            throwDamaged(index == 0
                             ? "the first worksheet's part is missing"
                             : "the part of " + worksheetPhrase(index, entry.name) + " is missing");
        const std::string phrase = worksheetPhrase(index, entry.name);
        SheetHandler sheet(sink, *strings, styles->xfIsDate, workbook.date1904, phrase);
        parseXmlStream(sheetPart.get(), sheet, budget);
    }
}

} // namespace tarnwick
