// FastInfosetWriter.cpp - the writer interface as Fast Infoset octets.
#include "vxbind/writers/FastInfosetWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


#include "vxbind/base/Exceptions.h"
#include "vxbind/base/detail/FastInfosetHeader.h"
#include "vxbind/platform/Format.h"
#include "vxbind/writers/ByteSink.h"
#include "vxbind/writers/detail/FastInfosetEncoder.h"
#include "vxbind/writers/detail/SameText.h"
#include "vxbind/writers/detail/XmlNames.h"
#include "vxbind/writers/detail/XmlChars.h"

namespace VxVevAva5 {
namespace detail {

// The vocabulary tables, in the order X.891 lists them.
enum Table {
  kAttributeNames,
  kAttributeValues,
  kCharacterChunks,
  kElementNames,
  kLocalNames,
  kNamespaceNames,
  kPrefixes,
  kTableCount
};

// The index of a short ASCII value, by the value packed (PackShortAscii).
struct ShortValueMemo {
  uint64_t packed;
  uint32_t index;
};

struct FastInfosetOutput {
  OctetBuffer octets;
  ShortValueMemo shortValues[256];
  OctetBuffer values;  // the encoded values of the open start tag's attributes
  VocabularyTable tables[kTableCount];
  std::vector<unsigned short> key;  // a qualified name's table key, reused

