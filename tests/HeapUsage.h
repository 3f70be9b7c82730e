#pragma once

#include <cstddef>
#include <malloc.h>

namespace tarnwick {

// Bytes in use on the heap, the large mmap-ed blocks included.
inline std::size_t heapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace tarnwick
