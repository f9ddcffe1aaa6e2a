// -----------------------------------------------------------------------------
// File: detail/ByteSinks.h  (internal)
// -----------------------------------------------------------------------------
//
// The sinks behind the writing entry points: deflate on the way, a file, a
// std::ostream, a caller's callback. Each failure is a CVxException naming
// the destination, except what the caller's callback throws, which passes
// through unchanged.

#ifndef VXBIND_WRITERS_DETAIL_BYTESINKS_H
#define VXBIND_WRITERS_DETAIL_BYTESINKS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>

#include "vxbind/base/Enums.h"
#include "vxbind/platform/String.h"
#include "vxbind/platform/detail/File.h"
#include "vxbind/values/detail/Compression.h"
#include "vxbind/writers/ByteSink.h"

namespace VxVevAva5 {
namespace detail {

// Deflates (gzip or zlib wrapper) into `next`.
class DeflatingSink : public CByteSink {
 public:
  DeflatingSink(CByteSink& next, CompressionType type)
      : m_deflate(type, &DeflatingSink::Emit, &next) {}
  void Write(const unsigned char* data, size_t length) override { m_deflate.Write(data, length); }
  // The end of the compressed stream.
  void Finish() { m_deflate.Finish(); }

 private:
  static void Emit(void* next, const unsigned char* data, size_t length) {
    static_cast<CByteSink*>(next)->Write(data, length);
  }
  DeflateStream m_deflate;
};

// A file, created or truncated when the first bytes come (or at Close, for
// an output without bytes): a write that fails before that leaves the file
// as it was. Failures to create, write or close throw CVxException "Failed
// to write data to the file [%s] error [0x%08X]" with the errno.
class FileSink : public CByteSink {
 public:
  explicit FileSink(const unsigned short* fileName) : m_fileName(fileName) {}
  void Write(const unsigned char* data, size_t length) override;
  void Close();

 private:
  void Open();
  [[noreturn]] void Fail(int error) const;

  String m_fileName;
  File::Writer m_file;
  bool m_open = false;
};

// A std::ostream. One that is bad, fails or throws throws CVxException
// "The output stream failed after [%I64u] bytes were written to it",
// followed by the stream's own message when it threw one.
class StreamSink : public CByteSink {
 public:
  // Throws when the stream is already failed.
  explicit StreamSink(std::ostream& out);
  void Write(const unsigned char* data, size_t length) override;
  // Flushes the stream and checks it once more.
  void Finish();

 private:
  std::ostream& m_out;
  uint64_t m_written = 0;
};

// The caller's callback; what it throws passes through unchanged. An empty
// callback throws CVxInvalidParamException "The callback to write to is
// empty" at construction.
class CallbackSink : public CByteSink {
 public:
  using Function = std::function<void(const unsigned char* data, size_t length)>;
  explicit CallbackSink(const Function& function);
  void Write(const unsigned char* data, size_t length) override { m_function(data, length); }

 private:
  const Function& m_function;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_DETAIL_BYTESINKS_H
