// Property tests: random documents (names, namespaces given before the root
// and inside elements, prefixes rebound, attribute values and texts from the
// whole range XML allows) written and read back give the same tree, every
// namespace included. With the strict setting every value comes back; with
// it off, the namespaces and the values that survive by default do.
#include <expat.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/Text.h"
#include "support/WriterScript.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::Compare;
using vxtest::ExpectedTree;
using vxtest::ReadTree;
using vxtest::ToUtf8;
using vxtest::Tree;
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

// For each element with a prefixed xsi:type, the namespace of that prefix
// there, as a reader that keeps track of scopes sees it.
std::map<size_t, String> TypePrefixNamespaces(const String& xml) {
  struct State {
    std::vector<std::pair<String, String>> bindings;  // prefix, URI; innermost last
    std::map<size_t, String> result;
    size_t element = 0;
  } state;
  XML_Parser p = XML_ParserCreateNS(nullptr, '|');
  XML_SetUserData(p, &state);
  XML_SetNamespaceDeclHandler(
      p,
      [](void* data, const XML_Char* prefix, const XML_Char* uri) {
        auto* st = static_cast<State*>(data);
        st->bindings.emplace_back(prefix ? String(prefix) : String(), uri ? String(uri) : String());
      },
      [](void* data, const XML_Char*) { static_cast<State*>(data)->bindings.pop_back(); });
  XML_SetStartElementHandler(p, [](void* data, const XML_Char*, const XML_Char** attributes) {
    auto* st = static_cast<State*>(data);
    size_t index = st->element++;
    const String typeName = vxtest::XsiNamespace() + U("|type");
    for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
      if (typeName != a[0]) continue;
      String value(a[1]);
      size_t colon = value.find(':');
      if (colon == String::npos) continue;
      String prefix = value.substr(0, colon);
      for (size_t i = st->bindings.size(); i-- > 0;) {
        if (st->bindings[i].first != prefix) continue;
        st->result[index] = st->bindings[i].second;
        break;
      }
    }
  });
  const unsigned short bom = 0xFEFF;
  bool ok = XML_Parse(p, reinterpret_cast<const char*>(&bom), 2, XML_FALSE) == XML_STATUS_OK &&
            XML_Parse(p, reinterpret_cast<const char*>(xml.data()),
                      static_cast<int>(xml.size() * 2), XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(p);
  EXPECT_TRUE(ok);
  return state.result;
}

// Checks that `xml` reads back (strictly) as the script says.
::testing::AssertionResult ReadsBack(const WriterScript& script, const String& xml, bool texts) {
  CXmlDocument doc;
  doc.SetStrictXml(true);
  try {
    doc.LoadXml(xml.c_str());
  } catch (const CVxException& e) {
    return ::testing::AssertionFailure() << ToUtf8(e.GetMessage()) << "\n" << ToUtf8(xml);
  }
  std::map<size_t, String> typeNamespaces = TypePrefixNamespaces(xml);
  std::string why =
      Compare(ExpectedTree(script), ReadTree(doc.GetDocumentElement()), texts,
              [&](size_t element, const String& prefix, const String& typeNs) -> std::string {
                auto it = typeNamespaces.find(element);
                if (it != typeNamespaces.end() && it->second == typeNs) return std::string();
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

// A bindable object that replays a script and keeps the tree it is read
// from: the entry points' path, context included.
class CScriptObject : public CXmlObjectBase {
 public:
  explicit CScriptObject(const WriterScript& script) : m_script(script) {}
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  Tree read;

 protected:
  String GetTargetNamespace() const override { return String(); }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {
    vxtest::Replay(m_script, *writer);
  }
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    read = ReadTree(element);
    return nullptr;
  }

 private:
  const WriterScript& m_script;
};

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

TEST(StrictRoundTrip, TheEntryPointsCarryTheSettingBothWays) {
  std::mt19937 rng(7);
  CXmlSerializationContext context;
  context.SetStrictXml(true);
  for (int round = 0; round < 500; ++round) {
    Generator g{rng, true};
    WriterScript script = g.Script(1 + round % 20);
    CScriptObject written(script), read(script);
    EOLType eol = g.Chance(50) ? EOLType_LF : EOLType_CRLF;
    String xml = written.ToXml(g.Chance(50), false, eol, context);
    try {
      read.FromXml(xml.c_str(), context);
    } catch (const CVxException& e) {
      FAIL() << ToUtf8(e.GetMessage()) << "\n" << ToUtf8(xml);
    }
    std::string why = Compare(ExpectedTree(script), read.read, true);
    ASSERT_EQ(why, "") << ToUtf8(xml);
  }
}
