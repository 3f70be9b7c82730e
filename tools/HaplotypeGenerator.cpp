#include "tools/HaplotypeGenerator.h"

#include <algorithm>
#include <random>
#include <string>

namespace tarnwick {
namespace {

struct Locus {
    const char* name;
    int modal;
};

// Common Y-STR loci with typical repeat counts; the first 17 form the older standard kit.
const Locus kLoci[] = {
    {"DYS456", 15}, {"DYS389I", 13}, {"DYS390", 24},  {"DYS389II", 29},  {"DYS458", 17},
    {"DYS19", 14},  {"DYS385a", 11}, {"DYS385b", 14}, {"DYS393", 13},    {"DYS391", 10},
    {"DYS439", 12}, {"DYS635", 23},  {"DYS392", 11},  {"Y-GATA-H4", 11}, {"DYS437", 15},
    {"DYS438", 12}, {"DYS448", 19},  {"DYS576", 18},  {"DYS481", 22},    {"DYS549", 13},
    {"DYS533", 12}, {"DYS570", 17},  {"DYS643", 10},  {"DYS460", 11},    {"DYS449", 30},
    {"DYS518", 38}, {"DYS627", 21},
};
constexpr int kShortProfileLoci = 17;

const char* const kPopulations[] = {
    "Russians",     "Русские (Псков)", "Tatars",    "Татары",    "Bashkirs",   "Komi",
    "Коми-пермяки", "Finns",           "Estonians", "Poles",     "Ukrainians", "Mari",
    "Udmurts",      "Chuvash",         "Mordvins",  "Karelians",
};
const char* const kRegions[] = {"North", "South", "East", "West", "Centre"};
const char* const kHaplogroups[] = {"R1a", "N1c", "I2a", "R1b", "E1b", "J2", "C2", "G2a"};
const char* const kFaultyTexts[] = {"NA", "12,13", "--", "n/a", "13 14", "?"};

// A table written cell by cell as a sheet: the titles in row 0.
class Sheet {
public:
    Sheet(TableLayout layout, int columns, int rows)
        : builder_(layout, CellReading::Integers), columns_(columns), rows_(rows) {
        builder_.cover(rows, columns);
    }
    int ColCount() const { return columns_; }
    int RowCount() const { return rows_; }
    void setCells(int col, int row, const std::string& text) { builder_.setText(row, col, text); }
    std::shared_ptr<const HaplotypeTable> finish() { return builder_.finish().table; }

private:
    HaplotypeTableBuilder builder_;
    int columns_;
    int rows_;
};

class Generator {
public:
    explicit Generator(const GeneratorOptions& options)
        : options_(options), random_(options.seed),
          loci_(std::clamp(options.loci, 1, static_cast<int>(std::size(kLoci)))) {
        makeFounders();
    }

    std::shared_ptr<const HaplotypeTable> database() {
        Sheet table(kDatabaseLayout, 7 + loci_, options_.databaseHaplotypes + 1);
        const char* headers[7] = {"number",     "population", "country", "region",
                                  "haplogroup", "reference",  "comment"};
        for (int c = 0; c < 7; ++c)
            table.setCells(c, 0, headers[c]);
        for (int l = 0; l < loci_; ++l)
            table.setCells(7 + l, 0, kLoci[l].name);
        for (int row = 1; row <= options_.databaseHaplotypes; ++row) {
            const int population = pick(0, populationCount() - 1);
            table.setCells(0, row, std::to_string(row));
            table.setCells(1, row, kPopulations[population]);
            table.setCells(2, row, population % 3 == 0 ? "Russia" : "Russian Federation");
            table.setCells(3, row, kRegions[pick(0, std::size(kRegions) - 1)]);
            table.setCells(4, row,
                           kHaplogroups[(population + pick(0, 2)) % std::size(kHaplogroups)]);
            table.setCells(5, row, "Study " + std::to_string(1 + population % 5));
            writeHaplotype(table, row, 7, descendant(population), shortProfile());
        }
        spoil(table, 7);
        return table.finish();
    }

