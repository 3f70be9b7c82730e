#include "io/TableImport.h"

#include "core/genotype/LocusKeys.h"
#include "core/table/GenotypeLoci.h"
#include "core/table/RepeatedRows.h"
#include "core/text/CellReference.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/SheetReader.h"
#include "io/TableCollector.h"
#include "io/ValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

namespace tarnwick {
namespace {

constexpr int kSampleColumn = 0;
constexpr int kPopulationColumn = 1; // of a search set, its comment
constexpr int kUnmapped = -1;
constexpr int kMostDescriptive = 7; // of a database

std::string inQuotes(std::string_view text) {
    std::string q = "\"";
    q.append(text).append("\"");
    return q;
}

// The text a title cell shows, in general form with "." before decimals.
std::string titleText(const CellValue& value) {
    switch (value.kind) {
    case CellValue::Kind::Text:
        return std::string(value.text);
    case CellValue::Kind::Number:
        return std::isfinite(value.number) ? numberText(value.number, '.') : std::string();
    case CellValue::Kind::Boolean:
        return booleanText(value.number != 0);
    case CellValue::Kind::Date:
        return dateText(value.number).value_or("");
    case CellValue::Kind::Error:
    case CellValue::Kind::Empty:
        break;
    }
    return {};
}

// A count cell: a whole number of men, at least 1; nothing for anything else.
std::optional<std::uint32_t> countOf(const CellValue& value) {
    constexpr double kMost = 1e9;
    if (value.kind == CellValue::Kind::Number)
        return value.number >= 1 && value.number <= kMost &&
                       value.number == std::trunc(value.number)
                   ? std::optional(static_cast<std::uint32_t>(value.number))
                   : std::nullopt;
    if (value.kind != CellValue::Kind::Text)
        return std::nullopt;
    std::string_view text = value.text;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::uint32_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1 || count > kMost)
        return std::nullopt;
    return count;
}

// Which sheets the settings ask for.
class SheetChoice {
public:
    explicit SheetChoice(const std::string& sheet) : sheet_(sheet) {
        std::uint32_t number = 0;
        const auto [end, error] =
            std::from_chars(sheet.data(), sheet.data() + sheet.size(), number);
        if (error == std::errc() && end == sheet.data() + sheet.size() && number >= 1)
            number_ = static_cast<int>(std::min<std::uint32_t>(number, 1u << 30));
    }
    bool all() const { return sheet_ == "all"; }
    bool wants(int index, std::string_view name) const {
        if (sheet_.empty())
            return index == 0;
        if (all())
            return true;
        if (number_)
            return index + 1 == *number_;
        return name == sheet_;
    }

private:
    std::string sheet_;
    std::optional<int> number_;
};

// A locus column by its key and which of the columns with that key it is.
using LocusPlace = std::pair<std::string, int>;

std::vector<LocusPlace> locusPlaces(const std::vector<std::string>& titles,
                                    const std::vector<ColumnRole>& roles,
                                    std::vector<int>* columns) {
    std::vector<LocusPlace> places;
    std::map<std::string, int> seen;
    for (std::size_t c = 0; c < titles.size(); ++c)
        if (roles[c] == ColumnRole::Locus) {
            std::string key = locusKey(titles[c]);
            const int occurrence = seen[key]++;
            places.emplace_back(std::move(key), occurrence);
            if (columns)
                columns->push_back(static_cast<int>(c));
        }
    return places;
}

// Takes the values of the sheets read, tells the columns apart at each sheet's titles, and
// hands the values on to the table's own columns.
class ImportSink : public SheetSink {
public:
    ImportSink(std::string fileName, TableLayout layout, const ImportSettings& settings,
               HaplotypeTableBuilder& builder)
        : fileName_(std::move(fileName)), layout_(layout), settings_(settings),
          choice_(settings.sheet), builder_(builder), collector_(builder, '.') {}

    bool beginSheet(int index, std::string_view name) override {
        finishSheet();
        begun_ = true;
        sheetNames_.emplace_back(name);
        if (!choice_.wants(index, name))
            return false;
        sheet_ = Sheet{};
        sheet_.name = name;
        sheet_.reading = true;
        return true;
    }

