// -----------------------------------------------------------------------------
// File: String.h
// -----------------------------------------------------------------------------
//
// The library's text type and the one way to write UTF-16 literals.
//
// All text in vxbind is UTF-16: `String` holds UTF-16 code units and text
// arguments are NUL-terminated `const unsigned short*`. Write literals with
// VX_T, which turns an ordinary string literal into a UTF-16 one:
//
//   String name = VX_T("order");
//   obj.SetElementName(VX_T("item"));
//
// Non-ASCII characters in the literal are encoded as UTF-16 by the compiler
// (surrogate pairs included), exactly as u"..." would be.

#ifndef VXBIND_PLATFORM_STRING_H
#define VXBIND_PLATFORM_STRING_H

#include <string>

namespace VxVevAva5 {

// UTF-16 code units. Relies on the standard library's generic char_traits
// (libstdc++ provides it for unsigned short).
typedef std::basic_string<unsigned short> String;

}  // namespace VxVevAva5

// VX_T("text"): a `const unsigned short*` to the UTF-16 form of "text".
// char16_t and unsigned short have the same size and representation; the
// library treats the literal as read-only UTF-16 units.
#define VX_T(literal) (reinterpret_cast<const unsigned short*>(u"" literal))

#endif  // VXBIND_PLATFORM_STRING_H
