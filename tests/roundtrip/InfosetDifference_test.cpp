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
      // What may be QName values, by the names they resolve to.
      {"<a xmlns:p='urn:t' k='p:K'><b xmlns='urn:t'>V</b></a>",
       "<a xmlns:q='urn:t' k='q:K'><b xmlns='urn:t' xmlns:r='urn:t'>r:V</b></a>", ""},
      {"<a xmlns:p='urn:t'><b>p:V W</b></a>", "<a xmlns:q='urn:t'><b>q:V W</b></a>", ""},
      // Differences, the first in document order.
      {"<a " + xsi + " xmlns:p='urn:t' xsi:type='p:T'/>",
       "<a " + xsi + " xmlns:p='urn:u' xsi:type='p:T'/>",
       "/a: attribute {http://www.w3.org/2001/XMLSchema-instance}type={urn:t}T is missing, "
       "attribute {http://www.w3.org/2001/XMLSchema-instance}type={urn:u}T appeared"},
      {"<a><b> x</b></a>", "<a><b>x</b></a>", "/a/b: text ' x' became 'x'"},
      {"<a xmlns:p='urn:t' k='p:K'/>", "<a xmlns:q='urn:u' k='q:K'/>",
       "/a: attribute k=p:K is missing, attribute k=q:K appeared"},
      {"<a xmlns:p='urn:t'><b>p:V W</b></a>", "<a xmlns:q='urn:t'><b>q:V  W</b></a>",
       "/a/b: text 'p:V W' became 'q:V  W'"},
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
      // Indentation in an element without children is no text; other white
      // space is.
      {"<a><b>\n  </b></a>", "<a><b/></a>", ""},
      {"<a><b>  </b></a>", "<a><b/></a>", "/a/b: text '  ' became ''"},
      {"<a><b>\n  </b></a>", "<a><b>x</b></a>", "/a/b: text '\n  ' became 'x'"},
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

  EXPECT_EQ(Difference("<a x='-1.50E+07'><b>4E-089</b><c>1e1</c></a>",
                       "<a x='-1.5e7'><b>4e-89</b><c>1e1</c></a>", true),
            "");
  EXPECT_EQ(Difference("<a><b>\n 12 </b><c> true</c><d x=' -000 '/></a>",
                       "<a><b>12</b><c>true</c><d x='0'/></a>", true),
            "");
  EXPECT_EQ(Difference("<a><b> ab </b></a>", "<a><b>ab</b></a>", true),
            "/a/b: text ' ab ' became 'ab'");
  // Base64 lines joined, a pretty-printed word trimmed; not a string's words.
  EXPECT_EQ(Difference("<a><b>QUJDREVGR0hJ\nSktMTU5PUA==</b><c>urn:a:b\n  </c></a>",
                       "<a><b>QUJDREVGR0hJSktMTU5PUA==</b><c>urn:a:b</c></a>", true),
            "");
  EXPECT_EQ(Difference("<a><b>two\nwords</b></a>", "<a><b>two words</b></a>", true),
            "/a/b: text 'two\nwords' became 'two words'");
  EXPECT_EQ(Difference("<a><b>QUJDREVGR0hJ\nSktMTU5PUA==</b></a>",
                       "<a><b>QUJDREVGR0hJSktMTU5PUA==</b></a>"),
            "/a/b: text 'QUJDREVGR0hJ\nSktMTU5PUA==' became 'QUJDREVGR0hJSktMTU5PUA=='");
  EXPECT_EQ(Difference("<a><b>1e1</b></a>", "<a><b>10</b></a>", true),
            "/a/b: text '1e1' became '10'");
  EXPECT_EQ(Difference("<a><b>1e1.5</b></a>", "<a><b>1e1.50</b></a>", true),
            "/a/b: text '1e1.5' became '1e1.50'");
  EXPECT_EQ(Difference("<a t='10:00:00.50+00:00'><b>2015-12-11T15:43:13.000+01:00</b></a>",
                       "<a t='10:00:00.5Z'><b>2015-12-11T15:43:13+01:00</b></a>", true),
            "");
  // Another offset is another spelling too, but binding keeps the one read.
  EXPECT_EQ(Difference("<a><b>2015-12-11T15:43:13+01:00</b></a>",
                       "<a><b>2015-12-11T14:43:13Z</b></a>", true),
            "/a/b: text '2015-12-11T15:43:13+01:00' became '2015-12-11T14:43:13Z'");
  const char* const times[][2] = {{"-0044-03-15T12:00:00.000Z", "-0044-03-15T12:00:00Z"},
                                  {"23:59:60.0100-00:00", "23:59:60.01Z"},
                                  {"12:00:00.", "12:00:00."},
                                  {"2015-12-11", "2015-12-11"},
                                  {"12:00", "12:00"}};
  for (const auto& c : times) EXPECT_EQ(vxbind_tools::CanonicalTime(c[0]), c[1]) << c[0];
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
