// What the text writer writes reads back into the same tree.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/Text.h"
#include "vxbind/core/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

struct Node {
  String ns, name, text;
  std::vector<std::pair<std::pair<String, String>, String>> attributes;  // {ns, name}, value
  std::vector<std::unique_ptr<Node>> children;
};

// Compares two trees without recursion; returns the first difference.
std::string Diff(const Node& a, const Node& b) {
  std::vector<std::pair<const Node*, const Node*>> stack{{&a, &b}};
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    std::string where = "<" + ToUtf8(x->name) + ">: ";
    if (x->ns != y->ns || x->name != y->name)
      return where + "name {" + ToUtf8(y->ns) + "}" + ToUtf8(y->name);
    if (x->text != y->text) return where + "text [" + ToUtf8(y->text) + "]";
    if (x->attributes != y->attributes) return where + "attributes";
    if (x->children.size() != y->children.size()) return where + "child count";
    for (size_t i = 0; i < x->children.size(); ++i)
      stack.push_back({x->children[i].get(), y->children[i].get()});
  }
  return "";
}

// A bindable object holding any tree: writes it with the writer and reads
// it from the document, both without recursion.
class CTree : public CXmlObjectBase {
 public:
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  Node root;

 protected:
  String GetTargetNamespace() const override { return root.ns; }

  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {
    writer->AddNamespace(VX_T("n1"), VX_T("urn:one"));
    std::vector<std::pair<const Node*, bool>> stack{{&root, false}};
    while (!stack.empty()) {
      auto [n, end] = stack.back();
      stack.pop_back();
      if (end) {
        writer->WriteEndElement();
        continue;
      }
      writer->WriteStartElement(n->name, n->ns);
      for (const auto& a : n->attributes) writer->WriteAttribute(a.first.second, a.first.first, a.second);
      writer->WriteText(n->text);
      stack.push_back({n, true});
      for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
        stack.push_back({it->get(), false});
    }
  }

  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    root = Node();
    std::vector<std::pair<const CXmlElement*, Node*>> stack{{element, &root}};
    while (!stack.empty()) {
      auto [e, n] = stack.back();
      stack.pop_back();
      n->ns = e->GetNamespaceURI();
      n->name = e->GetLocalName();
      n->text = e->GetText();
      for (const CXmlAttribute* a : e->GetAttributes())
        n->attributes.push_back({{a->GetNamespaceURI(), a->GetLocalName()}, a->GetValue()});
      for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
        n->children.push_back(std::make_unique<Node>());
      size_t i = 0;
      for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
        stack.push_back({c, n->children[i++].get()});
    }
    return nullptr;
  }
};

void RandomTree(std::mt19937& rng, Node& root, int nodes) {
  const char* names[] = {"a", "item", "x-y", "n.1", "_u", "\xC3\xA9l\xC3\xA9ment"};
  const char* spaces[] = {"", "urn:one", "urn:two", "http://example.com/\xE2\x82\xAC"};
  const char* texts[] = {"", "plain", "a & b < c > d \"q\" 'a'", "caf\xC3\xA9 \xF0\x9D\x84\x9E",
                         "line\nbreak\tand tab", "   ", "]]>"};
  const char* values[] = {"", "1", "x & y", "<tag>", "\"quoted\" 'single'", "\xE2\x82\xAC 5"};
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::vector<Node*> all{&root};
  root.name = U("root");
  root.ns = U(spaces[pick(4)]);
  for (int i = 0; i < nodes; ++i) {
    Node* parent = all[static_cast<size_t>(pick(static_cast<int>(all.size())))];
    parent->children.push_back(std::make_unique<Node>());
    Node* n = parent->children.back().get();
    n->name = U(names[pick(6)]);
    n->ns = U(spaces[pick(4)]);
    n->text = U(texts[pick(7)]);
    int attributes = pick(4);
    for (int k = 0; k < attributes; ++k) {
      std::pair<String, String> key{U(spaces[pick(4)]), U(names[k])};  // distinct names
      n->attributes.push_back({key, U(values[pick(6)])});
    }
    all.push_back(n);
  }
}

}  // namespace

TEST(CXmlDocumentRoundTrip, WrittenTreesReadBackUnchanged) {
  std::mt19937 rng(20240601);
  CXmlSerializationContext context;
  for (int round = 0; round < 200; ++round) {
    CTree original;
    RandomTree(rng, original.root, 1 + round % 40);
    String xml = original.ToXml(round % 2 == 0, false, EOLType_LF, context);
    CTree copy;
    copy.FromXml(xml.c_str(), context);
    std::string diff = Diff(original.root, copy.root);
    ASSERT_EQ(diff, "") << ToUtf8(xml);
  }
}
