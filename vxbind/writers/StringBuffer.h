// -----------------------------------------------------------------------------
// File: StringBuffer.h
// -----------------------------------------------------------------------------
//
// CStringBuffer: an append-only buffer of UTF-16 units kept in fixed-size
// chunks. Text never moves while the buffer grows: when a chunk is full a
// new one is started, and the text is copied once, when the whole of it is
// asked for. GetString copies the chunks into the result and leaves them as
// they are; GetJoinedText joins them into one array that becomes the
// buffer's only chunk, marked full, so later appends start a new chunk and
// joining again gives the same text followed by the new units.
//
// Each chunk holds the block size given at construction minus one units (the
// text writer uses 0x10000: 65,535 units) plus a terminating NUL.
//
//   CStringBuffer b(0x10000);
//   b.Append(VX_T("a < b"));
//   b.AppendEscaped(VX_T(" & c"), EOLType_LF);
//   String s = b.GetString();   // "a < b &amp; c"

#ifndef VXBIND_WRITERS_STRINGBUFFER_H
#define VXBIND_WRITERS_STRINGBUFFER_H

#include <cstddef>
#include <cstring>
#include <vector>

#include "vxbind/base/Enums.h"
#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CStringBuffer : public CInstanceMonitor {
 public:
  // `blockSize` is the allocation per chunk in units; a chunk holds
  // blockSize - 1 units of text plus its NUL. Values below 2 count as 2.
  explicit CStringBuffer(unsigned int blockSize);
  ~CStringBuffer();
  CStringBuffer(const CStringBuffer&) = delete;
  CStringBuffer& operator=(const CStringBuffer&) = delete;

  // Appends the NUL-terminated `text` (the NUL is not stored).
  void Append(const unsigned short* text);
  // Appends exactly `length` units of `text`, which holds no NUL (the text
  // ends at the first NUL when it is read back).
  void Append(const unsigned short* text, size_t length) {
    if (length - 1 < static_cast<size_t>(m_capacity - m_used)) {
      CopyUnits(m_current + m_used, text, length);
      m_used += static_cast<unsigned int>(length);
    } else if (length != 0) {
      AppendSlow(text, length);
    }
  }
  void AppendChar(unsigned short unit) {
    if (m_used == m_capacity) NewChunk();
    m_current[m_used++] = unit;
  }
  // Appends the NUL-terminated `text` escaped for XML content and attribute
  // values: '"' '&' '<' '>' become &quot; &amp; &lt; &gt;; a line feed
  // becomes the end of line of `eolType`; a carriage return is dropped (so
  // CR LF becomes one end of line); everything else, apostrophe and tab
  // included, is copied. Throws CVxException "Invalid EOL type." at the
  // first line feed when `eolType` is not a valid EOLType; what came
  // before it stays appended.
  void AppendEscaped(const unsigned short* text, EOLType eolType);
  // The same for the first `length` units of `text` (or up to its first
  // NUL, whichever comes first).
  void AppendEscaped(const unsigned short* text, size_t length, EOLType eolType);
  // Strict XML: appends the `length` units of `text` escaped so that a
  // reader gets them back. Text content (`attributeValue` false) is escaped
  // as by AppendEscaped: '"' '&' '<' '>' as entities, a line feed as the
  // end of line of `eolType`, a carriage return dropped. An attribute value
  // also gets TAB, LF and CR as the character references &#x9; &#xA; &#xD;,
  // which attribute-value normalisation leaves alone. Stops before the
  // first unit that XML 1.0 does not allow (a C0 control other than TAB,
  // LF and CR, NUL included; a surrogate outside a pair; U+FFFE, U+FFFF)
  // and returns its index, having appended what came before it; returns
  // `length` when everything was appended. Throws CVxException "Invalid EOL
  // type." at the first line feed of text content when `eolType` is not a
  // valid EOLType.
  size_t AppendEscapedStrict(const unsigned short* text, size_t length, EOLType eolType,
                             bool attributeValue);

  // A drain bounds the buffer: from here on it keeps one chunk of
  // `chunkUnits` units (at least 2), and when that chunk is full its text
  // is handed to `drain(context, text, length)` and the chunk starts again
  // empty. DrainRest hands over what is left. GetString, GetLength and the
  // chunks then hold only the text not handed over yet. What the drain
  // throws passes through the append that filled the chunk, which leaves
  // the rest of its text unappended. Empties the buffer.
  using DrainFunction = void (*)(void* context, const unsigned short* text, size_t length);
  void SetDrain(DrainFunction drain, void* context, unsigned int chunkUnits);
  // Hands the text still buffered to the drain (when there is any) and
  // empties the chunk.
  void DrainRest();

  // Frees every chunk; the buffer is empty.
  void Clear();
  // Number of units in the buffer.
  size_t GetLength() const;
  // The whole text as a String; the buffer is unchanged.
  String GetString();
  // Joins the chunks and returns the text, NUL-terminated, with its length
  // in `length`. The pointer is valid until the next Append or Clear. A text
  // of 4294967295 units or more throws CVxException "The text is too long to
  // be joined into one block [%I64u units]; the limit is 4294967294" and the
  // buffer is unchanged.
  const unsigned short* GetJoinedText(size_t& length);
  // The chunks in order make up the text: their number, and the units of
  // chunk `index` (below GetChunkCount()) with their count in `length`. For
  // reading the text in place, without joining it.
  size_t GetChunkCount() const { return m_chunks.size(); }
  const unsigned short* GetChunk(size_t index, size_t& length) const {
    length = index + 1 < m_chunks.size() ? m_capacities[index] : m_used;
    return m_chunks[index];
  }

 private:
  // Copies 1 or more units. Short copies (names, prefixes, entities) are
  // two overlapping fixed-size moves instead of a call to memcpy.
  static void CopyUnits(unsigned short* to, const unsigned short* from, size_t n) {
    if (n >= 4 && n <= 8) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 4, from + n - 4, 8);
    } else if (n > 8 && n <= 16) {
      std::memcpy(to, from, 16);
      std::memcpy(to + n - 8, from + n - 8, 16);
    } else if (n >= 2 && n < 4) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 2, from + n - 2, 4);
    } else if (n == 1) {
      *to = *from;
    } else {
      std::memcpy(to, from, n * sizeof(unsigned short));
    }
  }
  void NewChunk();
  void AppendSlow(const unsigned short* text, size_t length);

  std::vector<unsigned short*> m_chunks;
  std::vector<unsigned int> m_capacities;
  unsigned int m_chunkCapacity;  // units of text in each new chunk
  unsigned int m_used = 0;       // units used in the current chunk
  unsigned int m_capacity = 0;   // capacity of the current chunk
  unsigned short* m_current = nullptr;
  DrainFunction m_drain = nullptr;
  void* m_drainContext = nullptr;
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_STRINGBUFFER_H
