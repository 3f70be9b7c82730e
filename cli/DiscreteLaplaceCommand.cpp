#include "cli/BatchCommands.h"
#include "cli/BatchTool.h"
#include "cli/ClusterOptions.h"
#include "cli/TableFiles.h"
#include "cli/TerminalStatus.h"
#include "core/Error.h"

#include <charconv>
#include <cmath>

namespace tarnwick {
namespace {

struct DiscreteLaplaceOptions {
    std::string database;
    std::optional<std::string> out;
    TableReading reading;
    ClusterRequest clusters;
};

void declareDiscreteLaplace(CommandDeclaration& command, DiscreteLaplaceOptions& options) {
    command.input("DATABASE", options.database, "the database, as for match");
    command.output("--out", options.out, "writes the fits")->required();
    declareTableReading(command, options.reading, kGenotypesHelp);
    declareClusterOptions(command, options.clusters);
}

// A number with as many digits as it takes to read back the same double; empty when it is none.
std::string exactDigits(double value) {
    if (!std::isfinite(value))
        return {};
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return {digits, end};
}

// The fits in long format, a row per population, fit, cluster and locus.
class FitTable : public TextTable {
public:
    static constexpr int kColumns = 12;
    explicit FitTable(std::vector<PopulationFits> populations)
        : populations_(std::move(populations)) {
        for (std::size_t p = 0; p < populations_.size(); ++p)
            for (std::size_t f = 0; f < populations_[p].fits.size(); ++f)
                for (std::size_t j = 0; j < populations_[p].fits[f].model.clusters(); ++j)
                    for (std::size_t l = 0; l < populations_[p].fits[f].model.loci; ++l)
                        rows_.push_back({p, f, j, l});
    }

    int columnCount() const override { return kColumns; }
    int rowCount() const override { return static_cast<int>(rows_.size()) + 1; }

    std::string_view text(int col, int row, std::string& scratch) const override {
        static constexpr const char* kHeaders[kColumns] = {
            "population",     "k",          "chosen",    "bic",
            "log_likelihood", "iterations", "converged", "cluster",
            "locus",          "centre",     "p",         "tau"};
        if (col < 0 || col >= kColumns || row < 0 || row >= rowCount())
            return {};
        if (row == 0)
            return kHeaders[col];
        const Row& at = rows_[static_cast<std::size_t>(row - 1)];
        const PopulationFits& population = populations_[at.population];
        const DiscreteLaplaceFit& fit = population.fits[at.fit];
        const std::size_t cell = at.cluster * fit.model.loci + at.locus;
        switch (col) {
        case 0:
            return population.sample.population;
        case 1:
            return scratch = std::to_string(fit.model.clusters());
        case 2:
            return at.fit == population.chosen ? "yes" : "no";
        case 3:
            return scratch = exactDigits(fit.bic);
        case 4:
            return scratch = exactDigits(fit.logLikelihood);
        case 5:
            return scratch = std::to_string(fit.iterations);
        case 6:
            return fit.converged ? "yes" : "no";
        case 7:
            return scratch = std::to_string(at.cluster + 1);
        case 8:
            return population.sample.loci[at.locus];
        case 9:
            return scratch = std::to_string(fit.model.centres[cell]);
        case 10:
            return scratch = exactDigits(fit.model.p[cell]);
        default:
            return scratch = exactDigits(fit.model.tau[at.cluster]);
        }
    }

private:
    struct Row {
        std::size_t population, fit, cluster, locus;
    };
    std::vector<PopulationFits> populations_;
    std::vector<Row> rows_;
};

int runDiscreteLaplace(const DiscreteLaplaceOptions& options, const CommandStreams& streams) {
    TerminalStatus status(streams.err, streams.progressToTerminal);
    status.show("reading " + options.database + "...");
    const auto [database, clean] =
        readChecked(options.database, kDatabaseLayout, options.reading, streams.err);
    if (!clean)
        return kExitFailure;
    std::vector<PopulationFits> fits =
        fitPopulations(*database, options.clusters, streams.err, status);
    if (fits.empty())
        throw Error("The database names no population (its second column) to fit");
    const FitTable table(std::move(fits));
    status.show(*options.out == "-" ? "" : "writing " + *options.out + "...");
    writeTable(table, table.rowCount(), *options.out, streams.out);
    return kExitSuccess;
}

} // namespace

void addDiscreteLaplaceCommand(CommandLine& line) {
    line.add<DiscreteLaplaceOptions>(
        "discrete-laplace",
        "Fits the discrete Laplace mixture (Andersen, Eriksen & Morling 2013) to the men of each "
        "population of the database: P(h) = sum over clusters j of tau_j * prod over loci l of "
        "(1 - p_jl) / (1 + p_jl) * p_jl^|h_l - centre_jl|. Only loci at which every man of the "
        "population holds one whole allele enter its fit; the others are named on stderr. "
        "Without --clusters, k = 1, 2, ... are fitted and every fit is written, the one of "
        "smallest BIC marked chosen. Columns, one row per population, fit, cluster and locus: "
        "population, k, chosen (yes or no), bic, log_likelihood, iterations (EM iterations of "
        "the fit), converged (yes, or no when an EM run reached 100 iterations), cluster (1 to "
        "k), locus, centre, p, tau (the cluster's weight); numbers with the digits that read "
        "back the same value.",
        declareDiscreteLaplace, runDiscreteLaplace);
}

} // namespace tarnwick
