// A document read while binding: the tree that its accessors find as they
// ask for it is the tree a whole load builds, and freeing children that are
// done leaves the rest as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Bytes.h"
#include "support/Document.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// Every element as the accessors give it: name, attributes, text, where it
// stands, and what the prefixes in scope say.
std::vector<std::string> Describe(CXmlElement* root) {
  std::vector<std::string> lines;
  for (CXmlElement* e : vxtest::InOrder(root)) {
    std::string out = "{" + ToUtf8(e->GetNamespaceURI()) + "}" + ToUtf8(e->GetLocalName());
    for (const CXmlAttribute* a : e->GetAttributes())
      out += " " + ToUtf8(a->GetLocalName()) + "=" + ToUtf8(a->GetValue());
    out += " '" + ToUtf8(e->GetText()) + "' @" + std::to_string(e->GetTextPosition()) + " " +
           std::to_string(e->GetLineNumber()) + ":" + std::to_string(e->GetColumnNumber());
    String uri;
    if (e->LookupNamespaceURI(U("p"), uri)) out += " p=" + ToUtf8(uri);
    lines.push_back(out);
  }
  return lines;
}

// The first line where two descriptions differ, or "".
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) return "line " + std::to_string(i) + ": " + a[i] + " | " + b[i];
  return a.size() == b.size() ? "" : "lengths " + std::to_string(a.size()) + " " + std::to_string(b.size());
}

// Some 400 KB: nested elements, prefixes declared and undeclared along
// the way, attributes, mixed text with characters of every UTF-8 length,
// and carriage returns.
std::string Sample() {
  std::string xml = "<r xmlns='urn:r' a='1'>\r\n";
  for (int i = 0; i < 3000; ++i) {
    xml += "<s" + std::to_string(i % 3) +
           (i % 5 == 0 ? " xmlns:p='urn:p" + std::to_string(i) + "'" : "") +
           (i % 7 == 0 ? " xmlns=''" : "") + " n='" + std::to_string(i) + "'>t\xC3\xB6" +
           std::to_string(i);
    for (int j = 0; j < i % 4; ++j)
      xml += "<c>\xE2\x82\xAC<d x='\xF0\x9D\x84\x9E'/>mixed\r\ntext</c>";
    xml += "tail</s" + std::to_string(i % 3) + ">\n";
    if (i % 100 == 0)
      xml += "<deep>" + std::string(500, ' ') + "<deeper><deepest/></deeper></deep>";
  }
  return xml + "</r>";
}

}  // namespace

TEST(DocumentReadWhileBinding, TheTreeFoundOnDemandIsTheTreeLoadedWhole) {
  const std::string xml = Sample();
  ASSERT_GT(xml.size(), size_t{3} * 64 * 1024);
  const String utf16 = U(xml);
  const std::string gzip = vxtest::Deflate(xml, 31);
  for (int entry = 0; entry < 3; ++entry) {
    SCOPED_TRACE(entry);
    CXmlDocument whole, document;
    if (entry == 0) {
      whole.LoadXml(xml.c_str());
      document.BeginReadText(xml.c_str());
    }
    if (entry == 1) {
      whole.LoadXml(utf16.c_str());
      document.BeginReadText(utf16.c_str());
    }
    if (entry == 2) {
      vxtest::LoadBytes(whole, gzip);
      document.BeginReadBytes(reinterpret_cast<const unsigned char*>(gzip.data()),
                              static_cast<uint32_t>(gzip.size()));
    }
    EXPECT_EQ(FirstDifference(Describe(document.GetDocumentElement()),
                              Describe(whole.GetDocumentElement())),
              "");
    document.FinishRead();
  }
}

TEST(DocumentReadWhileBinding, FreedChildrenLeaveTheRestAndOnlyWhitespaceTextGoes) {
  CXmlDocument document;
  document.BeginReadText("<r> <a x='1'>t<z/></a>\n<b/> <c>u</c> <d/> </r>");
  CXmlElement* root = document.GetDocumentElement();
  CXmlElement* a = root->GetFirstElement();
  CXmlElement* c = a->GetNextSiblingElement()->GetNextSiblingElement();
  EXPECT_EQ(CXmlDocument::ReleaseChildren(root, nullptr, c, true), 2u);
  EXPECT_EQ(vxtest::Dump(root), "{}r[]({}c[]\"u\"{}d[])");
  // Between c and the end, once the root has ended.
  EXPECT_EQ(CXmlDocument::ReleaseChildren(root, c, nullptr, true), 1u);
  EXPECT_EQ(vxtest::Dump(root), "{}r[]({}c[]\"u\")");
  // Not a child: nothing.
  EXPECT_EQ(CXmlDocument::ReleaseChildren(root, c, a, true), 0u);
  document.FinishRead();

  // Text that is not whitespace stays, for the check of element-only content.
  document.BeginReadText("<r>x<a/><b/></r>");
  root = document.GetDocumentElement();
  CXmlElement* b = root->GetFirstElement()->GetNextSiblingElement();
  EXPECT_EQ(CXmlDocument::ReleaseChildren(root, nullptr, b, true), 1u);
  EXPECT_EQ(ToUtf8(root->GetText()), "x");

  // A tree loaded whole is never touched.
  CXmlDocument whole;
  whole.LoadXml("<r><a/><b/></r>");
  root = whole.GetDocumentElement();
  CXmlElement* second = root->GetFirstElement()->GetNextSiblingElement();
  EXPECT_EQ(CXmlDocument::ReleaseChildren(root, nullptr, second, true), 0u);
  EXPECT_EQ(vxtest::Dump(root), "{}r[]({}a[]{}b[])");
}

TEST(DocumentReadWhileBinding, FreeingAsTheWalkGoesBoundsTheTreeAndErrorsComeAtTheEnd) {
  std::string xml = "<r>\n";
  for (int i = 0; i < 200000; ++i) xml += "<item n='" + std::to_string(i) + "'>v</item>\n";
  const std::string good = xml + "</r>";
  size_t count = 0;
  {
    CXmlDocument document;
    document.BeginReadText(good.c_str());
    CXmlElement* root = document.GetDocumentElement();
    for (CXmlElement* e = root->GetFirstElement(); e != nullptr;) {
      ++count;
      CXmlElement* next = e->GetNextSiblingElement();
      CXmlDocument::ReleaseChildren(root, nullptr, next, true);
      e = next;
    }
    document.FinishRead();
  }
  EXPECT_EQ(count, 200000u);
  EXPECT_LT(CXmlDocument::GetLastTreeBytes(), size_t{512} * 1024);

  // A syntax error far on: the walk ends where the input failed, and the
  // end of the reading throws what a whole load throws.
  const std::string bad = xml + "<item></r>";
  CXmlDocument whole;
  std::string expected;
  try {
    whole.LoadXml(bad.c_str());
  } catch (const CVxException& e) {
    expected = ToUtf8(e.GetMessage());
  }
  ASSERT_NE(expected, "");
  CXmlDocument document;
  document.BeginReadText(bad.c_str());
  count = 0;
  for (CXmlElement* e = document.GetDocumentElement()->GetFirstElement(); e != nullptr;
       e = e->GetNextSiblingElement())
    ++count;
  EXPECT_EQ(count, 200001u);
  EXPECT_VX_THROW(document.FinishRead(), CVxException, expected);
}
