#include "vxbind/values/BinaryData.h"

#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

CBinaryData Bytes(std::initializer_list<unsigned char> b) {
  return CBinaryData(std::vector<unsigned char>(b).data(), static_cast<uint32_t>(b.size()));
}

std::vector<unsigned char> AsVector(const CBinaryData& d) {
  return std::vector<unsigned char>(d.GetData(), d.GetData() + d.GetLength());
}

// Inflates gzip or zlib data (window bits 47 detect either wrapper).
std::vector<unsigned char> Inflate(const CBinaryData& d) {
  z_stream s{};
  EXPECT_EQ(inflateInit2(&s, 47), Z_OK);
  std::vector<unsigned char> out(1 << 16);
  s.next_in = const_cast<unsigned char*>(d.GetData());
  s.avail_in = d.GetLength();
  size_t used = 0;
  int rc;
  do {
    if (used == out.size()) out.resize(out.size() * 2);
    s.next_out = out.data() + used;
    s.avail_out = static_cast<uInt>(out.size() - used);
    rc = inflate(&s, Z_NO_FLUSH);
    used = out.size() - s.avail_out;
  } while (rc == Z_OK);
  inflateEnd(&s);
  EXPECT_EQ(rc, Z_STREAM_END);
  out.resize(used);
  return out;
}

std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/vxbind_bin_" +
         std::to_string(::getpid()) + "_" + name;
}

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::vector<unsigned char> data;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) data.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
  }
  return data;
}

}  // namespace

TEST(CBinaryData, HexWritesUpperCaseAndReadsEitherCase) {
  CBinaryData d = Bytes({0x00, 0xAB, 0xFF});
  EXPECT_EQ(ToUtf8(d.GetAsHexString()), "00ABFF");
  CBinaryData r;
  r.SetAsHexString(U("00abff").c_str());
  EXPECT_EQ(r, d);
  r.SetAsHexString(VX_T(""));
  EXPECT_EQ(r.GetLength(), 0u);
  EXPECT_EQ(ToUtf8(CBinaryData().GetAsHexString()), "");
}

TEST(CBinaryData, BadHexThrowsAndLeavesContent) {
  CBinaryData d = Bytes({1, 2});
  EXPECT_VX_THROW(d.SetAsHexString(VX_T("0G")), CVxException, "Invalid char in hex string [G]");
  EXPECT_VX_THROW(d.SetAsHexString(VX_T("G0")), CVxException, "Invalid char in hex string [G]");
  // The missing digit of an odd-length text is the terminator.
  EXPECT_VX_THROW(d.SetAsHexString(VX_T("ABC")), CVxException,
                  std::string("Invalid char in hex string [") + '\0' + "]");
  EXPECT_VX_THROW(d.SetAsHexString(U("0\xC3\xA9").c_str()), CVxException,
                  "Invalid char in hex string [\xC3\xA9]");
  EXPECT_EQ(d, Bytes({1, 2}));
}

TEST(CBinaryData, Base64KnownForms) {
  const char* plain[] = {"", "a", "ab", "abc", "abcd", "abcde", "abcdef"};
  const char* coded[] = {"", "YQ==", "YWI=", "YWJj", "YWJjZA==", "YWJjZGU=", "YWJjZGVm"};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(plain[i]);
    std::string p = plain[i];
    CBinaryData d(reinterpret_cast<const unsigned char*>(p.data()), static_cast<uint32_t>(p.size()));
    EXPECT_EQ(ToUtf8(d.GetAsBase64()), coded[i]);
    CBinaryData r;
    r.SetAsBase64(U(coded[i]).c_str());
    EXPECT_EQ(r, d);
  }
  // Padding may be absent, white space and '=' anywhere are skipped.
  CBinaryData r;
  r.SetAsBase64(U("YW\r\n I").c_str());
  EXPECT_EQ(AsVector(r), (std::vector<unsigned char>{'a', 'b'}));
  r.SetAsBase64(U("Y=W=Jj").c_str());
  EXPECT_EQ(AsVector(r), (std::vector<unsigned char>{'a', 'b', 'c'}));
}

