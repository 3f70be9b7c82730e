#include "core/matching/kernel/MatchKernel.h"

#include "core/matching/kernel/KernelLoops.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace tarnwick {

void LocusBlocks::Free::operator()(std::int16_t* values) const {
    ::operator delete[](values, std::align_val_t(64));
}

LocusBlocks::LocusBlocks(std::size_t haplotypes, std::size_t loci)
    : haplotypes_(haplotypes), loci_(loci), blocks_((haplotypes + kLanes - 1) / kLanes),
      values_(static_cast<std::int16_t*>(
          ::operator new[](std::max<std::size_t>(blocks_* loci_* kLanes, 1) * sizeof(std::int16_t),
                           std::align_val_t(64)))) {}

void compareBlocks(const LocusBlocks& database, std::size_t first, std::size_t last,
                   const SearchLoci* searches, std::size_t count, std::uint16_t limit,
                   bool needCommon, std::vector<KernelMatch>* matches, KernelLevel level) {
    compareWordLanes(level, database, first, last, searches, count, limit, needCommon, matches);
}

} // namespace tarnwick
