#include "vxbind/writers/ByteOutput.h"

#include <random>
#include <string>

#include "support/Bytes.h"
#include "support/Text.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::U;

TEST(ToUtf8Bytes, MatchesTheReferenceAndEndsAtTheFirstNul) {
  // Random mixes of one- to four-byte sequences.
  std::mt19937 rng(11);
  const char* pieces[] = {"a", "bcde", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "<x/>"};
  for (int round = 0; round < 200; ++round) {
    std::string expect;
    for (int i = static_cast<int>(rng() % 40); i > 0; --i) expect += pieces[rng() % 6];
    EXPECT_EQ(AsBytes(ToUtf8Bytes(U(expect))), expect);
  }
  EXPECT_EQ(ToUtf8Bytes(String()).GetData(), nullptr);
  for (size_t at = 0; at < 9; ++at) {  // at every offset of a four-unit block
    String s = U("abcdefghij");
    s[at] = 0;
    EXPECT_EQ(AsBytes(ToUtf8Bytes(s)), std::string("abcdefghij").substr(0, at));
  }
}

TEST(ToUtf8Bytes, UnpairedSurrogateIsRefused) {
  const struct {
    String text;
    const char* message;
  } cases[] = {
      {U("ab") + String(1, 0xD800) + U("cd"), "[0xD800] at position [2]"},
      {String(1, 0xDC00), "[0xDC00] at position [0]"},
      {U("x") + String(1, 0xDBFF), "[0xDBFF] at position [1]"},
  };
  for (const auto& c : cases)
    EXPECT_VX_THROW(ToUtf8Bytes(c.text), CVxException,
                    std::string("Invalid UTF-16 text: unpaired surrogate ") + c.message);
}

TEST(CXmlTextWriterGetBytes, EncodesTheWholeBufferByEncodingAndLeavesItAlone) {
  CXmlTextWriter w;
  w.SetIndent(false);
  w.WriteStartElement(U("a"), String());
  w.WriteText(U("caf\xC3\xA9 \xF0\x9F\x98\x80 & <"));
  w.WriteEndElement();
  const std::string xml = "<a>caf\xC3\xA9 \xF0\x9F\x98\x80 &amp; &lt;</a>";
  EXPECT_EQ(AsBytes(w.GetBytes(XmlEncoding_UTF8)), xml);
  CBinaryData utf16 = w.GetBytes(XmlEncoding_UTF16);
  EXPECT_EQ(AsBytes(utf16).substr(0, 4), std::string("<\0a\0", 4));  // low byte first
  EXPECT_TRUE(utf16 == CBinaryData(U(xml).c_str()));
  EXPECT_TRUE(w.GetBytes(XmlEncoding_UTF16NoLabel) == utf16);
  EXPECT_EQ(vxtest::ToUtf8(w.GetString()), xml);
  const char* message = "Unknown Encoding, select UTF-8";
  EXPECT_VX_THROW(w.GetBytes(XmlEncoding_None), CVxException, message);
  EXPECT_VX_THROW(w.GetBytes(static_cast<XmlEncoding>(4)), CVxException, message);
  EXPECT_EQ(CXmlTextWriter().GetBytes(XmlEncoding_UTF8).GetLength(), 0u);
}

TEST(CXmlTextWriterGetBytes, SurrogatePairsAcrossTheWritersChunks) {
  // The writer keeps its text in chunks of 65,535 units; move a surrogate
  // pair across the first boundary one unit at a time.
  for (size_t pad = 65525; pad < 65540; ++pad) {
    SCOPED_TRACE(pad);
    CXmlTextWriter w;
    w.SetIndent(false);
    w.WriteStartElement(U("a"), String());
    w.WriteText(String(pad, u'x') + U("\xF0\x9F\x98\x80\xC3\xA9yz"));
    w.WriteEndElement();
    EXPECT_TRUE(w.GetBytes(XmlEncoding_UTF8) == ToUtf8Bytes(w.GetString()));
    EXPECT_TRUE(w.GetBytes(XmlEncoding_UTF16) == CBinaryData(w.GetString().c_str()));
  }
}
