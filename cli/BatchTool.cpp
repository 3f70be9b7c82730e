#include "cli/BatchTool.h"

#include "cli/Arguments.h"
#include "cli/TableFiles.h"
#include "cli/TerminalStatus.h"
#include "cli/Usage.h"
#include "core/Error.h"
#include "core/Version.h"
#include "core/matching/ByHaplotypeTable.h"
#include "core/matching/CalculationRefusal.h"
#include "core/matching/GenotypeMatching.h"
#include "core/statistics/Diversity.h"
#include "core/statistics/MatchProbabilities.h"
#include "core/statistics/PopulationSummary.h"
#include "core/table/GenotypeLoci.h"
#include "core/text/IntegerText.h"
#include "io/DelimitedTextWriter.h"
#include "io/WorkbookReader.h"

#include <algorithm>

namespace tarnwick {
namespace {

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
    // The refusals of the window's Calculate, in its order; an empty first title is a table not
    // loaded, as in the window.
    const CalculationCheck check =
        checkCalculation({*options.steps, database->title(0).empty() ? nullptr : database.get(),
                          search->title(0).empty() ? nullptr : search.get()});
    if (check.refusal) {
        report(err, status, *check.refusal);
        return kExitFailure;
    }
    const std::size_t pairs = check.commonLoci;
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
            return runMatch(parseMatch(rest), out, err, progressToTerminal);
        if (command == "frequencies")
            return runFrequencies(parseFrequencies(rest), out, err);
        if (command == "diversity")
            return runDiversity(parseDiversity(rest), out, err);
        if (command == "show")
            return runShow(parseShow(rest), out, err);
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
