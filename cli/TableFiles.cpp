#include "cli/TableFiles.h"

#include "core/text/CellReference.h"
#include "io/BiffWriter.h"
#include "io/DelimitedTextWriter.h"
#include "io/HighlightedWorkbookWriter.h"
#include "io/OutputPaths.h"
#include "io/WorkbookReader.h"

#include <algorithm>
#include <functional>

namespace tarnwick {
namespace {

// Lists every faulty cell with the text the file holds there, and counts them.
void listFaults(const std::string& file, const HaplotypeTableBuilder::Result& read,
                const std::function<std::string(const FaultyCell&)>& placeOf, bool genotypes,
                std::ostream& err) {
    // Listed in pieces of 64 KB, as stderr is unbuffered; a file can hold millions of faulty
    // cells, of which the first ten thousand are listed and the rest counted.
    std::string list;
    constexpr std::size_t kPiece = 1 << 16;
    constexpr std::size_t kListed = 10000;
    std::string scratch;
    const std::size_t listed = std::min(read.faults.size(), kListed);
    auto next = read.faults.begin();
    for (std::size_t k = 0; k < listed; ++k) {
        const FaultyCell fault = *next++;
        const std::string_view tidied = read.table->text(fault.col, fault.row, scratch);
        const std::string asRead = read.asRead(fault);
        list.append(file).append(": ").append(placeOf(fault));
        list.append(" holds \"").append(asRead).append("\"");
        if (tidied != asRead)
            list.append(" (tidied to \"").append(tidied).append("\")");
        list += genotypes ? ", which is not a genotype\n" : ", which is not an integer\n";
        if (list.size() >= kPiece) {
            err << list;
            list.clear();
        }
    }
    const std::size_t faults = read.faults.size();
    if (faults > listed)
        list.append(file)
            .append(": ... and ")
            .append(std::to_string(faults - listed))
            .append(" more\n");
    if (faults > 0)
        list +=
            file + ": " + std::to_string(faults) + " faulty cell" + (faults == 1 ? "" : "s") + "\n";
    if (const auto& cut = read.cutPartialRepeats; cut.cells > 0)
        list += file + ": " + cutPartialRepeatsText(cut, "--genotypes") + "\n";
    err << list;
}

CheckedTable importChecked(const std::string& file, TableLayout layout, const TableReading& reading,
                           std::ostream& err) {
    ImportedTable imported = importTable(file, layout, reading.importSettings());
    err << describeImport(file, imported.report);
    HaplotypeTableBuilder::Result read{imported.table, std::move(imported.faults), {}, {}};
    listFaults(
        file, read, [&](const FaultyCell& fault) { return imported.placeInFile(fault); }, true,
        err);
    return {std::move(read.table), read.faults.empty()};
}

} // namespace

CheckedTable readChecked(const std::string& file, TableLayout layout, const TableReading& reading,
                         std::ostream& err) {
    if (reading.detectLayout)
        return importChecked(file, layout, reading, err);
    const bool genotypes = reading.genotypes;
    auto read = readHaplotypeTable(
        file, layout, genotypes ? CellReading::Genotypes : CellReading::TidiedIntegers);
    listFaults(
        file, read,
        [](const FaultyCell& fault) { return "cell " + cellReference(fault.col, fault.row); },
        genotypes, err);
    return {std::move(read.table), read.faults.empty()};
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

} // namespace tarnwick
