#include "vxbind/writers/XmlWriter.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/writers/detail/SameText.h"
#include "vxbind/writers/detail/XmlNames.h"

namespace VxVevAva5 {
namespace {

using detail::EmptyString;
using detail::XmlPrefix;
using detail::XmlNamespace;

// Marks the generated prefix that `prefix` is, if it is one, in `taken`.
void MarkGenerated(const String& prefix, std::vector<bool>& taken) {
  if (prefix.size() != 2 || prefix[0] < u'A' || prefix[1] < u'A' || prefix[1] > u'Z') return;
  size_t n = static_cast<size_t>(prefix[0] - u'A') * 26 + static_cast<size_t>(prefix[1] - u'A');
  if (n < taken.size()) taken[n] = true;
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
//
// Output bindings. m_bindings holds the declarations in force at the
// innermost element, outermost first; each context marks where its own
// start tag's declarations begin, and they are dropped when it ends. Two
// flags per context spare the common case any search:
// - m_defaultBound: the output's default namespace is the scope's. A child
//   starts with its parent's value (same scope, same output); a default
//   declared on a tag, or set with SetDefaultNamespace, sets it anew.
// - m_prefixesBound: every entry U -> P of the scope map (U not empty) is
//   bound to U in the output. The root sets it when it declares all
//   aliases; a child starts with its parent's value; AddNamespace on an
//   open element clears it. A generated prefix keeps it: it is no prefix of
//   the scope's, so its declaration hides none of theirs. While it is
//   false, every use of a prefix looks the binding up and stamps it with
//   the start tag's serial number, so that a prefix used or declared on
//   the open tag is never rebound there (XML binds a prefix once per tag,
//   for all of the tag's names).

CXmlWriter::CXmlWriter(const unsigned short* className)
    : CInstanceMonitor(className), m_bindings{{XmlPrefix(), XmlNamespace(), 0}} {}

CXmlWriter::CXmlWriter(const CXmlWriter& other)
    : CInstanceMonitor(other),
      m_defaultNamespaceUri(other.m_defaultNamespaceUri),
      m_namespaceMap(other.m_namespaceMap),
      m_bindings{{XmlPrefix(), XmlNamespace(), 0}} {}

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
  CXmlWriterContext* context = m_currentContext;
  if (context == nullptr) {
    m_defaultNamespaceUri = namespaceUri;
    return;
  }
  context->SetDefaultNamespace(namespaceUri);
  context->m_defaultBound = detail::SameText(OutputDefaultNamespace(), namespaceUri);
}

void CXmlWriter::AddNamespace(const String& prefix, const String& namespaceUri) {
  CXmlWriterContext* context = m_currentContext;
  if (context == nullptr) {
    m_namespaceMap[namespaceUri] = prefix;
    return;
  }
  context->AddNamespace(namespaceUri, prefix);
  // The new entry is not declared. Prefixes that this start tag used while
  // every entry was bound were not stamped: from now on any prefix bound
  // here may be one of them.
  if (context->m_prefixesBound && !namespaceUri.empty()) {
    context->m_prefixesBound = false;
    context->m_unstampedUses = context->m_startTagOpen;
  }
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
  for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it)
    MarkGenerated(it->second, taken);
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
  context->m_runs = nullptr;
  context->m_mixed = false;
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

void CXmlWriter::NoteObject(const CXmlObjectBase*) {}

void CXmlWriter::WriteDueRuns(CXmlWriterContext& context, bool atEnd) {
  const String* runs = context.m_runs;
  const size_t count = context.m_runCount;
  const size_t child = context.m_childCount;
  // Written runs are never written again: at the end, those after the
  // children; before child k, run k only.
  context.m_runs = nullptr;  // WriteText must not come back here
  if (atEnd) {
    for (size_t k = child; k < count; ++k) WriteText(runs[k]);
    return;
  }
  if (child < count) WriteText(runs[child]);
  context.m_runs = runs;
}

void CXmlWriter::PopContext() {
  CXmlWriterContext* context = m_currentContext;
  if (context == nullptr) return;
  m_currentContext = context->m_parent;
  if (m_bindings.size() != context->m_bindingMark) {
    if (m_defaultBinding != kNoDefault && m_defaultBinding >= context->m_bindingMark)
      m_defaultBinding = context->m_outerDefault;
    m_bindings.erase(m_bindings.begin() + static_cast<std::ptrdiff_t>(context->m_bindingMark),
                     m_bindings.end());
  }
  if (context->m_ownsMap) {
    delete context->m_scopeMap;
    context->m_ownsMap = false;
  }
  context->m_scopeMap = nullptr;
  context->m_parent = m_freeContexts;
  m_freeContexts = context;
}

const String& CXmlWriter::OutputDefaultNamespace() const {
  return m_defaultBinding == kNoDefault ? EmptyString() : m_bindings[m_defaultBinding].namespaceUri;
}

void CXmlWriter::Declare(CXmlWriterContext& context, const String& prefix,
                         const String& namespaceUri) {
  m_bindings.push_back(Binding{prefix, namespaceUri, context.m_tag});
  if (prefix.empty()) {
    // The first default declared on a tag saves the one it hides.
    if (m_defaultBinding == kNoDefault || m_defaultBinding < context.m_bindingMark)
      context.m_outerDefault = m_defaultBinding;
    m_defaultBinding = m_bindings.size() - 1;
    context.m_defaultBound = detail::SameText(namespaceUri, context.GetScopeDefaultNamespace());
  }
}

void CXmlWriter::DeclareRootNamespaces(CXmlWriterContext& root, bool declareDefault) {
  const String& defaultNamespace = m_defaultNamespaceUri;
  bool defaultDeclared = declareDefault && !defaultNamespace.empty();
  if (defaultDeclared) Declare(root, EmptyString(), defaultNamespace);
  root.m_defaultBound = defaultNamespace.empty() || defaultDeclared;
  // Each alias with a prefix of its own, in ascending URI order. XML cannot
  // bind one prefix twice on a tag, nor a prefix to no namespace: such
  // aliases are declared where a name needs them.
  const NamespaceMap& map = m_namespaceMap;
  std::vector<const String*> prefixes;
  if (map.size() > 1) {
    prefixes.reserve(map.size());
    for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it)
      if (!it->first.empty()) prefixes.push_back(&it->second);
    std::sort(prefixes.begin(), prefixes.end(),
              [](const String* a, const String* b) { return *a < *b; });
  }
  bool all = true;
  for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it) {
    if (it->first.empty()) continue;
    const String* prefix = &it->second;
    auto same = std::equal_range(prefixes.begin(), prefixes.end(), prefix,
                                 [](const String* a, const String* b) { return *a < *b; });
    if (same.second - same.first > 1) {
      all = false;
      continue;
    }
    Declare(root, it->second, it->first);
  }
  root.m_prefixesBound = all;
}

