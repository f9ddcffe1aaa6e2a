// -----------------------------------------------------------------------------
// File: detail/FastInfosetEncoder.h  (internal)
// -----------------------------------------------------------------------------
//
// The octet level of the Fast Infoset writer: the output buffer, the X.891
// integer and length encodings, UTF-8 literals, and the vocabulary tables
// that turn recurring strings into indexes. CFastInfosetWriter decides what
// to write; this writes it.

#ifndef VXBIND_WRITERS_DETAIL_FASTINFOSETENCODER_H
#define VXBIND_WRITERS_DETAIL_FASTINFOSETENCODER_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

// X.891 tables hold at most 2^20 entries; a string met when its table is
// full is written as a literal and gets no index.
constexpr uint32_t kFastInfosetTableLimit = uint32_t{1} << 20;

// Equal units; a loop for the few units of a name part, without a call.
inline bool SameUnits(const unsigned short* a, const unsigned short* b, size_t n) {
  for (; n >= 4; a += 4, b += 4, n -= 4) {
    uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// A vocabulary table: strings of UTF-16 units -> their 1-based index. A
// string added again refers to its newest index, as the decoder appends
// every literal it reads. Hashing uses a per-process secret, so that data
// cannot be chosen to make every string collide.
class VocabularyTable {
 public:
  VocabularyTable();
  VocabularyTable(const VocabularyTable&) = delete;
  VocabularyTable& operator=(const VocabularyTable&) = delete;

  // The index of [text, text + length), or 0 when it has none.
  uint32_t Find(const unsigned short* text, size_t length) const {
    return Find(text, length, Hash(text, length));
  }
  // Gives the string the next index and returns it; 0 (and nothing added)
  // when the table is full.
  uint32_t Add(const unsigned short* text, size_t length) {
    return Add(text, length, Hash(text, length));
  }
  // The same with the string's hash given: Hash(), or any function of the
  // string that is the same for equal strings.
  uint32_t Find(const unsigned short* text, size_t length, uint64_t hash) const;
  uint32_t Add(const unsigned short* text, size_t length, uint64_t hash);
  // The table's keyed hash of a string.
  uint64_t Hash(const unsigned short* text, size_t length) const;
  // A qualified name in its parts, as the name tables key it: prefix,
  // U+0001, namespace URI, U+0001, local name.
  struct Name {
    const unsigned short* prefix;
    size_t prefixLength;
    const unsigned short* uri;
    size_t uriLength;
    const unsigned short* local;
    size_t localLength;
    size_t Length() const { return prefixLength + uriLength + localLength + 2; }
  };
  // Names are looked up for every element and attribute, in their parts
  // (nothing is copied): the hash covers the local name and the parts'
  // lengths, and the key is compared whole.
  uint64_t HashName(const Name& name) const;
  uint32_t FindName(const Name& name, uint64_t hash) const;
  uint32_t AddName(const Name& name, uint64_t hash);
  // True when entry `index` (which must exist) is `name`: a guess checked
  // without hashing.
  bool IsName(uint32_t index, const Name& name) const {
    const std::pair<size_t, uint32_t>& entry = m_entries[index - 1];
    if (entry.second != name.Length()) return false;
    const unsigned short* key = m_pool.data() + entry.first;
    return key[name.prefixLength] == 1 && key[name.prefixLength + name.uriLength + 1] == 1 &&
           SameUnits(key + name.prefixLength + name.uriLength + 2, name.local, name.localLength) &&
           SameUnits(key + name.prefixLength + 1, name.uri, name.uriLength) &&
           SameUnits(key, name.prefix, name.prefixLength);
  }

  bool IsFull() const { return m_count == kFastInfosetTableLimit; }
  // Empties the table.
  void Clear();

 private:
  struct Slot {
    size_t offset;  // of the key in m_pool
    uint32_t length;
    uint32_t index;  // 0: empty slot
    uint64_t hash;
  };
  size_t Locate(uint64_t hash, const unsigned short* text, size_t length) const;
  size_t LocateName(uint64_t hash, const Name& name) const;
  Slot& Insert(size_t at, uint64_t hash, size_t length);
  void Rehash();

  uint64_t m_seed;
  uint32_t m_count = 0;
  std::vector<Slot> m_slots;  // open addressing, at most half full
  std::vector<unsigned short> m_pool;
  // Where each index's string is in m_pool: (offset, length) by index - 1.
  std::vector<std::pair<size_t, uint32_t>> m_entries;
};

// The growing octet output.
class OctetBuffer {
 public:
  OctetBuffer() = default;
  OctetBuffer(const OctetBuffer&) = delete;
  OctetBuffer& operator=(const OctetBuffer&) = delete;
  ~OctetBuffer() { delete[] m_data; }

  // Room for `n` more octets; returns where they go. Commit them with
  // Advance.
  unsigned char* Reserve(size_t n) {
    if (m_capacity - m_size < n) Grow(n);
    return m_data + m_size;
  }
  void Advance(size_t n) { m_size += n; }
  void Put(unsigned char octet) {
    *Reserve(1) = octet;
    ++m_size;
  }
  void Put(const void* octets, size_t n) {
    if (n == 0) return;  // nothing to copy, and perhaps no buffer yet
    std::memcpy(Reserve(n), octets, n);
    m_size += n;
  }
  // Hands the octets (an array from new[], perhaps larger than `size`) to
  // the caller, and starts again empty.
  unsigned char* Release(size_t& size);
  const unsigned char* Data() const { return m_data; }
  unsigned char* Data() { return m_data; }
  size_t Size() const { return m_size; }
  // Drops the octets from `size` on.
  void Truncate(size_t size) { m_size = size; }
  void Clear() { m_size = 0; }

 private:
  void Grow(size_t n);

  unsigned char* m_data = nullptr;
  size_t m_size = 0;
  size_t m_capacity = 0;
};

// A text measured for UTF-8 output: its units up to the first NUL, and
// their UTF-8 length.
struct Utf8Measure {
  size_t units;
  uint64_t octets;
};

// Measures `text` (`length` units) up to its first NUL. Throws CVxException
// "Invalid UTF-16 text: unpaired surrogate ..." for a surrogate that is not
// part of a pair.
Utf8Measure MeasureUtf8(const unsigned short* text, size_t length);
// Writes the UTF-8 of `units` units (measured by MeasureUtf8) at `out`.
void EncodeUtf8(const unsigned short* text, const Utf8Measure& measure, unsigned char* out);

// The encodings of X.891 integers and lengths. `bits` are the bits of the
// first octet that are already set; each writes at the end of `out`. The
// indexes that fit in the first octet, the most frequent, are written
// inline.
void PutLargeIndexOnSecondBit(OctetBuffer& out, unsigned bits, uint32_t index);
void PutLargeIndexOnThirdBit(OctetBuffer& out, unsigned bits, uint32_t index);
void PutLargeIndexOnFourthBit(OctetBuffer& out, unsigned bits, uint32_t index);
inline void PutIndexOnSecondBit(OctetBuffer& out, unsigned bits, uint32_t index) {
  if (index <= 64)
    out.Put(static_cast<unsigned char>(bits | (index - 1)));
  else
    PutLargeIndexOnSecondBit(out, bits, index);
}
inline void PutIndexOnThirdBit(OctetBuffer& out, unsigned bits, uint32_t index) {
  if (index <= 32)
    out.Put(static_cast<unsigned char>(bits | (index - 1)));
  else
    PutLargeIndexOnThirdBit(out, bits, index);
}
inline void PutIndexOnFourthBit(OctetBuffer& out, unsigned bits, uint32_t index) {
  if (index <= 16)
    out.Put(static_cast<unsigned char>(bits | (index - 1)));
  else
    PutLargeIndexOnFourthBit(out, bits, index);
}
void PutLengthOnSecondBit(OctetBuffer& out, unsigned bits, uint64_t length);
void PutLengthOnFifthBit(OctetBuffer& out, unsigned bits, uint64_t length);
void PutLengthOnSeventhBit(OctetBuffer& out, unsigned bits, uint64_t length);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_DETAIL_FASTINFOSETENCODER_H
