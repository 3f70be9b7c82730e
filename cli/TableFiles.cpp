#include "cli/TableFiles.h"

#include "core/text/CellReference.h"
#include "io/BiffWriter.h"
#include "io/DelimitedTextWriter.h"
#include "io/HighlightedWorkbookWriter.h"
#include "io/WorkbookReader.h"

#include <algorithm>
#include <cctype>

namespace tarnwick {
namespace {

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

} // namespace

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
        const std::string asRead = read.asRead(fault);
        list.append(file).append(": cell ").append(cellReference(fault.col, fault.row));
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
    if (faults > 0)
        list +=
            file + ": " + std::to_string(faults) + " faulty cell" + (faults == 1 ? "" : "s") + "\n";
    err << list;
    return {std::move(read.table), faults == 0};
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
