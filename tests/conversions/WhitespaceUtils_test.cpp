#include "vxbind/conversions/WhitespaceUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;
using W = CWhitespaceUtils;

TEST(CWhitespaceUtils, EachRuleRewritesWhitespaceItsOwnWay) {
  struct {
    const char *text, *preserve, *replace, *collapse;
  } const kCases[] = {
      {"", "", "", ""},
      {"  a \r\n b  ", "  a \n b  ", "  a   b  ", "a b"},
      {"\tx\t", "\tx\t", " x ", "x"},
      {"a\rb", "ab", "ab", "ab"},
      {" \t\r\n ", " \t\n ", "    ", ""},
      {"\r", "", "", ""},
      {"a \r b", "a  b", "a  b", "a b"},
      {"a\n\nb\tc", "a\n\nb\tc", "a  b c", "a b c"},
      {"\xC3\xA9 \xE2\x80\x83 x", "\xC3\xA9 \xE2\x80\x83 x", "\xC3\xA9 \xE2\x80\x83 x",
       "\xC3\xA9 \xE2\x80\x83 x"},  // U+2003 is not XML whitespace
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToUtf8(W::ApplyRule(W::WhitespaceRule_Preserve, U(c.text))), c.preserve);
    EXPECT_EQ(ToUtf8(W::ApplyRule(W::WhitespaceRule_Replace, U(c.text))), c.replace);
    EXPECT_EQ(ToUtf8(W::ApplyRule(W::WhitespaceRule_Collapse, U(c.text))), c.collapse);
  }
  for (int rule : {3, -1})
    EXPECT_VX_THROW(W::ApplyRule(static_cast<W::WhitespaceRule>(rule), U("a")), CVxException,
                    "Unknown WhitespaceRule");
}

TEST(CWhitespaceUtils, IsWhiteSpaceAcceptsExactlyFourUnits) {
  std::vector<unsigned> accepted;
  for (unsigned c = 0; c <= 0xFFFF; ++c)
    if (W::IsWhiteSpace(static_cast<unsigned short>(c))) accepted.push_back(c);
  EXPECT_EQ(accepted, (std::vector<unsigned>{0x09, 0x0A, 0x0D, 0x20}));
}

TEST(CWhitespaceUtils, PreserveOfCountedTextStopsAtCount) {
  const unsigned short* text = VX_T("a\rbcd");
  EXPECT_EQ(ToUtf8(W::Preserve(text, 3)), "ab");
  EXPECT_EQ(ToUtf8(W::Preserve(nullptr, 0)), "");
  // Embedded NUL units are ordinary content.
  const unsigned short withNul[] = {u'x', 0, u'\r', u'y'};
  EXPECT_EQ(W::Preserve(withNul, 4), (String{u'x', 0, u'y'}));
  EXPECT_VX_THROW(W::Preserve(text, -1), CVxInvalidParamException,
                  "Preserve was given a negative length [-1]");
  EXPECT_VX_THROW(W::Preserve(nullptr, 2), CVxInvalidParamException,
                  "Preserve was given a null text");
}

TEST(CWhitespaceUtils, CollapseIsIdempotentAndNeverLeavesEdgesOrRuns) {
  // Every text over a small alphabet up to length 6.
  const unsigned short alphabet[] = {u'a', u' ', u'\t', u'\r', u'\n'};
  for (int len = 0, total = 1; len <= 6; ++len, total *= 5) {
    for (int code = 0; code < total; ++code) {
      String text;
      for (int i = 0, c = code; i < len; ++i, c /= 5) text.push_back(alphabet[c % 5]);
      String once = W::Collapse(text);
      ASSERT_EQ(W::Collapse(once), once);
      ASSERT_EQ(W::Replace(once), once);
      ASSERT_TRUE(once.empty() || (once.front() != u' ' && once.back() != u' '));
      ASSERT_EQ(once.find(VX_T("  ")), String::npos);
      // Replace keeps one unit per non-CR input unit.
      ASSERT_EQ(W::Replace(text).size(), text.size() - std::count(text.begin(), text.end(), u'\r'));
    }
  }
}
