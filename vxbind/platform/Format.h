// -----------------------------------------------------------------------------
// File: Format.h
// -----------------------------------------------------------------------------
//
// FormatString: printf-style formatting of UTF-16 text, the way every message
// of the library is built.
//
// Conversions: %s (UTF-16 text, `const unsigned short*`; a null pointer prints
// "(null)"), %hs and %S (8-bit text, `const char*`), %c (one UTF-16 unit,
// passed as int), %d %i (int), %u %o %x %X (unsigned int), %f %F %e %E %g %G
// %a %A (double), %p, and %%. Flags (- + space # 0), widths and precisions
// (including *) follow the C library. Size prefixes: I64 and ll (64-bit), l
// (long), h (short), z (size_t).
//
// The result is never truncated, however long the arguments are. An unknown
// conversion is copied to the output as it stands.

#ifndef VXBIND_PLATFORM_FORMAT_H
#define VXBIND_PLATFORM_FORMAT_H

#include <cstdarg>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

VXBIND_EXPORT String FormatString(const unsigned short* format, ...);
VXBIND_EXPORT String FormatStringV(const unsigned short* format, va_list args);

}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_FORMAT_H
