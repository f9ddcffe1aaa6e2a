#include "vxbind/writers/XmlWriter.h"

#include "vxbind/core/Exceptions.h"
#include "vxbind/writers/detail/SameText.h"

namespace VxVevAva5 {
namespace {

const String& EmptyString() {
  static const String empty;
  return empty;
}

// The entry of `uri`, or null. Scope maps hold a handful of namespaces, so
// a scan that rejects most entries by length beats the tree's unit-by-unit
// comparisons; large maps use the tree.
const String* FindPrefix(const CXmlWriter::NamespaceMap& map, const String& uri) {
  if (map.size() <= 8) {
    for (CXmlWriter::NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it)
      if (detail::SameText(it->first, uri)) return &it->second;
    return nullptr;
  }
  CXmlWriter::NamespaceMap::const_iterator it = map.find(uri);
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace

// ---- CXmlWriterContext ------------------------------------------------------

CXmlWriter::CXmlWriterContext::CXmlWriterContext() : CInstanceMonitor(VX_T("CXmlWriterContext")) {}

CXmlWriter::CXmlWriterContext::~CXmlWriterContext() {
  if (m_ownsMap) delete m_scopeMap;
  // Each ancestor is detached before it is deleted, so its own destructor
  // finds no parent and the chain is freed without recursion.
  CXmlWriterContext* p = m_parent;
  while (p != nullptr) {
    CXmlWriterContext* next = p->m_parent;
    p->m_parent = nullptr;
    delete p;
    p = next;
  }
}

const String& CXmlWriter::CXmlWriterContext::GetPrefix(const String& namespaceUri) const {
  const String* prefix = FindPrefix(*m_scopeMap, namespaceUri);
  return prefix != nullptr ? *prefix : EmptyString();
}

void CXmlWriter::CXmlWriterContext::TakeOwnScope(const String& defaultNamespace) {
  NamespaceMap* copy = new NamespaceMap(*m_scopeMap);
  m_ownDefaultNamespace = defaultNamespace;  // may alias the owner's: copy first
  m_scopeMap = copy;
  m_ownsMap = true;
  m_inheritsScope = false;
  m_scopeOwner = this;
}

void CXmlWriter::CXmlWriterContext::SetDefaultNamespace(const String& namespaceUri) {
  if (m_inheritsScope) TakeOwnScope(GetScopeDefaultNamespace());
  m_ownDefaultNamespace = namespaceUri;
}

void CXmlWriter::CXmlWriterContext::AddNamespace(const String& namespaceUri, const String& prefix) {
  if (m_inheritsScope) TakeOwnScope(GetScopeDefaultNamespace());
  (*m_scopeMap)[namespaceUri] = prefix;
}

// ---- CXmlWriter ---------------------------------------------------------------

CXmlWriter::CXmlWriter(const unsigned short* className) : CInstanceMonitor(className) {}

CXmlWriter::CXmlWriter(const CXmlWriter& other)
    : CInstanceMonitor(other),
      m_defaultNamespaceUri(other.m_defaultNamespaceUri),
      m_namespaceMap(other.m_namespaceMap) {}

CXmlWriter& CXmlWriter::operator=(const CXmlWriter& other) {
  m_defaultNamespaceUri = other.m_defaultNamespaceUri;
  m_namespaceMap = other.m_namespaceMap;
  return *this;
}

CXmlWriter::~CXmlWriter() {
  delete m_currentContext;  // owns its ancestors
  delete m_freeContexts;    // the free list is linked the same way
}

void CXmlWriter::SetDefaultNamespace(const String& namespaceUri) {
  if (m_currentContext != nullptr)
    m_currentContext->SetDefaultNamespace(namespaceUri);
  else
    m_defaultNamespaceUri = namespaceUri;
}

void CXmlWriter::AddNamespace(const String& prefix, const String& namespaceUri) {
  if (m_currentContext != nullptr)
    m_currentContext->AddNamespace(namespaceUri, prefix);
  else
    m_namespaceMap[namespaceUri] = prefix;
}

void CXmlWriter::WriteEndDocument() {
  if (m_currentContext != nullptr) throw CVxException(VX_T("An Element has not been closed."));
}

String CXmlWriter::NsIntToString(int n) {
  String s(2, 0);
  s[0] = static_cast<unsigned short>(u'A' + n / 26);
  s[1] = static_cast<unsigned short>(u'A' + n % 26);
  return s;
}

String CXmlWriter::GetUniquePrefix(const NamespaceMap& map) {
  for (int n = 0;; ++n) {
    String candidate = NsIntToString(n);
    bool taken = false;
    for (NamespaceMap::const_iterator it = map.begin(); it != map.end() && !taken; ++it)
      taken = it->second == candidate;
    if (!taken) return candidate;
  }
}

CXmlWriter::CXmlWriterContext* CXmlWriter::PushContext(const String& localName,
                                                       const String& namespaceUri) {
  CXmlWriterContext* context = m_freeContexts;
  if (context != nullptr) {
    m_freeContexts = context->m_parent;
    context->m_parent = nullptr;
  } else {
    context = new CXmlWriterContext;
  }
  CXmlWriterContext* parent = m_currentContext;
  context->m_childCount = 0;
  context->m_startTagOpen = true;
  context->m_namespaceUri = namespaceUri;  // reuses the recycled capacity
  context->m_localName = localName;
  context->m_attributesAnnounced = false;
  if (parent != nullptr) {
    context->m_depth = parent->m_depth + 1;
    context->m_ownDefaultNamespace.clear();
    context->m_scopeMap = parent->m_scopeMap;
    context->m_inheritsScope = true;
    context->m_ownsMap = false;
    context->m_scopeOwner = parent->m_scopeOwner;
  } else {
    context->m_depth = 0;
    context->m_ownDefaultNamespace = m_defaultNamespaceUri;
    // Not owned until the copy exists, so a failed copy leaves nothing to free twice.
    context->m_ownsMap = false;
    context->m_scopeMap = nullptr;
    try {
      context->m_scopeMap = new NamespaceMap(m_namespaceMap);
    } catch (...) {
      context->m_parent = m_freeContexts;
      m_freeContexts = context;
      throw;
    }
    context->m_ownsMap = true;
    context->m_inheritsScope = false;
    context->m_scopeOwner = context;
  }
  context->m_parent = parent;
  m_currentContext = context;
  return context;
}

void CXmlWriter::PopContext() {
  CXmlWriterContext* context = m_currentContext;
  if (context == nullptr) return;
  m_currentContext = context->m_parent;
  if (context->m_ownsMap) {
    delete context->m_scopeMap;
    context->m_ownsMap = false;
  }
  context->m_scopeMap = nullptr;
  context->m_parent = m_freeContexts;
  m_freeContexts = context;
}

const String& CXmlWriter::GetOrAddPrefix(CXmlWriterContext& context, const String& namespaceUri,
                                         bool& added) {
  const NamespaceMap& map = context.GetScopeMap();
  if (const String* prefix = FindPrefix(map, namespaceUri)) {
    added = false;
    return *prefix;
  }
  context.AddNamespace(namespaceUri, GetUniquePrefix(map));
  added = true;
  return context.GetPrefix(namespaceUri);
}

}  // namespace VxVevAva5
