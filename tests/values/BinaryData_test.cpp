#include "vxbind/values/BinaryData.h"

#include <random>
#include <string>

#include "support/Bytes.h"
#include "support/GuardedText.h"
#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::GuardedText;
using vxtest::MakeBytes;
using vxtest::ToUtf8;
using vxtest::U;

TEST(CBinaryData, HexAndBase64KnownForms) {
  CBinaryData d = MakeBytes({0x00, 0xAB, 0xFF});
  EXPECT_EQ(ToUtf8(d.GetAsHexString()), "00ABFF");
  CBinaryData r;
  r.SetAsHexString(VX_T("00abff"));
  EXPECT_EQ(r, d);
  const char* coded[] = {"", "YQ==", "YWI=", "YWJj", "YWJjZA=="};
  for (int n = 0; n < 5; ++n) {
    CBinaryData plain(reinterpret_cast<const unsigned char*>("abcd"), static_cast<uint32_t>(n));
    EXPECT_EQ(ToUtf8(plain.GetAsBase64()), coded[n]);
  }
  // Padding may be missing; '=' and XML white space are skipped anywhere.
  r.SetAsBase64(U("Y=W\r\n J\tj").c_str());
  EXPECT_EQ(AsBytes(r), "abc");
  r.SetAsBase64(VX_T("YWI"));
  EXPECT_EQ(AsBytes(r), "ab");
}

TEST(CBinaryData, TextFormsRoundTripEveryLength) {
  std::mt19937 rng(7);
  for (uint32_t n = 0; n < 300; ++n) {
    std::string b(n, '\0');
    for (char& x : b) x = static_cast<char>(rng());
    CBinaryData d(reinterpret_cast<const unsigned char*>(b.data()), n);
    CBinaryData h;
    h.SetAsHexString(d.GetAsHexString().c_str());
    ASSERT_EQ(AsBytes(h), b) << n;
    // White space breaks the 4-character groups at random offsets.
    String spaced = d.GetAsBase64();
    for (int k = 0; k < 3 && !spaced.empty(); ++k)
      spaced.insert(spaced.begin() + rng() % spaced.size(), static_cast<unsigned short>(" \n\t"[k]));
    CBinaryData w;
    w.SetAsBase64(spaced.c_str());
    ASSERT_EQ(AsBytes(w), b) << n;
  }
}

TEST(CBinaryData, TextReadersReadNothingAfterTheTerminator) {
  // Each text ends where readable memory ends, at every length and with the
  // terminator at every offset of an 8-byte word: a reader that looks even
  // one unit past the terminator faults (or, in an AddressSanitizer build,
  // is reported).
  std::mt19937 rng(11);
  for (uint32_t n = 0; n < 80; ++n) {
    std::string b(n, '\0');
    for (char& x : b) x = static_cast<char>(rng());
    CBinaryData d(reinterpret_cast<const unsigned char*>(b.data()), n);
    String base64 = d.GetAsBase64();
    struct Form { String text; bool hex; };
    const Form forms[] = {{d.GetAsHexString(), true},
                          {base64, false},
                          {base64.substr(0, base64.find(u'=')), false},
                          {base64 + U(" \n"), false}};
    for (const Form& form : forms) {
      for (size_t slack = 0; slack < 4; ++slack) {
        GuardedText guarded(form.text, slack);
        CBinaryData r;
        if (form.hex)
          r.SetAsHexString(guarded.c_str());
        else
          r.SetAsBase64(guarded.c_str());
        ASSERT_EQ(AsBytes(r), b) << n << " " << vxtest::ToUtf8(form.text);
      }
    }
  }
  // The missing digit of an odd-length text is the terminator itself.
  GuardedText odd(U("ABC"));
  CBinaryData r;
  EXPECT_VX_THROW(r.SetAsHexString(odd.c_str()), CVxException,
                  std::string("Invalid char in hex string [") + '\0' + "]");
  GuardedText lone(U("YWJjZ"));
  EXPECT_VX_THROW(r.SetAsBase64(lone.c_str()), CVxException,
                  "Invalid length of base64 string [5]");
}

TEST(CBinaryData, LongTextsReadWholeAndFailWhole) {
  // Lengths around the points where the decoded bytes fill the block on the
  // stack (1 KiB) and the first heap blocks (4 and 8 KiB), and many blocks.
  std::mt19937 rng(5);
  for (uint32_t n : {1021u, 1022u, 1023u, 1024u, 1025u, 1026u, 5117u, 5118u, 5119u, 5120u, 5121u,
                     13311u, 13312u, 13313u, 1u << 20}) {
    std::string b(n, '\0');
    for (char& x : b) x = static_cast<char>(rng());
    CBinaryData d(reinterpret_cast<const unsigned char*>(b.data()), n);
    CBinaryData h;
    h.SetAsHexString(d.GetAsHexString().c_str());
    ASSERT_EQ(AsBytes(h), b) << n;
    // Base64 in lines of 76 characters, as MIME writes it.
    String base64 = d.GetAsBase64(), lines;
    for (size_t i = 0; i < base64.size(); i += 76) lines += base64.substr(i, 76) + U("\r\n");
    CBinaryData w;
    w.SetAsBase64(lines.c_str());
    ASSERT_EQ(AsBytes(w), b) << n;
    // A bad character at the very end, after all the growing, throws and
    // leaves the content as it was.
    EXPECT_VX_THROW(w.SetAsHexString((d.GetAsHexString() + U("0G")).c_str()), CVxException,
                    "Invalid char in hex string [G]");
    EXPECT_VX_THROW(w.SetAsBase64((lines + U("*")).c_str()), CVxException,
                    "Invalid char in base64 string [*]");
    ASSERT_EQ(AsBytes(w), b) << n;
  }
}

