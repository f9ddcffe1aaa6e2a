// BinaryData.cpp - the shared byte holder, its text forms, compression and
// file output.
#include "vxbind/values/BinaryData.h"


#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/detail/File.h"
#include "vxbind/platform/detail/FloatText.h"
#include "vxbind/platform/detail/Memory.h"
#include "vxbind/values/detail/Compression.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {

struct CBinaryData::Holder {
  unsigned char* data = nullptr;
  uint32_t length = 0;
  uint32_t capacity = 0;
  int32_t refCount = 1;

  ~Holder() { delete[] data; }
};

namespace {

constexpr uint32_t kMaxLength = std::numeric_limits<uint32_t>::max();
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Capacity of a holder made by copying `length` bytes: room to grow, and at
// least a page so that small buffers that get appended to do not reallocate.
uint32_t CopyCapacity(uint32_t length) noexcept {
  uint64_t want = 2 * static_cast<uint64_t>(length);
  if (want < 4096) want = 4096;
  return want > kMaxLength ? kMaxLength : static_cast<uint32_t>(want);
}

void CheckBytes(const unsigned char* data, uint32_t length) {
  if (data == nullptr && length != 0)
    throw CVxInvalidParamException(String(VX_T("The bytes are NULL but their length is not 0")));
}

[[noreturn]] void ThrowTooLarge() {
  throw CVxException(String(VX_T("The binary data would exceed 4294967295 bytes")));
}

// Two UTF-16 code units (low one first in memory) for each 12-bit value: one
// lookup encodes half of a 3-byte group.
struct Base64PairTable {
  std::array<uint32_t, 4096> pairs{};
  constexpr Base64PairTable() {
    for (uint32_t v = 0; v < 4096; ++v) {
      uint32_t first = static_cast<unsigned char>(kBase64Alphabet[v >> 6]);
      uint32_t second = static_cast<unsigned char>(kBase64Alphabet[v & 63]);
      pairs[v] = first | (second << 16);
    }
  }
};
constexpr Base64PairTable kBase64Pairs;

// Decoding classes of the ASCII range: 0..63 the 6-bit value, kSkip for "="
// and XML white space, kBad for everything else.
constexpr unsigned char kSkip = 0x80;
constexpr unsigned char kBad = 0xFF;
struct Base64DecodeTable {
  std::array<unsigned char, 128> value{};
  constexpr Base64DecodeTable() {
    for (auto& v : value) v = kBad;
    for (unsigned i = 0; i < 64; ++i) value[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
    value['='] = kSkip;
    value[' '] = kSkip;
    value['\t'] = kSkip;
    value['\r'] = kSkip;
    value['\n'] = kSkip;
  }
};
constexpr Base64DecodeTable kBase64Decode;

// The 6-bit value of each ASCII character already shifted to its place in a
// 4-character group (18, 12, 6, 0 bits), so that a group decodes with four
// loads and three ORs. Non-alphabet characters set a bit above the 24 used.
// Indexed by the character minus one: the decoder checks c - 1 < 127, which
// rules out the terminator and non-ASCII in one comparison, and then uses it.
constexpr uint32_t kShiftedNotAlphabet = 0x80000000u;
struct Base64ShiftedTables {
  std::array<std::array<uint32_t, 127>, 4> value{};
  constexpr Base64ShiftedTables() {
    for (int t = 0; t < 4; ++t)
      for (int c = 1; c < 128; ++c) {
        unsigned char v = kBase64Decode.value[c];
        value[t][c - 1] = v < 64 ? uint32_t{v} << (18 - 6 * t) : kShiftedNotAlphabet;
      }
  }
};
constexpr Base64ShiftedTables kBase64Shifted;

// Hexadecimal digit values of the ASCII range; -1 for everything else,
// the terminator included.
struct HexDigitTable {
  std::array<signed char, 128> value{};
  constexpr HexDigitTable() {
    for (auto& v : value) v = -1;
    for (int i = 0; i < 10; ++i) value['0' + i] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i) {
      value['A' + i] = static_cast<signed char>(10 + i);
      value['a' + i] = static_cast<signed char>(10 + i);
    }
  }
};
constexpr HexDigitTable kHexDigitValues;

inline int HexValue(unsigned short c) noexcept { return c < 128 ? kHexDigitValues.value[c] : -1; }

// The output of a decoder that meets the end of its text only at the
// terminator, so that the text is read once and never past its end. The
// bytes are written into blocks: one on the stack, then heap blocks of up to
// 64 KiB, which stay below malloc's mmap threshold and so are reused rather
// than mapped and faulted in afresh (a buffer that doubled and was copied
// would be, at every size). At the end they are copied once into an array of
// the exact size. At most 4294967295 bytes, beyond which ThrowTooLarge.
class DecodedBytes {
 public:
  DecodedBytes() = default;
  DecodedBytes(const DecodedBytes&) = delete;
  DecodedBytes& operator=(const DecodedBytes&) = delete;

