// -----------------------------------------------------------------------------
// File: detail/TextBytes.h  (internal)
// -----------------------------------------------------------------------------
//
// The text writer's byte output in pieces: UTF-16 text handed over piece by
// piece (the text buffer's chunks) is encoded as UTF-8 or UTF-16 low byte
// first and passed on to a sink. The bytes are those CXmlTextWriter::GetBytes
// gives for the whole text, wherever the pieces split it (a surrogate pair
// split between two pieces included).

#ifndef VXBIND_WRITERS_DETAIL_TEXTBYTES_H
#define VXBIND_WRITERS_DETAIL_TEXTBYTES_H

#include <cstddef>
#include <memory>

#include "vxbind/base/Enums.h"

namespace VxVevAva5 {

class CByteSink;

namespace detail {

class TextBytes {
 public:
  // `encoding` is XmlEncoding_UTF8, XmlEncoding_UTF16 or
  // XmlEncoding_UTF16NoLabel; any other throws CVxException "Unknown
  // Encoding, select UTF-8".
  TextBytes(CByteSink& sink, XmlEncoding encoding);
  ~TextBytes();
  TextBytes(const TextBytes&) = delete;
  TextBytes& operator=(const TextBytes&) = delete;

  // Encodes the next `length` units. UTF-8 ends at the first NUL, as
  // GetBytes does: later units are dropped. A high surrogate at the end of
  // a piece waits for the next one. An unpaired surrogate throws
  // CVxException "Invalid UTF-16 text: unpaired surrogate [0x%04X] at
  // position [%u]", its position counted from the first piece.
  void Encode(const unsigned short* text, size_t length);
  // The end of the text: a high surrogate still waiting is unpaired.
  void Finish();

  // For CStringBuffer::SetDrain.
  static void Drain(void* self, const unsigned short* text, size_t length) {
    static_cast<TextBytes*>(self)->Encode(text, length);
  }

 private:
  CByteSink& m_sink;
  bool m_utf8;
  bool m_ended = false;      // UTF-8 met a NUL
  unsigned short m_high = 0;  // a high surrogate held back, or 0
  size_t m_position = 0;      // units seen
  std::unique_ptr<unsigned char[]> m_bytes;
  size_t m_room = 0;
};

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_DETAIL_TEXTBYTES_H
