// -----------------------------------------------------------------------------
// File: ByteSink.h
// -----------------------------------------------------------------------------
//
// CByteSink: where a writer's bytes go when they are not kept in memory.
// The text writer and the Fast Infoset writer, given a sink, keep a bounded
// buffer (64 KiB of text, or about 64 KiB of octets) and hand its bytes
// over whenever it fills, and the rest when they are flushed:
//
//   struct Counter : CByteSink {
//     size_t bytes = 0;
//     void Write(const unsigned char*, size_t length) override { bytes += length; }
//   };
//   Counter counter;
//   CXmlTextWriter w;
//   w.SetByteSink(&counter, XmlEncoding_UTF8);
//   ... write the document ...
//   w.Flush();
//
// A sink stops the writer by throwing: the exception passes through the
// writer unchanged, and the writer can then only be destroyed.

#ifndef VXBIND_WRITERS_BYTESINK_H
#define VXBIND_WRITERS_BYTESINK_H

#include <cstddef>

#include "vxbind/platform/Export.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CByteSink {
 public:
  virtual ~CByteSink();
  // Takes the next `length` bytes (1 or more) of the output. The bytes are
  // valid during the call only.
  virtual void Write(const unsigned char* data, size_t length) = 0;
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_BYTESINK_H
