#include "vxbind/writers/XmlTextWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

const std::string kXsi = "http://www.w3.org/2001/XMLSchema-instance";

// Short spellings for the tests; the writer takes Strings.
struct Writer {
  CXmlTextWriter w;
  explicit Writer(bool indent = false) { w.SetIndent(indent); }
  Writer& Start(const char* name, const char* uri = "") {
    w.WriteStartElement(U(name), U(uri));
    return *this;
  }
  Writer& Attr(const char* name, const char* uri, const char* value) {
    w.WriteAttribute(U(name), U(uri), U(value));
    return *this;
  }
  Writer& Text(const char* text) {
    w.WriteText(U(text));
    return *this;
  }
  Writer& End() {
    w.WriteEndElement();
    return *this;
  }
  std::string Out() { return ToUtf8(w.GetString()); }
};

// Exposes the prefix generator and the current scope.
class ScopeProbe : public CXmlTextWriter {
 public:
  using CXmlWriter::GetUniquePrefix;
  using CXmlWriter::NsIntToString;
  const CXmlWriterContext* Current() const { return GetCurrentContext(); }
};

}  // namespace

TEST(CXmlTextWriter, WritesTheOrderExampleIndentedWithDeclaration) {
  Writer x(true);
  x.w.WriteStartDocument(XmlEncoding_None);
  x.w.SetDefaultNamespace(U("urn:o"));
  x.Start("order", "urn:o").Start("item", "urn:o").Text("5").End().End();
  x.w.WriteEndDocument();
  EXPECT_EQ(x.Out(),
            "<?xml version=\"1.0\"?>\n<order xmlns=\"urn:o\">\n\t<item>5</item>\n</order>\n");
}

