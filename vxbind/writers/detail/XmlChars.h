// Internal to the writers: the characters that XML 1.0 allows, and the
// messages about characters that output cannot hold.
#ifndef VXBIND_WRITERS_DETAIL_XMLCHARS_H
#define VXBIND_WRITERS_DETAIL_XMLCHARS_H

#include <cstddef>

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

inline bool IsHighSurrogate(unsigned short unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLowSurrogate(unsigned short unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// True for units that need a closer look: C0 controls, surrogates, U+FFFE
// and U+FFFF.
inline bool NeedsCharCheck(unsigned short unit) {
  return unit < 0x20 || (unit >= 0xD800 && unit <= 0xDFFF) || unit >= 0xFFFE;
}

// The index of the first unit of text[0, length) that XML 1.0 does not
// allow: a C0 control other than TAB, LF and CR (NUL included), a surrogate
// that is not part of a pair, U+FFFE or U+FFFF. `length` when there is none.
inline size_t FindForbiddenUnit(const unsigned short* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    unsigned short c = text[i];
    if (!NeedsCharCheck(c)) continue;
    if (c == 0x09 || c == 0x0A || c == 0x0D) continue;
    if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      ++i;
      continue;
    }
    return i;
  }
  return length;
}

// Throws CVxException "<what> holds <the unit>, which XML 1.0 does not
// allow": the unit as "the character U+0001" or "the unpaired surrogate
// U+D800".
[[noreturn]] void ThrowForbidden(const String& what, unsigned short unit);

// Throws as above when `text` holds a unit that XML 1.0 does not allow;
// `what` is a format with one %s, given `name`.
void CheckChars(const String& text, const unsigned short* what, const String& name);

// Throws CVxException "Invalid UTF-16 text: unpaired surrogate [0x%04X] at
// position [%u]" (position in code units): UTF-8 output cannot hold it.
[[noreturn]] void ThrowUnpairedSurrogate(unsigned short unit, size_t position);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_DETAIL_XMLCHARS_H
