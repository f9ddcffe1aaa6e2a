// The document tree: page storage, name table, loading and building.
#include "vxbind/document/XmlDocument.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <new>
#include <random>
#include <utility>

#include "vxbind/core/Exceptions.h"
#include "vxbind/document/detail/ExpatReader.h"
#include "vxbind/platform/File.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

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
  size_t hash = 0;
  // Guesses of the text reader, which reads structured data faster by
  // checking them first: the name that followed an element of this name
  // last time, the first child's name, and the first attributes' names.
  static constexpr uint32_t kAttributeHints = 6;
  mutable const InternedName* nextSibling = nullptr;
  mutable const InternedName* firstChild = nullptr;
  mutable const InternedName* attributes[kAttributeHints] = {};
};

namespace {

// Bump allocation in pages. Nothing allocated here has a destructor to run:
// the pages are freed as a whole, so freeing a tree is one pass over its pages
// whatever its shape.
class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena() {
    while (m_pages != nullptr) {
      Page* next = m_pages->next;
      std::free(m_pages);
      m_pages = next;
    }
  }

  // `bytes` rounded up to 8, 8-aligned, uninitialised.
  void* Allocate(size_t bytes) {
    bytes = Round(bytes);
    if (static_cast<size_t>(m_end - m_cur) < bytes) return AllocateSlow(bytes);
    void* p = m_cur;
    m_cur += bytes;
    return p;
  }

  // Grows the block [p, p + oldBytes) to newBytes in place when it is the
  // last block allocated and the page has room.
  bool TryExtend(void* p, size_t oldBytes, size_t newBytes) {
    char* block = static_cast<char*>(p);
    if (block + Round(oldBytes) != m_cur) return false;
    if (static_cast<size_t>(m_end - block) < Round(newBytes)) return false;
    m_cur = block + Round(newBytes);
    return true;
  }

 private:
  struct Page {
    Page* next;
    size_t padding;  // keeps the data 16-aligned
  };
  // Pages start small, so that a short document takes little, and double up
  // to kMaxPageBytes, which stays under malloc's default mmap threshold: pages
  // come from the heap and are reused, not mapped and faulted in afresh.
  static constexpr size_t kFirstPageBytes = 8 * 1024 - sizeof(Page);
  static constexpr size_t kMaxPageBytes = 128 * 1024 - 64;

  static size_t Round(size_t bytes) { return (bytes + 7) & ~static_cast<size_t>(7); }

  static Page* NewPage(size_t data) {
    if (data > std::numeric_limits<size_t>::max() - sizeof(Page)) throw std::bad_alloc();
    Page* page = static_cast<Page*>(std::malloc(sizeof(Page) + data));
    if (page == nullptr) throw std::bad_alloc();
    return page;
  }

  void* AllocateSlow(size_t bytes) {
    // Blocks larger than a quarter page get a page of their own, so that the
    // rest of the current page is not wasted.
    bool own = bytes > m_pageBytes / 4;
    size_t data = own ? bytes : m_pageBytes;
    Page* page = NewPage(data);
    char* start = reinterpret_cast<char*>(page + 1);
    if (own && m_pages != nullptr) {
      // Keep the current page current: link the new one behind it.
      page->next = m_pages->next;
      m_pages->next = page;
      return start;
    }
    if (!own) m_pageBytes = std::min(m_pageBytes * 2 + sizeof(Page), kMaxPageBytes);
    page->next = m_pages;
    m_pages = page;
    m_cur = start + bytes;
    m_end = start + data;
    return start;
  }

  size_t m_pageBytes = kFirstPageBytes;
  Page* m_pages = nullptr;
  char* m_cur = nullptr;
  char* m_end = nullptr;
};

}  // namespace

// The key of the name table's hash, drawn once per process. Names come from
// the input: with a fixed or a weak hash a document could be made of names
// that all collide, and every new name would walk all earlier ones. Keyed
// SipHash-1-3 leaves an author no way to pick colliding names.
struct HashKey {
  uint64_t k0, k1;
};

