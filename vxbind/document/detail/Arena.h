// -----------------------------------------------------------------------------
// File: Arena.h  (internal)
// -----------------------------------------------------------------------------
//
// Arena: the page allocator of a document's tree. Elements, attributes and
// texts are bumped out of pages that are freed as a whole with the arena.

#ifndef VXBIND_DOCUMENT_DETAIL_ARENA_H
#define VXBIND_DOCUMENT_DETAIL_ARENA_H

#include <cstddef>

namespace VxVevAva5 {
namespace detail {

// Bump allocation in pages. Nothing allocated here has a destructor to run:
// the pages are freed as a whole, so freeing a tree is one pass over its pages
// whatever its shape.
class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena();

  // `bytes` rounded up to 8, 8-aligned, uninitialised. A block that no page
  // can hold (more than SIZE_MAX - 64 bytes) throws CVxException "A document
  // block of [%I64u] bytes is larger than the largest page"; running out of
  // memory throws std::bad_alloc.
  void* Allocate(size_t bytes) {
    // The room left is a multiple of 8, so a block that fits still fits
    // rounded, and the rounding cannot overflow.
    if (static_cast<size_t>(m_end - m_cur) < bytes) return AllocateSlow(bytes);
    void* p = m_cur;
    m_cur += Round(bytes);
    return p;
  }

  // Grows the block [p, p + oldBytes) to newBytes in place when it is the
  // last block allocated and the page has room.
  // The bytes of all pages taken so far.
  size_t Bytes() const { return m_bytes; }

  bool TryExtend(void* p, size_t oldBytes, size_t newBytes) {
    char* block = static_cast<char*>(p);
    if (block + Round(oldBytes) != m_cur) return false;
    if (static_cast<size_t>(m_end - block) < newBytes) return false;
    m_cur = block + Round(newBytes);
    return true;
  }

 private:
  struct Page {
    Page* next;
    size_t padding;  // keeps the data 16-aligned
  };
  // Pages start small, so that a short document takes little, and double up
  // to kMaxPageBytes, which stays under malloc's default mmap threshold: pages
  // come from the heap and are reused, not mapped and faulted in afresh.
  static constexpr size_t kFirstPageBytes = 8 * 1024 - sizeof(Page);
  static constexpr size_t kMaxPageBytes = 128 * 1024 - 64;

  // Below kMaxBlockBytes only: larger sizes would wrap.
  static size_t Round(size_t bytes) { return (bytes + 7) & ~static_cast<size_t>(7); }
  static constexpr size_t kMaxBlockBytes = ~size_t{0} - 64;

  Page* NewPage(size_t data);
  void* AllocateSlow(size_t bytes);

  size_t m_pageBytes = kFirstPageBytes;
  Page* m_pages = nullptr;
  char* m_cur = nullptr;
  char* m_end = nullptr;
  size_t m_bytes = 0;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_ARENA_H
