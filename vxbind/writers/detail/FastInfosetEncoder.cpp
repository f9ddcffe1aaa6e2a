// FastInfosetEncoder.cpp - octets, integers and tables of the Fast Infoset writer.
#include "vxbind/writers/detail/FastInfosetEncoder.h"

#include <algorithm>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vxbind/platform/detail/Hash.h"
#include "vxbind/writers/detail/XmlChars.h"

namespace VxVevAva5 {
namespace detail {

// ---- VocabularyTable ---------------------------------------------------------

VocabularyTable::VocabularyTable() : m_seed(Hash::SecretKey().k0), m_slots(16) {}

// The strings are the written objects' names and short values, looked up
// for every element and attribute: a multiply-mix hash keyed with the
// process's secret is fast, and without the key no set of strings can be
// chosen to collide.
uint64_t VocabularyTable::Hash(const unsigned short* text, size_t length) const {
  auto mix = [](uint64_t h) {
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    return h ^ (h >> 32);
  };
  uint64_t h = m_seed ^ (length * 0x9E3779B97F4A7C15ull);
  for (; length >= 4; text += 4, length -= 4) {
    uint64_t w;
    std::memcpy(&w, text, 8);
    h = mix(h ^ w) * 0x9E3779B97F4A7C15ull;
  }
  uint64_t last = 0;
  for (size_t i = 0; i < length; ++i) last |= uint64_t{text[i]} << (16 * i);
  return mix(h ^ last ^ (last >> 29));
}

// The slot that holds the string, or the empty slot where it would go.
size_t VocabularyTable::Locate(uint64_t hash, const unsigned short* text, size_t length) const {
  size_t mask = m_slots.size() - 1;
  for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = m_slots[i];
    if (slot.index == 0) return i;
    if (slot.hash == hash && slot.length == length &&
        std::memcmp(m_pool.data() + slot.offset, text, length * sizeof(unsigned short)) == 0)
      return i;
  }
}

uint32_t VocabularyTable::Find(const unsigned short* text, size_t length, uint64_t hash) const {
  if (m_count == 0) return 0;
  return m_slots[Locate(hash, text, length)].index;
}

uint32_t VocabularyTable::Add(const unsigned short* text, size_t length, uint64_t hash) {
  if (IsFull()) return 0;
  size_t at = Locate(hash, text, length);
  Slot* slot = &m_slots[at];
  if (slot->index == 0) {
    slot = &Insert(at, hash, length);
    m_pool.insert(m_pool.end(), text, text + length);
  }
  slot->index = ++m_count;
  m_entries.emplace_back(slot->offset, slot->length);
  return m_count;
}

// Fills the empty slot `at` (or its place after growing) for a new string
// that the caller appends to the pool.
VocabularyTable::Slot& VocabularyTable::Insert(size_t at, uint64_t hash, size_t length) {
  if ((m_count + 1) * 2 > m_slots.size()) {
    Rehash();
    size_t mask = m_slots.size() - 1;
    for (at = static_cast<size_t>(hash) & mask; m_slots[at].index != 0; at = (at + 1) & mask) {
    }
  }
  Slot& slot = m_slots[at];
  slot.offset = m_pool.size();
  slot.length = static_cast<uint32_t>(length);
  slot.hash = hash;
  return slot;
}

uint64_t VocabularyTable::HashName(const Name& name) const {
  // Eight units a step, two multiplications: local names are short.
  const unsigned short* p = name.local;
  size_t n = name.localLength;
  uint64_t h = m_seed ^ ((uint64_t{name.prefixLength} << 40 | uint64_t{name.uriLength} << 20 | n) *
                         0x9E3779B97F4A7C15ull);
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, p + 4, 8);
    h = (h ^ a) * 0xD6E8FEB86659FD93ull + (b ^ (h >> 29)) * 0x9E3779B97F4A7C15ull;
  }
  uint64_t a = 0, b = 0;
  for (size_t i = 0; i < n && i < 4; ++i) a |= uint64_t{p[i]} << (16 * i);
  for (size_t i = 4; i < n; ++i) b |= uint64_t{p[i]} << (16 * (i - 4));
  h = (h ^ a) * 0xD6E8FEB86659FD93ull + (b ^ (h >> 29)) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 32);
}



size_t VocabularyTable::LocateName(uint64_t hash, const Name& name) const {
  size_t mask = m_slots.size() - 1;
  size_t length = name.Length();
  for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = m_slots[i];
    if (slot.index == 0) return i;
    if (slot.hash != hash || slot.length != length) continue;
    const unsigned short* key = m_pool.data() + slot.offset;
    if (detail::SameUnits(key + name.prefixLength + name.uriLength + 2, name.local, name.localLength) &&
        detail::SameUnits(key + name.prefixLength + 1, name.uri, name.uriLength) &&
        detail::SameUnits(key, name.prefix, name.prefixLength))
      return i;
  }
}

