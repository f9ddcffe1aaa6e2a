// The object base: reference count, element name and the helpers of
// generated property setters. The entry points, which need documents and
// writers, are defined in core/EntryPoints.cpp.
#include "vxbind/base/XmlObjectBase.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace {

[[noreturn]] void ThrowAlreadyChosen(const String& chosen) {
  throw CVxInvalidStateException(FormatString(
      VX_T("The Property [%s] is already set. Only one element within this class bay be set at a "
           "time"),
      chosen.c_str()));
}

// The deletes of this thread that wait for the one in progress to end: the
// members its destructor let go. A few slots are kept per thread; the
// queue of a larger graph (a collection of many items) grows beyond them
// and gives that memory back once drained. Trivially destructible, so that
// objects released while the program ends (after this thread's own
// destructors ran) still find it in order.
class PendingDeletes {
 public:
  bool deleting = false;

  // False when the queue cannot grow (no memory).
  bool Push(CXmlObjectBase* object) noexcept {
    if (m_count < kSlots) {
      m_slots[m_count++] = object;
      return true;
    }
    if (m_overflowCount == m_overflowCapacity && !GrowOverflow()) return false;
    m_overflow[m_overflowCount++] = object;
    return true;
  }
  // The next object to delete, or null when none waits.
  CXmlObjectBase* Pop() noexcept {
    if (m_overflowCount != 0) return m_overflow[--m_overflowCount];
    return m_count != 0 ? m_slots[--m_count] : nullptr;
  }
  void ReleaseOverflow() noexcept {
    ::operator delete(m_overflow);
    m_overflow = nullptr;
    m_overflowCapacity = 0;
  }

 private:
  static constexpr size_t kSlots = 64;

  bool GrowOverflow() noexcept {
    size_t capacity = m_overflowCapacity == 0 ? 256 : m_overflowCapacity * 2;
    if (capacity > SIZE_MAX / sizeof(CXmlObjectBase*)) return false;
    auto* grown = static_cast<CXmlObjectBase**>(
        ::operator new(capacity * sizeof(CXmlObjectBase*), std::nothrow));
    if (grown == nullptr) return false;
    if (m_overflowCount != 0)
      std::memcpy(grown, m_overflow, m_overflowCount * sizeof(CXmlObjectBase*));
    ::operator delete(m_overflow);
    m_overflow = grown;
    m_overflowCapacity = capacity;
    return true;
  }

  CXmlObjectBase* m_slots[kSlots] = {};
  size_t m_count = 0;
  CXmlObjectBase** m_overflow = nullptr;
  size_t m_overflowCount = 0;
  size_t m_overflowCapacity = 0;
};
thread_local PendingDeletes t_pendingDeletes;

}  // namespace

int32_t CXmlObjectBase::Release() {
  int32_t count = --m_refCount;
  if (count != 0) return count;
  PendingDeletes& pending = t_pendingDeletes;
  if (pending.deleting) {
    // Inside another object's destructor: wait for it to end. Without
    // memory for the queue, deleting here costs stack but loses nothing.
    if (!pending.Push(this)) delete this;
    return 0;
  }
  pending.deleting = true;
  delete this;
  while (CXmlObjectBase* next = pending.Pop()) delete next;
  pending.ReleaseOverflow();
  pending.deleting = false;
  return 0;
}

String CXmlObjectBase::GetTargetNamespace(const CXmlObjectBase* object) {
  return object->GetTargetNamespace();
}

void CXmlObjectBase::OnEvent(CXmlObjectBase*, MsgType, void*) {}

void CXmlObjectBase::AttributesToXml_Int(CXmlWriter*, const CXmlSerializationContext&) const {}

void CXmlObjectBase::AttributesToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer,
                                         const CXmlSerializationContext& context) {
  object->AttributesToXml_Int(writer, context);
}

void CXmlObjectBase::ToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer, bool root,
                               const unsigned short* namespaceUri,
                               const CXmlSerializationContext& context, bool optional) {
  object->ToXml_Int(writer, root, namespaceUri, context, optional);
}

CXmlElement* CXmlObjectBase::FromXml_Int(CXmlObjectBase* object, CXmlElement* element,
                                         CXmlElement* current,
                                         const CXmlSerializationContext& context) {
  return object->FromXml_Int(element, current, context, false);
}

void CXmlObjectBase::SetElementName(const unsigned short* name) {
  m_elementName = Utf16::Make(name);
}

void CXmlObjectBase::SetElementName(CXmlObjectBase* object, const unsigned short* name) {
  object->SetElementName(name);
}

void CXmlObjectBase::Throw_IfPropertyIsNull(CXmlObjectBase* value,
                                            const unsigned short* propertyName) {
  if (value == nullptr)
    throw CVxInvalidParamException(
        FormatString(VX_T("The Property [%s] is mandatory, it may node be NULL"), propertyName));
}

void CXmlObjectBase::Throw_IfElementNameDiffers(CXmlObjectBase* value,
                                                const unsigned short* requiredName) {
  if (value == nullptr) return;
  const String& actual = value->GetBase()->m_elementName;
  if (!Utf16::Equal(actual.c_str(), requiredName))
    throw CVxInvalidParamException(FormatString(
        VX_T("This property requrires an element with the name %s the element being set has the "
             "element name %s"),
        requiredName, actual.c_str()));
}

void CXmlObjectBase::Choice_SelectElement(const unsigned short* elementName, CXmlObjectBase* value,
                                          String& chosen) {
  if (Utf16::Equal(chosen.c_str(), elementName)) {
    if (value == nullptr) chosen.clear();
  } else if (chosen.empty()) {
    chosen = Utf16::Make(elementName);
  } else if (value != nullptr) {
    ThrowAlreadyChosen(chosen);
  }
}

void CXmlObjectBase::Choice_CollectionChanged(const unsigned short* elementName, int32_t count,
                                              String& chosen) {
  if (Utf16::Equal(chosen.c_str(), elementName)) {
    if (count == 0) chosen.clear();
  } else if (chosen.empty()) {
    if (count > 0) chosen = Utf16::Make(elementName);
  } else if (count != 0) {
    ThrowAlreadyChosen(chosen);
  }
}

void CXmlObjectBase::Choice_SetElementValid(bool valid, const unsigned short* elementName,
                                            String& chosen) {
  if (!valid) {
    chosen.clear();
  } else if (chosen.empty() || Utf16::Equal(chosen.c_str(), elementName)) {
    chosen = Utf16::Make(elementName);
  } else {
    throw CVxInvalidStateException(FormatString(
        VX_T("The Property %s is already set. Only one element within this class bay be set at a "
             "time"),
        chosen.c_str()));
  }
}

}  // namespace VxVevAva5
