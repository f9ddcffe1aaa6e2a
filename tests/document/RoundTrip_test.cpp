// What the text writer writes reads back into the same tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/Text.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// A tree as its elements in document order, each naming its parent's index.
struct Node {
  size_t parent;  // the root's is its own index, 0
  String ns, name, text;
  std::vector<std::pair<std::pair<String, String>, String>> attributes;  // {ns, name}, value
  bool operator==(const Node& o) const {
    return parent == o.parent && ns == o.ns && name == o.name && text == o.text &&
           attributes == o.attributes;
  }
};

// A bindable object holding any tree: writes it with the writer and reads
// it from the document, both without recursion.
class CTree : public CXmlObjectBase {
 public:
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  std::vector<Node> nodes;

 protected:
  String GetTargetNamespace() const override { return nodes[0].ns; }

  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {
    writer->AddNamespace(VX_T("n1"), VX_T("urn:one"));
    std::vector<size_t> open;
    for (size_t i = 0; i < nodes.size(); ++i) {
      for (; !open.empty() && open.back() != nodes[i].parent; open.pop_back())
        writer->WriteEndElement();
      writer->WriteStartElement(nodes[i].name, nodes[i].ns);
      for (const auto& a : nodes[i].attributes)
        writer->WriteAttribute(a.first.second, a.first.first, a.second);
      writer->WriteText(nodes[i].text);
      open.push_back(i);
    }
    for (; !open.empty(); open.pop_back()) writer->WriteEndElement();
  }

  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    nodes.clear();
    std::vector<std::pair<const CXmlElement*, size_t>> stack{{element, 0}};
    while (!stack.empty()) {
      auto [e, parent] = stack.back();
      stack.pop_back();
      nodes.push_back({parent, e->GetNamespaceURI(), e->GetLocalName(), e->GetText(), {}});
      for (const CXmlAttribute* a : e->GetAttributes())
        nodes.back().attributes.push_back(
            {{a->GetNamespaceURI(), a->GetLocalName()}, a->GetValue()});
      size_t first = stack.size();
      for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
        stack.push_back({c, nodes.size() - 1});
      std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
    }
    return nullptr;
  }
};

// Each new element goes under a random element of the path to the last one,
// which reaches every tree shape.
std::vector<Node> RandomTree(std::mt19937& rng, int count) {
  const char* names[] = {"a", "item", "x-y", "n.1", "_u", "\xC3\xA9l\xC3\xA9ment"};
  const char* spaces[] = {"", "urn:one", "urn:two", "http://example.com/\xE2\x82\xAC"};
  const char* texts[] = {"", "plain", "a & b < c > d \"q\" 'a'", "caf\xC3\xA9 \xF0\x9D\x84\x9E",
                         "line\nbreak\tand tab", "   ", "]]>"};
  const char* values[] = {"", "1", "x & y", "<tag>", "\"quoted\" 'single'", "\xE2\x82\xAC 5"};
  auto pick = [&](size_t n) { return rng() % n; };
  std::vector<Node> nodes{{0, U(spaces[pick(4)]), U("root"), U(""), {}}};
  std::vector<size_t> path{0};
  for (int i = 0; i < count; ++i) {
    path.resize(1 + pick(path.size()));
    nodes.push_back({path.back(), U(spaces[pick(4)]), U(names[pick(6)]), U(texts[pick(7)]), {}});
    for (size_t k = 0, n = pick(4); k < n; ++k)  // distinct names
      nodes.back().attributes.push_back({{U(spaces[pick(4)]), U(names[k])}, U(values[pick(6)])});
    path.push_back(nodes.size() - 1);
  }
  return nodes;
}

}  // namespace

TEST(CXmlDocumentRoundTrip, WrittenTreesReadBackUnchanged) {
  std::mt19937 rng(20240601);
  CXmlSerializationContext context;
  for (int round = 0; round < 200; ++round) {
    CTree original, copy;
    original.nodes = RandomTree(rng, 1 + round % 40);
    String xml = original.ToXml(round % 2 == 0, false, EOLType_LF, context);
    copy.FromXml(xml.c_str(), context);
    ASSERT_TRUE(copy.nodes == original.nodes) << ToUtf8(xml);
  }
}
