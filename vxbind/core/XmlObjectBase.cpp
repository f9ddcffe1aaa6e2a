#include "vxbind/core/XmlObjectBase.h"

#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlTextWriter.h"

namespace VxVevAva5 {
namespace {

[[noreturn]] void ThrowAlreadyChosen(const String& chosen) {
  throw CVxInvalidStateException(FormatString(
      VX_T("The Property [%s] is already set. Only one element within this class bay be set at a "
           "time"),
      chosen.c_str()));
}

}  // namespace

int32_t CXmlObjectBase::Release() {
  int32_t count = --m_refCount;
  if (count == 0) delete this;
  return count;
}

// The writing entry points share these steps; the writer lives on the
// caller's stack, so it is destroyed on return and on failure.
void CXmlObjectBase::WriteDocument(CXmlTextWriter& writer, bool declaration, bool indent,
                                   XmlEncoding encoding, EOLType eol,
                                   const CXmlSerializationContext& context) const {
  writer.SetIndent(indent);
  writer.SetEOLType(eol);
  if (declaration) writer.WriteStartDocument(encoding);
  const String targetNamespace = GetTargetNamespace();
  ToXml_Int(&writer, true, targetNamespace.c_str(), context, false);
  if (declaration) writer.WriteEndDocument();
}

// The reading entry points share this step. The root element's own name is
// not compared with the object's: the object takes it over.
void CXmlObjectBase::BindDocument(CXmlDocument& document,
                                  const CXmlSerializationContext& context) {
  CXmlElement* root = document.GetDocumentElement();
  FromXml_Int(root, root->GetFirstElement(), context, false);
}

String CXmlObjectBase::ToXml(bool declaration, bool indent, EOLType eol,
                             const CXmlSerializationContext& context) const {
  CXmlTextWriter writer;
  WriteDocument(writer, declaration, indent, XmlEncoding_None, eol, context);
  return writer.GetString();
}

void CXmlObjectBase::OnEvent(CXmlObjectBase*, MsgType, void*) {}

void CXmlObjectBase::AttributesToXml_Int(CXmlWriter*, const CXmlSerializationContext&) const {}

void CXmlObjectBase::AttributesToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer,
                                         const CXmlSerializationContext& context) {
  object->AttributesToXml_Int(writer, context);
}

void CXmlObjectBase::ToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer, bool root,
                               const unsigned short* namespaceUri,
                               const CXmlSerializationContext& context, bool optional) {
  object->ToXml_Int(writer, root, namespaceUri, context, optional);
}

CXmlElement* CXmlObjectBase::FromXml_Int(CXmlObjectBase* object, CXmlElement* element,
                                         CXmlElement* current,
                                         const CXmlSerializationContext& context) {
  return object->FromXml_Int(element, current, context, false);
}

void CXmlObjectBase::SetElementName(const unsigned short* name) {
  m_elementName = Utf16::Make(name);
}

void CXmlObjectBase::SetElementName(CXmlObjectBase* object, const unsigned short* name) {
  object->SetElementName(name);
}

void CXmlObjectBase::Throw_IfPropertyIsNull(CXmlObjectBase* value,
                                            const unsigned short* propertyName) {
  if (value == nullptr)
    throw CVxInvalidParamException(
        FormatString(VX_T("The Property [%s] is mandatory, it may node be NULL"), propertyName));
}

void CXmlObjectBase::Throw_IfElementNameDiffers(CXmlObjectBase* value,
                                                const unsigned short* requiredName) {
  if (value == nullptr) return;
  const String& actual = value->GetBase()->m_elementName;
  if (!Utf16::Equal(actual.c_str(), requiredName))
    throw CVxInvalidParamException(FormatString(
        VX_T("This property requrires an element with the name %s the element being set has the "
             "element name %s"),
        requiredName, actual.c_str()));
}

void CXmlObjectBase::Choice_SelectElement(const unsigned short* elementName,
                                          CXmlObjectBase* value, String& chosen) {
  if (Utf16::Equal(chosen.c_str(), elementName)) {
    if (value == nullptr) chosen.clear();
  } else if (chosen.empty()) {
    chosen = Utf16::Make(elementName);
  } else if (value != nullptr) {
    ThrowAlreadyChosen(chosen);
  }
}

