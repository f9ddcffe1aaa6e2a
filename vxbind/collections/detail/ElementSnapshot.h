// ElementSnapshot: a compact, immutable copy of document elements, which
// untyped content reads instead of making an object per element.
//
// Reading a wildcard's content copies its elements here (names once per
// distinct name, texts and values into pages) and makes CElement objects
// only for the elements read at the top; their attributes and children stay
// in the snapshot until someone asks for them (CElement makes them then),
// and are written straight from it. A snapshot is counted: it lives as long
// as some element still needs part of it. Freeing it frees its pages, so a
// subtree of any depth goes without recursion.
#ifndef VXBIND_COLLECTIONS_DETAIL_ELEMENTSNAPSHOT_H
#define VXBIND_COLLECTIONS_DETAIL_ELEMENTSNAPSHOT_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {


namespace detail {

// Texts and values are never null (an empty one has length 0).
struct SnapshotAttribute {
  const String* name;
  const String* namespaceUri;
  const unsigned short* value;
  uint32_t length;
};

struct SnapshotNode {
  const String* name;
  const String* namespaceUri;
  const unsigned short* text;
  uint32_t textLength;
  uint32_t textPosition;  // where the element stood in its parent's text
  uint32_t attributeCount;
  // The namespace declarations that the element's content may need, as
  // prefix, URI pairs ("" prefix: the default namespace; "" URI: an
  // undeclaration): those of its start tag, or for the element copied at
  // the top with ElementSnapshot::Copy's `inScope`, AppendContentBindings'.
  uint32_t declarationCount;
  const String* const* declarations;
  const SnapshotAttribute* attributes;
  const SnapshotNode* firstChild;
  const SnapshotNode* next;
};

// Appends the namespace bindings that the content of `element` needs once it
// is taken away from its ancestors: those declared on its own start tag, and
// of those it inherits, each whose prefix a text or attribute value in its
// subtree names ("p:" after a character that no name has), as a QName
// there may. The default namespace is left out: a writer chooses its own
// for the names.
void AppendContentBindings(const CXmlElement& element,
                           std::vector<CXmlElement::NamespaceBinding>& bindings);

class ElementSnapshot {
 public:
  ElementSnapshot() = default;
  ElementSnapshot(const ElementSnapshot&) = delete;
  ElementSnapshot& operator=(const ElementSnapshot&) = delete;

  // Counted atomically, unlike the objects that hold it: elements read in
  // one call share a snapshot without looking related, so two of them may
  // end up in object graphs that two threads use. Its content never changes
  // once copied, so reading it from two threads is safe too.
  int32_t AddRef() { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }
  int32_t Release() {
    int32_t count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) delete this;
    return count;
  }

  // Copies `element` with its attributes, text and subtree, without
  // recursion. Copies made from one document share its names; call
  // EndDocument before copying from another.
  // The copy keeps each element's namespace declarations; with `inScope`,
  // `element` itself keeps what AppendContentBindings gives, since its
  // ancestors are not copied.
  const SnapshotNode* Copy(const CXmlElement& element, bool inScope = true);
  // Forgets the document the names came from (its addresses may be reused).
  void EndDocument() { m_names.clear(); }

 private:
  void* Allocate(size_t bytes);
  const unsigned short* CopyUnits(const unsigned short* units, size_t length);
  const String* Intern(const String& name);

  std::vector<std::unique_ptr<unsigned char[]>> m_pages;
  unsigned char* m_free = nullptr;
  size_t m_left = 0;
  size_t m_nextPage = 1024;
  // The document's names (interned there, so one address per name) to ours.
  std::unordered_map<const String*, const String*> m_names;
  std::deque<String> m_ownNames;
  std::vector<CXmlElement::NamespaceBinding> m_bindings;  // scratch, reused
  std::atomic<int32_t> m_refCount{0};
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_DETAIL_ELEMENTSNAPSHOT_H
