#include "cli/BatchCommands.h"
#include "cli/BatchTool.h"
#include "cli/TableFiles.h"
#include "cli/TerminalStatus.h"
#include "core/Error.h"
#include "core/matching/ByHaplotypeTable.h"
#include "core/matching/CalculationRefusal.h"
#include "core/matching/GenotypeMatching.h"
#include "core/statistics/PopulationSummary.h"
#include "core/text/IntegerText.h"

namespace tarnwick {
namespace {

struct MatchOptions {
    std::string database;
    std::string search;
    std::string steps;
    std::optional<std::string> byHaplotype;
    std::optional<std::string> byPopulation;
    TableReading reading;
};

void declareMatch(CommandDeclaration& command, MatchOptions& options) {
    command.input("DATABASE", options.database,
                  "first row the column titles, seven descriptive columns (the second one the "
                  "population), then one column per locus");
    command.input("SEARCH", options.search,
                  "first row the titles, sample name, comment, then loci. Loci are paired by "
                  "their titles (exact, case-sensitive).");
    command
        .value("--steps", options.steps, "N",
               "the most repeat steps a match may differ by, read by the locus cells' integer "
               "rule (e.g. 3, +3, $A)")
        ->required();
    command.output("--by-haplotype", options.byHaplotype,
                   "writes the by-haplotype table (one row per match, sorted by steps)");
    command.output("--by-population", options.byPopulation,
                   "writes the by-population table as well");
    declareTableReading(command, options.reading, kGenotypesHelp);
}

// The table a calculation without a match leaves: one empty cell.
class NoMatchTable : public TextTable {
public:
    int columnCount() const override { return 1; }
    int rowCount() const override { return 1; }
    std::string_view text(int, int, std::string&) const override { return {}; }
};

int runMatch(const MatchOptions& options, const CommandStreams& streams) {
    std::ostream& err = streams.err;
    TerminalStatus status(err, streams.progressToTerminal);
    status.show("reading " + options.database + "...");
    const auto [database, databaseClean] =
        readChecked(options.database, kDatabaseLayout, options.reading, err);
    status.show("reading " + options.search + "...");
    const auto [search, searchClean] =
        readChecked(options.search, kSearchLayout, options.reading, err);
    if (!databaseClean || !searchClean)
        return kExitFailure;
    // The refusals of the window's Calculate, in its order; an empty first title is a table not
    // loaded, as in the window.
    const CalculationCheck check =
        checkCalculation({options.steps, database->title(0).empty() ? nullptr : database.get(),
                          search->title(0).empty() ? nullptr : search.get()});
    if (check.refusal) {
        report(err, status, *check.refusal);
        return kExitFailure;
    }
    const std::size_t pairs = check.commonLoci;
    const std::int64_t limit = parseIntegerText(options.steps);
    status.show("calculating...");
    auto result = std::make_shared<const MatchResult>(
        options.reading.readsGenotypes()
            ? matchGenotypes(*database, *search, limit, status.calculationProgress())
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
    writeTable(byHaplotype, byHaplotype.rowCount(), target, streams.out);
    if (options.byPopulation) {
        const ByPopulationTable byPopulation(
            summariseByPopulation(*database, populationMatches(*database, result->matches)).rows);
        status.show(*options.byPopulation == "-" ? "" : "writing " + *options.byPopulation + "...");
        writeTable(byPopulation, byPopulation.rowCount(), *options.byPopulation, streams.out);
    }
    return kExitSuccess;
}

} // namespace

void addMatchCommand(CommandLine& line) {
    line.add<MatchOptions>(
        "match",
        "Finds every database haplotype within N repeat steps of each searched haplotype. Both "
        "files are read and checked as the program's load commands do: a locus cell is cut at its "
        "first \".\" and loses its first \"'\", and must then be an integer or empty. If any locus "
        "cell is faulty, every faulty cell is listed on stderr and nothing is calculated. Without "
        "an output option the by-haplotype table goes to standard output as TSV.",
        declareMatch, runMatch);
}

} // namespace tarnwick
