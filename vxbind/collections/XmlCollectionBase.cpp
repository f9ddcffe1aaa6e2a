// XmlCollectionBase.cpp - the collection bases, and the members of the
// object base and of the variant that need a complete collection type.
#include "vxbind/collections/XmlCollectionBase.h"

#include <algorithm>
#include <new>
#include <utility>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/detail/Errors.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {

namespace {

[[noreturn]] void ThrowNotFound() {
  throw CVxInvalidParamException(String(VX_T("The object was not found in the collection")));
}

}  // namespace

// -- CXmlObjectBase helpers for collections -----------------------------------

void CXmlObjectBase::FireOnCollectionChangeEvent(CXmlObjectBase* listener,
                                                 CXmlCollectionBase* collection) {
  listener->OnEvent(collection->GetBase(), MsgType_CollectionChanged, nullptr);
}

void CXmlObjectBase::Choice_Read_Collection(CXmlCollectionBase* collection, CXmlElement* element,
                                            CXmlElement*& current, int32_t& count,
                                            const CXmlSerializationContext& context) {
  if (count > 0) return;
  CXmlElement* next = FromXml_Int(collection, element, current, context);
  if (next == current) return;
  current = next;
  collection->ValidateCount(context);
  ++count;
}

// -- VxVariant, item type 28 ----------------------------------------------------
// Declared with the variant, defined here: the conversion between a
// collection and the object base that the variant counts needs the complete
// collection type, which the variant's floor cannot see.

void VxVariant::SetXmlCollection(CXmlCollectionBase* value) {
  CXmlObjectBase* object = value;
  // The new reference first: setting the collection already held is safe.
  if (object != nullptr) object->AddRef();
  Clear();
  m_type = ItemType_XmlCollection;
  m_value.ptr = object;
}

CSmartPtr<CXmlCollectionBase> VxVariant::GetXmlCollection() const {
  if (m_type != ItemType_XmlCollection || m_value.ptr == nullptr) return nullptr;
  return static_cast<CXmlCollectionBase*>(static_cast<CXmlObjectBase*>(m_value.ptr));
}

// -- CXmlCollectionBase ----------------------------------------------------------

CXmlCollectionBase::CXmlCollectionBase() = default;

CXmlCollectionBase::CXmlCollectionBase(const unsigned short* elementName,
                                       const unsigned short* namespaceUri, int minOccurs,
                                       int maxOccurs)
    : m_namespace(Utf16::Make(namespaceUri)), m_minOccurs(minOccurs), m_maxOccurs(maxOccurs) {
  SetElementName(elementName);
}

CXmlCollectionBase::CXmlCollectionBase(const CXmlCollectionBase& other)
    : CXmlObjectBase(other),
      m_namespace(other.m_namespace),
      m_minOccurs(other.m_minOccurs),
      m_maxOccurs(other.m_maxOccurs) {}

CXmlCollectionBase& CXmlCollectionBase::operator=(const CXmlCollectionBase& other) {
  CXmlObjectBase::operator=(other);
  m_namespace = other.m_namespace;
  m_minOccurs = other.m_minOccurs;
  m_maxOccurs = other.m_maxOccurs;
  return *this;
}

CXmlCollectionBase::~CXmlCollectionBase() = default;

String CXmlCollectionBase::GetTargetNamespace() const {
  throw CVxException(
      String(VX_T("CXmlCollectionBase::GetTargetNamespace Should not be used from "
                  "within a Collection (program logic error)")));
}

void CXmlCollectionBase::AddEventListener(CXmlObjectBase* listener) {
  m_listeners.push_back(listener);
}

void CXmlCollectionBase::RemoveEventListener(CXmlObjectBase* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                    m_listeners.end());
}

void CXmlCollectionBase::TellListeners() {
  // By index, re-reading the size: a listener may add or remove listeners
  // while it is told.
  for (size_t i = 0; i < m_listeners.size(); ++i) FireOnCollectionChangeEvent(m_listeners[i], this);
}

void CXmlCollectionBase::ValidateCount(const CXmlSerializationContext& context) const {
  ValidateCountOf(GetCount(), context);
}

