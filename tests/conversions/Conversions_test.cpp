#include "vxbind/conversions/Conversions.h"

#include <cstdint>
#include <string>
#include <typeinfo>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;
using C = CConversions;
using Rule = CWhitespaceUtils::WhitespaceRule;

namespace {
constexpr auto kPreserve = CWhitespaceUtils::WhitespaceRule_Preserve;
constexpr auto kReplace = CWhitespaceUtils::WhitespaceRule_Replace;
constexpr auto kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

// The message of the CVxInvalidValueException that reading `text` throws.
template <class T>
std::string Refusal(T (*read)(const String&, Rule), const String& text, Rule rule = kPreserve) {
  try {
    read(text, rule);
  } catch (const CVxException& e) {
    if (typeid(e) == typeid(CVxInvalidValueException)) return ToUtf8(e.GetMessage());
    return std::string("other class: ") + ToUtf8(e.GetMessage());
  }
  return "read";
}
}  // namespace

TEST(CConversions, I4ReadsTheFull32BitRangeOnly) {
  EXPECT_EQ(C::i4FromString(U("2147483647"), kPreserve), 2147483647);
  EXPECT_EQ(C::i4FromString(U("-2147483648"), kPreserve), INT32_MIN);
  EXPECT_EQ(C::i4FromString(U(""), kPreserve), 0);
  EXPECT_EQ(Refusal(C::i4FromString, U("2147483648")),
            "The value [2147483648] is to large to fit in a i4");
  EXPECT_EQ(Refusal(C::i4FromString, U("-2147483649")),
            "The value [-2147483649] is to large to fit in a i4");
  EXPECT_EQ(Refusal(C::i4FromString, U("12abc")), "The value [12abc] can not be converted to a i4");
  EXPECT_EQ(Refusal(C::i4FromString, U("-")), "The value [-] can not be converted to a i4");
  // A NUL inside the text is not the end of it.
  String withNul = U("12");
  withNul += {0, u'3'};
  EXPECT_EQ(Refusal(C::i4FromString, withNul), "The value [12] can not be converted to a i4");
}

TEST(CConversions, WhitespaceRuleDecidesWhatTheNumberReadingSees) {
  // The C reading skips leading blanks by itself, but not trailing ones.
  EXPECT_EQ(C::i4FromString(U(" +12"), kPreserve), 12);
  EXPECT_EQ(Refusal(C::i4FromString, U("12 ")), "The value [12 ] can not be converted to a i4");
  EXPECT_EQ(Refusal(C::i4FromString, U("12\t"), kReplace),
            "The value [12 ] can not be converted to a i4");
  EXPECT_EQ(C::i4FromString(U("\n 12\r\n"), kCollapse), 12);
  EXPECT_EQ(C::i4FromString(U("1\r2"), kPreserve), 12);  // Preserve drops carriage returns
  EXPECT_VX_THROW(C::i4FromString(U("1"), static_cast<Rule>(3)), CVxException,
                  "Unknown WhitespaceRule");
}

TEST(CConversions, NarrowTypesGoThroughThe32BitReading) {
  EXPECT_EQ(C::i1FromString(U("-128"), kPreserve), static_cast<char>(-128));
  EXPECT_EQ(C::i1FromString(U("127"), kPreserve), 127);
  EXPECT_EQ(Refusal(C::i1FromString, U("128")), "The value [128] is to large to fit in a i1");
  // The 32-bit reading fails first, with its own message.
  EXPECT_EQ(Refusal(C::i1FromString, U("99999999999")),
            "The value [99999999999] is to large to fit in a i4");
  EXPECT_EQ(Refusal(C::i1FromString, U("x")), "The value [x] can not be converted to a i4");
  // Narrowing messages quote the text as passed in, before the rule.
  EXPECT_EQ(Refusal(C::i2FromString, U(" 40000 "), kCollapse),
            "The value [ 40000 ] is to large to fit in a i2");
  EXPECT_EQ(C::i2FromString(U("-32768"), kPreserve), -32768);
  EXPECT_EQ(Refusal(C::ui2FromString, U("65536")), "The value [65536] is to large to fit in a ui2");
  // "-1" reads as 4294967295 in the unsigned 32-bit reading, which ui1 refuses.
  EXPECT_EQ(C::ui4FromString(U("-1"), kPreserve), 4294967295u);
  EXPECT_EQ(Refusal(C::ui1FromString, U("-1")), "The value [-1] is to large to fit in a ui1");
  EXPECT_EQ(Refusal(C::ui4FromString, U("4294967296")),
            "The value [4294967296] is to large to fit in a ui4");
  EXPECT_EQ(Refusal(C::ui4FromString, U("1.0")), "The value [1.0] can not be converted to a ui4");
}

TEST(CConversions, I8ReadsTheLeadingIntegerAndNeverFails) {
  EXPECT_EQ(C::i8FromString(U("12abc"), kPreserve), 12);
  EXPECT_EQ(C::i8FromString(U("abc"), kPreserve), 0);
  EXPECT_EQ(C::i8FromString(U("  -42"), kPreserve), -42);
  EXPECT_EQ(C::i8FromString(U("9223372036854775807"), kPreserve), INT64_MAX);
  // Unsigned texts above the signed range wrap, so they survive as ui8.
  EXPECT_EQ(static_cast<uint64_t>(C::i8FromString(U("18446744073709551615"), kPreserve)),
            UINT64_MAX);
}

