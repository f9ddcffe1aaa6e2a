#include "vxbind/writers/ByteOutput.h"

#include "vxbind/writers/XmlTextWriter.h"

#include <random>
#include <string>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {
std::string AsString(const CBinaryData& d) {
  return std::string(reinterpret_cast<const char*>(d.GetData()), d.GetLength());
}
}  // namespace

TEST(ToUtf8Bytes, EncodesEachLengthClass) {
  EXPECT_EQ(AsString(ToUtf8Bytes(U("plain ascii"))), "plain ascii");
  EXPECT_EQ(AsString(ToUtf8Bytes(U("\xC3\xA9"))), "\xC3\xA9");
  EXPECT_EQ(AsString(ToUtf8Bytes(U("\xE2\x82\xAC"))), "\xE2\x82\xAC");
  EXPECT_EQ(AsString(ToUtf8Bytes(U("\xF0\x9F\x98\x80"))), "\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8Bytes(String()).GetData(), nullptr);
  // Text ends at the first NUL, wherever it falls in a 4-unit block.
  for (size_t at = 0; at < 9; ++at) {
    String s = U("abcdefghij");
    s[at] = 0;
    EXPECT_EQ(AsString(ToUtf8Bytes(s)), std::string("abcdefghij").substr(0, at));
  }
}

TEST(ToUtf8Bytes, MatchesReferenceOnRandomMixedText) {
  std::mt19937 rng(11);
  const char* pieces[] = {"a", "bcde", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "<x/>"};
  for (int round = 0; round < 200; ++round) {
    std::string expect;
    int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) expect += pieces[rng() % 6];
    EXPECT_EQ(AsString(ToUtf8Bytes(U(expect))), expect);
  }
}

TEST(ToUtf8Bytes, UnpairedSurrogateIsRefused) {
  String lone = U("ab");
  lone.push_back(0xD800);
  lone += U("cd");
  EXPECT_VX_THROW(ToUtf8Bytes(lone), CVxException,
                  "Invalid UTF-16 text: unpaired surrogate [0xD800] at position [2]");
  String low(1, 0xDC00);
  EXPECT_VX_THROW(ToUtf8Bytes(low), CVxException,
                  "Invalid UTF-16 text: unpaired surrogate [0xDC00] at position [0]");
  String trailingHigh = U("x");
  trailingHigh.push_back(0xDBFF);
  EXPECT_VX_THROW(ToUtf8Bytes(trailingHigh), CVxException,
                  "Invalid UTF-16 text: unpaired surrogate [0xDBFF] at position [1]");
}

TEST(CXmlTextWriterGetBytes, EncodesTheWholeBufferByEncoding) {
  CXmlTextWriter w;
  w.SetIndent(false);
  w.WriteStartElement(U("a"), String());
  w.WriteText(U("caf\xC3\xA9 \xF0\x9F\x98\x80 & <"));
  w.WriteEndElement();
  const std::string xml = "<a>caf\xC3\xA9 \xF0\x9F\x98\x80 &amp; &lt;</a>";
  EXPECT_EQ(AsString(w.GetBytes(XmlEncoding_UTF8)), xml);
  CBinaryData utf16 = w.GetBytes(XmlEncoding_UTF16);
  String text = w.GetString();
  ASSERT_EQ(utf16.GetLength(), text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {  // low byte first
    EXPECT_EQ(utf16[static_cast<uint32_t>(2 * i)], text[i] & 0xFF);
    EXPECT_EQ(utf16[static_cast<uint32_t>(2 * i + 1)], text[i] >> 8);
  }
  EXPECT_TRUE(w.GetBytes(XmlEncoding_UTF16NoLabel) == utf16);
  EXPECT_EQ(ToUtf8(text), xml);  // GetBytes left the buffer as it was
  const char* message =
      "Unknown Encoding, select UTF-8 (contact support@vxbind.example for support)";
  EXPECT_VX_THROW(w.GetBytes(XmlEncoding_None), CVxException, message);
  EXPECT_VX_THROW(w.GetBytes(static_cast<XmlEncoding>(4)), CVxException, message);
  CXmlTextWriter empty;
  EXPECT_EQ(empty.GetBytes(XmlEncoding_UTF8).GetLength(), 0u);
}

TEST(CXmlTextWriterGetBytes, SurrogatePairsAcrossTheWritersChunks) {
  // The writer keeps its text in chunks of 65,535 units; move a surrogate
  // pair across the first boundary one unit at a time.
  for (size_t pad = 65525; pad < 65540; ++pad) {
    SCOPED_TRACE(pad);
    CXmlTextWriter w;
    w.SetIndent(false);
    w.WriteStartElement(U("a"), String());
    String text(pad, u'x');
    text += U("\xF0\x9F\x98\x80\xC3\xA9yz");
    w.WriteText(text);
    w.WriteEndElement();
    EXPECT_TRUE(w.GetBytes(XmlEncoding_UTF8) == ToUtf8Bytes(w.GetString()));
    EXPECT_TRUE(w.GetBytes(XmlEncoding_UTF16) == CBinaryData(w.GetString().c_str()));
  }
}