    void expectRows(long rows) override {
        if (imported.report.sheets.empty())
            collector_.expectRows(rows);
    }

    void value(long row, long col, const CellValue& value) override {
        if (value.kind == CellValue::Kind::Empty)
            return;
        if (!begun_) // a reader without sheets: one sheet, wanted
            beginSheet(0, "");
        if (!sheet_.reading)
            return;
        if (row == 0) {
            if (sheet_.decided)
                throw ReadError("the titles of " + sheetLabel() +
                                " come after its rows; Tarnwick reads them from row 1 first");
            if (sheet_.titles.size() <= static_cast<std::size_t>(col))
                sheet_.titles.resize(static_cast<std::size_t>(col) + 1);
            sheet_.titles[static_cast<std::size_t>(col)] = titleText(value);
            return;
        }
        if (!sheet_.decided)
            decide();
        const auto source = static_cast<std::size_t>(col);
        const int target = source < sheet_.targetOf.size() ? sheet_.targetOf[source] : kUnmapped;
        if (target == kUnmapped)
            return;
        const long tableRow = tableRowOf(row);
        if (target == countTarget_)
            counts_[static_cast<std::size_t>(tableRow - 1)] = countOf(value).value_or(0);
        collector_.value(tableRow, target, value);
    }

    // Handed on as runs of table rows that follow each other, as new rows do.
    void repeatedValue(long row, long rows, long col, long cols, const CellValue& value) override {
        if (value.kind == CellValue::Kind::Empty || rows <= 0 || cols <= 0)
            return;
        if (!begun_)
            beginSheet(0, "");
        if (!sheet_.reading)
            return;
        if (row == 0) {
            for (long c = col; c < col + cols; ++c)
                this->value(0, c, value);
            ++row;
            --rows;
        }
        if (rows > 0 && !sheet_.decided)
            decide();
        for (long r = row; r < row + rows;) {
            const long first = tableRowOf(r);
            long run = 1;
            while (r + run < row + rows && tableRowOf(r + run) == first + run)
                ++run;
            for (long c = col; c < col + cols; ++c) {
                const auto source = static_cast<std::size_t>(c);
                const int target =
                    source < sheet_.targetOf.size() ? sheet_.targetOf[source] : kUnmapped;
                if (target == kUnmapped)
                    continue;
                if (target == countTarget_)
                    std::fill_n(counts_.begin() + first - 1, run, countOf(value).value_or(0));
                collector_.repeatedValue(first, run, target, 1, value);
            }
            r += run;
        }
    }

    // Ends the last sheet; checks that the settings' sheet was there.
    void finishReading() {
        finishSheet();
        if (imported.report.sheets.empty()) {
            if (!settings_.sheet.empty() && !choice_.all())
                throw ReadError("it has no sheet " + inQuotes(settings_.sheet) +
                                "; its sheets are " + sheetList());
            if (choice_.all())
                throw ReadError("none of its sheets holds a table");
            throw ReadError(settings_.sheet.empty()
                                ? "its first worksheet holds no table"
                                : "its sheet " + inQuotes(settings_.sheet) + " holds no table");
        }
    }

    std::vector<std::uint32_t>& counts() { return counts_; }
    int countColumn() const { return countTarget_; }

    ImportedTable imported;

private:
    struct Sheet {
        std::string name;
        bool reading = false;
        bool decided = false;
        std::vector<std::string> titles;
        std::vector<int> targetOf;   // each sheet column's table column
        std::vector<long> tableRows; // each sheet row's table row, 0 while it has no value
        std::string population;      // when no column holds it
        bool samplesByRow = false;
    };

    bool database() const { return layout_.firstLocusColumn == kDatabaseLayout.firstLocusColumn; }

    std::string sheetLabel() const {
        return sheet_.name.empty() ? std::string("the table")
                                   : "the sheet " + inQuotes(sheet_.name);
    }
    std::string sheetList() const {
        std::string list;
        for (const std::string& name : sheetNames_)
            list.append(list.empty() ? "" : ", ").append(inQuotes(name));
        return list;
    }

