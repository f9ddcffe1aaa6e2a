// Helpers of the tests that bind classes generated at build time: reading
// files, comparing two documents' trees, and catching message chains.
#ifndef VXBIND_TESTS_COMPILER_GENERATEDTESTING_H
#define VXBIND_TESTS_COMPILER_GENERATEDTESTING_H

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "vxbind/vxbind.h"

namespace generated_testing {

using namespace VxVevAva5;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string U8(const String& text) { return Utf16::ToUtf8(text); }

// The differences between two documents' trees, "" when there are none:
// names, namespaces, attributes, and the text of every element (trimmed
// where the element has children, since indentation is the writer's).
inline std::string TreeDifference(const std::string& expectedUtf8, const String& actual) {
  CXmlDocument a;
  CXmlDocument b;
  a.LoadXml(expectedUtf8.c_str());
  b.LoadXml(actual.c_str());
  auto trim = [](const String& s) {
    std::string t = U8(s);
    size_t first = t.find_first_not_of(" \t\n");
    return first == std::string::npos ? std::string()
                                      : t.substr(first, t.find_last_not_of(" \t\n") - first + 1);
  };
  auto attributes = [](const CXmlElement* e) {
    std::vector<std::string> all;
    for (const CXmlAttribute* at : e->GetAttributes())
      all.push_back(U8(at->GetNamespaceURI()) + "|" + U8(at->GetLocalName()) + "=" +
                    U8(at->GetValue()));
    std::sort(all.begin(), all.end());
    return all;
  };
  std::vector<std::pair<const CXmlElement*, const CXmlElement*>> stack{
      {a.GetDocumentElement(), b.GetDocumentElement()}};
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (!x || !y) return std::string(x ? "missing" : "extra") + " element";
    std::string where = U8(x->GetLocalName());
    if (x->GetLocalName() != y->GetLocalName() || x->GetNamespaceURI() != y->GetNamespaceURI())
      return where + ": name or namespace " + U8(y->GetNamespaceURI()) + " " +
             U8(y->GetLocalName());
    if (attributes(x) != attributes(y)) return where + ": attributes differ";
    bool leaf = x->GetFirstElement() == nullptr;
    std::string tx = leaf ? U8(x->GetText()) : trim(x->GetText());
    std::string ty = leaf ? U8(y->GetText()) : trim(y->GetText());
    if (tx != ty) return where + ": text '" + tx + "' became '" + ty + "'";
    const CXmlElement* cx = x->GetFirstElement();
    const CXmlElement* cy = y->GetFirstElement();
    for (; cx || cy; cx = cx ? cx->GetNextSiblingElement() : nullptr,
                     cy = cy ? cy->GetNextSiblingElement() : nullptr)
      stack.emplace_back(cx, cy);
  }
  return "";
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
