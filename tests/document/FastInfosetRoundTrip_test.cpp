// What the Fast Infoset writer writes, the document reads back into the
// tree that the same object gives as XML text: random documents with every
// namespace situation the writer meets, each declaration and compression,
// files, and a million levels of nesting.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/Bytes.h"
#include "support/Document.h"
#include "support/RandomScript.h"
#include "support/ScriptObject.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/FastInfosetWriter.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::CScriptObject;
using vxtest::LoadBytes;
using vxtest::ToUtf8;
using vxtest::U;
using vxtest::WriterCall;
using vxtest::WriterScript;

namespace {

CXmlSerializationContext& Strict() {
  static CXmlSerializationContext context = [] {
    CXmlSerializationContext c;
    c.SetStrictXml(true);
    return c;
  }();
  return context;
}

// The tree with each prefixed xsi:type value as {namespace}name, so that
// trees whose writers chose other prefixes compare equal.
vxtest::Tree ExpandedTree(const CXmlDocument& doc) {
  vxtest::Tree tree = vxtest::ReadTree(doc.GetDocumentElement());
  std::vector<CXmlElement*> elements = vxtest::InOrder(doc.GetDocumentElement());
  for (size_t i = 0; i < tree.size(); ++i) {
    for (vxtest::TreeAttribute& a : tree[i].attributes) {
      size_t colon = a.value.find(':');
      if (a.ns != vxtest::XsiNamespace() || colon == String::npos) continue;
      String uri;
      elements[i]->LookupNamespaceURI(a.value.substr(0, colon), uri);
      a.value = U("{" + ToUtf8(uri) + "}") + a.value.substr(colon + 1);
    }
  }
  return tree;
}

// Every xsi:type prefix resolves, at its element, to the type's namespace.
std::string CompareTrees(const vxtest::Tree& expected, const CXmlDocument& doc) {
  std::vector<CXmlElement*> elements = vxtest::InOrder(doc.GetDocumentElement());
  return vxtest::Compare(expected, vxtest::ReadTree(doc.GetDocumentElement()), true,
                         [&](size_t i, const String& prefix, const String& typeNs) {
                           String uri;
                           if (!elements[i]->LookupNamespaceURI(prefix, uri) || uri != typeNs)
                             return "prefix " + ToUtf8(prefix) + " not bound to " + ToUtf8(typeNs);
                           return std::string();
                         });
}

}  // namespace

TEST(CFastInfosetRoundTrip, RandomDocumentsReadBackAsTheirText) {
  std::mt19937 rng(20240602);
  for (int round = 0; round < 300; ++round) {
    CScriptObject object(vxtest::RandomScript(rng, 1 + round % 30));
    vxtest::Tree expected = vxtest::ExpectedTree(object.script);
    CXmlDocument fromFi, fromText;
    LoadBytes(fromFi,
              AsBytes(object.ToFastInfosetStream(static_cast<FInfoDecl>(round % 10), Strict())));
    std::string why = CompareTrees(expected, fromFi);
    ASSERT_EQ(why, "") << "round " << round;
    // The same object's XML text gives the same tree.
    String xml = object.ToXml(false, false, EOLType_LF, Strict());
    fromText.LoadXml(xml.c_str());
    ASSERT_EQ(vxtest::Compare(ExpandedTree(fromText), ExpandedTree(fromFi), true), "")
        << ToUtf8(xml);
  }
}

TEST(CFastInfosetRoundTrip, CompressedDocumentsAndFilesReadBack) {
  std::mt19937 rng(7);
  CScriptObject object(vxtest::RandomScript(rng, 200));
  vxtest::Tree expected = vxtest::ExpectedTree(object.script);
  for (CompressionType c : {CompressionType_None, CompressionType_GZip, CompressionType_ZLib}) {
    SCOPED_TRACE(c);
    CXmlDocument doc;
    LoadBytes(doc, AsBytes(object.ToFastInfosetStream(FInfoDecl_V11StandaloneNo, Strict(), c)));
    EXPECT_EQ(CompareTrees(expected, doc), "");
  }
  std::string path = vxtest::TempPath("roundtrip.fi.gz");
  String wide = U(path);
  object.ToFastInfosetFile(wide.c_str(), FInfoDecl_Finf, Strict(), CompressionType_GZip);
  CXmlDocument doc;
  doc.Load(wide.c_str());
  EXPECT_EQ(CompareTrees(expected, doc), "");
  std::remove(path.c_str());
}

namespace {

// A chain of `depth` elements, written without recursion.
class CDeep : public CXmlObjectBase {
 public:
  explicit CDeep(size_t depth) : m_depth(depth) {}
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }

 protected:
  String GetTargetNamespace() const override { return U("urn:deep"); }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short* ns,
                 const CXmlSerializationContext&, bool) const override {
    String name = U("e"), uri(ns);
    for (size_t i = 0; i < m_depth; ++i) writer->WriteStartElement(name, uri);
    writer->WriteText(U("deep"));
    for (size_t i = 0; i < m_depth; ++i) writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement*, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    return nullptr;
  }

 private:
  size_t m_depth;
};

}  // namespace

TEST(CFastInfosetRoundTrip, AMillionLevelsWriteAndReadWithoutRecursion) {
  const size_t kDepth = 1000000;
  CDeep deep(kDepth);
  CBinaryData data = deep.ToFastInfosetStream();
  // Every element after the first is one index octet, and every two ends
  // share one octet.
  EXPECT_LT(data.GetLength(), kDepth * 2);
  auto doc = std::make_unique<CXmlDocument>();
  LoadBytes(*doc, AsBytes(data));
  size_t depth = 0;
  const CXmlElement* last = nullptr;
  for (const CXmlElement* e = doc->GetDocumentElement(); e; e = e->GetFirstElement(), ++depth)
    last = e;
  EXPECT_EQ(depth, kDepth);
  EXPECT_EQ(ToUtf8(last->GetNamespaceURI()), "urn:deep");
  EXPECT_EQ(ToUtf8(last->GetText()), "deep");
  doc.reset();
}