void CXmlCollectionBase::ValidateCountOf(int count, const CXmlSerializationContext& context) const {
  if (context.GetIgnoreInvalidCollectionCounts()) return;
  if (m_maxOccurs != -1 && count > m_maxOccurs)
    throw CVxValidationException(
        FormatString(VX_T("The Maximum number of [%s] elements allowed in this collection is %d"),
                     GetElementName().c_str(), m_maxOccurs));
  if (count < m_minOccurs)
    throw CVxValidationException(
        FormatString(VX_T("The Minimum number of [%s] elements allowed in this collection is %d"),
                     GetElementName().c_str(), m_minOccurs));
}

// -- CXmlCollection ---------------------------------------------------------------

CXmlCollection::CXmlCollection() = default;

CXmlCollection::CXmlCollection(const unsigned short* elementName,
                               const unsigned short* namespaceUri, int minOccurs, int maxOccurs)
    : CXmlCollectionBase(elementName, namespaceUri, minOccurs, maxOccurs) {}

CXmlCollection::CXmlCollection(const CXmlCollection& other) : CXmlCollectionBase(other) {
  CopyFrom(other);
}

CXmlCollection& CXmlCollection::operator=(const CXmlCollection& other) {
  if (this == &other) return *this;
  CXmlCollectionBase::operator=(other);
  // The new list is built first, so that a failure leaves the old one.
  CNode* oldHead = m_head;
  CNode* oldTail = m_tail;
  int oldCount = m_count;
  m_head = m_tail = nullptr;
  m_count = 0;
  Invalidate(0);
  try {
    CopyFrom(other);
  } catch (...) {
    m_head = oldHead;
    m_tail = oldTail;
    m_count = oldCount;
    throw;
  }
  for (CNode* n = oldHead; n != nullptr;) {
    CNode* next = n->m_next;
    CXmlObjectBase* item = n->m_item;
    delete n;
    item->Release();
    n = next;
  }
  FireOnCollectionChange();
  return *this;
}

CXmlCollection::~CXmlCollection() {
  // The listeners are told about each item, as by any Clear. What a
  // listener throws cannot leave a destructor: it is dropped, and every item
  // is still released.
  while (m_count > 0) {
    Unlink(m_head, 0);
    try {
      FireOnCollectionChange();
    } catch (...) {
    }
  }
}

void CXmlCollection::CopyFrom(const CXmlCollection& other) {
  try {
    for (CNode* n = other.m_head; n != nullptr; n = n->m_next)
      InsertBefore(nullptr, n->m_item, m_count);
  } catch (...) {
    FreeAll();
    throw;
  }
}

void CXmlCollection::FreeAll() noexcept {
  // Released from the head on, each node before its item, so that a
  // release that reaches back into the collection finds it consistent.
  while (m_head != nullptr) Unlink(m_head, 0);
}

void CXmlCollection::CheckItem(const CXmlObjectBase* item) {
  if (item == nullptr)
    throw CVxInvalidParamException(String(VX_T("A collection cannot hold a NULL item")));
}

void CXmlCollection::InsertBefore(CNode* next, CXmlObjectBase* item, int index) {
  CNode* node = new CNode(item);
  item->AddRef();
  node->m_next = next;
  node->m_previous = next != nullptr ? next->m_previous : m_tail;
  if (node->m_previous != nullptr)
    node->m_previous->m_next = node;
  else
    m_head = node;
  if (next != nullptr)
    next->m_previous = node;
  else
    m_tail = node;
  ++m_count;
  Invalidate(index);
}

void CXmlCollection::Unlink(CNode* node, int index) {
  Invalidate(index);
  if (node->m_previous != nullptr)
    node->m_previous->m_next = node->m_next;
  else
    m_head = node->m_next;
  if (node->m_next != nullptr)
    node->m_next->m_previous = node->m_previous;
  else
    m_tail = node->m_previous;
  --m_count;
  CXmlObjectBase* item = node->m_item;
  delete node;
  item->Release();
}

CXmlCollection::IndexEntry CXmlCollection::ExtendIndex(int index) const {
  if (index < 0 || index >= m_count) detail::ThrowIndexOutOfRange(index, m_count);
  size_t at = static_cast<size_t>(index);
  if (index < m_indexed) return IndexEntry{m_indexNodes[at], m_indexItems[at]};
  size_t from = static_cast<size_t>(m_indexed);
  CNode* node = from > 0 ? m_indexNodes[from - 1]->m_next : m_head;
  try {
    if (m_indexNodes.size() <= at) {
      size_t size = std::max(at + 1, m_indexNodes.size() * 2);
      m_indexItems.resize(size);
      m_indexNodes.resize(size);
    }
  } catch (const std::bad_alloc&) {
    // Without memory for the index, walk without it.
    for (; from < at; ++from) node = node->m_next;
    return IndexEntry{node, node->m_item};
  }
  for (;; node = node->m_next, ++from) {
    m_indexNodes[from] = node;
    m_indexItems[from] = node->m_item;
    if (from == at) break;
  }
  m_indexed = index + 1;
  return IndexEntry{node, node->m_item};
}

