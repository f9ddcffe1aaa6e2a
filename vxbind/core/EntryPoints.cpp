// The entry points of every bindable object: ToXml, ToXmlStream, ToXmlFile,
// the Fast Infoset ones and the FromXml family. CXmlObjectBase is declared on the ground floor,
// because every floor above it carries objects; the entry points create
// documents and writers, so they are defined up here.
#include <istream>
#include <optional>
#include <ostream>
#include <utility>

#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/document/detail/ByteSource.h"
#include "vxbind/model/GlobalDeclarations.h"
#include "vxbind/model/XmlGeneratedClass.h"
#include "vxbind/model/detail/Release.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/ByteOutput.h"
#include "vxbind/writers/FastInfosetWriter.h"
#include "vxbind/writers/XmlTextWriter.h"
#include "vxbind/writers/detail/ByteSinks.h"

namespace VxVevAva5 {

// The writing entry points share these steps; the writer lives on the
// caller's stack, so it is destroyed on return and on failure.
void CXmlObjectBase::WriteDocument(CXmlTextWriter& writer, bool declaration, bool indent,
                                   XmlEncoding encoding, EOLType eol,
                                   const CXmlSerializationContext& context) const {
  writer.SetIndent(indent);
  writer.SetEOLType(eol);
  writer.SetStrictXml(context.GetStrictXml());
  if (declaration) writer.WriteStartDocument(encoding);
  const String targetNamespace = GetTargetNamespace();
  ToXml_Int(&writer, true, targetNamespace.c_str(), context, false);
  if (declaration) writer.WriteEndDocument();
}

namespace {

// Validating, the xsi:type of a document's root against the global element
// of its name, for a generated class.
void CheckRoot(const CXmlObjectBase* object, const CXmlElement& root,
               const CXmlSerializationContext& context) {
  if (!context.GetValidateOnRead()) return;
  const auto* generated = dynamic_cast<const CXmlGeneratedClass*>(object);
  if (generated == nullptr) return;
  try {
    VxVevAva5Data::CheckGlobalElementType(root, generated->GetClassInfo()->GetDeclarations());
  } catch (CVxException& e) {
    e.SetPosition(root.GetLineNumber(), root.GetColumnNumber());
    throw CVxValidationException(
        FormatString(VX_T("Failed to process the element [%s]"), root.GetLocalName().c_str()),
        std::move(e));
  }
}

}  // namespace

// The reading entry points share this step. The root element's own name is
// not compared with the object's: the object takes it over.
void CXmlObjectBase::BindDocument(CXmlDocument& document, const CXmlSerializationContext& context) {
  detail::DocumentReadScope scope;
  CXmlElement* root = document.GetDocumentElement();
  CheckRoot(this, *root, context);
  FromXml_Int(root, root->GetFirstElement(), context, false);
}


String CXmlObjectBase::ToXml(bool declaration, bool indent, EOLType eol,
                             const CXmlSerializationContext& context) const {
  CXmlTextWriter writer;
  WriteDocument(writer, declaration, indent, XmlEncoding_None, eol, context);
  return writer.GetString();
}

// -- Byte-stream and file entry points ---------------------------------------

CBinaryData CXmlObjectBase::ToXmlStream(bool declaration, bool indent, XmlEncoding encoding,
                                        EOLType eol, const CXmlSerializationContext& context,
                                        CompressionType compression) const {
  CXmlTextWriter writer;
  WriteDocument(writer, declaration, indent, encoding, eol, context);
  CBinaryData bytes = writer.GetBytes(encoding);
  return bytes.CompressData(compression);
}

// -- Fast Infoset entry points -----------------------------------------------

void CXmlObjectBase::WriteFastInfoset(CFastInfosetWriter& writer, FInfoDecl declaration,
                                      const CXmlSerializationContext& context) const {
  writer.SetStrictXml(context.GetStrictXml());
  writer.WriteStartDocument(declaration);
  const String targetNamespace = GetTargetNamespace();
  ToXml_Int(&writer, true, targetNamespace.c_str(), context, false);
  writer.WriteEndDocument();
}

CBinaryData CXmlObjectBase::ToFastInfosetStream(FInfoDecl declaration,
                                                const CXmlSerializationContext& context,
                                                CompressionType compression) {
  CFastInfosetWriter writer;
  WriteFastInfoset(writer, declaration, context);
  CBinaryData bytes = writer.GetBinaryData();
  return bytes.CompressData(compression);
}

// -- Writing straight to a destination ----------------------------------------
// The writer, the encoder and the deflate state live on the stack of the
// call, so nothing of a failed write stays in memory.

namespace {

bool IsCompressed(CompressionType compression) {
  return compression == CompressionType_GZip || compression == CompressionType_ZLib;
}

bool IsUtf16(XmlEncoding encoding) {
  return encoding == XmlEncoding_UTF16 || encoding == XmlEncoding_UTF16NoLabel;
}

void CheckFileCompression(CompressionType compression) {
  if (compression == CompressionType_ZLib)
    throw CVxException(String(VX_T("ZLIB Compression only available for To Stream methods.")));
}

// The bytes that `write(sink)` produces, compressed as asked into
// `destination`. A byte order mark, when asked for, comes first (inside the
// compressed bytes).
template <class Write>
void WriteBytes(CByteSink& destination, CompressionType compression, bool byteOrderMark,
                Write write) {
  std::optional<detail::DeflatingSink> deflating;
  if (IsCompressed(compression)) deflating.emplace(destination, compression);
  CByteSink& sink = deflating ? static_cast<CByteSink&>(*deflating) : destination;
  if (byteOrderMark) {
    static const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};
    sink.Write(kByteOrderMark, 2);
  }
  write(sink);
  if (deflating) deflating->Finish();
}

}  // namespace

