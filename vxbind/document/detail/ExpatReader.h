// -----------------------------------------------------------------------------
// File: ExpatReader.h  (internal)
// -----------------------------------------------------------------------------
//
// CExpatReader: the text reader. Turns the input bytes of a CXmlDocument into
// its element tree through Expat (the UTF-8 build: names and text arrive in
// UTF-8 and the reader converts them to UTF-16, which is faster than Expat's
// own conversion). CXmlDocument creates one for a parse and destroys it; no
// one else uses it. Expat's header is included by the .cpp only.

#ifndef VXBIND_DOCUMENT_DETAIL_EXPATREADER_H
#define VXBIND_DOCUMENT_DETAIL_EXPATREADER_H

#include <cstddef>
#include <exception>
#include <memory>

#include "vxbind/base/InstanceMonitor.h"

struct XML_ParserStruct;

namespace VxVevAva5 {

class CXmlDocument;

class CExpatReader : public CInstanceMonitor {
 public:
  explicit CExpatReader(CXmlDocument* document);
  CExpatReader(const CExpatReader&) = delete;
  CExpatReader& operator=(const CExpatReader&) = delete;
  virtual ~CExpatReader();

  // Parses the document's input into its tree. Namespaces are processed
  // unless the document's schema type is 2. Throws CVxException with
  // "<Expat's text> at line <n>" for malformed input, and std::bad_alloc
  // when memory runs out, Expat's included (its memory comes from operator
  // new). Input that ends inside the document element is not an error
  // unless the document is strict: the tree keeps what was read, as it keeps
  // what was built up to an error. A strict document finishes the parse, so
  // that input ending before its root element is closed throws "The
  // document ends before its root element is closed at line <n>" and junk
  // after it Expat's message.
  void Parse();

  // Piece by piece, for a document read while binding: Begin creates the
  // parser, Feed parses one piece (never the last: input that stops inside
  // the root is not an error by itself), throwing as Parse does. Discard
  // makes the pieces that follow build nothing. Finish marks the end, for
  // strict documents, with Parse's messages.
  void Begin();
  void Feed(const unsigned char* data, size_t length);
  void Discard();
  void Finish();

 private:
  // Expat callbacks; `userData` is the reader. They never throw: a failure
  // is stored, the parser stopped, and Parse rethrows it.
  static void OnStartElement(void* userData, const char* name, const char** attributes);
  static void OnEndElement(void* userData, const char* name);
  static void OnCharacterData(void* userData, const char* text, int length);
  static void OnStartNamespace(void* userData, const char* prefix, const char* uri);
  static void OnEndNamespace(void* userData, const char* prefix);
  static void OnDiscardedStart(void* userData, const char* name, const char** attributes);
  static void OnDiscardedEnd(void* userData, const char* name);
  // Room for `units` UTF-16 units in m_units, kept from call to call.
  unsigned short* Units(size_t units);
  void Fail() noexcept;

  CXmlDocument* m_document;
  XML_ParserStruct* m_parser = nullptr;
  std::exception_ptr m_error;
  size_t m_discardedDepth = 0;  // elements open among those discarded
  // The UTF-16 form of the text or declaration a handler is given.
  std::unique_ptr<unsigned short[]> m_units;
  size_t m_unitCapacity = 0;
};

}  // namespace VxVevAva5

#endif  // VXBIND_DOCUMENT_DETAIL_EXPATREADER_H
