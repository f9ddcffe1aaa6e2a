// -----------------------------------------------------------------------------
// File: XmlTextWriter.h
// -----------------------------------------------------------------------------
//
// CXmlTextWriter: writes XML text into a chunked CStringBuffer.
//
// One writer serves one document. Configure it (SetIndent, SetEOLType),
// optionally write the declaration, write the elements, then take the text:
//
//   CXmlTextWriter w;
//   w.SetDefaultNamespace(VX_T("urn:o"));
//   w.WriteStartElement(VX_T("order"), VX_T("urn:o"));
//   w.WriteStartElement(VX_T("item"), VX_T("urn:o"));
//   w.WriteText(VX_T("5"));
//   w.WriteEndElement();
//   w.WriteEndElement();
//   String xml = w.GetString();
//   // <order xmlns="urn:o">\n\t<item>5</item>\n</order>\n
//
// With indentation on, every element starts on a line of its own, indented
// with one tab per level; an element that holds only text ends on the line
// of its text. Text, attribute values and comments are escaped ('"' '&' '<'
// '>' as entities, line feeds as the chosen end of line, carriage returns
// dropped); namespace URIs in declarations get '"' '&' '<' '>' escaped;
// names, prefixes, processing instructions and the in-line schema are
// written as given. Every element and attribute reads back in the namespace
// it was written in (see CXmlWriter). Failures throw CVxException; the
// output written so far stays in the buffer.
//
// Strict XML (SetStrictXml, off by default) makes every value read back
// exactly. By default a TAB or line feed in an attribute value is written
// as it is, which a reader turns into a space, a carriage return is
// dropped, and characters that XML 1.0 forbids are written too, so that
// the output cannot be read at all.

