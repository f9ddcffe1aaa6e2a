#include "vxbind/document/XmlDocument.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/Bytes.h"
#include "support/Document.h"
#include "support/Text.h"
#include "vxbind/writers/FastInfosetWriter.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::Deflate;
using vxtest::Dump;
using vxtest::InOrder;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

std::string Load8(const std::string& xml) {
  CXmlDocument doc;
  doc.LoadXml(xml.c_str());
  return Dump(doc.GetDocumentElement());
}

std::string LoadBytes(std::string bytes) {
  CXmlDocument doc;
  vxtest::LoadBytes(doc, std::move(bytes));
  return Dump(doc.GetDocumentElement());
}

const char kSample[] =
    "<?xml version='1.0'?>\n"
    "<!-- comment --><r:root xmlns:r='urn:r' xmlns='urn:d' id='7' r:kind='x'>"
    "<item n='1'>caf\xC3\xA9</item><?pi data?><item n='2'/>tail</r:root>";
const char kSampleDump[] =
    "{urn:r}root[ {}id=7 {urn:r}kind=x]\"tail\"({urn:d}item[ {}n=1]\"caf\xC3\xA9\""
    "{urn:d}item[ {}n=2])";

// The tree with each element's text put back between its children by their
// text positions: {text}<name>...</name>{text}. Recursive: shallow trees.
std::string Interleaved(const CXmlElement* e) {
  std::string out = "<" + ToUtf8(e->GetLocalName()) + ">";
  const CXmlElement* previous = nullptr;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    out += ToUtf8(e->GetTextBetween(previous, c)) + Interleaved(c);
    previous = c;
  }
  size_t length;
  const unsigned short* rest = e->GetTextRunData(previous, nullptr, length);
  return out + ToUtf8(String(rest, length)) + "</" + ToUtf8(e->GetLocalName()) + ">";
}

}  // namespace

TEST(CXmlDocument, EveryInputPathBuildsTheSameTree) {
  const std::string xml = kSample;
  EXPECT_EQ(Load8(xml), kSampleDump);
  CXmlDocument doc;
  doc.LoadXml(U(xml).c_str());
  EXPECT_EQ(Dump(doc.GetDocumentElement()), kSampleDump);
  // Plain, gzip and zlib bytes, in memory and from a file.
  const std::string path = vxtest::TempPath("doc_sample.xml");
  for (const std::string& bytes : {xml, Deflate(xml, 31), Deflate(xml, 15)}) {
    EXPECT_EQ(LoadBytes(bytes), kSampleDump);
    ASSERT_TRUE(vxtest::WriteFileBytes(path, bytes));
    doc.Load(U(path).c_str());
    EXPECT_EQ(Dump(doc.GetDocumentElement()), kSampleDump);
  }
  std::remove(path.c_str());
  // Compressed input larger than one 64 KiB inflate piece.
  std::string big = "<r>";
  for (int i = 0; i < 20000; ++i) big += "<i>" + std::to_string(i) + "</i>";
  EXPECT_EQ(LoadBytes(Deflate(big + "</r>", 31)), LoadBytes(big + "</r>"));
}

