#include "cli/TableReading.h"

namespace tarnwick {

ImportSettings TableReading::importSettings() const {
    ImportSettings settings{sheet, {}};
    const auto mark = [&](const std::optional<std::string>& title, ColumnRole role) {
        if (title)
            settings.marks.push_back({*title, role});
    };
    mark(populationColumn, ColumnRole::Population);
    mark(sampleColumn, ColumnRole::Sample);
    mark(countColumn, ColumnRole::Count);
    return settings;
}

void declareTableReading(CommandDeclaration& command, TableReading& reading,
                         const std::string& genotypesHelp) {
    command.flag("--genotypes", reading.genotypes, genotypesHelp);
    CLI::Option* detect = command.flag(
        "--detect-layout", reading.detectLayout,
        "reads each table as it comes (implies --genotypes): loci, population, sample and count "
        "columns told by their titles, and prints on stderr what was found (see below)");
    command
        .value("--sheet", reading.sheet, "NAME|NUMBER|all",
               "the sheet to read (its name, or its number from 1), or all sheets as one "
               "table; the first by default")
        ->needs(detect);
    command
        .value("--population-column", reading.populationColumn, "TITLE",
               "the column that holds the population")
        ->needs(detect);
    command
        .value("--sample-column", reading.sampleColumn, "TITLE",
               "the column that holds the sample's name")
        ->needs(detect);
    command
        .value("--count-column", reading.countColumn, "TITLE",
               "the column that holds how many men each row stands for")
        ->needs(detect);
}

} // namespace tarnwick