namespace {

const HashKey& NameHashKey() {
  static const HashKey key = [] {
    HashKey k{0x2545F4914F6CDD1Dull, 0x9E3779B97F4A7C15ull};
    try {
      std::random_device device;
      k.k0 ^= (uint64_t{device()} << 32) | device();
      k.k1 ^= (uint64_t{device()} << 32) | device();
    } catch (...) {
      // No entropy source: fall back on the address space layout and clock.
      k.k0 ^= reinterpret_cast<uintptr_t>(&k);
      k.k1 ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    return k;
  }();
  return key;
}

inline uint64_t Rotl(uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

// SipHash-1-3 of the `n` units at `p`.
inline size_t HashUnits(const HashKey& key, const unsigned short* p, size_t n) {
  uint64_t v0 = key.k0 ^ 0x736F6D6570736575ull, v1 = key.k1 ^ 0x646F72616E646F6Dull;
  uint64_t v2 = key.k0 ^ 0x6C7967656E657261ull, v3 = key.k1 ^ 0x7465646279746573ull;
  auto round = [&] {
    v0 += v1; v1 = Rotl(v1, 13); v1 ^= v0; v0 = Rotl(v0, 32);
    v2 += v3; v3 = Rotl(v3, 16); v3 ^= v2;
    v0 += v3; v3 = Rotl(v3, 21); v3 ^= v0;
    v2 += v1; v1 = Rotl(v1, 17); v1 ^= v2; v2 = Rotl(v2, 32);
  };
  uint64_t last = uint64_t{(n * 2) & 0xFF} << 56;
  for (; n >= 4; p += 4, n -= 4) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    v3 ^= w;
    round();
    v0 ^= w;
  }
  for (size_t i = 0; i < n; ++i) last |= uint64_t{p[i]} << (16 * i);
  v3 ^= last;
  round();
  v0 ^= last;
  v2 ^= 0xFF;
  round();
  round();
  round();
  return static_cast<size_t>(v0 ^ v1 ^ v2 ^ v3);
}

}  // namespace

// What the accessors of an element hand out, made on first use.
struct ElementCache {
  const String* text = nullptr;
  const std::vector<CXmlAttribute*>* attributes = nullptr;
};

struct DocumentStorage {
  explicit DocumentStorage(const CXmlDocument* owner) : document(owner), slots(64) {
    empty = Intern(nullptr, 0, String::npos);
  }

  // The name record for an expanded name, "uri|local" or "local" (names
  // never contain '|'); `length` units, the first '|' at `bar` or npos.
  // Made on first use.
  const InternedName* Intern(const unsigned short* key, size_t length, size_t bar) {
    size_t hash = HashUnits(hashKey, key, length);
    size_t mask = slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots[i];
      if (slot.name == nullptr) break;
      if (slot.hash == hash && slot.name->key.size() == length &&
          (length == 0 || std::memcmp(slot.name->key.data(), key, length * 2) == 0))
        return slot.name;
    }
    InternedName n;
    n.storage = this;
    if (length != 0) n.key.assign(key, length);
    if (bar == String::npos) {
      n.localName = n.key;
    } else {
      n.namespaceUri = n.key.substr(0, bar);
      n.localName = n.key.substr(bar + 1);
    }
    n.hash = hash;
    names.push_back(std::move(n));
    const InternedName* added = &names.back();
    if ((names.size() + 1) * 2 > slots.size()) Rehash(slots.size() * 2);
    Insert(added);
    return added;
  }

  // The same for a name given in two parts.
  const InternedName* Intern(const unsigned short* ns, size_t nsLength,
                             const unsigned short* local, size_t localLength) {
    if (nsLength == 0) return Intern(local, localLength, String::npos);
    scratch.assign(ns, nsLength);
    scratch += u'|';
    scratch.append(local, localLength);
    return Intern(scratch.data(), scratch.size(), nsLength);
  }

  const CXmlDocument* document;
  const HashKey hashKey = NameHashKey();
  const InternedName* empty;  // no namespace, no local name
  Arena arena;
  // The strings and lists handed out by the accessors.
  std::deque<String> strings;
  std::deque<std::vector<CXmlAttribute*>> attributeLists;
  std::deque<ElementCache> caches;