TEST(CXmlDocument, BadInputThrowsExactMessages) {
  const std::pair<const char*, const char*> kText[] = {
      {"<a>\n<b></a>", "mismatched tag at line 2"},
      {"<?xml version='1.0' encoding='x-unknown'?><a/>", "unknown encoding at line 1"},
      {"", "XML String is empty!"},
      {" \n\t ", "Invalid or empty XML document"},
      {"<?xml version='1.0'?><!-- c -->", "Invalid or empty XML document"},
  };
  CXmlDocument doc;
  for (const auto& [text, message] : kText)
    EXPECT_VX_THROW(doc.LoadXml(text), CVxException, message);
  EXPECT_EQ(doc.GetDocumentElement(), nullptr);  // after a document with no element
  EXPECT_VX_THROW(doc.LoadXml(VX_T("")), CVxException, "XML String is empty!");
  unsigned char byte = '<';
  EXPECT_VX_THROW(doc.LoadXmlStream(&byte, 0), CVxException, "XML Stream is empty!");
  EXPECT_VX_THROW(doc.Load(VX_T("/nonexistent/dir/x.xml")), CVxException,
                  "Failed to open the file [/nonexistent/dir/x.xml] Error [0x00000002]");
  EXPECT_VX_THROW(doc.Load(VX_T("/")), CVxException,
                  "Failed to read the contents of the file [/] Error [0x00000015]");
  // Garbage, a NUL byte, and damaged compressed data (parsed as it stands,
  // since it does not inflate to the end).
  std::string gz = Deflate(kSample, 31), damaged = gz;
  damaged[gz.size() / 2] = static_cast<char>(gz[gz.size() / 2] ^ 0x55);
  for (const std::string& bytes : {std::string("\x01\x02\xff\xfe\x03", 5),
                                   std::string("<a>x\0y</a>", 10), gz.substr(0, gz.size() / 2),
                                   damaged})
    EXPECT_VX_THROW(LoadBytes(bytes), CVxException, "not well-formed (invalid token) at line 1");
}

