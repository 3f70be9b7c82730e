#include "core/matching/kernel/ByteKernel.h"

#include "core/matching/kernel/KernelLoops.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace tarnwick {
namespace {

ByteSearch inBlockTerms(const ByteBlocks& database, const SearchLoci& search) {
    ByteSearch byteSearch;
    byteSearch.loci = search.loci;
    for (std::size_t i = 0; i < search.loci.size(); ++i) {
        const int value = search.values[i] - database.base(search.loci[i]);
        const int inside = std::clamp(value, 0, ByteBlocks::kWidest);
        byteSearch.values.push_back(static_cast<std::uint8_t>(inside));
        byteSearch.beyond.push_back(
            static_cast<std::uint8_t>(std::min(std::abs(value - inside), 255)));
    }
    return byteSearch;
}

} // namespace

void ByteBlocks::Free::operator()(std::uint8_t* values) const {
    ::operator delete[](values, std::align_val_t(64));
}

ByteBlocks::ByteBlocks(std::size_t haplotypes, std::vector<std::int16_t> bases)
    : haplotypes_(haplotypes), bases_(std::move(bases)),
      blocks_((haplotypes + kLanes - 1) / kLanes),
      values_(static_cast<std::uint8_t*>(::operator new[](
          std::max<std::size_t>(blocks_* bases_.size() * kLanes, 1), std::align_val_t(64)))) {}

void compareByteBlocks(const ByteBlocks& database, std::size_t first, std::size_t last,
                       const SearchLoci* searches, std::size_t count, std::uint8_t limit,
                       bool needCommon, std::vector<KernelMatch>* matches, KernelLevel level) {
    std::vector<ByteSearch> byteSearches;
    byteSearches.reserve(count);
    for (std::size_t s = 0; s < count; ++s)
        byteSearches.push_back(inBlockTerms(database, searches[s]));
    compareByteLanes(level, database, first, last, byteSearches.data(), count, limit, needCommon,
                     matches);
}

} // namespace tarnwick