 private:
  struct Slot {
    size_t hash = 0;
    const InternedName* name = nullptr;
  };
  void Insert(const InternedName* n) {
    size_t mask = slots.size() - 1;
    size_t i = n->hash & mask;
    while (slots[i].name != nullptr) i = (i + 1) & mask;
    slots[i] = Slot{n->hash, n};
  }
  void Rehash(size_t size) {
    slots.assign(size, Slot());
    for (const InternedName& n : names) Insert(&n);
  }

  std::deque<InternedName> names;
  std::vector<Slot> slots;  // open addressing, at most half full
  String scratch;
};

}  // namespace detail

namespace {

const String& EmptyString() {
  static const String empty;
  return empty;
}

detail::DocumentStorage& StorageOf(const detail::InternedName* name) { return *name->storage; }

detail::ElementCache& CacheOf(detail::ElementCache*& cache, detail::DocumentStorage& storage) {
  if (cache == nullptr) {
    storage.caches.emplace_back();
    cache = &storage.caches.back();
  }
  return *cache;
}

const std::vector<CXmlAttribute*>& EmptyAttributeList() {
  static const std::vector<CXmlAttribute*> empty;
  return empty;
}

const detail::InternedName* InternExpanded(detail::DocumentStorage& storage,
                                           const unsigned short* name) {
  size_t bar = String::npos;
  size_t length = 0;
  for (; name[length] != 0; ++length)
    if (name[length] == u'|' && bar == String::npos) bar = length;
  return storage.Intern(name, length, bar);
}

// True when `name` is the NUL-terminated expanded name of `n`.
inline bool KeyEquals(const detail::InternedName* n, const unsigned short* name) {
  if (n == nullptr) return false;
  const unsigned short* key = n->key.data();
  size_t length = n->key.size();
  for (size_t i = 0; i < length; ++i)
    if (name[i] != key[i]) return false;  // also stops at the end of a shorter name
  return name[length] == 0;
}

[[noreturn]] void ThrowTextTooLong(const CXmlElement& element) {
  throw CVxException(FormatString(VX_T("The text of the element [%s] is too long"),
                                  element.GetLocalName().c_str()));
}

bool IsOneOf(const String& s, std::initializer_list<const unsigned short*> texts) {
  for (const unsigned short* t : texts)
    if (Utf16::Equal(s.c_str(), t)) return true;
  return false;
}

}  // namespace

// --- CXmlAttribute ----------------------------------------------------------

const String& CXmlAttribute::GetLocalName() const { return m_name->localName; }

const String& CXmlAttribute::GetNamespaceURI() const { return m_name->namespaceUri; }

const String& CXmlAttribute::GetValue() const {
  if (m_valueLength == 0) return EmptyString();
  if (m_valueString == nullptr) {
    std::deque<String>& strings = StorageOf(m_name).strings;
    strings.emplace_back(m_value, m_valueLength);
    m_valueString = &strings.back();
  }
  return *m_valueString;
}

bool CXmlAttribute::IsNamespaceAttribute() const {
  return IsOneOf(m_name->namespaceUri, {VX_T("http://www.w3.org/2001/XMLSchema-instance"),
                                        VX_T("http://www.w3.org/2000/xmlns/")}) &&
         IsOneOf(m_name->localName, {VX_T("xmlns"), VX_T("type"), VX_T("schemaLocation"),
                                     VX_T("noNamespaceSchemaLocation")});
}

// --- CXmlElement ------------------------------------------------------------

CXmlElement::CXmlElement(const CXmlDocument* document)
    : CInstanceMonitor(VX_T("CXmlElement")), m_name(document->Storage().empty) {}

const CXmlDocument* CXmlElement::GetDocument() const { return StorageOf(m_name).document; }

const String& CXmlElement::GetLocalName() const { return m_name->localName; }

const String& CXmlElement::GetNamespaceURI() const { return m_name->namespaceUri; }

const String& CXmlElement::GetText() const {
  if (m_textLength == 0) return EmptyString();
  detail::DocumentStorage& storage = StorageOf(m_name);
  detail::ElementCache& cache = CacheOf(m_cache, storage);
  if (cache.text == nullptr) {
    storage.strings.emplace_back(m_text, m_textLength);
    cache.text = &storage.strings.back();
  }
  return *cache.text;
}