TEST(CXmlTextWriter, DeclarationLabelsFollowTheEncodingAndEmptyTheBuffer) {
  const std::pair<XmlEncoding, const char*> cases[] = {
      {XmlEncoding_None, "<?xml version=\"1.0\"?>\r\n"},
      {XmlEncoding_UTF8, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"},
      {XmlEncoding_UTF16, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"},
      {XmlEncoding_UTF16NoLabel, "<?xml version=\"1.0\"?>\r\n"},
  };
  for (const auto& c : cases) {
    CXmlTextWriter w;
    w.SetEOLType(EOLType_CRLF);
    w.WriteComment(U("dropped by the declaration"));
    w.WriteStartDocument(c.first);
    EXPECT_EQ(ToUtf8(w.GetString()), c.second);
  }
}

TEST(CXmlTextWriter, GeneratedPrefixesLiveOnlyAsLongAsTheirElement) {
  Writer x;
  x.Start("r").Start("a", "urn:x").Start("c", "urn:x").End().Start("d", "urn:y").End().End();
  x.Start("b", "urn:y").End().End();
  EXPECT_EQ(x.Out(),
            "<r><AA:a xmlns:AA=\"urn:x\"><AA:c/><AB:d xmlns:AB=\"urn:y\"/></AA:a>"
            "<AA:b xmlns:AA=\"urn:y\"/></r>");
}

TEST(CXmlTextWriter, NamespacedAttributesAlwaysCarryAPrefix) {
  Writer x;
  x.Start("r").Attr("name", "urn:x", "v").Attr("other", "urn:x", "w").Attr("plain", "", "p").End();
  EXPECT_EQ(x.Out(), "<r xmlns:AA=\"urn:x\" AA:name=\"v\" AA:other=\"w\" plain=\"p\"/>");

  // Even in the default namespace an attribute needs a prefix of its own.
  Writer d;
  d.w.SetDefaultNamespace(U("urn:d"));
  d.Start("r", "urn:d").Attr("a", "urn:d", "1").End();
  EXPECT_EQ(d.Out(), "<r xmlns=\"urn:d\" xmlns:AA=\"urn:d\" AA:a=\"1\"/>");
}

TEST(CXmlTextWriter, XsiTypeDeclaresUnknownNamespacesWithTwoSpaces) {
  Writer x;
  x.Start("r");
  x.w.WriteXsiType(U("urn:t"), U("T"));
  x.End();
  EXPECT_EQ(x.Out(), "<r xmlns:AA=\"urn:t\"  xmlns:AB=\"" + kXsi + "\" AB:type=\"AA:T\"/>");

  // A declared alias for the instance namespace, a type in the default
  // namespace, and a type without namespace: no declarations at all.
  Writer y;
  y.w.AddNamespace(U("xsi"), U(kXsi));
  y.w.SetDefaultNamespace(U("urn:t"));
  y.Start("r", "urn:t");
  y.w.WriteXsiType(U("urn:t"), U("T"));
  y.Start("s", "urn:t");
  y.w.WriteXsiType(U(""), U("U"));
  y.End().End();
  EXPECT_EQ(y.Out(), "<r xmlns=\"urn:t\" xmlns:xsi=\"" + kXsi +
                         "\" xsi:type=\"T\"><s xsi:type=\"U\"/></r>");
}

TEST(CXmlTextWriter, RootDeclaresGeneratedPrefixThenDefaultThenAliasesByUri) {
  Writer x;
  x.w.AddNamespace(U("z"), U("urn:b"));
  x.w.AddNamespace(U("AA"), U("urn:a"));
  x.w.AddNamespace(U("q"), U("urn:b"));  // replaces z for urn:b
  x.w.SetDefaultNamespace(U("urn:d"));
  x.Start("root", "urn:c").Start("e", "urn:b").End().Start("f", "urn:d").End().Start("g").End();
  x.End();
  // g has no namespace: inside the default namespace it says so.
  EXPECT_EQ(x.Out(),
            "<AB:root xmlns:AB=\"urn:c\" xmlns=\"urn:d\" xmlns:AA=\"urn:a\" xmlns:q=\"urn:b\">"
            "<q:e/><f/><g xmlns=\"\"/></AB:root>");
}

TEST(CXmlTextWriter, NamespacesGivenInsideAnElementChangeOnlyItsScope) {
  Writer x;
  x.w.SetDefaultNamespace(U("urn:d"));
  x.Start("r", "urn:d").Start("a");
  x.w.AddNamespace(U("p"), U("urn:p"));                   // a's scope gets a copy ...
  x.Start("c", "urn:p").End().Start("d", "urn:d").End();  // ... keeping the default
  x.w.SetDefaultNamespace(U("urn:p"));
  x.Start("e", "urn:p").End().Start("f", "urn:d").End();
  x.End();
  x.Start("b", "urn:p").End().End();
  // Nothing is declared when the namespaces are given; each name that needs
  // a declaration carries it: a (no namespace) leaves the default
  // namespace, c declares p, d returns to urn:d, e is in the new default.
  EXPECT_EQ(x.Out(),
            "<r xmlns=\"urn:d\"><a xmlns=\"\"><p:c xmlns:p=\"urn:p\"/><d xmlns=\"urn:d\"/>"
            "<e xmlns=\"urn:p\"/><AA:f xmlns:AA=\"urn:d\"/></a><AA:b xmlns:AA=\"urn:p\"/></r>");
}

TEST(CXmlTextWriter, ScopesAreSharedUntilWrittenAndCopiedOnWrite) {
  ScopeProbe w;
  w.AddNamespace(U("p"), U("urn:p"));
  w.WriteStartElement(U("r"), U(""));
  const auto* root = w.Current();
  w.WriteStartElement(U("a"), U(""));
  const auto* a = w.Current();
  EXPECT_EQ(&a->GetScopeMap(), &root->GetScopeMap());
  w.AddNamespace(U("q"), U("urn:q"));
  EXPECT_EQ(a->GetScopeMap().size(), 2u);
  EXPECT_EQ(root->GetScopeMap().size(), 1u);
}

TEST(CXmlTextWriter, GeneratedPrefixNamesAndUniqueness) {
  const std::pair<int, const char*> names[] = {{0, "AA"}, {1, "AB"}, {25, "AZ"}, {26, "BA"},
                                               {27, "BB"}};
  for (const auto& n : names) EXPECT_EQ(ToUtf8(ScopeProbe::NsIntToString(n.first)), n.second);
  CXmlWriter::NamespaceMap map;
  EXPECT_EQ(ToUtf8(ScopeProbe::GetUniquePrefix(map)), "AA");
  map[U("urn:1")] = U("AB");
  map[U("urn:2")] = U("AA");
  map[U("urn:3")] = U("AD");
  EXPECT_EQ(ToUtf8(ScopeProbe::GetUniquePrefix(map)), "AC");
  // Prefixes that only look close to generated ones take no candidate.
  CXmlWriter::NamespaceMap near{{U("urn:1"), U("AA")}, {U("urn:2"), U("@[")},
                                {U("urn:3"), U("A")},  {U("urn:4"), U("ABC")},
                                {U("urn:5"), U("Ab")}, {U("urn:6"), U("A[")}};
  EXPECT_EQ(ToUtf8(ScopeProbe::GetUniquePrefix(near)), "AB");
}

TEST(CXmlTextWriter, ManyNamespacedAttributesOnOneElementStayFast) {
  // Each new namespace gets the next free prefix; finding it used to cost a
  // scan of the scope per candidate (cubic: minutes for a few thousand).
  const int kCount = 2000;
  ScopeProbe w;
  w.SetIndent(false);
  w.WriteStartElement(U("r"), U(""));
  for (int i = 0; i < kCount; ++i)
    w.WriteAttribute(U("a"), U("urn:" + std::to_string(i)), U("v"));
  EXPECT_EQ(w.Current()->GetPrefix(U("urn:1999")), ScopeProbe::NsIntToString(kCount - 1));
  w.WriteEndElement();
}

TEST(CXmlTextWriter, TextLineEndsEscapesAndRefusedEolTypes) {
  Writer crlf;
  crlf.w.SetEOLType(EOLType_CRLF);
  // A refused type changes nothing: line feeds stay CR LF.
  EXPECT_VX_THROW(crlf.w.SetEOLType(static_cast<EOLType>(2)), CVxException, "Invalid EOL type.");
  EXPECT_VX_THROW(crlf.w.SetEOLType(static_cast<EOLType>(-1)), CVxException, "Invalid EOL type.");
  crlf.Start("t").Text("a\r\nb\rc\nd").End();
  EXPECT_EQ(crlf.Out(), "<t>a\r\nbc\r\nd</t>");

  Writer lf;
  lf.Start("t").Attr("v", "", "it's > \"x\" & <y>\n").Text("it's > 'x' & <y>").Text("!").End();
  EXPECT_EQ(lf.Out(),
            "<t v=\"it's &gt; &quot;x&quot; &amp; &lt;y&gt;\n\">"
            "it's &gt; 'x' &amp; &lt;y&gt;!</t>");
}

TEST(CXmlTextWriter, IndentsNestedElementsAndMixedContentAndShortensEmptyOnes) {
  Writer e(true);
  e.Start("r").Start("a").End().Start("b").Text("").End().Start("c").Text("").Text("x").End().End();
  EXPECT_EQ(e.Out(), "<r>\n\t<a/>\n\t<b/>\n\t<c>x</c>\n</r>\n");

  Writer x(true);
  x.Start("r").Start("a").Start("b").Text("1").End().End().Text("tail").Start("c").End().End();
  EXPECT_EQ(x.Out(), "<r>\n\t<a>\n\t\t<b>1</b>\n\t</a>\ntail\t<c/>\n</r>\n");

  // Twenty levels: tabs beyond one block of the tab table.
  Writer deep(true);
  for (int i = 0; i < 20; ++i) deep.Start("e");
  deep.End();
  EXPECT_NE(deep.Out().find(std::string(19, '\t') + "<e/>\n"), std::string::npos);
}

TEST(CXmlTextWriter, IndentationOffWritesNoTabsOrLineEnds) {
  Writer x;
  x.w.SetEOLType(EOLType_CRLF);
  x.w.WriteStartDocument(XmlEncoding_UTF8);
  x.Start("r").Start("a").Start("b").Text("1").End().End().Start("c").End().End();
  EXPECT_EQ(x.Out(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r><a><b>1</b></a><c/></r>");
}

TEST(CXmlTextWriter, CommentsInstructionsAndInLineSchema) {
  Writer x;
  x.w.WriteProcessingInstruction(U("<?pi a & b?>"));
  x.w.WriteComment(U("a & b\nc"));
  x.w.SetDefaultNamespace(U("urn:d"));
  x.Start("r", "urn:d").Attr("a", "", "1");
  x.w.WriteInLineSchema(U("<xs:schema/>"));
  x.Start("c", "urn:d").End();
  x.w.WriteComment(U("in"));
  x.End();
  EXPECT_EQ(x.Out(),
            "<?pi a & b?>\n\n<!--a &amp; b\nc-->\n<r xmlns=\"urn:d\" a=\"1\" \n<xs:schema/>\n>"
            "<c/><!--in-->\n</r>");
}

TEST(CXmlTextWriter, MisuseThrowsTheFixedMessages) {
  const char* kLate = "Attributes must be added before elements";
  const char* kNoElement = "Attributes can only be written inside an open element.";
  Writer x;
  x.Start("r").Start("a").End();
  EXPECT_VX_THROW(x.w.WriteAttribute(U("n"), U(""), U("v")), CVxException, kLate);
  EXPECT_VX_THROW(x.w.WriteXsiType(U("urn:t"), U("T")), CVxException, kLate);
  EXPECT_VX_THROW(x.w.WriteEndDocument(), CVxException, "An Element has not been closed.");
  x.End();
  x.w.WriteEndDocument();
  EXPECT_EQ(x.Out(), "<r><a/></r>");  // nothing of the refused calls was written
  Writer t;
  t.Start("r").Text("x");
  EXPECT_VX_THROW(t.w.WriteAttribute(U("n"), U(""), U("v")), CVxException, kLate);

  Writer none;
  EXPECT_VX_THROW(none.w.WriteText(U("x")), CVxException,
                  "Text can only be written inside an open element.");
  EXPECT_VX_THROW(none.w.WriteAttribute(U("n"), U(""), U("v")), CVxException, kNoElement);
  EXPECT_VX_THROW(none.w.WriteXsiType(U(""), U("T")), CVxException, kNoElement);
  EXPECT_VX_THROW(none.w.WriteEndElement(), CVxException, "There is no open element to end.");
}

TEST(CXmlTextWriter, LongOutputCrossesChunksAndGetStringRepeats) {
  Writer x(true);
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
}

TEST(CXmlTextWriter, DeepDocumentsNeedNoRecursion) {
  const int kDepth = 100000;
  Writer x;
  for (int i = 0; i < kDepth; ++i) x.Start("e", i % 2 ? "urn:a" : "");
  for (int i = 0; i < kDepth; ++i) x.End();
  std::string out = x.Out();
  EXPECT_EQ(out.compare(0, 26, "<e><AA:e xmlns:AA=\"urn:a\">"), 0);
  // "<e>" and "</e>", "<AA:e>" and "</AA:e>", one declaration, and the
  // innermost element in its short form.
  EXPECT_EQ(out.size(), 50000u * 7 + 49999u * 13 + 7 + 17);

  Writer open;  // destroyed with every element still open: frees them all
  for (int i = 0; i < kDepth; ++i) open.Start("e");
}

TEST(CXmlWriter, CopiesTakeTheDeclarationsButNoOpenElements) {
  Writer a;
  a.w.SetDefaultNamespace(U("urn:d"));
  a.w.AddNamespace(U("p"), U("urn:p"));
  a.Start("r", "urn:d");
  ScopeProbe b;
  static_cast<CXmlWriter&>(b) = a.w;
  EXPECT_EQ(b.Current(), nullptr);
  b.SetIndent(false);
  b.WriteStartElement(U("s"), U("urn:p"));
  b.WriteEndElement();
  EXPECT_EQ(ToUtf8(b.GetString()), "<p:s xmlns=\"urn:d\" xmlns:p=\"urn:p\"/>");
  a.End();
}
