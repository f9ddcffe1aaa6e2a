#include "vxbind/base/Exceptions.h"

#include <utility>

namespace VxVevAva5 {

CVxException::CVxException(String message) : m_message(std::move(message)) {}

// Chains can be as long as the document is deep (every element wraps the
// failure of its child), so copying and destroying a chain is iterative: each
// link is cloned with its own inner link detached for the moment, which makes
// Clone() copy just that link, and the copies are joined one by one.
CVxException* CVxException::CloneChain(const CVxException* first) {
  CVxException* head = nullptr;
  CVxException** tail = &head;
  try {
    for (const CVxException* e = first; e != nullptr; e = e->m_inner) {
      const CVxException* source = e;
      CVxException* rest = source->m_inner;
      source->m_inner = nullptr;
      CVxException* link;
      try {
        link = source->Clone();
      } catch (...) {
        source->m_inner = rest;
        throw;
      }
      source->m_inner = rest;
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
    : m_message(std::move(message)) {
  CVxException* rest = inner.m_inner;
  inner.m_inner = nullptr;
  try {
    m_inner = inner.Clone();
  } catch (...) {
    inner.m_inner = rest;
    throw;
  }
  m_inner->m_inner = rest;
}

CVxException::CVxException(const CVxException& other)
    : m_message(other.m_message), m_inner(CloneChain(other.m_inner)) {}

CVxException& CVxException::operator=(const CVxException& other) {
  if (this != &other) {
    // Clone first: if cloning throws, *this is unchanged.
    CVxException* inner = CloneChain(other.m_inner);
    m_message = other.m_message;
    DeleteChain(m_inner);
    m_inner = inner;
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

CVxException* CVxException::Clone() const { return new CVxException(*this); }

}  // namespace VxVevAva5