  // The tables as X.891 starts them: "xml" and its namespace predefined.
  void Reset() {
    octets.Clear();
    for (ShortValueMemo& memo : shortValues) memo = ShortValueMemo{0, 0};
    values.Clear();
    for (VocabularyTable& table : tables) table.Clear();
    static const unsigned short kXml[] = {'x', 'm', 'l'};
    tables[kPrefixes].Add(kXml, 3);
    const unsigned short* uri = VX_T("http://www.w3.org/XML/1998/namespace");
    tables[kNamespaceNames].Add(uri, 36);
  }
};

}  // namespace detail

namespace {

using detail::EmptyString;
using detail::XmlPrefix;
using detail::XmlNamespace;
using detail::XsiNamespace;

using detail::FastInfosetOutput;
using detail::ShortValueMemo;

// True for the XML namespace (tested by length first: most URIs are not).
inline bool IsXmlNamespace(const String& uri) {
  return uri.size() == 36 && detail::SameText(uri, XmlNamespace());
}

const String& TypeName() {
  static const String name(VX_T("type"));
  return name;
}


// Units before the first NUL: what is written of a string.
size_t WrittenLength(const String& s) {
  size_t n = 0;
  const unsigned short* p = s.data();
  while (n != s.size() && p[n] != 0) ++n;
  return n;
}

bool IsXmlnsPrefix(const String& prefix) {
  static const String xmlns(VX_T("xmlns"));
  return detail::SameText(prefix, xmlns);
}

// Declarations that no decoder accepts: the predefined "xml" prefix and its
// namespace are bound everywhere, and "xmlns" is reserved.
bool IsReserved(const String& prefix, const String& namespaceUri) {
  return detail::SameText(prefix, XmlPrefix()) || IsXmlnsPrefix(prefix) ||
         detail::SameText(namespaceUri, XmlNamespace());
}

// A value of 1 to 5 ASCII units (no NUL) as one integer: seven bits per
// unit and the length; 0 for any other value.
inline uint64_t PackShortAscii(const String& value) {
  size_t n = value.size();
  if (n == 0 || n > 5) return 0;
  uint64_t packed = n;
  for (size_t i = 0; i < n; ++i) {
    unsigned short c = value[i];
    if (c == 0 || c >= 0x80) return 0;
    packed |= uint64_t{c} << (3 + 7 * i);
  }
  return packed;
}

[[noreturn]] void ThrowNoElement(const unsigned short* message) { throw CVxException(message); }

}  // namespace

CFastInfosetWriter::CFastInfosetWriter()
    : CXmlWriter(VX_T("CFastInfosetWriter")), m_output(new FastInfosetOutput) {
  // The destructor does not run for a constructor that throws.
  try {
    m_output->Reset();
  } catch (...) {
    delete m_output;
    throw;
  }
}

CFastInfosetWriter::~CFastInfosetWriter() { delete m_output; }

void CFastInfosetWriter::WriteStartDocument(FInfoDecl declaration) {
  m_output->Reset();
  m_handedOut.Clear();
  m_guesses.clear();
  m_open.clear();
  m_eager = false;
  m_owedTerminator = false;
  detail::OctetBuffer& out = m_output->octets;
  unsigned index = static_cast<unsigned>(declaration);
  if (index < sizeof(detail::kFastInfosetDeclarations) / sizeof(const char*)) {
    const char* text = detail::kFastInfosetDeclarations[index];
    out.Put(text, std::char_traits<char>::length(text));
  }
  // The header, then the octet of the document's optional parts: none.
  out.Put(detail::kFastInfosetHeader, sizeof(detail::kFastInfosetHeader));
  out.Put(0);
}

CBinaryData CFastInfosetWriter::GetBinaryData() {
  // A start tag written as it came is not complete: it goes back to the
  // pending form, which the new buffer will receive.
  if (m_eager) LeaveEagerStartTag();
  detail::OctetBuffer& out = m_output->octets;
  if (out.Size() != 0) {
    if (out.Size() + m_handedOut.GetLength() > UINT32_MAX)
      throw CVxException(String(VX_T("The binary data would exceed 4294967295 bytes")));
    // The buffer itself becomes the result: a document of tens of
    // megabytes is not copied.
    size_t size = 0;
    unsigned char* octets = out.Release(size);
    CBinaryData tail(octets, static_cast<uint32_t>(size), /*adopt=*/true);
    if (m_handedOut.GetLength() == 0)
      m_handedOut = std::move(tail);
    else
      m_handedOut.Append(tail);
  }
  return m_handedOut;
}

void CFastInfosetWriter::WriteEndDocument() {
  CXmlWriter::WriteEndDocument();
  // The root's terminator and the document's share an octet.
  m_output->octets.Put(m_owedTerminator ? 0xFF : 0xF0);
  m_owedTerminator = false;
}

void CFastInfosetWriter::HandOver() {
  detail::OctetBuffer& out = m_output->octets;
  m_sink->Write(out.Data(), out.Size());
  out.Clear();
}

void CFastInfosetWriter::Flush() {
  if (m_sink == nullptr) return;
  // A start tag written as it came is not complete: it goes back to the
  // pending form, to be written when it closes.
  if (m_eager) LeaveEagerStartTag();
  if (m_output->octets.Size() != 0) HandOver();
}

void CFastInfosetWriter::WriteComment(const String&) {}

void CFastInfosetWriter::WriteInLineSchema(const String&) {}

void CFastInfosetWriter::WriteProcessingInstruction(const String&) {
  if (CXmlWriterContext* context = GetCurrentContext()) CloseStartTag(*context);
}

void CFastInfosetWriter::WriteStartElement(const String& localName, const String& namespaceUri) {
  if (m_strict) detail::CheckChars(localName, VX_T("The element name [%s]"), localName);
  WriteRunBeforeChild();
  CXmlWriterContext* parent = GetCurrentContext();
  if (parent != nullptr) CloseStartTag(*parent);
  if (m_owedTerminator) {
    m_output->octets.Put(0xF0);
    m_owedTerminator = false;
  }
  if (parent != nullptr) parent->IncrementChildCount();
  // The base decides the declarations; unlike XML text, a name in the
  // default namespace carries a prefix too.
  CXmlWriterContext& context = StartElementScope(localName, namespaceUri);
  m_stagedUnits = 0;
  m_attributes.clear();
  m_output->values.Clear();
  uint32_t guess = 0;
  if (!m_open.empty()) {
    const OpenName& outer = m_open.back();
    if (outer.lastChild != 0)
      guess = m_guesses[outer.lastChild].nextSibling;
    else if (outer.index != 0)
      guess = m_guesses[outer.index].firstChild;
  }
  m_open.push_back(OpenName{0, 0});
  if (namespaceUri.empty()) {
    m_elementName = FindName(true, EmptyString(), namespaceUri, localName, guess);
  } else if (IsXmlNamespace(namespaceUri)) {
    m_elementName = FindName(true, XmlPrefix(), namespaceUri, localName, guess);
  } else if (!context.GetNamePrefix().empty()) {
    m_elementName = FindName(true, context.GetNamePrefix(), namespaceUri, localName, guess);
  } else {
    bool declared = false;
    m_elementName =
        FindName(true, ResolvePrefix(namespaceUri, declared), namespaceUri, localName, guess);
  }
  if (m_elementName.index != 0) NoteElementName(m_elementName.index);
  m_startTagPending = true;
  m_eager = m_elementName.index != 0 && GetDeclarationCount() == 0;
  if (m_eager) {
    m_tagStart = m_output->octets.Size();
    detail::PutIndexOnThirdBit(m_output->octets, 0, m_elementName.index);
  }
}

// Records the innermost element's name index, and it as the guess for the
// next element in its place.
void CFastInfosetWriter::NoteElementName(uint32_t index) {
  if (m_guesses.size() <= index) m_guesses.resize(index + 1, NameGuesses());
  OpenName& self = m_open.back();
  self.index = index;
  if (m_open.size() < 2) return;
  OpenName& parent = m_open[m_open.size() - 2];
  if (parent.lastChild != 0)
    m_guesses[parent.lastChild].nextSibling = index;
  else if (parent.index != 0)
    m_guesses[parent.index].firstChild = index;
  parent.lastChild = index;
}

void CFastInfosetWriter::WriteText(const String& text) {
  CXmlWriterContext* context = GetCurrentContext();
  if (context == nullptr) ThrowNoElement(VX_T("Text can only be written inside an open element."));
  if (m_strict) {
    size_t at = detail::FindForbiddenUnit(text.data(), text.size());
    if (at != text.size())
      detail::ThrowForbidden(
          FormatString(VX_T("The text of the element [%s]"), context->GetLocalName().c_str()),
          text[at]);
  }
  CloseStartTag(*context);
  if (text.empty() || text[0] == 0) return;
  if (m_owedTerminator) {
    m_output->octets.Put(0xF0);
    m_owedTerminator = false;
  }
  WriteCharacterChunk(text);
}

void CFastInfosetWriter::WriteEndElement() {
  WriteRunsBeforeEnd();
  CXmlWriterContext* context = GetCurrentContext();
  if (context == nullptr) ThrowNoElement(VX_T("There is no open element to end."));
  CloseStartTag(*context);
  // At most one terminator is owed: the second one completes the octet.
  if (m_owedTerminator) {
    m_output->octets.Put(0xFF);
    m_owedTerminator = false;
  } else {
    m_owedTerminator = true;
  }
  if (!m_open.empty()) m_open.pop_back();
  PopContext();
  // With a sink the octets leave here, where no start tag is pending.
  constexpr size_t kSinkBound = 0xF000;
  if (m_sink != nullptr && m_output->octets.Size() >= kSinkBound) HandOver();
}

CXmlWriter::CXmlWriterContext& CFastInfosetWriter::OpenStartTag() {
  CXmlWriterContext* context = GetCurrentContext();
  if (context == nullptr)
    ThrowNoElement(VX_T("Attributes can only be written inside an open element."));
  if (!context->IsStartTagOpen())
    throw CVxException(VX_T("Attributes must be added before elements"));
  return *context;
}

void CFastInfosetWriter::WriteAttribute(const String& localName, const String& namespaceUri,
                                        const String& value) {
  OpenStartTag();
  AddAttribute(localName, namespaceUri, value);
}

void CFastInfosetWriter::WriteXsiType(const String& typeNamespaceUri, const String& typeName) {
  CXmlWriterContext& context = OpenStartTag();
  if (!typeNamespaceUri.empty() &&
      !detail::SameText(typeNamespaceUri, context.GetScopeDefaultNamespace())) {
    bool declared = false;
    const String& prefix = detail::SameText(typeNamespaceUri, XmlNamespace())
                               ? XmlPrefix()
                               : ResolvePrefix(typeNamespaceUri, declared);
    m_scratch.assign(prefix);
    m_scratch.push_back(':');
    m_scratch.append(typeName);
  } else {
    m_scratch.assign(typeName);
  }
  AddAttribute(TypeName(), XsiNamespace(), m_scratch);
}

// Keeps the attribute until the start tag is written: a later attribute
// may need a declaration, and declarations come before the element's name.
void CFastInfosetWriter::AddAttribute(const String& localName, const String& namespaceUri,
                                      const String& value) {
  if (m_strict) {
    detail::CheckChars(localName, VX_T("The attribute name [%s]"), localName);
    size_t at = detail::FindForbiddenUnit(value.data(), value.size());
    if (at != value.size())
      detail::ThrowForbidden(FormatString(VX_T("The value of the attribute [%s] of the element [%s]"),
                                          localName.c_str(),
                                          GetCurrentContext()->GetLocalName().c_str()),
                             value[at]);
  }
  PendingAttribute a;
  uint32_t element = m_open.empty() ? 0 : m_open.back().index;
  size_t position = m_attributes.size();
  uint32_t guess = element != 0 && position < 8 ? m_guesses[element].attributes[position] : 0;
  if (namespaceUri.empty()) {
    a.name = FindName(false, EmptyString(), namespaceUri, localName, guess);
  } else if (IsXmlNamespace(namespaceUri)) {
    a.name = FindName(false, XmlPrefix(), namespaceUri, localName, guess);
  } else {
    bool declared = false;
    a.name = FindName(false, ResolvePrefix(namespaceUri, declared), namespaceUri, localName, guess);
  }
  if (element != 0 && position < 8 && a.name.index != 0)
    m_guesses[element].attributes[position] = a.name.index;
  if (m_eager && (a.name.index == 0 || GetDeclarationCount() != 0)) LeaveEagerStartTag();
  detail::OctetBuffer& out = m_eager ? m_output->octets : m_output->values;
  if (m_eager) {
    if (m_attributes.empty()) out.Data()[m_tagStart] |= 0x40;  // attributes follow
    detail::PutIndexOnSecondBit(out, 0, a.name.index);
  }
  a.valueOffset = out.Size();
  EncodeValue(out, value);
  a.valueLength = out.Size() - a.valueOffset;
  m_attributes.push_back(a);
}

// The attribute value, as the value table has it: an index, or a literal
// (added when shorter than 6 units).
void CFastInfosetWriter::EncodeValue(detail::OctetBuffer& out, const String& value) {
  // Short ASCII values recur most: their index is remembered by the value
  // packed into an integer.
  uint64_t packed = PackShortAscii(value);
  if (packed != 0) {
    const ShortValueMemo& memo = m_output->shortValues[(packed * 0x9E3779B97F4A7C15ull) >> 56];
    if (memo.packed == packed) {
      detail::PutIndexOnSecondBit(out, 0x80, memo.index);
      return;
    }
  }
  // Most longer values are ASCII: written as such in one pass, unless a
  // unit says otherwise.
  if (value.size() >= 6 && value.size() <= 264) {
    size_t n = value.size();
    unsigned char* to = out.Reserve(n + 2);
    size_t head = n <= 8 ? 1 : 2;
    const unsigned short* from = value.data();
    size_t k = 0;
#if defined(__SSE2__)
    // Eight units a step: ASCII and not NUL (1 to 0x7F) become octets.
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; n - k >= 8; k += 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + k));
      __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, high), zero);
      __m128i nul = _mm_cmpeq_epi16(v, zero);
      if (_mm_movemask_epi8(_mm_andnot_si128(nul, ascii)) != 0xFFFF) break;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(to + head + k), _mm_packus_epi16(v, v));
    }