TEST(CBinaryData, BadTextThrowsAndLeavesContent) {
  CBinaryData d = MakeBytes({9});
  EXPECT_VX_THROW(d.SetAsHexString(VX_T("0G")), CVxException, "Invalid char in hex string [G]");
  // The missing digit of an odd-length text is the terminator.
  EXPECT_VX_THROW(d.SetAsHexString(VX_T("ABC")), CVxException,
                  std::string("Invalid char in hex string [") + '\0' + "]");
  EXPECT_VX_THROW(d.SetAsBase64(VX_T("YW*j")), CVxException, "Invalid char in base64 string [*]");
  // Non-ASCII characters are not read as the ASCII letter in their low bits.
  EXPECT_VX_THROW(d.SetAsBase64(U("YW\xC5\x81j").c_str()), CVxException,
                  "Invalid char in base64 string [\xC5\x81]");
  // Five symbols leave one 6-bit group, which cannot make a byte.
  EXPECT_VX_THROW(d.SetAsBase64(VX_T("YWJjZ")), CVxException,
                  "Invalid length of base64 string [5]");
  EXPECT_EQ(AsBytes(d), "\x09");
}

TEST(CBinaryData, CopiesShareUntilWritten) {
  CBinaryData a = MakeBytes({1, 2, 3});
  CBinaryData b = a;
  EXPECT_EQ(a.GetData(), b.GetData());
  b.Append(static_cast<unsigned char>(4));
  EXPECT_EQ(AsBytes(a), "\x01\x02\x03");
  EXPECT_EQ(AsBytes(b), "\x01\x02\x03\x04");
  CBinaryData c = a;
  c[0] = 7;  // the non-const index unshares first
  EXPECT_EQ(a[0], 1);
  unsigned char* raw = c.ReleaseData();  // c's own array, not a's
  EXPECT_NE(raw, a.GetData());
  delete[] raw;
  EXPECT_EQ(c.GetLength(), 0u);
  a = a;
  // Appending a buffer to itself, shared or not, and across reallocations.
  CBinaryData s = a;
  a.Append(a);
  s.Append(s.GetData() + 1, 2);
  EXPECT_EQ(AsBytes(a), "\x01\x02\x03\x01\x02\x03");
  EXPECT_EQ(AsBytes(s), "\x01\x02\x03\x02\x03");
  std::string expect;
  CBinaryData grown;
  for (int i = 0; i < 20000; ++i) {
    grown.Append(static_cast<unsigned char>(i));
    expect.push_back(static_cast<char>(i));
  }
  grown.Append(VX_T("A"));
  EXPECT_EQ(AsBytes(grown), expect + std::string("A\0", 2));
  const CBinaryData& cg = grown;
  EXPECT_VX_THROW(cg[20002], CVxException, "Index Out of range [20002]");
  EXPECT_VX_THROW(CBinaryData()[0], CVxException, "Index Out of range [0]");
}

