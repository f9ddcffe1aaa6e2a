// The allocation-failure sweep over reading: documents from UTF-16 text,
// 8-bit text and (compressed) bytes, and FromXml into a bindable object.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "alloc/Sweep.h"
#include "support/Bytes.h"
#include "support/Document.h"
#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;
using vxtest::alloc::Promise;
using vxtest::alloc::Sweep;

namespace {

// Namespaces (prefixed, default, redeclared, undeclared), attributes with
// and without namespace, entities, CR LF, text around and between children,
// comments and instructions (not kept), non-BMP characters, nesting.
const char kDocument[] =
    "<?xml version='1.0'?>\n"
    "<o:order xmlns:o='urn:orders' xmlns='urn:default' id='42' o:state='open'>\n"
    "  <item sku='a&amp;b' xml:lang='en'>first &lt;one&gt;</item>\n"
    "  <item sku='c'><note>deep<x:y xmlns:x='urn:x' x:flag='1'>deeper</x:y></note>tail</item>\n"
    "  <!-- a comment --><?pi data?>\n"
    "  <empty/><o:empty xmlns:o='urn:other'/>\n"
    "  <text xmlns=''>line1\r\nline2 \xC3\xBCn\xC3\xAF \xF0\x9D\x84\x9E</text>\n"
    "</o:order>";

// Enough of everything to grow what the reader grows: many element names
// (the name table rehashes), more attributes than the reader keeps name
// hints for, a value long enough for a page of its own, text delivered in
// hundreds of pieces, and nesting deeper than the open-element stack's
// first capacity.
std::string LargeDocument() {
  std::string x = "<root xmlns='urn:r' xmlns:a='urn:a'>";
  for (int i = 0; i < 40; ++i) {
    std::string n = "element" + std::to_string(i);
    x += "<" + n + " a:k='" + std::to_string(i) +
         "' b='x' c='' d='1' e='2' f='3' g='4' h='5'>text &amp; <n><m>deep</m></n> tail</" + n +
         ">";
  }
  x += "<long value='" + std::string(3000, 'v') + "'>";
  for (int i = 0; i < 200; ++i) x += std::string(100, 't') + "&lt;";
  x += "</long>";
  for (int i = 0; i < 60; ++i) x += "<d>";
  for (int i = 0; i < 60; ++i) x += "</d>";
  return x + "</root>";
}

// The whole tree, and the prefixes the document recorded.
std::string Describe(const CXmlDocument& doc) {
  std::string out = doc.GetDocumentElement() ? vxtest::Dump(doc.GetDocumentElement()) : "-";
  for (const char* prefix : {"o", "x", ""})
    out += std::string(" xmlns:") + prefix + "=" +
           ToUtf8(doc.LookupNamespaceFromAlias(U(prefix).c_str()));
  return out;
}

// Sweeps `load` into a fresh document. A failed load leaves a document that
// can be read, loaded again and destroyed.
void SweepLoad(const std::string& name, SchemaType type,
               const std::function<void(CXmlDocument&)>& load) {
  SCOPED_TRACE(name);
  Sweep(name, [&] {
    CXmlDocument doc(type);
    Promise([&] { load(doc); },
            [&] {
              Describe(doc);  // whatever the reader built up to the failure
              doc.LoadXml("<again a='1'>text</again>");
              ASSERT_NE(doc.GetDocumentElement(), nullptr);
              EXPECT_EQ(vxtest::Dump(doc.GetDocumentElement()), "{}again[ {}a=1]\"text\"");
            });
    return Describe(doc);
  });
}

}  // namespace

TEST(ReadingSweep, LoadXmlFromUtf16AndFrom8BitText) {
  const std::pair<const char*, std::string> cases[] = {
      {"namespaces", kDocument},
      {"large", LargeDocument()},
      {"syntax error", "<a xmlns='urn:a'><b x='1'>text</a>"},
      {"no element", "<?xml version='1.0'?>  "},
      {"undeclared prefix", "<a><p:b/></a>"},
  };
  for (SchemaType type : {SchemaType_Default, SchemaType_NoNamespaces}) {
    for (const auto& c : cases) {
      const String wide = U(c.second);
      const char* narrow = c.second.c_str();
      const std::string name = std::string("LoadXml, ") + c.first +
                               (type == SchemaType_Default ? "" : ", no namespace processing");
      SweepLoad(name + ", UTF-16", type, [&](CXmlDocument& d) { d.LoadXml(wide.c_str()); });
      SweepLoad(name + ", 8-bit", type, [&](CXmlDocument& d) { d.LoadXml(narrow); });
    }
  }
}

