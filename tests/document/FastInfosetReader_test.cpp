// CFastInfosetReader through CXmlDocument: every alternative that X.891
// allows at each point (whatever our writer produces or not), and the
// refusal of malformed input, each with its message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/Document.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::Dump;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// Octets from "E0 00 01" hex pairs and "'text'" runs (the text's bytes).
std::string Octets(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
    } else if (hex[i] == '\'') {
      size_t end = hex.find('\'', i + 1);
      out += hex.substr(i + 1, end - i - 1);
      i = end + 1;
    } else {
      out.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
      i += 2;
    }
  }
  return out;
}

const std::string kHeader = "E0 00 00 01 00 ";

// The message of the exception that loading throws, or "" when it loads
// (into `doc`).
std::string Failure(const std::string& hex, CXmlDocument& doc) {
  try {
    vxtest::LoadBytes(doc, Octets(hex));
  } catch (const CVxException& e) {
    return ToUtf8(e.GetMessage());
  }
  return "";
}
std::string Failure(const std::string& hex, bool strict = false) {
  CXmlDocument doc;
  doc.SetStrictXml(strict);
  return Failure(hex, doc);
}

// The tree read, or "threw" and the message.
std::string Read(const std::string& hex, SchemaType schema = SchemaType_Default) {
  CXmlDocument doc(schema);
  std::string failure = Failure(hex, doc);
  return failure.empty() ? Dump(doc.GetDocumentElement()) : "threw " + failure;
}

}  // namespace