#ifndef VXBIND_WRITERS_XMLTEXTWRITER_H
#define VXBIND_WRITERS_XMLTEXTWRITER_H

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/StringBuffer.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {

class CByteSink;
namespace detail {
class TextBytes;
}  // namespace detail

class VXBIND_EXPORT CXmlTextWriter : public CXmlWriter {
 public:
  // Indentation on, end of line LF, no encoding recorded, empty buffer.
  CXmlTextWriter();
  ~CXmlTextWriter() override;
  CXmlTextWriter(const CXmlTextWriter&) = delete;
  CXmlTextWriter& operator=(const CXmlTextWriter&) = delete;

  // Turns indentation (tabs and line ends around elements) on or off.
  void SetIndent(bool indent) { m_indent = indent; }
  // Strict XML, off by default. When on:
  // - attribute values (and namespace URIs) are escaped losslessly: TAB, LF
  //   and CR become &#x9; &#xA; &#xD; besides &quot; &amp; &lt; &gt;, so a
  //   reader gets them back instead of spaces;
  // - a character that XML 1.0 forbids (a C0 control other than TAB, LF and
  //   CR, NUL included; a surrogate outside a pair; U+FFFE, U+FFFF) in
  //   element text, an attribute value, a comment, a name, a prefix, a
  //   namespace URI, a processing instruction or the in-line schema throws
  //   CVxException naming the character as U+XXXX and what held it, e.g.
  //   "The text of the element [e] holds the character U+0001, which XML
  //   1.0 does not allow"; nothing of that item past the character is
  //   written;
  // - a comment holding "--" or ending with "-" throws CVxException
  //   "A comment cannot hold "--" or end with "-"".
  // Text content keeps its line-end rule either way: a line feed becomes
  // the end of line, a carriage return is dropped (and the document model
  // leaves carriage returns out of text), so text reads back without CR.
  // With the setting off the output is exactly as described above.
  void SetStrictXml(bool strict) { m_strict = strict; }
  bool GetStrictXml() const { return m_strict; }
  // EOLType_CRLF writes "\r\n", EOLType_LF "\n". Any other value throws
  // CVxException "Invalid EOL type." and changes nothing.
  void SetEOLType(EOLType eolType);
  // Records `encoding`, empties the buffer and writes the declaration
  // <?xml version="1.0"?> with encoding="UTF-8" for XmlEncoding_UTF8,
  // encoding="UTF-16" for XmlEncoding_UTF16 and no label otherwise, followed
  // by the end of line. Must come before any other output.
  void WriteStartDocument(XmlEncoding encoding);
  // The whole output so far. Calling it again gives the same text (plus
  // anything written in between).
  String GetString();
  // The whole output so far as bytes: UTF-8 for XmlEncoding_UTF8, UTF-16
  // low byte first without byte order mark for XmlEncoding_UTF16 and
  // XmlEncoding_UTF16NoLabel. Any other encoding throws CVxException
  // "Unknown Encoding, select UTF-8". The buffer is unchanged. Defined with
  // the byte output (ByteOutput.cpp).
  CBinaryData GetBytes(XmlEncoding encoding);

  // Bytes straight to `sink` instead of text held in memory: the writer
  // keeps at most 32,768 units of text, and whenever they are full it
  // encodes them as GetBytes(encoding) would and hands the bytes to the
  // sink; Flush hands over the rest. The bytes in order are exactly those
  // GetBytes gives for the whole text. Call it before WriteStartDocument;
  // it empties the buffer. An encoding GetBytes refuses throws the same
  // CVxException here, and an unpaired surrogate throws from the write (or
  // the Flush) that encodes it, after the bytes before it were handed over.
  // What the sink throws passes through unchanged; the writer can then
  // only be destroyed. GetString and GetBytes give only the text not handed
  // over yet. `sink` must outlive the writer's use of it.
  void SetByteSink(CByteSink* sink, XmlEncoding encoding);
  // With a sink: encodes and hands over the text still buffered, and ends
  // the text (a high surrogate waiting for its pair is unpaired). Does
  // nothing without a sink.
  void Flush();

  // <!--text-->, the text escaped, then the end of line (indent or not).
  void WriteComment(const String& text) override;
  // The text as given, then two ends of line (a blank line follows).
  void WriteProcessingInstruction(const String& text) override;
  // A space, the end of line, the text as given and the end of line, into
  // the open start tag (which is neither checked nor closed).
  void WriteInLineSchema(const String& text) override;
  // Closes the parent's start tag if it is open and writes "<name". An
  // element in a namespace other than the default one gets the namespace's
  // prefix, declared here (xmlns:AA="...") when it had none or the output
  // does not bind it; an element without a namespace is never prefixed (it
  // declares xmlns="" inside a default namespace), nor is one in the
  // default namespace (it declares that namespace when the output does not
  // have it in force). The root element also declares the default
  // namespace (unless it has no namespace itself) and the namespaces given
  // before it.
  void WriteStartElement(const String& localName, const String& namespaceUri) override;
  // Appends escaped text, closing the start tag first. An empty text writes
  // nothing (the element can still end as <name/>). Throws CVxException
  // when no element is open.
  void WriteText(const String& text) override;
  // "/>" while the start tag is open, otherwise the end tag, which repeats
  // the start tag's name. Throws CVxException when no element is open.
  void WriteEndElement() override;
  // Throws CVxException "Attributes must be added before elements" once the
  // start tag is closed, and another CVxException when no element is open.
  void WriteAttribute(const String& localName, const String& namespaceUri,
                      const String& value) override;
  // xsi:type="prefix:typeName", declaring the type's namespace here when it
  // has no prefix yet or the output does not bind it (no prefix when the
  // type's namespace is the scope's default one or empty).
  // Same failures as WriteAttribute.
  void WriteXsiType(const String& typeNamespaceUri, const String& typeName) override;
  String QNameToText(const CQName& value) override;

 private:
  CXmlWriterContext& OpenStartTag();
  void AppendRaw(const String& text);
  void AppendEol() { m_buffer->Append(m_eolText.data(), m_eolText.size()); }
  void AppendTabs(unsigned int count);
  void AppendDeclaration(const String& prefix, const String& namespaceUri, bool leadingSpace);
  void AppendDeclarations();
  void WriteAttributeValue(const unsigned short* localName, size_t localNameLength,
                           const String& namespaceUri, const unsigned short* value,
                           size_t valueLength);

  CStringBuffer* m_buffer;
  String m_eolText;
  EOLType m_eolType = EOLType_LF;
  bool m_indent = true;
  bool m_strict = false;
  XmlEncoding m_encoding = XmlEncoding_None;
  String m_scratch;  // xsi:type values; keeps its capacity between calls
  detail::TextBytes* m_bytes = nullptr;  // the byte encoder with a sink
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_XMLTEXTWRITER_H
