// Element.cpp - untyped content, the namespace restriction tests of the
// object base, and the context's additional root attributes.
//
// An element's subtree is written, read, copied and released with explicit
// stacks: the obvious recursion (element -> child collection -> element ...)
// would take stack in proportion to the depth of the input.
#include "vxbind/collections/Element.h"

#include <typeinfo>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {
namespace {

const unsigned short* const kEmpty = VX_T("");
const unsigned short* const kAny = VX_T("##any");

const unsigned short* OrEmpty(const unsigned short* text) { return text ? text : kEmpty; }

// Whether the `length` units at `token` are the NUL-terminated `word`.
bool TokenIs(const unsigned short* token, size_t length, const unsigned short* word) {
  size_t i = 0;
  for (; i < length; ++i)
    if (word[i] == 0 || word[i] != token[i]) return false;
  return word[i] == 0;
}

bool IsKeyword(const unsigned short* text) {
  return Utf16::Equal(text, VX_T("##any")) || Utf16::Equal(text, VX_T("##other")) ||
         Utf16::Equal(text, VX_T("##local")) || Utf16::Equal(text, VX_T("##targetNamespace"));
}

// True when this thread is inside CElement's release loop; the pending
// elements are in the vector it points to.
thread_local std::vector<CXmlObjectBase*>* t_pendingReleases = nullptr;

// Whether `object` has exactly one holder (the caller's reference).
bool IsSoleHolder(CXmlObjectBase* object) {
  int32_t count = object->AddRef();
  object->Release();
  return count == 2;
}

}  // namespace

// -- Namespace restrictions (CXmlObjectBase) -----------------------------------

bool CXmlObjectBase::IsNamespaceValid(const unsigned short* namespaceUri,
                                      const unsigned short* restriction,
                                      const unsigned short* targetNamespace) {
  namespaceUri = OrEmpty(namespaceUri);
  targetNamespace = OrEmpty(targetNamespace);
  size_t namespaceLength = Utf16::Length(namespaceUri);
  const unsigned short* token = OrEmpty(restriction);
  for (;;) {
    const unsigned short* end = token;
    while (*end != 0 && *end != u' ') ++end;
    size_t length = static_cast<size_t>(end - token);
    if (TokenIs(token, length, VX_T("##any"))) return true;
    if (TokenIs(token, length, VX_T("##other"))) {
      if (!Utf16::Equal(namespaceUri, targetNamespace)) return true;
    } else if (TokenIs(token, length, VX_T("##local"))) {
      if (namespaceLength == 0) return true;
    } else if (TokenIs(token, length, VX_T("##targetNamespace"))) {
      if (Utf16::Equal(namespaceUri, targetNamespace)) return true;
    } else if (namespaceLength == 0 || TokenIs(token, length, namespaceUri)) {
      // A URI (or an empty token) admits itself and no namespace.
      return true;
    }
    if (*end == 0) return false;
    token = end + 1;
  }
}

void CXmlObjectBase::TestNamespace(const unsigned short* namespaceUri,
                                   const unsigned short* restriction,
                                   const unsigned short* targetNamespace) {
  if (IsNamespaceValid(namespaceUri, restriction, targetNamespace)) return;
  throw CVxInvalidNamespaceException(
      FormatString(VX_T("Invalid namespace [%s]. The namespace must be one of [%s] where the "
                        "target namespace is [%s]"),
                   OrEmpty(namespaceUri), OrEmpty(restriction), OrEmpty(targetNamespace)));
}

void CXmlObjectBase::FromXmlElement(const CElement* element, CXmlSerializationContext& context) {
  if (element == nullptr) throw CVxInvalidParamException(VX_T("The element to read from is NULL"));
  String text = element->ToXml(false, false, EOLType_LF, CXmlSerializationContext::GetDefaultContext());
  FromXml(text.c_str(), context);
}

// -- The context's additional root attributes ------------------------------------
// Declared with the context, defined here: the context's floor holds the
// collection as the object base it is, and only this floor can convert.

CSmartPtr<CAttributeCol> CXmlSerializationContext::GetAdditionalRootAttributes() {
  if (m_additionalRootAttributes == nullptr)
    m_additionalRootAttributes = static_cast<CXmlObjectBase*>(new CAttributeCol(kEmpty, kAny, kEmpty));
  return static_cast<CAttributeCol*>(m_additionalRootAttributes.get());
}

const CAttributeCol* CXmlSerializationContext::FindAdditionalRootAttributes() const {
  return static_cast<const CAttributeCol*>(m_additionalRootAttributes.get());
}

