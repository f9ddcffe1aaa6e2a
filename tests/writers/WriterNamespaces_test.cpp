// The writer's output reads back in the namespaces it was written in: the
// declarations that names need, where they need them, and nothing else.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

const char kXsi[] = "http://www.w3.org/2001/XMLSchema-instance";
const char kXml[] = "http://www.w3.org/XML/1998/namespace";

// Exposes what the base decides for a start tag.
class Probe : public CXmlTextWriter {
 public:
  Probe() { SetIndent(false); }
  Probe& Start(const char* name, const char* uri = "") {
    WriteStartElement(U(name), U(uri));
    return *this;
  }
  Probe& Attr(const char* name, const char* uri, const char* value = "v") {
    WriteAttribute(U(name), U(uri), U(value));
    return *this;
  }
  Probe& Default(const char* uri) {
    SetDefaultNamespace(U(uri));
    return *this;
  }
  Probe& Alias(const char* prefix, const char* uri) {
    AddNamespace(U(prefix), U(uri));
    return *this;
  }
  Probe& Type(const char* uri, const char* name) {
    WriteXsiType(U(uri), U(name));
    return *this;
  }
  Probe& Text(const char* text) {
    WriteText(U(text));
    return *this;
  }
  Probe& End() {
    WriteEndElement();
    return *this;
  }
  // The open start tag's declarations as "p=uri" (default: "=uri"), one space apart.
  std::string Declarations() const {
    std::string out;
    for (size_t i = 0; i < GetDeclarationCount(); ++i)
      out += (i ? " " : "") + ToUtf8(GetDeclarationPrefix(i)) + "=" + ToUtf8(GetDeclarationUri(i));
    return out;
  }
  std::string Out() { return ToUtf8(GetString()); }
};

// The tree as one line: {ns}name[ {ns}attr=value ...]"text"(children).
std::string Dump(const CXmlElement* e) {
  std::string out = "{" + ToUtf8(e->GetNamespaceURI()) + "}" + ToUtf8(e->GetLocalName()) + "[";
  for (const CXmlAttribute* a : e->GetAttributes())
    out += " {" + ToUtf8(a->GetNamespaceURI()) + "}" + ToUtf8(a->GetLocalName()) + "=" +
           ToUtf8(a->GetValue());
  out += "]";
  if (!e->GetText().empty()) out += "\"" + ToUtf8(e->GetText()) + "\"";
  if (e->GetFirstElement() != nullptr) {
    out += "(";
    for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
      out += Dump(c);
    out += ")";
  }
  return out;
}

std::string ReadBack(const std::string& xml) {
  CXmlDocument doc;
  doc.SetStrictXml(true);
  doc.LoadXml(U(xml).c_str());
  return Dump(doc.GetDocumentElement());
}

struct Case {
  const char* what;
  std::function<void(Probe&)> write;
  const char* bytes;     // exactly what the writer writes
  const char* readBack;  // what a reader makes of it: the names as written
};

