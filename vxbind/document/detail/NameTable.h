// -----------------------------------------------------------------------------
// File: NameTable.h  (internal)
// -----------------------------------------------------------------------------
//
// NameTable: the names of one document's tree, each stored once. Elements
// and attributes point to an InternedName; equal names are equal pointers.
// The table hashes with a per-process secret key, so that input cannot be
// made of names that all collide.

#ifndef VXBIND_DOCUMENT_DETAIL_NAMETABLE_H
#define VXBIND_DOCUMENT_DETAIL_NAMETABLE_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

struct DocumentStorage;

// A name as the tree stores it: every element or attribute with the same
// namespace URI and local name points to the same record.
struct InternedName {
  DocumentStorage* storage = nullptr;  // names are per document
  String namespaceUri;
  String localName;
  String key;  // "uri|local", or "local" without namespace
  // The key in UTF-8, as the text reader meets it; set when the reader
  // first looks the name up (empty for names only ever made otherwise).
  mutable std::string utf8Key;
  size_t hash = 0;
  // Guesses of the text reader, which reads structured data faster by
  // checking them first: the two names that followed an element of this
  // name last, the first child's two last names, and the first attributes'
  // names.
  static constexpr uint32_t kAttributeHints = 6;
  mutable const InternedName* nextSibling[2] = {};
  mutable const InternedName* firstChild[2] = {};
  mutable const InternedName* attributes[kAttributeHints] = {};
};

class NameTable {
 public:
  explicit NameTable(DocumentStorage* owner);
  NameTable(const NameTable&) = delete;
  NameTable& operator=(const NameTable&) = delete;

  // The name record for an expanded name, "uri|local" or "local" (names
  // never contain '|'); `length` units, the first '|' at `bar` or npos.
  // Made on first use.
  const InternedName* Intern(const unsigned short* key, size_t length, size_t bar);
  // The same for a name given in two parts.
  const InternedName* Intern(const unsigned short* ns, size_t nsLength, const unsigned short* local,
                             size_t localLength);
  // The same for a NUL-terminated expanded name in UTF-8, whose UTF-8 key
  // the record keeps.
  const InternedName* InternExpanded(const char* name);

  // No namespace, no local name.
  const InternedName* Empty() const { return m_empty; }

 private:
  struct Slot {
    size_t hash = 0;
    const InternedName* name = nullptr;
  };
  void Insert(const InternedName* n);
  void Rehash(size_t size);

  DocumentStorage* m_owner;
  uint64_t m_key0, m_key1;
  std::deque<InternedName> m_names;
  std::vector<Slot> m_slots;  // open addressing, at most half full
  String m_scratch;
  std::vector<unsigned short> m_units;
  const InternedName* m_empty;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_NAMETABLE_H