  // The current block: bytes are written from Begin() up to at most Limit().
  unsigned char* Begin() const noexcept { return m_begin; }
  unsigned char* Limit() const noexcept { return m_limit; }

  // Keeps the bytes of the current block up to `end` and starts a new block;
  // returns where to write next.
  unsigned char* NextBlock(unsigned char* end) {
    Seal(end);
    size_t size = m_blocks.empty() ? kFirstHeapBlock : m_blocks.back().size;
    if (size < kMaxHeapBlock) size *= 2;
    m_blocks.push_back(Block{std::unique_ptr<unsigned char[]>(new unsigned char[size]), size, 0});
    m_begin = m_blocks.back().data.get();
    m_limit = m_begin + size;
    return m_begin;
  }

  // The bytes written, those of the current block ending at `end`, in one
  // array of new[] of exactly `length` bytes (one byte allocated for none).
  unsigned char* Release(unsigned char* end, uint32_t& length) {
    Seal(end);
    unsigned char* out = new unsigned char[m_total == 0 ? 1 : m_total];
    unsigned char* o = out;
    std::memcpy(o, m_block, m_blockUsed);
    o += m_blockUsed;
    for (const Block& b : m_blocks) {
      std::memcpy(o, b.data.get(), b.used);
      o += b.used;
    }
    length = static_cast<uint32_t>(m_total);
    return out;
  }

 private:
  static constexpr size_t kFirstHeapBlock = 2048;  // doubled before use
  static constexpr size_t kMaxHeapBlock = 64 * 1024;
  struct Block {
    std::unique_ptr<unsigned char[]> data;
    size_t size;
    size_t used;
  };

  void Seal(unsigned char* end) {
    size_t used = static_cast<size_t>(end - m_begin);
    if (used > kMaxLength - m_total) ThrowTooLarge();
    m_total += used;
    if (m_blocks.empty())
      m_blockUsed = used;
    else
      m_blocks.back().used = used;
  }