void CXmlObjectBase::WriteDocumentTo(CByteSink& sink, bool declaration, bool indent,
                                     XmlEncoding encoding, EOLType eol,
                                     const CXmlSerializationContext& context) const {
  CXmlTextWriter writer;
  writer.SetByteSink(&sink, encoding);
  WriteDocument(writer, declaration, indent, encoding, eol, context);
  writer.Flush();
}

void CXmlObjectBase::WriteFastInfosetTo(CByteSink& sink, FInfoDecl declaration,
                                        const CXmlSerializationContext& context) const {
  CFastInfosetWriter writer;
  writer.SetByteSink(&sink);
  WriteFastInfoset(writer, declaration, context);
  writer.Flush();
}

void CXmlObjectBase::ToXmlStream(std::ostream& out, bool declaration, bool indent,
                                 XmlEncoding encoding, EOLType eol,
                                 const CXmlSerializationContext& context,
                                 CompressionType compression) const {
  detail::StreamSink stream(out);
  WriteBytes(stream, compression, false, [&](CByteSink& sink) {
    WriteDocumentTo(sink, declaration, indent, encoding, eol, context);
  });
  stream.Finish();
}

void CXmlObjectBase::ToXmlCallback(const ByteCallback& callback, bool declaration, bool indent,
                                   XmlEncoding encoding, EOLType eol,
                                   const CXmlSerializationContext& context,
                                   CompressionType compression) const {
  detail::CallbackSink target(callback);
  WriteBytes(target, compression, false, [&](CByteSink& sink) {
    WriteDocumentTo(sink, declaration, indent, encoding, eol, context);
  });
}

void CXmlObjectBase::ToXmlFile(const unsigned short* fileName, bool declaration, bool indent,
                               XmlEncoding encoding, EOLType eol,
                               const CXmlSerializationContext& context,
                               CompressionType compression) const {
  CheckFileCompression(compression);
  if (encoding != XmlEncoding_UTF8 && !IsUtf16(encoding))
    throw CVxException(String(VX_T("Unknown Encoding, select UTF-8")));
  // A byte order mark in front of gzip data would hide the gzip header from
  // the readers, which then could not inflate the file: with compression
  // the mark goes inside the compressed bytes, where the text reader looks
  // for it.
  detail::FileSink file(fileName);
  WriteBytes(file, compression, IsUtf16(encoding), [&](CByteSink& sink) {
    WriteDocumentTo(sink, declaration, indent, encoding, eol, context);
  });
  file.Close();
}

void CXmlObjectBase::ToFastInfosetStream(std::ostream& out, FInfoDecl declaration,
                                         const CXmlSerializationContext& context,
                                         CompressionType compression) const {
  detail::StreamSink stream(out);
  WriteBytes(stream, compression, false, [&](CByteSink& sink) {
    WriteFastInfosetTo(sink, declaration, context);
  });
  stream.Finish();
}