void CXmlWriter::DeclareForContent(CXmlWriterContext& context, const String& prefix,
                                   const String& namespaceUri) {
  // The default namespace stays the writer's choice for the names.
  if (prefix.empty() || namespaceUri.empty()) return;
  if (prefix.size() >= 3 && (prefix[0] == u'x' || prefix[0] == u'X') &&
      (prefix[1] == u'm' || prefix[1] == u'M') && (prefix[2] == u'l' || prefix[2] == u'L'))
    return;
  size_t found = m_bindings.size();
  while (found > 0 && !detail::SameText(m_bindings[found - 1].prefix, prefix)) --found;
  bool bound = false;
  if (found > 0) {
    const Binding& binding = m_bindings[found - 1];
    bound = detail::SameText(binding.namespaceUri, namespaceUri);
    // Bound to another namespace by this very tag: it stays.
    if (!bound && found - 1 >= context.m_bindingMark) return;
  }
  const NamespaceMap& map = context.GetScopeMap();
  const String* scopeUri = nullptr;
  for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it)
    if (detail::SameText(it->second, prefix)) {
      scopeUri = &it->first;
      break;
    }
  // The prefix becomes the scope's for its namespace (one the namespace had
  // is bound still, only no longer chosen), so that no prefix made up for
  // another namespace inside can be this one. A namespace that had this
  // prefix loses it: its names inside get one of their own rather than
  // taking the prefix back from the content.
  if (!detail::SameText(namespaceUri, XmlNamespace()) &&
      (scopeUri == nullptr || !detail::SameText(*scopeUri, namespaceUri))) {
    String previous = scopeUri != nullptr ? *scopeUri : String();
    context.AddNamespace(namespaceUri, prefix);
    if (scopeUri != nullptr) context.m_scopeMap->erase(previous);
  }
  if (!bound) Declare(context, prefix, namespaceUri);
}

