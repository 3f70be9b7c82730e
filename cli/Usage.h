#pragma once

namespace tarnwick {

extern const char* const kBatchUsage;

} // namespace tarnwick