void CXmlObjectBase::ToFastInfosetCallback(const ByteCallback& callback, FInfoDecl declaration,
                                           const CXmlSerializationContext& context,
                                           CompressionType compression) const {
  detail::CallbackSink target(callback);
  WriteBytes(target, compression, false, [&](CByteSink& sink) {
    WriteFastInfosetTo(sink, declaration, context);
  });
}

void CXmlObjectBase::ToFastInfosetFile(const unsigned short* fileName, FInfoDecl declaration,
                                       const CXmlSerializationContext& context,
                                       CompressionType compression) {
  CheckFileCompression(compression);
  detail::FileSink file(fileName);
  WriteBytes(file, compression, false, [&](CByteSink& sink) {
    WriteFastInfosetTo(sink, declaration, context);
  });
  file.Close();
}

// -- Reading entry points ----------------------------------------------------
// Each keeps its document on the stack, so the document and its tree are
// destroyed on return and on failure. The document is read while binding:
// after the binding, failed or not, the rest of the input is parsed, and a
// failure of the input wins, as it would have stopped a whole load first.

namespace {

template <class Begin, class Bind>
void ReadAndBind(const CXmlSerializationContext& context, Begin begin, Bind bind) {
  CXmlDocument document(context.GetSchemaType());
  document.SetStrictXml(context.GetStrictXml());
  begin(document);
  try {
    bind(document);
  } catch (...) {
    document.FinishRead();  // throws the input's failure, if any
    throw;
  }
  document.FinishRead();
}

}  // namespace

void CXmlObjectBase::FromXml(const unsigned short* xmlText,
                             const CXmlSerializationContext& context) {
  ReadAndBind(context, [&](CXmlDocument& d) { d.BeginReadText(xmlText); },
              [&](CXmlDocument& d) { BindDocument(d, context); });
}

void CXmlObjectBase::FromXml(const char* xmlText, const CXmlSerializationContext& context) {
  ReadAndBind(context, [&](CXmlDocument& d) { d.BeginReadText(xmlText); },
              [&](CXmlDocument& d) { BindDocument(d, context); });
}

void CXmlObjectBase::FromXmlFile(const unsigned short* fileName,
                                 const CXmlSerializationContext& context) {
  ReadAndBind(context,
              [&](CXmlDocument& d) { d.BeginRead(detail::FileSource(fileName)); },
              [&](CXmlDocument& d) { BindDocument(d, context); });
}

void CXmlObjectBase::FromXmlStream(unsigned char* const data, uint32_t length,
                                   const CXmlSerializationContext& context) {
  ReadAndBind(context, [&](CXmlDocument& d) { d.BeginReadBytes(data, length); },
              [&](CXmlDocument& d) { BindDocument(d, context); });
}

void CXmlObjectBase::FromXmlStream(std::istream& in, const CXmlSerializationContext& context) {
  ReadAndBind(context, [&](CXmlDocument& d) { d.BeginRead(detail::StreamSource(in)); },
              [&](CXmlDocument& d) { BindDocument(d, context); });
}

void CXmlObjectBase::FromXmlElement(const CXmlElement* element, CXmlSerializationContext& context) {
  if (element == nullptr) throw CVxInvalidParamException(VX_T("The element to read from is NULL"));
  // The tree is read-only here; the protocol takes non-const pointers only
  // because it hands them on.
  CXmlElement* e = const_cast<CXmlElement*>(element);
  detail::DocumentReadScope scope;
  CheckRoot(this, *e, context);
  FromXml_Int(e, e->GetFirstElement(), context, false);
}

bool CXmlObjectBase::DoesElementNameMatch(const CXmlSerializationContext& context,
                                          const CXmlElement* element, const unsigned short* name,
                                          const unsigned short* namespaceUri) const {
  if (!Utf16::Equal(element->GetLocalName().c_str(), name)) return false;
  if (context.GetSchemaType() == SchemaType_NoNamespaces || context.GetIgnoreNamespaces())
    return true;
  return Utf16::Equal(element->GetNamespaceURI().c_str(), namespaceUri);
}

void CXmlObjectBase::FromXmlStream(const CBinaryData& data,
                                   const CXmlSerializationContext& context) {
  // The reader only reads the bytes, during this call; the non-const
  // pointer is what the byte overload takes.
  FromXmlStream(const_cast<unsigned char*>(data.GetData()), data.GetLength(), context);
}

}  // namespace VxVevAva5
