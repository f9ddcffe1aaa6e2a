// -----------------------------------------------------------------------------
// File: FastInfosetWriter.h
// -----------------------------------------------------------------------------
//
// CFastInfosetWriter: writes a binary Fast Infoset document (ITU-T X.891)
// instead of XML text, through the same writer interface, so that an object
// writes itself without knowing which writer it talks to.
//
//   CFastInfosetWriter w;
//   w.WriteStartDocument(FInfoDecl_None);
//   w.WriteStartElement(VX_T("r"), String());
//   w.WriteEndElement();
//   w.WriteEndDocument();
//   CBinaryData fi = w.GetBinaryData();   // E0 00 00 01 00 3C 00 72 FF
//
// What it writes: no initial or external vocabulary, no restricted
// alphabets or encoding algorithms, no comments or processing instructions
// (those calls write nothing); every string in UTF-8. Element and attribute
// names, their parts, attribute values and character chunks shorter than 6
// UTF-16 units are entered in the vocabulary tables and written as an index
// when they recur (1 to 3 octets for a recurring name); longer values and
// texts are written as they are and never grow the tables. A table that
// holds the 2^20 entries X.891 allows takes no more: later strings are
// written as literals.
//
// Namespaces. Every name in a namespace carries a prefix, elements in the
// default namespace too: the prefix of the scope (see CXmlWriter), or one
// generated for it ("AA", "AB", ...). Each prefix is declared with a
// namespace attribute where the output does not bind it yet, so that any
// X.891 decoder reads every name in its namespace; the root also declares
// the default namespace and the aliases given before it (as the text writer
// does), an element without namespace inside a non-empty default namespace
// undeclares it (xmlns=""), and names in the XML namespace use the
// predefined prefix "xml", which is never declared. The start tag of an
// element is written when it closes (its first child, its text or its
// end), when all its declarations are known.
//
// Strings are written up to their first NUL. A surrogate that is not part
// of a pair cannot be UTF-8 and throws CVxException "Invalid UTF-16 text:
// unpaired surrogate [0x%04X] at position [%u]". Carriage returns in text
// are written as they are (readers of this library drop them, as they do
// for text).

#ifndef VXBIND_WRITERS_FASTINFOSETWRITER_H
#define VXBIND_WRITERS_FASTINFOSETWRITER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vxbind/base/Enums.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {

class CByteSink;

namespace detail {
struct FastInfosetOutput;
class OctetBuffer;
}  // namespace detail

class VXBIND_EXPORT CFastInfosetWriter : public CXmlWriter {
 public:
  // An empty output; call WriteStartDocument first.
  CFastInfosetWriter();
  ~CFastInfosetWriter() override;
  CFastInfosetWriter(const CFastInfosetWriter&) = delete;
  CFastInfosetWriter& operator=(const CFastInfosetWriter&) = delete;

  // Strict XML, off by default. When on, a character that XML 1.0 forbids
  // (a C0 control other than TAB, LF and CR, NUL included; a surrogate
  // outside a pair; U+FFFE, U+FFFF) in an element or attribute name, an
  // attribute value, a text, a namespace prefix or URI throws CVxException
  // naming it, as CXmlTextWriter's strict setting does ("The text of the
  // element [e] holds the character U+0001, which XML 1.0 does not
  // allow"), so that the document holds only what an XML document can.
  // Values need no other care here: Fast Infoset keeps them exactly.
  void SetStrictXml(bool strict) { m_strict = strict; }
  bool GetStrictXml() const { return m_strict; }

  // Empties the output and the vocabulary, writes the XML declaration that
  // `declaration` selects (none for FInfoDecl_None or a value outside the
  // enumeration), then the header E0 00 00 01 and the octet 00 (no
  // optional part). Must come before any other output.
  void WriteStartDocument(FInfoDecl declaration);
  // The octets written so far (an open start tag is not written yet). The
  // writer hands its buffer over instead of copying it, and can go on
  // writing: the next call gives the whole output again. Throws CVxException
  // "The binary data would exceed 4294967295 bytes" for an output
  // CBinaryData cannot hold.
  CBinaryData GetBinaryData();

  // Octets straight to `sink` instead of held in memory: whenever an
  // element ends with about 60 KiB of octets buffered, they are handed to
  // the sink, and Flush hands over the rest; the octets in order are
  // exactly those GetBinaryData gives for the whole document. The buffer
  // then holds what one element writes between two ends (a long text
  // whole). What the sink throws passes through unchanged; the writer can
  // then only be destroyed. GetBinaryData gives only the octets not handed
  // over yet. `sink` must outlive the writer's use of it; null goes back
  // to holding the output.
  void SetByteSink(CByteSink* sink) { m_sink = sink; }
  // With a sink: hands over the octets written so far (a start tag still
  // open is not written yet and stays). Does nothing without a sink.
  void Flush();