    long tableRowOf(long row) {
        auto& rows = sheet_.tableRows;
        if (rows.size() <= static_cast<std::size_t>(row))
            rows.resize(static_cast<std::size_t>(row) + 1, 0);
        long& tableRow = rows[static_cast<std::size_t>(row)];
        if (tableRow == 0) {
            tableRow = nextRow_++;
            imported.rowOrigins.push_back(
                {static_cast<int>(imported.report.sheets.size()) - 1, row});
            counts_.push_back(0);
            fillRowConstants(tableRow, row);
        }
        return tableRow;
    }

    // The sample and population of a row when no column holds them.
    void fillRowConstants(long tableRow, long row) {
        if (sheet_.samplesByRow) {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, row + 1).ptr;
            builder_.setText(tableRow, kSampleColumn,
                             std::string_view(digits, static_cast<std::size_t>(end - digits)));
        }
        if (!sheet_.population.empty())
            builder_.setText(tableRow, kPopulationColumn, sheet_.population);
    }

    // The columns of the sheet told apart from its titles; the first sheet lays the table out.
    void decide() {
        sheet_.decided = true;
        imported.report.sheets.push_back(sheet_.name);
        const std::vector<ColumnRole> roles = columnRoles(sheet_.titles, settings_.marks);
        const bool first = imported.report.sheets.size() == 1;
        if (first)
            layOut(roles);
        mapColumns(roles);
    }

    void layOut(const std::vector<ColumnRole>& roles) {
        checkMarks();
        ImportReport& report = imported.report;
        loci_ = locusPlaces(sheet_.titles, roles, nullptr);
        if (loci_.empty())
            throw ReadError(sheetLabel() +
                            " has no column titled as a locus (such as DYS19, DYS389I or "
                            "GATAH4); mark the locus columns");
        const int descriptive = layout_.firstLocusColumn;
        titles_.assign(static_cast<std::size_t>(descriptive), "");
        titles_[kSampleColumn] = "Sample";
        titles_[kPopulationColumn] = database() ? "Population" : "Comment";
        report.sample = "the row numbers";
        // The count's column is kept however many other columns come before it.
        bool countToCome =
            database() && std::find(roles.begin(), roles.end(), ColumnRole::Count) != roles.end();
        for (std::size_t c = 0; c < roles.size(); ++c) {
            const std::string& title = sheet_.titles[c];
            switch (roles[c]) {
            case ColumnRole::Sample:
                titles_[kSampleColumn] = title;
                report.sample = "column " + inQuotes(title);
                break;
            case ColumnRole::Population:
                titles_[kPopulationColumn] = title;
                report.population = "column " + inQuotes(title);
                break;
            case ColumnRole::Count:
                // A search set's haplotypes are searched for once however many men share them.
                if (database()) {
                    report.count = "column " + inQuotes(title);
                    countTarget_ = nextDescriptive_++;
                    titles_[static_cast<std::size_t>(countTarget_)] = title;
                    countToCome = false;
                } else {
                    report.leftOut.push_back(title);
                }
                break;
            case ColumnRole::Locus:
                report.loci.push_back(title);
                titles_.push_back(title);
                break;
            case ColumnRole::Other:
                if (title.empty())
                    break;
                if (database() && nextDescriptive_ + (countToCome ? 1 : 0) < kMostDescriptive) {
                    otherTargets_[comparedTitle(title)] = nextDescriptive_;
                    titles_[static_cast<std::size_t>(nextDescriptive_++)] = title;
                    report.otherColumns.push_back(title);
                } else {
                    report.leftOut.push_back(title);
                }
                break;
            }
        }
        for (std::size_t c = 0; c < titles_.size(); ++c)
            builder_.setText(0, static_cast<long>(c), titles_[c]);
        builder_.cover(1, static_cast<long>(titles_.size()));
    }

    // Every marked title names a column of the first sheet read.
    void checkMarks() const {
        for (const ColumnMark& mark : settings_.marks) {
            const std::string compared = comparedTitle(mark.title);
            if (std::none_of(sheet_.titles.begin(), sheet_.titles.end(),
                             [&](const std::string& t) { return comparedTitle(t) == compared; }))
                throw ReadError(sheetLabel() + " has no column titled " + inQuotes(mark.title) +
                                " (given as its " + std::string(roleName(mark.role)) + ")");
        }
    }