// -- CAttribute -------------------------------------------------------------------

CAttribute::CAttribute(const unsigned short* name, const unsigned short* value,
                       const unsigned short* namespaceUri)
    : CInstanceMonitor(VX_T("CAttribute")),
      m_name(Utf16::Make(name)),
      m_value(Utf16::Make(value)),
      m_namespace(Utf16::Make(namespaceUri)) {}

CAttribute::CAttribute(const CAttribute& other) = default;
CAttribute& CAttribute::operator=(const CAttribute& other) = default;
CAttribute::~CAttribute() = default;

void CAttribute::SetName(const unsigned short* name) {
  FireOnChangeName(name);
  m_name = Utf16::Make(name);
}

void CAttribute::SetNamespace(const unsigned short* namespaceUri) {
  FireOnChangeNamespace(namespaceUri);
  m_namespace = Utf16::Make(namespaceUri);
}

void CAttribute::SetValue(const unsigned short* value) { m_value = Utf16::Make(value); }

void CAttribute::FireOnChangeName(const unsigned short*) {}
void CAttribute::FireOnChangeNamespace(const unsigned short*) {}

void CAttribute::ToXml_Int(CXmlWriter* writer, bool, const unsigned short*,
                           const CXmlSerializationContext&, bool) const {
  writer->WriteAttribute(m_name, m_namespace, m_value);
}

CXmlElement* CAttribute::FromXml_Int(CXmlElement*, CXmlElement*, const CXmlSerializationContext&,
                                     bool) {
  throw CVxException(String(VX_T("This should be done by the collection")));
}

// -- CAttributeCol -----------------------------------------------------------------

CAttributeCol::CAttributeCol(const unsigned short* namespaceUri,
                             const unsigned short* restriction,
                             const unsigned short* targetNamespace)
    : CInstanceMonitor(VX_T("CAttributeCol")),
      m_restriction(Utf16::Make(restriction)),
      m_targetNamespace(Utf16::Make(targetNamespace)) {
  String collectionNamespace = Utf16::Make(namespaceUri);
  if (collectionNamespace.empty()) {
    String first = m_restriction.substr(0, m_restriction.find(u' '));
    if (first.size() >= 2 && first[0] != u'#' && first[1] != u'#') collectionNamespace = first;
  }
  SetNamespaceUri(collectionNamespace);
}

CAttributeCol::CAttributeCol(const CAttributeCol& other) = default;
CAttributeCol& CAttributeCol::operator=(const CAttributeCol& other) = default;
CAttributeCol::~CAttributeCol() = default;

CSmartPtr<CAttribute> CAttributeCol::Add(const unsigned short* name) {
  return Add(name, kEmpty, GetNamespaceRef().c_str());
}

CSmartPtr<CAttribute> CAttributeCol::Add(const unsigned short* name, const unsigned short* value) {
  return Add(name, value, GetNamespaceRef().c_str());
}

CSmartPtr<CAttribute> CAttributeCol::Add(const unsigned short* name, const unsigned short* value,
                                         const unsigned short* namespaceUri) {
  TestNamespace(namespaceUri, m_restriction.c_str(), m_targetNamespace.c_str());
  CSmartPtr<CAttribute> attribute = new CAttribute(name, value, namespaceUri);
  InsertBefore(nullptr, attribute, GetCount());
  return attribute;
}

CSmartPtr<CAttribute> CAttributeCol::Add(CAttribute* attribute) {
  CheckItem(attribute);
  InsertBefore(nullptr, attribute, GetCount());
  return attribute;
}

CSmartPtr<CAttribute> CAttributeCol::Item(int index) const {
  return static_cast<CAttribute*>(GetNodeAtIndex(index)->GetItem());
}

void CAttributeCol::AddAfter(const CAttribute* existing, CAttribute* attribute) {
  AddAfterItem(existing, attribute);
}

void CAttributeCol::AddBefore(const CAttribute* existing, CAttribute* attribute) {
  AddBeforeItem(existing, attribute);
}

void CAttributeCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                              const CXmlSerializationContext& context, bool) const {
  for (const CNode* n = GetHeadNode(); n != nullptr; n = n->GetNext())
    CXmlObjectBase::ToXml_Int(n->GetItem(), writer, false, namespaceUri, context, false);
}

