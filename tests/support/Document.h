// Test helpers for documents: loading bytes, the tree as one line of text,
// and the elements in document order.
#ifndef VXBIND_TESTS_SUPPORT_DOCUMENT_H
#define VXBIND_TESTS_SUPPORT_DOCUMENT_H

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

namespace vxtest {

inline void LoadBytes(VxVevAva5::CXmlDocument& doc, std::string bytes) {
  doc.LoadXmlStream(reinterpret_cast<unsigned char*>(&bytes[0]),
                    static_cast<uint32_t>(bytes.size()));
}

// The tree as one line: {ns}name[ {ns}attr=value ...]"text"(children), the
// text only when there is one and the parentheses only around children.
// Recursive, so only for shallow trees.
inline std::string Dump(const VxVevAva5::CXmlElement* e) {
  std::string out = "{" + ToUtf8(e->GetNamespaceURI()) + "}" + ToUtf8(e->GetLocalName()) + "[";
  for (const VxVevAva5::CXmlAttribute* a : e->GetAttributes())
    out += " {" + ToUtf8(a->GetNamespaceURI()) + "}" + ToUtf8(a->GetLocalName()) + "=" +
           ToUtf8(a->GetValue());
  out += "]";
  if (!e->GetText().empty()) out += "\"" + ToUtf8(e->GetText()) + "\"";
  if (e->GetFirstElement() == nullptr) return out;
  out += "(";
  for (const VxVevAva5::CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
    out += Dump(c);
  return out + ")";
}

// The elements under and including `root` in document order, without recursion.
inline std::vector<VxVevAva5::CXmlElement*> InOrder(VxVevAva5::CXmlElement* root) {
  std::vector<VxVevAva5::CXmlElement*> order, stack{root};
  while (!stack.empty()) {
    VxVevAva5::CXmlElement* e = stack.back();
    stack.pop_back();
    order.push_back(e);
    size_t first = stack.size();
    for (VxVevAva5::CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
      stack.push_back(c);
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
  }
  return order;
}

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_DOCUMENT_H
