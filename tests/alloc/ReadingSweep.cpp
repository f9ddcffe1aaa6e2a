// The allocation-failure sweep over reading: documents from UTF-16 text,
// 8-bit text and (compressed) bytes, and FromXml into a bindable object.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "alloc/Sweep.h"
#include "support/Bytes.h"
#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/values/BinaryData.h"

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

// The whole tree as text, walked without recursion, with the prefixes the
// document recorded.
std::string Dump(const CXmlDocument& doc) {
  std::string out;
  std::vector<std::pair<const CXmlElement*, int>> pending;
  if (doc.GetDocumentElement() != nullptr) pending.emplace_back(doc.GetDocumentElement(), 0);
  while (!pending.empty()) {
    const CXmlElement* e = pending.back().first;
    int depth = pending.back().second;
    pending.pop_back();
    out += std::string(static_cast<size_t>(depth), ' ') + "{" + ToUtf8(e->GetNamespaceURI()) +
           "}" + ToUtf8(e->GetLocalName());
    for (const CXmlAttribute* a : e->GetAttributes())
      out += " {" + ToUtf8(a->GetNamespaceURI()) + "}" + ToUtf8(a->GetLocalName()) + "=" +
             ToUtf8(a->GetValue());
    out += " [" + ToUtf8(e->GetText()) + "]\n";
    std::vector<const CXmlElement*> children;
    for (const CXmlElement* c = e->GetFirstElement(); c != nullptr; c = c->GetNextSiblingElement())
      children.push_back(c);
    for (size_t i = children.size(); i-- > 0;) pending.emplace_back(children[i], depth + 1);
  }
  for (const char* prefix : {"o", "x", ""})
    out += std::string("xmlns:") + prefix + "=" +
           ToUtf8(doc.LookupNamespaceFromAlias(U(prefix).c_str())) + "\n";
  return out;
}

// A failed load leaves a document that can be read, loaded again and
// destroyed.
void CheckDocumentAfterFailure(CXmlDocument& doc) {
  Dump(doc);  // whatever the reader built up to the failure
  doc.LoadXml("<again a='1'>text</again>");
  ASSERT_NE(doc.GetDocumentElement(), nullptr);
  EXPECT_EQ(ToUtf8(doc.GetDocumentElement()->GetLocalName()), "again");
  EXPECT_EQ(ToUtf8(doc.GetDocumentElement()->GetText()), "text");
}

struct TextCase {
  const char* name;
  SchemaType schemaType;
  std::string xml;
};

}  // namespace

TEST(ReadingSweep, LoadXmlFromUtf16AndFrom8BitText) {
  const TextCase cases[] = {
      {"namespaces", SchemaType_Default, kDocument},
      {"large", SchemaType_Default, LargeDocument()},
      {"no namespace processing", SchemaType_NoNamespaces, kDocument},
      {"syntax error", SchemaType_Default, "<a xmlns='urn:a'><b x='1'>text</a>"},
      {"no element", SchemaType_Default, "<?xml version='1.0'?>  "},
      {"undeclared prefix", SchemaType_Default, "<a><p:b/></a>"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    const String wide = U(c.xml);
    for (bool utf16 : {true, false}) {
      SCOPED_TRACE(utf16 ? "UTF-16" : "8-bit");
      Sweep(std::string("LoadXml, ") + c.name + (utf16 ? ", UTF-16" : ", 8-bit"), [&] {
        CXmlDocument doc(c.schemaType);
        Promise([&] { utf16 ? doc.LoadXml(wide.c_str()) : doc.LoadXml(c.xml.c_str()); },
                [&] { CheckDocumentAfterFailure(doc); });
        return Dump(doc);
      });
    }
  }
}

TEST(ReadingSweep, LoadXmlStreamOfPlainAndCompressedBytes) {
  std::string utf16 = "\xFF\xFE";
  for (unsigned short unit : U(kDocument)) {
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  const std::pair<const char*, std::string> cases[] = {
      {"UTF-8", kDocument},
      {"gzip", vxtest::Deflate(kDocument, 31)},
      {"gzip, large", vxtest::Deflate(LargeDocument(), 31)},
      {"zlib", vxtest::Deflate(kDocument, 15)},
      {"gzip of UTF-16", vxtest::Deflate(utf16, 31)},
      {"damaged gzip", vxtest::Deflate(kDocument, 31).substr(0, 40)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    std::string bytes = c.second;
    Sweep(std::string("LoadXmlStream, ") + c.first, [&] {
      CXmlDocument doc;
      Promise(
          [&] {
            doc.LoadXmlStream(reinterpret_cast<unsigned char*>(&bytes[0]),
                              static_cast<uint32_t>(bytes.size()));
          },
          [&] { CheckDocumentAfterFailure(doc); });
      return Dump(doc);
    });
  }
}

TEST(ReadingSweep, LoadAFile) {
  const std::string path = vxtest::TempPath("alloc_sweep_in.xml.gz");
  ASSERT_TRUE(vxtest::WriteFileBytes(path, vxtest::Deflate(kDocument, 31)));
  const String widePath = U(path);
  const String missing = U(path + ".missing");
  for (const String* file : {&widePath, &missing}) {
    Sweep(file == &missing ? "Load, missing file" : "Load, gzip file", [&] {
      CXmlDocument doc;
      Promise([&] { doc.Load(file->c_str()); }, [&] { CheckDocumentAfterFailure(doc); });
      return Dump(doc);
    });
  }
  std::remove(path.c_str());
}

TEST(ReadingSweep, FromXmlBindsAnObjectOrLeavesItUsable) {
  const char kList[] =
      "<list xmlns='urn:list' root='yes'>head<item>one</item><other/><item>tw\xC3\xB6</item>"
      "<item>three &amp; more</item>tail</list>";
  const char kBadItem[] = "<list xmlns='urn:list'><item>a</item><item>fail</item></list>";
  const std::string gzip = vxtest::Deflate(kList, 31);
  CXmlSerializationContext context;
  auto describe = [](const vxtest::CTestNode& node) {
    std::string out = node.Name() + " [" + ToUtf8(node.text) + "] root=" +
                      ToUtf8(node.rootAttribute) + " binds=" + std::to_string(node.bindCount);
    for (const std::string& item : node.items) out += " <" + item + ">";
    return out;
  };
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
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    Sweep(std::string("FromXml, ") + c.first, [&] {
      CSmartPtr<vxtest::CTestNode> node = new vxtest::CTestNode("before", "urn:list");
      Promise([&] { c.second(*node); }, [&] { checkUsable(*node); });
      return describe(*node);
    });
  }
}
