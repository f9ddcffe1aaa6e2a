// The messages that more than one model file raises; their wording lives
// here only.
#ifndef VXBIND_MODEL_DETAIL_ERRORS_H
#define VXBIND_MODEL_DETAIL_ERRORS_H

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

// CVxValidationException "Failed to find a required element [%s]": a
// mandatory sequence member whose element is missing.
[[noreturn]] void ThrowRequiredElementMissing(const String& elementName);
// CVxValidationException "Failed to find the mandatory element [%s]": an
// all-group mandatory member that no pass found.
[[noreturn]] void ThrowMandatoryElementMissing(const String& elementName);
// CVxException "The member [%s] holds no object to read into".
[[noreturn]] void ThrowNoObject(const String& elementName);
// CVxException "The member [%s] holds no collection".
[[noreturn]] void ThrowNoCollection(const String& elementName);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_ERRORS_H