TEST(CBinaryData, Base64RoundTripsEveryLengthAndByte) {
  std::mt19937 rng(7);
  for (uint32_t n = 0; n < 300; ++n) {
    std::vector<unsigned char> b(n);
    for (auto& x : b) x = static_cast<unsigned char>(rng());
    CBinaryData d(b.data(), n);
    CBinaryData r;
    r.SetAsBase64(d.GetAsBase64().c_str());
    ASSERT_EQ(AsVector(r), b) << n;
    CBinaryData h;
    h.SetAsHexString(d.GetAsHexString().c_str());
    ASSERT_EQ(AsVector(h), b) << n;
    // White space anywhere, breaking the 4-character groups at any offset.
    String spaced = d.GetAsBase64();
    for (int k = 0; k < 3 && !spaced.empty(); ++k)
      spaced.insert(spaced.begin() + rng() % spaced.size(), static_cast<unsigned short>(" \n\t\r"[k]));
    CBinaryData w;
    w.SetAsBase64(spaced.c_str());
    ASSERT_EQ(AsVector(w), b) << n;
  }
}

TEST(CBinaryData, BadBase64ThrowsAndLeavesContent) {
  CBinaryData d = Bytes({9});
  EXPECT_VX_THROW(d.SetAsBase64(VX_T("YW*j")), CVxException, "Invalid char in base64 string [*]");
  EXPECT_VX_THROW(d.SetAsBase64(VX_T("YWJj-")), CVxException, "Invalid char in base64 string [-]");
  // Non-ASCII characters are not aliases of the ASCII letters below them.
  EXPECT_VX_THROW(d.SetAsBase64(U("YW\xC5\x81j").c_str()), CVxException,
                  "Invalid char in base64 string [\xC5\x81]");
  // Five symbols leave one 6-bit group, which cannot make a byte.
  EXPECT_VX_THROW(d.SetAsBase64(VX_T("YWJjZ")), CVxException, "Invalid length of base64 string [5]");
  EXPECT_VX_THROW(d.SetAsBase64(VX_T("Y===")), CVxException, "Invalid length of base64 string [1]");
  EXPECT_EQ(d, Bytes({9}));
}

TEST(CBinaryData, CopiesShareUntilWritten) {
  CBinaryData a = Bytes({1, 2, 3});
  CBinaryData b = a;
  EXPECT_EQ(a.GetData(), b.GetData());
  b.Append(static_cast<unsigned char>(4));
  EXPECT_NE(a.GetData(), b.GetData());
  EXPECT_EQ(AsVector(a), (std::vector<unsigned char>{1, 2, 3}));
  EXPECT_EQ(AsVector(b), (std::vector<unsigned char>{1, 2, 3, 4}));

  CBinaryData c = a;
  c[0] = 7;  // non-const index unshares
  EXPECT_EQ(a[0], 1);
  EXPECT_EQ(c[0], 7);

  CBinaryData e = a;
  e.Clear();  // only this handle lets go
  EXPECT_EQ(a.GetLength(), 3u);
  a = a;      // self-assignment keeps the bytes
  EXPECT_EQ(AsVector(a), (std::vector<unsigned char>{1, 2, 3}));

  // Appending a buffer to itself, shared or not.
  CBinaryData s = a;
  a.Append(a);
  EXPECT_EQ(AsVector(a), (std::vector<unsigned char>{1, 2, 3, 1, 2, 3}));
  s.Append(s.GetData() + 1, 2);
  EXPECT_EQ(AsVector(s), (std::vector<unsigned char>{1, 2, 3, 2, 3}));
}

TEST(CBinaryData, AppendGrowsAcrossReallocations) {
  CBinaryData d;
  std::vector<unsigned char> expect;
  for (int i = 0; i < 20000; ++i) {
    d.Append(static_cast<unsigned char>(i));
    expect.push_back(static_cast<unsigned char>(i));
  }
  d.Append(VX_T("AB"));
  for (int c : {int{'A'}, 0, int{'B'}, 0}) expect.push_back(static_cast<unsigned char>(c));
  EXPECT_EQ(AsVector(d), expect);
}

