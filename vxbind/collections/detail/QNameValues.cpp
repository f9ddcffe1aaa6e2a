#include "vxbind/collections/detail/QNameValues.h"

#include "vxbind/base/Enums.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5 {
namespace detail {

void ResolveQName(CQName& value, const CXmlElement& element) {
  const CXmlDocument* document = element.GetDocument();
  if (document != nullptr && document->GetSchemaType() == SchemaType_NoNamespaces) return;
  String namespaceUri;
  if (element.LookupNamespaceURI(value.GetPrefix(), namespaceUri)) {
    value.SetNamespaceURI(namespaceUri);
    return;
  }
  if (value.GetPrefix().empty()) {
    value.SetNamespaceURI(String());
    return;
  }
  CVxInvalidValueException e(FormatString(
      VX_T("The prefix [%s] of the QName [%s] is not bound to a namespace at the element [%s]"),
      value.GetPrefix().c_str(), value.ToString().c_str(), element.GetLocalName().c_str()));
  e.SetPosition(element.GetLineNumber(), element.GetColumnNumber());
  throw e;
}

void ResolveQName(VxVariant& value, const CXmlElement& element) {
  if (value.GetItemType() == ItemType_QName) {
    CQName name = value.GetQName();
    ResolveQName(name, element);
    value.SetQName(name);
  } else if (value.GetItemType() == ItemType_QNameList) {
    CQNameList list = value.GetQNameList();
    for (CQName& name : list) ResolveQName(name, element);
    value.SetQNameList(list);
  }
}

String QNameText(const CQNameList& list, CXmlWriter& writer) {
  String text;
  for (const CQName& name : list) {
    if (!text.empty()) text.push_back(u' ');
    text += writer.QNameToText(name);
  }
  return text;
}

String QNameText(const VxVariant& value, CXmlWriter& writer) {
  if (value.GetItemType() == ItemType_QNameList) return QNameText(value.GetQNameList(), writer);
  return writer.QNameToText(value.GetQName());
}

}  // namespace detail
}  // namespace VxVevAva5
