#include "RealFiles.h"
#include "TestFiles.h"
#include "TextGrid.h"
// The batch tool on published population files, rearranged as a user would: seven descriptive
// columns with the population second, and the two-copy locus DYS385 ("11,14") split in two.
// Skips when the folder of real files is absent.

#include "cli/BatchTool.h"
#include "io/DelimitedTextWriter.h"
#include "io/TableImport.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::kRealFiles;
const char* const kPopulations[] = {"AfricanAmerican", "AsianAmerican", "EuropeanAmerican",
                                    "HispanicAmerican", "NativeAmerican"};

// Loci of a Y23 file with DYS385 split; column 0 is the sample ID. A rare duplication at another
// locus ("14,15" at DYS19) is left untyped, as a user would.
std::vector<std::string> splitLoci(const test::TextGrid& sheet, int row, int& untyped) {
    std::vector<std::string> cells;
    for (int c = 1; c < sheet.ColCount(); ++c) {
        const std::string& text = sheet.Cells(c, row);
        if (sheet.Cells(c, 0) != "DYS385") {
            const bool duplicated = row > 0 && text.find(',') != std::string::npos;
            untyped += duplicated;
            cells.push_back(duplicated ? "" : text);
        } else if (row == 0) {
            cells.insert(cells.end(), {"DYS385a", "DYS385b"});
        } else {
            const auto comma = text.find(',');
            cells.push_back(text.substr(0, comma));
            cells.push_back(comma == std::string::npos ? "" : text.substr(comma + 1));
        }
    }
    return cells;
}

void append(test::TextGrid& table, const std::vector<std::string>& cells) {
    const bool empty = table.RowCount() == 1 && table.Cells(0, 0).empty();
    const int row = empty ? 0 : table.RowCount();
    table.setColCount(std::max(table.ColCount(), static_cast<int>(cells.size())));
    table.setRowCount(row + 1);
    for (std::size_t c = 0; c < cells.size(); ++c)
        table.setCells(static_cast<int>(c), row, cells[c]);
}

// Each file rearranged as a user would by hand into the database layout: a literal reading of
// every sheet, loci and population picked by plain rules, counted rows written out.
void rearrangeByHand(const fs::path& file, const fs::path& target) {
    const std::regex locus("^(DYS[0-9]|DYF[0-9]|Y-?GATA|GATA|YCAII|DXYS)", std::regex::icase);
    const auto lowerNoSpaces = [](std::string text) {
        std::erase(text, ' ');
        std::transform(text.begin(), text.end(), text.begin(), ::tolower);
        return text;
    };
    test::TextGrid database(1, 1);
    const auto sheets = previewSheet(file.string(), "1", 1).sheetNames;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        const auto rows = previewSheet(file.string(), std::to_string(s + 1), 2000000).rows;
        if (rows.empty())
            continue;
        const auto& titles = rows.front();
        std::vector<std::size_t> loci;
        std::optional<std::size_t> population, count;
        for (std::size_t c = 0; c < titles.size(); ++c) {
            const std::string title = lowerNoSpaces(titles[c]);
            if (std::regex_search(titles[c], locus) && title.find("sum") == std::string::npos)
                loci.push_back(c);
            else if (!population && (title == "population" || title == "populationcode"))
                population = c;
            else if (!count && (title == "count" || title == "n"))
                count = c;
        }
        if (database.RowCount() == 1) {
            std::vector<std::string> header = {"number", "population", "", "", "", "", ""};
            for (const std::size_t c : loci)
                header.push_back(titles[c]);
            append(database, header);
        }
        const std::string sheetName =
            sheets[s].empty() || sheets[s].starts_with("Sheet") ? file.stem().string() : sheets[s];
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const auto cell = [&](std::size_t c) {
                return c < rows[r].size() ? rows[r][c] : std::string();
            };
            std::vector<std::string> row = {
                std::to_string(r), population ? cell(*population) : sheetName, "", "", "", "", ""};
            for (const std::size_t c : loci)
                row.push_back(cell(c));
            const int times = count && !cell(*count).empty() ? std::stoi(cell(*count)) : 1;
            for (int t = 0; t < times; ++t)
                append(database, row);
        }
    }
    saveDelimitedText(database, database.RowCount(), TextTableFormat::Csv, target.string());
}

