#include "cli/BatchCommands.h"

#include "core/Version.h"

namespace tarnwick {

const char* const kGenotypesHelp = "reads the locus cells as genotypes instead (see below)";

namespace {

// What the help says after the commands, for all of them.
const char* const kNotes =
    R"(Genotypes (--genotypes): a locus cell is read as it stands, spaces and one leading "'" aside:
        "", -, --, ?, NA, N/A, ND, NR mean not typed; 0 or null a null allele; n or n.p (n 1 to
        999) an allele, p a partial repeat; 2 to 16 alleles separated by , / ; or - the copies
        of a multi-copy locus. Anything else is faulty. Loci pair by name whatever the kit's
        spelling ("DYS389 I" = DYS389I, "Y-GATA-H4" = GATAH4, DYS394 = DYS19, ...); columns
        "DYS385a" and "DYS385b" are one locus. Steps: the difference in repeats, plus 1 for a
        different partial repeat; a null against anything else 1; copies pair up in order, an
        extra copy 1 more; DYS389II counts only what it has beyond DYS389I.

Tables as they come (--detect-layout): loci are told by their titles (DYS19, DYS389 II,
        DYS464C, DYF387S1, Y-GATA-H4, YCAII, DXYS156Y, ...; "DYS385sum" or "Frequency" are
        not), the population by a column "Population", "Population Code", "Pop" or "Group", else
        the sheet's name (when not "Sheet1" and the like), else the file's name; the sample by
        "Sample", "Sample Name", "ID" or "Haplotype", else the row number; the count by "Count",
        "n", "Number" or "Weight": a row with count c stands for c men. --sheet all reads every
        sheet as one table (their loci must agree). Rows typed at no locus are kept and counted,
        and take part in nothing. What was found is printed on stderr first.

FILE formats are recognised by content: .xls, .xlsx, .ods, CSV/TSV text, and the tables the
program saves. Output files are chosen by name: ".csv" gives CSV (RFC 4180, UTF-8), ".tsv" or
"-" (standard output) tab-separated text (a cell holding a tab, line break or quote is quoted
as in CSV, so that it reads back as it was), ".xlsx" an Excel workbook of one sheet (numbers as
number cells), any other name the BIFF record stream the program's Save writes.

Exit status: 0 on success, also when nothing matches ("not match" on stderr, an empty table
written); 1 on faulty cells, a refusal ("data not load", "no common loci") or an error;
2 on wrong usage.
)";

} // namespace

std::unique_ptr<CommandLine> batchCommandLine() {
    auto line = std::make_unique<CommandLine>("tarnwick-cli",
                                              std::string("tarnwick-cli ") + kVersion, kNotes);
    addMatchCommand(*line);
    addFrequenciesCommand(*line);
    addDiversityCommand(*line);
    addDiscreteLaplaceCommand(*line);
    addStructureCommand(*line);
    addShowCommand(*line);
    return line;
}

} // namespace tarnwick