    // Search haplotypes: loci in another order, one the database lacks, some not typed.
    std::shared_ptr<const HaplotypeTable> search() {
        std::vector<int> order(loci_);
        for (int l = 0; l < loci_; ++l)
            order[l] = l;
        std::shuffle(order.begin(), order.end(), random_);
        Sheet table(kSearchLayout, 2 + loci_ + 1, options_.searchHaplotypes + 1);
        table.setCells(0, 0, "sample");
        table.setCells(1, 0, "comment");
        for (int l = 0; l < loci_; ++l)
            table.setCells(2 + l, 0, kLoci[order[l]].name);
        table.setCells(2 + loci_, 0, "DYS388");
        for (int row = 1; row <= options_.searchHaplotypes; ++row) {
            const int population = pick(0, populationCount() - 1);
            table.setCells(0, row, "S" + std::to_string(row));
            table.setCells(1, row, row % 4 == 0 ? "case " + std::to_string(row) : "");
            const auto values = descendant(population);
            for (int l = 0; l < loci_; ++l)
                if (!(shortProfile() && order[l] >= kShortProfileLoci))
                    table.setCells(2 + l, row, std::to_string(values[order[l]]));
            table.setCells(2 + loci_, row, std::to_string(12 + pick(0, 2)));
        }
        return table.finish();
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    int populationCount() const {
        return std::clamp(options_.populations, 1, static_cast<int>(std::size(kPopulations)));
    }
    bool shortProfile() { return std::bernoulli_distribution(options_.shortProfileShare)(random_); }

    void makeFounders() {
        for (int p = 0; p < populationCount(); ++p) {
            std::vector<std::vector<int>> founders;
            for (int f = 0; f < options_.foundersPerPopulation; ++f) {
                std::vector<int> values(loci_);
                for (int l = 0; l < loci_; ++l)
                    values[l] = kLoci[l].modal + pick(-2, 2);
                founders.push_back(values);
            }
            founders_.push_back(founders);
        }
    }

    std::vector<int> descendant(int population) {
        const auto& founders = founders_[population];
        std::vector<int> values = founders[pick(0, static_cast<int>(founders.size()) - 1)];
        const int mutations =
            std::poisson_distribution<int>(options_.mutationsPerHaplotype)(random_);
        for (int m = 0; m < mutations; ++m)
            values[pick(0, loci_ - 1)] += pick(0, 1) == 0 ? -1 : 1;
        return values;
    }

    void writeHaplotype(Sheet& table, int row, int firstColumn, const std::vector<int>& values,
                        bool shortProfile) {
        for (int l = 0; l < loci_; ++l)
            if (!(shortProfile && l >= kShortProfileLoci))
                table.setCells(firstColumn + l, row, std::to_string(values[l]));
    }

    void spoil(Sheet& table, int firstColumn) {
        for (int i = 0; i < options_.faultyCells && table.RowCount() > 1; ++i)
            table.setCells(pick(firstColumn, table.ColCount() - 1), pick(1, table.RowCount() - 1),
                           kFaultyTexts[i % std::size(kFaultyTexts)]);
    }

    const GeneratorOptions& options_;
    std::mt19937 random_;
    int loci_;
    std::vector<std::vector<std::vector<int>>> founders_;
};

} // namespace

GeneratedTables generateTables(const GeneratorOptions& options) {
    Generator generator(options);
    auto database = generator.database();
    auto search = generator.search();
    return {std::move(database), std::move(search)};
}

GeneratorOptions diverseOptions(int databaseHaplotypes, int searchHaplotypes) {
    GeneratorOptions options;
    options.databaseHaplotypes = databaseHaplotypes;
    options.searchHaplotypes = searchHaplotypes;
    options.populations = 16;
    options.foundersPerPopulation = 20;
    options.mutationsPerHaplotype = 8;
    options.seed = 5;
    return options;
}

} // namespace tarnwick
