// -----------------------------------------------------------------------------
// File: SmartPtr.h
// -----------------------------------------------------------------------------
//
// CSmartPtr<T>: a counted reference to an object of the CXmlObjectBase family
// (anything with AddRef/Release). Taking a pointer adds a reference to the new
// object before releasing the old one, so assigning an object to the pointer
// that already holds it is safe; copying adds a reference; destruction
// releases. The pointer converts implicitly to T*, so it can be passed where
// the library takes a plain pointer.
//
//   CSmartPtr<COrder> order = new COrder;   // count 1
//   CSmartPtr<CXmlObjectBase> base = order; // count 2

#ifndef VXBIND_BASE_SMARTPTR_H
#define VXBIND_BASE_SMARTPTR_H

#include <cstddef>
#include <utility>

namespace VxVevAva5 {

template <class T>
class CSmartPtr {
 public:
  CSmartPtr() noexcept = default;
  CSmartPtr(std::nullptr_t) noexcept {}
  CSmartPtr(T* p) : m_p(p) {
    if (m_p != nullptr) m_p->AddRef();
  }
  CSmartPtr(const CSmartPtr& other) : CSmartPtr(other.m_p) {}
  template <class U>
  CSmartPtr(const CSmartPtr<U>& other) : CSmartPtr(other.get()) {}
  CSmartPtr(CSmartPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ~CSmartPtr() {
    if (m_p != nullptr) m_p->Release();
  }

  CSmartPtr& operator=(T* p) {
    if (p != nullptr) p->AddRef();  // first the new reference ...
    T* old = m_p;
    m_p = p;
    if (old != nullptr) old->Release();  // ... then the old one goes
    return *this;
  }
  CSmartPtr& operator=(const CSmartPtr& other) { return *this = other.m_p; }
  template <class U>
  CSmartPtr& operator=(const CSmartPtr<U>& other) {
    return *this = other.get();
  }
  CSmartPtr& operator=(CSmartPtr&& other) noexcept {
    std::swap(m_p, other.m_p);
    return *this;
  }
  CSmartPtr& operator=(std::nullptr_t) { return *this = static_cast<T*>(nullptr); }

  T* get() const noexcept { return m_p; }
  T* operator->() const noexcept { return m_p; }
  T& operator*() const noexcept { return *m_p; }
  operator T*() const noexcept { return m_p; }

  // Gives up the reference without releasing it; the caller now owns it.
  T* Detach() noexcept {
    T* p = m_p;
    m_p = nullptr;
    return p;
  }

 private:
  T* m_p = nullptr;
};

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_SMARTPTR_H
