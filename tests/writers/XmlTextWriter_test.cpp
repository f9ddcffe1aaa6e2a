#include "vxbind/writers/XmlTextWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "support/Document.h"
#include "support/TestWriter.h"
#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::TestWriter;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

const char kXml[] = "http://www.w3.org/XML/1998/namespace";
const char kXsi[] = "http://www.w3.org/2001/XMLSchema-instance";

struct Case {
  const char* what;
  std::function<void(TestWriter&)> write;  // on a writer without indentation
  const char* bytes;                       // exactly what the writer writes
  const char* readBack;  // what a strict reader makes of it (the names as written), if read
};

const Case kCases[] = {
    {"the order example, indented, with a declaration",
     [](TestWriter& w) {
       w.SetIndent(true);
       w.WriteStartDocument(XmlEncoding_None);
       w.Default("urn:o").Start("order", "urn:o").Start("item", "urn:o").Text("5").End().End();
       w.WriteEndDocument();
     },
     "<?xml version=\"1.0\"?>\n<order xmlns=\"urn:o\">\n\t<item>5</item>\n</order>\n", nullptr},
    {"indentation off writes no tabs or line ends",
     [](TestWriter& w) {
       w.SetEOLType(EOLType_CRLF);
       w.WriteStartDocument(XmlEncoding_UTF8);
       w.Start("r").Start("a").Start("b").Text("1").End().End().Start("c").End().End();
     },
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r><a><b>1</b></a><c/></r>", nullptr},
    {"indentation shortens empty elements",
     [](TestWriter& w) {
       w.SetIndent(true);
       w.Start("r").Start("a").End().Start("b").Text("").End();
       w.Start("c").Text("").Text("x").End().End();
     },
     "<r>\n\t<a/>\n\t<b/>\n\t<c>x</c>\n</r>\n", nullptr},
    {"indentation around mixed content",
     [](TestWriter& w) {
       w.SetIndent(true);
       w.Start("r").Start("a").Start("b").Text("1").End().End().Text("tail").Start("c").End().End();
     },
     "<r>\n\t<a>\n\t\t<b>1</b>\n\t</a>\ntail\t<c/>\n</r>\n", nullptr},
    {"text line ends follow the EOL type; a refused type changes nothing",
     [](TestWriter& w) {
       w.SetEOLType(EOLType_CRLF);
       EXPECT_VX_THROW(w.SetEOLType(static_cast<EOLType>(2)), CVxException, "Invalid EOL type.");
       EXPECT_VX_THROW(w.SetEOLType(static_cast<EOLType>(-1)), CVxException, "Invalid EOL type.");
       w.Start("t").Text("a\r\nb\rc\nd").End();
     },
     "<t>a\r\nbc\r\nd</t>", nullptr},
    {"escapes: quotes only in attribute values, apostrophes nowhere",
     [](TestWriter& w) {
       w.Start("t").Attr("v", "", "it's > \"x\" & <y>\n").Text("it's > 'x' & <y>").Text("!").End();
     },
     "<t v=\"it's &gt; &quot;x&quot; &amp; &lt;y&gt;\n\">it's &gt; 'x' &amp; &lt;y&gt;!</t>",
     nullptr},
    {"comments, instructions and the in-line schema",
     [](TestWriter& w) {
       w.WriteProcessingInstruction(U("<?pi a & b?>"));
       w.WriteComment(U("a & b\nc"));
       w.Default("urn:d").Start("r", "urn:d").Attr("a", "", "1");
       w.WriteInLineSchema(U("<xs:schema/>"));
       w.Start("c", "urn:d").End();
       w.WriteComment(U("in"));
       w.End();
     },
     "<?pi a & b?>\n\n<!--a &amp; b\nc-->\n<r xmlns=\"urn:d\" a=\"1\" \n<xs:schema/>\n>"
     "<c/><!--in-->\n</r>",
     nullptr},
    {"generated prefixes live only as long as their element",
     [](TestWriter& w) {
       w.Start("r").Start("a", "urn:x").Start("c", "urn:x").End().Start("d", "urn:y").End().End();
       w.Start("b", "urn:y").End().End();
     },
     R"(<r><AA:a xmlns:AA="urn:x"><AA:c/><AB:d xmlns:AB="urn:y"/></AA:a>)"
     R"(<AA:b xmlns:AA="urn:y"/></r>)",
     "{}r[]({urn:x}a[]({urn:x}c[]{urn:y}d[]){urn:y}b[])"},
    {"namespaced attributes always carry a prefix",
     [](TestWriter& w) {
       w.Start("r").Attr("name", "urn:x", "v").Attr("other", "urn:x", "w").Attr("plain", "", "p");
       w.End();
     },
     R"(<r xmlns:AA="urn:x" AA:name="v" AA:other="w" plain="p"/>)",
     "{}r[ {urn:x}name=v {urn:x}other=w {}plain=p]"},
    {"even in the default namespace an attribute needs a prefix of its own",
     [](TestWriter& w) { w.Default("urn:d").Start("r", "urn:d").Attr("a", "urn:d", "1").End(); },
     R"(<r xmlns="urn:d" xmlns:AA="urn:d" AA:a="1"/>)", "{urn:d}r[ {urn:d}a=1]"},
    {"xsi:type declares unknown namespaces, with two spaces",
     [](TestWriter& w) { w.Start("r").Type("urn:t", "T").End(); },
     R"(<r xmlns:AA="urn:t"  xmlns:AB="http://www.w3.org/2001/XMLSchema-instance")"
     R"( AB:type="AA:T"/>)",
     "{}r[ {http://www.w3.org/2001/XMLSchema-instance}type=AA:T]"},
    {"xsi:type with a declared alias, in the default namespace and in none",
     [](TestWriter& w) {
       w.Alias("xsi", kXsi).Default("urn:t").Start("r", "urn:t").Type("urn:t", "T");
       w.Start("s", "urn:t").Type("", "U").End().End();
     },
     R"(<r xmlns="urn:t" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="T">)"
     R"(<s xsi:type="U"/></r>)",
     nullptr},
    {"xsi:type with a prefix added inside the element",
     [](TestWriter& w) { w.Start("r").Alias("t", "urn:t").Type("urn:t", "T").End(); },
     R"(<r xmlns:t="urn:t"  xmlns:AA="http://www.w3.org/2001/XMLSchema-instance" AA:type="t:T"/>)",
     "{}r[ {http://www.w3.org/2001/XMLSchema-instance}type=t:T]"},
    {"the root declares its own prefix, then the default, then the aliases by URI",
     [](TestWriter& w) {
       w.Alias("z", "urn:b").Alias("AA", "urn:a").Alias("q", "urn:b");  // q replaces z
       w.Default("urn:d").Start("root", "urn:c").Start("e", "urn:b").End().Start("f", "urn:d");
       w.End().Start("g").End().End();
     },
     R"(<AB:root xmlns:AB="urn:c" xmlns="urn:d" xmlns:AA="urn:a" xmlns:q="urn:b">)"
     R"(<q:e/><f/><g xmlns=""/></AB:root>)",
     "{urn:c}root[]({urn:b}e[]{urn:d}f[]{}g[])"},
    {"no namespace inside a default namespace",
     [](TestWriter& w) { w.Default("urn:d").Start("r", "urn:d").Start("c").End().End(); },
     R"(<r xmlns="urn:d"><c xmlns=""/></r>)", "{urn:d}r[]({}c[])"},
    // Nothing is declared when the namespaces are given; each name that
    // needs a declaration carries it.
    {"namespaces given inside an element change only its scope",
     [](TestWriter& w) {
       w.Default("urn:d").Start("r", "urn:d").Start("a").Alias("p", "urn:p");
       w.Start("c", "urn:p").End().Start("d", "urn:d").End().Default("urn:p");
       w.Start("e", "urn:p").End().Start("f", "urn:d").End().End().Start("b", "urn:p").End().End();
     },
     R"(<r xmlns="urn:d"><a xmlns=""><p:c xmlns:p="urn:p"/><d xmlns="urn:d"/>)"
     R"(<e xmlns="urn:p"/><AA:f xmlns:AA="urn:d"/></a><AA:b xmlns:AA="urn:p"/></r>)",
     "{urn:d}r[]({}a[]({urn:p}c[]{urn:d}d[]{urn:p}e[]{urn:d}f[]){urn:p}b[])"},
    {"a default namespace set inside an element, and the end tag of that element",
     [](TestWriter& w) {
       w.Default("urn:d").Start("r", "urn:d").Default("urn:p").Start("e", "urn:p").End();
       w.Start("f", "urn:p").Start("g", "urn:p").End().End().Text("t").End();
     },
     R"(<r xmlns="urn:d"><e xmlns="urn:p"/><f xmlns="urn:p"><g/></f>t</r>)",
     "{urn:d}r[]\"t\"({urn:p}e[]{urn:p}f[]({urn:p}g[]))"},
    {"a prefix added inside an element is declared by each name that needs it",
     [](TestWriter& w) {
       w.Start("r").Alias("p", "urn:p").Start("c", "urn:p").Attr("a", "urn:p");
       w.Start("d", "urn:p").End().End().Start("c", "urn:p").End().End();
     },
     R"(<r><p:c xmlns:p="urn:p" p:a="v"><p:d/></p:c><p:c xmlns:p="urn:p"/></r>)",
     "{}r[]({urn:p}c[ {urn:p}a=v]({urn:p}d[]){urn:p}c[])"},
    {"a root without namespace does not declare the default namespace",
     [](TestWriter& w) {
       w.Default("urn:d").Start("r").Start("a", "urn:d").Start("b", "urn:d").End().End();
       w.Start("c").End().End();
     },
     R"(<r><a xmlns="urn:d"><b/></a><c/></r>)", "{}r[]({urn:d}a[]({urn:d}b[]){}c[])"},
    {"aliases that share a prefix are declared where needed, never twice on a tag",
     [](TestWriter& w) {
       w.Alias("p", "urn:1").Alias("p", "urn:2").Alias("q", "urn:3");
       w.Start("r").Start("a", "urn:1").End().Start("b", "urn:2").Attr("x", "urn:1").End().End();
     },
     R"(<r xmlns:q="urn:3"><p:a xmlns:p="urn:1"/>)"
     R"(<p:b xmlns:p="urn:2" xmlns:AA="urn:1" AA:x="v"/></r>)",
     "{}r[]({urn:1}a[]{urn:2}b[ {urn:1}x=v])"},
    {"a prefix rebound while the tag that uses it is open gets a stand-in",
     [](TestWriter& w) {
       w.Alias("p", "urn:1").Start("r", "urn:1").Start("c", "urn:1");
       w.Alias("p", "urn:2").Attr("x", "urn:2").Attr("y", "urn:2").Start("d", "urn:2").End();
       w.End().End();
     },
     R"(<p:r xmlns:p="urn:1"><p:c xmlns:AA="urn:2" AA:x="v" AA:y="v">)"
     R"(<p:d xmlns:p="urn:2"/></p:c></p:r>)",
     "{urn:1}r[]({urn:1}c[ {urn:2}x=v {urn:2}y=v]({urn:2}d[]))"},
    {"the end tag repeats the start tag's prefix",
     [](TestWriter& w) { w.Start("r", "urn:a").Alias("q", "urn:a").Text("t").End(); },
     R"(<AA:r xmlns:AA="urn:a">t</AA:r>)", "{urn:a}r[]\"t\""},
    {"the xml prefix needs no declaration",
     [](TestWriter& w) { w.Start("r").Attr("lang", kXml, "en").End(); }, R"(<r xml:lang="en"/>)",
     "{}r[ {http://www.w3.org/XML/1998/namespace}lang=en]"},
    {"an alias of no namespace is not declared",
     [](TestWriter& w) { w.Alias("p", "").Alias("q", "urn:q").Start("r").End(); },
     R"(<r xmlns:q="urn:q"/>)", "{}r[]"},
    {"namespace URIs are escaped",
     [](TestWriter& w) { w.Alias("p", "urn:a&b<c>\"d'").Start("r", "urn:a&b<c>\"d'").End(); },
     R"(<p:r xmlns:p="urn:a&amp;b&lt;c&gt;&quot;d'"/>)", "{urn:a&b<c>\"d'}r[]"},
    {"strict: namespace URIs are escaped losslessly",
     [](TestWriter& w) {
       w.SetStrictXml(true);
       w.Start("r", "urn:a\tb\nc\rd&\"<>").End();
     },
     "<AA:r xmlns:AA=\"urn:a&#x9;b&#xA;c&#xD;d&amp;&quot;&lt;&gt;\"/>", "{urn:a\tb\nc\rd&\"<>}r[]"},
    {"declarations end with their element",
     [](TestWriter& w) {
       w.Default("urn:d").Start("r", "urn:d").Start("a").Start("b", "urn:d").End().End();
       w.Start("c", "urn:d").End().Default("urn:x").Start("e", "urn:x").End().End();
     },
     R"(<r xmlns="urn:d"><a xmlns=""><b xmlns="urn:d"/></a><c/><e xmlns="urn:x"/></r>)",
     "{urn:d}r[]({}a[]({urn:d}b[]){urn:d}c[]{urn:x}e[])"},
};

}  // namespace

