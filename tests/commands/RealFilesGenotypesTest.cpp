// Every published file of the real-data folder read as genotypes: arranged as a user would (the
// locus columns after seven descriptive ones for a database, two for a search table) in a
// scratch folder, each loads with no faulty cell, and three of its haplotypes searched in it find
// themselves at 0 steps and have a frequency in it. Skips when the folder is absent.

#include "RealFiles.h"
#include "TestFiles.h"
#include "commands/InputTables.h"
#include "core/genotype/LocusKeys.h"
#include "core/matching/GenotypeMatching.h"
#include "core/statistics/MatchProbabilities.h"
#include "core/table/GenotypeLoci.h"
#include "io/DelimitedTextWriter.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::kRealFiles;

bool isLocusTitle(const std::string& title) {
    const std::string key = locusKey(title);
    return key.starts_with("DYS") || key.starts_with("DYF") || key.starts_with("GATA");
}

// The sheet's columns rearranged: `descriptive` descriptive ones (the population second where
// there is one, empty ones where the sheet has fewer), then the loci; rows as given.
class Arranged : public TextTable {
public:
    Arranged(std::shared_ptr<const HaplotypeTable> sheet, int descriptive, std::vector<int> rows)
        : sheet_(std::move(sheet)), rows_(std::move(rows)) {
        std::vector<int> others;
        for (int col = 0; col < sheet_->columns(); ++col)
            (isLocusTitle(sheet_->title(col)) ? loci_ : others).push_back(col);
        const auto population = std::ranges::find_if(others, [&](int col) {
            return sheet_->title(col).find("opulation") != std::string::npos;
        });
        if (population != others.end() && population != others.begin() && descriptive > 1)
            std::iter_swap(others.begin() + 1, population);
        others.resize(static_cast<std::size_t>(descriptive), -1);
        columns_ = others;
        columns_.insert(columns_.end(), loci_.begin(), loci_.end());
    }
    int columnCount() const override { return static_cast<int>(columns_.size()); }
    int rowCount() const override { return static_cast<int>(rows_.size()) + 1; }
    std::string_view text(int col, int row, std::string& scratch) const override {
        const int from = columns_[static_cast<std::size_t>(col)];
        if (from < 0)
            return row == 0 ? "blank" : "";
        return sheet_->text(from, row == 0 ? 0 : rows_[static_cast<std::size_t>(row - 1)], scratch);
    }

private:
    std::shared_ptr<const HaplotypeTable> sheet_;
    std::vector<int> rows_;
    std::vector<int> loci_;
    std::vector<int> columns_;
};

TEST(RealFilesGenotypes, LoadWithoutFaultsAndFindThemselves) {
    if (!fs::is_directory(kRealFiles))
        GTEST_SKIP() << kRealFiles << " is absent";
    const fs::path scratch = testing_files::scratchPath("tarnwick-real-genotypes");
    fs::create_directories(scratch);
    int files = 0;
    for (const fs::path& file : testing_files::realFiles()) {
        ++files;
        const std::string name = file.filename().string();
        const auto sheet =
            readHaplotypeTable(file.string(), kSheetLayout, CellReading::Integers).table;
        const int rows = static_cast<int>(sheet->haplotypes());
        std::vector<int> all(static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row)
            all[static_cast<std::size_t>(row)] = row + 1;
        const auto save = [&](const Arranged& table, const std::string& as) {
            const auto path = (scratch / (name + as + ".csv")).string();
            saveDelimitedText(table, table.rowCount(), TextTableFormat::Csv, path);
            return path;
        };
        const LoadedTable database = readInputTable(save(Arranged(sheet, 7, all), "-database"),
                                                    InputRole::Database, CellReading::Genotypes);
        // The first, middle and last haplotype typed at any locus (some rows are untyped, or
        // footnotes).
        std::vector<int> typed;
        const auto loci = genotypeLoci(*database.table);
        for (int row = 1; row <= rows; ++row)
            if (std::ranges::any_of(loci, [&](const GenotypeLocus& locus) {
                    return genotypeAt(*database.table, locus, static_cast<std::size_t>(row - 1))
                        .typed();
                }))
                typed.push_back(row);
        ASSERT_GE(typed.size(), 3u) << name;
        const std::vector<int> three = {typed.front(), typed[typed.size() / 2], typed.back()};
        const LoadedTable searchAll = readInputTable(save(Arranged(sheet, 2, all), "-search"),
                                                     InputRole::Search, CellReading::Genotypes);
        const LoadedTable search = readInputTable(save(Arranged(sheet, 2, three), "-three"),
                                                  InputRole::Search, CellReading::Genotypes);
        EXPECT_TRUE(database.faults.empty()) << name << " as database";
        EXPECT_TRUE(searchAll.faults.empty()) << name << " as search table";
        const MatchResult result = matchGenotypes(*database.table, *search.table, 0);
        ASSERT_FALSE(result.failure) << name;
        for (std::size_t s = 0; s < three.size(); ++s) {
            const auto self = static_cast<std::uint32_t>(three[s] - 1);
            EXPECT_TRUE(std::ranges::any_of(result.matches,
                                            [&](const Match& m) {
                                                return m.search == s && m.database == self &&
                                                       m.steps == 0;
                                            }))
                << name << " haplotype " << three[s];
        }
        // Each of the three occurs in the file: at least once among all, and in its population.
        const MatchProbabilities probabilities =
            matchProbabilities(*database.table, *search.table, 0.95);
        for (const ProbabilityRow& row : probabilities.rows)
            if (row.population < 0) {
                EXPECT_GE(row.matches, 1u) << name << " haplotype " << three[row.search];
                EXPECT_LE(*row.lower, *row.frequency) << name;
                EXPECT_GE(*row.upper, *row.frequency) << name;
            }
        std::cout << name << ": " << database.table->haplotypes() << " haplotypes, "
                  << result.pairs.size() << " loci paired, " << result.matches.size()
                  << " matches at 0 steps for 3 of them\n";
    }
    EXPECT_EQ(files, 16);
    fs::remove_all(scratch);
}

} // namespace
} // namespace tarnwick
