// ByteOutput.cpp - UTF-16 to UTF-8 for byte output.
#include "vxbind/writers/ByteOutput.h"

#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/detail/Memory.h"
#include "vxbind/writers/ByteSink.h"
#include "vxbind/writers/StringBuffer.h"
#include "vxbind/writers/XmlTextWriter.h"
#include "vxbind/writers/detail/TextBytes.h"
#include "vxbind/writers/detail/XmlChars.h"

namespace VxVevAva5 {
namespace {

// Four code units are ASCII when none has a bit at or above 0x80.
constexpr uint64_t kNonAsciiMask = 0xFF80FF80FF80FF80ull;

inline uint64_t Load4(const unsigned short* p) noexcept {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

inline bool IsHigh(unsigned short c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLow(unsigned short c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

// Four ASCII code units are all non-zero when adding 0x7FFF to each sets its
// top bit (no carry crosses lanes, as every unit is below 0x80).
inline bool NoZero4(uint64_t asciiUnits) noexcept {
  constexpr uint64_t kTop = 0x8000800080008000ull;
  return ((asciiUnits + 0x7FFF7FFF7FFF7FFFull) & kTop) == kTop;
}

#if defined(__SSE2__)
// Eight code units at `p` are ASCII and none is NUL.
inline bool Ascii8(__m128i v) noexcept {
  const __m128i zero = _mm_setzero_si128();
  __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF80))),
                                  zero);
  __m128i nul = _mm_cmpeq_epi16(v, zero);
  return _mm_movemask_epi8(_mm_andnot_si128(nul, ascii)) == 0xFFFF;
}
#endif

// One piece of a text that may be split across several arrays (the text
// writer's chunks): [begin, end), the unit that follows it in the next piece
// (0 when none), and the position of `begin` in the whole text.
struct Piece {
  const unsigned short* begin;
  const unsigned short* end;
  unsigned short after;
  size_t position;
};

// Adds the UTF-8 length of `piece` up to its first NUL to `bytes`. Returns
// false when it met a NUL (the text ends there). A high surrogate at the end
// of the piece pairs with `after`; `*tookAfter` tells the caller to skip that
// unit in the next piece. Throws on an unpaired surrogate.
bool CountUtf8(const Piece& piece, uint64_t& bytes, bool* tookAfter) {
  *tookAfter = false;
  const unsigned short* p = piece.begin;
  const unsigned short* end = piece.end;
  while (p != end) {
#if defined(__SSE2__)
    // Markup is mostly ASCII: eight units per step while it lasts.
    while (end - p >= 8 && Ascii8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))) {
      bytes += 8;
      p += 8;
    }
    if (p == end) break;
#endif
    if (end - p >= 4) {
      uint64_t v = Load4(p);
      if ((v & kNonAsciiMask) == 0 && NoZero4(v)) {
        bytes += 4;
        p += 4;
        continue;
      }
    }
    unsigned short c = *p;
    if (c == 0) return false;
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (c < 0xD800 || c > 0xDFFF) {
      bytes += 3;
    } else if (IsHigh(c) && end - p >= 2 && IsLow(p[1])) {
      bytes += 4;
      ++p;
    } else if (IsHigh(c) && end - p == 1 && IsLow(piece.after)) {
      bytes += 4;
      *tookAfter = true;
    } else {
      detail::ThrowUnpairedSurrogate(c, piece.position + static_cast<size_t>(p - piece.begin));
    }
    ++p;
  }
  return true;
}