TEST(CXmlTextWriter, WritesExactlyTheseBytesWhichReadBackInTheirNamespaces) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    TestWriter w;
    c.write(w);
    std::string out = w.Out();
    EXPECT_EQ(out, c.bytes);
    if (c.readBack == nullptr) continue;
    CXmlDocument doc;
    doc.SetStrictXml(true);
    doc.LoadXml(U(out).c_str());
    EXPECT_EQ(vxtest::Dump(doc.GetDocumentElement()), c.readBack);
  }
}

TEST(CXmlTextWriter, DeclarationLabelsFollowTheEncodingAndEmptyTheBuffer) {
  const std::pair<XmlEncoding, const char*> cases[] = {
      {XmlEncoding_None, "<?xml version=\"1.0\"?>\r\n"},
      {XmlEncoding_UTF8, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"},
      {XmlEncoding_UTF16, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"},
      {XmlEncoding_UTF16NoLabel, "<?xml version=\"1.0\"?>\r\n"},
  };
  for (const auto& c : cases) {
    TestWriter w;
    w.SetEOLType(EOLType_CRLF);
    w.WriteComment(U("dropped by the declaration"));
    w.WriteStartDocument(c.first);
    EXPECT_EQ(w.Out(), c.second);
  }
}

TEST(CXmlTextWriter, MisuseThrowsTheFixedMessagesAndWritesNothing) {
  const char* kLate = "Attributes must be added before elements";
  const char* kNoElement = "Attributes can only be written inside an open element.";
  TestWriter x;
  x.Start("r").Start("a").End();
  EXPECT_VX_THROW(x.Attr("n", ""), CVxException, kLate);
  EXPECT_VX_THROW(x.Type("urn:t", "T"), CVxException, kLate);
  EXPECT_VX_THROW(x.WriteEndDocument(), CVxException, "An Element has not been closed.");
  x.End().WriteEndDocument();
  EXPECT_EQ(x.Out(), "<r><a/></r>");
  TestWriter t;
  t.Start("r").Text("x");
  EXPECT_VX_THROW(t.Attr("n", ""), CVxException, kLate);

  TestWriter none;
  EXPECT_VX_THROW(none.Text("x"), CVxException, "Text can only be written inside an open element.");
  EXPECT_VX_THROW(none.Attr("n", ""), CVxException, kNoElement);
  EXPECT_VX_THROW(none.Type("", "T"), CVxException, kNoElement);
  EXPECT_VX_THROW(none.End(), CVxException, "There is no open element to end.");
}

TEST(CXmlTextWriter, TheBaseListsTheDeclarationsOfTheOpenStartTag) {
  TestWriter w;
  EXPECT_EQ(w.Declarations(), "");
  w.Alias("q", "urn:b").Alias("AA", "urn:a").Default("urn:d").Start("root", "urn:c");
  // The root's own prefix first, then what was given before the root.
  EXPECT_EQ(w.Declarations(), "AB=urn:c =urn:d AA=urn:a q=urn:b");
  w.Attr("x", "urn:x");
  EXPECT_EQ(w.Declarations(), "AB=urn:c =urn:d AA=urn:a q=urn:b AC=urn:x");
  w.Start("e", "urn:b");
  EXPECT_EQ(w.Declarations(), "");
  w.Start("f");
  EXPECT_EQ(w.Declarations(), "=");
  w.End().End();
  EXPECT_EQ(w.Declarations(), "AB=urn:c =urn:d AA=urn:a q=urn:b AC=urn:x");
}

TEST(CXmlTextWriter, ScopesAreSharedUntilWrittenAndCopiedOnWrite) {
  TestWriter w;
  w.Alias("p", "urn:p").Start("r");
  const auto* root = w.Current();
  w.Start("a");
  const auto* a = w.Current();
  EXPECT_EQ(&a->GetScopeMap(), &root->GetScopeMap());
  w.Alias("q", "urn:q");
  EXPECT_EQ(a->GetScopeMap().size(), 2u);
  EXPECT_EQ(root->GetScopeMap().size(), 1u);
}

TEST(CXmlTextWriter, GeneratedPrefixNamesAndUniqueness) {
  const std::pair<int, const char*> names[] = {{0, "AA"}, {1, "AB"}, {25, "AZ"}, {26, "BA"},
                                               {27, "BB"}};
  for (const auto& n : names) EXPECT_EQ(ToUtf8(TestWriter::NsIntToString(n.first)), n.second);
  CXmlWriter::NamespaceMap map;
  EXPECT_EQ(ToUtf8(TestWriter::GetUniquePrefix(map)), "AA");
  map = {{U("urn:1"), U("AB")}, {U("urn:2"), U("AA")}, {U("urn:3"), U("AD")}};
  EXPECT_EQ(ToUtf8(TestWriter::GetUniquePrefix(map)), "AC");
  // Prefixes that only look close to generated ones take no candidate.
  map = {{U("urn:1"), U("AA")}, {U("urn:2"), U("@[")}, {U("urn:3"), U("A")},
         {U("urn:4"), U("ABC")}, {U("urn:5"), U("Ab")}, {U("urn:6"), U("A[")}};
  EXPECT_EQ(ToUtf8(TestWriter::GetUniquePrefix(map)), "AB");

  // Each new namespace gets the next free prefix; finding it used to cost a
  // scan of the scope per candidate (cubic: minutes for a few thousand).
  TestWriter w;
  w.Start("r");
  for (int i = 0; i < 2000; ++i) w.WriteAttribute(U("a"), U("urn:" + std::to_string(i)), U("v"));
  EXPECT_EQ(w.Current()->GetPrefix(U("urn:1999")), TestWriter::NsIntToString(1999));
}

TEST(CXmlTextWriter, LongOutputCrossesChunksAndGetStringRepeats) {
  TestWriter x(true);
  std::string expected = "<r>\n";
  x.Start("r");
  for (int i = 0; i < 20000; ++i) {
    std::string v = std::to_string(i);
    x.Start("i").Attr("n", "", v.c_str()).Text("a&b").End();
    expected += "\t<i n=\"" + v + "\">a&amp;b</i>\n";
  }
  x.End();
  expected += "</r>\n";
  ASSERT_GT(expected.size(), 65535u * 3);
  EXPECT_EQ(x.Out(), expected);
  EXPECT_EQ(x.Out(), expected);

  // Twenty levels: tabs beyond one block of the tab table.
  TestWriter deep(true);
  for (int i = 0; i < 20; ++i) deep.Start("e");
  deep.End();
  EXPECT_NE(deep.Out().find(std::string(19, '\t') + "<e/>\n"), std::string::npos);
}

TEST(CXmlTextWriter, DeepDocumentsNeedNoRecursionAndStayLinear) {
  const int kDepth = 100000;
  TestWriter x;
  for (int i = 0; i < kDepth; ++i) x.Start("e", i % 2 ? "urn:a" : "");
  for (int i = 0; i < kDepth; ++i) x.End();
  std::string out = x.Out();
  EXPECT_EQ(out.compare(0, 26, "<e><AA:e xmlns:AA=\"urn:a\">"), 0);
  // "<e>" and "</e>", "<AA:e>" and "</AA:e>", one declaration, and the
  // innermost element in its short form.
  EXPECT_EQ(out.size(), 50000u * 7 + 49999u * 13 + 7 + 17);

  TestWriter open;  // destroyed with every element still open: frees them all
  for (int i = 0; i < kDepth; ++i) open.Start("e");

  // Every level binds the default namespace anew; each end takes its
  // declaration out of force again.
  TestWriter w;
  for (int i = 0; i < kDepth; ++i) {
    const char* uri = i % 2 ? "urn:1" : "urn:0";
    w.Default(uri).Start("e", uri);
  }
  for (int i = 0; i < kDepth; ++i) w.End();
  out = w.Out();
  EXPECT_EQ(out.compare(0, 45, R"(<e xmlns="urn:0"><e xmlns="urn:1"><e xmlns="u)"), 0);
  CXmlDocument doc;
  doc.SetStrictXml(true);
  doc.LoadXml(out.c_str());
  int depth = 0;
  for (const CXmlElement* e = doc.GetDocumentElement(); e; e = e->GetFirstElement(), ++depth)
    ASSERT_EQ(ToUtf8(e->GetNamespaceURI()), depth % 2 ? "urn:1" : "urn:0");
  EXPECT_EQ(depth, kDepth);
}

TEST(CXmlWriter, CopiesTakeTheDeclarationsButNoOpenElements) {
  TestWriter a;
  a.Default("urn:d").Alias("p", "urn:p").Start("r", "urn:d");
  TestWriter b;
  static_cast<CXmlWriter&>(b) = a;
  EXPECT_EQ(b.Current(), nullptr);
  b.Start("s", "urn:p").End();
  EXPECT_EQ(b.Out(), "<p:s xmlns=\"urn:d\" xmlns:p=\"urn:p\"/>");
  a.End();
}
