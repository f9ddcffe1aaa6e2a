// FastInfosetWriter.cpp - the writer interface as Fast Infoset octets.
#include "vxbind/writers/FastInfosetWriter.h"

#include <cstdint>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/writers/detail/FastInfosetEncoder.h"
#include "vxbind/writers/detail/SameText.h"
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

struct FastInfosetOutput {
  OctetBuffer octets;
  VocabularyTable tables[kTableCount];
  std::vector<unsigned short> key;  // a qualified name's table key, reused

  // The tables as X.891 starts them: "xml" and its namespace predefined.
  void Reset() {
    octets.Clear();
    for (VocabularyTable& table : tables) table.Clear();
    static const unsigned short kXml[] = {'x', 'm', 'l'};
    tables[kPrefixes].Add(kXml, 3);
    const unsigned short* uri = VX_T("http://www.w3.org/XML/1998/namespace");
    tables[kNamespaceNames].Add(uri, 36);
  }
};

}  // namespace detail

namespace {

using detail::FastInfosetOutput;

const String& XmlPrefix() {
  static const String prefix(VX_T("xml"));
  return prefix;
}

const String& XmlNamespace() {
  static const String uri(VX_T("http://www.w3.org/XML/1998/namespace"));
  return uri;
}

const String& XsiNamespace() {
  static const String uri(VX_T("http://www.w3.org/2001/XMLSchema-instance"));
  return uri;
}

const String& TypeName() {
  static const String name(VX_T("type"));
  return name;
}

// The declarations written in front of the header, by FInfoDecl value.
const char* const kDeclarations[] = {
    "",
    "<?xml encoding='finf'?>",
    "<?xml encoding='finf' standalone='yes'?>",
    "<?xml encoding='finf' standalone='no'?>",
    "<?xml version='1.0' encoding='finf'?>",
    "<?xml version='1.0' encoding='finf' standalone='yes'?>",
    "<?xml version='1.0' encoding='finf' standalone='no'?>",
    "<?xml version='1.1' encoding='finf'?>",
    "<?xml version='1.1' encoding='finf' standalone='yes'?>",
    "<?xml version='1.1' encoding='finf' standalone='no'?>",
};

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

[[noreturn]] void ThrowNoElement(const unsigned short* message) { throw CVxException(message); }

}  // namespace

CFastInfosetWriter::CFastInfosetWriter()
    : CXmlWriter(VX_T("CFastInfosetWriter")), m_output(new FastInfosetOutput) {
  m_output->Reset();
}

CFastInfosetWriter::~CFastInfosetWriter() { delete m_output; }

void CFastInfosetWriter::WriteStartDocument(FInfoDecl declaration) {
  m_output->Reset();
  m_owedTerminator = false;
  detail::OctetBuffer& out = m_output->octets;
  unsigned index = static_cast<unsigned>(declaration);
  if (index < sizeof(kDeclarations) / sizeof(kDeclarations[0])) {
    const char* text = kDeclarations[index];
    out.Put(text, std::char_traits<char>::length(text));
  }
  static const unsigned char kHeader[] = {0xE0, 0x00, 0x00, 0x01, 0x00};
  out.Put(kHeader, sizeof(kHeader));
}

CBinaryData CFastInfosetWriter::GetBinaryData() const {
  const detail::OctetBuffer& out = m_output->octets;
  if (out.Size() > UINT32_MAX)
    throw CVxException(String(VX_T("The binary data would exceed 4294967295 bytes")));
  if (out.Size() == 0) return CBinaryData();
  return CBinaryData(out.Data(), static_cast<uint32_t>(out.Size()));
}

void CFastInfosetWriter::WriteEndDocument() {
  CXmlWriter::WriteEndDocument();
  // The root's terminator and the document's share an octet.
  m_output->octets.Put(m_owedTerminator ? 0xFF : 0xF0);
  m_owedTerminator = false;
}

void CFastInfosetWriter::WriteComment(const String&) {}

void CFastInfosetWriter::WriteInLineSchema(const String&) {}

void CFastInfosetWriter::WriteProcessingInstruction(const String&) {
  if (CXmlWriterContext* context = GetCurrentContext()) CloseStartTag(*context);
}

void CFastInfosetWriter::WriteStartElement(const String& localName, const String& namespaceUri) {
  if (m_strict) detail::CheckChars(localName, VX_T("The element name [%s]"), localName);
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
  if (namespaceUri.empty()) {
    m_elementPrefix.clear();
  } else if (detail::SameText(namespaceUri, XmlNamespace())) {
    m_elementPrefix.assign(XmlPrefix());
  } else if (!context.GetNamePrefix().empty()) {
    m_elementPrefix.assign(context.GetNamePrefix());
  } else {
    bool declared = false;
    m_elementPrefix.assign(ResolvePrefix(namespaceUri, declared));
  }
  m_startTagPending = true;
  m_attributeCount = 0;
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
  PopContext();
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
  if (m_attributeCount == m_attributes.size()) m_attributes.emplace_back();
  PendingAttribute& a = m_attributes[m_attributeCount];
  if (namespaceUri.empty()) {
    a.prefix.clear();
  } else if (detail::SameText(namespaceUri, XmlNamespace())) {
    a.prefix.assign(XmlPrefix());
  } else {
    bool declared = false;
    a.prefix.assign(ResolvePrefix(namespaceUri, declared));
  }
  a.namespaceUri.assign(namespaceUri);
  a.localName.assign(localName);
  a.value.assign(value);
  ++m_attributeCount;
}

