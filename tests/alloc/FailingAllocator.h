// The allocation-failure sweep's allocator. The sweep program replaces every
// form of the global operator new and delete (plain, array, nothrow, aligned,
// sized) with versions that count live allocations and can be told to fail
// one of the next ones: the throwing forms then throw std::bad_alloc, the
// nothrow forms return null. The library is linked as any user links it, so
// its allocations, and Expat's and zlib's (the library hands them allocators
// over operator new), come here too.
#ifndef VXBIND_TESTS_ALLOC_FAILINGALLOCATOR_H
#define VXBIND_TESTS_ALLOC_FAILINGALLOCATOR_H

#include <cstddef>
#include <cstdint>

namespace vxtest {
namespace alloc {

// Makes the allocation `n` from now fail (0 = the next one), once; the ones
// after it succeed again. A negative `n` disarms.
void FailAfter(int64_t n);
// Disarms and tells whether the armed failure happened since FailAfter.
bool Disarm();

// Allocations made and not yet freed, by the whole program.
int64_t Live();
// Allocations made since the program started (failed ones not included).
uint64_t Made();
// Bytes requested by the allocations made since the program started.
uint64_t BytesRequested();
// The largest single request since ResetLargest().
size_t Largest();
void ResetLargest();

// While one exists, allocations are neither failed nor counted towards the
// armed one: for the checks a scenario makes after a failure.
class Pause {
 public:
  Pause();
  ~Pause();
  Pause(const Pause&) = delete;
  Pause& operator=(const Pause&) = delete;
};

}  // namespace alloc
}  // namespace vxtest

#endif  // VXBIND_TESTS_ALLOC_FAILINGALLOCATOR_H
