#include "cli/BatchTool.h"

#include "cli/Usage.h"
#include "core/ByHaplotypeTable.h"
#include "core/CellReference.h"
#include "core/Diversity.h"
#include "core/Error.h"
#include "core/GenotypeLoci.h"
#include "core/GenotypeMatching.h"
#include "core/IntegerText.h"
#include "core/MatchProbabilities.h"
#include "core/PopulationSummary.h"
#include "core/Version.h"
#include "io/BiffWriter.h"
#include "io/DelimitedTextWriter.h"
#include "io/HighlightedWorkbookWriter.h"
#include "io/WorkbookReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace tarnwick {
namespace {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct MatchOptions {
    std::string database;
    std::string search;
    std::optional<std::string> steps;
    std::optional<std::string> byHaplotype;
    std::optional<std::string> byPopulation;
    bool genotypes = false;
};

struct FrequenciesOptions {
    std::string database;
    std::string search;
    std::optional<std::string> confidence;
    std::optional<std::string> out;
    bool genotypes = false;
};

struct DiversityOptions {
    std::string database;
    std::optional<std::string> out;
    bool genotypes = false;
};

struct ShowOptions {
    std::string file;
    std::optional<TableLayout> layout; // the table's role, when its loci are to be checked
    bool genotypes = false;
};

void setFlagOnce(bool& flag, const std::string& option) {
    if (flag)
        throw UsageError(option + " is given twice");
    flag = true;
}

// Splits arguments into options (with the value that follows each, for those that take one) and
// positional ones.
class ArgumentList {
public:
    explicit ArgumentList(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    bool atEnd() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    std::string valueOf(const std::string& option) {
        if (atEnd())
            throw UsageError(option + " needs a value");
        return take();
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
};

void setOnce(std::optional<std::string>& field, const std::string& option, ArgumentList& list) {
    if (field)
        throw UsageError(option + " is given twice");
    field = list.valueOf(option);
}

// Whether two names lead to the same file, or would once it is created.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    const auto canonicalA = std::filesystem::weakly_canonical(a, error);
    if (error)
        return false;
    const auto canonicalB = std::filesystem::weakly_canonical(b, error);
    return !error && canonicalA == canonicalB;
}

// An output never replaces an input, nor the other output: a run must not destroy what it reads
// or what it has just written.
void checkOutputsAreNew(const MatchOptions& options) {
    const std::pair<const std::optional<std::string>&, const char*> outputs[] = {
        {options.byHaplotype, "--by-haplotype"}, {options.byPopulation, "--by-population"}};
    for (const auto& [output, option] : outputs) {
        if (!output || *output == "-")
            continue;
        for (const auto& [input, role] :
             {std::pair{&options.database, "database"}, std::pair{&options.search, "search"}})
            if (sameFile(*output, *input))
                throw UsageError(std::string(option) + " " + *output + " is the " + role +
                                 " file; choose another name for the output");
    }
    if (options.byHaplotype && options.byPopulation && *options.byHaplotype != "-" &&
        sameFile(*options.byHaplotype, *options.byPopulation))
        throw UsageError("--by-haplotype and --by-population name the same file " +
                         *options.byPopulation);
}

MatchOptions parseMatch(ArgumentList list) {
    MatchOptions options;
    std::vector<std::string> files;
    while (!list.atEnd()) {
        const std::string& argument = list.take();
        if (argument == "--steps")
            setOnce(options.steps, argument, list);
        else if (argument == "--by-haplotype")
            setOnce(options.byHaplotype, argument, list);
        else if (argument == "--by-population")
            setOnce(options.byPopulation, argument, list);
        else if (argument == "--genotypes")
            setFlagOnce(options.genotypes, argument);
        else if (argument.starts_with("--"))
            throw UsageError("unknown option " + argument);
        else
            files.push_back(argument);
    }
    if (files.size() != 2)
        throw UsageError("match needs a database file and a search file");
    if (!options.steps)
        throw UsageError("match needs --steps N");
    options.database = files[0];
    options.search = files[1];
    checkOutputsAreNew(options);
    return options;
}

// Positional arguments and the options of the statistics commands.
template <typename Options>
std::vector<std::string> parseStatistics(ArgumentList& list, Options& options,
                                         std::optional<std::string>* confidence) {
    std::vector<std::string> files;
    while (!list.atEnd()) {
        const std::string& argument = list.take();
        if (argument == "--out")
            setOnce(options.out, argument, list);
        else if (argument == "--genotypes")
            setFlagOnce(options.genotypes, argument);
        else if (argument == "--confidence" && confidence)
            setOnce(*confidence, argument, list);
        else if (argument.starts_with("--"))
            throw UsageError("unknown option " + argument);
        else
            files.push_back(argument);
    }
    if (!options.out)
        throw UsageError("--out FILE is needed");
    return files;
}

FrequenciesOptions parseFrequencies(ArgumentList list) {
    FrequenciesOptions options;
    const auto files = parseStatistics(list, options, &options.confidence);
    if (files.size() != 2)
        throw UsageError("frequencies needs a database file and a search file");
    options.database = files[0];
    options.search = files[1];
    for (const std::string* input : {&options.database, &options.search})
        if (*options.out != "-" && sameFile(*options.out, *input))
            throw UsageError("--out " + *options.out + " is an input file; choose another name");
    return options;
}

DiversityOptions parseDiversity(ArgumentList list) {
    DiversityOptions options;
    const auto files = parseStatistics(list, options, nullptr);
    if (files.size() != 1)
        throw UsageError("diversity needs a database file");
    options.database = files[0];
    if (*options.out != "-" && sameFile(*options.out, options.database))
        throw UsageError("--out " + *options.out + " is the database file; choose another name");
    return options;
}

ShowOptions parseShow(ArgumentList list) {
    ShowOptions options;
    std::vector<std::string> files;
    while (!list.atEnd()) {
        const std::string& argument = list.take();
        if (argument == "--database" || argument == "--search") {
            if (options.layout)
                throw UsageError("show takes one role");
            options.layout = argument == "--database" ? kDatabaseLayout : kSearchLayout;
        } else if (argument == "--genotypes") {
            setFlagOnce(options.genotypes, argument);
        } else if (argument.starts_with("--")) {
            throw UsageError("unknown option " + argument);
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 1)
        throw UsageError("show needs one file");
    options.file = files[0];
    if (options.genotypes && !options.layout)
        options.layout = kDatabaseLayout;
    return options;
}

// A table read as a load reads it, and whether its locus cells are all whole numbers or empty.
struct CheckedTable {
    std::shared_ptr<const HaplotypeTable> table;
    bool clean;
};

// Reads a file and reads and checks its locus cells as the load commands do. Lists every faulty
// cell with the text the file holds there.
CheckedTable readChecked(const std::string& file, TableLayout layout, bool genotypes,
                         std::ostream& err) {
    auto read = readHaplotypeTable(
        file, layout, genotypes ? CellReading::Genotypes : CellReading::TidiedIntegers);
    // Listed in pieces of 64 KB: a file can hold millions of faulty cells, and stderr is
    // unbuffered.
    std::string list;
    constexpr std::size_t kPiece = 1 << 16;
    std::string scratch;
    for (const FaultyCell& fault : read.faults) {
        const std::string_view tidied = read.table->text(fault.col, fault.row, scratch);
        list += file + ": cell " + cellReference(fault.col, fault.row) + " holds \"" +
                fault.asRead + "\"";
        if (tidied != fault.asRead)
            list += " (tidied to \"" + std::string(tidied) + "\")";
        list += genotypes ? ", which is not a genotype\n" : ", which is not an integer\n";
        if (list.size() >= kPiece) {
            err << list;
            list.clear();
        }
    }
    const std::size_t faults = read.faults.size();
    if (faults > 0)
        list +=
            file + ": " + std::to_string(faults) + " faulty cell" + (faults == 1 ? "" : "s") + "\n";
    err << list;
    return {std::move(read.table), faults == 0};
}

std::string lowerCaseExtension(const std::string& file) {
    const auto dot = file.find_last_of('.');
    const auto slash = file.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string extension = file.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

void writeTable(const TextTable& table, int rowCount, const std::string& target,
                std::ostream& out) {
    const std::string extension = lowerCaseExtension(target);
    if (target == "-")
        writeDelimitedText(out, table, rowCount, TextTableFormat::Tsv);
    else if (extension == ".csv")
        saveDelimitedText(table, rowCount, TextTableFormat::Csv, target);
    else if (extension == ".tsv")
        saveDelimitedText(table, rowCount, TextTableFormat::Tsv, target);
    else if (extension == ".xlsx")
        SaveTableAsWorkbook(table, target);
    else
        SaveTableAsBiff(table, target);
}

// What a run is doing, on one line of a terminal that each step overwrites; cleared at the end.
// Silent when stderr is not a terminal.
class TerminalStatus {
public:
    TerminalStatus(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ~TerminalStatus() { show(""); }

    void show(const std::string& text) {
        if (enabled_ && (shown_ || !text.empty()))
            err_ << "\r\033[K" << text << std::flush;
        shown_ = !text.empty();
    }

    // Counts search haplotypes once the calculation has taken a second, a few times a second.
    MatchProgress calculationProgress() {
        if (!enabled_)
            return {};
        const auto start = Clock::now();
        return [this, start, last = start](std::size_t done, std::size_t total) mutable {
            const auto now = Clock::now();
            if (now - start < std::chrono::seconds(1) ||
                now - last < std::chrono::milliseconds(200))
                return;
            last = now;
            show("calculating: " + std::to_string(done) + " of " + std::to_string(total) +
                 " search haplotypes compared");
        };
    }

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& err_;
    bool enabled_;
    bool shown_ = false;
};

// A message as the window would show it in a box, on one line of stderr.
void report(std::ostream& err, TerminalStatus& status, const std::string& text) {
    status.show("");
    std::string shown = text.substr(text.find_first_not_of(' '));
    std::replace(shown.begin(), shown.end(), '\r', ' ');
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    err << shown << "\n";
}

// The table a calculation without a match leaves: one empty cell.
class NoMatchTable : public TextTable {
public:
    int columnCount() const override { return 1; }
    int rowCount() const override { return 1; }
    std::string_view text(int, int, std::string&) const override { return {}; }
};

int runMatch(const MatchOptions& options, std::ostream& out, std::ostream& err,
             bool progressToTerminal) {
    TerminalStatus status(err, progressToTerminal);
    status.show("reading " + options.database + "...");
    const auto [database, databaseClean] =
        readChecked(options.database, kDatabaseLayout, options.genotypes, err);
    status.show("reading " + options.search + "...");
    const auto [search, searchClean] =
        readChecked(options.search, kSearchLayout, options.genotypes, err);
    if (!databaseClean || !searchClean)
        return kExitFailure;
    // The refusals of the window's Calculate, in its order.
    if (options.steps->empty()) {
        report(err, status, "nonselected step");
        return kExitFailure;
    }
    if (database->title(0).empty() || search->title(0).empty()) {
        report(err, status, "data not load");
        return kExitFailure;
    }
    const std::size_t pairs = options.genotypes ? pairGenotypeLoci(*database, *search).size()
                                                : pairLoci(*database, *search).size();
    if (pairs == 0 && database->haplotypes() > 0 && search->haplotypes() > 0) {
        report(err, status, "no common loci");
        return kExitFailure;
    }
    const std::int64_t limit = parseIntegerText(*options.steps);
    status.show("calculating...");
    auto result = std::make_shared<const MatchResult>(
        options.genotypes ? matchGenotypes(*database, *search, limit, status.calculationProgress())
                          : match(*database, *search, limit, status.calculationProgress()));
    status.show("");
    if (result->failure)
        throw ConversionError(*result->failure);
    const NoMatchTable noMatch;
    const ByHaplotypeTable matches(database, search, result);
    const TextTable& byHaplotype =
        result->matches.empty() ? static_cast<const TextTable&>(noMatch) : matches;
    if (result->matches.empty())
        report(err, status, "not match");
    else
        report(err, status,
               std::string(19, ' ') + "SUCCESFUL!!!\r\n" + std::to_string(pairs) +
                   " markers overlap with the database");
    const std::string target = options.byHaplotype.value_or("-");
    status.show(target == "-" ? "" : "writing " + target + "...");
    writeTable(byHaplotype, byHaplotype.rowCount(), target, out);
    if (options.byPopulation) {
        const ByPopulationTable byPopulation(
            summariseByPopulation(*database, populationMatches(*database, result->matches)).rows);
        status.show(*options.byPopulation == "-" ? "" : "writing " + *options.byPopulation + "...");
        writeTable(byPopulation, byPopulation.rowCount(), *options.byPopulation, out);
    }
    return kExitSuccess;
}

// The confidence as given: a decimal number from 0.5 to 0.9999.
double confidenceOf(const std::optional<std::string>& text) {
    if (!text)
        return 0.95;
    double value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() ||
        !(value >= kLeastConfidence) || !(value <= kGreatestConfidence))
        throw UsageError("--confidence takes a number from 0.5 to 0.9999, not \"" + *text + "\"");
    return value;
}

int runFrequencies(const FrequenciesOptions& options, std::ostream& out, std::ostream& err) {
    const double confidence = confidenceOf(options.confidence);
    const auto [database, databaseClean] =
        readChecked(options.database, kDatabaseLayout, options.genotypes, err);
    const auto [search, searchClean] =
        readChecked(options.search, kSearchLayout, options.genotypes, err);
    if (!databaseClean || !searchClean)
        return kExitFailure;
    const MatchProbabilityTable table(search, matchProbabilities(*database, *search, confidence));
    writeTable(table, table.rowCount(), *options.out, out);
    return kExitSuccess;
}

int runDiversity(const DiversityOptions& options, std::ostream& out, std::ostream& err) {
    const auto [database, clean] =
        readChecked(options.database, kDatabaseLayout, options.genotypes, err);
    if (!clean)
        return kExitFailure;
    const DiversityTable table(populationDiversity(*database));
    writeTable(table, table.rowCount(), *options.out, out);
    return kExitSuccess;
}

// A table with its locus cells as the genotype reading understands them ("14", "13.2",
// "12,13", "null", empty when missing); a faulty cell keeps its text.
class UnderstoodGenotypes : public TextTable {
public:
    explicit UnderstoodGenotypes(std::shared_ptr<const HaplotypeTable> table)
        : table_(std::move(table)) {}
    int columnCount() const override { return table_->columnCount(); }
    int rowCount() const override { return table_->rowCount(); }
    std::string_view text(int col, int row, std::string& scratch) const override {
        if (row == 0 || !table_->isLocusColumn(col))
            return table_->text(col, row, scratch);
        const Genotype genotype = genotypeAt(*table_, col, static_cast<std::size_t>(row - 1));
        if (genotype.kind == Genotype::Kind::Fault)
            return table_->text(col, row, scratch);
        scratch = genotypeText(genotype);
        return scratch;
    }

private:
    std::shared_ptr<const HaplotypeTable> table_;
};

int runShow(const ShowOptions& options, std::ostream& out, std::ostream& err) {
    // Without a role the file is shown as it is read; with one, read and checked.
    if (options.genotypes) {
        const auto [table, clean] = readChecked(options.file, *options.layout, true, err);
        const UnderstoodGenotypes understood(table);
        writeDelimitedText(out, understood, understood.rowCount(), TextTableFormat::Tsv);
        return clean ? kExitSuccess : kExitFailure;
    }
    const auto [table, clean] =
        options.layout
            ? readChecked(options.file, *options.layout, false, err)
            : CheckedTable{
                  readHaplotypeTable(options.file, kSheetLayout, CellReading::Integers).table,
                  true};
    writeDelimitedText(out, *table, table->rowCount(), TextTableFormat::Tsv);
    return clean ? kExitSuccess : kExitFailure;
}

} // namespace

int runBatchTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 bool progressToTerminal) {
    try {
        if (arguments.empty())
            throw UsageError("no command given");
        const std::string& command = arguments.front();
        if (command == "--help" || command == "-h" || command == "help") {
            out << kBatchUsage;
            return kExitSuccess;
        }
        if (command == "--version") {
            out << "tarnwick-cli " << kVersion << "\n";
            return kExitSuccess;
        }
        const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
            out << kBatchUsage;
            return kExitSuccess;
        }
        if (command == "match")
            return runMatch(parseMatch(ArgumentList(rest)), out, err, progressToTerminal);
        if (command == "frequencies")
            return runFrequencies(parseFrequencies(ArgumentList(rest)), out, err);
        if (command == "diversity")
            return runDiversity(parseDiversity(ArgumentList(rest)), out, err);
        if (command == "show")
            return runShow(parseShow(ArgumentList(rest)), out, err);
        throw UsageError("unknown command " + command);
    } catch (const UsageError& error) {
        err << "tarnwick-cli: " << error.what() << "\n\n" << kBatchUsage;
        return kExitUsage;
    } catch (const std::exception& error) {
        err << "tarnwick-cli: " << error.what() << "\n";
        return kExitFailure;
    }
}

} // namespace tarnwick