CXmlCollection::CNode* CXmlCollection::GetNodeAtIndex(int index) const {
  if (static_cast<unsigned>(index) < static_cast<unsigned>(m_indexed))
    return m_indexNodes[static_cast<size_t>(index)];
  return ExtendIndex(index).node;
}

CXmlCollection::CNode* CXmlCollection::FindNode(const CXmlObjectBase* item, int& index) const {
  if (item == nullptr) return nullptr;
  // GetBase is not const, but finds nothing that changes.
  const CXmlObjectBase* base = const_cast<CXmlObjectBase*>(item)->GetBase();
  index = 0;
  for (CNode* n = m_head; n != nullptr; n = n->m_next, ++index)
    if (n->m_item->GetBase() == base) return n;
  return nullptr;
}

CXmlCollection::CNode* CXmlCollection::GetNodeForItem(const CXmlObjectBase* item) const {
  int index = 0;
  CNode* node = FindNode(item, index);
  if (node == nullptr) ThrowNotFound();
  return node;
}

void CXmlCollection::AppendItem(CXmlObjectBase* item) {
  CheckItem(item);
  InsertBefore(nullptr, item, m_count);
  FireOnCollectionChange();
}

void CXmlCollection::PrependItem(CXmlObjectBase* item) {
  CheckItem(item);
  InsertBefore(m_head, item, 0);
  FireOnCollectionChange();
}

void CXmlCollection::AddAfterItem(const CXmlObjectBase* existing, CXmlObjectBase* item) {
  if (existing == nullptr) return PrependItem(item);
  CheckItem(item);
  // Found before anything is made: a failed lookup leaves no node behind.
  int index = 0;
  CNode* node = FindNode(existing, index);
  if (node == nullptr) ThrowNotFound();
  InsertBefore(node->m_next, item, index + 1);
  FireOnCollectionChange();
}

void CXmlCollection::AddBeforeItem(const CXmlObjectBase* existing, CXmlObjectBase* item) {
  if (existing == nullptr) return AppendItem(item);
  CheckItem(item);
  int index = 0;
  CNode* node = FindNode(existing, index);
  if (node == nullptr) ThrowNotFound();
  InsertBefore(node, item, index);
  FireOnCollectionChange();
}

void CXmlCollection::AddItemAt(int index, CXmlObjectBase* item) {
  if (index < 0 || index > m_count) detail::ThrowInsertIndexOutOfRange();
  CheckItem(item);
  CNode* next = index == m_count ? nullptr : GetNodeAtIndex(index);
  InsertBefore(next, item, index);
  FireOnCollectionChange();
}

void CXmlCollection::RemoveNode(CNode* node) {
  // A node of another collection (or none) would corrupt both lists: it is
  // looked for first.
  int index = 0;
  CNode* n = m_head;
  for (; n != nullptr && n != node; n = n->m_next) ++index;
  if (n == nullptr) ThrowNotFound();
  Unlink(node, index);
}

void CXmlCollection::Remove(int index) {
  CNode* node = GetNodeAtIndex(index);
  Unlink(node, index);
  FireOnCollectionChange();
}

void CXmlCollection::Clear() {
  while (GetCount() > 0) Remove(0);
}