TEST(CConversions, FloatingForms) {
  EXPECT_EQ(C::r8FromString(U(""), kPreserve), 0.0);
  EXPECT_EQ(C::r4FromString(U("0.5"), kPreserve), 0.5f);
  // The r4 reading names r8 in its message.
  EXPECT_EQ(Refusal(C::r8FromString, U("1.5x")), "The value [1.5x] can not be converted to a r8");
  EXPECT_EQ(Refusal(C::r4FromString, U("1.5x")), "The value [1.5x] can not be converted to a r8");
  EXPECT_EQ(ToUtf8(C::r8ToString(0.1, nullptr)), "0.1");
  EXPECT_EQ(ToUtf8(C::r8ToString(1.0 / 3, nullptr)), "0.3333333333333333");
  EXPECT_EQ(ToUtf8(C::r8ToString(2.5, VX_T("v=%g%%"))), "v=2.5%");
  EXPECT_EQ(ToUtf8(C::r4ToString(2.5f, VX_T("%.2lf"))), "2.50");
  // The formatted form is cut at 32 code units.
  EXPECT_EQ(C::r8ToString(1e300, VX_T("%f")).size(), 32u);
  // Formats that would not take exactly one double are refused, not run.
  for (const char* bad : {"%s", "%d", "%f %f", "none", "%*f", "%", "%Lf"})
    EXPECT_VX_THROW(C::r8ToString(1, U(bad).c_str()), CVxInvalidParamException,
                    std::string("Invalid format for a floating-point value [") + bad + "]");
}

TEST(CConversions, BooleanCharAndYear) {
  EXPECT_TRUE(C::booleanFromString(U("TRUE"), kPreserve));
  EXPECT_FALSE(C::booleanFromString(U("False"), kPreserve));
  EXPECT_FALSE(C::booleanFromString(U(" 0 "), kCollapse));
  EXPECT_EQ(Refusal(C::booleanFromString, U("yes")),
            "A Boolean Value read from an XML document was invalid [yes]. Valid values "
            "are 'true', 'false', '1', or '0'");
  EXPECT_EQ(C::charFromString(U("\xC3\xA9"), kPreserve), 0xE9);
  EXPECT_EQ(C::charFromString(U(" x "), kCollapse), u'x');
  for (const char* bad : {"", "ab"})
    EXPECT_EQ(Refusal(C::charFromString, U(bad)),
              "The value [" + std::string(bad) +
                  "] can not be a char as it is either empty of greater than 1 char long");
  EXPECT_EQ(ToUtf8(C::yearToString(999)), "999");
}

TEST(CConversions, StringsAndValueClassesFollowTheRule) {
  EXPECT_EQ(ToUtf8(C::stringFromString(U(" a\r\n b "), kPreserve)), " a\n b ");
  EXPECT_EQ(ToUtf8(C::stringFromString(U(" a\r\n b "), kCollapse)), "a b");
  EXPECT_EQ(ToUtf8(C::hexBinaryToString(C::hexBinaryFromString(U("\n0aff "), kCollapse))),
            "0AFF");
  EXPECT_VX_THROW(C::hexBinaryFromString(U(" 0aff"), kPreserve), CVxException,
                  "Invalid char in hex string [ ]");
  EXPECT_EQ(ToUtf8(C::decimalToString(C::decimalFromString(U(" 1.50 "), kCollapse), nullptr)),
            "1.5");
  EXPECT_EQ(ToUtf8(C::decimalToString(CDecimal(VX_T("3.14159")), VX_T("2"))), "3.14");
  EXPECT_EQ(ToUtf8(C::integerToString(C::integerFromString(U("\t-0012\n"), kCollapse))), "-12");
}

TEST(CConversions, DateKindsFollowTheTextNotTheFunction) {
  EXPECT_EQ(C::yearMonthFromString(U("2004-05-06"), kPreserve).GetType(), CDateTime::dt_date);
  EXPECT_EQ(C::dateFromString(U("2004-05"), kPreserve).GetType(), CDateTime::dt_gYearMonth);
  EXPECT_EQ(C::yearFromString(U("2004-05-06"), kPreserve), 2004);
  // Not wrapped into the unsigned year.
  EXPECT_EQ(Refusal(C::yearFromString, U("-0044")),
            "The value [-0044] can not be converted to a year");
  EXPECT_EQ(C::monthFromString(U(" --11 "), kCollapse), 11);
  EXPECT_THROW(C::dayFromString(U("2004"), kPreserve), CVxInvalidStateException);  // not a day
  EXPECT_EQ(ToUtf8(C::dateToString(C::datetimeFromString(U("2004-02-29T01:02:03Z"), kPreserve))),
            "2004-02-29T01:02:03Z");
  EXPECT_EQ(ToUtf8(C::dateToString(C::timeFromString(U("\t01:02:03\n"), kCollapse))),
            "01:02:03");
  EXPECT_EQ(ToUtf8(C::durationToString(C::durationFromString(U(" -P1D "), kCollapse))), "-P1D");
}