const std::vector<CXmlAttribute*>& CXmlElement::GetAttributes() const {
  if (m_attributeCount == 0) return EmptyAttributeList();
  detail::DocumentStorage& storage = StorageOf(m_name);
  detail::ElementCache& cache = CacheOf(m_cache, storage);
  if (cache.attributes == nullptr) {
    storage.attributeLists.emplace_back();
    std::vector<CXmlAttribute*>& list = storage.attributeLists.back();
    list.reserve(m_attributeCount);
    for (uint32_t i = 0; i < m_attributeCount; ++i) list.push_back(&m_attributes[i]);
    cache.attributes = &list;
  }
  return *cache.attributes;
}

const String& CXmlElement::GetAttribute(const String& localName,
                                        const String& namespaceUri) const {
  for (uint32_t i = 0; i < m_attributeCount; ++i) {
    const CXmlAttribute& a = m_attributes[i];
    if (a.m_name->localName == localName && a.m_name->namespaceUri == namespaceUri)
      return a.GetValue();
  }
  return EmptyString();
}

CXmlElement* CXmlElement::CreateNewChildElement() {
  detail::DocumentStorage& storage = StorageOf(m_name);
  CXmlElement* child = storage.document->NewElement(storage.empty);
  if (m_lastChild != nullptr)
    m_lastChild->m_nextSibling = child;
  else
    m_firstChild = child;
  m_lastChild = child;
  return child;
}

void CXmlElement::SetElementName(const unsigned short* localName) {
  const String& ns = m_name->namespaceUri;
  m_name = StorageOf(m_name).Intern(ns.data(), ns.size(), localName, Utf16::Length(localName));
}

void CXmlElement::SetNamespace(const unsigned short* namespaceUri) {
  const String& local = m_name->localName;
  m_name = StorageOf(m_name).Intern(namespaceUri, Utf16::Length(namespaceUri), local.data(),
                                        local.size());
}

void CXmlElement::AddAttribute(const String& localName, const String& value,
                               const String& namespaceUri) {
  detail::DocumentStorage& storage = StorageOf(m_name);
  CXmlAttribute* a = NewAttribute();
  a->m_name = storage.Intern(namespaceUri.data(), namespaceUri.size(), localName.data(),
                             localName.size());
  if (value.size() > std::numeric_limits<uint32_t>::max()) ThrowTextTooLong(*this);
  if (!value.empty()) {
    auto* copy = static_cast<unsigned short*>(storage.arena.Allocate(value.size() * 2));
    std::memcpy(copy, value.data(), value.size() * 2);
    a->m_value = copy;
    a->m_valueLength = static_cast<uint32_t>(value.size());
  }
}

CXmlAttribute* CXmlElement::NewAttribute() {
  if (m_attributeCount == m_attributeCapacity) {
    uint32_t capacity = m_attributeCapacity == 0 ? 4 : m_attributeCapacity * 2;
    if (m_attributeCapacity > std::numeric_limits<uint32_t>::max() / 2) throw std::bad_alloc();
    auto* grown = static_cast<CXmlAttribute*>(
        StorageOf(m_name).arena.Allocate(sizeof(CXmlAttribute) * size_t{capacity}));
    for (uint32_t i = 0; i < m_attributeCount; ++i) {
      CXmlAttribute* a = new (&grown[i]) CXmlAttribute();
      const CXmlAttribute& old = m_attributes[i];
      a->m_name = old.m_name;
      a->m_value = old.m_value;
      a->m_valueLength = old.m_valueLength;
      a->m_valueString = old.m_valueString;
    }
    m_attributes = grown;
    m_attributeCapacity = capacity;
    if (m_cache != nullptr) m_cache->attributes = nullptr;
  }
  CXmlAttribute* a = new (&m_attributes[m_attributeCount++]) CXmlAttribute();
  a->m_name = StorageOf(m_name).empty;
  if (m_cache != nullptr) m_cache->attributes = nullptr;
  return a;
}

void CXmlElement::AppendText(const unsigned short* text, int length) {
  AppendRun(text, length < 0 ? Utf16::Length(text) : static_cast<size_t>(length));
}

