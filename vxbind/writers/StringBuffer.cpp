#include "vxbind/writers/StringBuffer.h"

#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/detail/Memory.h"
#include "vxbind/writers/detail/XmlChars.h"

namespace VxVevAva5 {
namespace {

// Units that escaping must look at. All of them are below '?' (0x3F), so a
// range check plus one load answers "ordinary?" for every unit; the NUL is
// special because it ends the text.
constexpr unsigned short kSpecialLimit = 0x3F;
constexpr bool kSpecial[kSpecialLimit] = {
    true,  false, false, false, false, false, false, false,  // 0x00 NUL
    false, false, true,  false, false, true,  false, false,  // 0x0A LF, 0x0D CR
    false, false, false, false, false, false, false, false,  //
    false, false, false, false, false, false, false, false,  //
    false, false, true,  false, false, false, true,  false,  // 0x22 ", 0x26 &
    false, false, false, false, false, false, false, false,  //
    false, false, false, false, false, false, false, false,  //
    false, false, false, false, true,  false, true,          // 0x3C <, 0x3E >
};

inline bool IsOrdinary(unsigned short c) { return c >= kSpecialLimit || !kSpecial[c]; }

const unsigned short kQuot[] = {'&', 'q', 'u', 'o', 't', ';'};
const unsigned short kAmp[] = {'&', 'a', 'm', 'p', ';'};
const unsigned short kLt[] = {'&', 'l', 't', ';'};
const unsigned short kGt[] = {'&', 'g', 't', ';'};
const unsigned short kCrLf[] = {'\r', '\n'};
const unsigned short kTabRef[] = {'&', '#', 'x', '9', ';'};
const unsigned short kLfRef[] = {'&', '#', 'x', 'A', ';'};
const unsigned short kCrRef[] = {'&', '#', 'x', 'D', ';'};

[[noreturn]] void ThrowInvalidEol() { throw CVxException(VX_T("Invalid EOL type.")); }

}  // namespace

CStringBuffer::CStringBuffer(unsigned int blockSize)
    : CInstanceMonitor(VX_T("CStringBuffer")), m_chunkCapacity(blockSize < 2 ? 1 : blockSize - 1) {}

CStringBuffer::~CStringBuffer() { Clear(); }

void CStringBuffer::NewChunk() {
  if (m_drain != nullptr && m_current != nullptr) {
    // Bounded: the full chunk's text leaves, and the chunk is used again.
    m_drain(m_drainContext, m_current, m_used);
    m_used = 0;
    return;
  }
  // Reserve the bookkeeping first so that a failure leaves nothing unowned.
  m_chunks.reserve(m_chunks.size() + 1);
  m_capacities.reserve(m_capacities.size() + 1);
  // Only the terminator is set: the one-chunk read below terminates the
  // text at `m_used` itself, so zeroing 128 KiB per chunk would buy nothing.
  unsigned short* chunk = new unsigned short[static_cast<size_t>(m_chunkCapacity) + 1];
  chunk[m_chunkCapacity] = 0;
  m_chunks.push_back(chunk);
  m_capacities.push_back(m_chunkCapacity);
  m_current = chunk;
  m_capacity = m_chunkCapacity;
  m_used = 0;
}

void CStringBuffer::AppendSlow(const unsigned short* text, size_t length) {
  while (length != 0) {
    if (m_used == m_capacity) NewChunk();
    size_t room = m_capacity - m_used;
    size_t n = length < room ? length : room;
    std::memcpy(m_current + m_used, text, n * sizeof(unsigned short));
    m_used += static_cast<unsigned int>(n);
    text += n;
    length -= n;
  }
}

void CStringBuffer::Append(const unsigned short* text) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  Append(text, n);
}

void CStringBuffer::AppendEscaped(const unsigned short* text, EOLType eolType) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  AppendEscaped(text, n, eolType);
}

void CStringBuffer::AppendEscaped(const unsigned short* p, size_t length, EOLType eolType) {
  const unsigned short* const end = p + length;
  // Ordinary units are copied while they are scanned, straight into the
  // chunk. With SSE2, eight units at a time: all eight are stored (the
  // chunk has room for them) and the output advances to the first special
  // one, if any.
  unsigned short* out = m_current + m_used;
  unsigned short* limit = m_current + m_capacity;
#if defined(__SSE2__)
  const __m128i nul = _mm_setzero_si128();
  const __m128i lf = _mm_set1_epi16(0x0A), cr = _mm_set1_epi16(0x0D);
  const __m128i quot = _mm_set1_epi16('"'), amp = _mm_set1_epi16('&');
  const __m128i lt = _mm_set1_epi16('<'), gt = _mm_set1_epi16('>');
#endif
  for (;;) {
#if defined(__SSE2__)
    while (end - p >= 8 && limit - out >= 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      __m128i hit =
          _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, nul), _mm_cmpeq_epi16(v, lf)),
                                    _mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, quot))),
                       _mm_or_si128(_mm_cmpeq_epi16(v, amp),
                                    _mm_or_si128(_mm_cmpeq_epi16(v, lt), _mm_cmpeq_epi16(v, gt))));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
      unsigned int mask = static_cast<unsigned int>(_mm_movemask_epi8(hit));
      if (mask == 0) {
        out += 8;
        p += 8;
        continue;
      }
      unsigned int ordinary = static_cast<unsigned int>(__builtin_ctz(mask)) / 2;
      out += ordinary;
      p += ordinary;
      break;
    }
