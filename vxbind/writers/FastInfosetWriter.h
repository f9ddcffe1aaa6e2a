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
#include <vector>

#include "vxbind/base/Enums.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {

namespace detail {
struct FastInfosetOutput;
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
  // The octets written so far. Throws CVxException "The binary data would
  // exceed 4294967295 bytes" for an output CBinaryData cannot hold.
  CBinaryData GetBinaryData() const;

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

 private:
  // An attribute of the open start tag, kept until the tag is written.
  struct PendingAttribute {
    String prefix, namespaceUri, localName, value;
  };

  CXmlWriterContext& OpenStartTag();
  void AddAttribute(const String& localName, const String& namespaceUri, const String& value);
  void CloseStartTag(CXmlWriterContext& context);
  void WriteStartTag(CXmlWriterContext& context);
  void WriteNamespaceAttributes(bool root);
  void WriteQualifiedName(bool element, unsigned bits, const String& prefix,
                          const String& namespaceUri, const String& localName);
  void WriteIdentifyingString(int table, const String& text, bool literal);
  void WriteAttributeValue(const String& value);
  void WriteCharacterChunk(const String& text);

  detail::FastInfosetOutput* m_output;
  bool m_strict = false;
  // A children terminator (four one-bits) is due but not yet written.
  bool m_owedTerminator = false;
  // The innermost start tag has not been written yet.
  bool m_startTagPending = false;
  String m_elementPrefix;  // of the pending start tag's name
  std::vector<PendingAttribute> m_attributes;
  size_t m_attributeCount = 0;  // used entries of m_attributes (they keep their capacity)
  String m_scratch;
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_FASTINFOSETWRITER_H
