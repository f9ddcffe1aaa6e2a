// -----------------------------------------------------------------------------
// File: ByteOutput.h
// -----------------------------------------------------------------------------
//
// Conversion of UTF-16 text to UTF-8 bytes, shared by the text writer's byte
// output and the Fast Infoset writer (which writes every literal as UTF-8).

#ifndef VXBIND_WRITERS_BYTEOUTPUT_H
#define VXBIND_WRITERS_BYTEOUTPUT_H

#include <cstddef>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BinaryData.h"

namespace VxVevAva5 {

// ToUtf8Bytes: `text` up to its first NUL as UTF-8 (RFC 3629). A surrogate
// pair becomes one 4-byte sequence. An empty text gives a CBinaryData without
// holder. A surrogate that is not part of a pair cannot be encoded: throws
// CVxException "Invalid UTF-16 text: unpaired surrogate [0x%04X] at position
// [%u]" (position in code units) instead of losing text.
VXBIND_EXPORT CBinaryData ToUtf8Bytes(const String& text);
// The same on `length` code units at `text` (which may be null when `length`
// is 0), also stopping at the first NUL.
VXBIND_EXPORT CBinaryData ToUtf8Bytes(const unsigned short* text, size_t length);

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_BYTEOUTPUT_H
