// -----------------------------------------------------------------------------
// File: ByteSource.h  (internal)
// -----------------------------------------------------------------------------
//
// ByteSource: where a document read while binding takes its input from, one
// piece at a time: a buffer in memory, a file, a std::istream, or another
// source's bytes inflated. The text reader parses each piece as it comes and
// asks for the next one only when binding needs elements not read yet.

#ifndef VXBIND_DOCUMENT_DETAIL_BYTESOURCE_H
#define VXBIND_DOCUMENT_DETAIL_BYTESOURCE_H

#include <cstddef>
#include <istream>
#include <memory>
#include <vector>

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

class ByteSource {
 public:
  // The size of the pieces that sources hand over.
  static constexpr size_t kPieceBytes = 64 * 1024;

  ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;
  virtual ~ByteSource() = default;

  // The next piece of input, valid until the next call; false at the end.
  // A failure to read throws CVxException.
  virtual bool Next(const unsigned char*& data, size_t& length) = 0;
};

// The bytes [data, data + length), preceded by `prefix` (a byte order mark,
// say). Neither is copied: both must outlive the source.
std::unique_ptr<ByteSource> MemorySource(const unsigned char* prefix, size_t prefixLength,
                                         const unsigned char* data, size_t length);

// The file `path`. A file that cannot be opened throws "Failed to open the
// file [%s] Error [0x%08x]"; one that cannot be read (a directory) "Failed
// to read the contents of the file [%s] Error [0x%08x]".
std::unique_ptr<ByteSource> FileSource(const unsigned short* path);

// The bytes of `in` up to its end. A stream that goes bad throws "Failed to
// read from the input stream".
std::unique_ptr<ByteSource> StreamSource(std::istream& in);

// Reads the first bytes of `source` into `head` (at least `count` unless
// the input is shorter) and returns a source that hands them over again
// before the rest.
std::unique_ptr<ByteSource> PeekHead(std::unique_ptr<ByteSource> source,
                                     std::vector<unsigned char>& head, size_t count);

// The source's bytes inflated (gzip or zlib data).
std::unique_ptr<ByteSource> InflatingSource(std::unique_ptr<ByteSource> source);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_BYTESOURCE_H
