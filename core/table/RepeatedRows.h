#pragma once

#include "core/table/HaplotypeTable.h"

#include <cstdint>
#include <memory>
#include <span>

namespace tarnwick {

// The table with each haplotype h written out times[h] times in its place (0 leaves it out), so
// that a row standing for several men counts as those men everywhere. times has one entry per
// haplotype.
std::shared_ptr<const HaplotypeTable> withRepeatedRows(const HaplotypeTable& table,
                                                       std::span<const std::uint32_t> times);

} // namespace tarnwick
