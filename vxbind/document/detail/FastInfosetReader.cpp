// FastInfosetReader.cpp - Fast Infoset octets into the element tree.
#include "vxbind/document/detail/FastInfosetReader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vxbind/base/Exceptions.h"
#include "vxbind/base/detail/FastInfosetHeader.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/document/detail/DocumentStorage.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/BinaryData.h"

namespace VxVevAva5 {
namespace {

// X.891 tables hold at most 2^20 entries; strings met when a table is full
// are not added.
constexpr size_t kTableLimit = size_t{1} << 20;

const char kXmlNamespace[] = "http://www.w3.org/XML/1998/namespace";

// The built-in restricted alphabets: numeric (index 1), date and time (2).
const char* const kAlphabets[] = {"0123456789-+.E ", "0123456789-:TZ "};

// Every message of the reader is built here.
[[noreturn]] void Fail(const char* what) {
  throw CVxException(String(VX_T("Failed to parse FastInfoset. ")) + Utf16::FromLatin1(what));
}

[[noreturn]] void FailEof() { Fail("Unexpected End of File."); }

[[noreturn]] void FailIndex(uint64_t index, const char* table) {
  throw CVxException(FormatString(VX_T("Failed to parse FastInfoset. Index [%I64u] is not in the %hs table."),
                                  static_cast<unsigned long long>(index), table));
}

inline uint32_t Read16(const unsigned char* p) { return uint32_t{p[0]} << 8 | p[1]; }
inline uint64_t Read32(const unsigned char* p) {
  return uint64_t{p[0]} << 24 | uint64_t{p[1]} << 16 | uint64_t{p[2]} << 8 | p[3];
}

}  // namespace

CFastInfosetReader::CFastInfosetReader(CXmlDocument* document)
    : CInstanceMonitor(VX_T("CFastInfosetReader")), m_document(document) {}

CFastInfosetReader::~CFastInfosetReader() { delete[] m_units; }

// ---- Input -------------------------------------------------------------------

unsigned CFastInfosetReader::Next() {
  if (m_pos == m_end) FailEof();
  return *m_pos++;
}

void CFastInfosetReader::Need(uint64_t octets) const {
  if (static_cast<uint64_t>(m_end - m_pos) < octets) FailEof();
}

const unsigned char* CFastInfosetReader::Take(uint64_t octets) {
  Need(octets);
  const unsigned char* p = m_pos;
  m_pos += octets;
  return p;
}

// ---- Integers and lengths ------------------------------------------------------

uint32_t CFastInfosetReader::IndexOnSecondBit(unsigned o, bool zeroAllowed) {
  if ((o & 0x40) == 0) return (o & 0x3F) + 1;
  if ((o & 0x60) == 0x40) return ((o & 0x1F) << 8 | Next()) + 65;
  if ((o & 0x70) == 0x60) {
    const unsigned char* p = Take(2);
    return ((o & 0x0F) << 16 | Read16(p)) + 8257;
  }
  if (zeroAllowed) Fail("Invalid Encoding of integers 0 To 2^20 type  on the second bit of an octet.");
  Fail("Invalid Encoding of integers 1 To 2^20 type  on the second bit of an octet.");
}

uint32_t CFastInfosetReader::IndexOnThirdBit(unsigned o) {
  unsigned low = o & 0x3F;
  if ((low & 0x20) == 0) return (low & 0x1F) + 1;
  if ((low & 0x38) == 0x20) return ((low & 0x07) << 8 | Next()) + 33;
  if ((low & 0x38) == 0x28) {
    const unsigned char* p = Take(2);
    return ((low & 0x07) << 16 | Read16(p)) + 2081;
  }
  if (low == 0x30) {
    const unsigned char* p = Take(3);
    if ((p[0] & 0xF0) == 0) return ((p[0] & 0x0Fu) << 16 | Read16(p + 1)) + 526369;
  }
  Fail("Invalid Encoding of integers 1 To 2^20 type  on the third bit of an octet.");
}

uint32_t CFastInfosetReader::IndexOnFourthBit(unsigned o) {
  unsigned low = o & 0x1F;
  if ((low & 0x10) == 0) return (low & 0x0F) + 1;
  if ((low & 0x1C) == 0x10) return ((low & 0x03) << 8 | Next()) + 17;
  if ((low & 0x1C) == 0x14) {
    const unsigned char* p = Take(2);
    return ((low & 0x03) << 16 | Read16(p)) + 1041;
  }
  if (low == 0x18) {
    const unsigned char* p = Take(3);
    if ((p[0] & 0xF0) == 0) return ((p[0] & 0x0Fu) << 16 | Read16(p + 1)) + 263185;
  }
  Fail("Invalid Encoding of integers 1 To 2^20 type  on the fourth bit of an octet.");
}

uint64_t CFastInfosetReader::LengthOnSecondBit(unsigned o) {
  if ((o & 0x40) == 0) return (o & 0x3F) + 1;
  if ((o & 0x7F) == 0x40) return Next() + 65;
  if ((o & 0x7F) == 0x60) return Read32(Take(4)) + 321;
  Fail("Invalid NonEmptyOctetString type  on the second bit of an octet.");
}

uint64_t CFastInfosetReader::LengthOnFifthBit(unsigned o) {
  if ((o & 0x08) == 0) return (o & 0x07) + 1;
  if ((o & 0x0F) == 0x08) return Next() + 9;
  if ((o & 0x0F) == 0x0C) return Read32(Take(4)) + 265;
  Fail("Invalid NonEmptyOctetString type  on the fifth bit of an octet.");
}

uint64_t CFastInfosetReader::LengthOnSeventhBit(unsigned o) {
  switch (o & 0x03) {
    case 0: return 1;
    case 1: return 2;
    case 2: return Next() + 3;
    default: return Read32(Take(4)) + 259;
  }
}

uint32_t CFastInfosetReader::SequenceLength() {
  unsigned o = Next();
  if (o < 0x80) return o + 1;
  if ((o & 0xF0) == 0x80) return ((o & 0x0F) << 16 | Read16(Take(2))) + 129;
  Fail("Invalid Encoding of the length of a sequence.");
}

// ---- Strings -------------------------------------------------------------------

unsigned short* CFastInfosetReader::Scratch(size_t units) {
  if (units > m_unitCapacity) {
    size_t capacity = std::max(units, m_unitCapacity * 2);
    auto* grown = new unsigned short[capacity];
    delete[] m_units;
    m_units = grown;
    m_unitCapacity = capacity;
  }
  return m_units;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no sequence cut short by the end of the string.
void CFastInfosetReader::DecodeUtf8(const unsigned char* p, size_t length) {
  unsigned short* out = Scratch(length);
  const unsigned char* end = p + length;
  unsigned short* o = out;
  while (p != end) {
#if defined(__SSE2__)
    while (end - p >= 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      if (_mm_movemask_epi8(v) != 0) break;
      __m128i zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(v, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(v, zero));
      p += 16;
      o += 16;
    }
    if (p == end) break;
#endif
    unsigned c = *p++;
    if (c < 0x80) {
      *o++ = static_cast<unsigned short>(c);
      continue;
    }
    unsigned need;
    uint32_t cp;
    uint32_t min;
    if ((c & 0xE0) == 0xC0) {
      need = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      need = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      need = 3, cp = c & 0x07, min = 0x10000;
    } else {
      Fail("Invalid UTF-8 string.");
    }
    if (static_cast<size_t>(end - p) < need) Fail("Invalid UTF-8 string.");
    for (unsigned k = 0; k < need; ++k) {
      unsigned t = *p++;
      if ((t & 0xC0) != 0x80) Fail("Invalid UTF-8 string.");
      cp = cp << 6 | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      Fail("Invalid UTF-8 string.");
    if (cp < 0x10000) {
      *o++ = static_cast<unsigned short>(cp);
    } else {
      cp -= 0x10000;
      *o++ = static_cast<unsigned short>(0xD800 + (cp >> 10));
      *o++ = static_cast<unsigned short>(0xDC00 + (cp & 0x3FF));
    }
  }
  m_unitCount = static_cast<size_t>(o - out);
}

// Two octets per unit, most significant first, surrogates in pairs.
void CFastInfosetReader::DecodeUtf16(const unsigned char* p, size_t length) {
  if (length % 2 != 0) Fail("A UTF-16 string has an odd number of octets.");
  size_t units = length / 2;
  unsigned short* out = Scratch(units);
  for (size_t i = 0; i < units; ++i) out[i] = static_cast<unsigned short>(Read16(p + 2 * i));
  for (size_t i = 0; i < units; ++i) {
    unsigned short c = out[i];
    if (c < 0xD800 || c > 0xDFFF) continue;
    if (c <= 0xDBFF && i + 1 < units && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    Fail("Invalid UTF-16 string.");
  }
  m_unitCount = units;
}

// `index` is the alphabet's table index (1-based).
void CFastInfosetReader::DecodeAlphabet(unsigned index, const unsigned char* p, size_t length) {
  if (index < 1 || index > 2) FailIndex(index, "restricted alphabet");
  const char* alphabet = kAlphabets[index - 1];
  size_t size = std::strlen(alphabet);
  if (size < 2 || size > kTableLimit)
    Fail("Invalid Encoding of Restricted Alphabet. Alphabet must contain between 2 and 2^20 "
         "characters.");
  // b bits per character: the smallest b >= 2 with 2^b > size; the value
  // 2^b - 1 ends the string (never with 8 bits).
  unsigned bits = 2;
  while ((size_t{1} << bits) <= size) ++bits;
  uint64_t terminator = (uint64_t{1} << bits) - 1;
  size_t most = length * 8 / bits;
  unsigned short* out = Scratch(most);
  size_t count = 0;
  uint64_t buffer = 0;
  unsigned held = 0;
  size_t next = 0;
  for (size_t i = 0; i < most; ++i) {
    while (held < bits) {
      buffer = buffer << 8 | p[next++];
      held += 8;
    }
    uint64_t value = (buffer >> (held - bits)) & terminator;
    held -= bits;
    if (bits != 8 && value == terminator) {
      // The terminator fills the rest of the last octet only.
      if (next != length || held >= bits) Fail("Invalid Encoding of Restricted Alphabet.");
      break;
    }
    if (value >= size) Fail("Invalid Encoding of Restricted Alphabet.");
    out[count++] = static_cast<unsigned char>(alphabet[value]);
  }
  m_unitCount = count;
}

// `index` is the algorithm's table index (1-based): 1 to 9 are the typed
// encodings of CBinaryData, 10 is CDATA (the octets as UTF-8).
void CFastInfosetReader::DecodeAlgorithm(unsigned index, const unsigned char* p, size_t length) {
  if (index == 10) {
    DecodeUtf8(p, length);
    return;
  }
  if (index < 1 || index > 9) Fail("Invalid NonEmptyOctetEncryptedString.");
  String text = CBinaryData(p, static_cast<uint32_t>(length))
                    .GetAsString(static_cast<ByteEncoding>(index));
  std::copy(text.begin(), text.end(), Scratch(text.size()));
  m_unitCount = text.size();
}

// An encoded character string: on the third bit (attribute values) or on
// the fifth (character chunks) of `o`. Leaves the text in the scratch units.
void CFastInfosetReader::ReadEncodedString(unsigned o, bool onFifthBit, bool* addToTable) {
  unsigned format;
  uint64_t length;
  unsigned index = 0;
  if (!onFifthBit) {
    *addToTable = (o & 0x40) != 0;
    format = (o >> 4) & 0x03;
    if (format < 2) {
      length = LengthOnFifthBit(o);
    } else {
      unsigned o2 = Next();
      index = ((o & 0x0F) << 4 | o2 >> 4) + 1;
      length = LengthOnFifthBit(o2);
    }
  } else {
    *addToTable = (o & 0x10) != 0;
    format = (o >> 2) & 0x03;
    if (format < 2) {
      length = LengthOnSeventhBit(o);
    } else {
      unsigned o2 = Next();
      index = ((o & 0x03) << 6 | o2 >> 2) + 1;
      length = LengthOnSeventhBit(o2);
    }
  }
  const unsigned char* p = Take(length);
  switch (format) {
    case 0: DecodeUtf8(p, static_cast<size_t>(length)); break;
    case 1: DecodeUtf16(p, static_cast<size_t>(length)); break;
    case 2: DecodeAlphabet(index, p, static_cast<size_t>(length)); break;
    default: DecodeAlgorithm(index, p, static_cast<size_t>(length)); break;
  }
}

// An identifying string or index (first bit) of a table whose strings are
// kept: prefixes, namespace names, local names.
const String& CFastInfosetReader::ReadIdentifying(std::deque<String>& table, const char* name) {
  unsigned o = Next();
  if (o & 0x80) {
    uint32_t index = IndexOnSecondBit(o, false);
    if (index > table.size()) FailIndex(index, name);
    return table[index - 1];
  }
  uint64_t length = LengthOnSecondBit(o);
  const unsigned char* p = Take(length);
  DecodeUtf8(p, static_cast<size_t>(length));
  if (table.size() == kTableLimit) {
    m_untabled.assign(m_units, m_unitCount);
    return m_untabled;
  }
  table.emplace_back(m_units, m_unitCount);
  return table.back();
}

// The same for the tables whose strings are not kept.
void CFastInfosetReader::SkipIdentifying(uint32_t& count, const char* name) {
  unsigned o = Next();
  if (o & 0x80) {
    uint32_t index = IndexOnSecondBit(o, false);
    if (index > count) FailIndex(index, name);
    return;
  }
  Take(LengthOnSecondBit(o));
  if (count < kTableLimit) ++count;
}

// A non-identifying string or index (first bit) that is not kept.
void CFastInfosetReader::SkipNonIdentifying(uint32_t& count, const char* name) {
  unsigned o = Next();
  if (o & 0x80) {
    if (o == 0xFF) return;  // the empty string
    uint32_t index = IndexOnSecondBit(o, true);
    if (index > count) FailIndex(index, name);
    return;
  }
  bool add = false;
  ReadEncodedString(o, false, &add);
  if (add && count < kTableLimit) ++count;
}

void CFastInfosetReader::SkipNonEmptyOctets() { Take(LengthOnSecondBit(Next())); }

CFastInfosetReader::Span CFastInfosetReader::Keep(const unsigned short* text, size_t length) {
  if (length > std::numeric_limits<uint32_t>::max()) Fail("A string is too long.");
  Span span{nullptr, static_cast<uint32_t>(length)};
  if (length != 0) {
    auto* copy =
        static_cast<unsigned short*>(m_document->Storage().arena.Allocate(length * 2));
    std::memcpy(copy, text, length * 2);
    span.text = copy;
  }
  return span;
}

void CFastInfosetReader::Spend(size_t units) {
  if (units > m_budget)
    Fail("Indexed strings expand the document to more than 256 times its size; it is not read.");
  m_budget -= units;
}

// ---- The document --------------------------------------------------------------

bool CFastInfosetReader::Parse() {
  const unsigned char* data = m_document->m_inputData;
  size_t length = m_document->m_inputLength;
  if (m_document->m_inputBomLength != 0 || data == nullptr) return false;
  size_t start = 0;
  if (length < 5 || std::memcmp(data, detail::kFastInfosetHeader, 4) != 0) {
    bool declared = false;
    for (const char* declaration : detail::kFastInfosetDeclarations) {
      size_t n = std::strlen(declaration);
      if (length >= n + 5 && std::memcmp(data, declaration, n) == 0 &&
          std::memcmp(data + n, detail::kFastInfosetHeader, 4) == 0) {
        start = n;
        declared = true;
        break;
      }
    }
    if (!declared) return false;
  }
  m_pos = data + start + 4;
  m_end = data + length;
  m_namespaces = m_document->GetSchemaType() != SchemaType_NoNamespaces;
  m_budget = std::max<uint64_t>(uint64_t{64} << 20, uint64_t{length} * 256);
  m_prefixes.push_back(Utf16::FromLatin1("xml"));
  m_namespaceNames.push_back(Utf16::FromLatin1(kXmlNamespace));
  ReadHeader();
  ReadDocument();
  return true;
}

void CFastInfosetReader::ReadHeader() {
  unsigned o = Next();
  if (o & 0x80) Fail("Invalid Encoding of the document header.");
  if (o & 0x40) {  // additional data: pairs of octet strings
    for (uint32_t n = SequenceLength(); n > 0; --n) {
      SkipNonEmptyOctets();
      SkipNonEmptyOctets();
    }
  }
  if (o & 0x20) SkipInitialVocabulary();
  if (o & 0x10) {  // notations
    unsigned b = Next();
    for (; (b & 0xFC) == 0xC0; b = Next()) {
      SkipIdentifying(m_otherNCNames, "other NCName");
      if (b & 0x02) SkipIdentifying(m_otherUris, "other URI");
      if (b & 0x01) SkipIdentifying(m_otherUris, "other URI");
    }
    if (b != 0xF0) Fail("Invalid Encoding of Notations.");
  }
  if (o & 0x08) {  // unparsed entities
    unsigned b = Next();
    for (; (b & 0xFE) == 0xD0; b = Next()) {
      SkipIdentifying(m_otherNCNames, "other NCName");
      SkipIdentifying(m_otherUris, "other URI");
      if (b & 0x01) SkipIdentifying(m_otherUris, "other URI");
      SkipIdentifying(m_otherNCNames, "other NCName");
    }
    if (b != 0xF0) Fail("Invalid Encoding of Unparsed Entities.");
  }
  if (o & 0x04) SkipNonEmptyOctets();  // character encoding scheme
  if (o & 0x02) Next();                // standalone
  if (o & 0x01) SkipNonIdentifying(m_otherStrings, "other string");  // version
}

// Read and discarded, whatever it holds: no table is filled from it.
void CFastInfosetReader::SkipInitialVocabulary() {
  unsigned first = Next();
  unsigned second = Next();
  if (first & 0x10) SkipNonEmptyOctets();  // external vocabulary URI
  // Restricted alphabets, encoding algorithms, prefixes, namespace names,
  // local names, other NCNames, other URIs: octet strings.
  const bool strings[] = {(first & 0x08) != 0, (first & 0x04) != 0, (first & 0x02) != 0,
                          (first & 0x01) != 0, (second & 0x80) != 0, (second & 0x40) != 0,
                          (second & 0x20) != 0};
  for (bool present : strings) {
    if (!present) continue;
    for (uint32_t n = SequenceLength(); n > 0; --n) SkipNonEmptyOctets();
  }
  // Attribute values, content character chunks, other strings.
  for (unsigned bit : {0x10u, 0x08u, 0x04u}) {
    if (!(second & bit)) continue;
    for (uint32_t n = SequenceLength(); n > 0; --n) {
      unsigned o = Next();
      if (o & 0x80) Fail("Invalid Encoding of the Initial Vocabulary.");
      bool add = false;
      ReadEncodedString(o, false, &add);
    }
  }
  // Element and attribute name surrogates: three indexes at most.
  for (unsigned bit : {0x02u, 0x01u}) {
    if (!(second & bit)) continue;
    for (uint32_t n = SequenceLength(); n > 0; --n) {
      unsigned o = Next();
      if (o & 0x02) IndexOnSecondBit(Next() & 0x7F, false);
      if (o & 0x01) IndexOnSecondBit(Next() & 0x7F, false);
      IndexOnSecondBit(Next() & 0x7F, false);
    }
  }
}

void CFastInfosetReader::ReadDocument() {
  // Comments, processing instructions and a document type declaration may
  // stand before the document element; other documents end without one.
  for (;;) {
    unsigned o = Next();
    if (o < 0x80) {
      ReadElement(o);
      break;
    }
    if (o == 0xE1) {
      SkipProcessingInstruction();
    } else if (o == 0xE2) {
      SkipComment();
    } else if ((o & 0xFC) == 0xC4) {
      if (SkipDocumentType(o)) return;
    } else if (o == 0xF0 || o == 0xFF) {
      return;
    } else {
      Fail("Invalid Encoding of Document type.");
    }
  }
}

// Returns true when the document ended with the declaration's terminator.
bool CFastInfosetReader::SkipDocumentType(unsigned o) {
  if (o & 0x02) SkipIdentifying(m_otherUris, "other URI");  // system identifier
  if (o & 0x01) SkipIdentifying(m_otherUris, "other URI");  // public identifier
  for (;;) {
    unsigned b = Next();
    if (b == 0xE1) {
      SkipProcessingInstruction();
    } else if (b == 0xF0) {
      return false;
    } else if (b == 0xFF) {
      return true;
    } else {
      Fail("Invalid Encoding of Document Type Declaration.");
    }
  }
}

void CFastInfosetReader::SkipProcessingInstruction() {
  SkipIdentifying(m_otherNCNames, "other NCName");
  SkipNonIdentifying(m_otherStrings, "other string");
}

void CFastInfosetReader::SkipComment() { SkipNonIdentifying(m_otherStrings, "other string"); }

void CFastInfosetReader::SkipEntityReference(unsigned o) {
  SkipIdentifying(m_otherNCNames, "other NCName");
  if (o & 0x02) SkipIdentifying(m_otherUris, "other URI");
  if (o & 0x01) SkipIdentifying(m_otherUris, "other URI");
}

void CFastInfosetReader::Pop() { m_document->m_openElements.pop_back(); }

// The element that `o` starts and everything inside it, with the open-element
// stack of the document as the only stack.
void CFastInfosetReader::ReadElement(unsigned o) {
  std::vector<CXmlElement*>& open = m_document->m_openElements;
  for (;;) {
    if (o < 0x80) {
      bool attributes = (o & 0x40) != 0;
      if ((o & 0x3C) == 0x38) {
        ReadNamespaceAttributes();
        o = Next();
      }
      const detail::InternedName* name = ReadElementName(o);
      CXmlElement* element = m_document->AddElementInterned(name);
      if (attributes) {
        ReadAttributes(element);
      } else if (!m_attributes.empty()) {
        // Namespace attributes without namespace processing.
        m_document->SetElementAttributes(element, m_attributes.data(),
                                         static_cast<uint32_t>(m_attributes.size()));
        m_attributes.clear();
      }
    } else if (o < 0xC0) {
      ReadCharacterChunk(o);
    } else if (o == 0xF0) {
      Pop();
    } else if (o == 0xFF) {
      // This element's terminator and its parent's (or the document's).
      Pop();
      if (open.empty()) {
        if (m_document->m_strictXml) ReadDocumentEnd(true);
        return;
      }
      Pop();
    } else if (o == 0xE1) {
      SkipProcessingInstruction();
    } else if (o == 0xE2) {
      SkipComment();
    } else if ((o & 0xFC) == 0xC8) {
      SkipEntityReference(o);
    } else {
      Fail("Invalid Encoding of Element type.");
    }
    if (open.empty()) break;
    o = Next();
  }
  if (m_document->m_strictXml) ReadDocumentEnd(false);
}

// With strict reading, the document's terminator (unless the root's end
// carried it) and nothing else but comments and processing instructions
// may follow the document element.
void CFastInfosetReader::ReadDocumentEnd(bool terminated) {
  while (!terminated) {
    unsigned o = Next();
    if (o == 0xE1) {
      SkipProcessingInstruction();
    } else if (o == 0xE2) {
      SkipComment();
    } else if (o == 0xF0) {
      terminated = true;
    } else {
      Fail("Octets follow the end of the document.");
    }
  }
  if (m_pos != m_end) Fail("Octets follow the end of the document.");
}

// Namespace attributes (octets 110011xx) up to their terminator. With
// namespace processing they declare prefixes for the element that follows;
// without, they are attributes named xmlns and xmlns:prefix.
void CFastInfosetReader::ReadNamespaceAttributes() {
  m_attributes.clear();
  unsigned o = Next();
  for (; (o & 0xFC) == 0xCC; o = Next()) {
    static const String kEmpty;
    const String* prefix = &kEmpty;
    const String* uri = &kEmpty;
    String prefixCopy;
    if (o & 0x02) {
      prefixCopy = ReadIdentifying(m_prefixes, "prefix");
      prefix = &prefixCopy;
    }
    if (o & 0x01) uri = &ReadIdentifying(m_namespaceNames, "namespace name");
    if (m_namespaces) {
      m_document->AddNamespaceDeclaration(prefix->c_str(), uri->c_str());
      continue;
    }
    m_qualified.assign(VX_T("xmlns"));
    if (!prefix->empty()) {
      m_qualified.push_back(':');
      m_qualified.append(*prefix);
    }
    detail::DocumentStorage& storage = m_document->Storage();
    const detail::InternedName* name =
        storage.names.Intern(nullptr, 0, m_qualified.data(), m_qualified.size());
    Span value = Keep(uri->data(), uri->size());
    m_attributes.push_back(detail::AttributeInit{name, value.text, value.length});
  }
  if (o != 0xF0) Fail("Invalid Encoding of Namespace Attributes.");
}

const detail::InternedName* CFastInfosetReader::ReadElementName(unsigned o) {
  if ((o & 0x3C) == 0x3C) return ReadLiteralName(o & 0x03, true);
  uint32_t index = IndexOnThirdBit(o);
  if (index > m_elementNames.size()) FailIndex(index, "element name");
  return m_elementNames[index - 1];
}

const detail::InternedName* CFastInfosetReader::ReadAttributeName(unsigned o) {
  if ((o & 0x7C) == 0x78) return ReadLiteralName(o & 0x03, false);
  if ((o & 0x7C) == 0x7C)
    Fail("Invalid Encoding of integers 1 To 2^20 type  on the second bit of an octet.");
  uint32_t index = IndexOnSecondBit(o, false);
  if (index > m_attributeNames.size()) FailIndex(index, "attribute name");
  return m_attributeNames[index - 1];
}

// A literal qualified name: `parts` says whether a prefix (2) and a
// namespace name (1) come before the local name.
const detail::InternedName* CFastInfosetReader::ReadLiteralName(unsigned parts, bool element) {
  if (parts == 2) Fail("Invalid QName type Prefix without Namespace.");
  String prefix;
  static const String kEmpty;
  const String* uri = &kEmpty;
  if (parts & 2) prefix = ReadIdentifying(m_prefixes, "prefix");
  String uriCopy;
  if (parts & 1) {
    uriCopy = ReadIdentifying(m_namespaceNames, "namespace name");
    uri = &uriCopy;
  }
  const String& local = ReadIdentifying(m_localNames, "local name");
  detail::DocumentStorage& storage = m_document->Storage();
  const detail::InternedName* name;
  if (m_namespaces) {
    name = storage.names.Intern(uri->data(), uri->size(), local.data(), local.size());
  } else {
    String qualified = prefix;
    if (!qualified.empty()) qualified.push_back(':');
    qualified.append(local);
    name = storage.names.Intern(nullptr, 0, qualified.data(), qualified.size());
  }
  std::vector<const detail::InternedName*>& table = element ? m_elementNames : m_attributeNames;
  if (table.size() < kTableLimit) table.push_back(name);
  return name;
}

// The attributes of `element` up to the octet that ends them: 0xF0 when
// children follow, 0xFF when the element ends here.
void CFastInfosetReader::ReadAttributes(CXmlElement* element) {
  if (m_namespaces) m_attributes.clear();
  unsigned o = Next();
  for (; o < 0x80; o = Next()) {
    const detail::InternedName* name = ReadAttributeName(o);
    Span value = ReadAttributeValue();
    m_attributes.push_back(detail::AttributeInit{name, value.text, value.length});
  }
  if (o != 0xF0 && o != 0xFF) Fail("Invalid Encoding of Attribute type.");
  m_document->SetElementAttributes(element, m_attributes.data(),
                                   static_cast<uint32_t>(m_attributes.size()));
  m_attributes.clear();
  if (o == 0xFF) Pop();
}

CFastInfosetReader::Span CFastInfosetReader::ReadAttributeValue() {
  unsigned o = Next();
  if (o & 0x80) {
    if (o == 0xFF) return Span{nullptr, 0};
    uint32_t index = IndexOnSecondBit(o, true);
    if (index > m_attributeValues.size()) FailIndex(index, "attribute value");
    // Values are never changed: elements share the table's copy.
    const Span& value = m_attributeValues[index - 1];
    Spend(value.length);
    return value;
  }
  bool add = false;
  ReadEncodedString(o, false, &add);
  Span value = Keep(m_units, m_unitCount);
  if (add && m_attributeValues.size() < kTableLimit) m_attributeValues.push_back(value);
  return value;
}

void CFastInfosetReader::ReadCharacterChunk(unsigned o) {
  CXmlElement* element = m_document->m_openElements.back();
  if (o & 0x20) {
    uint32_t index = IndexOnFourthBit(o);
    if (index > m_chunks.size()) FailIndex(index, "content character chunk");
    const Span& chunk = m_chunks[index - 1];
    Spend(chunk.length);
    CXmlDocument::AppendTextExcludingCR(element, chunk.text, chunk.length);
    return;
  }
  bool add = false;
  ReadEncodedString(o, true, &add);
  if (add && m_chunks.size() < kTableLimit) m_chunks.push_back(Keep(m_units, m_unitCount));
  CXmlDocument::AppendTextExcludingCR(element, m_units, m_unitCount);
}

}  // namespace VxVevAva5
