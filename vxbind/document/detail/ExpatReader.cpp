// The text reader over Expat. The only file that includes expat.h.
#include "vxbind/document/detail/ExpatReader.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/document/detail/Utf8ToUtf16.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

static_assert(sizeof(XML_Char) == 1, "Expat must be the UTF-8 build");

namespace VxVevAva5 {
namespace {

// XML_Parse takes an int length: larger input is passed in pieces of this
// size, none of them marked final, which parses exactly like one call.
constexpr size_t kMaxPiece = size_t{1} << 30;

// Expat takes its memory from operator new, like the rest of the library, so
// that a program which replaces operator new (to pool, count or fail
// allocations) sees every allocation of a parse. Expat reallocates, which
// operator new cannot, so each block carries its size in front.
struct alignas(std::max_align_t) BlockHeader {
  size_t size;
};

// Set when Expat was refused memory during the parse on this thread. Expat
// does not report every such refusal as XML_ERROR_NO_MEMORY (a prefix that
// cannot be entered in its table comes out as "unbound prefix"), so an
// error after one is reported as the shortage it is.
thread_local bool t_expatOutOfMemory = false;

void* ExpatMalloc(size_t size) {
  void* header = size > SIZE_MAX - sizeof(BlockHeader)
                     ? nullptr
                     : ::operator new(sizeof(BlockHeader) + size, std::nothrow);
  if (header == nullptr) {
    t_expatOutOfMemory = true;
    return nullptr;
  }
  static_cast<BlockHeader*>(header)->size = size;
  return static_cast<BlockHeader*>(header) + 1;
}

void ExpatFree(void* block) {
  if (block != nullptr) ::operator delete(static_cast<BlockHeader*>(block) - 1);
}

void* ExpatRealloc(void* block, size_t size) {
  if (block == nullptr) return ExpatMalloc(size);
  size_t old = (static_cast<BlockHeader*>(block) - 1)->size;
  if (size <= old) return block;
  void* grown = ExpatMalloc(size);
  if (grown == nullptr) return nullptr;  // Expat keeps the old block
  std::memcpy(grown, block, old);
  ExpatFree(block);
  return grown;
}

const XML_Memory_Handling_Suite kExpatMemory = {ExpatMalloc, ExpatRealloc, ExpatFree};

// Expat's own failure to allocate is reported like any other: std::bad_alloc.
[[noreturn]] void ThrowSyntaxError(XML_Parser parser) {
  if (t_expatOutOfMemory || XML_GetErrorCode(parser) == XML_ERROR_NO_MEMORY)
    throw std::bad_alloc();
  XML_Size line = XML_GetCurrentLineNumber(parser);
  String text = Utf16::FromLatin1(XML_ErrorString(XML_GetErrorCode(parser)));
  throw CVxException(FormatString(VX_T("%s at line %d"), text.c_str(),
                                  static_cast<int>(std::min<XML_Size>(line, INT_MAX))));
}

}  // namespace

CExpatReader::CExpatReader(CXmlDocument* document)
    : CInstanceMonitor(VX_T("CExpatReader")), m_document(document) {}

CExpatReader::~CExpatReader() {
  if (m_parser != nullptr) XML_ParserFree(m_parser);
}

void CExpatReader::Begin() {
  static const XML_Char kNamespaceSeparator[] = "|";
  t_expatOutOfMemory = false;
  XML_Parser parser = XML_ParserCreate_MM(
      nullptr, &kExpatMemory,
      m_document->m_schemaType == SchemaType_NoNamespaces ? nullptr : kNamespaceSeparator);
  if (parser == nullptr) throw std::bad_alloc();
  m_parser = parser;
  XML_SetUserData(parser, this);
  XML_SetElementHandler(parser, &CExpatReader::OnStartElement, &CExpatReader::OnEndElement);
  XML_SetNamespaceDeclHandler(parser, &CExpatReader::OnStartNamespace,
                              &CExpatReader::OnEndNamespace);
  XML_SetCharacterDataHandler(parser, &CExpatReader::OnCharacterData);
}

void CExpatReader::Feed(const unsigned char* bytes, size_t length) {
  XML_Parser parser = m_parser;
  const char* data = reinterpret_cast<const char*>(bytes);
  do {
    size_t piece = std::min(length, kMaxPiece);
    if (XML_Parse(parser, data, static_cast<int>(piece), XML_FALSE) != XML_STATUS_OK) {
      if (m_error) std::rethrow_exception(m_error);
      ThrowSyntaxError(parser);
    }
    data += piece;
    length -= piece;
  } while (length > 0);
}

void CExpatReader::Discard() {
  XML_SetElementHandler(m_parser, &CExpatReader::OnDiscardedStart,
                        &CExpatReader::OnDiscardedEnd);
  XML_SetNamespaceDeclHandler(m_parser, nullptr, nullptr);
  XML_SetCharacterDataHandler(m_parser, nullptr);
}

void CExpatReader::OnDiscardedStart(void* userData, const char*, const char**) {
  ++static_cast<CExpatReader*>(userData)->m_discardedDepth;
}

void CExpatReader::OnDiscardedEnd(void* userData, const char*) {
  auto* reader = static_cast<CExpatReader*>(userData);
  if (reader->m_discardedDepth != 0) {
    --reader->m_discardedDepth;
    return;
  }
  std::vector<CXmlElement*>& open = reader->m_document->m_openElements;
  if (!open.empty()) open.pop_back();
}

void CExpatReader::Parse() {
  Begin();
  if (m_document->m_inputBomLength != 0) Feed(m_document->m_inputBom, m_document->m_inputBomLength);
  Feed(m_document->m_inputData, m_document->m_inputLength);
  // By default the parse is never marked final: input that stops inside the
  // document element is not an error, and the tree keeps what was read up
  // to there. Input that stops before any element starts leaves no
  // document element, which the document reports.
  if (m_document->m_strictXml) Finish();
}

void CExpatReader::Finish() {
  XML_Parser parser = m_parser;
  bool ok = XML_Parse(parser, nullptr, 0, XML_TRUE) == XML_STATUS_OK;
  if (!ok && m_error) std::rethrow_exception(m_error);
  // No element at all: the document reports it as for any input.
  if (m_document->m_documentElement == nullptr) return;
  if (!m_document->m_openElements.empty() || m_discardedDepth != 0) {
    XML_Size line = XML_GetCurrentLineNumber(parser);
    throw CVxException(
        FormatString(VX_T("The document ends before its root element is closed at line %d"),
                     static_cast<int>(std::min<XML_Size>(line, INT_MAX))));
  }
  if (!ok) ThrowSyntaxError(parser);
}

void CExpatReader::Fail() noexcept {
  m_error = std::current_exception();
  XML_StopParser(m_parser, XML_FALSE);
}

unsigned short* CExpatReader::Units(size_t units) {
  if (units > m_unitCapacity) {
    size_t capacity = std::max(units, m_unitCapacity * 2);
    m_units.reset(new unsigned short[capacity]);
    m_unitCapacity = capacity;
  }
  return m_units.get();
}

void CExpatReader::OnStartElement(void* userData, const char* name, const char** attributes) {
  auto* reader = static_cast<CExpatReader*>(userData);
  try {
    CXmlElement* element = reader->m_document->AddElementExpanded(name, attributes);
    XML_Size line = XML_GetCurrentLineNumber(reader->m_parser);
    element->m_line = static_cast<uint32_t>(std::min<XML_Size>(line, UINT32_MAX));
    XML_Size column = XML_GetCurrentColumnNumber(reader->m_parser);
    element->m_column = static_cast<uint32_t>(std::min<XML_Size>(column, UINT32_MAX - 1) + 1);
  } catch (...) {
    reader->Fail();
  }
}

void CExpatReader::OnEndElement(void* userData, const char*) {
  auto* reader = static_cast<CExpatReader*>(userData);
  std::vector<CXmlElement*>& open = reader->m_document->m_openElements;
  if (open.empty()) return;
  CXmlElement* ended = open.back();
  open.pop_back();
  if ((ended->m_attributeCapacity & CXmlElement::kOpenBit) != 0 && reader->m_document->m_pull)
    reader->m_document->ElementEnded(ended);
}

void CExpatReader::OnCharacterData(void* userData, const char* text, int length) {
  auto* reader = static_cast<CExpatReader*>(userData);
  std::vector<CXmlElement*>& open = reader->m_document->m_openElements;
  if (length <= 0 || open.empty()) return;
  try {
    // Expat passes a CR only alone, from a character reference: all other
    // text is converted straight into the element.
    size_t bytes = static_cast<size_t>(length);
    if (std::memchr(text, '\r', bytes) == nullptr &&
        CXmlDocument::AppendTextUtf8(open.back(), text, bytes))
      return;
    unsigned short* units = reader->Units(bytes);
    size_t count = detail::Utf8ToUtf16(reinterpret_cast<const unsigned char*>(text), bytes, units);
    CXmlDocument::AppendTextExcludingCR(open.back(), units, count);
  } catch (...) {
    reader->Fail();
  }
}

void CExpatReader::OnStartNamespace(void* userData, const char* prefix, const char* uri) {
  auto* reader = static_cast<CExpatReader*>(userData);
  try {
    size_t prefixBytes = prefix == nullptr ? 0 : std::strlen(prefix);
    size_t uriBytes = uri == nullptr ? 0 : std::strlen(uri);
    unsigned short* units = reader->Units(prefixBytes + uriBytes + 2);
    unsigned short* prefix16 = nullptr;
    unsigned short* uri16 = nullptr;
    size_t at = 0;
    if (prefix != nullptr) {
      prefix16 = units;
      at = detail::Utf8ToUtf16(reinterpret_cast<const unsigned char*>(prefix), prefixBytes, units);
      units[at++] = 0;
    }
    if (uri != nullptr) {
      uri16 = units + at;
      at += detail::Utf8ToUtf16(reinterpret_cast<const unsigned char*>(uri), uriBytes, uri16);
      units[at] = 0;
    }
    reader->m_document->AddNamespaceDeclaration(prefix16, uri16);
  } catch (...) {
    reader->Fail();
  }
}

void CExpatReader::OnEndNamespace(void*, const char*) {}

}  // namespace VxVevAva5
