// The fast matching and population summary against the literal implementation, on thousands of
// random workspaces built to hit ties, repeated and case-differing headers, descriptive headers
// equal to loci, empty cells, texts that are not integers, and limits from negative to huge.

#include "LiteralMatching.h"
#include "commands/Calculation.h"
#include "commands/PopulationViews.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

struct RecordedMessages : UserMessages {
    explicit RecordedMessages(const Workspace& w) : workspace(w) {}
    void showMessage(const std::string& text) override {
        log.push_back(text + " | status: " + workspace.statusLine);
    }
    const Workspace& workspace;
    std::vector<std::string> log;
};

class RandomWorkspace {
public:
    explicit RandomWorkspace(unsigned seed) : random_(seed) {}

    Workspace make() {
        Workspace w;
        const std::vector<std::string> loci = {"DYS19",   "DYS390", "dys390", "DYS391",
                                               "DYS391 ", "",       "pop",    "DYS385"};
        fill(w.StringGrid1, 7, pick(0, 40), loci, true);
        fill(w.StringGrid2, 2, pick(0, 6), loci, false);
        w.stepLimit = pickLimit();
        w.databaseHasErrors = chance(25);
        w.searchHasErrors = chance(25);
        if (chance(25))
            (chance(2) ? w.StringGrid1 : w.StringGrid2).setCells(0, 0, "");
        return w;
    }

    std::string pickLimit() {
        static const std::vector<std::string> limits = {
            "0",  "1",  "2",          "3",           "4", "-1", "7", "12", " 2",
            "+3", "$5", "2147483647", "-2147483648", "",  "x",  " ", "3 "};
        return chance(6) ? std::to_string(pick(0, 40))
                         : limits[pick(0, static_cast<int>(limits.size()) - 1)];
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int oneIn) { return pick(1, oneIn) == 1; }

    // Values near one of two founders, so that many haplotypes lie within a few steps and ties
    // in the number of steps are common.
    std::string locusValue(int column) {
        if (chance(8))
            return "";
        if (chance(300))
            return chance(2) ? "2147483647" : "-2147483648";
        const int value = 10 + column % 3 + founder_ + (chance(4) ? pick(-1, 1) : 0);
        if (chance(60))
            return chance(2) ? "$" + std::to_string(value) : " " + std::to_string(value);
        return std::to_string(value);
    }

    std::string descriptiveValue(int column) {
        static const std::vector<std::string> populations = {
            "Russians", "Tatars", "russians", "Татары", "0", "", "Komi"};
        if (column == 1)
            return populations[pick(0, static_cast<int>(populations.size()) - 1)];
        // Mostly numbers, so that a descriptive column paired with a locus is often comparable.
        return chance(10) ? "id" + std::to_string(pick(0, 9)) : std::to_string(pick(10, 14));
    }

    void fill(StringGrid& table, int descriptive, int haplotypes,
              const std::vector<std::string>& loci, bool isDatabase) {
        const int columns = descriptive + pick(isDatabase ? 0 : 0, 5) - (chance(10) ? 1 : 0);
        table.setColCount(columns);
        table.setRowCount(haplotypes + 3);
        for (int c = 0; c < columns; ++c) {
            std::string header;
            if (c >= descriptive || (chance(8) && c != 1))
                header = loci[pick(0, static_cast<int>(loci.size()) - 1)];
            else
                header = "desc" + std::to_string(c);
            table.setCells(c, 0, header);
            for (int r = 1; r <= haplotypes; ++r) {
                founder_ = r % 2;
                table.setCells(c, r, c < descriptive ? descriptiveValue(c) : locusValue(c));
            }
        }
        if (table.Cells(0, 0).empty())
            table.setCells(0, 0, "name");
    }

    std::mt19937 random_;
    int founder_ = 0;
};

std::string describe(const StringGrid& t) {
    std::ostringstream out;
    out << t.ColCount() << "x" << t.RowCount() << " fixed " << t.FixedRows() << " visible "
        << t.Visible() << "\n";
    for (int c = 0; c < t.ColCount(); ++c)
        out << t.ColWidths(c) << ' ';
    out << "\n";
    for (int r = 0; r < t.RowCount(); ++r) {
        for (int c = 0; c < t.ColCount(); ++c)
            out << t.Cells(c, r) << '\t';
        out << "\n";
    }
    return out.str();
}

std::string describe(const Workspace& w) {
    std::ostringstream out;
    out << "status [" << w.statusLine << "] enabled " << w.enabled.Button4 << w.enabled.Save1
        << w.enabled.Button5 << w.enabled.Button6 << " visible " << w.StringGrid1.Visible()
        << w.StringGrid2.Visible() << "\nStringGrid5 " << describe(w.StringGrid5) << "StringGrid7 "
        << describe(w.StringGrid7);
    return out.str();
}

template <typename Command> std::string run(Workspace& w, Command command) {
    RecordedMessages messages(w);
    std::string failure;
    try {
        command(w, messages);
    } catch (const ConversionError& error) {
        failure = error.what();
    }
    std::string log;
    for (const auto& line : messages.log)
        log += line + "\n";
    return log + "failure [" + failure + "]\n" + describe(w);
}

// At the level TARNWICK_KERNEL chooses; ctest runs it on the portable loop too.
TEST(MatchingDifferential, FastAndLiteralLeaveTheSameWorkspace) {
    const FixedWidthMeasurer measurer(7);
    int matched = 0;
    int failed = 0;
    constexpr unsigned kCases = 4000;
    for (unsigned seed = 1; seed <= kCases; ++seed) {
        RandomWorkspace random(seed);
        Workspace fast = random.make();
        Workspace slow = fast;
        // Two calculations with different limits, each followed by the population summary, so
        // that a no-match calculation after a matching one is covered too.
        for (int round = 0; round < 2; ++round) {
            const auto fastLog = run(fast, [&](Workspace& w, UserMessages& m) {
                calculate(w, m, measurer);
                showByPopulations(w, measurer);
            });
            const auto slowLog = run(slow, [&](Workspace& w, UserMessages& m) {
                literal::calculate(w, m, measurer);
                literal::showByPopulations(w, measurer);
            });
            ASSERT_EQ(fastLog, slowLog) << "seed " << seed << " round " << round;
            matched += fast.enabled.Button6 && fast.StringGrid5.RowCount() > 1;
            failed += fastLog.find("failure []") == std::string::npos;
            fast.stepLimit = slow.stepLimit = random.pickLimit();
        }
    }
    std::cout << matched << " rounds with matches, " << failed << " with a conversion error\n";
    // The random cases must reach both the matching and the failing paths often.
    EXPECT_GT(matched, static_cast<int>(kCases) / 4);
    EXPECT_GT(failed, static_cast<int>(kCases) / 50);
}

} // namespace
} // namespace tarnwick