#endif
    while (k < n && from[k] - 1u < 0x7Fu) {
      to[head + k] = static_cast<unsigned char>(from[k]);
      ++k;
    }
    if (k == n) {
      if (head == 1) {
        to[0] = static_cast<unsigned char>(n - 1);
      } else {
        to[0] = 0x08;
        to[1] = static_cast<unsigned char>(n - 9);
      }
      out.Advance(head + n);
      return;
    }
  }
  detail::Utf8Measure m = detail::MeasureUtf8(value.data(), value.size());
  if (m.units == 0) {
    out.Put(0xFF);  // index zero: the empty string
    return;
  }
  unsigned bits = 0;
  uint32_t index = 0;
  if (m.units < 6) {
    detail::VocabularyTable& table = m_output->tables[detail::kAttributeValues];
    uint64_t hash = table.Hash(value.data(), m.units);
    index = table.Find(value.data(), m.units, hash);
    if (index == 0 && table.Add(value.data(), m.units, hash) != 0) bits = 0x40;  // add
    if (index != 0 && packed != 0)
      m_output->shortValues[(packed * 0x9E3779B97F4A7C15ull) >> 56] = ShortValueMemo{packed, index};
  }
  if (index != 0) {
    detail::PutIndexOnSecondBit(out, 0x80, index);
    return;
  }
  detail::PutLengthOnFifthBit(out, bits, m.octets);
  detail::EncodeUtf8(value.data(), m, out.Reserve(m.octets));
  out.Advance(m.octets);
}