  unsigned char m_block[1024];
  size_t m_blockUsed = 0;
  std::vector<Block> m_blocks;
  size_t m_total = 0;  // bytes in sealed blocks
  unsigned char* m_begin = m_block;
  unsigned char* m_limit = m_block + sizeof(m_block);
};

uint64_t ReadBigEndian(const unsigned char* p, int bytes) noexcept {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

[[noreturn]] void ThrowBadItemLength(const unsigned short* kind, uint32_t leftOver) {
  throw CVxException(FormatString(VX_T("Invalid value [%c] for %s byte encoding."),
                                  static_cast<int>(u'0' + leftOver), kind));
}

// Appends `piece` to `out`, with a separating space after the first item.
void AppendItem(String& out, const String& piece) {
  if (!out.empty()) out.push_back(u' ');
  out.append(piece);
}

}  // namespace

// -- Holder management --------------------------------------------------------

CBinaryData::CBinaryData(const CBinaryData& other) noexcept : m_holder(other.m_holder) {
  if (m_holder != nullptr) ++m_holder->refCount;
}

CBinaryData::CBinaryData(CBinaryData&& other) noexcept : m_holder(other.m_holder) {
  other.m_holder = nullptr;
}

CBinaryData::CBinaryData(unsigned char* data, uint32_t length, bool adopt) {
  CheckBytes(data, length);
  if (adopt)
    Adopt(data, length);
  else
    SetBuffer(data, length);
}

CBinaryData::CBinaryData(const unsigned char* data, uint32_t length) { SetBuffer(data, length); }

CBinaryData::CBinaryData(const unsigned short* text) { SetBuffer(text); }

CBinaryData::~CBinaryData() { Clear(); }

CBinaryData& CBinaryData::operator=(const CBinaryData& other) noexcept {
  // Take the new share before dropping the old one: self-assignment is safe.
  Holder* h = other.m_holder;
  if (h != nullptr) ++h->refCount;
  Clear();
  m_holder = h;
  return *this;
}

CBinaryData& CBinaryData::operator=(CBinaryData&& other) noexcept {
  if (this != &other) {
    Clear();
    m_holder = other.m_holder;
    other.m_holder = nullptr;
  }
  return *this;
}

void CBinaryData::Clear() noexcept {
  if (m_holder != nullptr && --m_holder->refCount == 0) delete m_holder;
  m_holder = nullptr;
}

void CBinaryData::Adopt(unsigned char* data, uint32_t length) {
  // `data` is ours from here on: free it if the holder cannot be made.
  Holder* h = new (std::nothrow) Holder;
  if (h == nullptr) {
    delete[] data;
    throw std::bad_alloc();
  }
  h->data = data;
  h->length = length;
  h->capacity = length;
  Clear();
  m_holder = h;
}

CBinaryData::Holder* CBinaryData::MakeExclusive() {
  if (m_holder == nullptr) {
    m_holder = new Holder;
  } else if (m_holder->refCount > 1) {
    Holder* h = new Holder;
    uint32_t capacity = CopyCapacity(m_holder->length);
    h->data = new (std::nothrow) unsigned char[capacity];
    if (h->data == nullptr) {
      delete h;
      throw std::bad_alloc();
    }
    if (m_holder->length != 0) std::memcpy(h->data, m_holder->data, m_holder->length);
    h->length = m_holder->length;
    h->capacity = capacity;
    --m_holder->refCount;
    m_holder = h;
  }
  return m_holder;
}

const unsigned char* CBinaryData::GetData() const noexcept {
  return m_holder == nullptr ? nullptr : m_holder->data;
}

uint32_t CBinaryData::GetLength() const noexcept {
  return m_holder == nullptr ? 0 : m_holder->length;
}

unsigned char CBinaryData::operator[](uint32_t index) const {
  if (index >= GetLength())
    throw CVxException(FormatString(VX_T("Index Out of range [%d]"), static_cast<int>(index)));
  return m_holder->data[index];
}

unsigned char& CBinaryData::operator[](uint32_t index) {
  if (index >= GetLength())
    throw CVxException(FormatString(VX_T("Index Out of range [%d]"), static_cast<int>(index)));
  return MakeExclusive()->data[index];
}

bool CBinaryData::operator==(const CBinaryData& other) const noexcept {
  uint32_t n = GetLength();
  if (n != other.GetLength()) return false;
  return n == 0 || m_holder == other.m_holder ||
         std::memcmp(m_holder->data, other.m_holder->data, n) == 0;
}

void CBinaryData::SetBuffer(const unsigned char* data, uint32_t length) {
  CheckBytes(data, length);
  uint32_t capacity = CopyCapacity(length);
  unsigned char* copy = new unsigned char[capacity];
  if (length != 0) std::memcpy(copy, data, length);
  Adopt(copy, length);
  m_holder->capacity = capacity;
}

void CBinaryData::SetBuffer(const unsigned short* text) {
  size_t units = text == nullptr ? 0 : Utf16::Length(text);
  if (units > kMaxLength / 2) ThrowTooLarge();
  SetBuffer(reinterpret_cast<const unsigned char*>(text), static_cast<uint32_t>(units * 2));
}

void CBinaryData::Append(const unsigned char* data, uint32_t length) {
  CheckBytes(data, length);
  if (length == 0) {
    MakeExclusive();
    return;
  }
  uint32_t used = GetLength();
  if (length > kMaxLength - used) ThrowTooLarge();
  // `data` may point into this handle's own array. Unsharing leaves the old
  // array alive (another handle still holds it), and growing copies from
  // `data` before the old array is freed.
  Holder* h = MakeExclusive();
  if (h->capacity - h->length < length) {
    uint64_t want = 2 * (static_cast<uint64_t>(h->length) + length);
    uint32_t capacity = want > kMaxLength ? kMaxLength : static_cast<uint32_t>(want);
    unsigned char* grown = new unsigned char[capacity];
    if (h->length != 0) std::memcpy(grown, h->data, h->length);
    std::memcpy(grown + h->length, data, length);  // old array still alive here
    delete[] h->data;
    h->data = grown;
    h->capacity = capacity;
  } else {
    std::memmove(h->data + h->length, data, length);
  }
  h->length += length;
}

void CBinaryData::Append(const unsigned short* text) {
  size_t units = text == nullptr ? 0 : Utf16::Length(text);
  if (units > kMaxLength / 2) ThrowTooLarge();
  Append(reinterpret_cast<const unsigned char*>(text), static_cast<uint32_t>(units * 2));
}

void CBinaryData::Append(const CBinaryData& other) {
  // Hold a share of `other` so that its bytes stay alive even when `other`
  // is this very handle.
  CBinaryData keep(other);
  Append(keep.GetData(), keep.GetLength());
}

void CBinaryData::Append(unsigned char byte) { Append(&byte, 1); }

unsigned char* CBinaryData::ReleaseData() {
  if (m_holder == nullptr) return nullptr;
  Holder* h = MakeExclusive();
  if (h->refCount != 1)
    throw CVxException(
        FormatString(VX_T("Failed to release data. [RefCount=%d]"), static_cast<int>(h->refCount)));
  unsigned char* data = h->data;
  h->data = nullptr;
  h->length = 0;
  h->capacity = 0;
  return data;
}

// -- Text forms ---------------------------------------------------------------

String CBinaryData::GetString() const {
  uint32_t units = GetLength() / 2;
  String out(units, 0);
  if (units != 0) std::memcpy(&out[0], m_holder->data, units * 2);
  return out;
}

String CBinaryData::GetAsHexString(const unsigned char* data, uint32_t length) {
  String out(static_cast<size_t>(length) * 2, 0);
  unsigned short* o = length == 0 ? nullptr : &out[0];
  for (uint32_t i = 0; i < length; ++i) {
    o[2 * i] = static_cast<unsigned char>(kHexDigits[data[i] >> 4]);
    o[2 * i + 1] = static_cast<unsigned char>(kHexDigits[data[i] & 15]);
  }
  return out;
}

String CBinaryData::GetAsHexString() const { return GetAsHexString(GetData(), GetLength()); }

void CBinaryData::SetAsHexString(const unsigned short* text) {
  static const unsigned short kEmpty = 0;
  const unsigned short* p = text == nullptr ? &kEmpty : text;
  DecodedBytes out;
  unsigned char* o = out.Begin();
  for (;;) {
    if (o == out.Limit()) o = out.NextBlock(o);
    // The second digit is read only when the first was not the terminator;
    // in an odd-length text it is the terminator, which fails like any
    // other non-digit.
    unsigned short hi = p[0];
    int h = HexValue(hi);
    if (h < 0) {
      if (hi == 0) break;
      throw CVxException(
          FormatString(VX_T("Invalid char in hex string [%c]"), static_cast<int>(hi)));
    }
    unsigned short lo = p[1];
    int l = HexValue(lo);
    if (l < 0)
      throw CVxException(
          FormatString(VX_T("Invalid char in hex string [%c]"), static_cast<int>(lo)));
    *o++ = static_cast<unsigned char>((h << 4) | l);
    p += 2;
  }
  uint32_t length = 0;
  unsigned char* bytes = out.Release(o, length);
  Adopt(bytes, length);
}

String CBinaryData::GetAsBase64() const {
  uint32_t n = GetLength();
  if (n == 0) return String();
  const unsigned char* p = m_holder->data;
  size_t groups = n / 3;
  String out;
  out.reserve((static_cast<size_t>(n) + 2) / 3 * 4);
  Memory::PrepareLargeWrite(&out[0], out.capacity() * sizeof(unsigned short));
  // Encoded into a small stack block and appended: large outputs are then
  // written once, instead of zero-filled first and overwritten.
  constexpr size_t kBlockGroups = 1024;
  unsigned short block[kBlockGroups * 4];
  while (groups != 0) {
    size_t count = groups < kBlockGroups ? groups : kBlockGroups;
    unsigned short* o = block;
    for (size_t g = 0; g < count; ++g, p += 3, o += 4) {
      uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
      uint64_t four =
          kBase64Pairs.pairs[v >> 12] | (uint64_t{kBase64Pairs.pairs[v & 4095]} << 32);
      std::memcpy(o, &four, 8);
    }
    out.append(block, count * 4);
    groups -= count;
  }
  uint32_t rest = n % 3;
  if (rest != 0) {
    uint32_t v = uint32_t{p[0]} << 16;
    if (rest == 2) v |= uint32_t{p[1]} << 8;
    unsigned short tail[4] = {
        static_cast<unsigned char>(kBase64Alphabet[v >> 18]),
        static_cast<unsigned char>(kBase64Alphabet[(v >> 12) & 63]),
        static_cast<unsigned short>(rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '='), u'='};
    out.append(tail, 4);
  }
  return out;
}

void CBinaryData::SetAsBase64(const unsigned short* text) {
  static const unsigned short kEmpty = 0;
  const unsigned short* p = text == nullptr ? &kEmpty : text;
  DecodedBytes out;
  unsigned char* o = out.Begin();
  uint32_t bits = 0;   // pending bits, most significant first
  int pending = 0;     // number of 6-bit groups in `bits` (0..3)
  size_t symbols = 0;  // alphabet characters seen
  for (;;) {
    // Room for a whole group and for the fast path's spare byte; a few
    // bytes at the end of a block may stay unused.
    if (out.Limit() - o < 4) o = out.NextBlock(o);
    // Fast path: whole groups of four ASCII alphabet characters. Each unit
    // is read only after the one before it was found not to be the
    // terminator.
    if (pending == 0) {
      const unsigned char* fastEnd = out.Limit() - 4;
      const unsigned short* start = p;
      while (o <= fastEnd) {
        uint32_t i0 = p[0] - 1u;
        if (i0 >= 127) break;
        uint32_t i1 = p[1] - 1u;
        if (i1 >= 127) break;
        uint32_t i2 = p[2] - 1u;
        if (i2 >= 127) break;
        uint32_t i3 = p[3] - 1u;
        if (i3 >= 127) break;
        uint32_t v = kBase64Shifted.value[0][i0] | kBase64Shifted.value[1][i1] |
                     kBase64Shifted.value[2][i2] | kBase64Shifted.value[3][i3];
        if (v & kShiftedNotAlphabet) break;
        uint32_t be = __builtin_bswap32(v << 8);
        std::memcpy(o, &be, 4);  // the fourth byte is overwritten or unused
        o += 3;
        p += 4;
      }
      symbols += static_cast<size_t>(p - start);
      if (out.Limit() - o < 4) continue;
    }
    unsigned short ch = *p;
    if (ch == 0) break;
    ++p;
    unsigned char v = ch < 128 ? kBase64Decode.value[ch] : kBad;
    if (v == kSkip) continue;
    if (v == kBad)
      throw CVxException(
          FormatString(VX_T("Invalid char in base64 string [%c]"), static_cast<int>(ch)));
    ++symbols;
    bits = (bits << 6) | v;
    if (++pending == 4) {
      o[0] = static_cast<unsigned char>(bits >> 16);
      o[1] = static_cast<unsigned char>(bits >> 8);
      o[2] = static_cast<unsigned char>(bits);
      o += 3;
      bits = 0;
      pending = 0;
    }
  }
  if (pending == 1)
    throw CVxException(FormatString(VX_T("Invalid length of base64 string [%u]"),
                                    static_cast<unsigned>(symbols)));
  // The loop ended with room for a group.
  if (pending == 2) {
    *o++ = static_cast<unsigned char>(bits >> 4);
  } else if (pending == 3) {
    *o++ = static_cast<unsigned char>(bits >> 10);
    *o++ = static_cast<unsigned char>(bits >> 2);
  }
  uint32_t length = 0;
  unsigned char* bytes = out.Release(o, length);
  Adopt(bytes, length);
}

String CBinaryData::GetAsString(ByteEncoding encoding) const {
  if (m_holder == nullptr) return String();  // whatever the encoding
  if (static_cast<unsigned>(encoding) > ByteEncoding_UUID)
    throw CVxException(String(VX_T("Unknown byte encoding.")));
  uint32_t n = GetLength();
  if (n == 0) return String();
  const unsigned char* p = m_holder->data;
  String out;
  switch (encoding) {
    case ByteEncoding_None:
      return GetString();
    case ByteEncoding_Hex:
      return GetAsHexString();
    case ByteEncoding_Base64:
      return GetAsBase64();
    case ByteEncoding_Short:
      if (n % 2 != 0) ThrowBadItemLength(VX_T("SHORT"), n % 2);
      for (uint32_t i = 0; i < n; i += 2)
        AppendItem(out, FormatString(VX_T("%d"), static_cast<int>(static_cast<int16_t>(
                                                     ReadBigEndian(p + i, 2)))));
      break;
    case ByteEncoding_Int:
      if (n % 4 != 0) ThrowBadItemLength(VX_T("INT"), n % 4);
      for (uint32_t i = 0; i < n; i += 4)
        AppendItem(out, FormatString(VX_T("%d"), static_cast<int>(static_cast<int32_t>(
                                                     ReadBigEndian(p + i, 4)))));
      break;
    case ByteEncoding_Long:
      if (n % 8 != 0) ThrowBadItemLength(VX_T("LONG"), n % 8);
      for (uint32_t i = 0; i < n; i += 8)
        AppendItem(out, Utf16::FromInt64(static_cast<int64_t>(ReadBigEndian(p + i, 8))));
      break;
    case ByteEncoding_Boolean: {
      uint32_t unused = p[0] >> 4;
      uint64_t bitCount = uint64_t{n} * 8 - 4;
      if (unused > bitCount) ThrowBadItemLength(VX_T("BOOLEAN"), unused > 9 ? 9 : unused);
      bitCount -= unused;
      out.reserve(bitCount * 6);
      for (uint64_t b = 4; b < bitCount + 4; ++b) {
        bool set = (p[b / 8] >> (7 - b % 8)) & 1;
        if (!out.empty()) out.push_back(u' ');
        const unsigned short* word = set ? VX_T("true") : VX_T("false");
        out.append(word, set ? 4 : 5);
      }
      break;
    }
    case ByteEncoding_Float:
      if (n % 4 != 0) ThrowBadItemLength(VX_T("FLOAT"), n % 4);
      for (uint32_t i = 0; i < n; i += 4) {
        uint32_t raw = static_cast<uint32_t>(ReadBigEndian(p + i, 4));
        float f;
        std::memcpy(&f, &raw, 4);
        AppendItem(out, FloatText::FromFloat(f));
      }
      break;
    case ByteEncoding_Double:
      if (n % 8 != 0) ThrowBadItemLength(VX_T("DOUBLE"), n % 8);
      for (uint32_t i = 0; i < n; i += 8) {
        uint64_t raw = ReadBigEndian(p + i, 8);
        double d;
        std::memcpy(&d, &raw, 8);
        AppendItem(out, FloatText::FromDouble(d));
      }
      break;
    case ByteEncoding_UUID:
      if (n % 16 != 0) ThrowBadItemLength(VX_T("UUID"), n % 16 > 9 ? 9 : n % 16);
      for (uint32_t i = 0; i < n; i += 16) AppendItem(out, GetAsHexString(p + i, 16));
      break;
  }
  return out;
}

// -- Compression and files ----------------------------------------------------

CBinaryData CBinaryData::CompressData(CompressionType type) {
  if (type != CompressionType_GZip && type != CompressionType_ZLib) return *this;
  Holder* h = MakeExclusive();
  uint32_t room = h->length;
  // new[] of 0 bytes still gives a distinct pointer for zlib's next_out.
  unsigned char* out = new unsigned char[room == 0 ? 1 : room];
  uint32_t produced;
  try {
    produced = detail::Deflate(h->data, h->length, type, out, room);
  } catch (...) {
    delete[] out;
    throw;
  }
  delete[] h->data;
  h->data = out;
  h->length = static_cast<uint32_t>(produced);
  h->capacity = room;
  return *this;
}

void CBinaryData::ToFile(const unsigned short* fileName, XmlEncoding encoding) const {
  static const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};
  bool utf16 = encoding == XmlEncoding_UTF16 || encoding == XmlEncoding_UTF16NoLabel;
  int err = File::WriteAll(fileName, kByteOrderMark, utf16 ? 2 : 0, GetData(), GetLength());
  if (err != 0)
    throw CVxException(FormatString(VX_T("Failed to write data to the file [%s] error [0x%08X]"),
                                    fileName, static_cast<unsigned>(err)));
}

}  // namespace VxVevAva5
