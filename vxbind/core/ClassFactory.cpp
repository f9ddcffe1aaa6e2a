// xsi:type helpers of generated class factories.
#include "vxbind/core/ClassFactory.h"

#include "vxbind/document/XmlDocument.h"

namespace VxVevAva5 {
namespace {

// The value of xsi:type, a QName: whitespace around it does not count.
String XsiType(const CXmlElement* element) {
  static const String type(VX_T("type"));
  static const String xsi(VX_T("http://www.w3.org/2001/XMLSchema-instance"));
  const String& value = element->GetAttribute(type, xsi);
  const size_t first = value.find_first_not_of(VX_T(" \t\r\n"));
  if (first == String::npos) return String();
  const size_t last = value.find_last_not_of(VX_T(" \t\r\n"));
  return value.substr(first, last - first + 1);
}

}  // namespace

CClassfactoryBase::~CClassfactoryBase() = default;

String CClassfactoryBase::GetElementType(CXmlElement* element) {
  const String value = XsiType(element);
  size_t colon = value.find(u':');
  return colon == String::npos ? value : value.substr(colon + 1);
}

String CClassfactoryBase::GetElementTypeNamespaceUri(CXmlElement* element) {
  const String value = XsiType(element);
  size_t colon = value.find(u':');
  if (colon != String::npos) {
    // The prefix as bound where the element stands; one that is not bound
    // there counts as undeclared.
    String uri;
    if (element->LookupNamespaceURI(value.substr(0, colon), uri) && !uri.empty()) return uri;
  }
  return element->GetNamespaceURI();
}

}  // namespace VxVevAva5