TEST(CFastInfosetReader, DecodesEveryAlternative) {
  struct Case {
    const char* what;
    std::string octets;
    const char* tree;
  };
  const Case cases[] = {
      {"the smallest document", kHeader + "3C 00 'r' FF", "{}r[]"},
      {"literal names: namespace only, prefix and namespace, then indexes",
       kHeader + "3D 04 'urn:a' 00 'r' 3F 00 'p' 81 00 'c' F0 01 F0 3C 81 FF",
       "{urn:a}r[]({urn:a}c[]{urn:a}c[]{}c[])"},
      {"attributes: literal, index, empty value, value index",
       kHeader + "7C 00 'r' 78 00 'a' 41 'xy' 79 04 'urn:b' 00 'b' FF F0 "
                 "7C 00 'c' 00 80 01 80 FF FF",
       "{}r[ {}a=xy {urn:b}b=]({}c[ {}a=xy {urn:b}b=xy])"},
      {"attribute list ended by FF: no children",
       kHeader + "7C 00 'r' 78 00 'a' 40 'v' FF F0", "{}r[ {}a=v]"},
      {"a nested element ending with FF ends its parent",
       kHeader + "3C 00 'r' 3C 00 'a' 3C 00 'b' FF 3C 00 'c' FF", "{}r[]({}a[]({}b[]){}c[])"},
      {"chunks: literal added, index, long literal, mixed with children",
       kHeader + "3C 00 'r' 91 'ab' 3C 00 'c' A0 F0 A0 82 03 'abcdef' FF",
       "{}r[]\"abababcdef\"({}c[]\"ab\")"},
      {"UTF-16 strings, most significant octet first",
       kHeader + "7C 00 'r' 78 00 'a' 11 00 41 F0 85 00 E9 FF", "{}r[ {}a=A]\"\xC3\xA9\""},
      {"UTF-16 surrogate pair", kHeader + "3C 00 'r' 86 01 D8 34 DD 1E FF",
       "{}r[]\"\xF0\x9D\x84\x9E\""},
      {"restricted alphabets: numeric and date-time, in chunks and values",
       kHeader + "7C 00 'r' 78 00 'a' 20 00 42 F0 88 01 12 C5 88 00 7F 88 06 00 12 B3 0D FF",
       "{}r[ {}a=42]\"12.5712:30Z\""},
      {"encoding algorithms in chunks: hex, base64, short, int, long",
       kHeader + "3C 00 'r' 3C 00 'a' 8C 01 AB CD F0 3C 00 'b' 8C 06 00 61 62 63 F0 "
                 "3C 00 'c' 8C 0A 01 FF FF 00 01 F0 3C 00 'd' 8C 0E 01 00 00 00 2A F0 "
                 "3C 00 'e' 8C 12 05 FF FF FF FF FF FF FF FF FF",
       "{}r[]({}a[]\"ABCD\"{}b[]\"YWJj\"{}c[]\"-1 1\"{}d[]\"42\"{}e[]\"-1\")"},
      {"encoding algorithms in chunks: boolean, float, double, UUID, CDATA",
       kHeader + "3C 00 'r' 3C 00 'a' 8C 14 25 F0 3C 00 'b' 8C 1A 01 3F C0 00 00 F0 "
                 "3C 00 'c' 8C 1E 05 3F B9 99 99 99 99 99 9A F0 "
                 "3C 00 'd' 8C 22 0D 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF F0 "
                 "3C 00 'e' 8C 26 00 'a<b' FF",
       "{}r[]({}a[]\"false true\"{}b[]\"1.5\"{}c[]\"0.1\"{}d[]\"00112233445566778899AABBCCDDEEFF\""
       "{}e[]\"a<b\")"},
      {"an encoding algorithm in a value",
       kHeader + "7C 00 'r' 78 00 'a' 30 33 00 00 00 2A F0 FF", "{}r[ {}a=42]"},
      {"namespace attributes: default, prefix, undeclaration",
       kHeader + "38 CD 04 'urn:d' CF 00 'p' 04 'urn:p' F0 3D 81 00 'r' "
                 "38 CC F0 3C 00 'c' FF F0",
       "{urn:d}r[]({}c[])"},
      {"comments, instructions and a doctype before the root; skipped in content",
       kHeader + "E2 43 'note' E1 00 't' 41 'da' C7 02 'sys' 02 'pub' E1 80 81 F0 "
                 "3C 00 'r' E2 80 E1 00 'u' 40 'd' C8 00 'e' 91 'hi' FF",
       "{}r[]\"hi\""},
      {"every optional part of the header",
       "E0 00 00 01 7F "
       "00 00 'i' 00 'd' "                          // additional data: one pair
       "10 00 01 'uv' "                             // initial vocabulary: external URI
       "C3 00 'n' 00 's' 00 'p' F0 "                // a notation
       "D1 00 'e' 81 80 80 F0 "                     // an unparsed entity
       "04 'UTF-8' "                                // character encoding scheme
       "01 "                                        // standalone
       "42 '1.0' "                                  // version, added to other strings
       "3C 00 'r' FF",
       "{}r[]"},
      {"an initial vocabulary of every kind is read and discarded",
       "E0 00 00 01 20 1F FF 00 'u' 00 00 'a' 00 00 'x' 00 00 'p' 00 00 'n' "
       "00 00 'l' 00 00 'o' 00 00 'v' 00 00 'w' 00 00 'c' 00 00 's' "
       "00 03 00 01 01 00 03 00 01 00 "
       "3C 00 'r' FF",
       "{}r[]"},
      {"a declared prefix, then bytes after the document are ignored",
       kHeader + "3C 00 'r' FF 'junk'", "{}r[]"},
      {"a table index in the medium range",
       [] {
         std::string s = kHeader + "3C 00 'r' ";
         for (int i = 0; i < 70; ++i)
           s += "7C 00 'c' 78 00 'a' 41 '" +
                std::string(1, char('A' + i % 26)) + std::string(1, char('A' + i / 26)) + "' FF ";
         return s + "41 00 C0 00 FF FF";
       }(),
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.tree == nullptr) {
      EXPECT_EQ(Failure(c.octets), "");
      continue;
    }
    EXPECT_EQ(Read(c.octets), c.tree);
  }
}

TEST(CFastInfosetReader, NamespaceAttributesBecomeTheDocumentsDeclarations) {
  CXmlDocument doc;
  ASSERT_EQ(Failure(kHeader + "38 CD 04 'urn:d' CF 00 'p' 04 'urn:p' F0 3D 81 00 'r' "
                              "38 CC CF 81 04 'urn:q' F0 3C 00 'c' F0 3C 00 'd' FF",
                    doc),
            "");
  const CXmlElement* root = doc.GetDocumentElement();
  const CXmlElement* c = root->GetFirstElement();
  const CXmlElement* d = c->GetNextSiblingElement();
  String uri;
  EXPECT_TRUE(root->LookupNamespaceURI(U("p"), uri));
  EXPECT_EQ(ToUtf8(uri), "urn:p");
  EXPECT_TRUE(c->LookupNamespaceURI(U("p"), uri));
  EXPECT_EQ(ToUtf8(uri), "urn:q");
  EXPECT_FALSE(c->LookupNamespaceURI(U(""), uri));  // xmlns=""
  EXPECT_TRUE(d->LookupNamespaceURI(U(""), uri));
  EXPECT_EQ(ToUtf8(uri), "urn:d");
  EXPECT_TRUE(d->LookupNamespaceURI(U("p"), uri));
  EXPECT_EQ(ToUtf8(uri), "urn:p");
  EXPECT_EQ(ToUtf8(doc.LookupNamespaceFromAlias(U("p").c_str())), "urn:q");
}

