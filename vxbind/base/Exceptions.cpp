#include "vxbind/base/Exceptions.h"

#include <utility>

namespace VxVevAva5 {

CVxException::CVxException(String message) : m_message(std::move(message)) {}

namespace {

// The exception whose first link CloneLink is copying on this thread. Its
// copy constructor, reached through the virtual Clone, then copies that one
// link and leaves the rest of the chain to CloneChain. Per thread, so that
// copying never writes to the source and threads may copy one exception at
// the same time.
thread_local const CVxException* t_linkBeingCloned = nullptr;

}  // namespace

// Chains can be as long as the document is deep (every element wraps the
// failure of its child), so copying and destroying a chain is iterative:
// each link is cloned on its own and the copies are joined one by one.
CVxException* CVxException::CloneLink(const CVxException& source) {
  const CVxException* outer = t_linkBeingCloned;
  t_linkBeingCloned = &source;
  CVxException* link;
  try {
    link = source.Clone();
  } catch (...) {
    t_linkBeingCloned = outer;
    throw;
  }
  t_linkBeingCloned = outer;
  // A subclass whose Clone does not go through the copy constructor brings
  // a chain of its own; the caller joins the copied links instead.
  DeleteChain(link->m_inner);
  link->m_inner = nullptr;
  return link;
}

CVxException* CVxException::CloneChain(const CVxException* first) {
  CVxException* head = nullptr;
  CVxException** tail = &head;
  try {
    for (const CVxException* e = first; e != nullptr; e = e->m_inner) {
      CVxException* link = CloneLink(*e);
      *tail = link;
      tail = &link->m_inner;
    }
  } catch (...) {
    DeleteChain(head);
    throw;
  }
  return head;
}

void CVxException::DeleteChain(CVxException* first) noexcept {
  while (first != nullptr) {
    CVxException* next = first->m_inner;
    first->m_inner = nullptr;
    delete first;
    first = next;
  }
}

CVxException::CVxException(String message, const CVxException& inner)
    : m_message(std::move(message)), m_inner(CloneChain(&inner)) {}

CVxException::CVxException(String message, CVxException&& inner)
    : m_message(std::move(message)), m_inner(CloneLink(inner)) {
  m_inner->m_inner = inner.m_inner;
  inner.m_inner = nullptr;
}

CVxException::CVxException(const CVxException& other)
    : m_message(other.m_message), m_line(other.m_line), m_column(other.m_column) {
  if (t_linkBeingCloned == &other) {
    t_linkBeingCloned = nullptr;  // one link only: CloneChain does the rest
    return;
  }
  m_inner = CloneChain(other.m_inner);
}

CVxException& CVxException::operator=(const CVxException& other) {
  if (this != &other) {
    // Copy first: if copying throws, *this is unchanged.
    String message = other.m_message;
    CVxException* inner = CloneChain(other.m_inner);
    m_message.swap(message);
    DeleteChain(m_inner);
    m_inner = inner;
    m_line = other.m_line;
    m_column = other.m_column;
  }
  return *this;
}

CVxException::~CVxException() { DeleteChain(m_inner); }

String CVxException::GetFullMessage() const {
  // Iterative, so a long chain of wrappers costs no stack.
  String full = m_message;
  for (const CVxException* e = m_inner; e != nullptr; e = e->m_inner) {
    full.push_back(u'\n');
    full += e->m_message;
  }
  return full;
}

uint32_t CVxException::GetLineNumber() const {
  uint32_t line = 0;
  for (const CVxException* e = this; e != nullptr; e = e->m_inner)
    if (e->m_line != 0) line = e->m_line;
  return line;
}

uint32_t CVxException::GetColumnNumber() const {
  uint32_t column = 0;
  for (const CVxException* e = this; e != nullptr; e = e->m_inner)
    if (e->m_line != 0) column = e->m_column;
  return column;
}

CVxException* CVxException::Clone() const { return new CVxException(*this); }

}  // namespace VxVevAva5
