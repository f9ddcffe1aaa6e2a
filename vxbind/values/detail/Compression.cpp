#include "vxbind/values/detail/Compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace detail {
namespace {

[[noreturn]] void ThrowCompressFailed(int code) {
  throw CVxException(FormatString(VX_T("Failed to compress data. [Error Code: %d]"), code));
}

// zlib takes its memory from operator new, like the rest of the library, so
// that a program which replaces operator new sees it too.
voidpf ZAlloc(voidpf, uInt items, uInt size) {
  if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
  return ::operator new(size_t{items} * size, std::nothrow);
}

void ZFree(voidpf, voidpf block) { ::operator delete(block); }

// A stream with our allocator. zlib's own failure to allocate is reported
// like any other: std::bad_alloc.
void InitStream(z_stream& stream) {
  std::memset(&stream, 0, sizeof stream);
  stream.zalloc = ZAlloc;
  stream.zfree = ZFree;
}

// Ends a zlib stream on every path.
struct DeflateEnd {
  z_stream& zs;
  ~DeflateEnd() { deflateEnd(&zs); }
};
struct InflateEnd {
  z_stream& zs;
  ~InflateEnd() { inflateEnd(&zs); }
};

}  // namespace

uint32_t Deflate(const unsigned char* data, uint32_t length, CompressionType type,
                 unsigned char* out, uint32_t room) {
  z_stream stream;
  InitStream(stream);
  // Level 1: output is produced once per entry-point call, so speed matters
  // more than the last few percent of size. "1.2.3" only has to agree with
  // the library's major version.
  int rc = type == CompressionType_GZip
               ? deflateInit2_(&stream, 1, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY, "1.2.3",
                               static_cast<int>(sizeof stream))
               : deflateInit_(&stream, 1, "1.2.3", static_cast<int>(sizeof stream));
  if (rc == Z_MEM_ERROR) throw std::bad_alloc();
  if (rc != Z_OK) ThrowCompressFailed(rc);
  DeflateEnd end{stream};
  // zlib reads through a non-const pointer but does not write the input.
  stream.next_in = const_cast<unsigned char*>(data);
  stream.avail_in = length;
  stream.next_out = out;
  stream.avail_out = room;
  deflate(&stream, Z_NO_FLUSH);
  rc = deflate(&stream, Z_FINISH);
  if (rc != Z_STREAM_END) ThrowCompressFailed(rc);
  return static_cast<uint32_t>(stream.total_out);
}

bool Inflate(const unsigned char* data, size_t length, std::vector<unsigned char>& out) {
  z_stream zs;
  InitStream(zs);
  // 15 + 32: a zlib or a gzip header is recognised automatically.
  int rc = inflateInit2(&zs, 47);
  if (rc == Z_MEM_ERROR) throw std::bad_alloc();
  if (rc != Z_OK) return false;
  InflateEnd end{zs};

  // A few hundred bytes of deflate data can expand to gigabytes. Like
  // Expat's entity protection, allow any size up to an activation threshold
  // and beyond it at most a fixed factor of the compressed size.
  constexpr size_t kActivation = size_t{64} << 20;
  constexpr size_t kMaxFactor = 256;
  const size_t limit =
      std::max(kActivation, length <= SIZE_MAX / kMaxFactor ? length * kMaxFactor : SIZE_MAX);
  constexpr size_t kPiece = 65536;
  std::unique_ptr<unsigned char[]> piece(new unsigned char[kPiece]);
  std::vector<unsigned char> output;
  const unsigned char* next = data;
  size_t left = length;
  int status = Z_OK;
  while (status == Z_OK) {
    // avail_in is 32 bits wide: feed larger input in slices.
    if (zs.avail_in == 0 && left > 0) {
      uInt slice = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
      zs.next_in = const_cast<unsigned char*>(next);
      zs.avail_in = slice;
      next += slice;
      left -= slice;
    }
    zs.next_out = piece.get();
    zs.avail_out = kPiece;
    status = inflate(&zs, Z_NO_FLUSH);
    if (status == Z_MEM_ERROR) throw std::bad_alloc();  // not "not compressed"
    size_t produced = kPiece - zs.avail_out;
    if (produced > limit - output.size())
      throw CVxException(FormatString(
          VX_T("Compressed input expands to more than %u times its size; it is not read"),
          static_cast<unsigned>(kMaxFactor)));
    output.insert(output.end(), piece.get(), piece.get() + produced);
  }
  if (status != Z_STREAM_END) return false;
  out.swap(output);
  return true;
}

// -- Inflation piece by piece -----------------------------------------------------

bool LooksCompressed(const unsigned char* data, size_t length) {
  if (length < 2) return false;
  if (data[0] == 0x1F && data[1] == 0x8B) return true;  // gzip
  // zlib: deflate with a window of at most 32 KiB, header check bits right
  return (data[0] & 0x0F) == 8 && (data[0] >> 4) <= 7 &&
         ((unsigned{data[0]} << 8) | data[1]) % 31 == 0;
}