uint32_t VocabularyTable::FindName(const Name& name, uint64_t hash) const {
  if (m_count == 0) return 0;
  return m_slots[LocateName(hash, name)].index;
}

uint32_t VocabularyTable::AddName(const Name& name, uint64_t hash) {
  if (IsFull()) return 0;
  size_t at = LocateName(hash, name);
  if (m_slots[at].index != 0) {
    m_slots[at].index = ++m_count;
    m_entries.emplace_back(m_slots[at].offset, m_slots[at].length);
    return m_count;
  }
  Slot& slot = Insert(at, hash, name.Length());
  m_entries.emplace_back(slot.offset, slot.length);
  m_pool.insert(m_pool.end(), name.prefix, name.prefix + name.prefixLength);
  m_pool.push_back(1);
  m_pool.insert(m_pool.end(), name.uri, name.uri + name.uriLength);
  m_pool.push_back(1);
  m_pool.insert(m_pool.end(), name.local, name.local + name.localLength);
  slot.index = ++m_count;
  return m_count;
}

void VocabularyTable::Rehash() {
  std::vector<Slot> old(m_slots.size() * 2, Slot{0, 0, 0, 0});
  old.swap(m_slots);
  size_t mask = m_slots.size() - 1;
  for (const Slot& slot : old) {
    if (slot.index == 0) continue;
    size_t i = static_cast<size_t>(slot.hash) & mask;
    while (m_slots[i].index != 0) i = (i + 1) & mask;
    m_slots[i] = slot;
  }
}

void VocabularyTable::Clear() {
  m_count = 0;
  m_entries.clear();
  std::vector<Slot>(16, Slot{0, 0, 0, 0}).swap(m_slots);
  m_pool.clear();
}

// ---- OctetBuffer -------------------------------------------------------------

void OctetBuffer::Grow(size_t n) {
  size_t needed = m_size + n;
  if (needed < m_size) throw std::bad_alloc();
  size_t capacity = std::max<size_t>({needed, m_capacity * 2, 65536});
  auto* grown = new unsigned char[capacity];
  if (m_size != 0) std::memcpy(grown, m_data, m_size);
  delete[] m_data;
  m_data = grown;
  m_capacity = capacity;
}

unsigned char* OctetBuffer::Release(size_t& size) {
  unsigned char* data = m_data;
  size = m_size;
  m_data = nullptr;
  m_size = m_capacity = 0;
  return data;
}

// ---- UTF-8 -------------------------------------------------------------------

namespace {

inline bool IsHigh(unsigned short c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLow(unsigned short c) { return c >= 0xDC00 && c <= 0xDFFF; }

#if defined(__SSE2__)
// Eight units that are ASCII and none of them NUL.
inline bool Ascii8(__m128i v) {
  const __m128i zero = _mm_setzero_si128();
  __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF80))),
                                  zero);
  __m128i nul = _mm_cmpeq_epi16(v, zero);
  return _mm_movemask_epi8(_mm_andnot_si128(nul, ascii)) == 0xFFFF;
}
#endif

}  // namespace

Utf8Measure MeasureUtf8(const unsigned short* text, size_t length) {
  size_t i = 0;
#if defined(__SSE2__)
  while (length - i >= 8 &&
         Ascii8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i))))
    i += 8;
#endif
  uint64_t octets = i;
  for (; i < length; ++i) {
    unsigned short c = text[i];
    if (c < 0x80) {
      if (c == 0) break;
      octets += 1;
    } else if (c < 0x800) {
      octets += 2;
    } else if (!IsHigh(c) && !IsLow(c)) {
      octets += 3;
    } else if (IsHigh(c) && i + 1 < length && IsLow(text[i + 1])) {
      octets += 4;
      ++i;
    } else {
      ThrowUnpairedSurrogate(c, i);
    }
  }
  return Utf8Measure{i, octets};
}

void EncodeUtf8(const unsigned short* text, const Utf8Measure& measure, unsigned char* out) {
  const unsigned short* p = text;
  const unsigned short* end = text + measure.units;
  if (measure.octets == measure.units) {
    // ASCII: one octet per unit.
#if defined(__SSE2__)
    for (; end - p >= 8; p += 8, out += 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
    }
#endif
    while (p != end) *out++ = static_cast<unsigned char>(*p++);
    return;
  }
  while (p != end) {
    uint32_t c = *p++;
    if (c < 0x80) {
      *out++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
      *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
      *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0xD800 || c > 0xDFFF) {
      *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
      *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
      uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00u);
      *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
  }
}

// ---- Integers and lengths ----------------------------------------------------

