// Internal to the writers: the names and namespaces that both writers treat
// specially, made once.
#ifndef VXBIND_WRITERS_DETAIL_XMLNAMES_H
#define VXBIND_WRITERS_DETAIL_XMLNAMES_H

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

inline const String& EmptyString() {
  static const String empty;
  return empty;
}

// The predefined prefix "xml" and its namespace, never declared.
inline const String& XmlPrefix() {
  static const String prefix(VX_T("xml"));
  return prefix;
}
inline const String& XmlNamespace() {
  static const String uri(VX_T("http://www.w3.org/XML/1998/namespace"));
  return uri;
}

// The namespace of xsi:type.
inline const String& XsiNamespace() {
  static const String uri(VX_T("http://www.w3.org/2001/XMLSchema-instance"));
  return uri;
}

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_DETAIL_XMLNAMES_H