// Takes the start tag written so far back into the pending form: its
// attributes' values move to the value octets, and the output ends before
// the tag again.
void CFastInfosetWriter::LeaveEagerStartTag() {
  detail::OctetBuffer& out = m_output->octets;
  detail::OctetBuffer& values = m_output->values;
  values.Clear();
  for (PendingAttribute& a : m_attributes) {
    size_t offset = values.Size();
    values.Put(out.Data() + a.valueOffset, a.valueLength);
    a.valueOffset = offset;
  }
  out.Truncate(m_tagStart);
  m_eager = false;
}

// The name's index when its table has it; otherwise the name is kept in
// m_staged, to be written as a literal.
CFastInfosetWriter::PendingName CFastInfosetWriter::FindName(bool element, const String& prefix,
                                                             const String& namespaceUri,
                                                             const String& localName,
                                                             uint32_t guess) {
  detail::VocabularyTable& table =
      m_output->tables[element ? detail::kElementNames : detail::kAttributeNames];
  detail::VocabularyTable::Name parts{prefix.data(),       prefix.size(),
                                      namespaceUri.data(), namespaceUri.size(),
                                      localName.data(),    localName.size()};
  if (guess != 0 && table.IsName(guess, parts)) return PendingName{guess, 0, 0, 0, 0};
  if (uint32_t index = table.FindName(parts, table.HashName(parts)))
    return PendingName{index, 0, 0, 0, 0};
  // A NUL ends a string: the parts as they are written.
  parts.prefixLength = WrittenLength(prefix);
  parts.uriLength = WrittenLength(namespaceUri);
  parts.localLength = WrittenLength(localName);
  if (parts.prefixLength != prefix.size() || parts.uriLength != namespaceUri.size() ||
      parts.localLength != localName.size()) {
    if (uint32_t index = table.FindName(parts, table.HashName(parts)))
      return PendingName{index, 0, 0, 0, 0};
  }
  PendingName name{0, m_stagedUnits, parts.prefixLength, parts.uriLength, parts.localLength};
  size_t units = parts.prefixLength + parts.uriLength + parts.localLength;
  if (m_staged.size() - m_stagedUnits < units) m_staged.resize(2 * (m_stagedUnits + units));
  unsigned short* out = m_staged.data() + m_stagedUnits;
  std::copy(prefix.data(), prefix.data() + parts.prefixLength, out);
  std::copy(namespaceUri.data(), namespaceUri.data() + parts.uriLength, out + parts.prefixLength);
  std::copy(localName.data(), localName.data() + parts.localLength,
            out + parts.prefixLength + parts.uriLength);
  m_stagedUnits += units;
  return name;
}

