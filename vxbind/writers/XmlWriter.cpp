#include "vxbind/writers/XmlWriter.h"

#include <memory>
#include <vector>

#include "vxbind/base/Exceptions.h"
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
  // Held until the default namespace is copied too, so a failed copy frees it.
  std::unique_ptr<NamespaceMap> copy(new NamespaceMap(*m_scopeMap));
  m_ownDefaultNamespace = defaultNamespace;
  m_scopeMap = copy.release();
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
  // The map holds map.size() prefixes, so one of the first map.size() + 1
  // candidates is free. One pass marks the candidates in use (trying them
  // one by one against every prefix made an element with many namespaced
  // attributes cubic in their number).
  std::vector<bool> taken(map.size() + 1, false);
  for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it) {
    const String& prefix = it->second;
    if (prefix.size() != 2 || prefix[0] < u'A' || prefix[1] < u'A' || prefix[1] > u'Z') continue;
    size_t n = static_cast<size_t>(prefix[0] - u'A') * 26 + static_cast<size_t>(prefix[1] - u'A');
    if (n < taken.size()) taken[n] = true;
  }
  size_t n = 0;
  while (taken[n]) ++n;
  return NsIntToString(static_cast<int>(n));
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
  context->m_attributesAnnounced = false;
  // A context on the free list owns no map, so a failed copy below puts it
  // back there and nothing is lost or freed twice.
  context->m_ownsMap = false;
  context->m_scopeMap = nullptr;
  try {
    context->m_namespaceUri = namespaceUri;  // reuses the recycled capacity
    context->m_localName = localName;
    if (parent == nullptr) {
      context->m_ownDefaultNamespace = m_defaultNamespaceUri;
      context->m_scopeMap = new NamespaceMap(m_namespaceMap);
    }
  } catch (...) {
    context->m_parent = m_freeContexts;
    m_freeContexts = context;
    throw;
  }
  if (parent != nullptr) {
    context->m_depth = parent->m_depth + 1;
    context->m_ownDefaultNamespace.clear();
    context->m_scopeMap = parent->m_scopeMap;
    context->m_inheritsScope = true;
    context->m_scopeOwner = parent->m_scopeOwner;
  } else {
    context->m_depth = 0;
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
