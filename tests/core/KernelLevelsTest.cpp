// The comparison kernels of both lane widths at every level this processor runs, the portable
// loop among them, against a plain loop over the same haplotypes: untyped cells, 16-bit values
// at the lanes' limits, search values beyond a byte locus's span, partly filled blocks.
#include "core/matching/kernel/ByteKernel.h"
#include "core/matching/kernel/KernelLevel.h"
#include "core/matching/kernel/MatchKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::int16_t kUntyped = LocusBlocks::kUntyped;
using Haplotypes = std::vector<std::vector<std::int16_t>>; // kUntyped where untyped
using Found = std::vector<std::tuple<std::uint32_t, int, int>>;

Found plainMatches(const Haplotypes& database, const SearchLoci& search, int limit,
                   bool needCommon) {
    Found found;
    for (std::size_t h = 0; h < database.size(); ++h) {
        int steps = 0;
        int common = 0;
        for (std::size_t i = 0; i < search.loci.size(); ++i)
            if (const std::int16_t v = database[h][search.loci[i]]; v != kUntyped) {
                steps += std::abs(v - search.values[i]);
                ++common;
            }
        if (steps <= limit && (common > 0 || !needCommon))
            found.emplace_back(static_cast<std::uint32_t>(h), steps, common);
    }
    return found;
}

Found asFound(const std::vector<KernelMatch>& matches) {
    Found found;
    for (const KernelMatch& m : matches)
        found.emplace_back(m.haplotype, m.steps, m.commonLoci);
    return found;
}

class Random {
public:
    explicit Random(unsigned seed) : random_(seed) {}
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    // Repeat counts near centre, now and then spread or untyped.
    std::int16_t value(int centre, int spread) {
        const int roll = pick(0, 19);
        if (roll == 0)
            return kUntyped;
        return static_cast<std::int16_t>(
            std::clamp(centre + (roll == 1 ? pick(-spread, spread) : pick(-2, 2)),
                       -int{LocusBlocks::kLargest}, int{LocusBlocks::kLargest}));
    }

private:
    std::mt19937 random_;
};

struct Case {
    Haplotypes database;
    std::vector<SearchLoci> searches;
    std::vector<int> centres; // each locus's usual value
};

// spread: how far values stray from their locus's usual one now and then.
Case randomCase(Random& random, int spread) {
    Case made;
    const auto loci = static_cast<std::size_t>(random.pick(1, 12));
    for (std::size_t k = 0; k < loci; ++k)
        made.centres.push_back(random.pick(-200, 200));
    made.database.resize(static_cast<std::size_t>(random.pick(0, 200)));
    for (auto& haplotype : made.database)
        for (std::size_t k = 0; k < loci; ++k)
            haplotype.push_back(random.value(made.centres[k], spread));
    made.searches.resize(static_cast<std::size_t>(random.pick(1, 4)));
    for (SearchLoci& search : made.searches)
        for (std::size_t k = 0; k < loci; ++k)
            if (const std::int16_t v = random.value(made.centres[k], spread + 300); v != kUntyped) {
                search.loci.push_back(static_cast<std::uint32_t>(k));
                search.values.push_back(v);
            }
    return made;
}

LocusBlocks wordBlocks(const Case& c) {
    LocusBlocks blocks(c.database.size(), c.centres.size());
    for (std::size_t h = 0; h < blocks.blocks() * LocusBlocks::kLanes; ++h)
        for (std::size_t k = 0; k < blocks.loci(); ++k)
            blocks.at(h / LocusBlocks::kLanes, k)[h % LocusBlocks::kLanes] =
                h < c.database.size() ? c.database[h][k] : kUntyped;
    return blocks;
}

// Each locus based at its smallest value; the database's values span at most 254 repeats.
ByteBlocks byteBlocks(const Case& c) {
    std::vector<std::int16_t> bases;
    for (std::size_t k = 0; k < c.centres.size(); ++k) {
        std::int16_t smallest = LocusBlocks::kLargest;
        for (const auto& haplotype : c.database)
            if (haplotype[k] != kUntyped)
                smallest = std::min(smallest, haplotype[k]);
        bases.push_back(smallest);
    }
    ByteBlocks blocks(c.database.size(), std::move(bases));
    for (std::size_t h = 0; h < blocks.blocks() * ByteBlocks::kLanes; ++h)
        for (std::size_t k = 0; k < blocks.loci(); ++k) {
            const std::int16_t v = h < c.database.size() ? c.database[h][k] : kUntyped;
            blocks.at(h / ByteBlocks::kLanes, k)[h % ByteBlocks::kLanes] =
                v == kUntyped ? ByteBlocks::kUntyped
                              : static_cast<std::uint8_t>(v - blocks.base(k));
        }
    return blocks;
}

TEST(KernelLevels, FindWhatAPlainLoopFinds) {
    const std::vector<KernelLevel> levels = kernelLevels();
    ASSERT_FALSE(levels.empty());
    int matchesSeen = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        Random random(seed);
        const bool bytes = seed % 2 == 0;
        // 16-bit lanes: values far apart, sums near saturation; bytes: within 254 repeats.
        const Case c = randomCase(random, bytes ? 120 : 16000);
        const std::vector<int> limits =
            bytes ? std::vector{0, 1, 3, 10, 254} : std::vector{0, 1, 3, 10, 255, 65534};
        const auto words = bytes ? std::nullopt : std::optional(wordBlocks(c));
        const auto bytesBlocks = bytes ? std::optional(byteBlocks(c)) : std::nullopt;
        for (const KernelLevel& level : levels)
            for (const int limit : limits)
                for (const bool needCommon : {true, false}) {
                    std::vector<std::vector<KernelMatch>> matches(c.searches.size());
                    if (bytes)
                        compareByteBlocks(*bytesBlocks, 0, bytesBlocks->blocks(), c.searches.data(),
                                          c.searches.size(), static_cast<std::uint8_t>(limit),
                                          needCommon, matches.data(), level);
                    else
                        compareBlocks(*words, 0, words->blocks(), c.searches.data(),
                                      c.searches.size(), static_cast<std::uint16_t>(limit),
                                      needCommon, matches.data(), level);
                    for (std::size_t s = 0; s < c.searches.size(); ++s) {
                        ASSERT_EQ(asFound(matches[s]),
                                  plainMatches(c.database, c.searches[s], limit, needCommon))
                            << kernelLevelName(level) << " seed " << seed << " limit " << limit
                            << " search " << s << (needCommon ? "" : " without common loci");
                        matchesSeen += static_cast<int>(matches[s].size());
                    }
                }
    }
    EXPECT_GT(matchesSeen, 10000);
}

// ctest runs the matching tests once more with TARNWICK_KERNEL=scalar: that must reach the
// portable loop.
TEST(KernelLevels, TheEnvironmentChoosesTheLevelMatchingUses) {
    const std::vector<KernelLevel> levels = kernelLevels();
    const char* wanted = std::getenv("TARNWICK_KERNEL");
    if (wanted == nullptr)
        EXPECT_EQ(kernelLevel(), levels.front());
    else
        EXPECT_EQ(kernelLevelName(kernelLevel()), wanted);
}

} // namespace
} // namespace tarnwick
