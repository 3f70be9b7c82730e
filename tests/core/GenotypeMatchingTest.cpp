// The genotype matching against a plain, literal implementation of its rules, on random tables
// with split loci, aliases, repeated keys, DYS389, a duplicated locus written once,
// microvariants, copies, null alleles and missing marks, some with more than 64 loci; once with
// each level of the comparison kernel.
#include "core/matching/GenotypeMatching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tarnwick {
namespace {

namespace literal {

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string key(const std::string& title) {
    std::string k;
    for (char c : upper(title))
        if (std::string(" \t-_.").find(c) == std::string::npos)
            k += c;
    if (k.rfind("YGATA", 0) == 0)
        k = k.substr(1);
    if (k.size() >= 3 && k.substr(k.size() - 3) == "A/B")
        k = k.substr(0, k.size() - 3);
    const std::map<std::string, std::string> aliases = {
        {"DYS394", "DYS19"},   {"DYS395", "DYS393"},  {"GATAA4", "DYS439"},
        {"GATAA71", "DYS460"}, {"GATAA72", "DYS461"}, {"GATAC4", "DYS635"}};
    return aliases.contains(k) ? aliases.at(k) : k;
}

// kind: 'm' missing, 'n' null, 'a' alleles (repeats, partial), 'f' fault
struct Cell {
    char kind = 'm';
    std::vector<std::pair<int, int>> alleles;
};

Cell read(std::string text) {
    static const std::regex spaces("^[ \\t]+|[ \\t]+$");
    static const std::regex allele("^0*([1-9][0-9]{0,2})(?:\\.([0-9]))?$");
    static const std::regex separator("[ \\t]*[,/;-][ \\t]*");
    static const std::regex trailingSeparator("[,/;-][ \\t]*$");
    text = std::regex_replace(text, spaces, "");
    if (!text.empty() && text[0] == '\'')
        text = text.substr(1);
    const std::string u = upper(text);
    for (const char* mark : {"", "-", "--", "?", "NA", "N/A", "ND", "NR"})
        if (u == mark)
            return {};
    if (u == "0" || u == "NULL")
        return {'n', {}};
    Cell cell{'a', {}};
    for (std::sregex_token_iterator part(text.begin(), text.end(), separator, -1), end; part != end;
         ++part) {
        std::smatch m;
        const std::string piece = *part;
        if (!std::regex_match(piece, m, allele))
            return {'f', {}};
        cell.alleles.emplace_back(std::stoi(m[1]), m[2].matched ? std::stoi(m[2]) : 0);
    }
    // A trailing separator leaves no empty part behind in the split above.
    if (std::regex_search(text, trailingSeparator) || cell.alleles.size() > 16)
        return {'f', {}};
    std::sort(cell.alleles.begin(), cell.alleles.end());
    return cell;
}

int steps(std::pair<int, int> a, std::pair<int, int> b) {
    return std::abs(a.first - b.first) + (a.second != b.second ? 1 : 0);
}

// The least sum over pairings of each of the shorter's values with a distinct value of the
// longer, order kept: every way of choosing positions, tried.
int leastPairing(const std::vector<std::pair<int, int>>& shorter,
                 const std::vector<std::pair<int, int>>& longer, std::size_t i, std::size_t j) {
    if (i == shorter.size())
        return 0;
    int least = 1 << 30;
    for (std::size_t at = j; at + (shorter.size() - i) <= longer.size(); ++at)
        least = std::min(least, steps(shorter[i], longer[at]) +
                                    leastPairing(shorter, longer, i + 1, at + 1));
    return least;
}

int steps(const Cell& a, const Cell& b) {
    if (a.kind == 'n' || b.kind == 'n')
        return a.kind == b.kind ? 0 : 1;
    const auto& shorter = a.alleles.size() <= b.alleles.size() ? a.alleles : b.alleles;
    const auto& longer = a.alleles.size() <= b.alleles.size() ? b.alleles : a.alleles;
    return static_cast<int>(longer.size() - shorter.size()) + leastPairing(shorter, longer, 0, 0);
}

using Table = std::vector<std::vector<std::string>>; // row 0 the titles

struct Locus {
    std::string key;
    int a;
    int b = -1;
};

std::vector<Locus> loci(const Table& table, int first) {
    std::vector<std::string> keys;
    for (const auto& title : table[0])
        keys.push_back(key(title));
    std::set<int> usedB;
    std::vector<Locus> found;
    std::set<std::string> seen;
    std::map<int, int> bOf;
    for (int c = first; c < static_cast<int>(keys.size()); ++c) {
        if (keys[c].size() < 2 || keys[c].back() != 'A')
            continue;
        for (int d = first; d < static_cast<int>(keys.size()); ++d)
            if (keys[d] == keys[c].substr(0, keys[c].size() - 1) + "B") {
                if (!usedB.contains(d))
                    bOf[c] = d, usedB.insert(d);
                break;
            }
    }
    for (int c = first; c < static_cast<int>(keys.size()); ++c) {
        if (usedB.contains(c))
            continue;
        Locus locus{keys[c], c};
        if (bOf.contains(c))
            locus = {keys[c].substr(0, keys[c].size() - 1), c, bOf[c]};
        if (seen.insert(locus.key).second)
            found.push_back(locus);
    }
    return found;
}

Cell cellAt(const Table& table, const Locus& locus, std::size_t row) {
    const Cell a = read(table[row][locus.a]);
    const std::set<std::string> duplicated = {"DYS385", "DYF387S1", "DYS459",  "YCAII",
                                              "DYS527", "DYS528",   "DYF404S1"};
    if (locus.b < 0 && duplicated.contains(locus.key) && a.alleles.size() == 1)
        return {'a', {a.alleles[0], a.alleles[0]}}; // one allele written for both copies
    if (locus.b < 0)
        return a;
    const Cell b = read(table[row][locus.b]);
    if (a.kind == 'a' || b.kind == 'a') {
        Cell both{'a', {}};
        for (const Cell* part : {&a, &b})
            both.alleles.insert(both.alleles.end(), part->alleles.begin(), part->alleles.end());
        std::sort(both.alleles.begin(), both.alleles.end());
        return both;
    }
    return a.kind == 'n' ? a : b;
}

bool singleWhole(const Cell& c) {
    return c.kind == 'a' && c.alleles.size() == 1 && c.alleles[0].second == 0;
}

using Found = std::vector<std::tuple<std::uint32_t, std::uint32_t, std::int64_t, std::int32_t>>;

// Every match, and the steps at each pair of each.
std::pair<Found, std::map<std::pair<int, int>, std::vector<std::int64_t>>>
match(const Table& database, const Table& search, std::int64_t limit) {
    std::vector<std::pair<Locus, Locus>> pairs;
    const auto searchLoci = loci(search, 2);
    for (const Locus& d : loci(database, 7))
        for (const Locus& s : searchLoci)
            if (s.key == d.key)
                pairs.emplace_back(d, s);
    int dys389I = -1;
    int dys389II = -1;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        if (pairs[k].first.key == "DYS389I")
            dys389I = static_cast<int>(k);
        if (pairs[k].first.key == "DYS389II")
            dys389II = static_cast<int>(k);
    }
    // Each cell read once.
    const auto cellsOf = [&](const Table& table, bool isDatabase) {
        std::vector<std::vector<Cell>> cells(table.size());
        for (std::size_t row = 1; row < table.size(); ++row)
            for (const auto& pair : pairs)
                cells[row].push_back(cellAt(table, isDatabase ? pair.first : pair.second, row));
        return cells;
    };
    const auto searchCells = cellsOf(search, false);
    const auto databaseCells = cellsOf(database, true);
    Found found;
    std::map<std::pair<int, int>, std::vector<std::int64_t>> stepsAtPairs;
    for (std::size_t s = 1; s < search.size(); ++s)
        for (std::size_t h = 1; h < database.size(); ++h) {
            std::int64_t sum = 0;
            std::int32_t compared = 0;
            std::vector<std::int64_t> at(pairs.size(), -1);
            for (std::size_t k = 0; k < pairs.size(); ++k) {
                const Cell& a = searchCells[s][k];
                const Cell& b = databaseCells[h][k];
                if (a.kind == 'm' || b.kind == 'm')
                    continue;
                std::int64_t term = steps(a, b);
                if (static_cast<int>(k) == dys389II && dys389I >= 0) {
                    const Cell& aI = searchCells[s][static_cast<std::size_t>(dys389I)];
                    const Cell& bI = databaseCells[h][static_cast<std::size_t>(dys389I)];
                    if (singleWhole(a) && singleWhole(b) && singleWhole(aI) && singleWhole(bI))
                        term = std::abs((a.alleles[0].first - aI.alleles[0].first) -
                                        (b.alleles[0].first - bI.alleles[0].first));
                }
                at[k] = term;
                sum += term;
                ++compared;
            }
            if (compared > 0 && sum <= limit) {
                found.emplace_back(s - 1, h - 1, sum, compared);
                stepsAtPairs[{static_cast<int>(s - 1), static_cast<int>(h - 1)}] = at;
            }
        }
    return {found, stepsAtPairs};
}

} // namespace literal

