// Helpers of the tests that bind classes generated at build time: reading
// files, comparing two documents' trees, and catching message chains.
#ifndef VXBIND_TESTS_COMPILER_GENERATEDTESTING_H
#define VXBIND_TESTS_COMPILER_GENERATEDTESTING_H

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "roundtrip/InfosetDifference.h"
#include "vxbind/vxbind.h"

namespace generated_testing {

using namespace VxVevAva5;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string U8(const String& text) { return Utf16::ToUtf8(text); }

// The first difference between two documents' infosets, "" when there is
// none (the round-trip tool's comparison: prefixes aside, xsi:type by the
// name it resolves to, indentation between children ignored).
inline std::string TreeDifference(const std::string& expectedUtf8, const String& actual) {
  CXmlDocument a;
  CXmlDocument b;
  a.LoadXml(expectedUtf8.c_str());
  b.LoadXml(actual.c_str());
  return vxbind_tools::InfosetDifference(a.GetDocumentElement(), b.GetDocumentElement());
}

// The message chain of what `action` throws, "" when it throws nothing.
inline std::string Failure(const std::function<void()>& action) {
  try {
    action();
  } catch (const CVxException& e) {
    return U8(e.GetFullMessage());
  }
  return "";
}

// What reading `xml` into a new Root gives, with or without validation: the
// message chain ("" when it reads) and the input position it reports.
struct ReadOutcome {
  std::string message;
  uint32_t line = 0;
  uint32_t column = 0;
};

template <class Root>
ReadOutcome ReadOutcomeOf(const std::string& xml, bool validate) {
  CXmlSerializationContext context;
  context.SetValidateOnRead(validate);
  CSmartPtr<Root> root = new Root;
  try {
    root->FromXml(xml.c_str(), context);
  } catch (const CVxException& e) {
    return {U8(e.GetFullMessage()), e.GetLineNumber(), e.GetColumnNumber()};
  }
  return {};
}

template <class T>
CSmartPtr<T> Root(CSmartPtr<CXmlObjectBase> object) {
  T* typed = dynamic_cast<T*>(object.get());
  EXPECT_NE(typed, nullptr);
  return typed;
}

// A new T that has read `xml`.
template <class T>
CSmartPtr<T> ReadAs(const std::string& xml) {
  CSmartPtr<T> object = new T;
  object->FromXml(xml.c_str());
  return object;
}

// The text of `object` with the given prefixes, and xsi's: xsi:type values
// are compared as text, so the output takes the test document's prefixes.
inline String WrittenWith(
    CXmlObjectBase* object,
    std::initializer_list<std::pair<const unsigned short*, const unsigned short*>> prefixes) {
  CXmlSerializationContext context;
  for (const auto& prefix : prefixes) context.GetNamespaceAliases().Add(prefix.first, prefix.second);
  context.GetNamespaceAliases().Add(VX_T("xsi"), VX_T("http://www.w3.org/2001/XMLSchema-instance"));
  return object->ToXml(true, true, EOLType_LF, context);
}

}  // namespace generated_testing

#endif  // VXBIND_TESTS_COMPILER_GENERATEDTESTING_H
