#include "vxbind/collections/detail/Errors.h"

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

void ThrowIndexOutOfRange(int index, int count) {
  throw CVxInvalidParamException(
      FormatString(VX_T("Index %d is out of range, use 0 - %d"), index, count));
}

void ThrowInsertIndexOutOfRange() {
  throw CVxInvalidParamException(String(VX_T("Index out of range")));
}

void ThrowElementInSimpleContent(const String& elementName, const String& childName) {
  throw CVxValidationException(FormatString(
      VX_T("The element [%s] has simple content: the element [%s] is not allowed in it"),
      elementName.c_str(), childName.c_str()));
}

}  // namespace detail
}  // namespace VxVevAva5