class RandomGenotypes {
public:
    explicit RandomGenotypes(unsigned seed) : random_(seed) {}

    // Wide: more than 64 loci in common with another wide table, the titles above among them.
    literal::Table make(int descriptive, int haplotypes, bool wide = false) {
        static const std::vector<std::string> titles = {
            "DYS19",   "DYS394",   "DYS389I", "DYS389 II", "DYS389ii",  "DYS385a",
            "DYS385b", "DYS385 B", "DYS385",  "DYS385a/b", "Y-GATA-H4", "GATAH4",
            "DYS439",  "GATA A4",  "DYS390",  "dys_391",   "DYS392",    "DYS393"};
        std::vector<std::string> loci;
        for (int k = wide ? pick(66, 72) : 0; k > 0; --k)
            loci.push_back("DYS" + std::to_string(500 + k));
        for (int k = pick(wide ? 0 : 1, wide ? 6 : 9); k > 0; --k)
            loci.insert(loci.begin() + pick(0, static_cast<int>(loci.size())),
                        titles[static_cast<std::size_t>(pick(0, 17))]);
        literal::Table table(static_cast<std::size_t>(haplotypes) + 1);
        for (int c = 0; c < descriptive; ++c)
            table[0].push_back("d" + std::to_string(c));
        table[0].insert(table[0].end(), loci.begin(), loci.end());
        for (int r = 1; r <= haplotypes; ++r)
            for (std::size_t c = 0; c < table[0].size(); ++c)
                table[static_cast<std::size_t>(r)].push_back(
                    static_cast<int>(c) < descriptive ? "x" : cell(r));
        return table;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::string allele(int row) {
        const int repeats = 10 + row % 3 + pick(0, 2);
        return std::to_string(repeats) + (pick(0, 12) == 0 ? "." + std::to_string(pick(0, 3)) : "");
    }
    std::string cell(int row) {
        const int roll = pick(0, 99);
        if (roll < 6)
            return std::vector<std::string>{"", "NA", "--", " n/a", "?"}[pick(0, 4)];
        if (roll < 9)
            return pick(0, 1) ? "0" : "null";
        if (roll < 17) {
            std::string copies = allele(row);
            for (int i = pick(1, 3); i > 0; --i)
                copies += std::vector<std::string>{",", "/", " ; ", "-"}[pick(0, 3)] + allele(row);
            return copies;
        }
        return allele(row);
    }

    std::mt19937 random_;
};

std::shared_ptr<const HaplotypeTable> tableOf(const literal::Table& cells, TableLayout layout) {
    HaplotypeTableBuilder builder(layout, CellReading::Genotypes);
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            if (!cells[r][c].empty())
                builder.setText(static_cast<long>(r), static_cast<long>(c), cells[r][c]);
    builder.cover(static_cast<long>(cells.size()), static_cast<long>(cells[0].size()));
    auto built = builder.finish();
    EXPECT_TRUE(built.faults.empty()) << built.asRead(built.faults.front());
    return built.table;
}

// At the level TARNWICK_KERNEL chooses; ctest runs it on the portable loop too.
TEST(GenotypeMatching, FindsWhatTheLiteralRulesFind) {
    int matchesSeen = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        RandomGenotypes random(seed);
        const bool wide = seed % 10 == 0;
        const auto databaseCells = random.make(7, random.pick(0, wide ? 40 : 120), wide);
        const auto searchCells = random.make(2, random.pick(0, 12), wide);
        const auto database = tableOf(databaseCells, kDatabaseLayout);
        const auto search = tableOf(searchCells, kSearchLayout);
        for (const std::int64_t limit : {-1LL, 0LL, 1LL, 2LL, 4LL, 8LL, 70000LL}) {
            const auto [expected, expectedSteps] =
                literal::match(databaseCells, searchCells, limit);
            const MatchResult result = matchGenotypes(*database, *search, limit);
            literal::Found found;
            for (const Match& m : result.matches) {
                found.emplace_back(m.search, m.database, m.steps, m.commonLoci);
                std::vector<std::int64_t> steps;
                result.pairSteps->stepsAtPairs(m, steps);
                ASSERT_EQ(steps, expectedSteps.at(
                                     {static_cast<int>(m.search), static_cast<int>(m.database)}))
                    << "seed " << seed << " limit " << limit;
            }
            std::sort(found.begin(), found.end());
            ASSERT_EQ(found, expected) << "seed " << seed << " limit " << limit;
            matchesSeen += static_cast<int>(found.size());
        }
    }
    EXPECT_GT(matchesSeen, 1000);
}

