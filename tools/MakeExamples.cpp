// Writes generated example tables as CSV:
//   make-examples DIRECTORY [DATABASE-SIZE SEARCH-SIZE [diverse]]
// "diverse" makes the tables of a large real collection instead of close-knit populations.

#include "io/DelimitedTextWriter.h"
#include "tools/HaplotypeGenerator.h"

#include <charconv>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

int sizeFrom(std::string_view text) {
    int size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc() || end != text.data() + text.size() || size < 0)
        throw std::invalid_argument("'" + std::string(text) + "' is no number of haplotypes");
    return size;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    const bool diverse = argc == 5 && std::string_view(argv[4]) == "diverse";
    if (argc != 2 && argc != 4 && !diverse) {
        std::cerr << "usage: tarnwick-make-examples DIRECTORY [DATABASE-SIZE SEARCH-SIZE "
                     "[diverse]]\n";
        return 2;
    }
    try {
        const std::string directory = argv[1];
        GeneratorOptions options;
        if (argc >= 4) {
            const int database = sizeFrom(argv[2]);
            const int search = sizeFrom(argv[3]);
            if (diverse) {
                options = diverseOptions(database, search);
            } else {
                options.databaseHaplotypes = database;
                options.searchHaplotypes = search;
            }
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
