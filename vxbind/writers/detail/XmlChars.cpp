// XmlChars.cpp - the writers' messages about characters.
#include "vxbind/writers/detail/XmlChars.h"

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"

namespace VxVevAva5 {
namespace detail {
namespace {

// "the character U+0001", "the unpaired surrogate U+D800".
String DescribeUnit(unsigned short unit) {
  bool surrogate = IsHighSurrogate(unit) || IsLowSurrogate(unit);
  return FormatString(
      surrogate ? VX_T("the unpaired surrogate U+%04X") : VX_T("the character U+%04X"),
      static_cast<unsigned int>(unit));
}

}  // namespace

void ThrowForbidden(const String& what, unsigned short unit) {
  throw CVxException(FormatString(VX_T("%s holds %s, which XML 1.0 does not allow"), what.c_str(),
                                  DescribeUnit(unit).c_str()));
}

void CheckChars(const String& text, const unsigned short* what, const String& name) {
  size_t at = FindForbiddenUnit(text.data(), text.size());
  if (at != text.size()) ThrowForbidden(FormatString(what, name.c_str()), text[at]);
}

void ThrowUnpairedSurrogate(unsigned short unit, size_t position) {
  throw CVxException(
      FormatString(VX_T("Invalid UTF-16 text: unpaired surrogate [0x%04X] at position [%u]"),
                   static_cast<unsigned>(unit), static_cast<unsigned>(position)));
}

}  // namespace detail
}  // namespace VxVevAva5