TEST(CXmlDocument, StrictRefusesTruncatedInputAndJunkOnEveryPath) {
  const char kEnds[] = "The document ends before its root element is closed at line ";
  struct Case {
    std::string text;
    std::string strict;  // the message in strict mode; "" = read
    const char* lax;     // the tree without it; nullptr = the same message
  };
  const Case cases[] = {
      {"<a><b>te", kEnds + std::string("1"), "{}a[]({}b[]\"te\")"},
      {"<a>\n<b>text</b", kEnds + std::string("2"), "{}a[]\"\n\"({}b[]\"text\")"},
      {"<a><![CDATA[x", kEnds + std::string("1"), "{}a[]\"x\""},
      {"<a>&am", kEnds + std::string("1"), "{}a[]"},
      {std::string("<a>x\0</a>", 9), kEnds + std::string("1"), "{}a[]\"x\""},
      {"<a/> \n<", "unclosed token at line 2", "{}a[]"},
      {"<a/><!-- c", "unclosed token at line 1", "{}a[]"},
      {"<a/>x", "junk after document element at line 1", nullptr},
      {"<a/>\n<b/>", "junk after document element at line 2", nullptr},
      {"<a", "Invalid or empty XML document", nullptr},
      {"<a/><!--c--><?pi x?> \n", "", "{}a[]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    // 8-bit text (up to its NUL), UTF-16 text, bytes, and gzip bytes.
    const std::string text = c.text.substr(0, c.text.find('\0'));
    const std::function<void(CXmlDocument&)> loads[] = {
        [&](CXmlDocument& d) { d.LoadXml(c.text.c_str()); },
        [&](CXmlDocument& d) { d.LoadXml(U(text).c_str()); },
        [&](CXmlDocument& d) { vxtest::LoadBytes(d, text); },
        [&](CXmlDocument& d) { vxtest::LoadBytes(d, Deflate(text, 31)); },
    };
    for (const auto& load : loads) {
      CXmlDocument strict, lax;
      strict.SetStrictXml(true);
      if (c.strict.empty()) {
        load(strict);
      } else {
        EXPECT_VX_THROW(load(strict), CVxException, c.strict);
      }
      if (c.lax == nullptr) {
        EXPECT_VX_THROW(load(lax), CVxException, c.strict);
      } else {
        load(lax);
        EXPECT_EQ(Dump(lax.GetDocumentElement()), c.lax);
      }
    }
  }
}

TEST(CXmlDocument, ReadsUtf8Utf16AndLatin1Input) {
  const char* body = "<a v='\xC3\xA9\xE2\x82\xAC'>\xC3\xA9\xF0\x9D\x84\x9E</a>";
  const char* expected = "{}a[ {}v=\xC3\xA9\xE2\x82\xAC]\"\xC3\xA9\xF0\x9D\x84\x9E\"";
  EXPECT_EQ(Load8(body), expected);
  EXPECT_EQ(Load8(std::string("\xEF\xBB\xBF") + body), expected);
  // UTF-16 with BOM, both byte orders.
  std::string le("\xFF\xFE", 2), be("\xFE\xFF", 2);
  for (unsigned short u : U(std::string("<?xml version='1.0' encoding='UTF-16'?>") + body)) {
    le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  }
  EXPECT_EQ(LoadBytes(le), expected);
  EXPECT_EQ(LoadBytes(be), expected);
  EXPECT_EQ(Load8("<?xml version='1.0' encoding='ISO-8859-1'?><a v='\xE9'>\xE9\xFF</a>"),
            "{}a[ {}v=\xC3\xA9]\"\xC3\xA9\xC3\xBF\"");
}

namespace {

// What `prefix` is bound to at `e`, as "uri", or "-" when it is not bound.
std::string Bound(const CXmlElement* e, const char* prefix) {
  String uri = U("unchanged");
  if (!e->LookupNamespaceURI(U(prefix), uri)) return ToUtf8(uri) == "unchanged" ? "-" : "touched";
  return ToUtf8(uri);
}

}  // namespace

TEST(CXmlDocument, NamespacesResolveIntoAFlatPrefixMapUnlessTurnedOff) {
  CXmlDocument doc;
  doc.LoadXml(
      "<p:a xmlns:p='urn:p' p:x='1' y='2' xmlns='urn:a'>"
      "<b xmlns:p='urn:p2'/><c xmlns=''/><p:d xml:lang='en'/></p:a>");
  EXPECT_EQ(Dump(doc.GetDocumentElement()),
            "{urn:p}a[ {urn:p}x=1 {}y=2]({urn:a}b[]{}c[]"
            "{urn:p}d[ {http://www.w3.org/XML/1998/namespace}lang=en])");
  // Attribute values are returned by reference to the tree's own storage.
  const CXmlElement* root = doc.GetDocumentElement();
  EXPECT_EQ(&root->GetAttribute(U("y"), U("")), &root->GetAttributes()[1]->GetValue());
  EXPECT_EQ(ToUtf8(root->GetAttribute(U("x"), U(""))), "");
  EXPECT_EQ(root->GetDocument(), &doc);
  // Flat map: the declaration read last wins; an undeclaration maps to "".
  EXPECT_EQ(ToUtf8(doc.LookupNamespaceFromAlias(VX_T("p"))), "urn:p2");
  EXPECT_EQ(ToUtf8(doc.LookupNamespaceFromAlias(VX_T(""))), "");
  EXPECT_EQ(ToUtf8(doc.LookupNamespaceFromAlias(VX_T("zz"))), "");
  doc.LoadXml("<a xmlns='urn:a'><b/></a>");
  EXPECT_EQ(ToUtf8(doc.LookupNamespaceFromAlias(VX_T(""))), "urn:a");
  EXPECT_EQ(ToUtf8(doc.LookupNamespaceFromAlias(VX_T("p"))), "");  // the first load is gone

  // Without namespace processing names stay qualified and declarations are attributes.
  CXmlDocument plain(SchemaType_NoNamespaces);
  plain.LoadXml("<p:a xmlns:p='urn:p' p:x='1'><p:b/></p:a>");
  EXPECT_EQ(Dump(plain.GetDocumentElement()),
            "{}p:a[ {}xmlns:p=urn:p {}p:x=1]({}p:b[])");
  EXPECT_EQ(ToUtf8(plain.LookupNamespaceFromAlias(VX_T("p"))), "");
  for (const CXmlElement* e : InOrder(plain.GetDocumentElement()))
    for (const char* prefix : {"p", "", "xml"}) EXPECT_EQ(Bound(e, prefix), "-") << prefix;
}

TEST(CXmlElement, RandomDeclarationsResolveLikeAScopeStack) {
  // Random trees with random declarations, rebindings and undeclarations of
  // a few prefixes, against the stack of scopes kept while writing them.
  using Scope = std::map<std::string, std::string>;
  const char* const kPrefixes[] = {"", "a", "b", "c"};
  std::mt19937 rng(99);
  for (int round = 0; round < 200; ++round) {
    std::string xml;
    std::vector<Scope> open, expected;  // of the open elements; of all, in document order
    for (int n = 0; n < 60 && (n == 0 || !open.empty());) {
      if (!open.empty() && rng() % 3 == 0) {
        xml += "</e>";
        open.pop_back();
        continue;
      }
      Scope scope = open.empty() ? Scope() : open.back();
      xml += "<e";
      for (const char* prefix : kPrefixes) {
        if (rng() % 4 != 0) continue;
        std::string uri = "urn:" + std::to_string(rng() % 3);
        if (*prefix == '\0' && rng() % 4 == 0) uri.clear();
        xml += (*prefix ? std::string(" xmlns:") + prefix : " xmlns") + "='" + uri + "'";
        scope[prefix] = uri;
      }
      xml += ">";
      open.push_back(scope);
      expected.push_back(scope);
      ++n;
    }
    for (; !open.empty(); open.pop_back()) xml += "</e>";
    SCOPED_TRACE(xml);
    CXmlDocument doc;
    doc.LoadXml(xml.c_str());
    std::vector<CXmlElement*> elements = InOrder(doc.GetDocumentElement());
    ASSERT_EQ(elements.size(), expected.size());
    for (size_t i = 0; i < elements.size(); ++i) {
      for (const char* prefix : kPrefixes) {
        auto it = expected[i].find(prefix);
        std::string uri = it == expected[i].end() || it->second.empty() ? "-" : it->second;
        ASSERT_EQ(Bound(elements[i], prefix), uri) << "element " << i << " prefix " << prefix;
      }
      ASSERT_EQ(Bound(elements[i], "xml"), "http://www.w3.org/XML/1998/namespace");
    }
  }
}

TEST(CXmlElement, LookupsInADeepDocumentDoNotWalkTheDepth) {
  // Every level declares a prefix of its own and rebinds "p"; a lookup at
  // each level, of "p" and of a prefix declared nowhere, must not cost the
  // depth. The flat document with as many declarations reads the same.
  constexpr int kLevels = 100000;
  std::string deep, flat = "<r>";
  for (int i = 0; i < kLevels; ++i) {
    std::string declarations = " xmlns:q" + std::to_string(i) + "='urn:q' xmlns:p='urn:" +
                               std::to_string(i % 10) + "'";
    deep += "<e" + declarations + ">";
    flat += "<e" + declarations + "/>";
  }
  for (int i = 0; i < kLevels; ++i) deep += "</e>";
  flat += "</r>";
  // A lookup that walked the ancestors would make the deep walk quadratic and
  // run into the test's time limit.
  auto lookUpEverywhere = [&](const std::string& xml, bool nested) {
    CXmlDocument doc;
    doc.LoadXml(xml.c_str());
    const CXmlElement* e =
        nested ? doc.GetDocumentElement() : doc.GetDocumentElement()->GetFirstElement();
    String p = U("p"), none = U("none"), uri;
    int i = 0;
    for (; e != nullptr; ++i) {
      ASSERT_TRUE(e->LookupNamespaceURI(p, uri));
      ASSERT_EQ(ToUtf8(uri), "urn:" + std::to_string(i % 10));
      ASSERT_FALSE(e->LookupNamespaceURI(none, uri));
      e = nested ? e->GetFirstElement() : e->GetNextSiblingElement();
    }
    EXPECT_EQ(i, kLevels);
  };
  lookUpEverywhere(flat, false);
  lookUpEverywhere(deep, true);
}

TEST(CXmlAttribute, RecognisesSchemaInstanceAttributesOnlyWithNamespaces) {
  for (SchemaType type : {SchemaType_Default, SchemaType_NoNamespaces}) {
    CXmlDocument doc(type);
    doc.LoadXml(
        "<a xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' xmlns:o='urn:o' xsi:type='t' "
        "xsi:schemaLocation='s' xsi:noNamespaceSchemaLocation='n' xsi:nil='true' o:type='x' "
        "type='y'/>");
    std::string flagged;
    for (const CXmlAttribute* attribute : doc.GetDocumentElement()->GetAttributes())
      if (attribute->IsNamespaceAttribute()) flagged += ToUtf8(attribute->GetLocalName()) + " ";
    EXPECT_EQ(flagged, type == SchemaType_Default ? "type schemaLocation noNamespaceSchemaLocation "
                                                  : "");
  }
}

TEST(CXmlDocument, TextIsConcatenatedAcrossCallbacksWithoutCarriageReturns) {
  EXPECT_EQ(Load8("<a>a&#13;\r\nb</a>"), "{}a[]\"a\nb\"");
  EXPECT_EQ(Load8("<p>x<b>in</b>y<![CDATA[<z>]]></p>"), "{}p[]\"xy<z>\"({}b[]\"in\")");
  // Entities, character references and line ends make Expat split the text
  // into many callbacks; the parent's text also grows between children.
  std::string xml = "<r>", children, parentText;
  for (int i = 0; i < 3000; ++i) {
    std::string n = std::to_string(i);
    xml += "<c>" + n + "&amp;&#x20AC;\n&lt;" + n + "</c>\n  ";
    children += "{}c[]\"" + n + "&\xE2\x82\xAC\n<" + n + "\"";
    parentText += "\n  ";
  }
  EXPECT_EQ(Load8(xml + "</r>"), "{}r[]\"" + parentText + "\"(" + children + ")");
  // Text larger than a storage page, in one element.
  std::string huge(300000, 'q');
  huge[1000] = '\n';
  EXPECT_EQ(Load8("<a>" + huge + "</a>"), "{}a[]\"" + huge + "\"");
}

TEST(CXmlDocument, MillionLevelsDeepReadsAndIsDestroyedWithoutRecursion) {
  constexpr int kDepth = 1000000;
  std::string xml;
  for (int i = 0; i < kDepth; ++i) xml += "<a>";
  xml += "x";
  for (int i = 0; i < kDepth; ++i) xml += "</a>";
  CXmlDocument doc;
  doc.LoadXml(xml.c_str());
  const CXmlElement* e = doc.GetDocumentElement();
  int depth = 1;
  for (; e->GetFirstElement(); e = e->GetFirstElement()) ++depth;
  EXPECT_EQ(depth, kDepth);
  EXPECT_EQ(ToUtf8(e->GetText()), "x");
}

TEST(CXmlDocument, DecompressionBombsAreRefusedButLargeOrdinaryInputIsRead) {
  // 80 MB of one character packs into a few hundred kilobytes: refused.
  std::string bomb = "<a>" + std::string(80u << 20, 'x') + "</a>";
  EXPECT_VX_THROW(LoadBytes(Deflate(bomb, 31, Z_RLE)), CVxException,
                  "Compressed input expands to more than 256 times its size; it is not read");
  // Below the 64 MiB activation threshold any ratio is accepted.
  std::string big = "<a>" + std::string(60u << 20, 'x') + "</a>";
  CXmlDocument doc;
  vxtest::LoadBytes(doc, Deflate(big, 31, Z_RLE));
  EXPECT_EQ(doc.GetDocumentElement()->GetText().size(), 60u << 20);
}

TEST(CXmlDocument, BillionLaughsIsStoppedByExpat) {
  std::string xml = "<?xml version='1.0'?>\n<!DOCTYPE l [\n<!ENTITY l0 'ha'>\n";
  for (int i = 1; i <= 9; ++i) {
    xml += "<!ENTITY l" + std::to_string(i) + " '";
    for (int k = 0; k < 10; ++k) xml += "&l" + std::to_string(i - 1) + ";";
    xml += "'>\n";
  }
  CXmlDocument doc;
  EXPECT_VX_THROW(doc.LoadXml((xml + "]>\n<l>&l9;</l>").c_str()), CVxException,
                  "limit on input amplification factor (from DTD and entities) breached at "
                  "line 14");
}

// Mixed content: both readers record where each element stood in its
// parent's text, so the text reads back in place; the writers put runs
// handed to them (SetMixedRuns) before the children they belong to.
TEST(CXmlElement, TextPositionsKeepMixedContentInPlaceOnBothReaders) {
  const char* xml =
      "<p>Click <b>here &amp; <i>now</i></b><![CDATA[ or ]]>\r\n<br/><br/>"
      "<i>there</i>, done.</p>";
  const std::string expected =
      "<p>Click <b>here & <i>now</i></b> or \n<br></br><br></br><i>there</i>, done.</p>";
  CXmlDocument text;
  text.LoadXml(xml);
  const CXmlElement* p = text.GetDocumentElement();
  EXPECT_EQ(Interleaved(p), expected);
  EXPECT_EQ(ToUtf8(p->GetText()), "Click  or \n, done.");  // as it always was
  EXPECT_EQ(p->GetTextPosition(), 0u);
  // Runs between siblings that are not neighbours, and mixed-up arguments
  // (another element's child, children in the wrong order): never outside.
  const CXmlElement* b = p->GetFirstElement();
  const CXmlElement* last = b->GetNextSiblingElement()->GetNextSiblingElement()->GetNextSiblingElement();
  EXPECT_EQ(ToUtf8(p->GetTextBetween(b, last)), " or \n");
  EXPECT_EQ(ToUtf8(p->GetTextBetween(last, b)), "");
  EXPECT_EQ(ToUtf8(b->GetTextBetween(nullptr, last)), "here & ");

  // The same content through both writers, the runs handed over as a mixed
  // object does; the Fast Infoset reader places the text the same way.
  const std::vector<String> runs = {U("Click "), U(" or \n"), String(), String(),
                                    U(", done.")};
  auto write = [&](CXmlWriter& w) {
    w.WriteStartElement(U("p"), String());
    w.SetMixedRuns(runs.data(), runs.size());
    w.WriteStartElement(U("b"), String());
    w.WriteStartElement(U("i"), String());  // b has no runs: its text goes last
    w.WriteText(U("now"));
    w.WriteEndElement();
    w.WriteText(U("here & "));
    w.WriteEndElement();
    for (const char* name : {"br", "br", "i"}) {
      w.WriteStartElement(U(name), String());
      if (*name == 'i') w.WriteText(U("there"));
      w.WriteEndElement();
    }
    w.WriteEndElement();
    w.WriteEndDocument();
  };
  const std::string rewritten =
      "<p>Click <b><i>now</i>here & </b> or \n<br></br><br></br><i>there</i>, done.</p>";
  CXmlTextWriter textWriter;
  textWriter.SetIndent(false);
  write(textWriter);
  CXmlDocument fromText;
  fromText.LoadXml(textWriter.GetString().c_str());
  EXPECT_EQ(Interleaved(fromText.GetDocumentElement()), rewritten);
  CFastInfosetWriter fiWriter;
  fiWriter.WriteStartDocument(FInfoDecl_None);
  write(fiWriter);
  CBinaryData fi = fiWriter.GetBinaryData();
  CXmlDocument fromFi;
  fromFi.LoadXmlStream(const_cast<unsigned char*>(fi.GetData()), fi.GetLength());
  EXPECT_EQ(Interleaved(fromFi.GetDocumentElement()), rewritten);

  // Fewer children than runs: what is left goes before the end tag.
  CXmlTextWriter shortWriter;
  shortWriter.SetIndent(false);
  shortWriter.WriteStartElement(U("p"), String());
  shortWriter.SetMixedRuns(runs.data(), runs.size());
  shortWriter.WriteStartElement(U("b"), String());
  shortWriter.WriteEndElement();
  shortWriter.WriteEndElement();
  EXPECT_EQ(ToUtf8(shortWriter.GetString()), "<p>Click <b/> or \n, done.</p>");
}