void CXmlElement::AppendText(const unsigned short* text) { AppendRun(text, Utf16::Length(text)); }

void CXmlElement::AppendRun(const unsigned short* text, size_t length) {
  if (length == 0) return;
  size_t newLength = m_textLength + length;
  if (length > std::numeric_limits<uint32_t>::max() ||
      newLength > std::numeric_limits<uint32_t>::max())
    ThrowTextTooLong(*this);
  if (newLength > m_textCapacity) {
    auto& arena = StorageOf(m_name).arena;
    if (m_text != nullptr && arena.TryExtend(m_text, size_t{m_textCapacity} * 2, newLength * 2)) {
      m_textCapacity = static_cast<uint32_t>(newLength);
    } else {
      // The first piece is stored exactly; later growth doubles, so text
      // that arrives in many pieces is copied O(1) times per unit.
      size_t capacity = m_textLength == 0 ? newLength
                                          : std::max(newLength, size_t{m_textCapacity} * 2);
      capacity = std::min<size_t>(capacity, std::numeric_limits<uint32_t>::max());
      auto* grown = static_cast<unsigned short*>(arena.Allocate(capacity * 2));
      if (m_textLength != 0) std::memcpy(grown, m_text, size_t{m_textLength} * 2);
      m_text = grown;
      m_textCapacity = static_cast<uint32_t>(capacity);
    }
  }
  std::memcpy(m_text + m_textLength, text, length * 2);
  m_textLength = static_cast<uint32_t>(newLength);
  if (m_cache != nullptr) m_cache->text = nullptr;
}

// --- CXmlDocument -----------------------------------------------------------

CXmlDocument::CXmlDocument(SchemaType schemaType)
    : CInstanceMonitor(VX_T("CXmlDocument")), m_schemaType(schemaType) {}

CXmlDocument::~CXmlDocument() { CXmlDocument::Cleanup(); }

void CXmlDocument::Cleanup() {
  m_documentElement = nullptr;
  std::vector<CXmlElement*>().swap(m_openElements);
  m_prefixes.clear();
  ReleaseInput();
  m_storage.reset();
}

void CXmlDocument::ReleaseInput() {
  m_inputBomLength = 0;
  m_inputData = nullptr;
  m_inputLength = 0;
  std::vector<unsigned char>().swap(m_input);
}

detail::DocumentStorage& CXmlDocument::MakeStorage() const {
  m_storage.reset(new detail::DocumentStorage(this));
  return *m_storage;
}

void CXmlDocument::Load(const unsigned short* path) {
  Cleanup();
  File::ReadStep step;
  if (int error = File::ReadAll(path, m_input, &step)) {
    const unsigned short* format =
        step == File::ReadStep::kOpen ? VX_T("Failed to open the file [%s] Error [0x%08x]")
        : step == File::ReadStep::kSize
            ? VX_T("Failed to get the size of the file [%s] Error [0x%08x]")
            : VX_T("Failed to read the contents of the file [%s] Error [0x%08x]");
    throw CVxException(FormatString(format, path, static_cast<unsigned>(error)));
  }
  m_inputData = m_input.data();
  m_inputLength = m_input.size();
  Parse(false);
}

void CXmlDocument::LoadXmlStream(unsigned char* const bytes, uint32_t length) {
  Cleanup();
  if (length == 0 || bytes == nullptr) throw CVxException(VX_T("XML Stream is empty!"));
  // The bytes are only read, and only during this call: no copy is needed
  // unless they must be inflated.
  m_inputData = bytes;
  m_inputLength = length;
  Parse(false);
}

void CXmlDocument::LoadXml(const char* text) {
  Cleanup();
  if (text == nullptr || *text == '\0') throw CVxException(VX_T("XML String is empty!"));
  m_inputData = reinterpret_cast<const unsigned char*>(text);
  m_inputLength = std::strlen(text);
  Parse(true);
}

