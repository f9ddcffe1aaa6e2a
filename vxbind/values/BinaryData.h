// -----------------------------------------------------------------------------
// File: BinaryData.h
// -----------------------------------------------------------------------------
//
// CBinaryData: the byte buffer of the library. It is the value of xs:hexBinary
// and xs:base64Binary, the output of the byte-stream entry points and the
// carrier of encoded octets read from Fast Infoset.
//
// A CBinaryData is a handle to a shared, reference-counted holder. Copying a
// handle shares the bytes; the first mutation through a shared handle copies
// them (copy-on-write), so passing buffers by value costs one counter update.
// The counter is a plain integer: handles sharing a holder must be used by one
// thread at a time.
//
//   CBinaryData raw(bytes, n, /*adopt=*/false);
//   String text = raw.GetAsBase64();          // "YWJj" for "abc"
//   CBinaryData gz = raw;                     // shares
//   gz.CompressData(CompressionType_GZip);    // gz now owns its own copy
//
// Text forms: upper-case hexadecimal, base64 (RFC 4648 alphabet, "=" padding,
// no line breaks) and the text forms of the X.891 typed encodings.

#ifndef VXBIND_VALUES_BINARYDATA_H
#define VXBIND_VALUES_BINARYDATA_H

#include <cstdint>

#include "vxbind/base/Enums.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

// Compression applied by CompressData and the byte-stream entry points.
// Text rendering of octets: the X.891 encoding algorithm indexes, plus 0.
enum ByteEncoding {
  ByteEncoding_None = 0,     // the bytes as UTF-16 code units (GetString)
  ByteEncoding_Hex = 1,      // upper-case hexadecimal
  ByteEncoding_Base64 = 2,   // base64
  ByteEncoding_Short = 3,    // 2-byte big-endian signed integers
  ByteEncoding_Int = 4,      // 4-byte big-endian signed integers
  ByteEncoding_Long = 5,     // 8-byte big-endian signed integers
  ByteEncoding_Boolean = 6,  // bit string, 4-bit count of unused trailing bits first
  ByteEncoding_Float = 7,    // 4-byte big-endian IEEE 754
  ByteEncoding_Double = 8,   // 8-byte big-endian IEEE 754
  ByteEncoding_UUID = 9,     // 16-byte items as 32 upper-case hex digits
};

class VXBIND_EXPORT CBinaryData {
 public:
  // An empty buffer without holder: GetData() is null, GetLength() is 0.
  CBinaryData() noexcept = default;
  // Shares `other`'s holder.
  CBinaryData(const CBinaryData& other) noexcept;
  // Takes `other`'s holder; `other` is left empty.
  CBinaryData(CBinaryData&& other) noexcept;
  // With `adopt`, takes ownership of `data`, which must come from new[] and
  // holds exactly `length` bytes; otherwise copies the bytes. Here and in
  // SetBuffer and Append, null bytes with a length above 0 throw
  // CVxInvalidParamException.
  CBinaryData(unsigned char* data, uint32_t length, bool adopt);
  // Copies `length` bytes from `data`.
  CBinaryData(const unsigned char* data, uint32_t length);
  // The UTF-16 code units of a NUL-terminated text (see SetBuffer(text)).
  explicit CBinaryData(const unsigned short* text);
  ~CBinaryData();

  CBinaryData& operator=(const CBinaryData& other) noexcept;
  CBinaryData& operator=(CBinaryData&& other) noexcept;

  // The bytes, or null when there is no holder. The pointer is valid until
  // the next mutation of this handle (or of any handle, once shared).
  const unsigned char* GetData() const noexcept;
  // Bytes in use; 0 when there is no holder.
  uint32_t GetLength() const noexcept;

  // The byte at `index`; throws CVxException "Index Out of range [%d]" when
  // `index` is not below the length. The non-const form unshares first.
  unsigned char operator[](uint32_t index) const;
  unsigned char& operator[](uint32_t index);