  // Throws CVxException "An Element has not been closed." while an element
  // is open; otherwise ends the document (its terminator octet).
  void WriteEndDocument() override;
  // Write nothing.
  void WriteComment(const String& text) override;
  void WriteInLineSchema(const String& text) override;
  // Writes nothing for the instruction, but writes and closes an open start
  // tag (attributes cannot follow it).
  void WriteProcessingInstruction(const String& text) override;
  // Opens an element; an empty URI means no namespace.
  void WriteStartElement(const String& localName, const String& namespaceUri) override;
  // One character chunk with the whole text; an empty text writes nothing.
  // Throws CVxException when no element is open.
  void WriteText(const String& text) override;
  // Closes the innermost element. Throws CVxException when none is open.
  void WriteEndElement() override;
  // Throws CVxException "Attributes must be added before elements" once the
  // start tag is closed, and another CVxException when no element is open.
  void WriteAttribute(const String& localName, const String& namespaceUri,
                      const String& value) override;
  // xsi:type="prefix:typeName", the prefix being declared on this element
  // when the output does not bind it; no prefix when the type's namespace
  // is empty or the scope's default one. Same failures as WriteAttribute.
  void WriteXsiType(const String& typeNamespaceUri, const String& typeName) override;
  String QNameToText(const CQName& value) override;

 private:
  // A name of the open start tag: its index in its table when it has one
  // already, otherwise its parts (prefix, URI, local name) in m_staged.
  struct PendingName {
    uint32_t index;
    size_t offset, prefixLength, uriLength, localLength;
  };
  // An attribute of the open start tag, kept until the tag is written: its
  // name, and its value already encoded (values have a table of their own,
  // so their octets do not depend on what the tag writes before them).
  struct PendingAttribute {
    PendingName name;
    size_t valueOffset, valueLength;  // in the value octets (the output when eager)
  };

  CXmlWriterContext& OpenStartTag();
  void AddAttribute(const String& localName, const String& namespaceUri, const String& value);
  void EncodeValue(detail::OctetBuffer& out, const String& value);
  void LeaveEagerStartTag();
  PendingName FindName(bool element, const String& prefix, const String& namespaceUri,
                       const String& localName, uint32_t guess);
  void NoteElementName(uint32_t index);
  void CloseStartTag(CXmlWriterContext& context);
  void WriteStartTag(CXmlWriterContext& context);
  void WriteNamespaceAttributes(bool root);
  uint32_t WriteQualifiedName(bool element, unsigned bits, const PendingName& name);
  void WriteIdentifyingString(int table, const unsigned short* text, size_t length, bool literal);
  void WriteCharacterChunk(const String& text);

  detail::FastInfosetOutput* m_output;
  bool m_strict = false;
  // A children terminator (four one-bits) is due but not yet written.
  bool m_owedTerminator = false;
  // The innermost start tag has not been written yet.
  bool m_startTagPending = false;
  // The pending start tag is written as it comes (from m_tagStart on):
  // while its names are indexes and it declares nothing, no later
  // attribute can change what goes before them. The first one that would
  // takes the tag back into the pending form.
  bool m_eager = false;
  size_t m_tagStart = 0;
  // The pending start tag's name and attributes.
  PendingName m_elementName = PendingName();
  // Data documents repeat their structure: for each element name (by its
  // index), the names that followed it last time, which are checked before
  // the tables are searched. The open elements' name indexes and the last
  // child of each; 0 for a name not known yet.
  struct NameGuesses {
    uint32_t firstChild, nextSibling;
    uint32_t attributes[8];
  };
  struct OpenName {
    uint32_t index, lastChild;
  };
  std::vector<NameGuesses> m_guesses;
  std::vector<OpenName> m_open;
  std::vector<PendingAttribute> m_attributes;
  std::vector<unsigned short> m_staged;  // grows, never shrinks
  size_t m_stagedUnits = 0;             // used
  String m_scratch;
  // The output handed out by GetBinaryData (it is not copied): octets
  // written since then are appended to it on the next call.
  CBinaryData m_handedOut;
  CByteSink* m_sink = nullptr;
  void HandOver();
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_FASTINFOSETWRITER_H
