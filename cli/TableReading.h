#pragma once

#include "cli/CommandLine.h"
#include "io/TableImport.h"

#include <optional>
#include <string>

namespace tarnwick {

// How a command reads its tables: as laid out for the program (integers, or genotypes), or as
// they come (--detect-layout, which reads genotypes).
struct TableReading {
    bool genotypes = false;
    bool detectLayout = false;
    std::string sheet;
    std::optional<std::string> populationColumn, sampleColumn, countColumn;

    bool readsGenotypes() const { return genotypes || detectLayout; }
    ImportSettings importSettings() const;
};

// Declares --genotypes (with its help) and --detect-layout with --sheet and the column options.
void declareTableReading(CommandDeclaration& command, TableReading& reading,
                         const std::string& genotypesHelp);

} // namespace tarnwick
