#include "cli/BatchCommands.h"
#include "cli/BatchTool.h"
#include "cli/TableFiles.h"
#include "core/table/GenotypeLoci.h"
#include "io/DelimitedTextWriter.h"
#include "io/WorkbookReader.h"

namespace tarnwick {
namespace {

struct ShowOptions {
    std::string file;
    std::optional<TableLayout> layout; // the table's role, when its loci are to be checked
    TableReading reading;
};

void declareShow(CommandDeclaration& command, ShowOptions& options) {
    command.input("FILE", options.file, "the table to show");
    CLI::Option* database = command.flag(
        "--database", [&options] { options.layout = kDatabaseLayout; },
        "also tidies and checks the locus cells as for a database, and lists the faulty cells on "
        "stderr");
    command
        .flag(
            "--search", [&options] { options.layout = kSearchLayout; }, "the same as for a search")
        ->excludes(database);
    declareTableReading(command, options.reading,
                        "prints each locus cell as it is understood: 14, 13.2, 12,13, null, or "
                        "empty (as a database unless --search is given)");
}

// A table with its locus cells as the genotype reading understands them ("14", "13.2",
// "12,13", "null", empty when missing; "14,14" for a single allele in a column for a whole
// duplicated locus); a faulty cell keeps its text.
class UnderstoodGenotypes : public TextTable {
public:
    explicit UnderstoodGenotypes(std::shared_ptr<const HaplotypeTable> table)
        : table_(std::move(table)) {
        for (int col = 0; col < table_->columns(); ++col)
            loci_.push_back(columnLocus(*table_, col));
    }
    int columnCount() const override { return table_->columnCount(); }
    int rowCount() const override { return table_->rowCount(); }
    std::string_view text(int col, int row, std::string& scratch) const override {
        if (row == 0 || !table_->isLocusColumn(col))
            return table_->text(col, row, scratch);
        const Genotype genotype = genotypeAt(*table_, loci_[static_cast<std::size_t>(col)],
                                             static_cast<std::size_t>(row - 1));
        if (genotype.kind == Genotype::Kind::Fault)
            return table_->text(col, row, scratch);
        scratch = genotypeText(genotype);
        return scratch;
    }

private:
    std::shared_ptr<const HaplotypeTable> table_;
    std::vector<GenotypeLocus> loci_; // each column alone
};

int runShow(const ShowOptions& options, const CommandStreams& streams) {
    // Without a role the file is shown as it is read; with one, read and checked.
    if (options.reading.readsGenotypes()) {
        const auto [table, clean] = readChecked(
            options.file, options.layout.value_or(kDatabaseLayout), options.reading, streams.err);
        const UnderstoodGenotypes understood(table);
        writeDelimitedText(streams.out, understood, understood.rowCount(), TextTableFormat::Tsv);
        return clean ? kExitSuccess : kExitFailure;
    }
    const auto [table, clean] =
        options.layout
            ? readChecked(options.file, *options.layout, options.reading, streams.err)
            : CheckedTable{
                  readHaplotypeTable(options.file, kSheetLayout, CellReading::Integers).table,
                  true};
    writeDelimitedText(streams.out, *table, table->rowCount(), TextTableFormat::Tsv);
    return clean ? kExitSuccess : kExitFailure;
}

} // namespace

void addShowCommand(CommandLine& line) {
    line.add<ShowOptions>("show", "Prints FILE as the program reads it (TSV, header row included).",
                          declareShow, runShow);
}

} // namespace tarnwick
