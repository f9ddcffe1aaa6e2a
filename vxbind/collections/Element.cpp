// Element.cpp - untyped content, the namespace restriction tests of the
// object base, and the context's additional root attributes.
//
// An element's subtree is written, read, copied and released with explicit
// stacks: the obvious recursion (element -> child collection -> element ...)
// would take stack in proportion to the depth of the input.
#include "vxbind/collections/Element.h"

#include <memory>
#include <typeinfo>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/detail/ElementSnapshot.h"
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

// The namespace declarations of a snapshot node, of a document element's
// start tag, or that its content needs where it is (`inScope`), as CElement
// keeps them.
std::shared_ptr<const std::vector<String>> DeclarationsOf(const detail::SnapshotNode* node) {
  if (node->declarationCount == 0) return nullptr;
  auto declarations = std::make_shared<std::vector<String>>();
  declarations->reserve(2 * node->declarationCount);
  for (uint32_t i = 0; i < 2 * node->declarationCount; ++i)
    declarations->push_back(*node->declarations[i]);
  return declarations;
}

std::shared_ptr<const std::vector<String>> DeclarationsOf(const CXmlElement& source,
                                                          bool inScope) {
  std::vector<CXmlElement::NamespaceBinding> bindings;
  if (inScope)
    detail::AppendContentBindings(source, bindings);
  else
    source.GetNamespaceDeclarations(bindings);
  if (bindings.empty()) return nullptr;
  auto declarations = std::make_shared<std::vector<String>>();
  declarations->reserve(2 * bindings.size());
  for (const CXmlElement::NamespaceBinding& b : bindings) {
    declarations->push_back(*b.prefix);
    declarations->push_back(*b.uri);
  }
  return declarations;
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
  String text =
      element->ToXml(false, false, EOLType_LF, CXmlSerializationContext::GetDefaultContext());
  FromXml(text.c_str(), context);
}

// -- The context's additional root attributes ------------------------------------
// Declared with the context, defined here: the context's floor holds the
// collection as the object base it is, and only this floor can convert.