void CFastInfosetWriter::CloseStartTag(CXmlWriterContext& context) {
  if (m_startTagPending && &context == GetCurrentContext()) {
    if (m_eager) {
      m_startTagPending = false;
      m_eager = false;
      if (!m_attributes.empty()) context.SetAttributesAnnounced(true);
    } else {
      WriteStartTag(context);
    }
  }
  if (!context.IsStartTagOpen()) return;
  if (context.GetAttributesAnnounced()) m_output->octets.Put(0xF0);
  context.SetStartTagOpen(false);
}

void CFastInfosetWriter::WriteStartTag(CXmlWriterContext& context) {
  m_startTagPending = false;
  detail::OctetBuffer& out = m_output->octets;
  bool hasAttributes = !m_attributes.empty();
  unsigned bits = hasAttributes ? 0x40 : 0;
  bool declares = false;
  for (size_t i = 0, n = GetDeclarationCount(); i < n && !declares; ++i)
    declares = !IsReserved(GetDeclarationPrefix(i), GetDeclarationUri(i));
  if (declares) {
    out.Put(static_cast<unsigned char>(bits | 0x38));
    bits = 0;
    WriteNamespaceAttributes(context.GetParent() == nullptr);
    out.Put(0xF0);
  }
  uint32_t element = WriteQualifiedName(true, bits, m_elementName);
  if (m_elementName.index == 0 && element != 0) NoteElementName(element);
  const unsigned char* values = m_output->values.Data();
  for (size_t i = 0; i < m_attributes.size(); ++i) {
    const PendingAttribute& a = m_attributes[i];
    uint32_t index = WriteQualifiedName(false, 0, a.name);
    if (a.name.index == 0 && element != 0 && i < 8 && index != 0)
      m_guesses[element].attributes[i] = index;
    out.Put(values + a.valueOffset, a.valueLength);
  }
  if (hasAttributes) context.SetAttributesAnnounced(true);
}

