// Compiled once per instruction set: Highway includes this file again for each of its targets.
// Every attainable target, so that the portable loop is there on every architecture (for
// TARNWICK_KERNEL=scalar and the tests), not only where the processor's baseline needs it.
#ifndef HWY_COMPILE_ALL_ATTAINABLE
#define HWY_COMPILE_ALL_ATTAINABLE
#endif
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/matching/kernel/KernelLoops.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "core/matching/kernel/KernelLoops.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

HWY_BEFORE_NAMESPACE();
namespace tarnwick::HWY_NAMESPACE {
namespace {

namespace hn = hwy::HWY_NAMESPACE;

// How many loci are added up between two looks at whether the whole part of a block is over
// the limit.
constexpr std::size_t kLociBetweenChecks = 4;

// The lanes of mask as matches: their steps, and the loci at which they are typed, counted
// here (few lanes match); a lane typed at none of the search's loci is no match.
template <class Blocks, class Search, class Step>
void collect(std::uint64_t mask, const Step* steps, const Blocks& database, std::size_t block,
             const Search& search, bool needCommon, std::vector<KernelMatch>& matches) {
    while (mask != 0) {
        const auto lane = static_cast<std::size_t>(std::countr_zero(mask));
        mask &= mask - 1;
        std::uint16_t common = 0;
        for (const std::uint32_t locus : search.loci)
            if (database.at(block, locus)[lane] != Blocks::kUntyped)
                ++common;
        const std::size_t haplotype = block * Blocks::kLanes + lane;
        if ((common > 0 || !needCommon) && haplotype < database.haplotypes())
            matches.push_back({static_cast<std::uint32_t>(haplotype), steps[lane], common});
    }
}

// Each search haplotype against the blocks first to last - 1, a block in parts of as many
// lanes as a vector holds (all of it with the widest): the saturated sum of the differences
// at the loci where the database haplotype is typed, and those within limit as matches. A part
// is given up once every one of its lanes is beyond the limit.
template <class Blocks, class Search>
void compareLanes(const Blocks& database, std::size_t first, std::size_t last,
                  const Search* searches, std::size_t count, unsigned limit, bool needCommon,
                  std::vector<KernelMatch>* matches) {
    using Value = std::remove_const_t<decltype(Blocks::kUntyped)>;
    using Step = std::make_unsigned_t<Value>;
    constexpr std::size_t kLanes = Blocks::kLanes;
    const hn::CappedTag<Value, kLanes> d;
    const hn::RebindToUnsigned<decltype(d)> du;
    const std::size_t lanes = hn::Lanes(d);
    const auto untyped = hn::Set(d, Blocks::kUntyped);
    const auto limitLanes = hn::Set(du, static_cast<Step>(limit));
    const auto zero = hn::Zero(du);
    // A sum at or below the limit leaves nothing when the limit is taken off it.
    const auto within = [&](auto sum) { return hn::SaturatedSub(sum, limitLanes) == zero; };
    alignas(64) Step steps[kLanes];
    std::uint8_t bits[kLanes / 8];
    for (std::size_t block = first; block < last; ++block) {
        for (std::size_t s = 0; s < count; ++s) {
            const Search& search = searches[s];
            std::uint64_t mask = 0;
            for (std::size_t part = 0; part < kLanes; part += lanes) {
                // A block's loci lie kLanes values apart.
                const Value* const values = database.at(block, 0) + part;
                auto sum = zero;
                bool over = false;
                for (std::size_t i = 0; i < search.loci.size(); ++i) {
                    const auto x = hn::Load(d, values + search.loci[i] * kLanes);
                    const auto value = hn::Set(d, search.values[i]);
                    auto difference = zero;
                    if constexpr (std::is_signed_v<Value>) {
                        difference = hn::BitCast(du, hn::Abs(hn::Sub(x, value)));
                    } else {
                        difference = hn::Sub(hn::Max(x, value), hn::Min(x, value));
                        if (search.beyond[i] != 0)
                            difference =
                                hn::SaturatedAdd(difference, hn::Set(du, search.beyond[i]));
                    }
                    // Where the database haplotype is untyped, the sum stays.
                    sum = hn::IfThenElse(hn::RebindMask(du, x != untyped),
                                         hn::SaturatedAdd(sum, difference), sum);
                    if (i % kLociBetweenChecks == kLociBetweenChecks - 1 &&
                        hn::AllFalse(du, within(sum))) {
                        over = true;
                        break;
                    }
                }
                if (over)
                    continue;
                const auto found = within(sum);
                if (hn::AllFalse(du, found))
                    continue;
                hn::Store(sum, du, steps + part);
                hn::StoreMaskBits(du, found, bits);
                for (std::size_t byte = 0; byte * 8 < lanes; ++byte)
                    mask |= std::uint64_t{bits[byte]} << (part + 8 * byte);
            }
            if (mask != 0)
                collect(mask, steps, database, block, search, needCommon, matches[s]);
        }
    }
}

} // namespace

void CompareWordLanes(const LocusBlocks& database, std::size_t first, std::size_t last,
                      const SearchLoci* searches, std::size_t count, std::uint16_t limit,
                      bool needCommon, std::vector<KernelMatch>* matches) {
    compareLanes(database, first, last, searches, count, limit, needCommon, matches);
}

void CompareByteLanes(const ByteBlocks& database, std::size_t first, std::size_t last,
                      const ByteSearch* searches, std::size_t count, std::uint8_t limit,
                      bool needCommon, std::vector<KernelMatch>* matches) {
    compareLanes(database, first, last, searches, count, limit, needCommon, matches);
}

} // namespace tarnwick::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tarnwick {
namespace {

HWY_EXPORT(CompareWordLanes);
HWY_EXPORT(CompareByteLanes);

// The entry of a dispatch table for a level: where Highway's own choice would look, had the
// processor this level alone.
std::size_t entryOf(KernelLevel level) {
    hwy::ChosenTarget chosen;
    chosen.Update(level.target());
    return chosen.GetIndex();
}

} // namespace

std::vector<KernelLevel> kernelLevels() {
    std::vector<KernelLevel> levels;
    // Widest first: Highway numbers its targets from the best.
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets())
        levels.push_back(KernelLevel(target));
    return levels;
}

void compareWordLanes(KernelLevel level, const LocusBlocks& database, std::size_t first,
                      std::size_t last, const SearchLoci* searches, std::size_t count,
                      std::uint16_t limit, bool needCommon, std::vector<KernelMatch>* matches) {
    const auto compare = HWY_DISPATCH_TABLE(CompareWordLanes)[entryOf(level)];
    compare(database, first, last, searches, count, limit, needCommon, matches);
}

void compareByteLanes(KernelLevel level, const ByteBlocks& database, std::size_t first,
                      std::size_t last, const ByteSearch* searches, std::size_t count,
                      std::uint8_t limit, bool needCommon, std::vector<KernelMatch>* matches) {
    const auto compare = HWY_DISPATCH_TABLE(CompareByteLanes)[entryOf(level)];
    compare(database, first, last, searches, count, limit, needCommon, matches);
}

} // namespace tarnwick
#endif