TEST(CBinaryData, IndexEqualOrAboveLengthThrows) {
  CBinaryData d = Bytes({1, 2});
  const CBinaryData& cd = d;
  EXPECT_VX_THROW(cd[2], CVxException, "Index Out of range [2]");
  EXPECT_VX_THROW(d[5], CVxException, "Index Out of range [5]");
  EXPECT_VX_THROW(CBinaryData()[0], CVxException, "Index Out of range [0]");
}

TEST(CBinaryData, TextBuffersAndEquality) {
  CBinaryData t(VX_T("hi"));
  EXPECT_EQ(t.GetLength(), 4u);
  EXPECT_EQ(ToUtf8(t.GetString()), "hi");
  EXPECT_EQ(ToUtf8(t.GetAsString(ByteEncoding_None)), "hi");
  EXPECT_TRUE(CBinaryData() == CBinaryData());
  EXPECT_TRUE(CBinaryData() == CBinaryData(VX_T("")));
  EXPECT_TRUE(Bytes({1, 2}) != Bytes({1, 3}));
  EXPECT_TRUE(Bytes({1, 2}) != Bytes({1, 2, 3}));
}

TEST(CBinaryData, ReleaseDataHandsOverAnUnsharedArray) {
  CBinaryData a = Bytes({5, 6});
  CBinaryData b = a;
  unsigned char* raw = b.ReleaseData();
  ASSERT_NE(raw, a.GetData());  // b unshared before giving its array away
  EXPECT_EQ(raw[0], 5);
  delete[] raw;
  EXPECT_EQ(b.GetLength(), 0u);
  EXPECT_EQ(AsVector(a), (std::vector<unsigned char>{5, 6}));
  EXPECT_EQ(CBinaryData().ReleaseData(), nullptr);
}

TEST(CBinaryData, TypedEncodings) {
  EXPECT_EQ(ToUtf8(Bytes({0x00, 0x01, 0xFF, 0xFF}).GetAsString(ByteEncoding_Short)), "1 -1");
  EXPECT_EQ(ToUtf8(Bytes({0x80, 0, 0, 0, 0, 0, 0, 2}).GetAsString(ByteEncoding_Int)),
            "-2147483648 2");
  EXPECT_EQ(ToUtf8(Bytes({0x80, 0, 0, 0, 0, 0, 0, 0}).GetAsString(ByteEncoding_Long)),
            "-9223372036854775808");
  EXPECT_EQ(ToUtf8(Bytes({0x25}).GetAsString(ByteEncoding_Boolean)), "false true");
  EXPECT_EQ(ToUtf8(Bytes({0x0F, 0x80}).GetAsString(ByteEncoding_Boolean)),
            "true true true true true false false false false false false false");
  EXPECT_EQ(ToUtf8(Bytes({0x40}).GetAsString(ByteEncoding_Boolean)), "");
  // 1.5f and 0.1 in big-endian IEEE 754.
  EXPECT_EQ(ToUtf8(Bytes({0x3F, 0xC0, 0, 0, 0x3D, 0xCC, 0xCC, 0xCD}).GetAsString(
                ByteEncoding_Float)),
            "1.5 0.1");
  EXPECT_EQ(ToUtf8(Bytes({0x3F, 0xB9, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9A}).GetAsString(
                ByteEncoding_Double)),
            "0.1");
  CBinaryData uuid;
  uuid.SetAsHexString(VX_T("00112233445566778899aabbccddeeff"));
  EXPECT_EQ(ToUtf8(uuid.GetAsString(ByteEncoding_UUID)), "00112233445566778899AABBCCDDEEFF");
  EXPECT_EQ(ToUtf8(Bytes({0x61, 0x62}).GetAsString(ByteEncoding_Base64)), "YWI=");
  EXPECT_EQ(ToUtf8(Bytes({0x61, 0x62}).GetAsString(ByteEncoding_Hex)), "6162");
  EXPECT_EQ(ToUtf8(CBinaryData().GetAsString(ByteEncoding_Int)), "");
}