// The root's declarations are written as literals, others as indexes where
// the tables have them.
void CFastInfosetWriter::WriteNamespaceAttributes(bool root) {
  detail::OctetBuffer& out = m_output->octets;
  for (size_t i = 0, n = GetDeclarationCount(); i < n; ++i) {
    const String& prefix = GetDeclarationPrefix(i);
    const String& uri = GetDeclarationUri(i);
    if (IsReserved(prefix, uri)) continue;
    if (m_strict) {
      detail::CheckChars(prefix, VX_T("The namespace prefix [%s]"), prefix);
      detail::CheckChars(uri, VX_T("The namespace URI [%s]"), uri);
    }
    bool hasPrefix = WrittenLength(prefix) != 0;
    bool hasUri = WrittenLength(uri) != 0;
    out.Put(static_cast<unsigned char>(0xCC | (hasPrefix ? 0x02 : 0) | (hasUri ? 0x01 : 0)));
    if (hasPrefix) WriteIdentifyingString(detail::kPrefixes, prefix.data(), WrittenLength(prefix), root);
    if (hasUri) WriteIdentifyingString(detail::kNamespaceNames, uri.data(), WrittenLength(uri), root);
  }
}

// Returns the name's index, or 0 when its table is full.
uint32_t CFastInfosetWriter::WriteQualifiedName(bool element, unsigned bits,
                                                const PendingName& name) {
  detail::OctetBuffer& out = m_output->octets;
  uint32_t index = name.index;
  if (index != 0) {
    if (element)
      detail::PutIndexOnThirdBit(out, bits, index);
    else
      detail::PutIndexOnSecondBit(out, 0, index);
    return index;
  }
  detail::VocabularyTable& table =
      m_output->tables[element ? detail::kElementNames : detail::kAttributeNames];
  const unsigned short* staged = m_staged.data() + name.offset;
  detail::VocabularyTable::Name parts{staged, name.prefixLength,
                                      staged + name.prefixLength, name.uriLength,
                                      staged + name.prefixLength + name.uriLength,
                                      name.localLength};
  uint64_t hash = 0;
  if (index == 0) {
    if (name.localLength == 0)
      throw CVxInvalidParamException(VX_T("A Fast Infoset document cannot hold an empty name"));
    // The tag may have written the same name already.
    hash = table.HashName(parts);
    index = table.FindName(parts, hash);
  }
  if (index != 0) {
    if (element)
      detail::PutIndexOnThirdBit(out, bits, index);
    else
      detail::PutIndexOnSecondBit(out, 0, index);
    return index;
  }
  unsigned present = name.prefixLength != 0 ? 3 : name.uriLength != 0 ? 1 : 0;
  out.Put(static_cast<unsigned char>(element ? bits | 0x3C | present : 0x78 | present));
  if (name.prefixLength != 0)
    WriteIdentifyingString(detail::kPrefixes, parts.prefix, parts.prefixLength, false);
  if (name.uriLength != 0)
    WriteIdentifyingString(detail::kNamespaceNames, parts.uri, parts.uriLength, false);
  WriteIdentifyingString(detail::kLocalNames, parts.local, parts.localLength, false);
  return table.AddName(parts, hash);
}

