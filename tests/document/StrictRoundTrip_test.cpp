// Property tests: random documents (names, namespaces given before the root
// and inside elements, prefixes rebound, attribute values and texts from the
// whole range XML allows) written and read back give the same tree, every
// namespace included. With the strict setting every value comes back; with
// it off, the namespaces and the values that survive by default do.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/Document.h"
#include "support/Text.h"
#include "support/WriterScript.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::Compare;
using vxtest::ExpectedTree;
using vxtest::ReadTree;
using vxtest::ToUtf8;
using vxtest::U;
using vxtest::WriterCall;
using vxtest::WriterScript;

namespace {

// (Expat reads no names outside the Basic Multilingual Plane.)
const char* const kNames[] = {"a",  "item", "x-y", "n.1", "_u", "\xC3\xA9l\xC3\xA9ment",
                              "\xE5\x90\x8D\xE5\x89\x8D", "z\xC2\xB7\xCC\x80"};
const char* const kPrefixes[] = {"p", "q", "AA", "AB", "ns1", "\xC3\xA9"};
// Namespaces of elements and default namespaces; the last one only where
// values are written strictly (a reader turns its TAB, LF and CR into
// spaces otherwise).
const char* const kUris[] = {"",
                             "urn:a",
                             "urn:b",
                             "http://example.com/\xE2\x82\xAC#x",
                             "urn:q&\"<>'",
                             "urn:t\tab\nl\rc"};

struct Generator {
  std::mt19937& rng;
  bool strict;

  size_t Pick(size_t n) { return rng() % n; }
  bool Chance(int percent) { return static_cast<int>(rng() % 100) < percent; }
  String Name() { return U(kNames[Pick(8)]); }
  String Prefix() { return U(kPrefixes[Pick(6)]); }
  String Uri() { return U(kUris[Pick(strict ? 6 : 5)]); }
  // Attributes may also be in the XML Schema instance and XML namespaces.
  String AttributeUri() {
    if (Chance(5)) return U("http://www.w3.org/2001/XMLSchema-instance");
    if (Chance(5)) return U("http://www.w3.org/XML/1998/namespace");
    return Uri();
  }

