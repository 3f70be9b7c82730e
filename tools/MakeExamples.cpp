// Writes generated example tables as CSV: make-examples DIRECTORY [database-size search-size]

#include "io/DelimitedTextWriter.h"
#include "tools/HaplotypeGenerator.h"

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    using namespace tarnwick;
    if (argc != 2 && argc != 4) {
        std::cerr << "usage: tarnwick-make-examples DIRECTORY [DATABASE-SIZE SEARCH-SIZE]\n";
        return 2;
    }
    try {
        const std::string directory = argv[1];
        GeneratorOptions options;
        if (argc == 4) {
            options.databaseHaplotypes = std::stoi(argv[2]);
            options.searchHaplotypes = std::stoi(argv[3]);
        }
        const auto tables = generateTables(options);
        const auto save = [&](const TextTable& table, const std::string& name) {
            saveDelimitedText(table, table.rowCount(), TextTableFormat::Csv,
                              directory + "/" + name);
        };
        save(*tables.database, "database.csv");
        save(*tables.search, "search.csv");
        GeneratorOptions faulty = options;
        faulty.databaseHaplotypes = 300;
        faulty.faultyCells = 6;
        faulty.seed = options.seed + 1;
        save(*generateTables(faulty).database, "database-with-faults.csv");
    } catch (const std::exception& error) {
        std::cerr << "tarnwick-make-examples: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
