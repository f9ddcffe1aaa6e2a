// Shared by the round-trip tests and the round-trip fuzz target: a document
// as a script of writer calls, the tree a reader must find in its output,
// and the tree a document actually holds. No GoogleTest here, so that the
// fuzz targets can use it too.
#ifndef VXBIND_TESTS_SUPPORT_WRITERSCRIPT_H
#define VXBIND_TESTS_SUPPORT_WRITERSCRIPT_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlWriter.h"

namespace vxtest {

using VxVevAva5::String;

// One call on a writer.
struct WriterCall {
  enum Kind {
    kSetDefault,    // a = URI
    kAddNamespace,  // a = prefix, b = URI
    kStart,         // a = local name, b = URI
    kAttribute,     // a = local name, b = URI, c = value
    kXsiType,       // a = type's URI, b = type name
    kText,          // a = text
    kComment,       // a = text
    kEnd,
  };
  WriterCall(Kind k, String first = String(), String second = String(), String third = String())
      : kind(k), a(std::move(first)), b(std::move(second)), c(std::move(third)) {}
  Kind kind;
  String a, b, c;
};
using WriterScript = std::vector<WriterCall>;

inline const String& XsiNamespace() {
  static const String uri = VxVevAva5::Utf16::FromUtf8("http://www.w3.org/2001/XMLSchema-instance");
  return uri;
}

// Makes the script's calls on `writer`.
inline void Replay(const WriterScript& script, VxVevAva5::CXmlWriter& writer) {
  for (const WriterCall& call : script) {
    switch (call.kind) {
      case WriterCall::kSetDefault: writer.SetDefaultNamespace(call.a); break;
      case WriterCall::kAddNamespace: writer.AddNamespace(call.a, call.b); break;
      case WriterCall::kStart: writer.WriteStartElement(call.a, call.b); break;
      case WriterCall::kAttribute: writer.WriteAttribute(call.a, call.b, call.c); break;
      case WriterCall::kXsiType: writer.WriteXsiType(call.a, call.b); break;
      case WriterCall::kText: writer.WriteText(call.a); break;
      case WriterCall::kComment: writer.WriteComment(call.a); break;
      case WriterCall::kEnd: writer.WriteEndElement(); break;
    }
  }
}

struct TreeAttribute {
  TreeAttribute(String n, String local, String v)
      : ns(std::move(n)), name(std::move(local)), value(std::move(v)) {}
  String ns, name, value;
  // xsi:type written by WriteXsiType: `value` is the type name, and the
  // value read back is "prefix:name" unless `unprefixed`.
  bool xsiType = false;
  bool unprefixed = false;
  String typeNs;
  bool operator==(const TreeAttribute& o) const {
    return ns == o.ns && name == o.name && value == o.value;
  }
};

// An element; a tree is its elements in document order.
struct TreeNode {
  size_t parent = 0;  // the root's is its own index, 0
  String ns, name, text;
  std::vector<TreeAttribute> attributes;
};
using Tree = std::vector<TreeNode>;

// The tree that a reader of the script's output must find. Texts lose
// their carriage returns (the writer drops them, and so does the document
// model); a comment inside an element adds the line end that follows it. An xsi:type is unprefixed where its namespace is empty or the
// scope's default one at that point, which the script's calls decide.
inline Tree ExpectedTree(const WriterScript& script) {
  Tree tree;
  std::vector<size_t> open;
  std::vector<String> scopeDefault;  // per open element
  String writerDefault;
  for (const WriterCall& call : script) {
    switch (call.kind) {
      case WriterCall::kSetDefault:
        (open.empty() ? writerDefault : scopeDefault.back()) = call.a;
        break;
      case WriterCall::kStart: {
        TreeNode node;
        node.parent = open.empty() ? 0 : open.back();
        node.ns = call.b;
        node.name = call.a;
        scopeDefault.push_back(open.empty() ? writerDefault : scopeDefault.back());
        open.push_back(tree.size());
        tree.push_back(std::move(node));
        break;
      }
      case WriterCall::kAttribute:
        tree[open.back()].attributes.push_back({call.b, call.a, call.c});
        break;
      case WriterCall::kXsiType: {
        TreeAttribute a{XsiNamespace(), VxVevAva5::Utf16::FromUtf8("type"), call.b};
        a.xsiType = true;
        a.typeNs = call.a;
        a.unprefixed = call.a.empty() || call.a == scopeDefault.back();
        tree[open.back()].attributes.push_back(std::move(a));
        break;
      }
      case WriterCall::kText:
        for (unsigned short c : call.a)
          if (c != '\r') tree[open.back()].text.push_back(c);
        break;
      case WriterCall::kComment:
        // A comment ends with a line end, which inside an element is text.
        if (!open.empty()) tree[open.back()].text.push_back('\n');
        break;
      case WriterCall::kEnd:
        open.pop_back();
        scopeDefault.pop_back();
        break;
      case WriterCall::kAddNamespace:
        break;
    }
  }
  return tree;
}

// The tree that `root` heads, read without recursion.
inline Tree ReadTree(const VxVevAva5::CXmlElement* root) {
  Tree tree;
  std::vector<std::pair<const VxVevAva5::CXmlElement*, size_t>> pending{{root, 0}};
  while (!pending.empty()) {
    auto [e, parent] = pending.back();
    pending.pop_back();
    TreeNode node;
    node.parent = parent;
    node.ns = e->GetNamespaceURI();
    node.name = e->GetLocalName();
    node.text = e->GetText();
    for (const VxVevAva5::CXmlAttribute* a : e->GetAttributes())
      node.attributes.push_back({a->GetNamespaceURI(), a->GetLocalName(), a->GetValue()});
    tree.push_back(std::move(node));
    size_t first = pending.size();
    for (const VxVevAva5::CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
      pending.emplace_back(c, tree.size() - 1);
    // Children were pushed in order; the first must come out first.
    for (size_t i = first, j = pending.size(); i + 1 < j; ++i, --j)
      std::swap(pending[i], pending[j - 1]);
  }
  return tree;
}

// Where two texts differ, for failure messages.
inline std::string Show(const String& s) { return VxVevAva5::Utf16::ToUtf8(s); }

// Compares what was read with what was expected: element namespaces and
// names, child order, attributes in order (namespace, name, value), and,
// with `texts`, every element's text. An expected xsi:type matches its
// type name alone when unprefixed and "prefix:name" otherwise; the prefix
// of each such value is passed to `onTypePrefix(element, prefix, typeNs)`
// when given (the tree cannot tell which namespace a prefix had there).
// Returns "" when they match, otherwise the first difference.
template <class OnTypePrefix>
std::string Compare(const Tree& expected, const Tree& actual, bool texts,
                    OnTypePrefix onTypePrefix) {
  if (expected.size() != actual.size())
    return "element count " + std::to_string(actual.size()) + " instead of " +
           std::to_string(expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const TreeNode& e = expected[i];
    const TreeNode& a = actual[i];
    std::string where = "element " + std::to_string(i) + " (" + Show(e.name) + "): ";
    if (a.parent != e.parent) return where + "parent differs";
    if (a.ns != e.ns || a.name != e.name)
      return where + "read as {" + Show(a.ns) + "}" + Show(a.name) + ", written {" + Show(e.ns) +
             "}" + Show(e.name);
    if (texts && a.text != e.text)
      return where + "text \"" + Show(a.text) + "\" instead of \"" + Show(e.text) + "\"";
    if (a.attributes.size() != e.attributes.size()) return where + "attribute count differs";
    for (size_t k = 0; k < e.attributes.size(); ++k) {
      const TreeAttribute& ea = e.attributes[k];
      const TreeAttribute& aa = a.attributes[k];
      std::string at = where + "attribute {" + Show(ea.ns) + "}" + Show(ea.name) + ": ";
      if (aa.ns != ea.ns || aa.name != ea.name)
        return at + "read as {" + Show(aa.ns) + "}" + Show(aa.name);
      if (!ea.xsiType) {
        if (aa.value != ea.value)
          return at + "value \"" + Show(aa.value) + "\" instead of \"" + Show(ea.value) + "\"";
        continue;
      }
      if (ea.unprefixed) {
        if (aa.value != ea.value) return at + "type \"" + Show(aa.value) + "\" not unprefixed";
        continue;
      }
      size_t colon = aa.value.find(':');
      if (colon == String::npos || colon == 0 || aa.value.substr(colon + 1) != ea.value)
        return at + "type \"" + Show(aa.value) + "\" instead of a prefix and " + Show(ea.value);
      std::string why = onTypePrefix(i, aa.value.substr(0, colon), ea.typeNs);
      if (!why.empty()) return at + why;
    }
  }
  return std::string();
}

inline std::string Compare(const Tree& expected, const Tree& actual, bool texts) {
  return Compare(expected, actual, texts,
                 [](size_t, const String&, const String&) { return std::string(); });
}

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_WRITERSCRIPT_H
