#include "vxbind/platform/Format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "support/Text.h"
#include "vxbind/platform/Utf16.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

TEST(FormatString, ConversionsFlagsWidthsAndPrecisions) {
  EXPECT_EQ(ToUtf8(FormatString(VX_T("[%s] %d %u"), VX_T("a\u00e9"), -5, 7u)), "[a\u00e9] -5 7");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%08X|%08x|%x"), 0xBEEFu, 0xBEEFu, 255u)),
            "0000BEEF|0000beef|ff");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%5d|%-5d|%05d|%+d"), 42, 42, 42, 42)),
            "   42|42   |00042|+42");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%.3f|%g|%e"), 3.14159, 0.5, 1.0)),
            "3.142|0.5|1.000000e+00");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%*d|%-*s|%.*s"), 4, 7, 3, VX_T("x"), 2, VX_T("abc"))),
            "   7|x  |ab");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%c%c"), u'O', 0x20AC)), "O\u20ac");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%I64d %I64u %lld"), INT64_MIN, UINT64_MAX, 5LL)),
            "-9223372036854775808 18446744073709551615 5");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("100%% %s"), static_cast<const unsigned short*>(nullptr))),
            "100% (null)");
  EXPECT_EQ(ToUtf8(FormatString(VX_T("%hs|%q|tail%"), "narrow")), "narrow|%q|tail%");
}

TEST(FormatString, NeverTruncatesLongArguments) {
  String big(100000, u'x');
  String out = FormatString(VX_T("<%s>"), big.c_str());
  ASSERT_EQ(out.size(), big.size() + 2);
  EXPECT_EQ(out.substr(1, big.size()), big);
  EXPECT_EQ(FormatString(VX_T("%300d"), 1).size(), 300u);
  EXPECT_EQ(FormatString(VX_T("%.400f"), 1.0).size(), 402u);
}

TEST(Utf16, NumberParsingFollowsTheCLibrary) {
  const unsigned short* end = nullptr;
  bool over = false;
  String t = U("  -123abc");
  EXPECT_EQ(Utf16::ToInt32(t.c_str(), &end, 10, &over), -123);
  EXPECT_EQ(end - t.c_str(), 6);
  EXPECT_FALSE(over);
  EXPECT_EQ(Utf16::ToInt32(VX_T("2147483648"), nullptr, 10, &over), INT32_MAX);
  EXPECT_TRUE(over);
  EXPECT_EQ(Utf16::ToUInt32(VX_T("-1"), nullptr, 10, &over), 0xFFFFFFFFu);
  EXPECT_FALSE(over);
  EXPECT_EQ(Utf16::ToUInt32(VX_T("4294967296"), nullptr, 10, &over), 0xFFFFFFFFu);
  EXPECT_TRUE(over);
  EXPECT_EQ(Utf16::ToInt64(VX_T("-9223372036854775808"), nullptr, 10, &over), INT64_MIN);
  EXPECT_FALSE(over);
  // Non-ASCII digits never take part in a number.
  t = U("12\u0663");
  EXPECT_EQ(Utf16::ToInt32(t.c_str(), &end, 10), 12);
  EXPECT_EQ(*end, 0x0663);
  EXPECT_DOUBLE_EQ(Utf16::ToDouble(VX_T("1.5e3x"), &end), 1500.0);
  EXPECT_EQ(*end, u'x');
  EXPECT_EQ(ToUtf8(Utf16::FromInt64(INT64_MIN)), "-9223372036854775808");
  EXPECT_EQ(ToUtf8(Utf16::FromUInt64(0)), "0");
}

TEST(Utf16, Utf8RoundTripAndRepair) {
  std::string text = "a\u00e9\u20ac\U0001F600";
  String wide = Utf16::FromUtf8(text);
  EXPECT_EQ(wide.size(), 5u);  // 1 + 1 + 1 + surrogate pair
  EXPECT_EQ(Utf16::ToUtf8(wide), text);
  // Truncated and overlong sequences and lone surrogates become U+FFFD.
  EXPECT_EQ(Utf16::FromUtf8(std::string("\xE2\x82")), (String{0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf16::FromUtf8(std::string("\xC0\xAF")), (String{0xFFFD, 0xFFFD}));
  const unsigned short lone[] = {0xD800, u'x'};
  EXPECT_EQ(Utf16::ToUtf8(lone, 2), "\xEF\xBF\xBDx");
}