    void mapColumns(const std::vector<ColumnRole>& roles) {
        sheet_.targetOf.assign(roles.size(), kUnmapped);
        std::vector<int> locusColumns;
        const std::vector<LocusPlace> places = locusPlaces(sheet_.titles, roles, &locusColumns);
        checkSameLoci(places);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const auto at = std::find(loci_.begin(), loci_.end(), places[i]);
            sheet_.targetOf[static_cast<std::size_t>(locusColumns[i])] =
                layout_.firstLocusColumn + static_cast<int>(at - loci_.begin());
        }
        bool hasSample = false, hasPopulation = false;
        for (std::size_t c = 0; c < roles.size(); ++c) {
            int& target = sheet_.targetOf[c];
            switch (roles[c]) {
            case ColumnRole::Sample:
                target = kSampleColumn;
                hasSample = true;
                break;
            case ColumnRole::Population:
                target = kPopulationColumn;
                hasPopulation = true;
                break;
            case ColumnRole::Count:
                target = countTarget_;
                break;
            case ColumnRole::Other:
                if (const auto other = otherTargets_.find(comparedTitle(sheet_.titles[c]));
                    other != otherTargets_.end())
                    target = other->second;
                break;
            case ColumnRole::Locus:
                break;
            }
        }
        sheet_.samplesByRow = !hasSample;
        if (!hasPopulation)
            sheet_.population = populationWithoutColumn();
    }

    // A sheet's name where it is a name of the user's, else the file's.
    std::string populationWithoutColumn() {
        ImportReport& report = imported.report;
        if (!sheet_.name.empty() && !isDefaultSheetName(sheet_.name)) {
            if (report.population.empty())
                report.population = "the sheet's name";
            return sheet_.name;
        }
        std::string stem = std::filesystem::path(fileName_).stem().string();
        if (report.population.empty())
            report.population = "the file's name " + inQuotes(stem);
        return stem;
    }

    void checkSameLoci(const std::vector<LocusPlace>& places) const {
        const std::string& firstSheet = imported.report.sheets.front();
        for (std::size_t i = 0; i < places.size(); ++i)
            if (std::find(loci_.begin(), loci_.end(), places[i]) == loci_.end())
                throw ReadError(sheetLabel() + " has the locus " + inQuotes(places[i].first) +
                                ", which the sheet " + inQuotes(firstSheet) +
                                " has not; sheets read together must have the same loci");
        for (const LocusPlace& place : loci_)
            if (std::find(places.begin(), places.end(), place) == places.end())
                throw ReadError(sheetLabel() + " lacks the locus " + inQuotes(place.first) +
                                " of the sheet " + inQuotes(firstSheet) +
                                "; sheets read together must have the same loci");
    }

    void finishSheet() {
        if (sheet_.reading && !sheet_.decided && !sheet_.titles.empty())
            decide(); // titles and no rows
        if (sheet_.decided)
            imported.sheetColumns.push_back(sheetColumnsOfTable());
        sheet_.reading = false;
        sheet_.decided = false;
    }

    std::vector<int> sheetColumnsOfTable() const {
        std::vector<int> columns(titles_.size(), -1);
        for (std::size_t c = 0; c < sheet_.targetOf.size(); ++c)
            if (const int target = sheet_.targetOf[c];
                target != kUnmapped && (target != kSampleColumn || !sheet_.samplesByRow))
                columns[static_cast<std::size_t>(target)] = static_cast<int>(c);
        return columns;
    }

    std::string fileName_;
    TableLayout layout_;
    const ImportSettings& settings_;
    SheetChoice choice_;
    HaplotypeTableBuilder& builder_;
    TableCollector collector_;
    std::vector<std::string> sheetNames_;
    Sheet sheet_;
    std::vector<LocusPlace> loci_;
    std::vector<std::string> titles_;
    std::map<std::string, int> otherTargets_;
    int nextDescriptive_ = 2;
    int countTarget_ = kUnmapped;
    bool begun_ = false;
    long nextRow_ = 1;
    std::vector<std::uint32_t> counts_;
};

bool isTyped(const HaplotypeTable& table, std::size_t haplotype) {
    for (int col = table.layout().firstLocusColumn; col < table.columns(); ++col)
        if (genotypeAt(table, col, haplotype).kind != Genotype::Kind::Missing)
            return true;
    return false;
}

