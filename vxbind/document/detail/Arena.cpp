#include "vxbind/document/detail/Arena.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

namespace VxVevAva5 {
namespace detail {

Arena::~Arena() {
  while (m_pages != nullptr) {
    Page* next = m_pages->next;
    std::free(m_pages);
    m_pages = next;
  }
}

Arena::Page* Arena::NewPage(size_t data) {
  if (data > std::numeric_limits<size_t>::max() - sizeof(Page)) throw std::bad_alloc();
  Page* page = static_cast<Page*>(std::malloc(sizeof(Page) + data));
  if (page == nullptr) throw std::bad_alloc();
  return page;
}

void* Arena::AllocateSlow(size_t bytes) {
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