TEST(CBinaryData, TypedEncodingsRefuseWrongLengths) {
  CBinaryData three = Bytes({1, 2, 3});
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Short), CVxException,
                  "Invalid value [1] for SHORT byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Int), CVxException,
                  "Invalid value [3] for INT byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Long), CVxException,
                  "Invalid value [3] for LONG byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Float), CVxException,
                  "Invalid value [3] for FLOAT byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_Double), CVxException,
                  "Invalid value [3] for DOUBLE byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(ByteEncoding_UUID), CVxException,
                  "Invalid value [3] for UUID byte encoding.");
  // Seven unused bits claimed of a 4-bit remainder.
  EXPECT_VX_THROW(Bytes({0x70}).GetAsString(ByteEncoding_Boolean), CVxException,
                  "Invalid value [7] for BOOLEAN byte encoding.");
  EXPECT_VX_THROW(three.GetAsString(static_cast<ByteEncoding>(10)), CVxException,
                  "Unknown byte encoding.");
  EXPECT_VX_THROW(CBinaryData().GetAsString(static_cast<ByteEncoding>(-1)), CVxException,
                  "Unknown byte encoding.");
}

TEST(CBinaryData, CompressionRoundTripsThroughZlib) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "<item>" + std::to_string(i % 17) + "</item>";
  std::vector<unsigned char> plain(text.begin(), text.end());
  for (CompressionType type : {CompressionType_GZip, CompressionType_ZLib}) {
    CBinaryData d(plain.data(), static_cast<uint32_t>(plain.size()));
    CBinaryData shared = d;
    CBinaryData result = d.CompressData(type);
    EXPECT_EQ(result, d);
    EXPECT_LT(d.GetLength(), plain.size() / 4);
    EXPECT_EQ(AsVector(shared), plain);  // the other handle kept the plain bytes
    if (type == CompressionType_GZip) {
      EXPECT_EQ(d[0], 0x1F);
      EXPECT_EQ(d[1], 0x8B);
    } else {
      EXPECT_EQ(d[0], 0x78);
    }
    EXPECT_EQ(Inflate(d), plain);
  }
  CBinaryData none(plain.data(), static_cast<uint32_t>(plain.size()));
  none.CompressData(CompressionType_None);
  EXPECT_EQ(AsVector(none), plain);
}

TEST(CBinaryData, CompressionThatDoesNotFitLeavesContent) {
  std::mt19937 rng(3);
  std::vector<unsigned char> random(64);
  for (auto& x : random) x = static_cast<unsigned char>(rng());
  CBinaryData d(random.data(), 64);
  try {
    d.CompressData(CompressionType_GZip);
    ADD_FAILURE() << "did not throw";
  } catch (const CVxException& e) {
    EXPECT_EQ(ToUtf8(e.GetMessage()).rfind("Failed to compress data. [Error Code: ", 0), 0u)
        << ToUtf8(e.GetMessage());
  }
  EXPECT_EQ(AsVector(d), random);
}

TEST(CBinaryData, ToFileWritesByteOrderMarkOnlyForUtf16) {
  CBinaryData d = Bytes({'<', 0, 'a', 0});
  std::string path = TempPath("bom");
  String name = U(path);
  d.ToFile(name.c_str(), XmlEncoding_UTF16);
  EXPECT_EQ(ReadFile(path), (std::vector<unsigned char>{0xFF, 0xFE, '<', 0, 'a', 0}));
  d.ToFile(name.c_str(), XmlEncoding_UTF16NoLabel);
  EXPECT_EQ(ReadFile(path).size(), 6u);
  d.ToFile(name.c_str(), XmlEncoding_UTF8);  // truncates the longer file
  EXPECT_EQ(ReadFile(path), AsVector(d));
  std::remove(path.c_str());

  String bad = U("/nonexistent-dir/x.xml");
  EXPECT_VX_THROW(d.ToFile(bad.c_str(), XmlEncoding_UTF8), CVxException,
                  "Failed to write data to the file [/nonexistent-dir/x.xml] error [0x00000002]");
}