CSmartPtr<CAttributeCol> CXmlSerializationContext::GetAdditionalRootAttributes() {
  if (m_additionalRootAttributes == nullptr)
    m_additionalRootAttributes =
        static_cast<CXmlObjectBase*>(new CAttributeCol(kEmpty, kAny, kEmpty));
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

CAttribute::CAttribute(String name, String value, String namespaceUri)
    : CInstanceMonitor(VX_T("CAttribute")),
      m_name(std::move(name)),
      m_value(std::move(value)),
      m_namespace(std::move(namespaceUri)) {}

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

CAttributeCol::CAttributeCol(const unsigned short* namespaceUri, const unsigned short* restriction,
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

void CAttributeCol::SetRestriction(const unsigned short* restriction,
                                   const unsigned short* targetNamespace) {
  m_restriction = Utf16::Make(restriction);
  m_targetNamespace = Utf16::Make(targetNamespace);
  String first = m_restriction.substr(0, m_restriction.find(u' '));
  bool uri = first.size() >= 2 && first[0] != u'#' && first[1] != u'#';
  SetNamespaceUri(uri ? first : String());
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
      throw CVxInvalidNamespaceException(
          FormatString(VX_T("Invalid Attribute [%s]. The attributes namespace is Inappropriate."),
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
    throw CVxInvalidStateException(
        String(VX_T("A Namespace has not been set for this Collection")));
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

CXmlElement* CElementCol::FromXml_Int(CXmlElement*, CXmlElement* current,
                                      const CXmlSerializationContext&, bool) {
  // Each element taken is what a new CElement(local name, namespace,
  // restriction, target namespace) reading it would hold; its content goes
  // into one snapshot for the whole run.
  CSmartPtr<detail::ElementSnapshot> snapshot;
  for (; current != nullptr; current = current->GetNextSiblingElement()) {
    if (!IsNamespaceValid(current->GetNamespaceURI().c_str(), m_restriction.c_str(),
                          m_targetNamespace.c_str()))
      break;
    if (snapshot == nullptr) snapshot = new detail::ElementSnapshot;
    CSmartPtr<CElement> item =
        new CElement(snapshot->Copy(*current), snapshot, m_restriction, m_targetNamespace);
    Add(item);
  }
  if (snapshot != nullptr) snapshot->EndDocument();
  return current;
}

CXmlElement* CElementCol::FromXmlLockElementName_Int(String name, String namespaceUri, CXmlElement*,
                                                     CXmlElement* current,
                                                     const CXmlSerializationContext&) {
  CSmartPtr<detail::ElementSnapshot> snapshot;
  const String any(kAny);
  for (; current != nullptr; current = current->GetNextSiblingElement()) {
    if (current->GetLocalName() != name || current->GetNamespaceURI() != namespaceUri) break;
    if (snapshot == nullptr) snapshot = new detail::ElementSnapshot;
    CSmartPtr<CElement> item =
        new CElement(snapshot->Copy(*current), snapshot, any, m_targetNamespace);
    Add(item);
  }
  if (snapshot != nullptr) snapshot->EndDocument();
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
  CBinaryData bytes = object->ToXmlStream(false, false, XmlEncoding_UTF8, EOLType_LF, context,
                                          CompressionType_None);
  CXmlDocument document(context.GetSchemaType());
  document.LoadXmlStream(const_cast<unsigned char*>(bytes.GetData()), bytes.GetLength());
  CopyXmlElement(document.GetDocumentElement());
}

// The restriction admits the node's namespace (the collection that reads
// it has tested it), so nothing is tested here.
CElement::CElement(const detail::SnapshotNode* node, detail::ElementSnapshot* snapshot,
                   const String& restriction, const String& targetNamespace)
    : CInstanceMonitor(VX_T("CElement")),
      m_name(*node->name),
      m_text(node->text, node->textLength),
      m_namespace(*node->namespaceUri),
      m_restriction(restriction),
      m_targetNamespace(targetNamespace),
      m_textPlaced(true),
      m_textPosition(node->textPosition),
      m_declarations(DeclarationsOf(node)) {
  m_attributesPending = node->attributeCount > 0;
  m_childrenPending = node->firstChild != nullptr;
  if (m_attributesPending || m_childrenPending) {
    m_snapshot = snapshot;
    m_pending = node;
  }
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
      m_children(other.Children()),
      m_textPlaced(other.m_textPlaced),
      m_textPosition(other.m_textPosition),
      m_declarations(other.m_declarations) {}

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
  m_textPlaced = other.m_textPlaced;
  m_textPosition = other.m_textPosition;
  m_declarations = other.m_declarations;
  DropPending();
  m_attributes = std::move(attributes);
  m_children = std::move(children);
  return *this;
}

CElement::~CElement() { ReleaseChildren(); }

CAttributeCol* CElement::Attributes() const {
  if (m_attributes == nullptr)
    m_attributes = new CAttributeCol(m_namespace.c_str(), kAny, m_targetNamespace.c_str());
  if (m_attributesPending) {
    CAttributeCol& attributes = *m_attributes;
    int before = attributes.GetCount();
    try {
      for (uint32_t i = 0; i < m_pending->attributeCount; ++i) {
        const detail::SnapshotAttribute& a = m_pending->attributes[i];
        CSmartPtr<CAttribute> attribute =
            new CAttribute(*a.name, String(a.value, a.length), *a.namespaceUri);
        attributes.InsertBefore(nullptr, attribute, attributes.GetCount());
      }
    } catch (...) {
      while (attributes.GetCount() > before) attributes.Unlink(attributes.GetTailNode(), -1);
      throw;
    }
    m_attributesPending = false;
    ReleaseSnapshotIfDone();
  }
  return m_attributes;
}

CElementCol* CElement::Children() const {
  if (m_children == nullptr)
    m_children = new CElementCol(m_namespace.c_str(), kAny, m_targetNamespace.c_str(), 0, -1);
  if (m_childrenPending) {
    CElementCol& children = *m_children;
    int before = children.GetCount();
    try {
      for (const detail::SnapshotNode* n = m_pending->firstChild; n != nullptr; n = n->next) {
        CSmartPtr<CElement> child =
            new CElement(n, m_snapshot, children.m_restriction, children.m_targetNamespace);
        children.InsertBefore(nullptr, child, children.GetCount());
      }
    } catch (...) {
      while (children.GetCount() > before) children.Unlink(children.GetTailNode(), -1);
      throw;
    }
    m_childrenPending = false;
    ReleaseSnapshotIfDone();
  }
  return m_children;
}

void CElement::ReleaseSnapshotIfDone() const {
  if (m_attributesPending || m_childrenPending) return;
  m_pending = nullptr;
  m_snapshot = nullptr;
}

void CElement::DropPending() {
  m_attributesPending = m_childrenPending = false;
  ReleaseSnapshotIfDone();
}

void CElement::KeepCollectionNamespace(const String& namespaceUri) {
  if ((m_attributes == nullptr || m_children == nullptr) && namespaceUri != m_namespace) {
    Attributes();
    Children();
  }
}

void CElement::ReleaseChildren() noexcept {
  // The outermost destructor on this thread runs the loop; the ones it
  // causes only hand their children over, so the stack stays flat however
  // deep the subtree is. Children that someone else also holds are merely
  // released; a collection with listeners is left to tell them as it dies.
  // What is still in a snapshot goes with the snapshot, page by page.
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
  m_declarations = nullptr;
  // New, empty collections (made when first used).
  DropPending();
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
  m_textPlaced = false;
}

void CElement::FireOnChangeName(const unsigned short*) {}
void CElement::FireOnChangeNamespace(const unsigned short*) {}
void CElement::FireOnChangeText(const unsigned short*) {}

void CElement::SetNamespaceRestrictions(const unsigned short* restriction,
                                        const unsigned short* targetNamespace) {
  // Depth first in document order, over objects and what is still in a
  // snapshot alike: each frame is an element (object or node) whose
  // children are being visited.
  struct Frame {
    const CXmlCollection::CNode* nextObject;
    const detail::SnapshotNode* nextNode;
  };
  auto testElement = [&](const String& ns, const String& name) {
    try {
      TestNamespace(ns.c_str(), restriction, targetNamespace);
    } catch (CVxException& failure) {
      throw CVxInvalidNamespaceException(
          FormatString(VX_T("The namespace %s in the class %s is invalid against restriction %s"),
                       ns.c_str(), name.c_str(), OrEmpty(restriction)),
          std::move(failure));
    }
  };
  std::vector<Frame> stack;
  auto visitObject = [&](const CElement* e) {
    testElement(e->m_namespace, e->m_name);
    if (e->m_attributesPending) {
      for (uint32_t i = 0; i < e->m_pending->attributeCount; ++i)
        TestNamespace(e->m_pending->attributes[i].namespaceUri->c_str(), restriction,
                      targetNamespace);
    } else if (e->m_attributes != nullptr) {
      for (const CXmlCollection::CNode* n = e->m_attributes->GetHeadNode(); n; n = n->GetNext())
        TestNamespace(static_cast<const CAttribute*>(n->GetItem())->m_namespace.c_str(),
                      restriction, targetNamespace);
    }
    if (e->m_childrenPending)
      stack.push_back(Frame{nullptr, e->m_pending->firstChild});
    else
      stack.push_back(Frame{e->m_children ? e->m_children->GetHeadNode() : nullptr, nullptr});
  };
  auto visitNode = [&](const detail::SnapshotNode* n) {
    testElement(*n->namespaceUri, *n->name);
    for (uint32_t i = 0; i < n->attributeCount; ++i)
      TestNamespace(n->attributes[i].namespaceUri->c_str(), restriction, targetNamespace);
    stack.push_back(Frame{nullptr, n->firstChild});
  };
  visitObject(this);
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.nextObject != nullptr) {
      const CXmlCollection::CNode* n = top.nextObject;
      top.nextObject = n->GetNext();
      visitObject(static_cast<const CElement*>(n->GetItem()));
    } else if (top.nextNode != nullptr) {
      const detail::SnapshotNode* n = top.nextNode;
      top.nextNode = n->next;
      visitNode(n);
    } else {
      stack.pop_back();
    }
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
  auto copyOwn = [](CElement* target, CXmlElement* source, bool top) {
    target->m_name = source->GetLocalName();
    target->m_declarations = DeclarationsOf(*source, top);
    target->KeepCollectionNamespace(source->GetNamespaceURI());
    target->m_namespace = source->GetNamespaceURI();
    target->m_text = source->GetText();
    target->m_textPlaced = true;
    target->m_textPosition = source->GetTextPosition();
    target->DropPending();
    if (target->m_attributes != nullptr) target->m_attributes->Clear();
    if (target->m_children != nullptr) target->m_children->Clear();
    for (const CXmlAttribute* a : source->GetAttributes())
      target->Attributes()->Add(a->GetLocalName().c_str(), a->GetValue().c_str(),
                                a->GetNamespaceURI().c_str());
  };
  std::vector<Frame> stack;
  copyOwn(this, element, true);
  stack.push_back(Frame{this, nullptr, element->GetFirstElement()});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next != nullptr) {
      CXmlElement* source = top.next;
      top.next = source->GetNextSiblingElement();
      CSmartPtr<CElement> copy = new CElement(source->GetLocalName().c_str());
      copyOwn(copy, source, false);
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
  // collection.
  if (source->GetAttributeCount() == 0) return;
  CXmlObjectBase::FromXml_Int(target->Attributes(), source, nullptr, context);
}

CXmlElement* CElement::FromXml_Int(CXmlElement*, CXmlElement* current,
                                   const CXmlSerializationContext& context, bool) {
  if (current == nullptr) return nullptr;
  if (!IsNamespaceValid(current->GetNamespaceURI().c_str(), m_restriction.c_str(),
                        m_targetNamespace.c_str()))
    return current;
  if (m_attributes == nullptr && m_children == nullptr && m_pending == nullptr) {
    // Nothing held yet (nor any collection anyone could listen to): the
    // content goes into a snapshot. The child collection admits every
    // namespace, so nothing in it can be refused.
    CSmartPtr<detail::ElementSnapshot> snapshot = new detail::ElementSnapshot;
    const detail::SnapshotNode* node = snapshot->Copy(*current);
    snapshot->EndDocument();
    m_text.assign(node->text, node->textLength);
    m_textPlaced = true;
    m_name = *node->name;
    m_declarations = DeclarationsOf(node);
    m_attributesPending = node->attributeCount > 0;
    m_childrenPending = node->firstChild != nullptr;
    if (m_attributesPending || m_childrenPending) {
      m_snapshot = snapshot;
      m_pending = node;
    }
    KeepCollectionNamespace(*node->namespaceUri);
    m_namespace = *node->namespaceUri;
    return current->GetNextSiblingElement();
  }
  // Content is added to what the element holds, one object at a time.
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
      child->m_textPosition = source->GetTextPosition();
      CElement* target = child;
      stack.push_back(Frame{target, std::move(child), source, source->GetFirstElement()});
      continue;
    }
    // All children read: the element takes its own text and names.
    top.target->m_textPlaced = true;
    top.target->m_text = top.source->GetText();
    top.target->m_name = top.source->GetLocalName();
    top.target->m_declarations = DeclarationsOf(*top.source, top.target == this);
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
  // Each open element, an object or a node still in a snapshot, with its
  // next child of either kind still to write.
  struct Frame {
    const CElement* element;           // null for a node
    const detail::SnapshotNode* node;  // the node, for a node
    const CXmlCollection::CNode* nextObject;
    const detail::SnapshotNode* nextNode;
    size_t textWritten = 0;  // how much of the element's text is out
  };
  String scratch;  // texts and values from snapshots, in a reused buffer
  // The element's text up to `position` (where a child stood in it when it
  // was read), as far as not written yet; from a node, or from an element
  // whose text is still the one read. `all`: the rest.
  auto writeText = [&](Frame& f, uint32_t position, bool all) {
    const unsigned short* text;
    size_t length;
    if (f.element != nullptr) {
      if (!all && !f.element->m_textPlaced) return;
      text = f.element->m_text.data();
      length = f.element->m_text.size();
    } else {
      text = f.node->text;
      length = f.node->textLength;
    }
    size_t end = all ? length : std::min<size_t>(position, length);
    if (end <= f.textWritten) return;
    scratch.assign(text + f.textWritten, end - f.textWritten);
    f.textWritten = end;
    writer->WriteText(scratch);
  };
  auto writeNodeAttributes = [&](const detail::SnapshotNode* n) {
    for (uint32_t i = 0; i < n->attributeCount; ++i) {
      const detail::SnapshotAttribute& a = n->attributes[i];
      scratch.assign(a.value, a.length);
      writer->WriteAttribute(*a.name, *a.namespaceUri, scratch);
    }
  };
  std::vector<Frame> stack;
  std::vector<const String*> declarations;  // an element's, as the writer takes them
  // Declarations handed to the writer point into this call's data: none may
  // stay behind for a later element when a start tag fails.
  struct Forget {
    CXmlWriter* writer;
    ~Forget() { writer->SetNextDeclarations(nullptr, 0); }
  } forget{writer};
  auto openObject = [&](const CElement* e, bool isRoot) {
    if (e == this && writer->GetRecordsObjects()) writer->NoteObject(e);
    if (e->m_declarations != nullptr) {
      declarations.clear();
      for (const String& d : *e->m_declarations) declarations.push_back(&d);
      writer->SetNextDeclarations(declarations.data(), declarations.size() / 2);
    }
    writer->WriteStartElement(e->m_name, e->m_namespace);
    if (isRoot) CAttributeCol::WriteAdditionalRootAttributes(writer, context);
    if (e->m_attributesPending)
      writeNodeAttributes(e->m_pending);
    else if (e->m_attributes != nullptr)
      CXmlObjectBase::ToXml_Int(e->m_attributes, writer, false, namespaceUri, context, false);
    // Text read between children goes back between them.
    if (e->m_textPlaced && !e->m_text.empty() &&
        (e->m_childrenPending || (e->m_children != nullptr && e->m_children->GetCount() != 0)))
      writer->MarkMixedContent();
    if (e->m_childrenPending) {
      stack.push_back(Frame{e, nullptr, nullptr, e->m_pending->firstChild});
    } else if (e->m_children != nullptr) {
      e->m_children->ValidateCount(context);
      stack.push_back(Frame{e, nullptr, e->m_children->GetHeadNode(), nullptr});
    } else {
      stack.push_back(Frame{e, nullptr, nullptr, nullptr});
    }
  };
  openObject(this, root);
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.nextObject != nullptr) {
      const CXmlObjectBase* item = top.nextObject->GetItem();
      top.nextObject = top.nextObject->GetNext();
      // An element of a class derived from CElement writes itself.
      const bool plain = typeid(*item) == typeid(CElement);
      const CElement* child = plain ? static_cast<const CElement*>(item)
                                    : dynamic_cast<const CElement*>(item);
      if (child != nullptr && child->m_textPosition != kNoTextPosition)
        writeText(top, child->m_textPosition, false);
      if (!plain)
        CXmlObjectBase::ToXml_Int(item, writer, false, namespaceUri, context, false);
      else
        openObject(child, false);
      continue;
    }
    if (top.nextNode != nullptr) {
      const detail::SnapshotNode* n = top.nextNode;
      top.nextNode = n->next;
      writeText(top, n->textPosition, false);
      writer->SetNextDeclarations(n->declarations, n->declarationCount);
      writer->WriteStartElement(*n->name, *n->namespaceUri);
      if (n->textLength != 0 && n->firstChild != nullptr) writer->MarkMixedContent();
      writeNodeAttributes(n);
      stack.push_back(Frame{nullptr, n, nullptr, n->firstChild});
      continue;
    }
    writeText(top, 0, true);
    writer->WriteEndElement();
    stack.pop_back();
  }
}

}  // namespace VxVevAva5