const Case kCases[] = {
    {"no namespace inside a default namespace",
     [](Probe& w) { w.Default("urn:d").Start("r", "urn:d").Start("c").End().End(); },
     R"(<r xmlns="urn:d"><c xmlns=""/></r>)", "{urn:d}r[]({}c[])"},
    {"a default namespace set inside an element, and the end tag of that element",
     [](Probe& w) {
       w.Default("urn:d").Start("r", "urn:d").Default("urn:p").Start("e", "urn:p").End();
       w.Start("f", "urn:p").Start("g", "urn:p").End().End().Text("t").End();
     },
     R"(<r xmlns="urn:d"><e xmlns="urn:p"/><f xmlns="urn:p"><g/></f>t</r>)",
     "{urn:d}r[]\"t\"({urn:p}e[]{urn:p}f[]({urn:p}g[]))"},
    {"a prefix added inside an element is declared by each name that needs it",
     [](Probe& w) {
       w.Start("r").Alias("p", "urn:p").Start("c", "urn:p").Attr("a", "urn:p");
       w.Start("d", "urn:p").End().End().Start("c", "urn:p").End().End();
     },
     R"(<r><p:c xmlns:p="urn:p" p:a="v"><p:d/></p:c><p:c xmlns:p="urn:p"/></r>)",
     "{}r[]({urn:p}c[ {urn:p}a=v]({urn:p}d[]){urn:p}c[])"},
    {"a root without namespace does not declare the default namespace",
     [](Probe& w) {
       w.Default("urn:d").Start("r").Start("a", "urn:d").Start("b", "urn:d").End().End();
       w.Start("c").End().End();
     },
     R"(<r><a xmlns="urn:d"><b/></a><c/></r>)", "{}r[]({urn:d}a[]({urn:d}b[]){}c[])"},
    {"aliases that share a prefix are declared where needed, never twice on a tag",
     [](Probe& w) {
       w.Alias("p", "urn:1").Alias("p", "urn:2").Alias("q", "urn:3");
       w.Start("r").Start("a", "urn:1").End().Start("b", "urn:2").Attr("x", "urn:1").End().End();
     },
     R"(<r xmlns:q="urn:3"><p:a xmlns:p="urn:1"/>)"
     R"(<p:b xmlns:p="urn:2" xmlns:AA="urn:1" AA:x="v"/></r>)",
     "{}r[]({urn:1}a[]{urn:2}b[ {urn:1}x=v])"},
    {"a prefix rebound while the tag that uses it is open gets a stand-in",
     [](Probe& w) {
       w.Alias("p", "urn:1").Start("r", "urn:1").Start("c", "urn:1");
       w.Alias("p", "urn:2").Attr("x", "urn:2").Attr("y", "urn:2").Start("d", "urn:2").End();
       w.End().End();
     },
     R"(<p:r xmlns:p="urn:1"><p:c xmlns:AA="urn:2" AA:x="v" AA:y="v">)"
     R"(<p:d xmlns:p="urn:2"/></p:c></p:r>)",
     "{urn:1}r[]({urn:1}c[ {urn:2}x=v {urn:2}y=v]({urn:2}d[]))"},
    {"the end tag repeats the start tag's prefix",
     [](Probe& w) { w.Start("r", "urn:a").Alias("q", "urn:a").Text("t").End(); },
     R"(<AA:r xmlns:AA="urn:a">t</AA:r>)", "{urn:a}r[]\"t\""},
    {"xsi:type with a prefix added inside the element",
     [](Probe& w) { w.Start("r").Alias("t", "urn:t").Type("urn:t", "T").End(); },
     R"(<r xmlns:t="urn:t"  xmlns:AA="http://www.w3.org/2001/XMLSchema-instance" AA:type="t:T"/>)",
     "{}r[ {http://www.w3.org/2001/XMLSchema-instance}type=t:T]"},
    {"the xml prefix needs no declaration",
     [](Probe& w) { w.Start("r").Attr("lang", kXml, "en").End(); }, R"(<r xml:lang="en"/>)",
     "{}r[ {http://www.w3.org/XML/1998/namespace}lang=en]"},
    {"an alias of no namespace is not declared",
     [](Probe& w) { w.Alias("p", "").Alias("q", "urn:q").Start("r").End(); },
     R"(<r xmlns:q="urn:q"/>)", "{}r[]"},
    {"namespace URIs are escaped",
     [](Probe& w) { w.Alias("p", "urn:a&b<c>\"d'").Start("r", "urn:a&b<c>\"d'").End(); },
     R"(<p:r xmlns:p="urn:a&amp;b&lt;c&gt;&quot;d'"/>)", "{urn:a&b<c>\"d'}r[]"},
    {"declarations end with their element",
     [](Probe& w) {
       w.Default("urn:d").Start("r", "urn:d").Start("a").Start("b", "urn:d").End().End();
       w.Start("c", "urn:d").End().Default("urn:x").Start("e", "urn:x").End().End();
     },
     R"(<r xmlns="urn:d"><a xmlns=""><b xmlns="urn:d"/></a><c/><e xmlns="urn:x"/></r>)",
     "{urn:d}r[]({}a[]({urn:d}b[]){urn:d}c[]{urn:x}e[])"},
};

}  // namespace

TEST(CXmlWriterNamespaces, DeclaresWhatNamesNeedAndReadsBack) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Probe w;
    c.write(w);
    std::string out = w.Out();
    EXPECT_EQ(out, c.bytes);
    EXPECT_EQ(ReadBack(out), c.readBack);
  }
}

TEST(CXmlWriterNamespaces, TheBaseListsTheDeclarationsOfTheOpenStartTag) {
  Probe w;
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
  w.End();
  EXPECT_EQ(w.Out(),
            R"(<AB:root xmlns:AB="urn:c" xmlns="urn:d" xmlns:AA="urn:a" xmlns:q="urn:b" )"
            R"(xmlns:AC="urn:x" AC:x="v"><q:e><f xmlns=""/></q:e></AB:root>)");
}

TEST(CXmlWriterNamespaces, DeepRebindingNeedsNoRecursionAndStaysLinear) {
  // Every level binds the default namespace anew; each end takes its
  // declaration out of force again.
  const int kDepth = 100000;
  Probe w;
  w.Default("urn:0").Start("e", "urn:0");
  for (int i = 1; i < kDepth; ++i) {
    const char* uri = i % 2 ? "urn:1" : "urn:0";
    w.Default(uri).Start("e", uri);
  }
  for (int i = 0; i < kDepth; ++i) w.End();
  std::string out = w.Out();
  EXPECT_EQ(out.compare(0, 45, R"(<e xmlns="urn:0"><e xmlns="urn:1"><e xmlns="u)"), 0);
  CXmlDocument doc;
  doc.SetStrictXml(true);
  doc.LoadXml(out.c_str());
  int depth = 0;
  for (const CXmlElement* e = doc.GetDocumentElement(); e; e = e->GetFirstElement(), ++depth)
    ASSERT_EQ(ToUtf8(e->GetNamespaceURI()), depth % 2 ? "urn:1" : "urn:0");
  EXPECT_EQ(depth, kDepth);
}
