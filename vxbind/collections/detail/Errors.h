// The messages that more than one collection file raises; their wording
// lives here only.
#ifndef VXBIND_COLLECTIONS_DETAIL_ERRORS_H
#define VXBIND_COLLECTIONS_DETAIL_ERRORS_H

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

// CVxInvalidParamException "Index %d is out of range, use 0 - %d" with the
// index and the count (not count - 1): item access and removal.
[[noreturn]] void ThrowIndexOutOfRange(int index, int count);
// CVxInvalidParamException "Index out of range": insertion.
[[noreturn]] void ThrowInsertIndexOutOfRange();
// CVxValidationException "The element [%s] has simple content: the element
// [%s] is not allowed in it": validating, an element of simple type with a
// child element.
[[noreturn]] void ThrowElementInSimpleContent(const String& elementName, const String& childName);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_DETAIL_ERRORS_H