#endif
    if (p == end) break;
    unsigned short c = *p;
    if (IsOrdinary(c)) {
      if (out == limit) {
        m_used = m_capacity;
        NewChunk();
        out = m_current;
        limit = m_current + m_capacity;
      }
      *out++ = c;
      ++p;
      continue;
    }
    m_used = static_cast<unsigned int>(out - m_current);
    ++p;
    switch (c) {
      case 0:
        return;  // the text ends at its first NUL
      case '\n':
        if (eolType == EOLType_LF)
          AppendChar('\n');
        else if (eolType == EOLType_CRLF)
          Append(kCrLf, 2);
        else
          ThrowInvalidEol();
        break;
      case '\r':
        break;
      case '"':
        Append(kQuot, 6);
        break;
      case '&':
        Append(kAmp, 5);
        break;
      case '<':
        Append(kLt, 4);
        break;
      default:  // '>'
        Append(kGt, 4);
        break;
    }
    out = m_current + m_used;
    limit = m_current + m_capacity;
  }
  m_used = static_cast<unsigned int>(out - m_current);
}

size_t CStringBuffer::AppendEscapedStrict(const unsigned short* text, size_t length,
                                          EOLType eolType, bool attributeValue) {
  for (size_t i = 0; i < length; ++i) {
    unsigned short c = text[i];
    if (c >= kSpecialLimit && !detail::NeedsCharCheck(c)) {
      AppendChar(c);
      continue;
    }
    switch (c) {
      case '\t':
        if (attributeValue)
          Append(kTabRef, 5);
        else
          AppendChar(c);
        continue;
      case '\n':
        if (attributeValue)
          Append(kLfRef, 5);
        else if (eolType == EOLType_LF)
          AppendChar('\n');
        else if (eolType == EOLType_CRLF)
          Append(kCrLf, 2);
        else
          ThrowInvalidEol();
        continue;
      case '\r':
        if (attributeValue) Append(kCrRef, 5);
        continue;
      case '"':
        Append(kQuot, 6);
        continue;
      case '&':
        Append(kAmp, 5);
        continue;
      case '<':
        Append(kLt, 4);
        continue;
      case '>':
        Append(kGt, 4);
        continue;
      default:
        break;
    }
    if (!detail::NeedsCharCheck(c)) {
      AppendChar(c);
    } else if (detail::IsHighSurrogate(c) && i + 1 < length &&
               detail::IsLowSurrogate(text[i + 1])) {
      AppendChar(c);
      AppendChar(text[++i]);
    } else {
      return i;
    }
  }
  return length;
}

void CStringBuffer::SetDrain(DrainFunction drain, void* context, unsigned int chunkUnits) {
  Clear();
  m_drain = drain;
  m_drainContext = context;
  m_chunkCapacity = chunkUnits < 2 ? 2 : chunkUnits;
}

void CStringBuffer::DrainRest() {
  if (m_drain == nullptr || m_used == 0) return;
  m_drain(m_drainContext, m_current, m_used);
  m_used = 0;
}

void CStringBuffer::Clear() {
  for (unsigned short* chunk : m_chunks) delete[] chunk;
  m_chunks.clear();
  m_capacities.clear();
  m_current = nullptr;
  m_capacity = 0;
  m_used = 0;
}

size_t CStringBuffer::GetLength() const {
  if (m_chunks.empty()) return 0;
  size_t total = m_used;
  for (size_t i = 0; i + 1 < m_capacities.size(); ++i) total += m_capacities[i];
  return total;
}

const unsigned short* CStringBuffer::GetJoinedText(size_t& length) {
  static const unsigned short kEmpty[1] = {0};
  if (m_chunks.empty()) {
    length = 0;
    return kEmpty;
  }
  if (m_chunks.size() == 1) {
    m_current[m_used] = 0;
    length = m_used;
    return m_current;
  }
  size_t total = GetLength();
  // The joined text becomes a chunk, whose capacity is an unsigned int.
  if (total >= std::numeric_limits<unsigned int>::max())
    throw CVxException(FormatString(
        VX_T("The text is too long to be joined into one block [%I64u units]; the limit is "
             "4294967294"),
        static_cast<unsigned long long>(total)));
  unsigned short* joined = new unsigned short[total + 1];
  unsigned short* out = joined;
  for (size_t i = 0; i < m_chunks.size(); ++i) {
    size_t n = i + 1 < m_chunks.size() ? m_capacities[i] : m_used;
    std::memcpy(out, m_chunks[i], n * sizeof(unsigned short));
    out += n;
  }
  *out = 0;
  try {
    Clear();
    m_chunks.push_back(joined);
    m_capacities.push_back(static_cast<unsigned int>(total));
  } catch (...) {
    delete[] joined;
    throw;
  }
  m_current = joined;
  m_capacity = static_cast<unsigned int>(total);
  m_used = m_capacity;
  length = total;
  return joined;
}

String CStringBuffer::GetString() {
  // Copied straight from the chunks: one copy of the text instead of two
  // (join, then copy the joined text), and nothing changes in the buffer.
  String text;
  text.reserve(GetLength());
  Memory::PrepareLargeWrite(&text[0], text.capacity() * sizeof(unsigned short));
  for (size_t i = 0; i < m_chunks.size(); ++i)
    text.append(m_chunks[i], i + 1 < m_chunks.size() ? m_capacities[i] : m_used);
  return text;
}

}  // namespace VxVevAva5