CXmlElement* CAttributeCol::FromXml_Int(CXmlElement* element, CXmlElement* current,
                                        const CXmlSerializationContext&, bool) {
  if (element == nullptr) return current;
  for (const CXmlAttribute* a : element->GetAttributes()) {
    const String& localName = a->GetLocalName();
    const String& namespaceUri = a->GetNamespaceURI();
    if (!IsNamespaceValid(namespaceUri.c_str(), m_restriction.c_str(), m_targetNamespace.c_str()))
      throw CVxInvalidNamespaceException(FormatString(
          VX_T("Invalid Attribute [%s]. The attributes namespace is Inappropriate."),
          localName.c_str()));
    Add(localName.c_str(), a->GetValue().c_str(), namespaceUri.c_str());
  }
  return current;
}

void CAttributeCol::WriteAdditionalRootAttributes(CXmlWriter* writer,
                                                  const CXmlSerializationContext& context) {
  // Walks the nodes and neither creates nor counts anything: the default
  // context may be written with by several threads at once.
  const CAttributeCol* attributes = context.FindAdditionalRootAttributes();
  if (attributes != nullptr)
    CXmlObjectBase::ToXml_Int(attributes, writer, false, nullptr, context, false);
}

// -- CElementCol -------------------------------------------------------------------

CElementCol::CElementCol(const unsigned short* namespaceUri, const unsigned short* restriction,
                         const unsigned short* targetNamespace, int, int)
    : CInstanceMonitor(VX_T("CElementCol")) {
  TestNamespace(namespaceUri, restriction, targetNamespace);
  m_restriction = kAny;
  m_elementNamespace = Utf16::Make(namespaceUri);
  m_targetNamespace = Utf16::Make(targetNamespace);
}

CElementCol::CElementCol(const CElementCol& other) = default;
CElementCol& CElementCol::operator=(const CElementCol& other) = default;
CElementCol::~CElementCol() = default;

CSmartPtr<CElement> CElementCol::Add(const unsigned short* name) {
  if (m_elementNamespace.empty())
    throw CVxInvalidStateException(String(VX_T("A Namespace has not been set for this Collection")));
  CSmartPtr<CElement> element = new CElement(name, m_elementNamespace.c_str(),
                                             m_restriction.c_str(), m_targetNamespace.c_str());
  AppendItem(element);
  return element;
}

CSmartPtr<CElement> CElementCol::Add(const unsigned short* name,
                                     const unsigned short* namespaceUri) {
  TestNamespace(namespaceUri, m_restriction.c_str(), m_targetNamespace.c_str());
  CSmartPtr<CElement> element =
      new CElement(name, namespaceUri, m_restriction.c_str(), m_targetNamespace.c_str());
  AppendItem(element);
  return element;
}

CSmartPtr<CElement> CElementCol::Add(CElement* element) {
  CheckItem(element);
  TestNamespace(element->m_namespace.c_str(), m_restriction.c_str(), m_targetNamespace.c_str());
  AppendItem(element);
  return element;
}

CSmartPtr<CElement> CElementCol::Item(int index) const {
  return static_cast<CElement*>(GetNodeAtIndex(index)->GetItem());
}

void CElementCol::AddAfter(const CElement* existing, CElement* element) {
  AddAfterItem(existing, element);
}

void CElementCol::AddBefore(const CElement* existing, CElement* element) {
  AddBeforeItem(existing, element);
}

void CElementCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                            const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  for (const CNode* n = GetHeadNode(); n != nullptr; n = n->GetNext())
    CXmlObjectBase::ToXml_Int(n->GetItem(), writer, false, namespaceUri, context, false);
}

CXmlElement* CElementCol::FromXml_Int(CXmlElement* element, CXmlElement* current,
                                      const CXmlSerializationContext& context, bool) {
  while (current != nullptr) {
    const String& namespaceUri = current->GetNamespaceURI();
    if (!IsNamespaceValid(namespaceUri.c_str(), m_restriction.c_str(), m_targetNamespace.c_str()))
      return current;
    CSmartPtr<CElement> item = new CElement(current->GetLocalName().c_str(), namespaceUri.c_str(),
                                            m_restriction.c_str(), m_targetNamespace.c_str());
    CXmlElement* next = CXmlObjectBase::FromXml_Int(item, element, current, context);
    if (next == current) return current;
    Add(item);
    current = next;
  }
  return nullptr;
}