TEST(CFastInfosetReader, WithoutNamespaceProcessingNamesAreQualified) {
  EXPECT_EQ(Read(kHeader + "78 CF 00 'p' 04 'urn:p' F0 3F 81 81 00 'r' 7B 81 81 00 'a' 40 'v' "
                           "F0 FF",
                 SchemaType_NoNamespaces),
            "{}p:r[ {}xmlns:p=urn:p {}p:a=v]");
}

TEST(CFastInfosetReader, MalformedInputIsRefusedWithItsMessage) {
  const std::string fi = "Failed to parse FastInfoset. ";
  struct Case {
    std::string octets;
    std::string message;
  };
  const Case cases[] = {
      {kHeader + "3C 00 'r'", fi + "Unexpected End of File."},
      {kHeader + "3C 00", fi + "Unexpected End of File."},
      {kHeader + "3C 00 'r' 83 FF FF FF FF 'ab'", fi + "Unexpected End of File."},
      {kHeader + "3E 00 'p' 00 'r' FF", fi + "Invalid QName type Prefix without Namespace."},
      {kHeader + "7C 00 'r' 7A 00 'p' 00 'a' FF FF",
       fi + "Invalid QName type Prefix without Namespace."},
      {kHeader + "31", fi + "Invalid Encoding of integers 1 To 2^20 type  on the third bit of an octet."},
      {kHeader + "30 10 00 00", fi + "Invalid Encoding of integers 1 To 2^20 type  on the third bit of an octet."},
      {kHeader + "7C 00 'r' 70", fi + "Invalid Encoding of integers 1 To 2^20 type  on the second bit of an octet."},
      {kHeader + "3C 00 'r' B9", fi + "Invalid Encoding of integers 1 To 2^20 type  on the fourth bit of an octet."},
      {kHeader + "7C 00 'r' 78 00 'a' F0", fi + "Invalid Encoding of integers 0 To 2^20 type  on the second bit of an octet."},
      {kHeader + "3C 41", fi + "Invalid NonEmptyOctetString type  on the second bit of an octet."},
      {kHeader + "7C 00 'r' 78 00 'a' 09", fi + "Invalid NonEmptyOctetString type  on the fifth bit of an octet."},
      {kHeader + "3C 00 'r' C0", fi + "Invalid Encoding of Element type."},
      {kHeader + "3C 00 'r' 8C 28 00 00 FF", fi + "Invalid NonEmptyOctetEncryptedString."},
      {kHeader + "01", fi + "Index [2] is not in the element name table."},
      {kHeader + "7C 00 'r' 00", fi + "Index [1] is not in the attribute name table."},
      {kHeader + "7C 00 'r' 78 00 'a' 80", fi + "Index [1] is not in the attribute value table."},
      {kHeader + "3C 00 'r' A0", fi + "Index [1] is not in the content character chunk table."},
      {kHeader + "3F 81", fi + "Index [2] is not in the prefix table."},
      {kHeader + "3D 81", fi + "Index [2] is not in the namespace name table."},
      {kHeader + "3C 80", fi + "Index [1] is not in the local name table."},
      {kHeader + "3C 00 'r' 88 08 12", fi + "Index [3] is not in the restricted alphabet table."},
      {kHeader + "3C 00 'r' 88 01 F1 23", fi + "Invalid Encoding of Restricted Alphabet."},
      {kHeader + "E1 81", fi + "Index [2] is not in the other NCName table."},
      {kHeader + "3C 01 C3 28", fi + "Invalid UTF-8 string."},
      {kHeader + "3C 01 C0 80", fi + "Invalid UTF-8 string."},         // overlong
      {kHeader + "3C 02 ED A0 80", fi + "Invalid UTF-8 string."},      // a surrogate
      {kHeader + "3C 00 'r' 86 00 00 41 00", fi + "A UTF-16 string has an odd number of octets."},
      {kHeader + "3C 00 'r' 85 D8 00", fi + "Invalid UTF-16 string."},
      {kHeader + "3C 00 'r' 8C 0C 01 02 03", "Invalid value [1] for INT byte encoding."},
      {"E0 00 00 01 80 3C 00 'r' FF", fi + "Invalid Encoding of the document header."},
      {kHeader + "C0", fi + "Invalid Encoding of Document type."},
      {kHeader + "38 CD 00 'u' 3C 00 'r' FF", fi + "Invalid Encoding of Namespace Attributes."},
      {kHeader + "7C 00 'r' 78 00 'a' 40 'v' E1", fi + "Invalid Encoding of Attribute type."},
      {kHeader + "E2 03 'note' F0", "Invalid or empty XML document"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.octets);
    EXPECT_EQ(Failure(c.octets), c.message);
  }
  // Only the header: not Fast Infoset, so the text reader refuses it.
  std::string text = Failure("E0 00 00 01");
  EXPECT_NE(text, "");
  EXPECT_EQ(text.find("Failed to parse FastInfoset"), std::string::npos) << text;
}