// A row's sample, or its place on its sheet when it has none.
std::string sampleOf(const HaplotypeTable& table, const ImportedTable& imported,
                     std::size_t haplotype) {
    std::string scratch;
    const std::string_view sample = table.cell(kSampleColumn, haplotype, scratch);
    if (!sample.empty())
        return std::string(sample);
    return "row " + std::to_string(imported.rowOrigins[haplotype].row + 1);
}

// Whether a column titled as a count numbers the rows 1, 2, 3, ... instead, as the program's own
// databases number their haplotypes in a column "number".
bool numbersTheRows(const std::vector<std::uint32_t>& counts) {
    if (counts.size() < 2)
        return false;
    for (std::size_t h = 0; h < counts.size(); ++h)
        if (counts[h] != h + 1)
            return false;
    return true;
}

// The count cells of rows with a haplotype that hold no count, among the locus cells' faults:
// the count column is descriptive, so they come before them.
void addCountFaults(FaultyCellList& faults, int countColumn,
                    const std::vector<std::uint32_t>& counts, const std::vector<bool>& typed) {
    FaultyCellList all;
    for (std::size_t h = 0; h < counts.size(); ++h)
        if (typed[h] && counts[h] == 0)
            all.add({countColumn, static_cast<int>(h) + 1});
    all.append(faults);
    faults = std::move(all);
}

} // namespace

std::string ImportedTable::placeInFile(const FaultyCell& fault) const {
    const auto h = static_cast<std::size_t>(fault.row - 1);
    if (fault.row < 1 || h >= rowOrigins.size())
        return "cell " + cellReference(fault.col, fault.row);
    const Origin& origin = rowOrigins[h];
    const auto& columns = sheetColumns[static_cast<std::size_t>(origin.sheet)];
    const int col = static_cast<std::size_t>(fault.col) < columns.size()
                        ? columns[static_cast<std::size_t>(fault.col)]
                        : fault.col;
    std::string place = col >= 0 ? "cell " + cellReference(col, static_cast<int>(origin.row))
                                 : "row " + std::to_string(origin.row + 1);
    if (report.sheets.size() > 1)
        place = "sheet " + inQuotes(report.sheets[static_cast<std::size_t>(origin.sheet)]) + " " +
                place;
    return place;
}

std::string describeImport(const std::string& fileName, const ImportReport& report) {
    const auto list = [](const std::vector<std::string>& items) {
        std::string text;
        for (const std::string& item : items)
            text.append(text.empty() ? "" : ", ").append(item);
        return text;
    };
    std::string lines;
    const auto line = [&](const std::string& text) {
        lines.append(fileName).append(": ").append(text).append("\n");
    };
    if (report.sheets.size() > 1 || (report.sheets.size() == 1 && !report.sheets[0].empty())) {
        std::vector<std::string> names;
        for (const std::string& name : report.sheets)
            names.push_back(inQuotes(name));
        line((report.sheets.size() == 1 ? "sheet read: " : "sheets read: ") + list(names));
    }
    line(std::to_string(report.loci.size()) + " loci: " + list(report.loci));
    line("population from " + report.population);
    line("sample from " + report.sample);
    if (!report.count.empty())
        line("count from " + report.count);
    if (!report.otherColumns.empty())
        line("other columns kept: " + list(report.otherColumns));
    if (!report.leftOut.empty())
        line("columns left out: " + list(report.leftOut));
    line(std::to_string(report.rows) + (report.rows == 1 ? " row" : " rows") + " standing for " +
         std::to_string(report.men) + (report.men == 1 ? " man" : " men"));
    if (report.untyped > 0) {
        std::string named = list(report.untypedSamples);
        if (report.untyped > report.untypedSamples.size())
            named += ", ...";
        line(std::to_string(report.untyped) + (report.untyped == 1 ? " row has" : " rows have") +
             " no locus typed and take part in nothing: " + named);
    }
    return lines;
}