void CXmlObjectBase::Choice_CollectionChanged(const unsigned short* elementName, int32_t count,
                                              String& chosen) {
  if (Utf16::Equal(chosen.c_str(), elementName)) {
    if (count == 0) chosen.clear();
  } else if (chosen.empty()) {
    if (count > 0) chosen = Utf16::Make(elementName);
  } else if (count != 0) {
    ThrowAlreadyChosen(chosen);
  }
}

void CXmlObjectBase::Choice_SetElementValid(bool valid, const unsigned short* elementName,
                                            String& chosen) {
  if (!valid) {
    chosen.clear();
  } else if (chosen.empty() || Utf16::Equal(chosen.c_str(), elementName)) {
    chosen = Utf16::Make(elementName);
  } else {
    throw CVxInvalidStateException(FormatString(
        VX_T("The Property %s is already set. Only one element within this class bay be set at a "
             "time"),
        chosen.c_str()));
  }
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

void CXmlObjectBase::ToXmlFile(const unsigned short* fileName, bool declaration, bool indent,
                               XmlEncoding encoding, EOLType eol,
                               const CXmlSerializationContext& context,
                               CompressionType compression) const {
  if (compression == CompressionType_ZLib)
    throw CVxException(String(VX_T("ZLIB Compression only available for To Stream methods.")));
  bool utf16 = encoding == XmlEncoding_UTF16 || encoding == XmlEncoding_UTF16NoLabel;
  if (compression == CompressionType_None || !utf16) {
    ToXmlStream(declaration, indent, encoding, eol, context, compression).ToFile(fileName, encoding);
    return;
  }
  // A byte order mark in front of gzip data would hide the gzip header from
  // the readers, which then could not inflate the file. The mark goes inside
  // the compressed bytes instead, where the text reader looks for it.
  static const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};
  CBinaryData bytes(kByteOrderMark, 2);
  bytes.Append(ToXmlStream(declaration, indent, encoding, eol, context, CompressionType_None));
  bytes.CompressData(compression);
  bytes.ToFile(fileName, XmlEncoding_None);  // no second mark outside
}

// -- Reading entry points ----------------------------------------------------
// Each keeps its document on the stack, so the document and its tree are
// destroyed on return and on failure. A successful load always has a
// document element.

void CXmlObjectBase::FromXml(const unsigned short* xmlText,
                             const CXmlSerializationContext& context) {
  CXmlDocument document(context.GetSchemaType());
  document.LoadXml(xmlText);
  BindDocument(document, context);
}

void CXmlObjectBase::FromXml(const char* xmlText, const CXmlSerializationContext& context) {
  CXmlDocument document(context.GetSchemaType());
  document.LoadXml(xmlText);
  BindDocument(document, context);
}

void CXmlObjectBase::FromXmlFile(const unsigned short* fileName,
                                 const CXmlSerializationContext& context) {
  CXmlDocument document(context.GetSchemaType());
  document.Load(fileName);
  BindDocument(document, context);
}

void CXmlObjectBase::FromXmlStream(unsigned char* const data, uint32_t length,
                                   const CXmlSerializationContext& context) {
  CXmlDocument document(context.GetSchemaType());
  document.LoadXmlStream(data, length);
  BindDocument(document, context);
}

void CXmlObjectBase::FromXmlElement(const CXmlElement* element,
                                    CXmlSerializationContext& context) {
  if (element == nullptr)
    throw CVxInvalidParamException(VX_T("The element to read from is NULL"));
  // The tree is read-only here; the protocol takes non-const pointers only
  // because it hands them on.
  CXmlElement* e = const_cast<CXmlElement*>(element);
  FromXml_Int(e, e->GetFirstElement(), context, false);
}

bool CXmlObjectBase::DoesElementNameMatch(const CXmlSerializationContext& context,
                                          const CXmlElement* element,
                                          const unsigned short* name,
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
