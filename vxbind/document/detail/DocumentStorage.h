// -----------------------------------------------------------------------------
// File: DocumentStorage.h  (internal)
// -----------------------------------------------------------------------------
//
// DocumentStorage: everything a document's tree lives in. The pages of its
// elements, attributes and texts, its names, and the strings and lists that
// the accessors hand out (made on first use and kept until the tree goes).

#ifndef VXBIND_DOCUMENT_DETAIL_DOCUMENTSTORAGE_H
#define VXBIND_DOCUMENT_DETAIL_DOCUMENTSTORAGE_H

#include <deque>
#include <vector>

#include "vxbind/document/detail/Arena.h"
#include "vxbind/document/detail/NameTable.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CXmlAttribute;
class CXmlDocument;

namespace detail {

// What the accessors of an element hand out, made on first use.
struct ElementCache {
  const String* text = nullptr;
  const std::vector<CXmlAttribute*>* attributes = nullptr;
};

struct DocumentStorage {
  explicit DocumentStorage(const CXmlDocument* owner) : document(owner), names(this) {}
  DocumentStorage(const DocumentStorage&) = delete;
  DocumentStorage& operator=(const DocumentStorage&) = delete;

  const CXmlDocument* document;
  NameTable names;
  Arena arena;
  // The strings and lists handed out by the accessors.
  std::deque<String> strings;
  std::deque<std::vector<CXmlAttribute*>> attributeLists;
  std::deque<ElementCache> caches;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_DOCUMENTSTORAGE_H