  // Equal lengths and equal bytes; two buffers without holder are equal, and
  // a buffer without holder equals an empty one.
  bool operator==(const CBinaryData& other) const noexcept;
  bool operator!=(const CBinaryData& other) const noexcept { return !(*this == other); }

  // Replaces the content with a copy of `length` bytes.
  void SetBuffer(const unsigned char* data, uint32_t length);
  // Replaces the content with the code units of `text` (2 bytes each, in
  // memory order, without the terminator).
  void SetBuffer(const unsigned short* text);

  void Append(const unsigned char* data, uint32_t length);
  // Appends the code units of a NUL-terminated text, 2 bytes each.
  void Append(const unsigned short* text);
  void Append(const CBinaryData& other);
  void Append(unsigned char byte);

  // Releases the holder (this handle becomes empty; other sharers keep it).
  void Clear() noexcept;

  // Unshares, then hands the byte array to the caller, who frees it with
  // delete[]. The buffer is empty afterwards. Null when there is no holder.
  unsigned char* ReleaseData();

  // The bytes read as UTF-16 code units: GetLength() / 2 of them (an odd
  // last byte is ignored).
  String GetString() const;

  // Upper-case hexadecimal, two characters per byte; "" when empty.
  String GetAsHexString() const;
  // Reads pairs of hexadecimal digits (either case). A character that is not
  // a digit throws CVxException "Invalid char in hex string [%c]"; in an odd
  // length text the missing last character is reported as NUL. The content is
  // unchanged when it throws.
  void SetAsHexString(const unsigned short* text);

  // Base64 with "=" padding; "" when empty.
  String GetAsBase64() const;
  // Reads base64. "=" is skipped wherever it stands and XML white space
  // (space, tab, CR, LF) is skipped. Any other character outside the
  // alphabet throws CVxException "Invalid char in base64 string [%c]", and a
  // text whose alphabet characters leave a single 6-bit group over (which
  // cannot make a byte) throws "Invalid length of base64 string [%d]" with the
  // count of alphabet characters. The content is unchanged when it throws.
  void SetAsBase64(const unsigned short* text);

  // The content as text by `encoding`; "" when empty, and "" whatever the
  // encoding when there is no holder. Float and double items are printed
  // as r4ToString and r8ToString print them without a format: the shortest
  // text that reads back as the same value, INF, -INF or NaN. Lengths that are not a multiple of the
  // item size throw "Invalid value [%c] for SHORT byte encoding." (INT, LONG,
  // FLOAT, DOUBLE, UUID), showing the number of bytes left over as one digit;
  // a boolean bit string whose unused-bit count exceeds its bits throws the
  // same form naming BOOLEAN. With a holder, an encoding outside 0..9 throws
  // "Unknown byte encoding.".
  String GetAsString(ByteEncoding encoding) const;

  // Compresses the content in place with zlib at level 1 and returns a handle
  // to it. The output room equals the input size: when the compressed form
  // does not fit (small or random input), throws CVxException "Failed to
  // compress data. [Error Code: %d]" with zlib's code, and the content is
  // unchanged. CompressionType_None or an unknown type changes nothing.
  CBinaryData CompressData(CompressionType type);

  // Creates or truncates `fileName` and writes the bytes, preceded by the
  // byte order mark FF FE for XmlEncoding_UTF16 and XmlEncoding_UTF16NoLabel.
  // Throws CVxException "Failed to write data to the file [%s] error [0x%08X]"
  // with the file name and the errno of the failing call.
  void ToFile(const unsigned short* fileName, XmlEncoding encoding) const;

 protected:
  // Upper-case hexadecimal of `length` bytes.
  static String GetAsHexString(const unsigned char* data, uint32_t length);

 private:
  struct Holder;

  // Makes the holder exclusive to this handle, creating an empty one when
  // there is none; returns it.
  Holder* MakeExclusive();
  // Replaces the holder by one that adopts `data` (new[], `length` bytes).
  void Adopt(unsigned char* data, uint32_t length);

  Holder* m_holder = nullptr;
};

}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_BINARYDATA_H
