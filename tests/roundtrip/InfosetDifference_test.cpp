// The round-trip tool's comparison (tools/roundtrip): what it must ignore
// and what it must report, with the path of the element at fault.
#include "roundtrip/InfosetDifference.h"

#include <gtest/gtest.h>

#include <string>

#include "vxbind/vxbind.h"

namespace {

using namespace VxVevAva5;
using vxbind_tools::CanonicalDecimal;
using vxbind_tools::InfosetDifference;

std::string Difference(const std::string& a, const std::string& b, bool numbersByValue = false) {
  CXmlDocument x;
  CXmlDocument y;
  x.LoadXml(a.c_str());
  y.LoadXml(b.c_str());
  return InfosetDifference(x.GetDocumentElement(), y.GetDocumentElement(), numbersByValue);
}

const char kXsi[] = "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'";

TEST(InfosetDifference, IgnoresSpellingReportsContent) {
  const std::string xsi = kXsi;
  struct Case {
    std::string expected, actual, difference;
  } cases[] = {
      // The same infoset.
      {"<p:a xmlns:p='urn:x'><p:b/></p:a>", "<a xmlns='urn:x'><b/></a>", ""},
      {"<a " + xsi + " xsi:noNamespaceSchemaLocation='a.xsd'><b>1</b></a>", "<a>\n\t<b>1</b>\n</a>",
       ""},
      {"<a " + xsi + " xmlns:p='urn:t' xsi:type='p:T'/>",
       "<a " + xsi + " xmlns:q='urn:t' xsi:type='q:T'/>", ""},
      // Differences, the first in document order.
      {"<a " + xsi + " xmlns:p='urn:t' xsi:type='p:T'/>",
       "<a " + xsi + " xmlns:p='urn:u' xsi:type='p:T'/>",
       "/a: attribute {http://www.w3.org/2001/XMLSchema-instance}type={urn:t}T is missing, "
       "attribute {http://www.w3.org/2001/XMLSchema-instance}type={urn:u}T appeared"},
      {"<a><b> x</b></a>", "<a><b>x</b></a>", "/a/b: text ' x' became 'x'"},
      {"<a x='1'>t<b/></a>", "<a x='1'>u<b/></a>", "/a: text 't' before child element 1 became 'u'"},
      {"<a>t<b/>\n  </a>", "<a>\n  <b/>t</a>", "/a: text 't' before child element 1 became ''"},
      {"<a><b/>t<c/>u</a>", "<a><b/>t<c/> u\n</a>", ""},
      {"<a><b/><c/></a>", "<a><b/></a>", "/a: element c is missing"},
      {"<a><b/></a>", "<a><b/><d xmlns='urn:d'/></a>", "/a: element {urn:d}d appeared"},
      {"<a><b xmlns='urn:x'/></a>", "<a><b/></a>", "/a/b: element {urn:x}b became b"},
      {"<a><b/><b><c>1</c></b></a>", "<a><b/><b><c>2</c></b></a>",
       "/a/b[2]/c: text '1' became '2'"},
      {"<a><b><c/></b><d y='1'/></a>", "<a><b><e/></b><d/></a>", "/a/b/c: element c became e"},
      {"<a x='1.50'/>", "<a x='1.5'/>",
       "/a: attribute x=1.50 is missing, attribute x=1.5 appeared"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Difference(c.expected, c.actual), c.difference) << c.expected << "\n" << c.actual;
}

TEST(InfosetDifference, NumbersByValue) {
  EXPECT_EQ(Difference("<a x='1.50'><b>+007</b></a>", "<a x='1.5'><b>7</b></a>", true), "");
  EXPECT_EQ(Difference("<a><b>1.5</b></a>", "<a><b>1.05</b></a>", true),
            "/a/b: text '1.5' became '1.05'");
  const char* const canonical[][2] = {{"-0.0", "0"},   {".5", "0.5"},  {"12.", "12"},
                                      {"-010", "-10"}, {"1e3", "1e3"}, {"-", "-"},
                                      {".", "."},      {"", ""},       {"1.2.3", "1.2.3"}};
  for (const auto& c : canonical) EXPECT_EQ(CanonicalDecimal(c[0]), c[1]) << c[0];
}

TEST(InfosetDifference, AnyDepthWithoutRecursion) {
  const int depth = 100000;
  std::string deep;
  for (int i = 0; i < depth; ++i) deep += "<e>";
  std::string other = deep + "x";
  for (int i = 0; i < depth; ++i) {
    deep += "</e>";
    other += "</e>";
  }
  const std::string end = "/e/e: text '' became 'x'";
  std::string difference = Difference(deep, other);
  ASSERT_GE(difference.size(), end.size());
  EXPECT_EQ(difference.substr(difference.size() - end.size()), end);
  EXPECT_EQ(difference.size(), 2 * depth + end.size() - 4);
}

}  // namespace
