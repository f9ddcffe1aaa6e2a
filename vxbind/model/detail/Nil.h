// xsi:nil as elements carry it: found, read and checked for the driver and
// the element infos, and written.
#ifndef VXBIND_MODEL_DETAIL_NIL_H
#define VXBIND_MODEL_DETAIL_NIL_H

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
class CXmlAttribute;
class CXmlElement;
class CXmlWriter;

namespace detail {

// Whether `attribute` is xsi:nil.
bool IsXsiNilAttribute(const CXmlAttribute& attribute);
// The element's xsi:nil attribute, or null.
const CXmlAttribute* FindXsiNil(const CXmlElement& element);
// The value of the xsi:nil attribute of `element` as xs:boolean reads it:
// "true" or "1" true, "false" or "0" false, surrounding whitespace aside;
// anything else throws CVxValidationException "The value [%s] of xsi:nil
// on the element [%s] is not a boolean".
bool XsiNilValue(const CXmlAttribute& attribute, const CXmlElement& element);
// CVxValidationException "The element [%s] is not nillable: it cannot
// carry xsi:nil".
[[noreturn]] void ThrowNotNillable(const String& elementName);
// A nil element must be empty: text (whitespace too) or a child element
// throws CVxValidationException "The element [%s] is nil (xsi:nil=\"true\")
// and cannot have content".
void CheckNilIsEmpty(const CXmlElement& element);
// xsi:nil="true" on the open start tag (the prefix declared as the writer
// declares any other).
void WriteXsiNil(CXmlWriter* writer);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_DETAIL_NIL_H
