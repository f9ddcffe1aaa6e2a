#include "vxbind/document/detail/Arena.h"

#include <algorithm>
#include <new>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"

namespace VxVevAva5 {
namespace detail {

Arena::~Arena() {
  while (m_pages != nullptr) {
    Page* next = m_pages->next;
    ::operator delete(m_pages);
    m_pages = next;
  }
}

// Pages come from operator new like every other allocation of the library,
// so a program that replaces it sees them too.
Arena::Page* Arena::NewPage(size_t data) {
  Page* page = static_cast<Page*>(::operator new(sizeof(Page) + data));
  m_bytes += sizeof(Page) + data;
  return page;
}

void* Arena::AllocateSlow(size_t bytes) {
  if (bytes > kMaxBlockBytes)
    throw CVxException(FormatString(
        VX_T("A document block of [%I64u] bytes is larger than the largest page"),
        static_cast<unsigned long long>(bytes)));
  bytes = Round(bytes);
  // Blocks larger than a quarter page get a page of their own, so that the
  // rest of the current page is not wasted.
  bool own = bytes > m_pageBytes / 4;
  size_t data = own ? bytes : m_pageBytes;
  Page* page = NewPage(data);
  char* start = reinterpret_cast<char*>(page + 1);
  if (own && m_pages != nullptr) {
    // Keep the current page current: link the new one behind it.
    page->next = m_pages->next;
    m_pages->next = page;
    return start;
  }
  if (!own) m_pageBytes = std::min(m_pageBytes * 2 + sizeof(Page), kMaxPageBytes);
  page->next = m_pages;
  m_pages = page;
  m_cur = start + bytes;
  m_end = start + data;
  return start;
}

}  // namespace detail
}  // namespace VxVevAva5
