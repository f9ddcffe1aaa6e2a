#include "vxbind/model/detail/Nil.h"

#include <cstddef>

#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {
namespace detail {

namespace {

const String& XsiNamespace() {
  static const String uri(VX_T("http://www.w3.org/2001/XMLSchema-instance"));
  return uri;
}

const String& NilName() {
  static const String name(VX_T("nil"));
  return name;
}


}  // namespace

bool IsXsiNilAttribute(const CXmlAttribute& attribute) {
  return attribute.GetLocalName() == NilName() && attribute.GetNamespaceURI() == XsiNamespace();
}

const CXmlAttribute* FindXsiNil(const CXmlElement& element) {
  const size_t count = element.GetAttributeCount();
  for (size_t i = 0; i < count; ++i) {
    const CXmlAttribute& attribute = element.GetAttributeAt(i);
    if (IsXsiNilAttribute(attribute)) return &attribute;
  }
  return nullptr;
}

bool XsiNilValue(const CXmlAttribute& attribute, const CXmlElement& element) {
  size_t length;
  const unsigned short* value = attribute.GetValueData(length);
  size_t begin = 0;
  while (begin < length && Utf16::IsXmlSpace(value[begin])) ++begin;
  while (length > begin && Utf16::IsXmlSpace(value[length - 1])) --length;
  const String token(value + begin, length - begin);
  if (token == VX_T("true") || token == VX_T("1")) return true;
  if (token == VX_T("false") || token == VX_T("0")) return false;
  throw CVxValidationException(
      FormatString(VX_T("The value [%s] of xsi:nil on the element [%s] is not a boolean"),
                   attribute.GetValue().c_str(), element.GetLocalName().c_str()));
}

void ThrowNotNillable(const String& elementName) {
  throw CVxValidationException(FormatString(
      VX_T("The element [%s] is not nillable: it cannot carry xsi:nil"), elementName.c_str()));
}

void CheckNilIsEmpty(const CXmlElement& element) {
  size_t length;
  element.GetTextData(length);
  if (length == 0 && element.GetFirstElement() == nullptr) return;
  throw CVxValidationException(
      FormatString(VX_T("The element [%s] is nil (xsi:nil=\"true\") and cannot have content"),
                   element.GetLocalName().c_str()));
}

void WriteXsiNil(CXmlWriter* writer) {
  static const String value(VX_T("true"));
  writer->WriteAttribute(NilName(), XsiNamespace(), value);
}

}  // namespace detail
}  // namespace VxVevAva5
