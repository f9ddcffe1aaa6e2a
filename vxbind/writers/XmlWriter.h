// -----------------------------------------------------------------------------
// File: XmlWriter.h
// -----------------------------------------------------------------------------
//
// The abstract writer through which every serialisation goes, and the
// enumerations that configure writers.

#ifndef VXBIND_WRITERS_XMLWRITER_H
#define VXBIND_WRITERS_XMLWRITER_H

namespace VxVevAva5 {

// End-of-line style of text output. Any other value is invalid.
enum EOLType {
  EOLType_CRLF = 0,  // carriage return + line feed
  EOLType_LF = 1,    // line feed
};

// Encoding of the declaration label and of byte output.
enum XmlEncoding {
  XmlEncoding_None = 0,          // no label; byte output refused
  XmlEncoding_UTF8 = 1,          // encoding="UTF-8"
  XmlEncoding_UTF16 = 2,         // encoding="UTF-16", low byte first
  XmlEncoding_UTF16NoLabel = 3,  // no label, UTF-16 low byte first
};

}  // namespace VxVevAva5

#endif  // VXBIND_WRITERS_XMLWRITER_H
