// -----------------------------------------------------------------------------
// File: detail/Memory.h
// -----------------------------------------------------------------------------
//
// Hints to the operating system about large buffers the library is about to
// fill. A fresh buffer of tens of megabytes is mapped page by page on first
// write, and with 4 KiB pages that mapping can cost more than the work that
// fills it; asking for huge pages where the system offers them removes most
// of that cost. The hints never change what the buffer holds.

#ifndef VXBIND_PLATFORM_DETAIL_MEMORY_H
#define VXBIND_PLATFORM_DETAIL_MEMORY_H

#include <cstddef>

namespace VxVevAva5 {
namespace Memory {

// Call on a buffer of `bytes` that has been allocated but not yet written.
// Does nothing for buffers below a few megabytes or where the system has no
// such hint.
void PrepareLargeWrite(void* buffer, size_t bytes) noexcept;

}  // namespace Memory
}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_DETAIL_MEMORY_H
