#include "vxbind/platform/detail/Memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace VxVevAva5 {
namespace Memory {

void PrepareLargeWrite(void* buffer, size_t bytes) noexcept {
#if defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  if (buffer == nullptr || bytes < 4 * kHugePage) return;
  // Only whole huge pages inside the buffer: the advice applies to the
  // mapping, and the parts of other allocations around it stay untouched.
  uintptr_t begin = (reinterpret_cast<uintptr_t>(buffer) + kHugePage - 1) & ~(kHugePage - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + bytes) & ~(kHugePage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)buffer;
  (void)bytes;
#endif
}

}  // namespace Memory
}  // namespace VxVevAva5