TEST(RealFilesBatch, EveryFileAsItComesGivesTheFiguresOfTheFileRearrangedByHand) {
    if (!fs::is_directory(kRealFiles))
        GTEST_SKIP() << kRealFiles << " is absent";
    const fs::path scratch = testing_files::scratchPath("tarnwick-real-import");
    fs::create_directories(scratch);
    std::map<std::string, std::string> figures;
    for (const fs::path& file : testing_files::realFiles()) {
        SCOPED_TRACE(file.filename().string());
        const fs::path rearranged = scratch / (file.stem().string() + ".csv");
        rearrangeByHand(file, rearranged);
        std::ostringstream imported, byHand, err;
        ASSERT_EQ(runBatchTool({"diversity", file.string(), "--detect-layout", "--sheet", "all",
                                "--out", "-"},
                               imported, err),
                  kExitSuccess)
            << err.str();
        ASSERT_EQ(runBatchTool({"diversity", rearranged.string(), "--genotypes", "--out", "-"},
                               byHand, err),
                  kExitSuccess)
            << err.str();
        EXPECT_EQ(imported.str(), byHand.str());
        figures[file.filename().string()] = imported.str();
    }
    fs::remove_all(scratch);
    // The published files' own figures.
    EXPECT_NE(figures["Chinese_Han.xlsx"].find("Chinese_Han\t4451\t3389\t2877\t0.999696\t0.761402"),
              std::string::npos);
    EXPECT_NE(figures["danes.txt"].find("danes\t185\t136\t112\t0.993126\t0.735135"),
              std::string::npos);
    for (const char* population : {"European\t197\t", "East Asian\t196\t", "Aboriginal\t742\t"})
        EXPECT_NE(figures["South_Australia.xlsx"].find(population), std::string::npos)
            << population << figures["South_Australia.xlsx"];
}