TEST(CBinaryData, TypedEncodings) {
  EXPECT_EQ(ToUtf8(MakeBytes({0x00, 0x01, 0xFF, 0xFF}).GetAsString(ByteEncoding_Short)), "1 -1");
  EXPECT_EQ(ToUtf8(MakeBytes({0x80, 0, 0, 0, 0, 0, 0, 2}).GetAsString(ByteEncoding_Int)),
            "-2147483648 2");
  EXPECT_EQ(ToUtf8(MakeBytes({0x80, 0, 0, 0, 0, 0, 0, 0}).GetAsString(ByteEncoding_Long)),
            "-9223372036854775808");
  EXPECT_EQ(ToUtf8(MakeBytes({0x25}).GetAsString(ByteEncoding_Boolean)), "false true");
  EXPECT_EQ(ToUtf8(MakeBytes({0x1F, 0x80}).GetAsString(ByteEncoding_Boolean)),
            "true true true true true false false false false false false");
  // 1.5f and 0.1f, then 0.1, big-endian IEEE 754.
  EXPECT_EQ(ToUtf8(MakeBytes({0x3F, 0xC0, 0, 0, 0x3D, 0xCC, 0xCC, 0xCD})
                       .GetAsString(ByteEncoding_Float)),
            "1.5 0.1");
  EXPECT_EQ(ToUtf8(MakeBytes({0x3F, 0xB9, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9A})
                       .GetAsString(ByteEncoding_Double)),
            "0.1");
  // The shortest text that reads back, as r4ToString/r8ToString print it:
  // 2^24 needs 8 digits ("%.7g" gives 1.677722e+07), 1 + 2^-52 needs 17,
  // and the specials are spelt as XSD spells them.
  EXPECT_EQ(ToUtf8(MakeBytes({0x4B, 0x80, 0, 0, 0x7F, 0x80, 0, 0, 0xFF, 0x80, 0, 0, 0x7F, 0xC0,
                              0, 0}).GetAsString(ByteEncoding_Float)),
            "1.6777216e+07 INF -INF NaN");
  EXPECT_EQ(ToUtf8(MakeBytes({0x3F, 0xF0, 0, 0, 0, 0, 0, 0x01, 0x44, 0x80, 0xF0, 0xCF, 0x06, 0x4D,
                              0xD5, 0x92}).GetAsString(ByteEncoding_Double)),
            "1.0000000000000002 1e+22");
  CBinaryData uuid;
  uuid.SetAsHexString(VX_T("00112233445566778899aabbccddeeff"));
  EXPECT_EQ(ToUtf8(uuid.GetAsString(ByteEncoding_UUID)), "00112233445566778899AABBCCDDEEFF");
  EXPECT_EQ(ToUtf8(CBinaryData(VX_T("hi")).GetAsString(ByteEncoding_None)), "hi");
  EXPECT_EQ(ToUtf8(CBinaryData().GetAsString(ByteEncoding_Int)), "");
  EXPECT_EQ(ToUtf8(CBinaryData().GetAsString(static_cast<ByteEncoding>(10))), "");

  CBinaryData three = MakeBytes({1, 2, 3});
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Short), CVxException,
                  "Invalid value [1] for SHORT byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Double), CVxException,
                  "Invalid value [3] for DOUBLE byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_UUID), CVxException,
                  "Invalid value [3] for UUID byte encoding.");
  // Seven unused bits claimed of a 4-bit remainder.
  EXPECT_VX_THROW(MakeBytes({0x70}).GetAsString(ByteEncoding_Boolean), CVxException,
                  "Invalid value [7] for BOOLEAN byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(static_cast<ByteEncoding>(10)), CVxException,
                  "Unknown byte encoding.");
}

TEST(CBinaryData, CompressionRoundTripsThroughZlib) {
  std::string plain;
  for (int i = 0; i < 2000; ++i) plain += "<item>" + std::to_string(i % 17) + "</item>";
  for (CompressionType type : {CompressionType_GZip, CompressionType_ZLib}) {
    CBinaryData d(reinterpret_cast<const unsigned char*>(plain.data()),
                  static_cast<uint32_t>(plain.size()));
    CBinaryData shared = d;
    EXPECT_EQ(d.CompressData(type), d);
    EXPECT_LT(d.GetLength(), plain.size() / 4);
    EXPECT_EQ(AsBytes(shared), plain);  // the other handle kept the plain bytes
    EXPECT_EQ(AsBytes(d).substr(0, 2), type == CompressionType_GZip ? "\x1F\x8B" : "\x78\x01");
    EXPECT_EQ(vxtest::Inflate(AsBytes(d)), plain);
  }
}

TEST(CBinaryData, CompressionThatDoesNotFitLeavesContent) {
  std::mt19937 rng(3);
  std::string random(64, '\0');
  for (char& x : random) x = static_cast<char>(rng());
  CBinaryData d(reinterpret_cast<const unsigned char*>(random.data()), 64);
  try {
    d.CompressData(CompressionType_GZip);
    ADD_FAILURE() << "did not throw";
  } catch (const CVxException& e) {
    EXPECT_EQ(ToUtf8(e.GetMessage()).rfind("Failed to compress data. [Error Code: ", 0), 0u);
  }
  EXPECT_EQ(AsBytes(d), random);
  CBinaryData empty;  // no room at all for the header
  EXPECT_VX_THROW(empty.CompressData(CompressionType_ZLib), CVxException,
                  "Failed to compress data. [Error Code: -5]");
}

TEST(CBinaryData, ToFileWritesByteOrderMarkOnlyForUtf16) {
  CBinaryData d = MakeBytes({'<', 0, 'a', 0});
  std::string path = vxtest::TempPath("bom");
  String name = U(path);
  d.ToFile(name.c_str(), XmlEncoding_UTF16);
  EXPECT_EQ(vxtest::ReadFileBytes(path), "\xFF\xFE" + AsBytes(d));
  d.ToFile(name.c_str(), XmlEncoding_UTF8);  // truncates the longer file
  EXPECT_EQ(vxtest::ReadFileBytes(path), AsBytes(d));
  std::remove(path.c_str());
  EXPECT_VX_THROW(d.ToFile(VX_T("/nonexistent-dir/x.xml"), XmlEncoding_UTF8), CVxException,
                  "Failed to write data to the file [/nonexistent-dir/x.xml] error [0x00000002]");
}
