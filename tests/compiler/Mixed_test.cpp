// Mixed content with child elements, bound by the classes generated from
// data/mixed.xsd: the text runs stay in place through reading and writing,
// whichever member, choice or group holds the children, in derived types
// and in untyped content; the ordered-content view; objects built in code.
#include "mixed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GeneratedTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

const char kDoc[] =
    "<m:doc xmlns:m='urn:vxbind:mixed' xmlns:o='urn:other'>\n"
    "  <m:source id='1'>Click <m:g id='a'>the <m:x id='b'/> button</m:g> or "
    "<m:ph>%s</m:ph><o:img src='i.png'/> now.</m:source>\n"
    "  <m:source>No markup.</m:source>\n"
    "  <m:source><m:ph>only</m:ph></m:source>\n"
    "  <m:para>Before <m:title>T</m:title> middle <m:i>it</m:i> end</m:para>\n"
    "  <m:Note><m:title>N</m:title> by <m:author>me</m:author>.</m:Note>\n"
    "  <m:extra>pre <a>x <b/> y</a> post<c/></m:extra>\n"
    "</m:doc>";

std::string Runs(const CXmlGeneratedClass& object) {
  std::string out;
  for (const String& run : object.GetMixedRuns()) out += "[" + U8(run) + "]";
  return out;
}

// The object as XML text without indentation, with m: for the schema's
// namespace.
std::string Written(CXmlObjectBase* object, bool indent = false) {
  CXmlSerializationContext context;
  context.GetNamespaceAliases().Add(VX_T("m"), VX_T("urn:vxbind:mixed"));
  context.GetNamespaceAliases().Add(VX_T("o"), VX_T("urn:other"));
  return U8(object->ToXml(false, indent, EOLType_LF, context));
}

// What follows the start tag (and its namespace declarations).
std::string Body(CXmlObjectBase* object) {
  std::string written = Written(object);
  return written.substr(written.find('>') + 1);
}

// The ordered content in one line: text runs as they are, child elements
// as {name}, with =value for values and * when an object wrote them.
std::string Content(const CXmlGeneratedClass& object) {
  std::string out;
  for (const CMixedContentItem& item : object.GetMixedContent()) {
    if (item.isText) {
      out += "'" + U8(item.text) + "'";
      continue;
    }
    out += "{" + U8(item.localName) + "}";
    if (!item.text.empty()) out += "=" + U8(item.text);
    if (item.object != nullptr) out += "*";
  }
  return out;
}

TEST(GeneratedMixed, TextStaysInPlaceThroughChoicesGroupsDerivationsAndUntypedContent) {
  CSmartPtr<Mixed::CDoc> doc = ReadAs<Mixed::CDoc>(kDoc);
  ASSERT_NE(doc->GetNote(), nullptr);
  CSmartPtr<Mixed::CInline> first = doc->GetSource()->Item(0);
  // Run k before child k, whichever choice object holds the child.
  EXPECT_EQ(Runs(*first), "[Click ][ or ][][ now.]");
  EXPECT_EQ(U8(first->GetText()), "Click  or  now.");  // the text, joined
  EXPECT_EQ(Runs(*first->GetChoice()->Item(0)->GetG()), "[the ][ button]");
  EXPECT_EQ(Runs(*doc->GetSource()->Item(1)), "");  // no children: the text says it all
  EXPECT_EQ(Runs(*doc->GetPara()), "[Before ][ middle ][ end]");
  EXPECT_EQ(Runs(*doc->GetNote()), "[][ by ][.]");  // a derived type, mixed by its base
  EXPECT_EQ(doc->GetExtra()->GetChildElements()->Item(0)->GetTextPosition(), 4u);

  // Written back, indented or not, every run is where it was: the copy
  // reads back into the same runs, not a blank more.
  for (bool indent : {false, true}) {
    std::string written = Written(doc, indent);
    EXPECT_EQ(TreeDifference(kDoc, Utf16::FromUtf8(written)), "") << written;
    CSmartPtr<Mixed::CDoc> again = ReadAs<Mixed::CDoc>(written);
    EXPECT_EQ(Runs(*again->GetSource()->Item(0)), Runs(*first)) << written;
    EXPECT_EQ(Runs(*again->GetNote()), "[][ by ][.]") << written;
    EXPECT_EQ(U8(again->GetExtra()->GetText()), "pre  post");
    EXPECT_NE(written.find("<m:extra>pre <a>x <b/> y</a> post<c/></m:extra>"), std::string::npos)
        << written;
  }
  EXPECT_NE(Written(first).find("Click <m:g id=\"a\">the <m:x id=\"b\"/> button</m:g> or "
                                "<m:ph>%s</m:ph><o:img"),
            std::string::npos)
      << Written(first);

  // The ordered content, as JAXB's mixed list gives it.
  EXPECT_EQ(Content(*first), "'Click '{g}*' or '{ph}=%s{img}*' now.'");
  EXPECT_EQ(Content(*doc->GetNote()), "{title}=N' by '{author}=me'.'");
  const CMixedContentItem img = first->GetMixedContent()[4];
  EXPECT_EQ(U8(img.namespaceUri), "urn:other");
  EXPECT_EQ(U8(dynamic_cast<CElement*>(img.object.get())->GetAttributes()->Item(0)->GetValue()),
            "i.png");

  // Text set since reading replaces the runs: it goes after the children,
  // as for any object whose runs do not add up to its text.
  first->SetText(VX_T("all new"));
  EXPECT_EQ(TreeDifference("<m:source xmlns:m='urn:vxbind:mixed' xmlns:o='urn:other' id='1'>"
                           "<m:g id='a'>the <m:x id='b'/> button</m:g><m:ph>%s</m:ph>"
                           "<o:img src='i.png'/>all new</m:source>",
                           first->ToXml()),
            "");
}

