// CFastInfosetWriter: the octets it writes for each kind of item, its
// tables and their limits, its namespace declarations and its failures.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/Bytes.h"
#include "support/Nodes.h"
#include "support/ScriptObject.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/FastInfosetWriter.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::Hex;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

const char kHeader[] = "E0 00 00 01 00";

// Writes calls fluently; Octets() ends the document and gives its hex.
class Fi {
 public:
  Fi() { w.WriteStartDocument(FInfoDecl_None); }
  Fi& Start(const char* name, const char* uri = "") {
    w.WriteStartElement(U(name), U(uri));
    return *this;
  }
  Fi& Start(const String& name) {
    w.WriteStartElement(name, String());
    return *this;
  }
  Fi& Attr(const char* name, const char* uri, const String& value) {
    w.WriteAttribute(U(name), U(uri), value);
    return *this;
  }
  Fi& Attr(const char* name, const char* value) { return Attr(name, "", U(value)); }
  Fi& Text(const String& text) {
    w.WriteText(text);
    return *this;
  }
  Fi& Text(const char* text) { return Text(U(text)); }
  Fi& End() {
    w.WriteEndElement();
    return *this;
  }
  std::string Octets() {
    w.WriteEndDocument();
    return Hex(w.GetBinaryData());
  }
  // The document read back.
  CXmlDocument& Read() {
    w.WriteEndDocument();
    CBinaryData data = w.GetBinaryData();
    doc.LoadXmlStream(const_cast<unsigned char*>(data.GetData()), data.GetLength());
    return doc;
  }
  CFastInfosetWriter w;
  CXmlDocument doc;
};

std::string Body(const std::string& octets) { return octets.substr(sizeof(kHeader)); }

// Distinct values of 5 units: "AAAAA", "BAAAA", ...
String ShortValue(uint32_t i) {
  String s(5, 'A');
  for (int k = 0; k < 5; ++k, i /= 26) s[k] = static_cast<unsigned short>('A' + i % 26);
  return s;
}

// The octets of the k-th value's index, after `count` elements <e v="..."/>
// with distinct short values.
std::string ValueIndex(uint32_t count, uint32_t k) {
  Fi fi;
  fi.Start("r");
  for (uint32_t i = 1; i <= count; ++i) fi.Start("e").Attr("v", "", ShortValue(i)).End();
  fi.Start("e").Attr("v", "", ShortValue(k)).End().End();
  std::string all = fi.Octets();
  // ... 41 (element e with attributes) 00 (attribute v) <index> F0 FF F0
  size_t at = all.rfind(" 41 00 ") + 7;
  return all.substr(at, all.size() - at - 9);
}

}  // namespace

// An empty root is a literal name and the double terminator, after the
// declaration if there is one.
TEST(CFastInfosetWriter, EachDeclarationComesBeforeTheHeader) {
  const char* texts[] = {"",
                         "<?xml encoding='finf'?>",
                         "<?xml encoding='finf' standalone='yes'?>",
                         "<?xml encoding='finf' standalone='no'?>",
                         "<?xml version='1.0' encoding='finf'?>",
                         "<?xml version='1.0' encoding='finf' standalone='yes'?>",
                         "<?xml version='1.0' encoding='finf' standalone='no'?>",
                         "<?xml version='1.1' encoding='finf'?>",
                         "<?xml version='1.1' encoding='finf' standalone='yes'?>",
                         "<?xml version='1.1' encoding='finf' standalone='no'?>"};
  for (int d = 0; d <= 9; ++d) {
    SCOPED_TRACE(d);
    CFastInfosetWriter w;
    w.WriteStartDocument(static_cast<FInfoDecl>(d));
    w.WriteStartElement(U("r"), String());
    w.WriteEndElement();
    w.WriteEndDocument();
    std::string text = texts[d];
    EXPECT_EQ(Hex(w.GetBinaryData()),
              Hex(reinterpret_cast<const unsigned char*>(text.data()), text.size()) +
                  (text.empty() ? "" : " ") + kHeader + " 3C 00 72 FF");
  }
}