CXmlWriter::CXmlWriterContext& CXmlWriter::StartElementScope(const String& localName,
                                                             const String& namespaceUri) {
  const String* const* content = m_nextDeclarations;
  const size_t contentCount = m_nextDeclarationCount;
  m_nextDeclarations = nullptr;
  m_nextDeclarationCount = 0;
  CXmlWriterContext* parent = m_currentContext;
  CXmlWriterContext& context = *PushContext(localName, namespaceUri);
  context.m_namePrefix.clear();
  context.m_bindingMark = m_bindings.size();
  context.m_tag = ++m_tagCount;
  context.m_unstampedUses = false;
  bool prefixed =
      !namespaceUri.empty() && !detail::SameText(namespaceUri, context.GetScopeDefaultNamespace());
  if (parent != nullptr) {
    // A child sees what its parent sees.
    context.m_defaultBound = parent->m_defaultBound;
    context.m_prefixesBound = parent->m_prefixesBound;
  } else {
    // A root without namespace would be moved by the default namespace.
    DeclareRootNamespaces(context, prefixed || !namespaceUri.empty());
  }
  if (content != nullptr)
    for (size_t i = 0; i < contentCount; ++i)
      DeclareForContent(context, *content[2 * i], *content[2 * i + 1]);
  if (prefixed) {
    bool declared = false;
    context.m_namePrefix.assign(ResolvePrefix(namespaceUri, declared));
    if (parent == nullptr && declared) {
      // The root's own prefix is declared before what was given for it.
      std::rotate(m_bindings.begin() + static_cast<std::ptrdiff_t>(context.m_bindingMark),
                  m_bindings.end() - 1, m_bindings.end());
      if (m_defaultBinding != kNoDefault) ++m_defaultBinding;
    }
  } else if (namespaceUri.empty()) {
    if (m_defaultBinding != kNoDefault && !m_bindings[m_defaultBinding].namespaceUri.empty())
      Declare(context, EmptyString(), EmptyString());
  } else if (!context.m_defaultBound &&
             !detail::SameText(OutputDefaultNamespace(), namespaceUri)) {
    Declare(context, EmptyString(), namespaceUri);
  }
  return context;
}

const String& CXmlWriter::ResolvePrefix(const String& namespaceUri, bool& declared) {
  CXmlWriterContext& context = *m_currentContext;
  const String* prefix = FindPrefix(context.GetScopeMap(), namespaceUri);
  if (prefix != nullptr && context.m_prefixesBound) {
    declared = false;
    return *prefix;
  }
  size_t count = m_bindings.size();
  const String& result = ResolveUncommon(context, prefix, namespaceUri);
  declared = m_bindings.size() != count;
  return result;
}

// A prefix to generate, or a scope whose entries may not all be bound.
const String& CXmlWriter::ResolveUncommon(CXmlWriterContext& context, const String* prefix,
                                          const String& namespaceUri) {
  if (prefix == nullptr) {
    if (detail::SameText(namespaceUri, XmlNamespace())) return XmlPrefix();
    context.AddNamespace(namespaceUri, GetUniquePrefix(context.GetScopeMap()));
    prefix = &context.GetPrefix(namespaceUri);
    // A generated prefix is no prefix of the scope's, so while all of those
    // are bound it cannot be in use on this tag.
    if (context.m_prefixesBound) {
      Declare(context, *prefix, namespaceUri);
      return *prefix;
    }
  }
  return ResolveUnbound(context, *prefix, namespaceUri);
}

