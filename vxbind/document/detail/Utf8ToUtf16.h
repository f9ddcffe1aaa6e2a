// -----------------------------------------------------------------------------
// File: Utf8ToUtf16.h  (internal)
// -----------------------------------------------------------------------------
//
// The conversion of the text reader: Expat's UTF-8 build hands over names and
// text in UTF-8, which the document stores in UTF-16.

#ifndef VXBIND_DOCUMENT_DETAIL_UTF8TOUTF16_H
#define VXBIND_DOCUMENT_DETAIL_UTF8TOUTF16_H

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace VxVevAva5 {
namespace detail {

// Writes the UTF-16 form of `length` bytes of UTF-8 to `out`, which has room
// for `length` units (UTF-16 never takes more units than UTF-8 takes bytes),
// and returns the number of units written. Expat hands over well-formed
// UTF-8 only; a byte that does not start a complete sequence all the same
// becomes U+FFFD, and nothing is read past `length`.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline size_t Utf8ToUtf16(const unsigned char* in, size_t length, unsigned short* out) {
  unsigned short* o = out;
  const unsigned char* end = in + length;
  for (;;) {
    // Names and data are mostly ASCII: sixteen bytes a step while they are.
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    while (end - in >= 16) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      if (_mm_movemask_epi8(bytes) != 0) break;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(bytes, zero));
      in += 16;
      o += 16;
    }
#endif
    while (in != end && *in < 0x80) *o++ = *in++;
    if (in == end) break;
    unsigned c = *in;
    size_t trail;
    uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) {
      trail = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      trail = 2;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      trail = 3;
      code = c & 0x07;
    } else {
      *o++ = 0xFFFD;
      ++in;
      continue;
    }
    bool complete = static_cast<size_t>(end - in) > trail;
    for (size_t k = 1; complete && k <= trail; ++k) {
      unsigned b = in[k];
      if ((b & 0xC0) != 0x80) complete = false;
      code = (code << 6) | (b & 0x3F);
    }
    if (!complete || code > 0x10FFFF) {
      *o++ = 0xFFFD;
      ++in;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      *o++ = static_cast<unsigned short>(0xD800 + (code >> 10));
      *o++ = static_cast<unsigned short>(0xDC00 + (code & 0x3FF));
    } else {
      *o++ = static_cast<unsigned short>(code);
    }
    in += trail + 1;
  }
  return static_cast<size_t>(o - out);
}

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_UTF8TOUTF16_H
