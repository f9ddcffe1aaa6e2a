// -----------------------------------------------------------------------------
// File: Compression.h  (internal)
// -----------------------------------------------------------------------------
//
// Deflate and inflate over zlib: the only place that includes zlib.h. Output
// compression (CBinaryData::CompressData) and the transparent inflation of
// byte input (CXmlDocument) both come here.

#ifndef VXBIND_VALUES_DETAIL_COMPRESSION_H
#define VXBIND_VALUES_DETAIL_COMPRESSION_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vxbind/base/Enums.h"

namespace VxVevAva5 {
namespace detail {

// Deflates the `length` bytes at `data` at level 1 in a gzip
// (CompressionType_GZip) or zlib (CompressionType_ZLib) wrapper into `out`,
// which has room for `room` bytes, and returns the number of bytes written.
// Output that does not fit in `room` (or a zlib failure) throws CVxException
// "Failed to compress data. [Error Code: %d]" with zlib's code.
uint32_t Deflate(const unsigned char* data, uint32_t length, CompressionType type,
                 unsigned char* out, uint32_t room);

// Inflates `length` bytes of gzip or zlib data (recognised by their header)
// into `out` and returns true. Returns false, with `out` unchanged, when the
// bytes are not one complete compressed stream (plain text, damaged data).
// Output may reach 64 MiB, or 256 times the input where that is more; beyond
// that it throws CVxException "Compressed input expands to more than 256
// times its size; it is not read", so that a decompression bomb cannot take
// all memory.
//
// Both take zlib's memory from operator new and throw std::bad_alloc when
// it runs out.
bool Inflate(const unsigned char* data, size_t length, std::vector<unsigned char>& out);

// Whether `length` bytes (the first of an input, at least 2 when there are
// as many) start a gzip or zlib stream.
bool LooksCompressed(const unsigned char* data, size_t length);

// Inflation piece by piece, for input read from a file or a stream: the
// output is handed on as it comes and never held whole, so no expansion
// limit applies. Data that is not a complete gzip or zlib stream throws
// CVxException "The compressed input is damaged: [%s]" with zlib's words;
// memory that runs out, std::bad_alloc.
class StreamInflater {
 public:
  StreamInflater();
  StreamInflater(const StreamInflater&) = delete;
  StreamInflater& operator=(const StreamInflater&) = delete;
  ~StreamInflater();

  // Inflates from [in, in + inLength) into [out, out + room): advances `in`
  // and `inLength` past what it took and returns the bytes written (0 when
  // it needs more input). `ended` turns true at the end of the stream.
  size_t Inflate(const unsigned char*& in, size_t& inLength, unsigned char* out, size_t room,
                 bool& ended);
  // Input that ends before the stream does: throws as for damaged data.
  void CheckEnded(bool ended) const;

 private:
  struct State;
  State* m_state;
};

}  // namespace detail
}  // namespace VxVevAva5


// -- Streaming deflate ---------------------------------------------------------

struct z_stream_s;

namespace VxVevAva5 {
namespace detail {

// Deflates a stream given in pieces, at level 1 in a gzip or zlib wrapper
// as Deflate does: the same bytes, whatever the pieces. Compressed output
// is handed to `emit(context, data, length)` in pieces of at most 64 KiB
// as it is produced; what emit throws passes through, and the stream can
// then only be destroyed. Memory stays bounded by zlib's state plus the
// 64 KiB piece, whatever the input's size.
class DeflateStream {
 public:
  using Emit = void (*)(void* context, const unsigned char* data, size_t length);
  // `type` is CompressionType_GZip or CompressionType_ZLib. Throws
  // std::bad_alloc, or CVxException "Failed to compress data. [Error Code:
  // %d]" when zlib refuses to start.
  DeflateStream(CompressionType type, Emit emit, void* context);
  ~DeflateStream();
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;

  // Compresses `length` more bytes (Z_NO_FLUSH).
  void Write(const unsigned char* data, size_t length);
  // Ends the stream (Z_FINISH): the rest of the output and the trailer.
  void Finish();

 private:
  void Run(int flush);

  z_stream_s* m_stream;
  unsigned char* m_out;
  Emit m_emit;
  void* m_context;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_DETAIL_COMPRESSION_H