// Encodes `piece` (already validated by CountUtf8) up to its first NUL;
// returns the new output position. `*tookAfter` as for CountUtf8.
unsigned char* EncodeUtf8(const Piece& piece, unsigned char* o, bool* tookAfter) noexcept {
  *tookAfter = false;
  const unsigned short* p = piece.begin;
  const unsigned short* end = piece.end;
  while (p != end) {
#if defined(__SSE2__)
    while (end - p >= 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      if (!Ascii8(v)) break;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
      o += 8;
      p += 8;
    }
    if (p == end) break;
#endif
    if (end - p >= 4) {
      uint64_t v = Load4(p);
      if ((v & kNonAsciiMask) == 0 && NoZero4(v)) {
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
    if (c == 0) break;
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
      uint32_t low;
      if (p != end) {
        low = *p++;
      } else {
        low = piece.after;
        *tookAfter = true;
      }
      uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      *o++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
  }
  return o;
}

// UTF-8 of a text given as consecutive pieces: a counting pass, one
// allocation, an encoding pass. `getPiece(i, length)` returns piece i.
template <class GetPiece>
CBinaryData PiecesToUtf8(size_t count, GetPiece getPiece) {
  // Piece i as the encoder sees it: the unit after it (a low surrogate that
  // completes a pair split across pieces) and whether its first unit was
  // already taken by the piece before.
  auto pieceAt = [&](size_t i, bool skipFirst, size_t position) {
    size_t length = 0;
    const unsigned short* text = getPiece(i, length);
    unsigned short after = 0;
    if (i + 1 < count) {
      size_t nextLength = 0;
      const unsigned short* next = getPiece(i + 1, nextLength);
      if (nextLength != 0) after = next[0];
    }
    size_t skip = skipFirst ? 1 : 0;
    return std::make_pair(Piece{text + skip, text + length, after, position + skip}, length);
  };
  uint64_t bytes = 0;
  size_t used = 0;  // pieces that hold text before the first NUL
  size_t position = 0;
  bool skipFirst = false;
  for (size_t i = 0; i < count; ++i) {
    auto piece = pieceAt(i, skipFirst, position);
    ++used;
    if (!CountUtf8(piece.first, bytes, &skipFirst)) break;
    position += piece.second;
  }
  if (bytes == 0) return CBinaryData();
  if (bytes > UINT32_MAX)
    throw CVxException(String(VX_T("The binary data would exceed 4294967295 bytes")));
  unsigned char* out = new unsigned char[bytes];
  Memory::PrepareLargeWrite(out, bytes);
  unsigned char* o = out;
  skipFirst = false;
  for (size_t i = 0; i < used; ++i) o = EncodeUtf8(pieceAt(i, skipFirst, 0).first, o, &skipFirst);
  return CBinaryData(out, static_cast<uint32_t>(o - out), /*adopt=*/true);
}

}  // namespace

CBinaryData ToUtf8Bytes(const String& text) { return ToUtf8Bytes(text.data(), text.size()); }

CBinaryData ToUtf8Bytes(const unsigned short* text, size_t length) {
  return PiecesToUtf8(1, [&](size_t, size_t& n) {
    n = length;
    return text;
  });
}

CBinaryData CXmlTextWriter::GetBytes(XmlEncoding encoding) {
  const CStringBuffer& buffer = *m_buffer;
  size_t chunks = buffer.GetChunkCount();
  auto chunk = [&](size_t i, size_t& n) { return buffer.GetChunk(i, n); };
  switch (encoding) {
    case XmlEncoding_UTF8:
      return PiecesToUtf8(chunks, chunk);
    case XmlEncoding_UTF16:
    case XmlEncoding_UTF16NoLabel: {
      size_t units = buffer.GetLength();
      if (units > UINT32_MAX / 2)
        throw CVxException(String(VX_T("The binary data would exceed 4294967295 bytes")));
      if (units == 0) return CBinaryData();
      unsigned char* out = new unsigned char[units * 2];
      Memory::PrepareLargeWrite(out, units * 2);
      unsigned char* o = out;
      for (size_t i = 0; i < chunks; ++i) {
        size_t n = 0;
        const unsigned short* text = buffer.GetChunk(i, n);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        std::memcpy(o, text, n * 2);
        o += n * 2;
#else
        for (size_t k = 0; k < n; ++k) {
          *o++ = static_cast<unsigned char>(text[k]);
          *o++ = static_cast<unsigned char>(text[k] >> 8);
        }
#endif
      }
      return CBinaryData(out, static_cast<uint32_t>(units * 2), /*adopt=*/true);
    }
    default:
      throw CVxException(String(VX_T("Unknown Encoding, select UTF-8")));
  }
}

}  // namespace VxVevAva5

// -- Byte output in pieces -----------------------------------------------------

namespace VxVevAva5 {

CByteSink::~CByteSink() = default;

namespace detail {

TextBytes::TextBytes(CByteSink& sink, XmlEncoding encoding)
    : m_sink(sink), m_utf8(encoding == XmlEncoding_UTF8) {
  if (!m_utf8 && encoding != XmlEncoding_UTF16 && encoding != XmlEncoding_UTF16NoLabel)
    throw CVxException(String(VX_T("Unknown Encoding, select UTF-8")));
}

TextBytes::~TextBytes() = default;

void TextBytes::Encode(const unsigned short* text, size_t length) {
  if (length == 0) return;
  size_t position = m_position;
  m_position += length;
  if (!m_utf8) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    m_sink.Write(reinterpret_cast<const unsigned char*>(text), length * 2);
#else
    if (m_room < length * 2) {
      m_bytes.reset(new unsigned char[length * 2]);
      m_room = length * 2;
    }
    unsigned char* o = m_bytes.get();
    for (size_t k = 0; k < length; ++k) {
      *o++ = static_cast<unsigned char>(text[k]);
      *o++ = static_cast<unsigned char>(text[k] >> 8);
    }
    m_sink.Write(m_bytes.get(), length * 2);
#endif
    return;
  }
  if (m_ended) return;
  // At most three bytes per unit, and four for a pair completed here.
  if (m_room < length * 3 + 4) {
    m_bytes.reset(new unsigned char[length * 3 + 4]);
    m_room = length * 3 + 4;
  }
  unsigned char* const out = m_bytes.get();
  unsigned char* o = out;
  const unsigned short* p = text;
  const unsigned short* end = text + length;
  if (m_high != 0) {
    if (!IsLow(*p)) detail::ThrowUnpairedSurrogate(m_high, position - 1);
    uint32_t cp = 0x10000 + ((uint32_t{m_high} - 0xD800) << 10) + (uint32_t{*p} - 0xDC00);
    *o++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
    *o++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
    *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    m_high = 0;
    ++p;
    ++position;
  }
  // A high surrogate at the end waits for the unit that follows it.
  const unsigned short* stop = end;
  if (stop != p && IsHigh(stop[-1])) --stop;
  Piece piece{p, stop, 0, position};
  uint64_t count = 0;
  bool took = false;
  bool more = CountUtf8(piece, count, &took);
  o = EncodeUtf8(piece, o, &took);
  if (!more)
    m_ended = true;
  else if (stop != end)
    m_high = *stop;
  if (o != out) m_sink.Write(out, static_cast<size_t>(o - out));
}

void TextBytes::Finish() {
  if (m_high != 0 && !m_ended) detail::ThrowUnpairedSurrogate(m_high, m_position - 1);
}

}  // namespace detail
}  // namespace VxVevAva5
