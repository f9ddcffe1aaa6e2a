// The messages that more than one model file raises; their wording lives
// here only.
#ifndef VXBIND_MODEL_DETAIL_ERRORS_H
#define VXBIND_MODEL_DETAIL_ERRORS_H

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
class CXmlElement;
namespace detail {

// CVxValidationException "Failed to find a required element [%s]": a
// mandatory sequence member whose element is missing.
[[noreturn]] void ThrowRequiredElementMissing(const String& elementName);
// CVxValidationException "Failed to find the mandatory element [%s]": an
// all-group mandatory member that no pass found.
[[noreturn]] void ThrowMandatoryElementMissing(const String& elementName);
// CVxValidationException "Found the element [%s] where [%s] is expected":
// while validating, `found` stands where the element `expectedName` (of
// `expectedNamespace`) must be. Names of the same local name in different
// namespaces are shown as {namespace}name.
[[noreturn]] void ThrowFoundWhereExpected(const CXmlElement& found, const String& expectedName,
                                          const String& expectedNamespace);
// CVxValidationException "Found the element [%s] where the content of [%s]
// is expected": the same where a model group or a wildcard must start.
[[noreturn]] void ThrowFoundWhereContentExpected(const CXmlElement& found,
                                                 const String& memberName);
// Validating, an element of simple type has no child element: the first
// one throws ThrowElementInSimpleContent's exception
// (collections/detail/Errors.h).
void CheckSimpleContent(const CXmlElement& element);
// CVxException "The member [%s] holds no object to read into".
[[noreturn]] void ThrowNoObject(const String& elementName);
// CVxException "The member [%s] holds no collection".
[[noreturn]] void ThrowNoCollection(const String& elementName);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_ERRORS_H
