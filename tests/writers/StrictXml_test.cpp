// The strict XML setting of the text writer: lossless attribute values and
// characters that XML 1.0 forbids refused; with the setting off, the bytes
// stay as they are.
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

String Units(std::initializer_list<unsigned short> units) { return String(units); }

// <r a="value">text</r> with the given setting and end of line.
std::string Write(const String& value, const String& text, bool strict,
                  EOLType eol = EOLType_LF) {
  CXmlTextWriter w;
  w.SetIndent(false);
  w.SetEOLType(eol);
  w.SetStrictXml(strict);
  w.WriteStartElement(U("r"), String());
  w.WriteAttribute(U("a"), String(), value);
  w.WriteText(text);
  w.WriteEndElement();
  return ToUtf8(w.GetString());
}

// The attribute value and the text that a strict reader gets back.
std::pair<String, String> ReadBack(const std::string& xml) {
  CXmlDocument doc;
  doc.SetStrictXml(true);
  doc.LoadXml(xml.c_str());
  const CXmlElement* r = doc.GetDocumentElement();
  return {r->GetAttribute(U("a"), String()), r->GetText()};
}

}  // namespace

TEST(CXmlTextWriterStrict, IsOffByDefaultAndLeavesTheBytesAsTheyAre) {
  CXmlTextWriter w;
  EXPECT_FALSE(w.GetStrictXml());
  // Off: TAB and LF go out as they are (a reader turns them into spaces),
  // CR is dropped, and characters that XML 1.0 forbids are written too.
  w.SetIndent(false);
  w.WriteStartElement(U("r"), String());
  w.WriteAttribute(U("a"), String(), Units({'a', '\t', 'b', '\n', 'c', '\r', 'd', 0x01, 0xD800}));
  w.WriteText(Units({'x', 0xFFFF, '\r', '\n'}));
  w.WriteEndElement();
  EXPECT_EQ(w.GetString(), U("<r a=\"a\tb\ncd\x01") + Units({0xD800}) + U("\">x") +
                               Units({0xFFFF, '\n'}) + U("</r>"));
}

TEST(CXmlTextWriterStrict, AttributeValuesReadBackExactly) {
  struct Case {
    String value;
    const char* bytes;  // of the attribute value
  };
  const Case cases[] = {
      {U("tab\there"), "tab&#x9;here"},
      {U("lf\nand\rcr\r\n"), "lf&#xA;and&#xD;cr&#xD;&#xA;"},
      {U("\"q\" & <t> 'a' ]]>"), "&quot;q&quot; &amp; &lt;t&gt; 'a' ]]&gt;"},
      {U("\xF0\x9D\x84\x9E \xEF\xBF\xBD \x7F \xC2\x85 \xE2\x80\xA8 \xEE\x80\x80"),
       "\xF0\x9D\x84\x9E \xEF\xBF\xBD \x7F \xC2\x85 \xE2\x80\xA8 \xEE\x80\x80"},
      {U("  two  spaces  "), "  two  spaces  "},
      {String(), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.value));
    for (EOLType eol : {EOLType_LF, EOLType_CRLF}) {
      std::string xml = Write(c.value, String(), true, eol);
      EXPECT_EQ(xml, "<r a=\"" + std::string(c.bytes) + "\"/>");
      EXPECT_EQ(ReadBack(xml).first, c.value);
    }
  }
}

TEST(CXmlTextWriterStrict, TextKeepsItsLineEndRule) {
  // Text is written as by default: a line feed becomes the end of line, a
  // carriage return is dropped; it reads back without carriage returns.
  String text = U("a\r\nb\rc\td\n]]>");
  EXPECT_EQ(Write(String(), text, true, EOLType_CRLF), "<r a=\"\">a\r\nbc\td\r\n]]&gt;</r>");
  EXPECT_EQ(ReadBack(Write(String(), text, true, EOLType_CRLF)).second, U("a\nbc\td\n]]>"));
  EXPECT_EQ(ReadBack(Write(String(), text, true, EOLType_LF)).second, U("a\nbc\td\n]]>"));
}