// The slow way, for scopes whose entries may not all be bound in the output.
const String& CXmlWriter::ResolveUnbound(CXmlWriterContext& context, const String& prefix,
                                         const String& namespaceUri) {
  // The innermost binding of the prefix (defaults have no prefix).
  size_t found = m_bindings.size();
  while (found > 0 && !detail::SameText(m_bindings[found - 1].prefix, prefix)) --found;
  if (found > 0 && !prefix.empty()) {
    --found;
    Binding& binding = m_bindings[found];
    if (detail::SameText(binding.namespaceUri, namespaceUri)) {
      binding.usedByTag = context.m_tag;
      return prefix;
    }
    // Bound to another namespace. Rebinding it here is fine unless this
    // very tag declares or uses it ("xml" is never rebound).
    bool fixedHere = found == 0 || found >= context.m_bindingMark ||
                     binding.usedByTag == context.m_tag || context.m_unstampedUses;
    if (fixedHere) {
      for (size_t i = context.m_bindingMark; i < m_bindings.size(); ++i) {
        Binding& own = m_bindings[i];
        if (!own.prefix.empty() && detail::SameText(own.namespaceUri, namespaceUri)) {
          own.usedByTag = context.m_tag;
          return own.prefix;
        }
      }
      Declare(context, FreshPrefix(context), namespaceUri);
      return m_bindings.back().prefix;
    }
  }
  Declare(context, prefix, namespaceUri);
  return prefix;
}

String CXmlWriter::FreshPrefix(const CXmlWriterContext& context) const {
  // Neither a prefix of the scope nor one bound in the output.
  const NamespaceMap& map = context.GetScopeMap();
  std::vector<bool> taken(map.size() + m_bindings.size() + 1, false);
  for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it)
    MarkGenerated(it->second, taken);
  for (const Binding& binding : m_bindings) MarkGenerated(binding.prefix, taken);
  size_t n = 0;
  while (taken[n]) ++n;
  return NsIntToString(static_cast<int>(n));
}

String CXmlWriter::QNameToText(const CQName& value) {
  if (m_currentContext == nullptr || !m_currentContext->IsStartTagOpen())
    throw CVxException(VX_T("A QName value can only be written while a start tag is open."));
  bool declared = false;
  return ResolveQName(value, declared);
}

String CXmlWriter::ResolveQName(const CQName& value, bool& declared) {
  declared = false;
  CXmlWriterContext& context = *m_currentContext;
  const String& namespaceUri = value.GetNamespaceURI();
  const String& preferred = value.GetPrefix();
  if (namespaceUri.empty()) {
    if (!OutputDefaultNamespace().empty())
      throw CVxException(FormatString(
          VX_T("The QName [%s] has no namespace, but a default namespace is in force at the "
               "element [%s]"),
          value.GetLocalName().c_str(), context.GetLocalName().c_str()));
    return value.GetLocalName();
  }
  if (preferred.empty() && detail::SameText(OutputDefaultNamespace(), namespaceUri))
    return value.GetLocalName();
  const String* prefix = nullptr;
  if (!preferred.empty() && FindPrefix(context.GetScopeMap(), namespaceUri) == nullptr &&
      !detail::SameText(namespaceUri, XmlNamespace()) && IsFreePrefix(context, preferred)) {
    // The value's own prefix, unused so far: it joins the scope and is
    // declared here, as a generated one would be.
    context.AddNamespace(namespaceUri, preferred);
    size_t count = m_bindings.size();
    prefix = &ResolveUnbound(context, context.GetPrefix(namespaceUri), namespaceUri);
    declared = m_bindings.size() != count;
  } else {
    prefix = &ResolvePrefix(namespaceUri, declared);
  }
  String text = *prefix;
  text.push_back(u':');
  text += value.GetLocalName();
  return text;
}

bool CXmlWriter::IsFreePrefix(const CXmlWriterContext& context, const String& prefix) const {
  if (prefix.size() >= 3 && (prefix[0] == u'x' || prefix[0] == u'X') &&
      (prefix[1] == u'm' || prefix[1] == u'M') && (prefix[2] == u'l' || prefix[2] == u'L'))
    return false;  // reserved
  const NamespaceMap& map = context.GetScopeMap();
  for (NamespaceMap::const_iterator it = map.begin(); it != map.end(); ++it)
    if (detail::SameText(it->second, prefix)) return false;
  for (const Binding& binding : m_bindings)
    if (detail::SameText(binding.prefix, prefix)) return false;
  return true;
}

}  // namespace VxVevAva5