CXmlElement* CElementCol::FromXmlLockElementName_Int(String name, String namespaceUri,
                                                     CXmlElement* element, CXmlElement* current,
                                                     const CXmlSerializationContext& context) {
  while (current != nullptr && current->GetLocalName() == name &&
         current->GetNamespaceURI() == namespaceUri) {
    CSmartPtr<CElement> item =
        new CElement(name.c_str(), namespaceUri.c_str(), kAny, m_targetNamespace.c_str());
    CXmlElement* next = CXmlObjectBase::FromXml_Int(item, element, current, context);
    if (next == current) return current;
    Add(item);
    current = next;
  }
  return current;
}

// -- CElement ----------------------------------------------------------------------

CElement::CElement(const unsigned short* name) : CInstanceMonitor(VX_T("CElement")) {
  Init(name, kEmpty, kAny, kEmpty);
}

CElement::CElement(const unsigned short* name, const unsigned short* namespaceUri)
    : CInstanceMonitor(VX_T("CElement")) {
  if (IsKeyword(namespaceUri))
    throw CVxInvalidNamespaceException(
        FormatString(VX_T("Invalid Namespace [%s]"), OrEmpty(namespaceUri)));
  Init(name, namespaceUri, namespaceUri, kEmpty);
}

CElement::CElement(const unsigned short* name, const unsigned short* namespaceUri,
                   const unsigned short* restriction, const unsigned short* targetNamespace)
    : CInstanceMonitor(VX_T("CElement")) {
  Init(name, namespaceUri, restriction, targetNamespace);
}

CElement::CElement(CXmlObjectBase* object) : CInstanceMonitor(VX_T("CElement")) {
  Init(kEmpty, kEmpty, kAny, kEmpty);
  if (object == nullptr) throw CVxInvalidParamException(VX_T("The object to copy is NULL"));
  CXmlSerializationContext context;
  CBinaryData bytes =
      object->ToXmlStream(false, false, XmlEncoding_UTF8, EOLType_LF, context, CompressionType_None);
  CXmlDocument document(context.GetSchemaType());
  document.LoadXmlStream(const_cast<unsigned char*>(bytes.GetData()), bytes.GetLength());
  CopyXmlElement(document.GetDocumentElement());
}

CElement::CElement(const CElement& other)
    : CXmlObjectBase(other),
      CInstanceMonitor(other),
      m_name(other.m_name),
      m_text(other.m_text),
      m_namespace(other.m_namespace),
      m_restriction(other.m_restriction),
      m_targetNamespace(other.m_targetNamespace),
      m_attributes(other.Attributes()),
      m_children(other.Children()) {}

CElement& CElement::operator=(const CElement& other) {
  if (this == &other) return *this;
  CSmartPtr<CAttributeCol> attributes = other.Attributes();
  CSmartPtr<CElementCol> children = other.Children();
  CXmlObjectBase::operator=(other);
  m_name = other.m_name;
  m_text = other.m_text;
  m_namespace = other.m_namespace;
  m_restriction = other.m_restriction;
  m_targetNamespace = other.m_targetNamespace;
  m_attributes = std::move(attributes);
  m_children = std::move(children);
  return *this;
}

CAttributeCol* CElement::Attributes() const {
  if (m_attributes == nullptr)
    m_attributes = new CAttributeCol(m_namespace.c_str(), kAny, m_targetNamespace.c_str());
  return m_attributes;
}

CElementCol* CElement::Children() const {
  if (m_children == nullptr)
    m_children = new CElementCol(m_namespace.c_str(), kAny, m_targetNamespace.c_str(), 0, -1);
  return m_children;
}

void CElement::KeepCollectionNamespace(const String& namespaceUri) {
  if ((m_attributes == nullptr || m_children == nullptr) && namespaceUri != m_namespace) {
    Attributes();
    Children();
  }
}

CElement::~CElement() { ReleaseChildren(); }

void CElement::ReleaseChildren() noexcept {
  // The outermost destructor on this thread runs the loop; the ones it
  // causes only hand their children over, so the stack stays flat however
  // deep the subtree is. Children that someone else also holds are merely
  // released; a collection with listeners is left to tell them as it dies.
  std::vector<CXmlObjectBase*> local;
  bool outermost = t_pendingReleases == nullptr;
  std::vector<CXmlObjectBase*>& pending = outermost ? local : *t_pendingReleases;
  if (m_children != nullptr && IsSoleHolder(m_children)) m_children->TakeItems(pending);
  if (!outermost) return;
  t_pendingReleases = &pending;
  while (!pending.empty()) {
    CXmlObjectBase* next = pending.back();
    pending.pop_back();
    next->Release();
  }
  t_pendingReleases = nullptr;
}

