#include "vxbind/writers/StringBuffer.h"

#include <limits>
#include <new>

#include "vxbind/core/Exceptions.h"

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

[[noreturn]] void ThrowInvalidEol() { throw CVxException(VX_T("Invalid EOL type.")); }

}  // namespace

CStringBuffer::CStringBuffer(unsigned int blockSize)
    : CInstanceMonitor(VX_T("CStringBuffer")), m_chunkCapacity(blockSize < 2 ? 1 : blockSize - 1) {}

CStringBuffer::~CStringBuffer() { Clear(); }

void CStringBuffer::NewChunk() {
  // Reserve the bookkeeping first so that a failure leaves nothing unowned.
  m_chunks.reserve(m_chunks.size() + 1);
  m_capacities.reserve(m_capacities.size() + 1);
  unsigned short* chunk = new unsigned short[static_cast<size_t>(m_chunkCapacity) + 1]();
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

void CStringBuffer::AppendEscaped(const unsigned short* p, EOLType eolType) {
  for (;;) {
    const unsigned short* run = p;
    // The NUL is special, so the scan needs no end check.
    while (IsOrdinary(p[0])) {
      if (!IsOrdinary(p[1])) { p += 1; break; }
      if (!IsOrdinary(p[2])) { p += 2; break; }
      if (!IsOrdinary(p[3])) { p += 3; break; }
      p += 4;
    }
    Append(run, static_cast<size_t>(p - run));
    switch (*p++) {
      case 0:
        return;
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
  }
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
    // Chunks are zeroed when allocated, so the text ends at its first NUL.
    length = 0;
    while (m_current[length] != 0) ++length;
    return m_current;
  }
  size_t total = GetLength();
  if (total >= std::numeric_limits<unsigned int>::max()) throw std::bad_alloc();
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
  size_t length = 0;
  const unsigned short* text = GetJoinedText(length);
  return String(text, length);
}

}  // namespace VxVevAva5
