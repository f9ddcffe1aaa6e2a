// QName values (and lists of them) in documents: the prefix of a QName
// means what the namespace declarations in scope where its text stands
// say, when it is read and when it is written. Shared by the primitive
// collections and the member infos of the model.
#ifndef VXBIND_COLLECTIONS_DETAIL_QNAMEVALUES_H
#define VXBIND_COLLECTIONS_DETAIL_QNAMEVALUES_H

#include "vxbind/conversions/Variant.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/QName.h"

namespace VxVevAva5 {

class CXmlWriter;

namespace detail {

inline bool IsQNameKind(ItemType type) {
  return type == ItemType_QName || type == ItemType_QNameList;
}

// Gives `value`, as split from the text or an attribute of `element`, the
// namespace URI that its prefix is bound to there; a value without prefix
// takes the default namespace in force (none: no namespace). A prefix that
// no declaration in scope binds throws CVxInvalidValueException "The prefix
// [%s] of the QName [%s] is not bound to a namespace at the element [%s]"
// with the element's line. In a document read without namespace processing
// prefixes mean nothing and the value keeps no namespace.
void ResolveQName(CQName& value, const CXmlElement& element);
// The same for every QName of a variant that holds a QName or a list of
// them; any other value is left alone.
void ResolveQName(VxVariant& value, const CXmlElement& element);
// The text of a QName or a list of them for the innermost element of
// `writer`, whose start tag must still be open (CXmlWriter::QNameToText for
// each item, apart by spaces).
String QNameText(const CQNameList& list, CXmlWriter& writer);
String QNameText(const VxVariant& value, CXmlWriter& writer);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_DETAIL_QNAMEVALUES_H