TEST(CXmlTextWriterStrict, ForbiddenCharactersAreRefusedWithClearMessages) {
  const String bad = Units({'x', 0x01});
  const String nul = Units({'x', 0, 'y'});
  struct Case {
    const char* what;
    std::function<void(CXmlTextWriter&)> write;
    const char* message;
  };
  const Case cases[] = {
      {"text", [&](CXmlTextWriter& w) { w.WriteText(bad); },
       "The text of the element [r] holds the character U+0001, which XML 1.0 does not allow"},
      {"NUL in text", [&](CXmlTextWriter& w) { w.WriteText(nul); },
       "The text of the element [r] holds the character U+0000, which XML 1.0 does not allow"},
      {"unpaired high surrogate at the end",
       [&](CXmlTextWriter& w) { w.WriteText(Units({'a', 0xD834})); },
       "The text of the element [r] holds the unpaired surrogate U+D834, which XML 1.0 does not "
       "allow"},
      {"high surrogate before a letter",
       [&](CXmlTextWriter& w) { w.WriteAttribute(U("a"), String(), Units({0xD834, 'b'})); },
       "The value of the attribute [a] of the element [r] holds the unpaired surrogate U+D834, "
       "which XML 1.0 does not allow"},
      {"low surrogate alone",
       [&](CXmlTextWriter& w) { w.WriteAttribute(U("a"), U("urn:a"), Units({0xDD1E, 0xD834})); },
       "The value of the attribute [a] of the element [r] holds the unpaired surrogate U+DD1E, "
       "which XML 1.0 does not allow"},
      {"U+FFFE", [&](CXmlTextWriter& w) { w.WriteText(Units({0xFFFE})); },
       "The text of the element [r] holds the character U+FFFE, which XML 1.0 does not allow"},
      {"U+FFFF in xsi:type", [&](CXmlTextWriter& w) { w.WriteXsiType(U("urn:t"), Units({0xFFFF})); },
       "The value of the attribute [type] of the element [r] holds the character U+FFFF, which "
       "XML 1.0 does not allow"},
      {"element name", [&](CXmlTextWriter& w) { w.WriteStartElement(Units({'e', 0x1F}), U("")); },
       "The element name [e\x1F] holds the character U+001F, which XML 1.0 does not allow"},
      {"attribute name", [&](CXmlTextWriter& w) { w.WriteAttribute(bad, String(), U("v")); },
       "The attribute name [x\x01] holds the character U+0001, which XML 1.0 does not allow"},
      {"namespace URI", [&](CXmlTextWriter& w) { w.WriteStartElement(U("e"), bad); },
       "The namespace URI [x\x01] holds the character U+0001, which XML 1.0 does not allow"},
      {"prefix",
       [&](CXmlTextWriter& w) {
         w.AddNamespace(bad, U("urn:p"));
         w.WriteStartElement(U("e"), U("urn:p"));
       },
       "The namespace prefix [x\x01] holds the character U+0001, which XML 1.0 does not allow"},
      {"comment", [&](CXmlTextWriter& w) { w.WriteComment(Units({0x08})); },
       "A comment holds the character U+0008, which XML 1.0 does not allow"},
      {"comment with --", [&](CXmlTextWriter& w) { w.WriteComment(U("a--b")); },
       "A comment cannot hold \"--\" or end with \"-\""},
      {"comment ending with -", [&](CXmlTextWriter& w) { w.WriteComment(U("a-")); },
       "A comment cannot hold \"--\" or end with \"-\""},
      {"processing instruction",
       [&](CXmlTextWriter& w) { w.WriteProcessingInstruction(Units({'<', '?', 'p', 0x0B})); },
       "A processing instruction holds the character U+000B, which XML 1.0 does not allow"},
      {"in-line schema", [&](CXmlTextWriter& w) { w.WriteInLineSchema(Units({0x0C})); },
       "The in-line schema holds the character U+000C, which XML 1.0 does not allow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CXmlTextWriter strict;
    strict.SetStrictXml(true);
    strict.WriteStartElement(U("r"), String());
    EXPECT_VX_THROW(c.write(strict), CVxException, c.message);
    // Without the setting the same call writes.
    CXmlTextWriter lax;
    lax.WriteStartElement(U("r"), String());
    c.write(lax);
  }
}

TEST(CXmlTextWriterStrict, EveryCodeUnitIsEscapedOrRefused) {
  // Every unit XML 1.0 allows, in one value and one text, reads back; every
  // other one is refused in both places.
  String allowed;
  std::vector<unsigned short> refused;
  for (unsigned int u = 0; u <= 0xFFFF; ++u) {
    auto unit = static_cast<unsigned short>(u);
    bool ok = u == 0x09 || u == 0x0A || u == 0x0D || (u >= 0x20 && u < 0xD800) ||
              (u > 0xDFFF && u < 0xFFFE);
    if (ok)
      allowed.push_back(unit);
    else
      refused.push_back(unit);
  }
  // Surrogate pairs: the first and last plane-1 and plane-16 pairs, and
  // every high surrogate with one low one.
  for (unsigned int high = 0xD800; high <= 0xDBFF; ++high) {
    allowed.push_back(static_cast<unsigned short>(high));
    allowed.push_back(static_cast<unsigned short>(0xDC00 + (high & 0x3FF)));
  }
  std::string xml = Write(allowed, allowed, true);
  auto [value, text] = ReadBack(xml);
  EXPECT_EQ(value, allowed);
  String withoutCr = allowed;
  withoutCr.erase(withoutCr.find(u'\r'), 1);
  EXPECT_EQ(text, withoutCr);

  EXPECT_EQ(refused.size(), 29u + 2048u + 2u);
  CXmlTextWriter values, texts;  // a refused item leaves the element open
  for (CXmlTextWriter* w : {&values, &texts}) {
    w->SetStrictXml(true);
    w->WriteStartElement(U("r"), String());
  }
  for (unsigned short unit : refused) {
    String s = Units({'a', unit, 'b'});
    EXPECT_THROW(values.WriteAttribute(U("a"), String(), s), CVxException) << unit;
    EXPECT_THROW(texts.WriteText(s), CVxException) << unit;
  }
}