// Each kind of item, and the namespace declarations its names need.
TEST(CFastInfosetWriter, ItemsAsThePartsOfTheFormatSpellThem) {
  struct Case {
    const char* what;
    std::string octets;
    const char* expected;  // after the header
  };
  const Case cases[] = {
      {"attribute: announced, terminated when the tag closes",
       Fi().Start("r").Attr("a", "v").End().Octets(), "7C 00 72 78 00 61 40 76 F0 FF"},
      {"a recurring element name is one index octet",
       Fi().Start("r").Start("c").End().Start("c").End().End().Octets(),
       "3C 00 72 3C 00 63 F0 01 FF F0"},
      {"a short value enters the table, then recurs as an index",
       Fi().Start("r").Attr("a", "abc").Start("c").Attr("a", "abc").End().End().Octets(),
       "7C 00 72 78 00 61 42 61 62 63 F0 7C 00 63 00 80 F0 FF F0"},
      {"a 6-unit value is a literal every time",
       Fi().Start("r").Attr("a", "abcdef").Start("c").Attr("a", "abcdef").End().End().Octets(),
       "7C 00 72 78 00 61 05 61 62 63 64 65 66 F0 7C 00 63 00 05 61 62 63 64 65 66 F0 FF F0"},
      {"an empty value is index zero", Fi().Start("r").Attr("a", "").End().Octets(),
       "7C 00 72 78 00 61 FF F0 FF"},
      {"text after a child follows the child's terminator",
       Fi().Start("r").Start("c").End().Text("x").End().Octets(), "3C 00 72 3C 00 63 F0 90 78 FF"},
      {"a short chunk recurs as an index on the fourth bit",
       Fi().Start("r").Start("c").Text("ab").End().Start("c").Text("ab").End().End().Octets(),
       "3C 00 72 3C 00 63 91 61 62 F0 01 A0 FF F0"},
      {"a long chunk is a literal on the seventh bit",
       Fi().Start("r").Text("abcdef").End().Octets(), "3C 00 72 82 03 61 62 63 64 65 66 FF"},
      {"non-ASCII text is counted in UTF-8 octets",
       Fi().Start("r").Text("\xC3\xA9t\xC3\xA9 \xF0\x9D\x84\x9E").End().Octets(),
       "3C 00 72 82 07 C3 A9 74 C3 A9 20 F0 9D 84 9E FF"},
      {"an empty text writes nothing", Fi().Start("r").Text("").End().Octets(), "3C 00 72 FF"},
      {"text stops at its first NUL",
       Fi().Start("r").Text(String(VX_T("ab")) + String(1, 0) + String(VX_T("cd"))).End().Octets(),
       "3C 00 72 91 61 62 FF"},
      // xmlns="urn:o" and xmlns:AA="urn:o" as literals, then AA:r.
      {"the root's default namespace, and the prefix its name carries",
       [] {
         Fi fi;
         fi.w.SetDefaultNamespace(U("urn:o"));
         return fi.Start("r", "urn:o").End().Octets();
       }(),
       "38 CD 04 75 72 6E 3A 6F CF 01 41 41 04 75 72 6E 3A 6F F0 3F 81 82 00 72 FF"},
      {"an alias given before the root stays on the root",
       [] {
         Fi fi;
         fi.w.AddNamespace(U("p"), U("urn:p"));
         return fi.Start("r").End().Octets();
       }(),
       "38 CF 00 70 04 75 72 6E 3A 70 F0 3C 00 72 FF"},
      {"a generated prefix of a child is declared on the child",
       Fi().Start("r").Start("c", "urn:x").End().End().Octets(),
       "3C 00 72 38 CF 01 41 41 04 75 72 6E 3A 78 F0 3F 81 81 00 63 FF F0"},
      {"an attribute's prefix is declared before the element's name",
       Fi().Start("r").Attr("a", "urn:x", U("1")).End().Octets(),
       "78 CF 01 41 41 04 75 72 6E 3A 78 F0 3C 00 72 7B 81 81 00 61 40 31 F0 FF"},
      {"the xml prefix is predefined: index 1, never declared",
       Fi().Start("r").Attr("lang", "http://www.w3.org/XML/1998/namespace", U("en")).End().Octets(),
       "7C 00 72 7B 80 80 03 6C 61 6E 67 41 65 6E F0 FF"},
      {"no namespace inside a default namespace undeclares it",
       [] {
         Fi fi;
         fi.w.SetDefaultNamespace(U("urn:o"));
         return fi.Start("r", "urn:o").Start("c").End().End().Octets();
       }(),
       "38 CD 04 75 72 6E 3A 6F CF 01 41 41 04 75 72 6E 3A 6F F0 3F 81 82 00 72 "
       "38 CC F0 3C 00 63 FF F0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Body(c.octets), c.expected);
  }
}

TEST(CFastInfosetWriter, LengthsAtEveryBoundary) {
  struct Case {
    size_t units;
    const char* name;   // the element's literal local name: length on the second bit
    const char* value;  // a value of that many units: on the fifth bit
    const char* text;   // a text: on the seventh bit
  };
  const Case cases[] = {
      {6, "05", "05", "82 03"},           {8, "07", "07", "82 05"},
      {9, "08", "08 00", "82 06"},        {64, "3F", "08 37", "82 3D"},
      {65, "40 00", "08 38", "82 3E"},    {258, "40 C1", "08 F9", "82 FF"},
      {259, "40 C2", "08 FA", "83 00 00 00 00"}, {264, "40 C7", "08 FF", "83 00 00 00 05"},
      {265, "40 C8", "0C 00 00 00 00", "83 00 00 00 06"},
      {320, "40 FF", "0C 00 00 00 37", "83 00 00 00 3D"},
      {321, "60 00 00 00 00", "0C 00 00 00 38", "83 00 00 00 3E"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    String s(c.units, 'x');
    std::string body = Body(Fi().Start(s).Attr("a", "", s).Text(s).End().Octets());
    std::string expected = std::string("7C ") + c.name;
    EXPECT_EQ(body.substr(0, expected.size()), expected);
    std::string value = std::string(" 78 00 61 ") + c.value + " ";
    EXPECT_NE(body.find(value), std::string::npos) << value;
    std::string text = std::string(" F0 ") + c.text + " 78";
    EXPECT_NE(body.find(text), std::string::npos) << text;
  }
}

TEST(CFastInfosetWriter, ValueIndexesAtEveryBoundary) {
  EXPECT_EQ(ValueIndex(1, 1), "80");
  EXPECT_EQ(ValueIndex(64, 64), "BF");
  EXPECT_EQ(ValueIndex(65, 65), "C0 00");
  EXPECT_EQ(ValueIndex(8256, 8256), "DF FF");
  EXPECT_EQ(ValueIndex(8257, 8257), "E0 00 00");
  EXPECT_EQ(ValueIndex(9000, 9000), "E0 02 E7");
}

TEST(CFastInfosetWriter, NameAndChunkIndexesAtEveryBoundary) {
  // Element names: the index on the third bit; chunks: on the fourth.
  const uint32_t kNames = 526369, kChunks = 263185;
  Fi fi;
  fi.Start("r");  // element name 1
  for (uint32_t i = 2; i <= kNames; ++i) {
    fi.Start(U("e" + std::to_string(i)));
    if (i <= kChunks + 1) fi.Text(ShortValue(i));
    fi.End();
  }
  struct Case {
    uint32_t index;
    const char* element;
    const char* chunk;
  };
  const Case cases[] = {{32, "1F", "B0 0F"},
                        {33, "20 00", "B0 10"},
                        {1040, "23 EF", "B3 FF"},
                        {1041, "23 F0", "B4 00 00"},
                        {2080, "27 FF", "B4 04 0F"},
                        {2081, "28 00 00", "B4 04 10"},
                        {263184, "2B FB EF", "B7 FF FF"},
                        {263185, "2B FB F0", "B8 00 00 00"},
                        {526368, "2F FF FF", nullptr},
                        {526369, "30 00 00 00", nullptr}};
  std::string all;
  for (const Case& c : cases) {
    // An element named as element name c.index, holding chunk c.index - 1
    // (the root's name is 1, the chunks start with element 2).
    fi.Start(U("e" + std::to_string(c.index)));
    if (c.chunk) fi.Text(ShortValue(c.index + 1));
    fi.End();
  }
  all = fi.End().Octets();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    std::string pattern = std::string(" F0 ") + c.element + (c.chunk ? std::string(" ") + c.chunk : "");
    EXPECT_NE(all.find(pattern), std::string::npos) << pattern;
  }
  // And the reader takes every one of them back.
  Fi again;
  CBinaryData data = fi.w.GetBinaryData();
  again.doc.LoadXmlStream(const_cast<unsigned char*>(data.GetData()), data.GetLength());
  const CXmlElement* last = nullptr;
  size_t count = 0;
  for (const CXmlElement* e = again.doc.GetDocumentElement()->GetFirstElement(); e;
       e = e->GetNextSiblingElement(), ++count)
    last = e;
  EXPECT_EQ(count, kNames - 1 + sizeof(cases) / sizeof(cases[0]));
  EXPECT_EQ(ToUtf8(last->GetLocalName()), "e526369");
}

TEST(CFastInfosetWriter, AFullValueTableTakesNoMoreEntries) {
  // 2^20 distinct short values fill the table; the next one is written
  // without the add-to-table bit and later ones keep their own indexes.
  const uint32_t kLimit = uint32_t{1} << 20;
  Fi fi;
  fi.Start("r");
  auto value = ShortValue;
  for (uint32_t i = 0; i <= kLimit; ++i) fi.Start("e").Attr("v", "", value(i)).End();
  fi.Start("e").Attr("v", "", value(kLimit - 1)).End().End();
  std::string all = fi.Octets();
  // The value past the limit: a literal of 5 octets, no add-to-table bit.
  std::string past = " 00 04 " + Hex(reinterpret_cast<const unsigned char*>(
                                          ToUtf8(value(kLimit)).data()), 5);
  EXPECT_NE(all.find(past), std::string::npos);
  // The last value refers to index 2^20 (8257 + 0xF_DFBF, on the second bit).
  EXPECT_EQ(all.substr(all.size() - 20), "00 EF DF BF F0 FF F0");
  CXmlDocument& doc = fi.Read();
  const CXmlElement* last = doc.GetDocumentElement()->GetFirstElement();
  uint32_t n = 0;
  for (const CXmlElement* e = last; e; e = e->GetNextSiblingElement(), ++n) last = e;
  EXPECT_EQ(n, kLimit + 2);
  EXPECT_EQ(ToUtf8(last->GetAttribute(U("v"), String())), ToUtf8(value(kLimit - 1)));
}

TEST(CFastInfosetWriter, RefusesWhatCannotBeWritten) {
  EXPECT_VX_THROW(Fi().Start("r").Start("c").End().Attr("a", "v"), CVxException,
                  "Attributes must be added before elements");
  EXPECT_VX_THROW(Fi().Start("r").Text("t").w.WriteXsiType(U("urn:t"), U("T")), CVxException,
                  "Attributes must be added before elements");
  EXPECT_VX_THROW(Fi().Start("r").Octets(), CVxException, "An Element has not been closed.");
  EXPECT_VX_THROW(Fi().Text("t"), CVxException, "Text can only be written inside an open element.");
  EXPECT_VX_THROW(Fi().End(), CVxException, "There is no open element to end.");
  EXPECT_VX_THROW(Fi().Attr("a", "v"), CVxException,
                  "Attributes can only be written inside an open element.");
  EXPECT_VX_THROW(Fi().Start("r").Text(String(1, 0xD800)), CVxException,
                  "Invalid UTF-16 text: unpaired surrogate [0xD800] at position [0]");
  EXPECT_VX_THROW(Fi().Start(String()).End(), CVxInvalidParamException,
                  "A Fast Infoset document cannot hold an empty name");
}

TEST(CFastInfosetWriter, StrictRefusesWhatXmlForbids) {
  auto strict = [] {
    auto fi = std::make_unique<Fi>();
    fi->w.SetStrictXml(true);
    return fi;
  };
  EXPECT_VX_THROW(strict()->Start("r").Text(U("a\x01")), CVxException,
                  "The text of the element [r] holds the character U+0001, which XML 1.0 does "
                  "not allow");
  EXPECT_VX_THROW(strict()->Start("r").Attr("a", "", String(1, 0xFFFE)), CVxException,
                  "The value of the attribute [a] of the element [r] holds the character U+FFFE, "
                  "which XML 1.0 does not allow");
  EXPECT_VX_THROW(strict()->Start("r").Text(String(1, 0)), CVxException,
                  "The text of the element [r] holds the character U+0000, which XML 1.0 does "
                  "not allow");
  // What XML allows, TAB and LF in values included, is written exactly: the
  // strict round trips of CFastInfosetRoundTrip.
}

TEST(CXmlObjectBaseToFastInfoset, EntryPointsEndTheDocumentAndCompress) {
  vxtest::CTestNode node("r");
  CXmlSerializationContext context;
  std::string plain = AsBytes(node.ToFastInfosetStream(FInfoDecl_None, context));
  EXPECT_EQ(Hex(reinterpret_cast<const unsigned char*>(plain.data()), plain.size()),
            std::string(kHeader) + " 7C 00 72 78 03 72 6F 6F 74 42 79 65 73 F0 FF");
  // Compression needs a document that compresses (the output has the
  // input's size at most).
  node.text = U(std::string(200, 'x'));
  plain = AsBytes(node.ToFastInfosetStream(FInfoDecl_None, context));
  std::string gz = AsBytes(node.ToFastInfosetStream(FInfoDecl_V10, context, CompressionType_GZip));
  EXPECT_EQ(vxtest::Inflate(gz).substr(0, 37), "<?xml version='1.0' encoding='finf'?>");
  std::string zlib = AsBytes(node.ToFastInfosetStream(FInfoDecl_None, context, CompressionType_ZLib));
  EXPECT_EQ(vxtest::Inflate(zlib), plain);

  std::string path = vxtest::TempPath("entry.fi");
  String wide = U(path);
  EXPECT_VX_THROW(node.ToFastInfosetFile(wide.c_str(), FInfoDecl_None, context,
                                         CompressionType_ZLib),
                  CVxException, "ZLIB Compression only available for To Stream methods.");
  node.ToFastInfosetFile(wide.c_str(), FInfoDecl_None, context);
  EXPECT_EQ(vxtest::ReadFileBytes(path), plain);  // no byte order mark
  vxtest::CTestNode back("x");
  back.FromXmlFile(wide.c_str(), context);
  EXPECT_EQ(back.Name(), "r");
  EXPECT_EQ(back.text.size(), 200u);
  EXPECT_EQ(ToUtf8(back.rootAttribute), "yes");
  std::remove(path.c_str());
}

TEST(CFastInfosetWriter, GetBinaryDataAnywhereLeavesTheOutputWhole) {
  // Taking the output at every step, and writing on, gives the same
  // document as taking it once at the end.
  auto write = [](bool takeEachStep) {
    CFastInfosetWriter w;
    auto step = [&] {
      if (takeEachStep) w.GetBinaryData();
    };
    w.WriteStartDocument(FInfoDecl_None);
    step();
    w.WriteStartElement(U("r"), String());
    step();
    w.WriteStartElement(U("c"), String());
    w.WriteEndElement();
    w.WriteStartElement(U("c"), String());  // written as it comes: an index
    step();
    w.WriteAttribute(U("a"), String(), U("v"));
    step();
    w.WriteAttribute(U("b"), U("urn:x"), U("w"));  // a declaration: pending form
    step();
    w.WriteText(U("text"));
    step();
    w.WriteEndElement();
    w.WriteEndElement();
    w.WriteEndDocument();
    return Hex(w.GetBinaryData());
  };
  EXPECT_EQ(write(true), write(false));
}
