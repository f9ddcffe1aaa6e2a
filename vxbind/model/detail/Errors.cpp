#include "vxbind/model/detail/Errors.h"

#include "vxbind/base/Exceptions.h"
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
