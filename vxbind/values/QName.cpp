#include "vxbind/values/QName.h"

#include <cstddef>
#include <utility>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace {

// Whether `c` may stand in an NCName, at its start or after it. Characters
// beyond ASCII are taken as they come: the document reader has already
// checked what XML allows.
bool IsNameChar(unsigned short c, bool first) {
  if (c >= 0x80) return true;
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_') return true;
  if (first) return false;
  return (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
}

bool IsNCName(const unsigned short* text, size_t length) {
  if (length == 0) return false;
  for (size_t i = 0; i < length; ++i)
    if (!IsNameChar(text[i], i == 0)) return false;
  return true;
}

}  // namespace

CQName::CQName(String namespaceUri, String localName, String prefix)
    : m_namespaceUri(std::move(namespaceUri)),
      m_localName(std::move(localName)),
      m_prefix(std::move(prefix)) {}

String CQName::ToString() const {
  if (m_prefix.empty()) return m_localName;
  String text = m_prefix;
  text.push_back(u':');
  text += m_localName;
  return text;
}

String CQName::ToExpandedString() const {
  if (m_namespaceUri.empty()) return m_localName;
  String text(1, u'{');
  text += m_namespaceUri;
  text.push_back(u'}');
  text += m_localName;
  return text;
}

CQName CQName::Parse(const String& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && Utf16::IsXmlSpace(text[begin])) ++begin;
  while (end > begin && Utf16::IsXmlSpace(text[end - 1])) --end;
  size_t colon = end;
  size_t colons = 0;
  for (size_t i = begin; i < end; ++i) {
    if (text[i] != u':') continue;
    colon = i;
    ++colons;
  }
  const unsigned short* data = text.data();
  bool valid = colons == 0 ? IsNCName(data + begin, end - begin)
                           : colons == 1 && IsNCName(data + begin, colon - begin) &&
                                 IsNCName(data + colon + 1, end - colon - 1);
  if (!valid)
    throw CVxInvalidValueException(
        FormatString(VX_T("The text [%s] is not a qualified name (QName)"), text.c_str()));
  if (colon == end) return CQName(String(), text.substr(begin, end - begin));
  return CQName(String(), text.substr(colon + 1, end - colon - 1),
                text.substr(begin, colon - begin));
}

std::vector<CQName> CQName::ParseList(const String& text) {
  std::vector<CQName> list;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && Utf16::IsXmlSpace(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !Utf16::IsXmlSpace(text[i])) ++i;
    if (i > start) list.push_back(Parse(text.substr(start, i - start)));
  }
  return list;
}

String CQName::ListToString(const std::vector<CQName>& list) {
  String text;
  for (const CQName& item : list) {
    if (!text.empty()) text.push_back(u' ');
    text += item.ToString();
  }
  return text;
}

}  // namespace VxVevAva5