TEST(GeneratedMixed, ObjectsBuiltInCodeWriteTheirRunsInPlace) {
  CSmartPtr<Mixed::CInline> source = new Mixed::CInline(VX_T("source"));
  source->GetChoice()->Add()->SetPh(VX_T("%d"));
  CSmartPtr<Mixed::CInline> bold = new Mixed::CInline(VX_T("g"));
  bold->AppendMixedRun(VX_T("new"));
  source->GetChoice()->Add()->SetG(bold);
  // Without runs: the text after the children, as always.
  source->SetText(VX_T("text"));
  EXPECT_EQ(Body(source), "<m:ph>%d</m:ph><m:g>new</m:g>text</m:source>");
  source->SetMixedRuns({VX_T("You have "), VX_T(" "), VX_T(" items")});
  EXPECT_EQ(U8(source->GetText()), "You have   items");
  EXPECT_EQ(Body(source), "You have <m:ph>%d</m:ph> <m:g>new</m:g> items</m:source>");
  // Runs by index, the ones before made empty; more runs than children go
  // before the end tag.
  source->SetMixedRun(4, VX_T("!"));
  EXPECT_EQ(Body(source), "You have <m:ph>%d</m:ph> <m:g>new</m:g> items!</m:source>");
  EXPECT_EQ(Content(*source), "'You have '{ph}=%d' '{g}*' items!'");
  // A copy keeps the runs; clearing them brings back the text at the end.
  CSmartPtr<Mixed::CInline> copy = new Mixed::CInline(*source);
  source->ClearMixedRuns();
  EXPECT_EQ(Runs(*copy), "[You have ][ ][ items][][!]");
  EXPECT_EQ(Body(source), "<m:ph>%d</m:ph><m:g>new</m:g>You have   items!</m:source>");
}

TEST(GeneratedMixed, ChildrenSkippedOnReadingKeepTheTextWhole) {
  // An unknown child that the context lets pass is not written back: the
  // runs no longer line up with the children, but no text is lost.
  CXmlSerializationContext context;
  context.SetIgnoreUnknownElements(true);
  CSmartPtr<Mixed::CInline> source = new Mixed::CInline(VX_T("source"));
  source->FromXml("<m:source xmlns:m='urn:vxbind:mixed'>a<m:ph>p</m:ph>b<m:zz>q</m:zz>c"
                  "</m:source>",
                  context);
  EXPECT_EQ(Runs(*source), "[a][b][c]");
  CSmartPtr<Mixed::CInline> again = ReadAs<Mixed::CInline>(Written(source));
  EXPECT_EQ(Body(source), "a<m:ph>p</m:ph>bc</m:source>");
  EXPECT_EQ(U8(again->GetText()), "abc");
  EXPECT_EQ(U8(again->GetChoice()->Item(0)->GetPh()), "p");
}

}  // namespace