void CElement::Init(const unsigned short* name, const unsigned short* namespaceUri,
                    const unsigned short* restriction, const unsigned short* targetNamespace) {
  if (name == nullptr)
    throw CVxInvalidNamespaceException(String(VX_T("Element Name must have a value")));
  if (restriction == nullptr)
    throw CVxInvalidNamespaceException(String(VX_T("Namespace Restriction must have a value")));
  if (targetNamespace == nullptr)
    throw CVxInvalidNamespaceException(String(VX_T("Target Namespace must have a value")));
  TestNamespace(namespaceUri, restriction, targetNamespace);
  String newName = Utf16::Make(name);
  String newNamespace = Utf16::Make(namespaceUri);
  String newRestriction = Utf16::Make(restriction);
  String newTarget = Utf16::Make(targetNamespace);
  m_name.swap(newName);
  m_namespace.swap(newNamespace);
  m_restriction.swap(newRestriction);
  m_targetNamespace.swap(newTarget);
  // New, empty collections (made when first used).
  m_attributes = nullptr;
  m_children = nullptr;
}

void CElement::SetName(const unsigned short* name) {
  FireOnChangeName(name);
  m_name = Utf16::Make(name);
}

void CElement::SetNamespace(const unsigned short* namespaceUri) {
  FireOnChangeNamespace(namespaceUri);
  String value = Utf16::Make(namespaceUri);
  KeepCollectionNamespace(value);
  m_namespace.swap(value);
}

void CElement::SetText(const unsigned short* text) {
  FireOnChangeText(text);
  m_text = Utf16::Make(text);
}

void CElement::FireOnChangeName(const unsigned short*) {}
void CElement::FireOnChangeNamespace(const unsigned short*) {}
void CElement::FireOnChangeText(const unsigned short*) {}

void CElement::SetNamespaceRestrictions(const unsigned short* restriction,
                                        const unsigned short* targetNamespace) {
  // Depth first in document order: children are pushed last to first.
  std::vector<const CElement*> pending{this};
  while (!pending.empty()) {
    const CElement* e = pending.back();
    pending.pop_back();
    try {
      TestNamespace(e->m_namespace.c_str(), restriction, targetNamespace);
    } catch (CVxException& failure) {
      throw CVxInvalidNamespaceException(
          FormatString(VX_T("The namespace %s in the class %s is invalid against restriction %s"),
                       e->m_namespace.c_str(), e->m_name.c_str(), OrEmpty(restriction)),
          std::move(failure));
    }
    const CXmlCollection::CNode* n = e->m_attributes ? e->m_attributes->GetHeadNode() : nullptr;
    for (; n != nullptr; n = n->GetNext())
      TestNamespace(static_cast<const CAttribute*>(n->GetItem())->m_namespace.c_str(), restriction,
                    targetNamespace);
    n = e->m_children ? e->m_children->GetTailNode() : nullptr;
    for (; n != nullptr; n = n->GetPrevious())
      pending.push_back(static_cast<const CElement*>(n->GetItem()));
  }
}

void CElement::FromXml(const unsigned short* xmlText) {
  CXmlDocument document(SchemaType_Default);
  document.LoadXml(xmlText);
  CXmlElement* root = document.GetDocumentElement();
  if (FromXml_Int(root, root, CXmlSerializationContext::GetDefaultContext(), false) == root)
    TestNamespace(root->GetNamespaceURI().c_str(), m_restriction.c_str(),
                  m_targetNamespace.c_str());
}

void CElement::CopyXmlElement(CXmlElement* element) {
  // What the recursion would keep on the stack: the element being filled
  // and the next child of its source still to copy.
  struct Frame {
    CElement* target;
    CSmartPtr<CElement> owner;  // null for this element itself
    CXmlElement* next;
  };
  auto copyOwn = [](CElement* target, CXmlElement* source) {
    target->m_name = source->GetLocalName();
    target->KeepCollectionNamespace(source->GetNamespaceURI());
    target->m_namespace = source->GetNamespaceURI();
    target->m_text = source->GetText();
    if (target->m_attributes != nullptr) target->m_attributes->Clear();
    if (target->m_children != nullptr) target->m_children->Clear();
    for (const CXmlAttribute* a : source->GetAttributes())
      target->Attributes()->Add(a->GetLocalName().c_str(), a->GetValue().c_str(),
                                a->GetNamespaceURI().c_str());
  };
  std::vector<Frame> stack;
  copyOwn(this, element);
  stack.push_back(Frame{this, nullptr, element->GetFirstElement()});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next != nullptr) {
      CXmlElement* source = top.next;
      top.next = source->GetNextSiblingElement();
      CSmartPtr<CElement> copy = new CElement(source->GetLocalName().c_str());
      copyOwn(copy, source);
      CElement* target = copy;
      stack.push_back(Frame{target, std::move(copy), source->GetFirstElement()});
      continue;
    }
    CSmartPtr<CElement> done = std::move(top.owner);
    stack.pop_back();
    if (done != nullptr) stack.back().target->Children()->Add(done);
  }
}

