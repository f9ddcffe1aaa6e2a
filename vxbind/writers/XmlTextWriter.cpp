#include "vxbind/writers/XmlTextWriter.h"

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/writers/detail/SameText.h"
#include "vxbind/writers/detail/TextBytes.h"
#include "vxbind/writers/detail/XmlNames.h"
#include "vxbind/writers/detail/XmlChars.h"

namespace VxVevAva5 {
namespace {

using detail::XsiNamespace;

const unsigned short kXmlns[] = {' ', 'x', 'm', 'l', 'n', 's'};
const unsigned short kEndTagOpen[] = {'<', '/'};
const unsigned short kEmptyTagClose[] = {'/', '>'};
const unsigned short kCommentOpen[] = {'<', '!', '-', '-'};
const unsigned short kCommentClose[] = {'-', '-', '>'};
const unsigned short kTypeName[] = {'t', 'y', 'p', 'e'};
const unsigned short kTabs[] = {'\t', '\t', '\t', '\t', '\t', '\t', '\t', '\t',
                                '\t', '\t', '\t', '\t', '\t', '\t', '\t', '\t'};

const unsigned short kAmp[] = {'&', 'a', 'm', 'p', ';'};
const unsigned short kLt[] = {'&', 'l', 't', ';'};
const unsigned short kGt[] = {'&', 'g', 't', ';'};
const unsigned short kQuot[] = {'&', 'q', 'u', 'o', 't', ';'};
const unsigned short kTabRef[] = {'&', '#', 'x', '9', ';'};
const unsigned short kLfRef[] = {'&', '#', 'x', 'A', ';'};
const unsigned short kCrRef[] = {'&', '#', 'x', 'D', ';'};

[[noreturn]] void ThrowNoElement(const unsigned short* message) { throw CVxException(message); }

}  // namespace

CXmlTextWriter::CXmlTextWriter()
    : CXmlWriter(VX_T("CXmlTextWriter")),
      m_buffer(new CStringBuffer(0x10000)),
      m_eolText(1, '\n') {}

CXmlTextWriter::~CXmlTextWriter() {
  delete m_buffer;
  delete m_bytes;
}

void CXmlTextWriter::SetByteSink(CByteSink* sink, XmlEncoding encoding) {
  // 32,768 units: 64 KiB of text, at most 96 KiB of UTF-8.
  constexpr unsigned int kBoundUnits = 0x8000;
  detail::TextBytes* bytes = new detail::TextBytes(*sink, encoding);
  delete m_bytes;
  m_bytes = bytes;
  m_buffer->SetDrain(&detail::TextBytes::Drain, m_bytes, kBoundUnits);
}

void CXmlTextWriter::Flush() {
  if (m_bytes == nullptr) return;
  m_buffer->DrainRest();
  m_bytes->Finish();
}

void CXmlTextWriter::SetEOLType(EOLType eolType) {
  if (eolType == EOLType_CRLF)
    m_eolText.assign(VX_T("\r\n"));
  else if (eolType == EOLType_LF)
    m_eolText.assign(VX_T("\n"));
  else
    throw CVxException(VX_T("Invalid EOL type."));
  m_eolType = eolType;
}

void CXmlTextWriter::WriteStartDocument(XmlEncoding encoding) {
  m_encoding = encoding;
  m_buffer->Clear();
  m_buffer->Append(VX_T("<?xml version=\"1.0\""));
  if (encoding == XmlEncoding_UTF8)
    m_buffer->Append(VX_T(" encoding=\"UTF-8\""));
  else if (encoding == XmlEncoding_UTF16)
    m_buffer->Append(VX_T(" encoding=\"UTF-16\""));
  m_buffer->Append(VX_T("?>"));
  AppendEol();
}

String CXmlTextWriter::GetString() { return m_buffer->GetString(); }

// Unescaped text (names, prefixes, URIs, instructions) is appended up to its
// first NUL, as a NUL-terminated text would be, so no NUL enters the buffer.
void CXmlTextWriter::AppendRaw(const String& text) {
  const unsigned short* p = text.data();
  size_t n = text.size();
  size_t i = 0;
  while (i != n && p[i] != 0) ++i;
  m_buffer->Append(p, i);
}

void CXmlTextWriter::AppendTabs(unsigned int count) {
  const unsigned int kChunk = sizeof(kTabs) / sizeof(kTabs[0]);
  while (count > kChunk) {
    m_buffer->Append(kTabs, kChunk);
    count -= kChunk;
  }
  m_buffer->Append(kTabs, count);
}

// Appends ` xmlns:P="U"` (` xmlns="U"` for an empty prefix), with or
// without its leading space. The URI is escaped like an attribute value:
// '&', '<', '>' and '"' always, and in strict mode TAB, LF and CR as
// character references; otherwise it is written as given, up to a NUL.
void CXmlTextWriter::AppendDeclaration(const String& prefix, const String& namespaceUri,
                                       bool leadingSpace) {
  CStringBuffer& out = *m_buffer;
  if (m_strict) {
    detail::CheckChars(prefix, VX_T("The namespace prefix [%s]"), prefix);
    detail::CheckChars(namespaceUri, VX_T("The namespace URI [%s]"), namespaceUri);
  }
  if (leadingSpace)
    out.Append(kXmlns, 6);
  else
    out.Append(kXmlns + 1, 5);
  if (!prefix.empty()) {
    out.AppendChar(':');
    AppendRaw(prefix);
  }
  out.AppendChar('=');
  out.AppendChar('"');
  for (unsigned short c : namespaceUri) {
    if (c == 0) break;
    switch (c) {
      case '&':
        out.Append(kAmp, 5);
        break;
      case '<':
        out.Append(kLt, 4);
        break;
      case '>':
        out.Append(kGt, 4);
        break;
      case '"':
        out.Append(kQuot, 6);
        break;
      case '\t':
        if (m_strict)
          out.Append(kTabRef, 5);
        else
          out.AppendChar(c);
        break;
      case '\n':
        if (m_strict)
          out.Append(kLfRef, 5);
        else
          out.AppendChar(c);
        break;
      case '\r':
        if (m_strict)
          out.Append(kCrRef, 5);
        else
          out.AppendChar(c);
        break;
      default:
        out.AppendChar(c);
    }
  }
  out.AppendChar('"');
}

// The declarations of the open start tag.
void CXmlTextWriter::AppendDeclarations() {
  for (size_t i = 0, n = GetDeclarationCount(); i < n; ++i)
    AppendDeclaration(GetDeclarationPrefix(i), GetDeclarationUri(i), true);
}

void CXmlTextWriter::WriteComment(const String& text) {
  if (m_strict) {
    detail::CheckChars(text, VX_T("A comment"), String());
    // "--" ends a comment early; a final '-' makes "--->".
    const unsigned short dashes[] = {'-', '-'};
    if (text.find(dashes, 0, 2) != String::npos || (!text.empty() && text.back() == '-'))
      throw CVxException(VX_T("A comment cannot hold \"--\" or end with \"-\""));
  }
  m_buffer->Append(kCommentOpen, 4);
  m_buffer->AppendEscaped(text.data(), text.size(), m_eolType);
  m_buffer->Append(kCommentClose, 3);
  AppendEol();
}

void CXmlTextWriter::WriteProcessingInstruction(const String& text) {
  if (m_strict) detail::CheckChars(text, VX_T("A processing instruction"), String());
  AppendRaw(text);
  AppendEol();
  AppendEol();
}

void CXmlTextWriter::WriteInLineSchema(const String& text) {
  if (m_strict) detail::CheckChars(text, VX_T("The in-line schema"), String());
  m_buffer->AppendChar(' ');
  AppendEol();
  AppendRaw(text);
  AppendEol();
}

void CXmlTextWriter::WriteStartElement(const String& localName, const String& namespaceUri) {
  if (m_strict) detail::CheckChars(localName, VX_T("The element name [%s]"), localName);
  WriteRunBeforeChild();
  CStringBuffer& out = *m_buffer;
  CXmlWriterContext* parent = GetCurrentContext();
  // No white space goes into mixed content.
  const bool indent = m_indent && (parent == nullptr || !parent->IsMixed());
  if (parent != nullptr) {
    parent->IncrementChildCount();
    if (parent->IsStartTagOpen()) {
      out.AppendChar('>');
      parent->SetStartTagOpen(false);
      if (indent) AppendEol();
    }
  }
  // The base decides the prefix and what the tag declares: a prefix that
  // the output does not bind yet, a default namespace that the element
  // needs, and for the root the namespaces given before it.
  CXmlWriterContext& context = StartElementScope(localName, namespaceUri);
  if (indent) AppendTabs(context.GetDepth());
  out.AppendChar('<');
  const String& prefix = context.GetNamePrefix();
  if (!prefix.empty()) {
    AppendRaw(prefix);
    out.AppendChar(':');
  }
  AppendRaw(localName);
  if (GetDeclarationCount() != 0) AppendDeclarations();
}

void CXmlTextWriter::WriteText(const String& text) {
  CXmlWriterContext* context = GetCurrentContext();
  if (context == nullptr) ThrowNoElement(VX_T("Text can only be written inside an open element."));
  if (text.empty()) return;
  if (context->IsStartTagOpen()) {
    m_buffer->AppendChar('>');
    context->SetStartTagOpen(false);
  }
  if (!m_strict) {
    m_buffer->AppendEscaped(text.data(), text.size(), m_eolType);
    return;
  }
  size_t at = m_buffer->AppendEscapedStrict(text.data(), text.size(), m_eolType, false);
  if (at != text.size())
    detail::ThrowForbidden(
        FormatString(VX_T("The text of the element [%s]"), context->GetLocalName().c_str()),
        text[at]);
}

void CXmlTextWriter::WriteEndElement() {
  WriteRunsBeforeEnd();
  CXmlWriterContext* context = GetCurrentContext();
  if (context == nullptr) ThrowNoElement(VX_T("There is no open element to end."));
  CStringBuffer& out = *m_buffer;
  if (context->IsStartTagOpen()) {
    out.Append(kEmptyTagClose, 2);
  } else {
    if (m_indent && context->GetChildCount() > 0 && !context->IsMixed())
      AppendTabs(context->GetDepth());
    out.Append(kEndTagOpen, 2);
    // The start tag's name, whatever happened to the scope since.
    const String& prefix = context->GetNamePrefix();
    if (!prefix.empty()) {
      AppendRaw(prefix);
      out.AppendChar(':');
    }
    AppendRaw(context->GetLocalName());
    out.AppendChar('>');
  }
  const CXmlWriterContext* parent = context->GetParent();
  if (m_indent && (parent == nullptr || !parent->IsMixed())) AppendEol();
  PopContext();
}

CXmlWriter::CXmlWriterContext& CXmlTextWriter::OpenStartTag() {
  CXmlWriterContext* context = GetCurrentContext();
  if (context == nullptr)
    ThrowNoElement(VX_T("Attributes can only be written inside an open element."));
  if (!context->IsStartTagOpen())
    throw CVxException(VX_T("Attributes must be added before elements"));
  return *context;
}

void CXmlTextWriter::WriteAttributeValue(const unsigned short* localName, size_t localNameLength,
                                         const String& namespaceUri, const unsigned short* value,
                                         size_t valueLength) {
  CStringBuffer& out = *m_buffer;
  out.AppendChar(' ');
  if (!namespaceUri.empty()) {
    bool declared = false;
    const String& prefix = ResolvePrefix(namespaceUri, declared);
    if (declared) {
      // The space written above stands before the declaration.
      size_t last = GetDeclarationCount() - 1;
      AppendDeclaration(GetDeclarationPrefix(last), GetDeclarationUri(last), false);
      out.AppendChar(' ');
    }
    AppendRaw(prefix);
    out.AppendChar(':');
  }
  out.Append(localName, localNameLength);
  out.AppendChar('=');
  out.AppendChar('"');
  if (!m_strict) {
    out.AppendEscaped(value, valueLength, m_eolType);
  } else {
    size_t at = out.AppendEscapedStrict(value, valueLength, m_eolType, true);
    if (at != valueLength)
      detail::ThrowForbidden(FormatString(VX_T("The value of the attribute [%s] of the element [%s]"),
                                  String(localName, localNameLength).c_str(),
                                  GetCurrentContext()->GetLocalName().c_str()),
                     value[at]);
  }
  out.AppendChar('"');
}

void CXmlTextWriter::WriteAttribute(const String& localName, const String& namespaceUri,
                                    const String& value) {
  OpenStartTag();
  if (m_strict) detail::CheckChars(localName, VX_T("The attribute name [%s]"), localName);
  size_t n = 0;
  while (n != localName.size() && localName[n] != 0) ++n;
  WriteAttributeValue(localName.data(), n, namespaceUri, value.data(), value.size());
}

void CXmlTextWriter::WriteXsiType(const String& typeNamespaceUri, const String& typeName) {
  CXmlWriterContext& context = OpenStartTag();
  const String* value = &typeName;
  if (!typeNamespaceUri.empty() &&
      !detail::SameText(typeNamespaceUri, context.GetScopeDefaultNamespace())) {
    bool declared = false;
    const String& prefix = ResolvePrefix(typeNamespaceUri, declared);
    if (declared) {
      size_t last = GetDeclarationCount() - 1;
      AppendDeclaration(GetDeclarationPrefix(last), GetDeclarationUri(last), true);
      m_buffer->AppendChar(' ');
    }
    m_scratch.assign(prefix);
    m_scratch.push_back(':');
    m_scratch.append(typeName);
    value = &m_scratch;
  }
  WriteAttributeValue(kTypeName, 4, XsiNamespace(), value->data(), value->size());
}

String CXmlTextWriter::QNameToText(const CQName& value) {
  OpenStartTag();
  bool declared = false;
  String text = ResolveQName(value, declared);
  if (declared) {
    size_t last = GetDeclarationCount() - 1;
    AppendDeclaration(GetDeclarationPrefix(last), GetDeclarationUri(last), true);
  }
  return text;
}

}  // namespace VxVevAva5
