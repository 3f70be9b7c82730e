#include "cli/Usage.h"

namespace tarnwick {

const char* const kBatchUsage = R"(Usage:
  tarnwick-cli match DATABASE SEARCH --steps N [--by-haplotype FILE] [--by-population FILE]
                    [--genotypes]
  tarnwick-cli frequencies DATABASE SEARCH --out FILE [--confidence C] [--genotypes]
  tarnwick-cli diversity DATABASE --out FILE [--genotypes]
  tarnwick-cli show FILE [--database | --search] [--genotypes]
  tarnwick-cli --help | --version

match   Finds every database haplotype within N repeat steps of each searched haplotype.
        DATABASE: first row the column titles, seven descriptive columns (the second one the
        population), then one column per locus. SEARCH: first row the titles, sample name,
        comment, then loci. Loci are paired by their titles (exact, case-sensitive).
        Both files are read and checked as the program's load commands do: a locus cell is cut
        at its first "." and loses its first "'", and must then be an integer or empty.
        If any locus cell is faulty, every faulty cell is listed on stderr and nothing is
        calculated. N is read by the same integer rule (e.g. 3, +3, $A).
        --by-haplotype FILE   writes the by-haplotype table (one row per match, sorted by steps)
        --by-population FILE  writes the by-population table as well
        --genotypes           reads the locus cells as genotypes instead (see below)
        Without an output option the by-haplotype table goes to standard output as TSV.

frequencies   How often each searched haplotype occurs in each population of the database
        (its second column) and in all of them ("All"), over the paired loci at which the
        searched haplotype is typed: N haplotypes of the population typed at all of them,
        matches the same there; frequency = matches / N with its exact (Clopper-Pearson)
        interval at confidence C (0.5 to 0.9999, default 0.95), augmented = (matches + 1) /
        (N + 1), and, for one never seen, kappa = (1 - share of the N that occur once) / N.
        Columns: sample, comment, population, N, matches, frequency, lower, upper, augmented,
        kappa; what is not defined is empty.

diversity     Per population and for all: N haplotypes typed at every locus, haplotypes (the
        distinct ones), singletons (those seen once), diversity = N / (N - 1) * (1 - sum of
        squared shares), discrimination = haplotypes / N.

show    Prints FILE as the program reads it (TSV, header row included). With --database or
        --search the locus cells are also tidied and checked as for that role, and the faulty
        cells are listed on stderr. With --genotypes (as a database unless --search is given)
        each locus cell is printed as it is understood: 14, 13.2, 12,13, null, or empty.

Genotypes (--genotypes): a locus cell is read as it stands, spaces and one leading "'" aside:
        "", -, --, ?, NA, N/A, ND, NR mean not typed; 0 or null a null allele; n or n.p (n 1 to
        999) an allele, p a partial repeat; 2 to 16 alleles separated by , / ; or - the copies
        of a multi-copy locus. Anything else is faulty. Loci pair by name whatever the kit's
        spelling ("DYS389 I" = DYS389I, "Y-GATA-H4" = GATAH4, DYS394 = DYS19, ...); columns
        "DYS385a" and "DYS385b" are one locus. Steps: the difference in repeats, plus 1 for a
        different partial repeat; a null against anything else 1; copies pair up in order, an
        extra copy 1 more; DYS389II counts only what it has beyond DYS389I.

FILE formats are recognised by content: .xls, .xlsx, .ods, CSV/TSV text, and the tables the
program saves. Output files are chosen by name: ".csv" gives CSV (RFC 4180, UTF-8), ".tsv" or
"-" (standard output) tab-separated text (a tab, line break or backslash inside a cell written
as \t, \n, \r, \\), ".xlsx" an Excel workbook of one sheet (numbers as number cells), any
other name the BIFF record stream the program's Save writes.

Exit status: 0 on success, also when nothing matches ("not match" on stderr, an empty table
written); 1 on faulty cells, a refusal ("data not load", "no common loci") or an error;
2 on wrong usage.
)";

} // namespace tarnwick
