#pragma once

// The comparison loops of both lane widths, written once for every instruction set (Highway's
// dynamic dispatch), run at the level the caller names. MatchKernel.cpp and ByteKernel.cpp
// prepare their arguments.

#include "core/matching/kernel/ByteKernel.h"
#include "core/matching/kernel/KernelLevel.h"
#include "core/matching/kernel/MatchKernel.h"

#include <cstdint>
#include <vector>

namespace tarnwick {

// A search haplotype in byte blocks' terms: each value less its locus's base, brought into
// 0..254, and how far it lay outside (added to every difference there).
struct ByteSearch {
    std::vector<std::uint32_t> loci;
    std::vector<std::uint8_t> values;
    std::vector<std::uint8_t> beyond;
};

void compareWordLanes(KernelLevel level, const LocusBlocks& database, std::size_t first,
                      std::size_t last, const SearchLoci* searches, std::size_t count,
                      std::uint16_t limit, bool needCommon, std::vector<KernelMatch>* matches);

void compareByteLanes(KernelLevel level, const ByteBlocks& database, std::size_t first,
                      std::size_t last, const ByteSearch* searches, std::size_t count,
                      std::uint8_t limit, bool needCommon, std::vector<KernelMatch>* matches);

} // namespace tarnwick
