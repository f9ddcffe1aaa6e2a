#include "vxbind/writers/ByteOutput.h"

#include <random>
#include <string>

#include "support/Text.h"

using namespace VxVevAva5;
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
