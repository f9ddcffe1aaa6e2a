// Replaces the global allocation functions for the whole sweep program, the
// vxbind shared library included: its calls to operator new bind to these.
#include "alloc/FailingAllocator.h"

#include <cstdlib>
#include <new>

namespace vxtest {
namespace alloc {
namespace {

// Single-threaded program: plain counters.
int64_t g_countdown = -1;  // allocations to let through before the failing one
bool g_failed = false;
int g_paused = 0;
int64_t g_live = 0;
uint64_t g_made = 0;
uint64_t g_bytes = 0;
size_t g_largest = 0;

bool ShouldFail() noexcept {
  if (g_paused != 0 || g_countdown < 0) return false;
  if (g_countdown-- != 0) return false;
  g_failed = true;  // the countdown is now -1: once only
  return true;
}

void* Allocate(size_t size, size_t alignment) noexcept {
  if (ShouldFail()) return nullptr;
  if (size == 0) size = 1;
  void* p = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    p = std::malloc(size);
  } else if (posix_memalign(&p, alignment, size) != 0) {
    p = nullptr;
  }
  if (p == nullptr) return nullptr;
  ++g_live;
  ++g_made;
  g_bytes += size;
  if (size > g_largest) g_largest = size;
  return p;
}

void* AllocateOrThrow(size_t size, size_t alignment) {
  void* p = Allocate(size, alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void Free(void* p) noexcept {
  if (p == nullptr) return;
  --g_live;
  std::free(p);
}

}  // namespace

void FailAfter(int64_t n) {
  g_countdown = n < 0 ? -1 : n;
  g_failed = false;
}

bool Disarm() {
  g_countdown = -1;
  bool failed = g_failed;
  g_failed = false;
  return failed;
}

int64_t Live() { return g_live; }
uint64_t Made() { return g_made; }
uint64_t BytesRequested() { return g_bytes; }
size_t Largest() { return g_largest; }
void ResetLargest() { g_largest = 0; }

Pause::Pause() { ++g_paused; }
Pause::~Pause() { --g_paused; }

}  // namespace alloc
}  // namespace vxtest

using vxtest::alloc::Allocate;
using vxtest::alloc::AllocateOrThrow;
using vxtest::alloc::Free;

void* operator new(std::size_t size) { return AllocateOrThrow(size, 0); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size, 0); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size, 0);
}
void* operator new(std::size_t size, std::align_val_t al) {
  return AllocateOrThrow(size, static_cast<size_t>(al));
}
void* operator new[](std::size_t size, std::align_val_t al) {
  return AllocateOrThrow(size, static_cast<size_t>(al));
}
void* operator new(std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<size_t>(al));
}
void* operator new[](std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<size_t>(al));
}

void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t) noexcept { Free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Free(p); }
