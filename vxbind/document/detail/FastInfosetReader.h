// -----------------------------------------------------------------------------
// File: FastInfosetReader.h  (internal)
// -----------------------------------------------------------------------------
//
// CFastInfosetReader: decodes a Fast Infoset document (ITU-T X.891) into the
// element tree of a CXmlDocument. CXmlDocument offers it every byte input
// (after inflation); when the input does not start like a Fast Infoset
// document the text reader takes it instead.
//
// Everything X.891 allows is decoded: indexes and literals of every size,
// UTF-8 and UTF-16 strings, the built-in restricted alphabets, the built-in
// encoding algorithms (as text, through CBinaryData::GetAsString), and the
// optional parts of the header, which are read and discarded (the initial
// vocabulary included: no table is filled from it). Comments, processing
// instructions, a document type declaration and entity references are read
// and skipped. The document's namespace attributes become the document's
// namespace declarations; with schema type 2 (no namespace processing)
// names are "prefix:local" and namespace attributes are attributes, as the
// text reader gives them.
//
// Untrusted input: every length is checked against the octets left before
// anything is allocated, every index against its table, and nesting costs
// heap, not stack (the document's open-element stack is the only stack).
// Strings taken from the tables by index are counted: a document whose
// indexed strings add up to more than 64 Mi units, or 256 units per octet
// of input where that is more, is refused. All failures throw CVxException
// with a message that begins "Failed to parse FastInfoset."; what was
// decoded up to the error stays in the document.

#ifndef VXBIND_DOCUMENT_DETAIL_FASTINFOSETREADER_H
#define VXBIND_DOCUMENT_DETAIL_FASTINFOSETREADER_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CXmlDocument;
class CXmlElement;

namespace detail {
struct AttributeInit;
struct InternedName;
}  // namespace detail

class CFastInfosetReader : public CInstanceMonitor {
 public:
  explicit CFastInfosetReader(CXmlDocument* document);
  CFastInfosetReader(const CFastInfosetReader&) = delete;
  CFastInfosetReader& operator=(const CFastInfosetReader&) = delete;
  virtual ~CFastInfosetReader();

  // False when the document's input does not start with the Fast Infoset
  // header (E0 00 00 01 and at least one more octet), alone or after one of
  // the nine XML declarations of FInfoDecl: nothing is consumed or built.
  // Otherwise decodes the document and returns true, also when it holds no
  // element (the document then reports that). Throws on malformed input.
  bool Parse();

 private:
  // A string kept in the document's pages (attribute values, chunks).
  struct Span {
    const unsigned short* text;
    uint32_t length;
  };

  // Input.
  unsigned Next();
  void Need(uint64_t octets) const;
  const unsigned char* Take(uint64_t octets);

  // The document's parts.
  void ReadHeader();
  void ReadDocument();
  bool SkipDocumentType(unsigned octet);
  void SkipProcessingInstruction();
  void SkipComment();
  void SkipEntityReference(unsigned octet);
  void SkipInitialVocabulary();
  void ReadDocumentEnd(bool terminated);
  void ReadElement(unsigned octet);
  void ReadNamespaceAttributes();
  const detail::InternedName* ReadElementName(unsigned octet);
  const detail::InternedName* ReadAttributeName(unsigned octet);
  const detail::InternedName* ReadLiteralName(unsigned parts, bool element);
  void ReadAttributes(CXmlElement* element);
  Span ReadAttributeValue();
  void ReadCharacterChunk(unsigned octet);
  void Pop();

  // Strings.
  const String& ReadIdentifying(std::deque<String>& table, const char* name);
  void SkipIdentifying(uint32_t& count, const char* name);
  void SkipNonIdentifying(uint32_t& count, const char* name);
  void SkipNonEmptyOctets();
  void ReadEncodedString(unsigned octet, bool onFifthBit, bool* addToTable);
  void DecodeUtf8(const unsigned char* octets, size_t length);
  void DecodeUtf16(const unsigned char* octets, size_t length);
  void DecodeAlphabet(unsigned index, const unsigned char* octets, size_t length);
  void DecodeAlgorithm(unsigned index, const unsigned char* octets, size_t length);
  Span Keep(const unsigned short* text, size_t length);
  void Spend(size_t units);
  unsigned short* Scratch(size_t units);

  // Integers and lengths.
  uint32_t IndexOnSecondBit(unsigned octet, bool zeroAllowed);
  uint32_t IndexOnThirdBit(unsigned octet);
  uint32_t IndexOnFourthBit(unsigned octet);
  uint64_t LengthOnSecondBit(unsigned octet);
  uint64_t LengthOnFifthBit(unsigned octet);
  uint64_t LengthOnSeventhBit(unsigned octet);
  uint32_t SequenceLength();

  CXmlDocument* m_document;
  const unsigned char* m_pos = nullptr;
  const unsigned char* m_end = nullptr;
  bool m_namespaces = true;  // false for schema type 2

  // The decoding tables; entry i (1-based) is at [i - 1].
  std::vector<const detail::InternedName*> m_attributeNames;
  std::vector<Span> m_attributeValues;
  std::vector<Span> m_chunks;
  std::vector<const detail::InternedName*> m_elementNames;
  std::deque<String> m_localNames;
  std::deque<String> m_namespaceNames;
  std::deque<String> m_prefixes;
  // Tables whose strings are never kept: only their sizes, so that an
  // index into them can still be checked.
  uint32_t m_otherNCNames = 0;
  uint32_t m_otherUris = 0;
  uint32_t m_otherStrings = 0;

  // Scratch: the last string decoded, and the attributes of an element.
  unsigned short* m_units = nullptr;
  size_t m_unitCount = 0;
  size_t m_unitCapacity = 0;
  std::vector<detail::AttributeInit> m_attributes;
  String m_qualified;  // "prefix:local" without namespace processing
  String m_untabled;   // a literal met when its table was full
  // Units that indexed strings may still add to the tree.
  uint64_t m_budget = 0;
};

}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_FASTINFOSETREADER_H
