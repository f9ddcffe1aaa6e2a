// -----------------------------------------------------------------------------
// File: Utf16.h
// -----------------------------------------------------------------------------
//
// Small UTF-16 helpers that stand in for the wide-character C functions of the
// original platform: length and comparison of NUL-terminated UTF-16 text,
// conversion to and from UTF-8, and number parsing and printing in the manner
// of wcstol, wcstoul, wcstod, _wtoi64, _i64tow and _ui64tow.
//
// All functions accept a null pointer where they take NUL-terminated text and
// treat it as the empty string.

#ifndef VXBIND_PLATFORM_UTF16_H
#define VXBIND_PLATFORM_UTF16_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace Utf16 {

// Number of code units before the terminating NUL; 0 for null. Reads the
// units one by one up to the terminator and never past it, so it is the one
// length function of the library: no other needs to measure text its own way.
VXBIND_EXPORT size_t Length(const unsigned short* text) noexcept;

// Code-unit comparison like wcscmp: <0, 0 or >0. Null equals "".
VXBIND_EXPORT int Compare(const unsigned short* a, const unsigned short* b) noexcept;

// True when the two NUL-terminated texts are equal code unit for code unit.
inline bool Equal(const unsigned short* a, const unsigned short* b) noexcept {
  return Compare(a, b) == 0;
}

// True for the four characters XML calls white space.
inline bool IsXmlSpace(unsigned short c) noexcept {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// A String from NUL-terminated text; "" for null.
VXBIND_EXPORT String Make(const unsigned short* text);

// ASCII/Latin-1 bytes widened unit for unit (no decoding).
VXBIND_EXPORT String FromLatin1(const char* text, size_t length);
VXBIND_EXPORT String FromLatin1(const char* text);

// Decodes UTF-8. Malformed sequences become U+FFFD; never throws.
VXBIND_EXPORT String FromUtf8(const char* text, size_t length);
VXBIND_EXPORT String FromUtf8(const std::string& text);

// Encodes as UTF-8. Unpaired surrogates are written as U+FFFD.
VXBIND_EXPORT std::string ToUtf8(const unsigned short* text, size_t length);
VXBIND_EXPORT std::string ToUtf8(const String& text);

// Number parsing over UTF-16 text, with the C library's rules (leading white
// space, optional sign, base prefixes for base 0). `end`, when not null,
// receives the first unparsed unit. `overflow`, when not null, is set when
// the value did not fit (the result is then clamped, as errno=ERANGE would
// say). Only ASCII characters can take part in a number.
VXBIND_EXPORT int32_t ToInt32(const unsigned short* text, const unsigned short** end, int base,
                              bool* overflow = nullptr) noexcept;  // wcstol
VXBIND_EXPORT uint32_t ToUInt32(const unsigned short* text, const unsigned short** end, int base,
                                bool* overflow = nullptr) noexcept;  // wcstoul
VXBIND_EXPORT int64_t ToInt64(const unsigned short* text, const unsigned short** end, int base,
                              bool* overflow = nullptr) noexcept;  // wcstoll / _wtoi64
VXBIND_EXPORT uint64_t ToUInt64(const unsigned short* text, const unsigned short** end, int base,
                                bool* overflow = nullptr) noexcept;  // wcstoull
VXBIND_EXPORT double ToDouble(const unsigned short* text, const unsigned short** end,
                              bool* overflow = nullptr) noexcept;  // wcstod, "C" locale

// Decimal text of a 64-bit value (_i64tow / _ui64tow with radix 10).
VXBIND_EXPORT String FromInt64(int64_t value);
VXBIND_EXPORT String FromUInt64(uint64_t value);

}  // namespace Utf16
}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_UTF16_H
