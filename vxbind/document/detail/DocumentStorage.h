// -----------------------------------------------------------------------------
// File: DocumentStorage.h  (internal)
// -----------------------------------------------------------------------------
//
// DocumentStorage: everything a document's tree lives in. The pages of its
// elements, attributes and texts, its names, the namespace bindings in scope
// at its elements, and the strings and lists that the accessors hand out
// (made on first use and kept until the tree goes).

#ifndef VXBIND_DOCUMENT_DETAIL_DOCUMENTSTORAGE_H
#define VXBIND_DOCUMENT_DETAIL_DOCUMENTSTORAGE_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "vxbind/document/detail/Arena.h"
#include "vxbind/document/detail/NameTable.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CXmlAttribute;
class CXmlDocument;
class CXmlElement;

namespace detail {

// What the accessors of an element hand out, made on first use.
struct PullState;

struct ElementCache {
  const String* text = nullptr;
  const std::vector<CXmlAttribute*>* attributes = nullptr;
};

// An attribute as a reader hands it over: its name, and its value already
// in the document's pages.
struct AttributeInit {
  const InternedName* name;
  const unsigned short* value;
  uint32_t length;
};

// A change of what a prefix is bound to: from the element numbered `from`
// on (elements are numbered in document order), the prefix stands for `uri`;
// null when it stands for nothing (never declared there, or undeclared).
struct PrefixBinding {
  uint32_t from;
  const String* uri;
};

// A namespace declaration of an element that may still be open, while the
// document is read: when the element has ended, the binding it replaced is
// in force again from the next element on.
struct OpenDeclaration {
  uint32_t element;  // the declaring element's number
  size_t depth;      // and its depth, the root's being 1
  std::vector<PrefixBinding>* bindings;
  const String* replaced;
};

// What the document knows of one prefix.
struct PrefixRecord {
  std::vector<PrefixBinding> bindings;
  std::map<String, String>::iterator flatEntry;  // its entry in the document's flat map
  const String* lastDeclared = nullptr;          // the URI it was last declared with
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

  // Namespace bindings in scope: for each prefix declared anywhere ("" is
  // the default namespace), its changes in document order, so that the
  // binding in force at an element is found by binary search whatever the
  // depth and the number of declarations. The URIs live in `strings`.
  std::map<String, PrefixRecord, std::less<>> prefixes;
  std::vector<OpenDeclaration> openDeclarations;  // innermost last
  // Every declaration in document order: the declaring element's number
  // (non-decreasing), and the prefix (a key of `prefixes`) and URI (null for
  // an undeclaration) it declared.
  std::vector<uint32_t> declarationElements;
  std::vector<std::pair<const String*, const String*>> declarations;
  uint32_t elementCount = 0;                      // the next element's number

  // -- Recycling (documents read while binding) ------------------------------
  // A document that frees the subtrees binding is done with takes its
  // blocks by size class (powers of two from 16 bytes to 64 KiB; larger ones
  // come from the arena and stay until the document goes) and puts freed
  // ones on a list per class, so that a long run of siblings reuses the
  // memory of the ones before. Off, every block comes from the arena as it
  // is asked for.
  struct FreeBlock {
    FreeBlock* next;
  };
  static constexpr size_t kMinClassBytes = 16;
  static constexpr int kClasses = 13;  // 16 B .. 64 KiB
  bool recycling = false;
  FreeBlock* freeBlocks[kClasses] = {};
  FreeBlock* freeElements = nullptr;
  std::vector<String*> freeStrings;
  std::vector<ElementCache*> freeCaches;
  std::vector<std::vector<CXmlAttribute*>*> freeAttributeLists;
  std::vector<CXmlElement*> releaseStack;

  // The class of a block of `bytes`, or -1 beyond the largest.
  static int ClassOf(size_t bytes) {
    if (bytes <= kMinClassBytes) return 0;
    int c = 64 - __builtin_clzll(static_cast<unsigned long long>(bytes - 1)) - 4;
    return c < kClasses ? c : -1;
  }
  // The bytes a block of `bytes` takes (its class's size when recycling).
  size_t BlockBytes(size_t bytes) const {
    if (!recycling) return bytes;
    int c = ClassOf(bytes);
    return c < 0 ? bytes : kMinClassBytes << c;
  }
  void* AllocateBlock(size_t bytes) {
    if (!recycling) return arena.Allocate(bytes);
    int c = ClassOf(bytes);
    if (c < 0) return arena.Allocate(bytes);
    if (FreeBlock* b = freeBlocks[c]) {
      freeBlocks[c] = b->next;
      return b;
    }
    return arena.Allocate(kMinClassBytes << c);
  }
  // A block of `bytes` that AllocateBlock gave, while recycling.
  void FreeBlockOf(void* p, size_t bytes) {
    int c = ClassOf(bytes);
    if (p == nullptr || c < 0) return;
    auto* b = static_cast<FreeBlock*>(p);
    b->next = freeBlocks[c];
    freeBlocks[c] = b;
  }
  // A block whose size is known exactly (a text buffer's capacity): used
  // again only when that is a whole class, whoever allocated it.
  void FreeExactBlock(void* p, size_t bytes) {
    int c = ClassOf(bytes);
    if (c >= 0 && (kMinClassBytes << c) == bytes) FreeBlockOf(p, bytes);
  }
  // A string for the accessors' caches.
  const String* MakeString(const unsigned short* data, size_t length) {
    if (!freeStrings.empty()) {
      String* s = freeStrings.back();
      s->assign(data, length);
      freeStrings.pop_back();
      return s;
    }
    strings.emplace_back(data, length);
    return &strings.back();
  }
  void FreeString(const String* s) {
    if (s == nullptr) return;
    String* owned = const_cast<String*>(s);
    String().swap(*owned);
    freeStrings.push_back(owned);
  }

  // The state of a document read while binding; null otherwise.
  struct PullState* pull = nullptr;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_DOCUMENTSTORAGE_H