void CFastInfosetWriter::CloseStartTag(CXmlWriterContext& context) {
  if (m_startTagPending && &context == GetCurrentContext()) WriteStartTag(context);
  if (!context.IsStartTagOpen()) return;
  if (context.GetAttributesAnnounced()) m_output->octets.Put(0xF0);
  context.SetStartTagOpen(false);
}

void CFastInfosetWriter::WriteStartTag(CXmlWriterContext& context) {
  m_startTagPending = false;
  detail::OctetBuffer& out = m_output->octets;
  unsigned bits = m_attributeCount != 0 ? 0x40 : 0;
  bool declares = false;
  for (size_t i = 0, n = GetDeclarationCount(); i < n && !declares; ++i)
    declares = !IsReserved(GetDeclarationPrefix(i), GetDeclarationUri(i));
  if (declares) {
    out.Put(static_cast<unsigned char>(bits | 0x38));
    bits = 0;
    WriteNamespaceAttributes(context.GetParent() == nullptr);
    out.Put(0xF0);
  }
  WriteQualifiedName(true, bits, m_elementPrefix, context.GetNamespaceUri(),
                     context.GetLocalName());
  for (size_t i = 0; i < m_attributeCount; ++i) {
    const PendingAttribute& a = m_attributes[i];
    WriteQualifiedName(false, 0, a.prefix, a.namespaceUri, a.localName);
    WriteAttributeValue(a.value);
  }
  if (m_attributeCount != 0) context.SetAttributesAnnounced(true);
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
    if (hasPrefix) WriteIdentifyingString(detail::kPrefixes, prefix, root);
    if (hasUri) WriteIdentifyingString(detail::kNamespaceNames, uri, root);
  }
}

void CFastInfosetWriter::WriteQualifiedName(bool element, unsigned bits, const String& prefix,
                                            const String& namespaceUri,
                                            const String& localName) {
  size_t prefixLength = WrittenLength(prefix);
  size_t uriLength = WrittenLength(namespaceUri);
  size_t localLength = WrittenLength(localName);
  if (localLength == 0)
    throw CVxInvalidParamException(VX_T("A Fast Infoset document cannot hold an empty name"));
  // The table key: prefix, U+0001, URI, U+0001, local name.
  std::vector<unsigned short>& key = m_output->key;
  key.assign(prefix.data(), prefix.data() + prefixLength);
  key.push_back(1);
  key.insert(key.end(), namespaceUri.data(), namespaceUri.data() + uriLength);
  key.push_back(1);
  key.insert(key.end(), localName.data(), localName.data() + localLength);
  detail::VocabularyTable& table =
      m_output->tables[element ? detail::kElementNames : detail::kAttributeNames];
  detail::OctetBuffer& out = m_output->octets;
  if (uint32_t index = table.Find(key.data(), key.size())) {
    if (element)
      detail::PutIndexOnThirdBit(out, bits, index);
    else
      detail::PutIndexOnSecondBit(out, 0, index);
    return;
  }
  unsigned parts = prefixLength != 0 ? 3 : uriLength != 0 ? 1 : 0;
  out.Put(static_cast<unsigned char>(element ? bits | 0x3C | parts : 0x78 | parts));
  if (prefixLength != 0) WriteIdentifyingString(detail::kPrefixes, prefix, false);
  if (uriLength != 0) WriteIdentifyingString(detail::kNamespaceNames, namespaceUri, false);
  WriteIdentifyingString(detail::kLocalNames, localName, false);
  table.Add(key.data(), key.size());
}

void CFastInfosetWriter::WriteIdentifyingString(int table, const String& text, bool literal) {
  detail::VocabularyTable& vocabulary = m_output->tables[table];
  detail::OctetBuffer& out = m_output->octets;
  size_t length = WrittenLength(text);
  if (!literal) {
    if (uint32_t index = vocabulary.Find(text.data(), length)) {
      detail::PutIndexOnSecondBit(out, 0x80, index);
      return;
    }
  }
  detail::Utf8Measure m = detail::MeasureUtf8(text.data(), length);
  detail::PutLengthOnSecondBit(out, 0, m.octets);
  detail::EncodeUtf8(text.data(), m, out.Reserve(m.octets));
  out.Advance(m.octets);
  vocabulary.Add(text.data(), length);
}

void CFastInfosetWriter::WriteAttributeValue(const String& value) {
  detail::OctetBuffer& out = m_output->octets;
  detail::Utf8Measure m = detail::MeasureUtf8(value.data(), value.size());
  if (m.units == 0) {
    out.Put(0xFF);  // index zero: the empty string
    return;
  }
  unsigned bits = 0;
  if (m.units < 6) {
    detail::VocabularyTable& table = m_output->tables[detail::kAttributeValues];
    if (uint32_t index = table.Find(value.data(), m.units)) {
      detail::PutIndexOnSecondBit(out, 0x80, index);
      return;
    }
    if (table.Add(value.data(), m.units) != 0) bits = 0x40;  // add to table
  }
  detail::PutLengthOnFifthBit(out, bits, m.octets);
  detail::EncodeUtf8(value.data(), m, out.Reserve(m.octets));
  out.Advance(m.octets);
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

}  // namespace VxVevAva5