TEST(ReadingSweep, LoadXmlStreamOfPlainAndCompressedBytesAndFiles) {
  const std::pair<const char*, std::string> cases[] = {
      {"UTF-8", kDocument},
      {"gzip", vxtest::Deflate(kDocument, 31)},
      {"gzip, large", vxtest::Deflate(LargeDocument(), 31)},
      {"zlib", vxtest::Deflate(kDocument, 15)},
      {"gzip of UTF-16", vxtest::Deflate("\xFF\xFE" + vxtest::Utf16Le(kDocument), 31)},
      {"damaged gzip", vxtest::Deflate(kDocument, 31).substr(0, 40)},
  };
  for (const auto& c : cases) {
    SweepLoad(std::string("LoadXmlStream, ") + c.first, SchemaType_Default,
              [&](CXmlDocument& d) { vxtest::LoadBytes(d, c.second); });
  }
  const std::string path = vxtest::TempPath("alloc_sweep_in.xml.gz");
  ASSERT_TRUE(vxtest::WriteFileBytes(path, vxtest::Deflate(kDocument, 31)));
  const String file = U(path), missing = U(path + ".missing");
  SweepLoad("Load, gzip file", SchemaType_Default, [&](CXmlDocument& d) { d.Load(file.c_str()); });
  SweepLoad("Load, missing file", SchemaType_Default,
            [&](CXmlDocument& d) { d.Load(missing.c_str()); });
  std::remove(path.c_str());
}

TEST(ReadingSweep, FromXmlBindsAnObjectOrLeavesItUsable) {
  const char kList[] =
      "<list xmlns='urn:list' root='yes'>head<item>one</item><other/><item>tw\xC3\xB6</item>"
      "<item>three &amp; more</item>tail</list>";
  const char kBadItem[] = "<list xmlns='urn:list'><item>a</item><item>fail</item></list>";
  const std::string gzip = vxtest::Deflate(kList, 31);
  const std::string gzipPath = vxtest::TempPath("alloc_sweep_from.xml.gz");
  ASSERT_TRUE(vxtest::WriteFileBytes(gzipPath, gzip));
  const String gzipFile = U(gzipPath);
  CXmlSerializationContext context;
  // After a failure the object still works: it reads a document and
  // writes itself.
  auto checkUsable = [&](vxtest::CTestNode& node) {
    node.items.clear();
    node.FromXml("<list xmlns='urn:list'><item>again</item></list>", context);
    EXPECT_EQ(node.items, std::vector<std::string>{"again"});
    EXPECT_NE(ToUtf8(node.ToXml(false, false, EOLType_LF, context)).find("<list"),
              std::string::npos);
  };
  // The check writes, which the runs without failures do not: a first call
  // makes the writer's lazy statics before any run counts allocations.
  {
    CSmartPtr<vxtest::CTestNode> warm = new vxtest::CTestNode("warm", "urn:list");
    checkUsable(*warm);
  }
  const std::pair<const char*, std::function<void(vxtest::CTestNode&)>> cases[] = {
      {"UTF-16 text", [&](vxtest::CTestNode& n) { n.FromXml(U(kList).c_str(), context); }},
      {"8-bit text", [&](vxtest::CTestNode& n) { n.FromXml(kList, context); }},
      {"gzip bytes",
       [&](vxtest::CTestNode& n) {
         std::string bytes = gzip;
         n.FromXmlStream(reinterpret_cast<unsigned char*>(&bytes[0]),
                         static_cast<uint32_t>(bytes.size()), context);
       }},
      {"a value the object refuses", [&](vxtest::CTestNode& n) { n.FromXml(kBadItem, context); }},
      {"gzip file", [&](vxtest::CTestNode& n) { n.FromXmlFile(gzipFile.c_str(), context); }},
      {"std::istream",
       [&](vxtest::CTestNode& n) {
         std::istringstream in(kList);
         n.FromXmlStream(in, context);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    Sweep(std::string("FromXml, ") + c.first, [&] {
      CSmartPtr<vxtest::CTestNode> node = new vxtest::CTestNode("before", "urn:list");
      Promise([&] { c.second(*node); }, [&] { checkUsable(*node); });
      std::string out = node->Name() + " [" + ToUtf8(node->text) + "] root=" +
                        ToUtf8(node->rootAttribute) + " binds=" + std::to_string(node->bindCount);
      for (const std::string& item : node->items) out += " <" + item + ">";
      return out;
    });
  }
  std::remove(gzipPath.c_str());
}
