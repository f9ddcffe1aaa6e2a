// The document tree: its elements and attributes, loading and building.
#include "vxbind/document/XmlDocument.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "vxbind/base/Exceptions.h"
#include "vxbind/base/detail/FastInfosetHeader.h"
#include "vxbind/document/detail/ByteSource.h"
#include "vxbind/document/detail/DocumentStorage.h"
#include "vxbind/document/detail/ExpatReader.h"
#include "vxbind/document/detail/FastInfosetReader.h"
#include "vxbind/document/detail/Utf8ToUtf16.h"
#include "vxbind/platform/detail/File.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/detail/Compression.h"

namespace VxVevAva5 {

namespace detail {

// A document read while binding: its input, the parser that stays with it
// between pieces, and how the input ended.
struct PullState {
  explicit PullState(CXmlDocument* document) : reader(document) {}
  std::unique_ptr<ByteSource> source;
  CExpatReader reader;
  std::exception_ptr failure;  // of the input, thrown by FinishRead
  bool ended = false;          // nothing more comes: failed or read to the end
};

}  // namespace detail

namespace {

// What GetLastTreeBytes reports.
thread_local size_t t_lastTreeBytes = 0;

const String& EmptyString() {
  static const String empty;
  return empty;
}

detail::DocumentStorage& StorageOf(const detail::InternedName* name) { return *name->storage; }

detail::ElementCache& CacheOf(detail::ElementCache*& cache, detail::DocumentStorage& storage) {
  if (cache == nullptr) {
    if (!storage.freeCaches.empty()) {
      cache = storage.freeCaches.back();
      storage.freeCaches.pop_back();
    } else {
      storage.caches.emplace_back();
      cache = &storage.caches.back();
    }
  }
  return *cache;
}

const std::vector<CXmlAttribute*>& EmptyAttributeList() {
  static const std::vector<CXmlAttribute*> empty;
  return empty;
}

// True when `name` is the NUL-terminated expanded name of `n`.
// Four bytes a step: a byte of `name` is read only after the one before it
// matched a byte of the key, which is never NUL, so a shorter name stops at
// its terminator and nothing past it is read. A record whose UTF-8 key is
// not known yet matches nothing.
inline bool KeyEquals(const detail::InternedName* n, const char* name) {
  if (n == nullptr) return false;
  const char* key = n->utf8Key.data();
  size_t length = n->utf8Key.size();
  if (length == 0) return false;
  size_t i = 0;
  for (; i + 4 <= length; i += 4)
    if (name[i] != key[i] || name[i + 1] != key[i + 1] || name[i + 2] != key[i + 2] ||
        name[i + 3] != key[i + 3])
      return false;
  for (; i < length; ++i)
    if (name[i] != key[i]) return false;
  return name[length] == 0;
}

// The name for `expandedName` where `hints` holds the two names last seen
// at this place of the structure: the first is checked, then the second
// (which catches a structure that alternates, such as a repeated element
// followed by another), then the table. The name found becomes the first
// hint and the first the second.
inline const detail::InternedName* FindHinted(const detail::InternedName** hints,
                                              detail::NameTable& names,
                                              const char* expandedName) {
  const detail::InternedName* first = hints[0];
  if (KeyEquals(first, expandedName)) return first;
  const detail::InternedName* found = KeyEquals(hints[1], expandedName)
                                          ? hints[1]
                                          : names.InternExpanded(expandedName);
  hints[1] = first;
  hints[0] = found;
  return found;
}

// True when one of the four units in `w` is a CR or a NUL: the test for a
// zero unit, on `w` and on `w` with CR turned into zero.
inline bool HasCROrNul(uint64_t w) {
  constexpr uint64_t kOnes = 0x0001000100010001ULL;
  constexpr uint64_t kHigh = 0x8000800080008000ULL;
  uint64_t cr = w ^ (kOnes * 0x0D);
  return ((((w - kOnes) & ~w) | ((cr - kOnes) & ~cr)) & kHigh) != 0;
}

[[noreturn]] void ThrowTextTooLong(const CXmlElement& element) {
  throw CVxException(FormatString(VX_T("The text of the element [%s] is too long"),
                                  element.GetLocalName().c_str()));
}

// True when the innermost declaration counted as open belongs to an element
// that has ended: `openDepth` elements are open and the next element, whose
// own declarations come before it, will be their child. The declaring element
// was added already (it is not that next one) and is not among the open ones.
[[noreturn]] __attribute__((cold, noinline)) void ThrowNoOpenElement() {
  throw CVxInvalidStateException(VX_T("There is no open element to add a child to"));
}

inline bool HasEndedDeclarations(const detail::DocumentStorage& storage, size_t openDepth) {
  if (storage.openDeclarations.empty()) return false;
  const detail::OpenDeclaration& innermost = storage.openDeclarations.back();
  return innermost.element < storage.elementCount && innermost.depth > openDepth;
}

// Records that from element `from` on the prefix stands for `uri`. A later
// change at the same element replaces an earlier one.
void SetBinding(std::vector<detail::PrefixBinding>& bindings, uint32_t from, const String* uri) {
  if (!bindings.empty() && bindings.back().from == from)
    bindings.back().uri = uri;
  else
    bindings.push_back(detail::PrefixBinding{from, uri});
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
  if (m_valueString == nullptr) m_valueString = StorageOf(m_name).MakeString(m_value, m_valueLength);
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
    : CInstanceMonitor(VX_T("CXmlElement")), m_name(document->Storage().names.Empty()) {}

const CXmlDocument* CXmlElement::GetDocument() const { return StorageOf(m_name).document; }

const String& CXmlElement::GetLocalName() const { return m_name->localName; }

const String& CXmlElement::GetNamespaceURI() const { return m_name->namespaceUri; }

const String& CXmlElement::GetText() const {
  if ((m_attributeCapacity & kOpenBit) != 0) PullEnd();
  if (m_textLength == 0) return EmptyString();
  detail::DocumentStorage& storage = StorageOf(m_name);
  detail::ElementCache& cache = CacheOf(m_cache, storage);
  if (cache.text == nullptr) cache.text = storage.MakeString(m_text, m_textLength);
  return *cache.text;
}

// -- Reading on demand (documents read while binding) ------------------------

CXmlElement* CXmlElement::PullFirstElement() const {
  auto* document = const_cast<CXmlDocument*>(StorageOf(m_name).document);
  while (m_firstChild == nullptr && (m_attributeCapacity & kOpenBit) != 0 &&
         document->PullPiece()) {
  }
  return m_firstChild;
}

CXmlElement* CXmlElement::PullNextSibling() const {
  auto* document = const_cast<CXmlDocument*>(StorageOf(m_name).document);
  while (m_nextSibling == nullptr && (m_attributeCapacity & kTailBit) != 0 &&
         document->PullPiece()) {
  }
  return m_nextSibling;
}

void CXmlElement::PullEnd() const {
  auto* document = const_cast<CXmlDocument*>(StorageOf(m_name).document);
  while ((m_attributeCapacity & kOpenBit) != 0 && document->PullPiece()) {
  }
}

const unsigned short* CXmlElement::GetTextRunData(const CXmlElement* after,
                                                  const CXmlElement* before,
                                                  size_t& length) const {
  if (before == nullptr && (m_attributeCapacity & kOpenBit) != 0) PullEnd();
  uint32_t from = after != nullptr ? after->m_textPosition : 0;
  uint32_t to = before != nullptr ? before->m_textPosition : m_textLength;
  // Positions come from this element's own text, but a caller may mix up
  // elements: nothing outside the text is ever handed out.
  to = std::min(to, m_textLength);
  if (from >= to) {
    // Never null, so that the units may go to anything that takes a range.
    static const unsigned short kNone = 0;
    length = 0;
    return &kNone;
  }
  length = to - from;
  return m_text + from;
}

String CXmlElement::GetTextBetween(const CXmlElement* after, const CXmlElement* before) const {
  size_t length;
  const unsigned short* data = GetTextRunData(after, before, length);
  return length != 0 ? String(data, length) : String();
}

const std::vector<CXmlAttribute*>& CXmlElement::GetAttributes() const {
  if (m_attributeCount == 0) return EmptyAttributeList();
  detail::DocumentStorage& storage = StorageOf(m_name);
  detail::ElementCache& cache = CacheOf(m_cache, storage);
  if (cache.attributes == nullptr) {
    std::vector<CXmlAttribute*>* reused = nullptr;
    if (!storage.freeAttributeLists.empty()) {
      reused = storage.freeAttributeLists.back();
      storage.freeAttributeLists.pop_back();
    } else {
      storage.attributeLists.emplace_back();
      reused = &storage.attributeLists.back();
    }
    std::vector<CXmlAttribute*>& list = *reused;
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

bool CXmlElement::LookupNamespaceURI(const String& prefix, String& uri) const {
  const detail::DocumentStorage& storage = StorageOf(m_name);
  auto found = storage.prefixes.find(prefix);
  if (found != storage.prefixes.end()) {
    const std::vector<detail::PrefixBinding>& bindings = found->second.bindings;
    // The last change at or before this element is the one in force here.
    auto after = std::upper_bound(
        bindings.begin(), bindings.end(), m_index,
        [](uint32_t index, const detail::PrefixBinding& b) { return index < b.from; });
    if (after != bindings.begin()) {
      const String* bound = (after - 1)->uri;
      if (bound == nullptr) return false;
      uri = *bound;
      return true;
    }
  }
  // Bound by definition in every document read with namespaces.
  if (Utf16::Equal(prefix.c_str(), VX_T("xml")) &&
      storage.document->GetSchemaType() != SchemaType_NoNamespaces) {
    uri = VX_T("http://www.w3.org/XML/1998/namespace");
    return true;
  }
  return false;
}

void CXmlElement::GetNamespaceDeclarations(std::vector<NamespaceBinding>& bindings) const {
  const detail::DocumentStorage& storage = StorageOf(m_name);
  const std::vector<uint32_t>& elements = storage.declarationElements;
  if (elements.empty() || elements.back() < m_index) return;
  auto first = std::lower_bound(elements.begin(), elements.end(), m_index);
  for (auto at = first; at != elements.end() && *at == m_index; ++at) {
    const auto& declaration = storage.declarations[static_cast<size_t>(at - elements.begin())];
    bindings.push_back(NamespaceBinding{
        declaration.first, declaration.second ? declaration.second : &EmptyString()});
  }
}

void CXmlElement::GetNamespacesInScope(std::vector<NamespaceBinding>& bindings) const {
  const detail::DocumentStorage& storage = StorageOf(m_name);
  for (const auto& entry : storage.prefixes) {
    if (Utf16::Equal(entry.first.c_str(), VX_T("xml"))) continue;
    const std::vector<detail::PrefixBinding>& changes = entry.second.bindings;
    auto after = std::upper_bound(
        changes.begin(), changes.end(), m_index,
        [](uint32_t index, const detail::PrefixBinding& b) { return index < b.from; });
    if (after == changes.begin() || (after - 1)->uri == nullptr) continue;
    bindings.push_back(NamespaceBinding{&entry.first, (after - 1)->uri});
  }
}

CXmlElement* CXmlElement::CreateNewChildElement() {
  detail::DocumentStorage& storage = StorageOf(m_name);
  CXmlElement* child = storage.document->NewElement(storage.names.Empty());
  child->m_textPosition = m_textLength;
  if (m_lastChild != nullptr)
    m_lastChild->m_nextSibling = child;
  else
    m_firstChild = child;
  m_lastChild = child;
  return child;
}

void CXmlElement::SetElementName(const unsigned short* localName) {
  const String& ns = m_name->namespaceUri;
  m_name =
      StorageOf(m_name).names.Intern(ns.data(), ns.size(), localName, Utf16::Length(localName));
}

void CXmlElement::SetNamespace(const unsigned short* namespaceUri) {
  const String& local = m_name->localName;
  m_name = StorageOf(m_name).names.Intern(namespaceUri, Utf16::Length(namespaceUri),
                                          local.data(), local.size());
}

void CXmlElement::AddAttribute(const String& localName, const String& value,
                               const String& namespaceUri) {
  detail::DocumentStorage& storage = StorageOf(m_name);
  CXmlAttribute* a = NewAttribute();
  a->m_name = storage.names.Intern(namespaceUri.data(), namespaceUri.size(), localName.data(),
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
    if (m_attributeCapacity > std::numeric_limits<uint32_t>::max() / 2)
      throw CVxException(FormatString(
          VX_T("The element [%s] has more than 2147483648 attributes"),
          GetLocalName().c_str()));
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
  a->m_name = StorageOf(m_name).names.Empty();
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
    detail::DocumentStorage& storage = StorageOf(m_name);
    auto& arena = storage.arena;
    if (storage.recycling) {
      // Blocks of whole size classes, so that they can be used again.
      size_t capacity = std::max(newLength, size_t{m_textCapacity} * 2);
      capacity = std::min<size_t>(storage.BlockBytes(capacity * 2) / 2,
                                  std::numeric_limits<uint32_t>::max());
      auto* grown = static_cast<unsigned short*>(storage.AllocateBlock(capacity * 2));
      if (m_textLength != 0) std::memcpy(grown, m_text, size_t{m_textLength} * 2);
      if (m_text != nullptr) storage.FreeExactBlock(m_text, size_t{m_textCapacity} * 2);
      m_text = grown;
      m_textCapacity = static_cast<uint32_t>(capacity);
    } else if (m_text != nullptr && arena.TryExtend(m_text, size_t{m_textCapacity} * 2, newLength * 2)) {
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
  m_pull.reset();
  m_documentElement = nullptr;
  std::vector<CXmlElement*>().swap(m_openElements);
  m_prefixes.clear();
  ReleaseInput();
  if (m_storage) t_lastTreeBytes = m_storage->arena.Bytes();
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
  constexpr size_t kMaxUnits = std::numeric_limits<size_t>::max() / 2;  // bytes must count
  if (units > kMaxUnits)
    throw CVxException(FormatString(VX_T("The XML String is too long: more than %I64u units"),
                                    static_cast<unsigned long long>(kMaxUnits)));
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
    // Fast Infoset input is recognised by its header, after inflation.
    CFastInfosetReader reader(this);
    parsed = reader.Parse();
  }
  if (!parsed) {
    CExpatReader reader(this);
    reader.Parse();
  }
  if (m_documentElement == nullptr) throw CVxException(VX_T("Invalid or empty XML document"));
}

void CXmlDocument::InflateInput() {
  // Anything but a complete stream (plain text, damaged data) is parsed as
  // it stands.
  std::vector<unsigned char> inflated;
  if (!detail::Inflate(m_inputData, m_inputLength, inflated)) return;
  m_input.swap(inflated);
  m_inputData = m_input.data();
  m_inputLength = m_input.size();
}

CXmlElement* CXmlDocument::NewElement(const detail::InternedName* name) const {
  detail::DocumentStorage& storage = Storage();
  void* p;
  if (storage.freeElements != nullptr) {
    p = storage.freeElements;
    storage.freeElements = storage.freeElements->next;
  } else {
    p = storage.arena.Allocate(sizeof(CXmlElement));
  }
  CXmlElement* e = new (p) CXmlElement(this);
  e->m_name = name;
  // 2^32 elements would take hundreds of gigabytes: the numbers do not wrap.
  e->m_index = storage.elementCount++;
  return e;
}

void CXmlDocument::AddNamespaceDeclaration(const unsigned short* prefix,
                                           const unsigned short* uri) {
  static const unsigned short kEmpty = 0;
  detail::DocumentStorage& storage = Storage();
  if (HasEndedDeclarations(storage, m_openElements.size())) EndDeclarationScopes(storage);
  std::basic_string_view<unsigned short> name(prefix == nullptr ? &kEmpty : prefix,
                                              Utf16::Length(prefix));
  std::basic_string_view<unsigned short> value(uri == nullptr ? &kEmpty : uri,
                                               Utf16::Length(uri));
  auto found = storage.prefixes.find(name);
  if (found == storage.prefixes.end()) {
    String key(name);
    auto flatEntry = m_prefixes.try_emplace(key).first;
    found = storage.prefixes.emplace(std::move(key), detail::PrefixRecord{{}, flatEntry}).first;
  }
  detail::PrefixRecord& record = found->second;
  // The flat map: the declaration read last wins.
  record.flatEntry->second.assign(value.data(), value.size());
  const String* replaced = record.bindings.empty() ? nullptr : record.bindings.back().uri;
  const String* bound = nullptr;
  if (!value.empty()) {
    // Documents repeat their declarations: a URI already kept is shared.
    if (replaced != nullptr && *replaced == value) {
      bound = replaced;
    } else if (record.lastDeclared != nullptr && *record.lastDeclared == value) {
      bound = record.lastDeclared;
    } else {
      storage.strings.emplace_back(value);
      bound = record.lastDeclared = &storage.strings.back();
    }
  }
  // The declaring element is the next one, a child of the open ones.
  storage.openDeclarations.push_back(detail::OpenDeclaration{
      storage.elementCount, m_openElements.size() + 1, &record.bindings, replaced});
  SetBinding(record.bindings, storage.elementCount, bound);
  storage.declarationElements.push_back(storage.elementCount);
  storage.declarations.emplace_back(&found->first, bound);
}

void CXmlDocument::EndDeclarationScopes(detail::DocumentStorage& storage) {
  std::vector<detail::OpenDeclaration>& open = storage.openDeclarations;
  while (HasEndedDeclarations(storage, m_openElements.size())) {
    const detail::OpenDeclaration& ended = open.back();
    SetBinding(*ended.bindings, storage.elementCount, ended.replaced);
    open.pop_back();
  }
}

CXmlElement* CXmlDocument::AddDocElement(const unsigned short* namespaceUri,
                                         const unsigned short* localName) {
  detail::DocumentStorage& storage = Storage();
  if (HasEndedDeclarations(storage, m_openElements.size())) EndDeclarationScopes(storage);
  CXmlElement* e = NewElement(storage.names.Intern(namespaceUri, Utf16::Length(namespaceUri),
                                                   localName, Utf16::Length(localName)));
  m_documentElement = e;
  m_openElements.push_back(e);
  return e;
}

CXmlElement* CXmlDocument::AddChildElement(const unsigned short* namespaceUri,
                                           const unsigned short* localName) {
  if (m_openElements.empty())
    ThrowNoOpenElement();
  detail::DocumentStorage& storage = Storage();
  if (HasEndedDeclarations(storage, m_openElements.size())) EndDeclarationScopes(storage);
  CXmlElement* e = m_openElements.back()->CreateNewChildElement();
  e->m_name = storage.names.Intern(namespaceUri, Utf16::Length(namespaceUri), localName,
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
  // Text almost never holds a CR: find the first one four units at a time,
  // and append the whole run at once when there is none.
  size_t i = 0;
  for (; i + 4 <= length; i += 4) {
    uint64_t w;
    std::memcpy(&w, text + i, sizeof w);
    if (HasCROrNul(w)) break;
  }
  for (; i < length; ++i)
    if (text[i] <= 0x0D && (text[i] == 0x0D || text[i] == 0)) break;
  if (i == length) {
    element->AppendRun(text, length);
    return;
  }
  const unsigned short* p = text + i;
  const unsigned short* end = text + length;
  const unsigned short* run = text;
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

bool CXmlDocument::AppendTextUtf8(CXmlElement* element, const char* text, size_t length) {
  if (length == 0) return true;
  // UTF-16 takes at most as many units as UTF-8 takes bytes: room for that
  // many, grown as AppendRun grows it, then the conversion in place.
  size_t textLength = element->m_textLength;
  size_t needed = textLength + length;
  if (length > std::numeric_limits<uint32_t>::max() ||
      needed > std::numeric_limits<uint32_t>::max())
    return false;
  if (needed > element->m_textCapacity) {
    detail::DocumentStorage& storage = StorageOf(element->m_name);
    auto& arena = storage.arena;
    size_t capacity = element->m_textCapacity;
    if (storage.recycling) {
      // Blocks of whole size classes, as AppendRun takes them, so that a
      // long run of siblings reuses the text buffers of the ones before.
      capacity = std::max(needed, capacity * 2);
      capacity = std::min<size_t>(storage.BlockBytes(capacity * 2) / 2,
                                  std::numeric_limits<uint32_t>::max());
      auto* grown = static_cast<unsigned short*>(storage.AllocateBlock(capacity * 2));
      if (textLength != 0) std::memcpy(grown, element->m_text, textLength * 2);
      if (element->m_text != nullptr)
        storage.FreeExactBlock(element->m_text, size_t{element->m_textCapacity} * 2);
      element->m_text = grown;
      element->m_textCapacity = static_cast<uint32_t>(capacity);
    } else if (element->m_text != nullptr &&
               arena.TryExtend(element->m_text, capacity * 2, needed * 2)) {
      element->m_textCapacity = static_cast<uint32_t>(needed);
    } else {
      capacity = textLength == 0 ? needed : std::max(needed, capacity * 2);
      capacity = std::min<size_t>(capacity, std::numeric_limits<uint32_t>::max());
      auto* grown = static_cast<unsigned short*>(arena.Allocate(capacity * 2));
      if (textLength != 0) std::memcpy(grown, element->m_text, textLength * 2);
      element->m_text = grown;
      element->m_textCapacity = static_cast<uint32_t>(capacity);
    }
  }
  size_t units = detail::Utf8ToUtf16(reinterpret_cast<const unsigned char*>(text), length,
                                     element->m_text + textLength);
  element->m_textLength = static_cast<uint32_t>(textLength + units);
  if (element->m_cache != nullptr) element->m_cache->text = nullptr;
  return true;
}

inline CXmlElement* CXmlDocument::ParentOfNextElement(detail::DocumentStorage& storage) {
  CXmlElement* parent = nullptr;
  if (m_documentElement != nullptr) {
    if (m_openElements.empty())
      ThrowNoOpenElement();
    parent = m_openElements.back();
  }
  if (HasEndedDeclarations(storage, m_openElements.size())) EndDeclarationScopes(storage);
  return parent;
}

inline void CXmlDocument::OpenElement(CXmlElement* parent, CXmlElement* e) {
  if (m_pull) {
    // Read while binding: the element may get children and text, and the
    // parent another child after it.
    e->m_attributeCapacity = CXmlElement::kOpenBit;
    if (parent != nullptr) {
      e->m_attributeCapacity |= CXmlElement::kTailBit;
      if (parent->m_lastChild != nullptr)
        parent->m_lastChild->m_attributeCapacity &= ~CXmlElement::kTailBit;
    }
  }
  if (parent == nullptr) {
    m_documentElement = e;
  } else {
    e->m_textPosition = parent->m_textLength;
    if (parent->m_lastChild != nullptr)
      parent->m_lastChild->m_nextSibling = e;
    else
      parent->m_firstChild = e;
    parent->m_lastChild = e;
  }
  m_openElements.push_back(e);
}

CXmlElement* CXmlDocument::AddElementInterned(const detail::InternedName* name) {
  detail::DocumentStorage& storage = Storage();
  CXmlElement* parent = ParentOfNextElement(storage);
  CXmlElement* e = NewElement(name);
  OpenElement(parent, e);
  return e;
}

void CXmlDocument::SetElementAttributes(CXmlElement* element,
                                        const detail::AttributeInit* attributes,
                                        uint32_t count) {
  if (count == 0) return;
  auto* array = static_cast<CXmlAttribute*>(
      Storage().arena.Allocate(sizeof(CXmlAttribute) * size_t{count}));
  element->m_attributes = array;
  element->m_attributeCapacity = count;
  for (uint32_t i = 0; i < count; ++i) {
    CXmlAttribute* a = new (&array[i]) CXmlAttribute();
    a->m_name = attributes[i].name;
    a->m_value = attributes[i].value;
    a->m_valueLength = attributes[i].length;
    ++element->m_attributeCount;
  }
}

CXmlElement* CXmlDocument::AddElementExpanded(const char* expandedName, const char** attributes) {
  detail::DocumentStorage& storage = Storage();
  CXmlElement* parent = ParentOfNextElement(storage);
  // Data documents repeat their structure: the name that followed the
  // previous sibling last time (or that came first in an element of the
  // parent's name) is checked before the name table is searched.
  const detail::InternedName** hints =
      parent == nullptr              ? storage.names.Empty()->firstChild
      : parent->m_lastChild != nullptr ? parent->m_lastChild->m_name->nextSibling
                                       : parent->m_name->firstChild;
  CXmlElement* e = NewElement(FindHinted(hints, storage.names, expandedName));
  OpenElement(parent, e);

  uint32_t count = 0;
  for (const char** p = attributes; *p != nullptr; p += 2) ++count;
  if (count == 0) return e;
  auto* array = static_cast<CXmlAttribute*>(
      storage.AllocateBlock(sizeof(CXmlAttribute) * size_t{count}));
  e->m_attributes = array;
  e->m_attributeCapacity |= count;
  for (uint32_t i = 0; i < count; ++i, attributes += 2) {
    CXmlAttribute* a = new (&array[i]) CXmlAttribute();
    const char* name = attributes[0];
    if (i < detail::InternedName::kAttributeHints) {
      const detail::InternedName*& h = e->m_name->attributes[i];
      if (!KeyEquals(h, name)) h = storage.names.InternExpanded(name);
      a->m_name = h;
    } else {
      a->m_name = storage.names.InternExpanded(name);
    }
    // Counted once named: a failure (out of memory) leaves no attribute
    // without a name in the tree that the document keeps.
    ++e->m_attributeCount;
    // UTF-16 takes at most as many units as UTF-8 takes bytes: the value is
    // converted into room for that many.
    const char* value = attributes[1];
    size_t bytes = std::strlen(value);
    if (bytes > std::numeric_limits<uint32_t>::max()) ThrowTextTooLong(*e);
    if (bytes != 0) {
      auto* copy = static_cast<unsigned short*>(storage.AllocateBlock(bytes * 2));
      a->m_value = copy;
      a->m_valueLength = static_cast<uint32_t>(
          detail::Utf8ToUtf16(reinterpret_cast<const unsigned char*>(value), bytes, copy));
    }
  }
  return e;
}

// --- Reading while binding ----------------------------------------------------

void CXmlDocument::BeginReadBytes(const unsigned char* bytes, uint32_t length) {
  Cleanup();
  if (length == 0 || bytes == nullptr) throw CVxException(VX_T("XML Stream is empty!"));
  m_inputData = bytes;
  m_inputLength = length;
  // Compressed bytes are inflated whole, with their expansion limit, as
  // LoadXmlStream does; Fast Infoset is read whole.
  InflateInput();
  {
    CFastInfosetReader reader(this);
    bool parsed;
    try {
      parsed = reader.Parse();
    } catch (...) {
      ReleaseInput();
      throw;
    }
    if (parsed) {
      ReleaseInput();
      if (m_documentElement == nullptr) throw CVxException(VX_T("Invalid or empty XML document"));
      return;
    }
  }
  StartPull(detail::MemorySource(nullptr, 0, m_inputData, m_inputLength));
}

void CXmlDocument::BeginReadText(const char* text) {
  Cleanup();
  if (text == nullptr || *text == '\0') throw CVxException(VX_T("XML String is empty!"));
  StartPull(detail::MemorySource(nullptr, 0, reinterpret_cast<const unsigned char*>(text),
                                 std::strlen(text)));
}

void CXmlDocument::BeginReadText(const unsigned short* text) {
  Cleanup();
  size_t units = Utf16::Length(text);
  if (units == 0) throw CVxException(VX_T("XML String is empty!"));
  constexpr size_t kMaxUnits = std::numeric_limits<size_t>::max() / 2;
  if (units > kMaxUnits)
    throw CVxException(FormatString(VX_T("The XML String is too long: more than %I64u units"),
                                    static_cast<unsigned long long>(kMaxUnits)));
  // The units as they are in memory, behind a byte order mark in native
  // order, as LoadXml reads them.
  const unsigned short bom = 0xFEFF;
  std::memcpy(m_inputBom, &bom, 2);
  StartPull(detail::MemorySource(m_inputBom, 2, reinterpret_cast<const unsigned char*>(text),
                                 units * 2));
}

void CXmlDocument::BeginRead(std::unique_ptr<detail::ByteSource> source) {
  Cleanup();
  // The first bytes say whether the input is compressed, then whether it
  // is Fast Infoset.
  constexpr size_t kHead = 64;
  std::vector<unsigned char> head;
  source = detail::PeekHead(std::move(source), head, kHead);
  if (detail::LooksCompressed(head.data(), head.size())) {
    source = detail::PeekHead(detail::InflatingSource(std::move(source)), head, kHead);
  }
  bool fastInfoset = false;
  for (size_t at = 0; at + 4 <= head.size() && !fastInfoset; ++at)
    fastInfoset = std::memcmp(head.data() + at, detail::kFastInfosetHeader, 4) == 0;
  if (fastInfoset) {
    const unsigned char* data;
    size_t length;
    while (source->Next(data, length)) m_input.insert(m_input.end(), data, data + length);
    source.reset();
    m_inputData = m_input.data();
    m_inputLength = m_input.size();
    if (m_inputLength == 0) throw CVxException(VX_T("Invalid or empty XML document"));
    Parse(false);
    return;
  }
  StartPull(std::move(source));
}

void CXmlDocument::StartPull(std::unique_ptr<detail::ByteSource> source) {
  m_pull.reset(new detail::PullState(this));
  m_pull->source = std::move(source);
  detail::DocumentStorage& storage = Storage();
  storage.recycling = true;
  storage.pull = m_pull.get();
  m_pull->reader.Begin();
  while (m_documentElement == nullptr && PullPiece()) {
  }
  if (m_pull->failure) std::rethrow_exception(m_pull->failure);
  if (m_documentElement == nullptr) {
    if (m_strictXml) m_pull->reader.Finish();
    throw CVxException(VX_T("Invalid or empty XML document"));
  }
}

bool CXmlDocument::PullPiece() {
  detail::PullState* pull = m_pull.get();
  if (pull == nullptr || pull->ended) return false;
  try {
    const unsigned char* data;
    size_t length;
    if (pull->source->Next(data, length)) {
      pull->reader.Feed(data, length);
      return true;
    }
  } catch (...) {
    pull->failure = std::current_exception();
  }
  // Nothing more comes: the open elements are complete as they stand, as in
  // a tree loaded whole from the same input.
  pull->ended = true;
  FreezeOpenElements();
  return false;
}

void CXmlDocument::FreezeOpenElements() {
  for (CXmlElement* e : m_openElements) ElementEnded(e);
}

void CXmlDocument::ElementEnded(CXmlElement* element) {
  element->m_attributeCapacity &= ~CXmlElement::kOpenBit;
  if (element->m_lastChild != nullptr)
    element->m_lastChild->m_attributeCapacity &= ~CXmlElement::kTailBit;
}

void CXmlDocument::FinishRead() {
  detail::PullState* pull = m_pull.get();
  if (pull == nullptr) return;
  if (!pull->ended) {
    // The rest of the input, for its errors only.
    pull->reader.Discard();
    while (PullPiece()) {
    }
  }
  if (pull->failure) std::rethrow_exception(pull->failure);
  if (m_strictXml) pull->reader.Finish();
}

bool CXmlDocument::IsReadWhileBinding(const CXmlElement* element) {
  return element != nullptr && StorageOf(element->m_name).pull != nullptr;
}

size_t CXmlDocument::GetLastTreeBytes() { return t_lastTreeBytes; }

size_t CXmlDocument::ReleaseChildren(CXmlElement* parent, const CXmlElement* after,
                                     const CXmlElement* upTo, bool dropText) {
  if (parent == nullptr) return 0;
  detail::DocumentStorage& storage = StorageOf(parent->m_name);
  if (storage.pull == nullptr) return 0;
  CXmlDocument* document = const_cast<CXmlDocument*>(storage.document);
  // Only children that have ended go: those before a sibling that exists,
  // or all of them once the parent has ended.
  if (upTo == nullptr && (parent->m_attributeCapacity & CXmlElement::kOpenBit) != 0) return 0;
  CXmlElement* first = after != nullptr ? after->m_nextSibling : parent->m_firstChild;
  if (after != nullptr) {
    // `after` must be one of the parent's children.
    const CXmlElement* e = parent->m_firstChild;
    while (e != nullptr && e != after) e = e->m_nextSibling;
    if (e == nullptr) return 0;
  }
  const CXmlElement* e = first;
  while (e != nullptr && e != upTo) e = e->m_nextSibling;
  if (e != upTo) return 0;
  size_t count = 0;
  for (CXmlElement* c = first; c != upTo;) {
    CXmlElement* next = c->m_nextSibling;
    document->ReleaseSubtree(c);
    ++count;
    c = next;
  }
  CXmlElement* keep = const_cast<CXmlElement*>(upTo);
  if (after != nullptr)
    const_cast<CXmlElement*>(after)->m_nextSibling = keep;
  else
    parent->m_firstChild = keep;
  if (keep == nullptr) {
    parent->m_lastChild = const_cast<CXmlElement*>(after);
    if (after != nullptr) const_cast<CXmlElement*>(after)->m_attributeCapacity &= ~CXmlElement::kTailBit;
  }
  if (dropText && parent->m_textLength != 0) {
    // Whitespace between the items of a run: nothing reads it, and a long
    // run would gather it all. Text that is not whitespace stays, for the
    // check of element-only content to find.
    bool blank = true;
    for (uint32_t i = 0; i < parent->m_textLength && blank; ++i)
      blank = Utf16::IsXmlSpace(parent->m_text[i]);
    if (blank) {
      parent->m_textLength = 0;
      if (parent->m_cache != nullptr && parent->m_cache->text != nullptr) {
        storage.FreeString(parent->m_cache->text);
        parent->m_cache->text = nullptr;
      }
    }
  }
  return count;
}

void CXmlDocument::ReleaseSubtree(CXmlElement* root) {
  detail::DocumentStorage& storage = Storage();
  std::vector<CXmlElement*>& stack = storage.releaseStack;
  if (stack.capacity() == 0) stack.reserve(64);
  stack.push_back(root);
  while (!stack.empty()) {
    CXmlElement* e = stack.back();
    stack.pop_back();
    for (CXmlElement* c = e->m_firstChild; c != nullptr; c = c->m_nextSibling) stack.push_back(c);
    uint32_t attributes = e->m_attributeCapacity & ~CXmlElement::kPendingBits;
    for (uint32_t i = 0; i < e->m_attributeCount; ++i) {
      CXmlAttribute& a = e->m_attributes[i];
      if (a.m_valueLength != 0)
        storage.FreeBlockOf(const_cast<unsigned short*>(a.m_value), size_t{a.m_valueLength} * 2);
      storage.FreeString(a.m_valueString);
    }
    if (attributes != 0) storage.FreeBlockOf(e->m_attributes, sizeof(CXmlAttribute) * attributes);
    if (e->m_text != nullptr) storage.FreeExactBlock(e->m_text, size_t{e->m_textCapacity} * 2);
    if (detail::ElementCache* cache = e->m_cache) {
      storage.FreeString(cache->text);
      if (cache->attributes != nullptr) {
        auto* list = const_cast<std::vector<CXmlAttribute*>*>(cache->attributes);
        list->clear();
        storage.freeAttributeLists.push_back(list);
      }
      *cache = detail::ElementCache();
      storage.freeCaches.push_back(cache);
    }
    auto* block = reinterpret_cast<detail::DocumentStorage::FreeBlock*>(e);
    block->next = storage.freeElements;
    storage.freeElements = block;
  }
}

}  // namespace VxVevAva5