TEST(CFastInfosetReader, EveryTruncationIsRefusedAndKeepsWhatWasRead) {
  const std::string whole = Octets(
      kHeader + "78 CD 04 'urn:d' F0 3D 81 00 'r' 78 00 'a' 41 'xy' F0 91 'ab' "
                "3C 00 'c' 88 01 12 C5 F0 3C 00 'd' 8C 0E 01 00 00 00 2A FF");
  ASSERT_EQ(Failure(""), "XML Stream is empty!");
  for (size_t n = 6; n < whole.size(); ++n) {
    SCOPED_TRACE(n);
    CXmlDocument doc;
    std::vector<unsigned char> bytes(whole.begin(), whole.begin() + static_cast<long>(n));
    try {
      doc.LoadXmlStream(bytes.data(), static_cast<uint32_t>(n));
      ADD_FAILURE() << "loaded";
    } catch (const CVxException& e) {
      std::string message = ToUtf8(e.GetMessage());
      EXPECT_TRUE(message == "Failed to parse FastInfoset. Unexpected End of File." ||
                  message == "Invalid or empty XML document")
          << message;
    }
    // Whatever was read is still there and sound.
    if (const CXmlElement* root = doc.GetDocumentElement()) {
      EXPECT_EQ(ToUtf8(root->GetLocalName()), "r");
    }
  }
  CXmlDocument doc;
  vxtest::LoadBytes(doc, whole);
  EXPECT_EQ(Dump(doc.GetDocumentElement()), "{urn:d}r[ {}a=xy]\"ab\"({}c[]\"12.5\"{}d[]\"42\")");
}

TEST(CFastInfosetReader, StrictReadingRefusesOctetsAfterTheDocument) {
  EXPECT_EQ(Failure(kHeader + "3C 00 'r' FF", true), "");
  EXPECT_EQ(Failure(kHeader + "3C 00 'r' F0 E2 00 'x' F0", true), "");
  EXPECT_EQ(Failure(kHeader + "3C 00 'r' FF 00", true),
            "Failed to parse FastInfoset. Octets follow the end of the document.");
  EXPECT_EQ(Failure(kHeader + "3C 00 'r' F0", true),
            "Failed to parse FastInfoset. Unexpected End of File.");
}

TEST(CFastInfosetReader, IndexedStringsCannotMultiplyTheInput) {
  // A value of 10,000 units, then attributes that repeat it by index (two
  // octets each): 64 Mi units are allowed, more are refused.
  std::string value(10000, 'v');
  std::string head = kHeader + "7C 00 'r' 78 00 'a' 4C 00 00 26 07 '" + value + "' ";
  auto document = [&](int repeats) {
    std::string s = head;
    for (int i = 0; i < repeats; ++i) s += "00 80 ";
    return s + "FF F0";
  };
  EXPECT_EQ(Failure(document(6000)), "");
  EXPECT_EQ(Failure(document(7000)),
            "Failed to parse FastInfoset. Indexed strings expand the document to more than 256 "
            "times its size; it is not read.");
}