void CXmlDocument::LoadXml(const unsigned short* text) {
  Cleanup();
  size_t units = Utf16::Length(text);
  if (units == 0) throw CVxException(VX_T("XML String is empty!"));
  if (units > std::numeric_limits<size_t>::max() / 2) throw std::bad_alloc();
  // The parser reads a byte order mark, then the units as they are in
  // memory: the mark written in native order tells it which order that is.
  const unsigned short bom = 0xFEFF;
  std::memcpy(m_inputBom, &bom, 2);
  m_inputBomLength = 2;
  m_inputData = reinterpret_cast<const unsigned char*>(text);
  m_inputLength = units * 2;
  Parse(true);
}

String CXmlDocument::LookupNamespaceFromAlias(const unsigned short* prefix) const {
  auto it = m_prefixes.find(Utf16::Make(prefix));
  return it == m_prefixes.end() ? String() : it->second;
}

void CXmlDocument::Parse(bool asText) {
  // The input is needed only while the tree is built, on every path.
  struct InputRelease {
    CXmlDocument& document;
    ~InputRelease() { document.ReleaseInput(); }
  } release{*this};

  bool parsed = false;
  if (!asText) {
    InflateInput();
    // Fast Infoset input is recognised here, after inflation: when its reader
    // recognises the input, it builds the tree and sets `parsed`.
  }
  if (!parsed) {
    CExpatReader reader(this);
    reader.Parse();
  }
  if (m_documentElement == nullptr) throw CVxException(VX_T("Invalid or empty XML document"));
}

void CXmlDocument::InflateInput() {
  z_stream zs;
  std::memset(&zs, 0, sizeof zs);
  // 15 + 32: a zlib or a gzip header is recognised automatically.
  if (inflateInit2(&zs, 47) != Z_OK) return;
  struct End {
    z_stream& zs;
    ~End() { inflateEnd(&zs); }
  } end{zs};

  // A few hundred bytes of deflate data can expand to gigabytes. Like
  // Expat's entity protection, allow any size up to an activation threshold
  // and beyond it at most a fixed factor of the compressed size.
  constexpr size_t kActivation = size_t{64} << 20;
  constexpr size_t kMaxFactor = 256;
  const size_t limit = std::max(kActivation, m_inputLength <= SIZE_MAX / kMaxFactor
                                                 ? m_inputLength * kMaxFactor : SIZE_MAX);
  constexpr size_t kPiece = 65536;
  std::unique_ptr<unsigned char[]> piece(new unsigned char[kPiece]);
  std::vector<unsigned char> output;
  const unsigned char* next = m_inputData;
  size_t left = m_inputLength;
  int status = Z_OK;
  while (status == Z_OK) {
    // avail_in is 32 bits wide: feed larger input in slices.
    if (zs.avail_in == 0 && left > 0) {
      uInt slice = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
      zs.next_in = const_cast<unsigned char*>(next);
      zs.avail_in = slice;
      next += slice;
      left -= slice;
    }
    zs.next_out = piece.get();
    zs.avail_out = kPiece;
    status = inflate(&zs, Z_NO_FLUSH);
    size_t produced = kPiece - zs.avail_out;
    if (produced > limit - output.size())
      throw CVxException(FormatString(
          VX_T("Compressed input expands to more than %u times its size; it is not read"),
          static_cast<unsigned>(kMaxFactor)));
    output.insert(output.end(), piece.get(), piece.get() + produced);
  }
  // Anything but a complete stream (plain text, damaged data) is parsed as
  // it stands.
  if (status == Z_STREAM_END) {
    m_input.swap(output);
    m_inputData = m_input.data();
    m_inputLength = m_input.size();
  }
}

CXmlElement* CXmlDocument::NewElement(const detail::InternedName* name) const {
  void* p = Storage().arena.Allocate(sizeof(CXmlElement));
  CXmlElement* e = new (p) CXmlElement(this);
  e->m_name = name;
  return e;
}

CXmlElement* CXmlDocument::AddDocElement(const unsigned short* namespaceUri,
                                         const unsigned short* localName) {
  CXmlElement* e = NewElement(Storage().Intern(namespaceUri, Utf16::Length(namespaceUri),
                                               localName, Utf16::Length(localName)));
  m_documentElement = e;
  m_openElements.push_back(e);
  return e;
}