bool CXmlCollection::TakeItems(std::vector<CXmlObjectBase*>& items) {
  if (m_count == 0) return true;
  // A listener expects an event per item; such a collection is cleared the
  // ordinary way.
  if (HasListeners()) return false;
  try {
    items.reserve(items.size() + static_cast<size_t>(m_count));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (CNode* n = m_head; n != nullptr;) {
    CNode* next = n->m_next;
    items.push_back(n->m_item);
    delete n;
    n = next;
  }
  m_head = m_tail = nullptr;
  m_count = 0;
  Invalidate(0);
  return true;
}

void CXmlCollection::ReadItem(CXmlObjectBase* item, CXmlElement* element,
                              const CXmlSerializationContext& context) {
  CXmlObjectBase::FromXml_Int(item, element, element->GetFirstElement(), context);
  CXmlStreamHook* hook = context.GetStreamHook();
  if (hook == nullptr || hook->collection != this) {
    AppendItem(item);
    return;
  }
  ++hook->count;
  if (!hook->take(hook->state, item)) throw CXmlStreamStop();
}

void CXmlCollection::WriteItems(CXmlWriter* writer, const unsigned short* namespaceUri,
                                const CXmlSerializationContext& context) const {
  CXmlStreamHook* hook = context.GetStreamHook();
  if (hook == nullptr || hook->collection != this) {
    ValidateCount(context);
    for (const CNode* n = m_head; n != nullptr; n = n->m_next)
      CXmlObjectBase::ToXml_Int(n->m_item, writer, false, namespaceUri, context, false);
    return;
  }
  int count = 0;
  for (;;) {
    CSmartPtr<CXmlObjectBase> item = hook->next(hook->state);
    if (item == nullptr) break;
    CXmlObjectBase::SetElementName(item, GetElementName().c_str());
    CXmlObjectBase::ToXml_Int(item, writer, false, namespaceUri, context, false);
    // One past the maximum is enough to fail: no need to write the rest.
    if (++count == GetMaxOccurs() + 1 && GetMaxOccurs() >= 0) break;
  }
  // As for a collection: one without items is not written, nor checked.
  if (count > 0) ValidateCountOf(count, context);
}

void CXmlCollection::AttributesToXml_Int(CXmlWriter* writer,
                                         const CXmlSerializationContext& context) const {
  for (const CNode* n = m_head; n != nullptr; n = n->m_next)
    CXmlObjectBase::AttributesToXml_Int(n->m_item, writer, context);
}

// -- CXmlTypeCollection ----------------------------------------------------------

CXmlTypeCollection::CXmlTypeCollection(
    ItemType itemType, const unsigned short* elementName, const unsigned short* namespaceUri,
    int minOccurs, int maxOccurs, const unsigned short* pattern, int minLength, int maxLength,
    const unsigned short* minInclusive, const unsigned short* maxInclusive,
    const unsigned short* minExclusive, const unsigned short* maxExclusive, int length,
    CWhitespaceUtils::WhitespaceRule whitespaceRule, const unsigned short* format)
    : CXmlCollectionBase(elementName, namespaceUri, minOccurs, maxOccurs),
      m_restrictions(pattern, minLength, maxLength, minInclusive, maxInclusive, minExclusive,
                     maxExclusive, length),
      m_itemType(itemType),
      m_format(format),
      m_whitespaceRule(whitespaceRule) {}

CXmlTypeCollection::~CXmlTypeCollection() = default;

void CXmlTypeCollection::SetDigits(int totalDigits, int fractionDigits) {
  m_restrictions.SetDigits(totalDigits, fractionDigits);
}

CXmlElement* CXmlTypeCollection::FromXml_Int(CXmlElement*, CXmlElement* current,
                                             const CXmlSerializationContext& context, bool) {
  const String& name = GetElementName();
  const String& namespaceUri = GetNamespaceRef();
  // Only a pattern is left to the text: the values' own check does the rest.
  const bool textPattern = context.GetValidateOnRead() && m_restrictions.HasPattern();
  for (; current != nullptr; current = current->GetNextSiblingElement()) {
    if (!DoesElementNameMatch(context, current, name.c_str(), namespaceUri.c_str())) break;
    try {
      if (context.GetValidateOnRead() && current->GetFirstElement() != nullptr)
        detail::ThrowElementInSimpleContent(current->GetLocalName(),
                                            current->GetFirstElement()->GetLocalName());
      if (m_textCheck != nullptr && context.GetValidateOnRead())
        m_textCheck(m_textCheckData, name.c_str(), current->GetText());
      if (textPattern)
        CheckTextPattern(name.c_str(), current->GetText(), m_whitespaceRule, m_itemType,
                         m_restrictions);
      AddFromElement(*current);
    } catch (CVxException& e) {
      // The item's own element, not the first of the run that the reading
      // object offered.
      e.SetPosition(current->GetLineNumber(), current->GetColumnNumber());
      throw;
    }
  }
  return current;
}

void CXmlTypeCollection::AddFromElement(const CXmlElement& element) {
  AddFromString(element.GetText());
}

}  // namespace VxVevAva5
