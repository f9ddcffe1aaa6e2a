// Reading QName values: the prefix of a QName means what the namespace
// declarations in scope where its text stands say. Shared by the primitive
// collections and the member infos of the model.
#ifndef VXBIND_COLLECTIONS_DETAIL_QNAMEVALUES_H
#define VXBIND_COLLECTIONS_DETAIL_QNAMEVALUES_H

#include "vxbind/conversions/Variant.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/values/QName.h"

namespace VxVevAva5 {
namespace detail {

// Gives `value`, as split from the text or an attribute of `element`, the
// namespace URI that its prefix is bound to there; a value without prefix
// takes the default namespace in force (none: no namespace). A prefix that
// no declaration in scope binds throws CVxInvalidValueException "The prefix
// [%s] of the QName [%s] is not bound to a namespace at the element [%s]"
// with the element's line. In a document read without namespace processing
// prefixes mean nothing and the value keeps no namespace.
void ResolveQName(CQName& value, const CXmlElement& element);
// The same for a variant that holds a QName; any other value is left alone.
void ResolveQName(VxVariant& value, const CXmlElement& element);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_DETAIL_QNAMEVALUES_H