// One database and one search haplotype: the steps and loci compared between them.
TEST(GenotypeMatching, StepsBetweenOneHaplotypeAndAnother) {
    struct Case {
        std::vector<std::string> databaseTitles, database, searchTitles, search;
        std::int64_t steps;
        std::int32_t loci;
    };
    std::vector<std::string> seventy, fourteens, offPastThe64th;
    for (int k = 1; k <= 70; ++k) {
        seventy.push_back("L" + std::to_string(k));
        fourteens.push_back("14");
        offPastThe64th.push_back(k > 64 ? "24" : "14");
    }
    const std::vector<std::string> dys385{"DYS385"};
    const Case cases[] = {
        {seventy, fourteens, seventy, offPastThe64th, 60, 70},
        {dys385, {"14"}, dys385, {"14,14"}, 0, 1},
        {dys385, {"14,14"}, dys385, {"14"}, 0, 1},
        {dys385, {"14"}, dys385, {"14"}, 0, 1},
        {dys385, {"14"}, dys385, {"15"}, 2, 1},
        {dys385, {"13.2"}, dys385, {"13.2,13.2"}, 0, 1},
        {{"DYS385a/b"}, {"14"}, {"DYS385"}, {"14-14"}, 0, 1},
        {{"YCAII"}, {"19"}, {"Y-CAII"}, {"19,19"}, 0, 1},
        {{"DYF387S1"}, {"36"}, {"DYF387S1"}, {"36,37"}, 1, 1},
        // A split pair keeps its rule: each column one copy, a missing b leaves one.
        {{"DYS385a", "DYS385b"}, {"14", ""}, {"DYS385"}, {"14,14"}, 1, 1},
        {{"DYS385a", "DYS385b"}, {"14", "14"}, {"DYS385"}, {"14"}, 0, 1},
        // Other loci keep theirs.
        {{"DYS19"}, {"14"}, {"DYS19"}, {"14,14"}, 1, 1},
    };
    for (const Case& c : cases) {
        literal::Table database{{"id", "p", "", "", "", "", ""}, {"h", "X", "", "", "", "", ""}};
        literal::Table search{{"sample", "comment"}, {"s", ""}};
        for (std::size_t k = 0; k < c.databaseTitles.size(); ++k) {
            database[0].push_back(c.databaseTitles[k]);
            database[1].push_back(c.database[k]);
        }
        for (std::size_t k = 0; k < c.searchTitles.size(); ++k) {
            search[0].push_back(c.searchTitles[k]);
            search[1].push_back(c.search[k]);
        }
        const std::string name = c.databaseTitles[0] + " " + c.database[0] + " against " +
                                 c.searchTitles[0] + " " + c.search[0];
        const MatchResult result = matchGenotypes(*tableOf(database, kDatabaseLayout),
                                                  *tableOf(search, kSearchLayout), 1000);
        ASSERT_EQ(result.matches.size(), 1u) << name;
        EXPECT_EQ(result.matches[0].steps, c.steps) << name;
        EXPECT_EQ(result.matches[0].commonLoci, c.loci) << name;
    }
}

TEST(GenotypeMatchingFaults, StopBeforeTheSearchHaplotypeThatMeetsOne) {
    const auto database = tableOf({{"id", "p", "", "", "", "", "", "DYS19", "DYS390"},
                                   {"h1", "X", "", "", "", "", "", "14", "24"}},
                                  kDatabaseLayout);
    HaplotypeTableBuilder builder(kSearchLayout, CellReading::Genotypes);
    const std::vector<std::vector<std::string>> cells = {
        {"sample", "comment", "DYS19", "DYS390"}, {"s1", "", "14", "24"}, {"s2", "", "14x", "24"}};
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            if (!cells[r][c].empty())
                builder.setText(static_cast<long>(r), static_cast<long>(c), cells[r][c]);
    auto built = builder.finish();
    ASSERT_EQ(built.faults.size(), 1u);
    EXPECT_EQ(built.asRead(built.faults[0]), "14x");
    const MatchResult result = matchGenotypes(*database, *built.table, 5);
    EXPECT_EQ(result.searchesCompared, 1u);
    EXPECT_EQ(result.matches.size(), 1u);
    EXPECT_EQ(result.failure, "'14x' is not a valid genotype");
}

} // namespace
} // namespace tarnwick