ImportedTable importTable(const std::string& fileName, TableLayout layout,
                          const ImportSettings& settings, const FileProgress& progress) {
    HaplotypeTableBuilder builder(layout, CellReading::Genotypes);
    ImportSink sink(fileName, layout, settings, builder);
    ProgressSink reported(sink, progress);
    readSheets(fileName, reported);
    try {
        sink.finishReading();
    } catch (const ReadError& error) {
        throw Error("Cannot read \"" + fileName + "\": " + error.what());
    }
    ImportedTable imported = std::move(sink.imported);
    auto read = builder.finish();
    const HaplotypeTable& table = *read.table;
    std::vector<std::uint32_t>& counts = sink.counts();
    counts.resize(table.haplotypes(), 0);
    ImportReport& report = imported.report;
    int countColumn = sink.countColumn();
    const bool countMarked =
        std::any_of(settings.marks.begin(), settings.marks.end(),
                    [](const ColumnMark& m) { return m.role == ColumnRole::Count; });
    if (countColumn != kUnmapped && !countMarked && numbersTheRows(counts)) {
        report.otherColumns.insert(report.otherColumns.begin(), table.title(countColumn));
        report.count.clear();
        countColumn = kUnmapped;
    }
    report.rows = table.haplotypes();
    std::vector<bool> typed(table.haplotypes());
    for (std::size_t h = 0; h < table.haplotypes(); ++h) {
        typed[h] = isTyped(table, h);
        if (!typed[h]) {
            if (report.untyped++ < ImportReport::kUntypedNamed)
                report.untypedSamples.push_back(sampleOf(table, imported, h));
        } else {
            report.men += countColumn == kUnmapped ? 1 : std::max<std::uint32_t>(counts[h], 1);
        }
    }
    imported.faults = std::move(read.faults);
    if (countColumn != kUnmapped)
        addCountFaults(imported.faults, countColumn, counts, typed);
    imported.table = read.table;
    if (imported.faults.empty() && countColumn != kUnmapped) {
        const std::uint64_t rows = report.men + report.untyped;
        if (rows * static_cast<std::uint64_t>(table.columns()) > kMaxSheetCells)
            throw Error("Cannot read \"" + fileName + "\": its counts add up to " +
                        std::to_string(report.men) +
                        " men, more than Tarnwick can hold: at most 100000000 cells");
        for (std::size_t h = 0; h < counts.size(); ++h)
            counts[h] = typed[h] ? counts[h] : 1;
        imported.table = withRepeatedRows(table, counts);
    }
    return imported;
}

namespace {

// Keeps the names of all sheets and the first rows of the one asked for, as texts.
class PreviewSink : public SheetSink {
public:
    PreviewSink(const std::string& sheet, int rows) : choice_(sheet), rows_(rows) {}

    bool beginSheet(int index, std::string_view name) override {
        begun_ = true;
        preview.sheetNames.emplace_back(name);
        reading_ = !found_ && (choice_.all() ? index == 0 : choice_.wants(index, name));
        found_ = found_ || reading_;
        return reading_;
    }

    void value(long row, long col, const CellValue& value) override {
        if (!begun_)
            beginSheet(0, "");
        if (!reading_ || row >= rows_ || col >= kPreviewColumns)
            return;
        auto& rows = preview.rows;
        if (rows.size() <= static_cast<std::size_t>(row))
            rows.resize(static_cast<std::size_t>(row) + 1);
        auto& cells = rows[static_cast<std::size_t>(row)];
        if (cells.size() <= static_cast<std::size_t>(col))
            cells.resize(static_cast<std::size_t>(col) + 1);
        cells[static_cast<std::size_t>(col)] = titleText(value);
    }

    // Only the part of the block the preview shows.
    void repeatedValue(long row, long rows, long col, long cols, const CellValue& value) override {
        for (long r = row; r < std::min(row + rows, static_cast<long>(rows_)); ++r)
            for (long c = col; c < std::min(col + cols, kPreviewColumns); ++c)
                this->value(r, c, value);
    }

    SheetPreview preview;

private:
    static constexpr long kPreviewColumns = 1000;
    SheetChoice choice_;
    long rows_;
    bool begun_ = false;
    bool reading_ = false;
    bool found_ = false;
};

} // namespace

SheetPreview previewSheet(const std::string& fileName, const std::string& sheet, int rows) {
    PreviewSink sink(sheet, rows);
    readSheets(fileName, sink);
    return std::move(sink.preview);
}

} // namespace tarnwick
