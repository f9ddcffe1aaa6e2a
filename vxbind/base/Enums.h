// -----------------------------------------------------------------------------
// File: Enums.h
// -----------------------------------------------------------------------------
//
// The enumerations that configure a call and that several floors share: the
// end-of-line style and encoding of output, its compression, the declaration
// of Fast Infoset output, and the schema type that chooses namespace
// processing on input. Their values are fixed:
// generated code and callers store them.

#ifndef VXBIND_BASE_ENUMS_H
#define VXBIND_BASE_ENUMS_H

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

// Compression of byte output (and of buffers, CBinaryData::CompressData).
enum CompressionType {
  CompressionType_None = 0,  // bytes as they are
  CompressionType_GZip = 1,  // deflate in a gzip wrapper
  CompressionType_ZLib = 2,  // deflate in a zlib wrapper
};

// The XML declaration that a Fast Infoset document carries in front of its
// binary header (CXmlObjectBase::ToFastInfosetStream). Readers recognise a
// document by its header, with or without one of these.
enum FInfoDecl {
  FInfoDecl_None = 0,               // no declaration
  FInfoDecl_Finf = 1,               // <?xml encoding='finf'?>
  FInfoDecl_FinfStandaloneYes = 2,  // <?xml encoding='finf' standalone='yes'?>
  FInfoDecl_FinfStandaloneNo = 3,   // <?xml encoding='finf' standalone='no'?>
  FInfoDecl_V10 = 4,                // <?xml version='1.0' encoding='finf'?>
  FInfoDecl_V10StandaloneYes = 5,   // <?xml version='1.0' encoding='finf' standalone='yes'?>
  FInfoDecl_V10StandaloneNo = 6,    // <?xml version='1.0' encoding='finf' standalone='no'?>
  FInfoDecl_V11 = 7,                // <?xml version='1.1' encoding='finf'?>
  FInfoDecl_V11StandaloneYes = 8,   // <?xml version='1.1' encoding='finf' standalone='yes'?>
  FInfoDecl_V11StandaloneNo = 9,    // <?xml version='1.1' encoding='finf' standalone='no'?>
};

// Only the value 2 is distinguished: it reads without namespace processing.
enum SchemaType {
  SchemaType_Default = 0,
  SchemaType_Xsd = 1,
  SchemaType_NoNamespaces = 2,
};

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_ENUMS_H