namespace {

inline unsigned char Octet(uint64_t v) { return static_cast<unsigned char>(v & 0xFF); }

// The 4-octet tail of a large length, most significant first.
inline void PutFourOctets(unsigned char* o, uint64_t v) {
  o[0] = Octet(v >> 24);
  o[1] = Octet(v >> 16);
  o[2] = Octet(v >> 8);
  o[3] = Octet(v);
}

}  // namespace

void PutLargeIndexOnSecondBit(OctetBuffer& out, unsigned bits, uint32_t i) {
  unsigned char* o = out.Reserve(3);
  if (i <= 64) {
    o[0] = Octet(bits | (i - 1));
    out.Advance(1);
  } else if (i <= 8256) {
    o[0] = Octet(bits | 0x40 | ((i - 65) >> 8));
    o[1] = Octet(i - 65);
    out.Advance(2);
  } else {
    o[0] = Octet(bits | 0x60 | ((i - 8257) >> 16));
    o[1] = Octet((i - 8257) >> 8);
    o[2] = Octet(i - 8257);
    out.Advance(3);
  }
}

void PutLargeIndexOnThirdBit(OctetBuffer& out, unsigned bits, uint32_t i) {
  unsigned char* o = out.Reserve(4);
  if (i <= 32) {
    o[0] = Octet(bits | (i - 1));
    out.Advance(1);
  } else if (i <= 2080) {
    o[0] = Octet(bits | 0x20 | ((i - 33) >> 8));
    o[1] = Octet(i - 33);
    out.Advance(2);
  } else if (i <= 526368) {
    o[0] = Octet(bits | 0x28 | ((i - 2081) >> 16));
    o[1] = Octet((i - 2081) >> 8);
    o[2] = Octet(i - 2081);
    out.Advance(3);
  } else {
    o[0] = Octet(bits | 0x30);
    o[1] = Octet(((i - 526369) >> 16) & 0x0F);
    o[2] = Octet((i - 526369) >> 8);
    o[3] = Octet(i - 526369);
    out.Advance(4);
  }
}

void PutLargeIndexOnFourthBit(OctetBuffer& out, unsigned bits, uint32_t i) {
  unsigned char* o = out.Reserve(4);
  if (i <= 16) {
    o[0] = Octet(bits | (i - 1));
    out.Advance(1);
  } else if (i <= 1040) {
    o[0] = Octet(bits | 0x10 | ((i - 17) >> 8));
    o[1] = Octet(i - 17);
    out.Advance(2);
  } else if (i <= 263184) {
    o[0] = Octet(bits | 0x14 | ((i - 1041) >> 16));
    o[1] = Octet((i - 1041) >> 8);
    o[2] = Octet(i - 1041);
    out.Advance(3);
  } else {
    o[0] = Octet(bits | 0x18);
    o[1] = Octet(((i - 263185) >> 16) & 0x0F);
    o[2] = Octet((i - 263185) >> 8);
    o[3] = Octet(i - 263185);
    out.Advance(4);
  }
}

void PutLengthOnSecondBit(OctetBuffer& out, unsigned bits, uint64_t length) {
  unsigned char* o = out.Reserve(5);
  if (length <= 64) {
    o[0] = Octet(bits | (length - 1));
    out.Advance(1);
  } else if (length <= 320) {
    o[0] = Octet(bits | 0x40);
    o[1] = Octet(length - 65);
    out.Advance(2);
  } else {
    o[0] = Octet(bits | 0x60);
    PutFourOctets(o + 1, length - 321);
    out.Advance(5);
  }
}

void PutLengthOnFifthBit(OctetBuffer& out, unsigned bits, uint64_t length) {
  unsigned char* o = out.Reserve(5);
  if (length <= 8) {
    o[0] = Octet(bits | (length - 1));
    out.Advance(1);
  } else if (length <= 264) {
    o[0] = Octet(bits | 0x08);
    o[1] = Octet(length - 9);
    out.Advance(2);
  } else {
    o[0] = Octet(bits | 0x0C);
    PutFourOctets(o + 1, length - 265);
    out.Advance(5);
  }
}

void PutLengthOnSeventhBit(OctetBuffer& out, unsigned bits, uint64_t length) {
  unsigned char* o = out.Reserve(5);
  if (length <= 2) {
    o[0] = Octet(bits | (length - 1));
    out.Advance(1);
  } else if (length <= 258) {
    o[0] = Octet(bits | 0x02);
    o[1] = Octet(length - 3);
    out.Advance(2);
  } else {
    o[0] = Octet(bits | 0x03);
    PutFourOctets(o + 1, length - 259);
    out.Advance(5);
  }
}

}  // namespace detail
}  // namespace VxVevAva5
