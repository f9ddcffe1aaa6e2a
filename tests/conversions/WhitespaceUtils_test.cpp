#include "vxbind/conversions/WhitespaceUtils.h"

#include <gtest/gtest.h>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::U;

namespace {

std::string Apply(CWhitespaceUtils::WhitespaceRule rule, const char* utf8) {
  return vxtest::ToUtf8(CWhitespaceUtils::ApplyRule(rule, U(utf8)));
}

struct RuleCase {
  const char* text;
  const char* preserve;
  const char* replace;
  const char* collapse;
};

const RuleCase kRuleCases[] = {
    {"", "", "", ""},
    {"abc", "abc", "abc", "abc"},
    {"a\r\nb", "a\nb", "a b", "a b"},
    {"\tx\t", "\tx\t", " x ", "x"},
    {"  a \r\n b  ", "  a \n b  ", "  a   b  ", "a b"},
    {"a\rb", "ab", "ab", "ab"},
    {" \t\r\n ", " \t\n ", "    ", ""},
    {"\r", "", "", ""},
    {"a \r b", "a  b", "a  b", "a b"},
    {"a\n\nb\tc", "a\n\nb\tc", "a  b c", "a b c"},
    {"\xC3\xA9 \xE2\x80\x83 x", "\xC3\xA9 \xE2\x80\x83 x", "\xC3\xA9 \xE2\x80\x83 x",
     "\xC3\xA9 \xE2\x80\x83 x"},  // U+2003 is not XML whitespace
};

}  // namespace

TEST(CWhitespaceUtils, RulesTable) {
  for (const RuleCase& c : kRuleCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Apply(CWhitespaceUtils::WhitespaceRule_Preserve, c.text), c.preserve);
    EXPECT_EQ(Apply(CWhitespaceUtils::WhitespaceRule_Replace, c.text), c.replace);
    EXPECT_EQ(Apply(CWhitespaceUtils::WhitespaceRule_Collapse, c.text), c.collapse);
  }
}

TEST(CWhitespaceUtils, IsWhiteSpaceAcceptsExactlyFourUnits) {
  int count = 0;
  for (unsigned c = 0; c <= 0xFFFF; ++c)
    if (CWhitespaceUtils::IsWhiteSpace(static_cast<unsigned short>(c))) ++count;
  EXPECT_EQ(count, 4);
  EXPECT_TRUE(CWhitespaceUtils::IsWhiteSpace(0x20));
  EXPECT_TRUE(CWhitespaceUtils::IsWhiteSpace(0x09));
  EXPECT_TRUE(CWhitespaceUtils::IsWhiteSpace(0x0A));
  EXPECT_TRUE(CWhitespaceUtils::IsWhiteSpace(0x0D));
  EXPECT_FALSE(CWhitespaceUtils::IsWhiteSpace(0xA0));
}

TEST(CWhitespaceUtils, PreserveOfCountedTextStopsAtCount) {
  const unsigned short* text = VX_T("a\rbcd");
  EXPECT_EQ(vxtest::ToUtf8(CWhitespaceUtils::Preserve(text, 3)), "ab");
  EXPECT_EQ(vxtest::ToUtf8(CWhitespaceUtils::Preserve(text, 0)), "");
  EXPECT_EQ(vxtest::ToUtf8(CWhitespaceUtils::Preserve(nullptr, 0)), "");
  // Embedded NUL units are ordinary content.
  const unsigned short withNul[] = {u'x', 0, u'\r', u'y'};
  String kept = CWhitespaceUtils::Preserve(withNul, 4);
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[1], 0);
  EXPECT_VX_THROW(CWhitespaceUtils::Preserve(text, -1), CVxInvalidParamException,
                  "Preserve was given a negative length [-1]");
  EXPECT_VX_THROW(CWhitespaceUtils::Preserve(nullptr, 2), CVxInvalidParamException,
                  "Preserve was given a null text");
}

TEST(CWhitespaceUtils, UnknownRuleThrows) {
  EXPECT_VX_THROW(
      CWhitespaceUtils::ApplyRule(static_cast<CWhitespaceUtils::WhitespaceRule>(3), U("a")),
      CVxException, "Unknown WhitespaceRule");
  EXPECT_VX_THROW(
      CWhitespaceUtils::ApplyRule(static_cast<CWhitespaceUtils::WhitespaceRule>(-1), U("a")),
      CVxException, "Unknown WhitespaceRule");
}

TEST(CWhitespaceUtils, CollapseIsIdempotentAndNeverLeavesEdgesOrRuns) {
  // Every text over a small alphabet up to length 6.
  const unsigned short alphabet[] = {u'a', u' ', u'\t', u'\r', u'\n'};
  String text;
  for (int len = 0; len <= 6; ++len) {
    int total = 1;
    for (int i = 0; i < len; ++i) total *= 5;
    for (int code = 0; code < total; ++code) {
      text.clear();
      for (int i = 0, c = code; i < len; ++i, c /= 5) text.push_back(alphabet[c % 5]);
      String once = CWhitespaceUtils::Collapse(text);
      ASSERT_EQ(CWhitespaceUtils::Collapse(once), once);
      ASSERT_EQ(CWhitespaceUtils::Replace(once), once);
      if (!once.empty()) {
        ASSERT_NE(once.front(), u' ');
        ASSERT_NE(once.back(), u' ');
      }
      ASSERT_EQ(once.find(VX_T("  ")), String::npos);
      // Replace keeps one unit per non-CR input unit.
      size_t crs = 0;
      for (unsigned short c : text) crs += c == u'\r';
      ASSERT_EQ(CWhitespaceUtils::Replace(text).size(), text.size() - crs);
    }
  }
}