  // Text from the whole range XML allows: TAB, LF and CR (in attribute
  // values only when strict), markup characters, "]]>", controls XML 1.0
  // allows, other planes as surrogate pairs.
  String Text(bool attributeValue) {
    String s;
    for (size_t n = Pick(13); n > 0; --n) {
      switch (Pick(10)) {
        case 0: s.push_back(static_cast<unsigned short>('a' + Pick(26))); break;
        case 1: s.push_back(' '); break;
        case 2: s += U(std::string(1, "\"&<>'];#=/?"[Pick(11)])); break;
        case 3: s += U("]]>"); break;
        case 4:
        case 5:
        case 6: {
          const unsigned short controls[] = {'\t', '\n', '\r'};
          if (strict || !attributeValue) s.push_back(controls[Pick(3)]);
          break;
        }
        case 7: {
          const unsigned short bmp[] = {0xE9,   0x20AC, 0x4E2D, 0x85, 0x2028,
                                        0x7F,   0xFFFD, 0xE000, 0xA0};
          s.push_back(bmp[Pick(9)]);
          break;
        }
        default: {
          unsigned int cp = 0x10000 + static_cast<unsigned int>(Pick(0x100000));
          s.push_back(static_cast<unsigned short>(0xD800 + ((cp - 0x10000) >> 10)));
          s.push_back(static_cast<unsigned short>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
      }
    }
    return s;
  }

  String CommentText() {
    String s = Text(false);
    for (unsigned short& c : s)
      if (c == '-') c = '+';
    return s;
  }

  void Namespaces(WriterScript& s) {
    for (size_t n = Pick(3); n > 0; --n) {
      if (Chance(60))
        s.push_back({WriterCall::kAddNamespace, Prefix(), Uri()});
      else
        s.push_back({WriterCall::kSetDefault, Uri()});
    }
  }

  // An element's start tag: attributes with distinct names, an xsi:type,
  // and namespaces given between them.
  void StartElement(WriterScript& s) {
    s.push_back({WriterCall::kStart, Name(), Uri()});
    std::vector<std::pair<String, String>> used;
    for (size_t n = Pick(4); n > 0; --n) {
      if (Chance(15)) Namespaces(s);
      WriterCall a{WriterCall::kAttribute, Name(), AttributeUri(), Text(true)};
      bool clash = a.a == U("type") && a.b == vxtest::XsiNamespace();
      for (const auto& u : used) clash = clash || (u.first == a.a && u.second == a.b);
      if (clash) continue;
      used.emplace_back(a.a, a.b);
      s.push_back(a);
    }
    if (Chance(15)) s.push_back({WriterCall::kXsiType, Uri(), U("T") + Name()});
  }

  // A document of `size` elements; namespaces are given before the root
  // and inside elements, before their children, between their attributes
  // and between their children.
  WriterScript Script(int size) {
    WriterScript s;
    Namespaces(s);
    if (Chance(20)) s.push_back({WriterCall::kComment, CommentText()});
    StartElement(s);
    int elements = 1;
    int depth = 1;
    bool tagOpen = true;  // the innermost element's start tag
    while (depth > 0) {
      size_t action = Pick(100);
      if (elements < size && action < 45) {
        StartElement(s);
        ++elements;
        ++depth;
        tagOpen = true;
      } else if (action < 65) {
        String text = Text(false);
        tagOpen = tagOpen && text.empty();
        s.push_back({WriterCall::kText, std::move(text)});
      } else if (action < 70) {
        // Comments go between children, not into a start tag.
        if (!tagOpen) s.push_back({WriterCall::kComment, CommentText()});
      } else if (action < 80) {
        Namespaces(s);
      } else if (depth > 1 || elements >= size) {
        s.push_back({WriterCall::kEnd});
        --depth;
        tagOpen = false;
      }
    }
    return s;
  }
};

// Checks that `xml` reads back (strictly) as the script says.
::testing::AssertionResult ReadsBack(const WriterScript& script, const String& xml, bool texts) {
  CXmlDocument doc;
  doc.SetStrictXml(true);
  try {
    doc.LoadXml(xml.c_str());
  } catch (const CVxException& e) {
    return ::testing::AssertionFailure() << ToUtf8(e.GetMessage()) << "\n" << ToUtf8(xml);
  }
  // A prefixed xsi:type must be bound to the type's namespace where it
  // stands (the element's lookup is checked against a scope stack in
  // XmlDocument_test).
  std::vector<CXmlElement*> elements = vxtest::InOrder(doc.GetDocumentElement());
  std::string why =
      Compare(ExpectedTree(script), ReadTree(doc.GetDocumentElement()), texts,
              [&](size_t element, const String& prefix, const String& typeNs) -> std::string {
                String uri;
                if (elements[element]->LookupNamespaceURI(prefix, uri) && uri == typeNs)
                  return std::string();
                return "type prefix " + ToUtf8(prefix) + " is not bound to " + ToUtf8(typeNs);
              });
  if (why.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << why << "\n" << ToUtf8(xml);
}

String Write(const WriterScript& script, bool strict, bool indent, EOLType eol, bool declaration) {
  CXmlTextWriter w;
  w.SetStrictXml(strict);
  w.SetIndent(indent);
  w.SetEOLType(eol);
  if (declaration) w.WriteStartDocument(XmlEncoding_None);
  vxtest::Replay(script, w);
  if (declaration) w.WriteEndDocument();
  return w.GetString();
}

}  // namespace

TEST(StrictRoundTrip, RandomDocumentsReadBackWithEveryNamespaceAndValue) {
  // Off, the bytes are the default ones: namespaces read back all the same,
  // and so do values without TAB, LF and CR.
  std::mt19937 rng(20240611);
  for (bool strict : {true, false}) {
    for (int round = 0; round < (strict ? 3000 : 2000); ++round) {
      Generator g{rng, strict};
      WriterScript script = g.Script(1 + round % 30);
      bool indent = strict && g.Chance(25);  // indentation adds white space to texts
      EOLType eol = g.Chance(50) ? EOLType_LF : EOLType_CRLF;
      String xml = Write(script, strict, indent, eol, strict && g.Chance(50));
      ASSERT_TRUE(ReadsBack(script, xml, !indent)) << "round " << round;
    }
  }
}