void CElement::ReadAttributes(CElement* target, CXmlElement* source,
                              const CXmlSerializationContext& context) {
  // An element without attributes adds nothing: no need to make the
  // collection (made ones only ever admit "##any").
  if (source->GetAttributes().empty()) return;
  CXmlObjectBase::FromXml_Int(target->Attributes(), source, nullptr, context);
}

CXmlElement* CElement::FromXml_Int(CXmlElement*, CXmlElement* current,
                                   const CXmlSerializationContext& context, bool) {
  if (current == nullptr) return nullptr;
  if (!IsNamespaceValid(current->GetNamespaceURI().c_str(), m_restriction.c_str(),
                        m_targetNamespace.c_str()))
    return current;
  struct Frame {
    CElement* target;
    CSmartPtr<CElement> owner;  // null for this element itself
    CXmlElement* source;
    CXmlElement* next;
  };
  std::vector<Frame> stack;
  ReadAttributes(this, current, context);
  stack.push_back(Frame{this, nullptr, current, current->GetFirstElement()});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next != nullptr) {
      // What the child collection's FromXml_Int does with one element.
      CXmlElement* source = top.next;
      const CElementCol& children = *top.target->Children();
      const String& namespaceUri = source->GetNamespaceURI();
      if (!IsNamespaceValid(namespaceUri.c_str(), children.m_restriction.c_str(),
                            children.m_targetNamespace.c_str()))
        throw CVxValidationException(
            FormatString(VX_T("Invalid Element [%s] found in element [%s]"),
                         source->GetLocalName().c_str(), top.target->m_name.c_str()));
      top.next = source->GetNextSiblingElement();
      CSmartPtr<CElement> child =
          new CElement(source->GetLocalName().c_str(), namespaceUri.c_str(),
                       children.m_restriction.c_str(), children.m_targetNamespace.c_str());
      ReadAttributes(child, source, context);
      CElement* target = child;
      stack.push_back(Frame{target, std::move(child), source, source->GetFirstElement()});
      continue;
    }
    // All children read: the element takes its own text and names.
    top.target->m_text = top.source->GetText();
    top.target->m_name = top.source->GetLocalName();
    top.target->KeepCollectionNamespace(top.source->GetNamespaceURI());
    top.target->m_namespace = top.source->GetNamespaceURI();
    CSmartPtr<CElement> done = std::move(top.owner);
    stack.pop_back();
    if (done != nullptr) stack.back().target->Children()->Add(done);
  }
  return current->GetNextSiblingElement();
}

void CElement::ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                         const CXmlSerializationContext& context, bool) const {
  // Each open element's next child still to write.
  std::vector<const CXmlCollection::CNode*> stack;
  auto open = [&](const CElement* e, bool isRoot) {
    writer->WriteStartElement(e->m_name, e->m_namespace);
    if (isRoot) CAttributeCol::WriteAdditionalRootAttributes(writer, context);
    if (e->m_attributes != nullptr)
      CXmlObjectBase::ToXml_Int(e->m_attributes, writer, false, namespaceUri, context, false);
    if (e->m_children != nullptr) e->m_children->ValidateCount(context);
    stack.push_back(e->m_children ? e->m_children->GetHeadNode() : nullptr);
  };
  std::vector<const CElement*> elements;
  open(this, root);
  elements.push_back(this);
  while (!stack.empty()) {
    const CXmlCollection::CNode* next = stack.back();
    if (next != nullptr) {
      stack.back() = next->GetNext();
      const CXmlObjectBase* item = next->GetItem();
      // An element of a class derived from CElement writes itself.
      if (typeid(*item) != typeid(CElement)) {
        CXmlObjectBase::ToXml_Int(item, writer, false, namespaceUri, context, false);
        continue;
      }
      const CElement* child = static_cast<const CElement*>(item);
      open(child, false);
      elements.push_back(child);
      continue;
    }
    writer->WriteText(elements.back()->m_text);
    writer->WriteEndElement();
    stack.pop_back();
    elements.pop_back();
  }
}

}  // namespace VxVevAva5