CXmlElement* CXmlDocument::AddChildElement(const unsigned short* namespaceUri,
                                           const unsigned short* localName) {
  if (m_openElements.empty())
    throw CVxInvalidStateException(VX_T("There is no open element to add a child to"));
  CXmlElement* e = m_openElements.back()->CreateNewChildElement();
  e->m_name = Storage().Intern(namespaceUri, Utf16::Length(namespaceUri), localName,
                               Utf16::Length(localName));
  m_openElements.push_back(e);
  return e;
}

void CXmlDocument::AddElementAttribute(CXmlElement* element, const String& localName,
                                       const String& value, const String& namespaceUri) {
  element->AddAttribute(localName, value, namespaceUri);
}

void CXmlDocument::AppendTextExcludingCR(CXmlElement* element, const unsigned short* text,
                                         size_t length) {
  const unsigned short* p = text;
  const unsigned short* end = text + length;
  const unsigned short* run = p;
  while (p != end) {
    unsigned short c = *p;
    if (c > 0x0D || (c != 0x0D && c != 0)) {
      ++p;
      continue;
    }
    element->AppendRun(run, static_cast<size_t>(p - run));
    if (c == 0) return;
    run = ++p;
  }
  element->AppendRun(run, static_cast<size_t>(p - run));
}

void CXmlDocument::AppendTextExcludingCR(CXmlElement* element, const unsigned short* text) {
  AppendTextExcludingCR(element, text, Utf16::Length(text));
}

CXmlElement* CXmlDocument::AddElementExpanded(const unsigned short* expandedName,
                                              const unsigned short** attributes) {
  detail::DocumentStorage& storage = Storage();
  CXmlElement* parent = nullptr;
  if (m_documentElement != nullptr) {
    if (m_openElements.empty())
      throw CVxInvalidStateException(VX_T("There is no open element to add a child to"));
    parent = m_openElements.back();
  }
  // Data documents repeat their structure: the name that followed the
  // previous sibling last time (or that came first in an element of the
  // parent's name) is checked before the name table is searched.
  const detail::InternedName*& hint =
      parent == nullptr              ? storage.empty->firstChild
      : parent->m_lastChild != nullptr ? parent->m_lastChild->m_name->nextSibling
                                       : parent->m_name->firstChild;
  if (!KeyEquals(hint, expandedName)) hint = InternExpanded(storage, expandedName);
  CXmlElement* e = NewElement(hint);
  if (parent == nullptr) {
    m_documentElement = e;
  } else {
    if (parent->m_lastChild != nullptr)
      parent->m_lastChild->m_nextSibling = e;
    else
      parent->m_firstChild = e;
    parent->m_lastChild = e;
  }
  m_openElements.push_back(e);

  uint32_t count = 0;
  for (const unsigned short** p = attributes; *p != nullptr; p += 2) ++count;
  if (count == 0) return e;
  auto* array = static_cast<CXmlAttribute*>(
      storage.arena.Allocate(sizeof(CXmlAttribute) * size_t{count}));
  e->m_attributes = array;
  e->m_attributeCapacity = count;
  for (uint32_t i = 0; i < count; ++i, attributes += 2) {
    CXmlAttribute* a = new (&array[i]) CXmlAttribute();
    const unsigned short* name = attributes[0];
    if (i < detail::InternedName::kAttributeHints) {
      const detail::InternedName*& h = e->m_name->attributes[i];
      if (!KeyEquals(h, name)) h = InternExpanded(storage, name);
      a->m_name = h;
    } else {
      a->m_name = InternExpanded(storage, name);
    }
    // Counted once named: a failure (out of memory) leaves no attribute
    // without a name in the tree that the document keeps.
    ++e->m_attributeCount;
    const unsigned short* value = attributes[1];
    size_t length = 0;
    while (value[length] != 0) ++length;
    if (length > std::numeric_limits<uint32_t>::max()) ThrowTextTooLong(*e);
    if (length != 0) {
      auto* copy = static_cast<unsigned short*>(storage.arena.Allocate(length * 2));
      std::memcpy(copy, value, length * 2);
      a->m_value = copy;
      a->m_valueLength = static_cast<uint32_t>(length);
    }
  }
  return e;
}

}  // namespace VxVevAva5
