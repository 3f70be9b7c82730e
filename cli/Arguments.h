#pragma once

#include "core/table/HaplotypeTable.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick {

// A command line the batch tool cannot follow: it answers with its usage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct MatchOptions {
    std::string database;
    std::string search;
    std::optional<std::string> steps;
    std::optional<std::string> byHaplotype;
    std::optional<std::string> byPopulation;
    bool genotypes = false;
};

struct FrequenciesOptions {
    std::string database;
    std::string search;
    std::optional<std::string> confidence;
    std::optional<std::string> out;
    bool genotypes = false;
};

struct DiversityOptions {
    std::string database;
    std::optional<std::string> out;
    bool genotypes = false;
};

struct ShowOptions {
    std::string file;
    std::optional<TableLayout> layout; // the table's role, when its loci are to be checked
    bool genotypes = false;
};

// Each command's arguments (those after the command's name), checked for what the command needs.
MatchOptions parseMatch(const std::vector<std::string>& arguments);
FrequenciesOptions parseFrequencies(const std::vector<std::string>& arguments);
DiversityOptions parseDiversity(const std::vector<std::string>& arguments);
ShowOptions parseShow(const std::vector<std::string>& arguments);

// The confidence as given: a decimal number from 0.5 to 0.9999; 0.95 when none is.
double confidenceOf(const std::optional<std::string>& text);

} // namespace tarnwick