TEST(RealFilesBatch, MatchesRearrangedPopulationFiles) {
    if (!fs::is_directory(kRealFiles))
        GTEST_SKIP() << kRealFiles << " is absent";
    const fs::path scratch = testing_files::scratchPath("tarnwick-real-batch");
    fs::create_directories(scratch);
    test::TextGrid database(1, 1);
    test::TextGrid search(1, 1);
    std::map<std::string, int> sizes;
    int mutated = 0;
    int untyped = 0;
    for (const char* population : kPopulations) {
        const auto file = kRealFiles / ("Y23_" + std::string(population) + "_NoDups.xlsx");
        test::TextGrid sheet(1, 2);
        ReadWorkbookIntoTable(sheet, file.string());
        const int haplotypes = sheet.RowCount() - 3;
        sizes[population] = haplotypes;
        if (database.RowCount() == 1) {
            std::vector<std::string> header = {"ID", "population", "", "", "", "", ""};
            const auto loci = splitLoci(sheet, 0, untyped);
            header.insert(header.end(), loci.begin(), loci.end());
            append(database, header);
            std::vector<std::string> searchHeader = {"sample", "comment"};
            searchHeader.insert(searchHeader.end(), loci.rbegin(), loci.rend());
            append(search, searchHeader);
        }
        for (int r = 1; r <= haplotypes; ++r) {
            std::vector<std::string> row = {sheet.Cells(0, r), population, "", "", "", "", ""};
            auto loci = splitLoci(sheet, r, untyped);
            row.insert(row.end(), loci.begin(), loci.end());
            append(database, row);
            if (r % 200 != 1)
                continue;
            // Every 200th haplotype is searched for, every other one with one step added.
            if (r % 400 == 1 && !loci.front().empty()) {
                loci.front() = std::to_string(std::stoi(loci.front()) + 1);
                ++mutated;
            }
            std::vector<std::string> searched = {sheet.Cells(0, r), population};
            searched.insert(searched.end(), loci.rbegin(), loci.rend());
            append(search, searched);
        }
    }
    saveDelimitedText(database, database.RowCount(), TextTableFormat::Csv,
                      (scratch / "y23-database.csv").string());
    saveDelimitedText(search, search.RowCount(), TextTableFormat::Csv,
                      (scratch / "y23-search.csv").string());

    std::ostringstream out;
    std::ostringstream err;
    const int status =
        runBatchTool({"match", (scratch / "y23-database.csv").string(),
                      (scratch / "y23-search.csv").string(), "--steps", "1", "--by-haplotype",
                      (scratch / "matches.tsv").string(), "--by-population", "-"},
                     out, err);
    ASSERT_EQ(status, kExitSuccess) << err.str();
    EXPECT_NE(err.str().find("23 markers overlap"), std::string::npos) << err.str();
    // Every searched haplotype finds its source: 0 steps, or 1 for the mutated ones.
    test::TextGrid matches(1, 2);
    ReadWorkbookIntoTable(matches, (scratch / "matches.tsv").string());
    int exact = 0;
    int oneStep = 0;
    for (int r = 1; r < matches.RowCount() - 2; ++r)
        if (matches.Cells(0, r) == matches.Cells(11, r)) // the sample is its source's ID
            (matches.Cells(3, r) == "0" ? exact : oneStep) += 1;
    EXPECT_EQ(exact + oneStep, search.RowCount() - 1);
    EXPECT_EQ(oneStep, mutated);
    // The summary lists each population with its size.
    for (const auto& [population, size] : sizes)
        EXPECT_NE(out.str().find(population + "\t\t" + std::to_string(size) + "\t"),
                  std::string::npos)
            << population;
    std::cout << database.RowCount() - 1 << " database haplotypes, " << search.RowCount() - 1
              << " searched, " << matches.RowCount() - 3 << " matches within 1 step, " << untyped
              << " duplicated cells left untyped\n";

    // The same database's population structure: every man in the analysis or left out, and a
    // row per pair of the five populations.
    std::ostringstream structureOut;
    std::ostringstream structureErr;
    ASSERT_EQ(
        runBatchTool({"structure", (scratch / "y23-database.csv").string(), "--permutations", "99",
                      "--amova", "-", "--pairwise", (scratch / "pairwise.csv").string()},
                     structureOut, structureErr),
        kExitSuccess)
        << structureErr.str();
    std::map<std::string, std::string> amova;
    std::istringstream amovaLines(structureOut.str());
    for (std::string statistic, value;
         std::getline(amovaLines, statistic, '\t') && std::getline(amovaLines, value);)
        amova[statistic] = value;
    EXPECT_EQ(amova["populations"], "5");
    EXPECT_EQ(std::stoi(amova["men"]) + std::stoi(amova["men_left_out"]), database.RowCount() - 1);
    EXPECT_FALSE(amova["phi"].empty());
    const std::string pairwise = testing_files::readFile((scratch / "pairwise.csv").string());
    EXPECT_EQ(std::count(pairwise.begin(), pairwise.end(), '\n'), 1 + 10) << pairwise;
    std::cout << "structure: " << amova["men"] << " men, " << amova["men_left_out"]
              << " left out, RST " << amova["phi"] << "\n";

    // As published, a Y23 file is no database: its "11,14" cells at DYS385 are faults.
    std::ostringstream rawOut;
    std::ostringstream rawErr;
    const auto raw = (kRealFiles / "Y23_AsianAmerican_NoDups.xlsx").string();
    EXPECT_EQ(runBatchTool({"match", raw, (scratch / "y23-search.csv").string(), "--steps", "1"},
                           rawOut, rawErr),
              kExitFailure);
    EXPECT_NE(rawErr.str().find(raw + ": cell I2 holds \"13,16\""), std::string::npos)
        << rawErr.str().substr(0, 500);
    fs::remove_all(scratch);
}

} // namespace
} // namespace tarnwick
