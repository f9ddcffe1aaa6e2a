// Test helper: a text writer with short spellings, which also exposes what
// the writer base decides for the open start tag.
#ifndef VXBIND_TESTS_SUPPORT_TESTWRITER_H
#define VXBIND_TESTS_SUPPORT_TESTWRITER_H

#include <string>

#include "support/Text.h"
#include "vxbind/writers/XmlTextWriter.h"

namespace vxtest {

class TestWriter : public VxVevAva5::CXmlTextWriter {
 public:
  explicit TestWriter(bool indent = false) { SetIndent(indent); }
  using CXmlWriter::GetUniquePrefix;
  using CXmlWriter::NsIntToString;
  const CXmlWriterContext* Current() const { return GetCurrentContext(); }

  TestWriter& Start(const char* name, const char* uri = "") {
    WriteStartElement(U(name), U(uri));
    return *this;
  }
  TestWriter& Attr(const char* name, const char* uri, const char* value = "v") {
    WriteAttribute(U(name), U(uri), U(value));
    return *this;
  }
  TestWriter& Text(const char* text) {
    WriteText(U(text));
    return *this;
  }
  TestWriter& Default(const char* uri) {
    SetDefaultNamespace(U(uri));
    return *this;
  }
  TestWriter& Alias(const char* prefix, const char* uri) {
    AddNamespace(U(prefix), U(uri));
    return *this;
  }
  TestWriter& Type(const char* uri, const char* name) {
    WriteXsiType(U(uri), U(name));
    return *this;
  }
  TestWriter& End() {
    WriteEndElement();
    return *this;
  }
  // The open start tag's declarations as "p=uri" (default: "=uri"), one space apart.
  std::string Declarations() const {
    std::string out;
    for (size_t i = 0; i < GetDeclarationCount(); ++i)
      out += (i ? " " : "") + ToUtf8(GetDeclarationPrefix(i)) + "=" + ToUtf8(GetDeclarationUri(i));
    return out;
  }
  std::string Out() { return ToUtf8(GetString()); }
};

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_TESTWRITER_H
