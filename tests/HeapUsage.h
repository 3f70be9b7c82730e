#pragma once

#include <cstddef>
#include <malloc.h>
#include <memory>

namespace tarnwick {

// Bytes in use on the heap, the large mmap-ed blocks included.
inline std::size_t heapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Whether heapInUse sees allocations at all: an allocator of a sanitizer reports nothing.
inline bool heapIsMeasurable() {
    [[maybe_unused]] static char* volatile kept; // so that the compiler cannot leave the allocation
                                                 // out
    const std::size_t before = heapInUse();
    const auto block = std::make_unique<char[]>(1 << 20);
    kept = block.get();
    return heapInUse() > before + (1 << 19);
}

} // namespace tarnwick