struct StreamInflater::State {
  z_stream zs;
};

namespace {

[[noreturn]] void ThrowDamaged(const z_stream& zs, int rc) {
  String why = Utf16::FromLatin1(zs.msg != nullptr ? zs.msg
                                 : rc == Z_BUF_ERROR ? "unexpected end of data"
                                                     : "invalid data");
  throw CVxException(
      FormatString(VX_T("The compressed input is damaged: [%s]"), why.c_str()));
}

}  // namespace

StreamInflater::StreamInflater() : m_state(new State) {
  InitStream(m_state->zs);
  int rc = inflateInit2(&m_state->zs, 47);
  if (rc != Z_OK) {
    delete m_state;
    if (rc == Z_MEM_ERROR) throw std::bad_alloc();
    throw CVxException(FormatString(VX_T("The compressed input is damaged: [%s]"),
                                    VX_T("zlib cannot start")));
  }
}

StreamInflater::~StreamInflater() {
  inflateEnd(&m_state->zs);
  delete m_state;
}

size_t StreamInflater::Inflate(const unsigned char*& in, size_t& inLength, unsigned char* out,
                               size_t room, bool& ended) {
  z_stream& zs = m_state->zs;
  uInt slice = static_cast<uInt>(std::min<size_t>(inLength, 1u << 30));
  zs.next_in = const_cast<unsigned char*>(in);
  zs.avail_in = slice;
  zs.next_out = out;
  zs.avail_out = static_cast<uInt>(std::min<size_t>(room, 1u << 30));
  uInt roomGiven = zs.avail_out;
  int rc = inflate(&zs, Z_NO_FLUSH);
  if (rc == Z_MEM_ERROR) throw std::bad_alloc();
  size_t taken = slice - zs.avail_in;
  in += taken;
  inLength -= taken;
  ended = rc == Z_STREAM_END;
  if (rc != Z_OK && rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && taken == 0)) ThrowDamaged(zs, rc);
  return roomGiven - zs.avail_out;
}

void StreamInflater::CheckEnded(bool ended) const {
  if (!ended) ThrowDamaged(m_state->zs, Z_BUF_ERROR);
}

}  // namespace detail
}  // namespace VxVevAva5

// -- Streaming deflate ---------------------------------------------------------

namespace VxVevAva5 {
namespace detail {
namespace {

constexpr uInt kDeflatePiece = 65536;

}  // namespace

DeflateStream::DeflateStream(CompressionType type, Emit emit, void* context)
    : m_stream(new z_stream), m_out(nullptr), m_emit(emit), m_context(context) {
  InitStream(*m_stream);
  // The same parameters as Deflate, so that the bytes are the same.
  int rc = type == CompressionType_GZip
               ? deflateInit2_(m_stream, 1, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY, "1.2.3",
                               static_cast<int>(sizeof(z_stream)))
               : deflateInit_(m_stream, 1, "1.2.3", static_cast<int>(sizeof(z_stream)));
  if (rc != Z_OK) {
    delete m_stream;
    if (rc == Z_MEM_ERROR) throw std::bad_alloc();
    ThrowCompressFailed(rc);
  }
  m_out = new (std::nothrow) unsigned char[kDeflatePiece];
  if (m_out == nullptr) {
    deflateEnd(m_stream);
    delete m_stream;
    throw std::bad_alloc();
  }
}

DeflateStream::~DeflateStream() {
  deflateEnd(m_stream);
  delete m_stream;
  delete[] m_out;
}

void DeflateStream::Run(int flush) {
  for (;;) {
    m_stream->next_out = m_out;
    m_stream->avail_out = kDeflatePiece;
    int rc = deflate(m_stream, flush);
    if (rc == Z_STREAM_ERROR) ThrowCompressFailed(rc);
    size_t produced = kDeflatePiece - m_stream->avail_out;
    if (produced != 0) m_emit(m_context, m_out, produced);
    if (flush == Z_FINISH) {
      if (rc == Z_STREAM_END) return;
      if (rc != Z_OK && rc != Z_BUF_ERROR) ThrowCompressFailed(rc);
      continue;
    }
    // Without flushing, zlib is done with the input when it leaves room in
    // the output.
    if (m_stream->avail_in == 0 && m_stream->avail_out != 0) return;
  }
}

void DeflateStream::Write(const unsigned char* data, size_t length) {
  while (length != 0) {
    // avail_in is 32 bits wide.
    uInt slice = static_cast<uInt>(std::min<size_t>(length, 1u << 30));
    m_stream->next_in = const_cast<unsigned char*>(data);
    m_stream->avail_in = slice;
    Run(Z_NO_FLUSH);
    data += slice;
    length -= slice;
  }
}

void DeflateStream::Finish() {
  m_stream->next_in = nullptr;
  m_stream->avail_in = 0;
  Run(Z_FINISH);
}

}  // namespace detail
}  // namespace VxVevAva5
