#include "cli/BatchCommands.h"
#include "cli/BatchTool.h"
#include "cli/ClusterOptions.h"
#include "cli/TableFiles.h"
#include "core/statistics/DiscreteLaplaceColumns.h"
#include "core/statistics/Diversity.h"
#include "core/statistics/MatchProbabilities.h"

namespace tarnwick {
namespace {

const char* const kDatabaseHelp = "the database, as for match";
const char* const kOutHelp = "writes the table";

struct FrequenciesOptions {
    std::string database;
    std::string search;
    std::optional<std::string> out;
    double confidence = 0.95;
    TableReading reading;
    bool discreteLaplace = false;
    ClusterRequest clusters;
};

void declareFrequencies(CommandDeclaration& command, FrequenciesOptions& options) {
    command.input("DATABASE", options.database, kDatabaseHelp);
    command.input("SEARCH", options.search, "the haplotypes to search for, as for match");
    command.output("--out", options.out, kOutHelp)->required();
    command.decimal("--confidence", options.confidence, kLeastConfidence, kGreatestConfidence, "C",
                    "the confidence of the interval (default 0.95)");
    declareTableReading(command, options.reading, kGenotypesHelp);
    CLI::Option* discreteLaplace =
        command.flag("--discrete-laplace", options.discreteLaplace,
                     "adds the columns discrete_laplace, P(h) under the discrete Laplace mixture "
                     "fitted to the row's population, and clusters, its k (see discrete-laplace); "
                     "both empty for All, the model being fitted per population");
    declareClusterOptions(command, options.clusters, discreteLaplace);
}

// A searched haplotype typed at none of the loci paired with the database's has no frequency:
// named, once, rather than left to be found among empty rows.
void warnOfUntypedSearches(const HaplotypeTable& search, const MatchProbabilities& probabilities,
                           std::ostream& err) {
    std::string scratch;
    for (const ProbabilityRow& row : probabilities.rows)
        if (!row.typed && row.population < 0) // its last row, All
            err << "sample \"" << search.cell(0, row.search, scratch) << "\" (row "
                << row.search + 2
                << "): typed at none of the database's loci, so it has no frequency\n";
}

int runFrequencies(const FrequenciesOptions& options, const CommandStreams& streams) {
    const auto [database, databaseClean] =
        readChecked(options.database, kDatabaseLayout, options.reading, streams.err);
    const auto [search, searchClean] =
        readChecked(options.search, kSearchLayout, options.reading, streams.err);
    if (!databaseClean || !searchClean)
        return kExitFailure;
    MatchProbabilities probabilities = matchProbabilities(*database, *search, options.confidence);
    warnOfUntypedSearches(*search, probabilities, streams.err);
    std::vector<DiscreteLaplaceEstimate> estimates;
    if (options.discreteLaplace) {
        TerminalStatus status(streams.err, streams.progressToTerminal);
        estimates = discreteLaplaceEstimates(
            *database, *search, probabilities,
            fitPopulations(*database, options.clusters, streams.err, status),
            warningsTo(streams.err, status));
    }
    auto table = std::make_shared<const MatchProbabilityTable>(search, std::move(probabilities));
    if (!options.discreteLaplace) {
        writeTable(*table, table->rowCount(), *options.out, streams.out);
        return kExitSuccess;
    }
    const WithDiscreteLaplace extended(std::move(table), std::move(estimates));
    writeTable(extended, extended.rowCount(), *options.out, streams.out);
    return kExitSuccess;
}

struct DiversityOptions {
    std::string database;
    std::optional<std::string> out;
    TableReading reading;
};

void declareDiversity(CommandDeclaration& command, DiversityOptions& options) {
    command.input("DATABASE", options.database, kDatabaseHelp);
    command.output("--out", options.out, kOutHelp)->required();
    declareTableReading(command, options.reading, kGenotypesHelp);
}

int runDiversity(const DiversityOptions& options, const CommandStreams& streams) {
    const auto [database, clean] =
        readChecked(options.database, kDatabaseLayout, options.reading, streams.err);
    if (!clean)
        return kExitFailure;
    const DiversityTable table(populationDiversity(*database));
    writeTable(table, table.rowCount(), *options.out, streams.out);
    return kExitSuccess;
}

} // namespace

void addFrequenciesCommand(CommandLine& line) {
    line.add<FrequenciesOptions>(
        "frequencies",
        "How often each searched haplotype occurs in each population of the database (its second "
        "column) and in all of them (\"All\"), over the paired loci at which the searched "
        "haplotype is typed: N haplotypes of the population typed at all of them, matches the "
        "same there; frequency = matches / N with its exact (Clopper-Pearson) interval at "
        "confidence C (0.5 to 0.9999, default 0.95), augmented = (matches + 1) / (N + 1), and, "
        "for one never seen, kappa = (1 - share of the N that occur once) / N. Columns: sample, "
        "comment, population, N, matches, frequency, lower, upper, augmented, kappa (with "
        "--discrete-laplace then discrete_laplace, clusters); what is not defined is empty, "
        "and a searched haplotype typed at none of the loci has no frequency (all but its "
        "sample, comment and population empty, and a warning).",
        declareFrequencies, runFrequencies);
}

void addDiversityCommand(CommandLine& line) {
    line.add<DiversityOptions>(
        "diversity",
        "Per population and for all: N haplotypes typed at every locus, haplotypes (the distinct "
        "ones), singletons (those seen once), diversity = N / (N - 1) * (1 - sum of squared "
        "shares), discrimination = haplotypes / N.",
        declareDiversity, runDiversity);
}

} // namespace tarnwick
