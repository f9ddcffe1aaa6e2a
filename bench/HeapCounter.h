// Peak heap growth for the memory benchmarks. A program that includes this
// header (once, in its one source file) replaces malloc, calloc, realloc,
// free and the aligned allocators with wrappers around glibc's own
// functions; every library in the process (Expat, libxml2, libstdc++'s
// operator new, peers) resolves them here. Between StartCounting and
// StopCounting the wrappers add and subtract the usable size of each block;
// StopCounting gives the highest growth reached, and Allocations() the number
// of blocks made in that window (each realloc counts as one). Outside that window
// they count nothing, so that the timing benchmarks of the same program are
// not slowed. The memory benchmarks run on one thread: the counters need no
// atomics (other benchmarks only read the flag).
#ifndef VXBIND_BENCH_HEAPCOUNTER_H
#define VXBIND_BENCH_HEAPCOUNTER_H

#include <malloc.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace vxbench {

inline bool g_counting = false;
// Signed: blocks made before the window may be freed inside it.
inline int64_t g_live = 0;
inline int64_t g_peak = 0;
inline uint64_t g_allocations = 0;

inline void StartCounting() {
  g_live = g_peak = 0;
  g_allocations = 0;
  g_counting = true;
}

// The blocks allocated in the last (or current) counting window.
inline uint64_t Allocations() { return g_allocations; }

// The peak growth of live heap bytes since StartCounting.
inline size_t StopCounting() {
  g_counting = false;
  return static_cast<size_t>(g_peak);
}

inline void* Counted(void* p) {
  if (g_counting && p != nullptr) {
    ++g_allocations;
    g_live += static_cast<int64_t>(malloc_usable_size(p));
    if (g_live > g_peak) g_peak = g_live;
  }
  return p;
}

inline void Uncount(void* p) {
  if (g_counting && p != nullptr) g_live -= static_cast<int64_t>(malloc_usable_size(p));
}

}  // namespace vxbench

extern "C" {
void* malloc(size_t n) { return vxbench::Counted(__libc_malloc(n)); }
void* calloc(size_t n, size_t m) { return vxbench::Counted(__libc_calloc(n, m)); }
void free(void* p) {
  vxbench::Uncount(p);
  __libc_free(p);
}
void* realloc(void* p, size_t n) {
  const int64_t old = (vxbench::g_counting && p != nullptr)
                          ? static_cast<int64_t>(malloc_usable_size(p))
                          : 0;
  void* q = __libc_realloc(p, n);
  if (q == nullptr) return nullptr;  // p still live (or n == 0 freed it: rare here)
  if (vxbench::g_counting) vxbench::g_live -= old;
  return vxbench::Counted(q);
}
void* memalign(size_t a, size_t n) { return vxbench::Counted(__libc_memalign(a, n)); }
void* aligned_alloc(size_t a, size_t n) { return vxbench::Counted(__libc_memalign(a, n)); }
int posix_memalign(void** out, size_t a, size_t n) {
  void* p = vxbench::Counted(__libc_memalign(a, n));
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
}

#endif  // VXBIND_BENCH_HEAPCOUNTER_H