void CFastInfosetWriter::WriteIdentifyingString(int table, const unsigned short* text,
                                                size_t length, bool literal) {
  detail::VocabularyTable& vocabulary = m_output->tables[table];
  detail::OctetBuffer& out = m_output->octets;
  if (!literal) {
    if (uint32_t index = vocabulary.Find(text, length)) {
      detail::PutIndexOnSecondBit(out, 0x80, index);
      return;
    }
  }
  detail::Utf8Measure m = detail::MeasureUtf8(text, length);
  detail::PutLengthOnSecondBit(out, 0, m.octets);
  detail::EncodeUtf8(text, m, out.Reserve(m.octets));
  out.Advance(m.octets);
  vocabulary.Add(text, length);
}

void CFastInfosetWriter::WriteCharacterChunk(const String& text) {
  detail::OctetBuffer& out = m_output->octets;
  detail::Utf8Measure m = detail::MeasureUtf8(text.data(), text.size());
  unsigned bits = 0x80;
  if (m.units < 6) {
    detail::VocabularyTable& table = m_output->tables[detail::kCharacterChunks];
    if (uint32_t index = table.Find(text.data(), m.units)) {
      detail::PutIndexOnFourthBit(out, 0xA0, index);
      return;
    }
    if (table.Add(text.data(), m.units) != 0) bits = 0x90;  // add to table
  }
  detail::PutLengthOnSeventhBit(out, bits, m.octets);
  detail::EncodeUtf8(text.data(), m, out.Reserve(m.octets));
  out.Advance(m.octets);
}

// A declaration that the value needs waits with the attributes for the
// start tag, which then cannot have gone out already.
String CFastInfosetWriter::QNameToText(const CQName& value) {
  OpenStartTag();
  bool declared = false;
  String text = ResolveQName(value, declared);
  if (declared && m_eager) LeaveEagerStartTag();
  return text;
}

}  // namespace VxVevAva5
