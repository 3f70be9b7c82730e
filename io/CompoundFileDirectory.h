#pragma once

#include <cstdint>

namespace tarnwick {

// Walks the directory of an OLE2 compound file (an .xls) from its raw sectors, as libgsf will,
// and raises ReadError when the walk would go deeper than a workbook ever does: libgsf follows
// child and sibling links by recursion, and a directory crafted to nest or chain tens of
// thousands of entries would overflow the stack. Cycles and links out of the directory are
// damage too. The file is read through fd with pread; size is its size in bytes.
void checkCompoundFileDirectory(int fd, std::uint64_t size);

} // namespace tarnwick
