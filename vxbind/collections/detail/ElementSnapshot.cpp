#include "vxbind/collections/detail/ElementSnapshot.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "vxbind/document/XmlDocument.h"

namespace VxVevAva5 {
namespace detail {
namespace {

// Pages start small (most wildcard content is small) and double up to this.
constexpr size_t kLargestPage = 256 * 1024;

size_t RoundUp(size_t bytes) { return (bytes + 7) & ~static_cast<size_t>(7); }

// What an empty text points to: never null, so that it can be handed to
// anything that copies units.
const unsigned short kNoUnits[1] = {0};

// Whether `unit` may stand in an XML name (not first): what tells a prefix
// from the text before it.
bool IsNameUnit(unsigned short unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
         (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'.' || unit == u'_' ||
         unit >= 0x80;
}

// Marks the bindings whose prefix stands before a colon in the `length`
// units at `text`; returns how many are still unmarked.
size_t MarkPrefixesUsed(const unsigned short* text, size_t length,
                        const std::vector<CXmlElement::NamespaceBinding>& bindings,
                        std::vector<bool>& used, size_t left) {
  for (size_t i = 0; i < length && left != 0; ++i) {
    if (text[i] != u':') continue;
    size_t start = i;
    while (start > 0 && IsNameUnit(text[start - 1])) --start;
    size_t size = i - start;
    if (size == 0) continue;
    for (size_t b = 0; b < bindings.size(); ++b) {
      const String& prefix = *bindings[b].prefix;
      if (!used[b] && prefix.size() == size &&
          std::equal(prefix.begin(), prefix.end(), text + start)) {
        used[b] = true;
        --left;
      }
    }
  }
  return left;
}

}  // namespace

void AppendContentBindings(const CXmlElement& element,
                           std::vector<CXmlElement::NamespaceBinding>& bindings) {
  std::vector<CXmlElement::NamespaceBinding> inScope;
  element.GetNamespacesInScope(inScope);
  if (inScope.empty()) return;
  std::vector<CXmlElement::NamespaceBinding> own;
  element.GetNamespaceDeclarations(own);
  // The element's own declarations are kept; the default namespace is not
  // (a writer chooses one for the names).
  std::vector<bool> used(inScope.size(), false);
  std::vector<bool> wanted(inScope.size(), true);
  size_t left = 0;
  for (size_t b = 0; b < inScope.size(); ++b) {
    for (const CXmlElement::NamespaceBinding& o : own)
      if (o.prefix == inScope[b].prefix) used[b] = true;
    if (inScope[b].prefix->empty()) used[b] = wanted[b] = false;
    if (!used[b] && wanted[b]) ++left;
  }
  // The subtree's texts and attribute values, without recursion.
  std::vector<const CXmlElement*> stack{&element};
  while (left != 0 && !stack.empty()) {
    const CXmlElement* e = stack.back();
    stack.pop_back();
    size_t length = 0;
    const unsigned short* text = e->GetTextData(length);
    left = MarkPrefixesUsed(text, length, inScope, used, left);
    for (size_t a = 0; a < e->GetAttributeCount() && left != 0; ++a) {
      const unsigned short* value = e->GetAttributeAt(a).GetValueData(length);
      left = MarkPrefixesUsed(value, length, inScope, used, left);
    }
    for (const CXmlElement* c = e->GetFirstElement(); c != nullptr; c = c->GetNextSiblingElement())
      stack.push_back(c);
  }
  for (size_t b = 0; b < inScope.size(); ++b)
    if (used[b] && wanted[b]) bindings.push_back(inScope[b]);
}

void* ElementSnapshot::Allocate(size_t bytes) {
  bytes = RoundUp(bytes);
  if (bytes > m_left) {
    // A block too big for a page gets a page of its own, so the current
    // page keeps its room.
    // The page is owned before the list grows, so that a list that cannot
    // grow frees it.
    if (bytes > m_nextPage / 4) {
      std::unique_ptr<unsigned char[]> own(new unsigned char[bytes]);
      m_pages.push_back(std::move(own));
      return m_pages.back().get();
    }
    std::unique_ptr<unsigned char[]> page(new unsigned char[m_nextPage]);
    m_pages.push_back(std::move(page));
    m_free = m_pages.back().get();
    m_left = m_nextPage;
    m_nextPage = std::min(m_nextPage * 2, kLargestPage);
  }
  void* p = m_free;
  m_free += bytes;
  m_left -= bytes;
  return p;
}

const unsigned short* ElementSnapshot::CopyUnits(const unsigned short* units, size_t length) {
  if (length == 0) return kNoUnits;
  if (length > SIZE_MAX / sizeof(unsigned short)) throw std::bad_alloc();
  auto* copy = static_cast<unsigned short*>(Allocate(length * sizeof(unsigned short)));
  std::memcpy(copy, units, length * sizeof(unsigned short));
  return copy;
}

const String* ElementSnapshot::Intern(const String& name) {
  auto found = m_names.find(&name);
  if (found != m_names.end()) return found->second;
  m_ownNames.push_back(name);
  const String* own = &m_ownNames.back();
  m_names.emplace(&name, own);
  return own;
}

const SnapshotNode* ElementSnapshot::Copy(const CXmlElement& element, bool inScope) {
  // Each copied element's node is filled at once; its children are linked in
  // as they are copied, from an explicit stack of (source, last child copied).
  auto copyOne = [this](const CXmlElement& source, bool top) {
    auto* node = static_cast<SnapshotNode*>(Allocate(sizeof(SnapshotNode)));
    node->name = Intern(source.GetLocalName());
    node->namespaceUri = Intern(source.GetNamespaceURI());
    size_t length = 0;
    const unsigned short* text = source.GetTextData(length);
    node->text = CopyUnits(text, length);
    node->textLength = static_cast<uint32_t>(length);
    node->textPosition = source.GetTextPosition();
    size_t count = source.GetAttributeCount();
    node->attributeCount = static_cast<uint32_t>(count);
    m_bindings.clear();
    if (top)
      AppendContentBindings(source, m_bindings);
    else
      source.GetNamespaceDeclarations(m_bindings);
    node->declarationCount = static_cast<uint32_t>(m_bindings.size());
    node->declarations = nullptr;
    if (!m_bindings.empty()) {
      auto* declarations =
          static_cast<const String**>(Allocate(2 * m_bindings.size() * sizeof(const String*)));
      for (size_t i = 0; i < m_bindings.size(); ++i) {
        declarations[2 * i] = Intern(*m_bindings[i].prefix);
        declarations[2 * i + 1] = Intern(*m_bindings[i].uri);
      }
      node->declarations = declarations;
    }
    node->attributes = nullptr;
    if (count > 0) {
      auto* attributes =
          static_cast<SnapshotAttribute*>(Allocate(count * sizeof(SnapshotAttribute)));
      for (size_t i = 0; i < count; ++i) {
        const CXmlAttribute& a = source.GetAttributeAt(i);
        size_t valueLength = 0;
        const unsigned short* value = a.GetValueData(valueLength);
        attributes[i].name = Intern(a.GetLocalName());
        attributes[i].namespaceUri = Intern(a.GetNamespaceURI());
        attributes[i].value = CopyUnits(value, valueLength);
        attributes[i].length = static_cast<uint32_t>(valueLength);
      }
      node->attributes = attributes;
    }
    node->firstChild = nullptr;
    node->next = nullptr;
    return node;
  };
  struct Frame {
    const CXmlElement* next;  // the next child of the source to copy
    SnapshotNode* node;
    SnapshotNode* lastChild;
  };
  SnapshotNode* root = copyOne(element, inScope);
  std::vector<Frame> stack{Frame{element.GetFirstElement(), root, nullptr}};
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == nullptr) {
      stack.pop_back();
      continue;
    }
    const CXmlElement* source = top.next;
    top.next = source->GetNextSiblingElement();
    SnapshotNode* child = copyOne(*source, false);
    if (top.lastChild != nullptr)
      top.lastChild->next = child;
    else
      top.node->firstChild = child;
    top.lastChild = child;
    stack.push_back(Frame{source->GetFirstElement(), child, nullptr});
  }
  return root;
}

}  // namespace detail
}  // namespace VxVevAva5
