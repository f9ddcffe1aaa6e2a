// ByteOutput.cpp - UTF-16 to UTF-8 for byte output.
#include "vxbind/writers/ByteOutput.h"

#include <cstdint>
#include <cstring>

#include "vxbind/core/Exceptions.h"
#include "vxbind/platform/Format.h"

namespace VxVevAva5 {
namespace {

// Four code units are ASCII when none has a bit at or above 0x80.
constexpr uint64_t kNonAsciiMask = 0xFF80FF80FF80FF80ull;

inline uint64_t Load4(const unsigned short* p) noexcept {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

[[noreturn]] void ThrowUnpairedSurrogate(unsigned short unit, size_t position) {
  throw CVxException(
      FormatString(VX_T("Invalid UTF-16 text: unpaired surrogate [0x%04X] at position [%u]"),
                   static_cast<unsigned>(unit), static_cast<unsigned>(position)));
}

inline bool IsHigh(unsigned short c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLow(unsigned short c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

// Four ASCII code units are all non-zero when adding 0x7FFF to each sets its
// top bit (no carry crosses lanes, as every unit is below 0x80).
inline bool NoZero4(uint64_t asciiUnits) noexcept {
  constexpr uint64_t kTop = 0x8000800080008000ull;
  return ((asciiUnits + 0x7FFF7FFF7FFF7FFFull) & kTop) == kTop;
}

// Bytes of the UTF-8 form of [begin, end) up to its first NUL, where `*stop`
// is left; throws on an unpaired surrogate.
uint64_t CountUtf8(const unsigned short* begin, const unsigned short* end,
                   const unsigned short** stop) {
  uint64_t bytes = 0;
  const unsigned short* p = begin;
  while (p != end) {
    if (end - p >= 4) {
      uint64_t v = Load4(p);
      if ((v & kNonAsciiMask) == 0 && NoZero4(v)) {
        bytes += 4;
        p += 4;
        continue;
      }
    }
    unsigned short c = *p;
    if (c == 0) break;
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (c < 0xD800 || c > 0xDFFF) {
      bytes += 3;
    } else if (IsHigh(c) && end - p >= 2 && IsLow(p[1])) {
      bytes += 4;
      ++p;
    } else {
      ThrowUnpairedSurrogate(c, static_cast<size_t>(p - begin));
    }
    ++p;
  }
  *stop = p;
  return bytes;
}

// Encodes text already validated by CountUtf8.
void EncodeUtf8(const unsigned short* p, const unsigned short* end, unsigned char* o) noexcept {
  while (p != end) {
    if (end - p >= 4) {
      uint64_t v = Load4(p);
      if ((v & kNonAsciiMask) == 0) {
        o[0] = static_cast<unsigned char>(v);
        o[1] = static_cast<unsigned char>(v >> 16);
        o[2] = static_cast<unsigned char>(v >> 32);
        o[3] = static_cast<unsigned char>(v >> 48);
        o += 4;
        p += 4;
        continue;
      }
    }
    uint32_t c = *p++;
    if (c < 0x80) {
      *o++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
      *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0xD800 || c > 0xDFFF) {
      *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
      *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
      uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (uint32_t{*p++} - 0xDC00);
      *o++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
  }
}

}  // namespace

CBinaryData ToUtf8Bytes(const String& text) { return ToUtf8Bytes(text.data(), text.size()); }

CBinaryData ToUtf8Bytes(const unsigned short* text, size_t length) {
  const unsigned short* begin = text;
  const unsigned short* end = nullptr;
  uint64_t bytes = length == 0 ? 0 : CountUtf8(begin, begin + length, &end);
  if (bytes == 0) return CBinaryData();
  if (bytes > UINT32_MAX)
    throw CVxException(String(VX_T("The binary data would exceed 4294967295 bytes")));
  unsigned char* out = new unsigned char[bytes];
  EncodeUtf8(begin, end, out);
  return CBinaryData(out, static_cast<uint32_t>(bytes), /*adopt=*/true);
}

}  // namespace VxVevAva5
