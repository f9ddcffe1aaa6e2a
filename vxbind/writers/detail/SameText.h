// Internal to the writers: fast equality of two Strings.
#ifndef VXBIND_WRITERS_DETAIL_SAMETEXT_H
#define VXBIND_WRITERS_DETAIL_SAMETEXT_H

#include <cstring>

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

// String's operator== compares unit by unit through the generic char_traits;
// the writers compare namespace URIs for every element and attribute, so
// they compare lengths and then bytes.
inline bool SameText(const String& a, const String& b) noexcept {
  return a.size() == b.size() &&
         std::memcmp(a.data(), b.data(), a.size() * sizeof(unsigned short)) == 0;
}

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_DETAIL_SAMETEXT_H
