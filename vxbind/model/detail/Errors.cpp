#include "vxbind/model/detail/Errors.h"

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/detail/Errors.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"

namespace VxVevAva5 {
namespace detail {

void ThrowRequiredElementMissing(const String& elementName) {
  throw CVxValidationException(
      FormatString(VX_T("Failed to find a required element [%s]"), elementName.c_str()));
}

void ThrowMandatoryElementMissing(const String& elementName) {
  throw CVxValidationException(
      FormatString(VX_T("Failed to find the mandatory element [%s]"), elementName.c_str()));
}

void ThrowFoundWhereExpected(const CXmlElement& found, const String& expectedName,
                             const String& expectedNamespace) {
  String foundText = found.GetLocalName();
  String expectedText = expectedName;
  if (foundText == expectedText && found.GetNamespaceURI() != expectedNamespace) {
    foundText = VX_T("{") + found.GetNamespaceURI() + VX_T("}") + foundText;
    expectedText = VX_T("{") + expectedNamespace + VX_T("}") + expectedText;
  }
  throw CVxValidationException(FormatString(VX_T("Found the element [%s] where [%s] is expected"),
                                            foundText.c_str(), expectedText.c_str()));
}

void ThrowFoundWhereContentExpected(const CXmlElement& found, const String& memberName) {
  throw CVxValidationException(
      FormatString(VX_T("Found the element [%s] where the content of [%s] is expected"),
                   found.GetLocalName().c_str(), memberName.c_str()));
}

void CheckSimpleContent(const CXmlElement& element) {
  const CXmlElement* child = element.GetFirstElement();
  if (child == nullptr) return;
  ThrowElementInSimpleContent(element.GetLocalName(), child->GetLocalName());
}

void ThrowNoObject(const String& elementName) {
  throw CVxException(
      FormatString(VX_T("The member [%s] holds no object to read into"), elementName.c_str()));
}

void ThrowNoCollection(const String& elementName) {
  throw CVxException(
      FormatString(VX_T("The member [%s] holds no collection"), elementName.c_str()));
}

}  // namespace detail
}  // namespace VxVevAva5
