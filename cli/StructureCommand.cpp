#include "cli/BatchCommands.h"
#include "cli/BatchTool.h"
#include "cli/TableFiles.h"
#include "cli/TerminalStatus.h"
#include "core/statistics/StructureTables.h"
#include "io/StructurePlotFile.h"

#include <algorithm>

namespace tarnwick {
namespace {

// Enough for p-values to 1e-6; more would only cost time and the permutations' bookkeeping.
constexpr std::size_t kMostPermutations = 1'000'000;

struct StructureOptions {
    std::string database;
    TableReading reading;
    std::string distance = "rst";
    std::size_t permutations = 9999;
    std::uint64_t seed = 1;
    std::optional<std::string> amova;
    std::optional<std::string> pairwise;
    std::optional<std::string> mds;
    std::optional<std::string> plot;
    std::optional<std::string> leftOut;
};

void declareStructure(CommandDeclaration& command, StructureOptions& options) {
    command.input("DATABASE", options.database, "the database, as for match");
    declareTableReading(command, options.reading, kGenotypesHelp);
    command
        .value("--distance", options.distance, "D",
               "rst (default): the sum over loci of the squared difference in repeats; fst: the "
               "number of loci at which two men differ")
        ->check(CLI::IsMember({"rst", "fst"}));
    command
        .value("--permutations", options.permutations, "R",
               "the permutations of each test, 0 to 1000000 (default 9999; 0: no p-values)")
        ->check(CLI::Range(std::size_t{0}, kMostPermutations).description(""));
    command
        .value("--seed", options.seed, "S",
               "seeds the permutations, so that a run repeats (default 1; 0 to 2^64 - 1)")
        ->check(CLI::Validator(
            [](const std::string& text) {
                // A negative number would wrap around to a large seed unseen.
                return !text.empty() && text.front() == '-' ? "not a seed: " + text : std::string();
            },
            "", "unsigned"));
    command.output("--amova", options.amova, "writes the AMOVA of all populations");
    command.output("--pairwise", options.pairwise, "writes the AMOVA of each pair of populations");
    command.output("--mds", options.mds, "writes the classical scaling of the pairwise phis");
    command
        .output("--plot", options.plot,
                std::string("draws the MDS plot, as SVG or PNG by the name's extension (") +
                    kPlotExtensions + ")")
        ->check(CLI::Validator(
            [](const std::string& file) {
                return plotFormatOf(file)
                           ? std::string()
                           : "give a name ending in " + std::string(kPlotExtensions) + ", not \"" +
                                 file + "\"";
            },
            "", "plot"));
    command.output("--left-out", options.leftOut, "writes the men left out");
}

// Each population's men left out, on one line, when there are any.
void reportLeftOut(const StructureSample& sample, std::ostream& err, TerminalStatus& status) {
    std::string counts;
    for (const StructurePopulation& population : sample.populations)
        if (population.leftOut != 0)
            counts += (counts.empty() ? "" : ", ") + population.name + " " +
                      std::to_string(population.leftOut);
    if (!counts.empty())
        report(err, status, "men left out: " + counts);
}

// What has no value for want of variance.
void reportNoVariance(const PopulationStructure& structure, std::ostream& err,
                      TerminalStatus& status) {
    if (!structure.global.phi)
        report(err, status, "no phi among all populations: their total variance is 0");
    const auto without =
        std::count_if(structure.pairs.begin(), structure.pairs.end(),
                      [](const PairwiseStructure& pair) { return !pair.amova.phi; });
    if (without != 0)
        report(err, status,
               "no phi for " + std::to_string(without) + " pairs: their total variance is 0");
}

void write(const TextTable& table, const std::optional<std::string>& target,
           const CommandStreams& streams, TerminalStatus& status) {
    if (!target)
        return;
    status.show(*target == "-" ? "" : "writing " + *target + "...");
    writeTable(table, table.rowCount(), *target, streams.out);
}

int runStructure(const StructureOptions& options, const CommandStreams& streams) {
    if (!options.amova && !options.pairwise && !options.mds && !options.plot && !options.leftOut)
        throw UsageError(
            "structure: give at least one of --amova, --pairwise, --mds, --plot, --left-out");
    TerminalStatus status(streams.err, streams.progressToTerminal);
    status.show("reading " + options.database + "...");
    const auto [database, clean] =
        readChecked(options.database, kDatabaseLayout, options.reading, streams.err);
    if (!clean)
        return kExitFailure;
    const StructureSample sample = structureSample(*database, options.leftOut.has_value());
    reportLeftOut(sample, streams.err, status);
    write(LeftOutTable(sample), options.leftOut, streams, status);
    if (!options.amova && !options.pairwise && !options.mds && !options.plot)
        return kExitSuccess;

    status.show("calculating...");
    PermutationOptions permutation;
    permutation.permutations = options.permutations;
    permutation.seed = options.seed;
    const auto distance =
        options.distance == "fst" ? StructureDistance::Fst : StructureDistance::Rst;
    const PopulationStructure structure =
        *populationStructure(sample, distance, permutation, status.permutationProgress());
    status.show("");
    reportNoVariance(structure, streams.err, status);
    write(AmovaTable(sample, structure), options.amova, streams, status);
    write(PairwiseStructureTable(sample, structure), options.pairwise, streams, status);
    const std::size_t populations = sample.populations.size();
    const ClassicalScaling scaling =
        classicalScaling(pairwisePhiMatrix(structure, populations), populations);
    write(ScalingTable(sample, scaling), options.mds, streams, status);
    if (options.plot) {
        status.show("drawing " + *options.plot + "...");
        writeStructurePlot(sample.populations, scaling, distance, *options.plot);
        status.show("");
    }
    return kExitSuccess;
}

} // namespace

void addStructureCommand(CommandLine& line) {
    line.add<StructureOptions>(
        "structure",
        "How the populations of the database (its second column) differ: the AMOVA of all of "
        "them and of each pair, with permutation p-values, and the classical scaling of the "
        "pairwise phis. A man enters with one whole repeat count at every locus (two, in "
        "ascending order, at the duplicated loci DYS385, DYF387S1, DYS459, YCAII, DYS527, DYS528 "
        "and DYF404S1; DYS389II less DYS389I) or is left out; a "
        "population with fewer than 2 men left is refused. Phi is RST with --distance rst, PhiST "
        "with fst. p = (k + 1) / (R + 1), k the permutations of the men among the populations "
        "compared with phi at least the observed one. --amova: columns statistic, value; rows "
        "populations, men, men_left_out, df_among, df_within, ssd_among, ssd_within, "
        "variance_among, variance_within, percent_among, phi, p_value, permutations. --pairwise: "
        "population_a, population_b, n_a, n_b, phi, linearised (phi / (1 - phi)), p_value. "
        "--mds: population, n, x, y (negative phis taken as 0), then a row goodness_of_fit with "
        "its value second. --plot: those points, labelled and sized by n, 800 x 600 pixels, as "
        "the window's \"Save plot\" draws them. --left-out: row (in the file, the titles on row "
        "1), population, locus, "
        "reason. What is not defined is "
        "empty. At least one output is required.",
        declareStructure, runStructure);
}

} // namespace tarnwick
