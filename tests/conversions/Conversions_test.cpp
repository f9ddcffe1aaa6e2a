#include "vxbind/conversions/Conversions.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <typeinfo>

#include "support/Text.h"
#include "vxbind/platform/Format.h"

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
  // The empty format is not "no format".
  for (const char* bad : {"%s", "%d", "%f %f", "none", "%*f", "%", "%Lf", ""})
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

// -- Floating-point text without a format ---------------------------------------

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
uint32_t Bits(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
double DoubleOf(uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}
float FloatOf(uint32_t b) {
  float v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

// XSD's lexical space of double and float: a decimal with optional sign,
// point and exponent, or INF, -INF, NaN. Everything written must be in it.
bool IsXsdFloatingForm(const std::string& t) {
  if (t == "INF" || t == "-INF" || t == "NaN") return true;
  size_t i = 0, n = t.size();
  auto digits = [&] {
    size_t start = i;
    while (i < n && t[i] >= '0' && t[i] <= '9') ++i;
    return i - start;
  };
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  size_t mantissa = digits();
  if (i < n && t[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == n;
}

// Significant digits of a decimal text: leading and trailing zeros of the
// mantissa do not count.
int SignificantDigits(const std::string& t) {
  std::string d;
  for (char c : t.substr(0, t.find_first_of("eE")))
    if (c >= '0' && c <= '9') d += c;
  size_t first = d.find_first_not_of('0');
  if (first == std::string::npos) return 1;
  return static_cast<int>(d.find_last_not_of('0') - first + 1);
}

struct DoubleText {
  double value;
  const char* text;
};
const DoubleText kDoubleTexts[] = {
    {0.1 + 0.2, "0.30000000000000004"},  // "%.16g" wrote 0.3, another double
    {0.1, "0.1"},
    {1.0 / 3, "0.3333333333333333"},
    {DBL_MAX, "1.7976931348623157e+308"},  // "%.16g" wrote a text that overflows
    {-DBL_MAX, "-1.7976931348623157e+308"},
    {DBL_MIN, "2.2250738585072014e-308"},
    {DoubleOf(0x000FFFFFFFFFFFFFull), "2.225073858507201e-308"},  // largest denormal
    {DoubleOf(1), "5e-324"},                                      // smallest denormal
    {0.0, "0"},
    {-0.0, "-0"},
    {1e21, "1e+21"},
    {1e23, "1e+23"},
    {1e-7, "1e-07"},
    {0.0001, "0.0001"},
    {0.00001, "1e-05"},
    {1e15, "1000000000000000"},
    {1e16, "1e+16"},
    {9007199254740993.0, "9007199254740992"},  // 2^53 + 1 is not a double
    {123456789012345680.0, "1.2345678901234568e+17"},
    {1500, "1500"},
    {-2.5, "-2.5"},
    {kInf, "INF"},
    {-kInf, "-INF"},
    {kNaN, "NaN"},
    {-kNaN, "NaN"},
};

struct FloatText {
  float value;
  const char* text;
};
const FloatText kFloatTexts[] = {
    {0.1f, "0.1"},
    {1.0f / 3, "0.33333334"},  // "%.7g" wrote 0.3333333, another float
    {FLT_MAX, "3.4028235e+38"},
    {FLT_MIN, "1.1754944e-38"},
    {FloatOf(1), "1e-45"},
    {FloatOf(0x007FFFFF), "1.1754942e-38"},
    {-0.0f, "-0"},
    {16777216.0f, "1.6777216e+07"},
    {1234567.0f, "1234567"},
    {0.0001f, "0.0001"},
    {1e-5f, "1e-05"},
    // Its shortest text, 7.038531e-26, read as a double and narrowed, rounds
    // to the next float up: one more digit is needed.
    {FloatOf(0x15AE43FD), "7.0385307e-26"},
    {static_cast<float>(kInf), "INF"},
    {static_cast<float>(-kInf), "-INF"},
    {static_cast<float>(kNaN), "NaN"},
};

}  // namespace

TEST(CConversions, FloatingTextWithoutFormatReadsBack) {
  for (const DoubleText& c : kDoubleTexts) {
    SCOPED_TRACE(c.text);
    String text = C::r8ToString(c.value, nullptr);
    EXPECT_EQ(ToUtf8(text), c.text);
    double back = C::r8FromString(text, kCollapse);
    if (std::isnan(c.value))
      EXPECT_TRUE(std::isnan(back));
    else
      EXPECT_EQ(Bits(back), Bits(c.value));
  }
  for (const FloatText& c : kFloatTexts) {
    SCOPED_TRACE(c.text);
    String text = C::r4ToString(c.value, nullptr);
    EXPECT_EQ(ToUtf8(text), c.text);
    float back = C::r4FromString(text, kCollapse);
    if (std::isnan(c.value))
      EXPECT_TRUE(std::isnan(back));
    else
      EXPECT_EQ(Bits(back), Bits(c.value));
  }
}

TEST(CConversions, EveryDoubleReadsBackExactly) {
  // Random bit patterns cover every exponent; random decimals of a few
  // digits are the values documents carry, laid out without an exponent.
  std::mt19937_64 rng(20240611);
  for (int i = 0; i < 250000; ++i) {
    double v = i % 2 == 0 ? DoubleOf(rng())
                          : static_cast<double>(rng() % 1000000000) /
                                std::pow(10.0, static_cast<double>(rng() % 14));
    std::string text = ToUtf8(C::r8ToString(v, nullptr));
    ASSERT_TRUE(IsXsdFloatingForm(text)) << text;
    if (std::isnan(v)) continue;
    ASSERT_EQ(Bits(C::r8FromString(U(text), kCollapse)), Bits(v)) << text;
    // Where "%.16g" read back too, its text is kept, unless fewer digits do.
    std::string g = ToUtf8(FormatString(VX_T("%.16g"), v));
    if (Bits(C::r8FromString(U(g), kCollapse)) == Bits(v) && text != g) {
      ASSERT_LT(SignificantDigits(text), SignificantDigits(g)) << text << " " << g;
    }
  }
}

TEST(CConversions, EveryFloatReadsBackExactly) {
  std::mt19937 rng(20240612);
  for (int i = 0; i < 250000; ++i) {
    float v = i % 2 == 0 ? FloatOf(static_cast<uint32_t>(rng()))
                         : static_cast<float>(rng() % 10000000) /
                               std::pow(10.0f, static_cast<float>(rng() % 10));
    std::string text = ToUtf8(C::r4ToString(v, nullptr));
    ASSERT_TRUE(IsXsdFloatingForm(text)) << text;
    if (std::isnan(v)) continue;
    ASSERT_EQ(Bits(C::r4FromString(U(text), kCollapse)), Bits(v)) << text;
    std::string g = ToUtf8(FormatString(VX_T("%.7g"), static_cast<double>(v)));
    if (Bits(C::r4FromString(U(g), kCollapse)) == Bits(v) && text != g) {
      ASSERT_LT(SignificantDigits(text), SignificantDigits(g)) << text << " " << g;
    }
  }
}

namespace {

// Lexical forms of the W3C XML Schema test suite: the Microsoft datatype
// cases msData/datatypes/doubleNNN and floatNNN (msMeta/DataTypes_w3c.xml)
// and values of the NIST cases nistData/atomic/double and float.
enum class Xsd { kValid, kInvalid };
enum class Reading { kValue, kRefused };
struct XsdCase {
  const char* id;
  const char* text;
  Xsd xsd;
  Reading reading;
  double value;  // also the float's value, widened
};
const XsdCase kXsdDoubleCases[] = {
    {"double002", "1.0", Xsd::kValid, Reading::kValue, 1.0},
    {"double003", "1E2", Xsd::kValid, Reading::kValue, 100.0},
    {"double004", "1e2", Xsd::kValid, Reading::kValue, 100.0},
    {"double005", "-3.14159", Xsd::kValid, Reading::kValue, -3.14159},
    {"double007", "+0", Xsd::kValid, Reading::kValue, 0.0},
    {"double008", "-0", Xsd::kValid, Reading::kValue, -0.0},
    {"double009", "+0.0", Xsd::kValid, Reading::kValue, 0.0},
    {"double010", "-0.0", Xsd::kValid, Reading::kValue, -0.0},
    {"double012", "-1", Xsd::kValid, Reading::kValue, -1.0},
    {"double014", "+1", Xsd::kValid, Reading::kValue, 1.0},
    {"double017", "-1E4", Xsd::kValid, Reading::kValue, -1e4},
    {"double019", "INF", Xsd::kValid, Reading::kValue, kInf},
    {"double020", "-INF", Xsd::kValid, Reading::kValue, -kInf},
    {"double021", "NaN", Xsd::kValid, Reading::kValue, kNaN},
    {"double027", "8.98e307", Xsd::kValid, Reading::kValue, 8.98e307},
    {"double028", "2.22e-308", Xsd::kValid, Reading::kValue, 2.22e-308},
    {"float028", "1267.43233E12", Xsd::kValid, Reading::kValue, 1267.43233E12},
    {"float029", "12.78E-2", Xsd::kValid, Reading::kValue, 12.78E-2},
    {"float032", "00.121", Xsd::kValid, Reading::kValue, 0.121},
    {"float033", "021.22", Xsd::kValid, Reading::kValue, 21.22},
    {"float034", "00.00", Xsd::kValid, Reading::kValue, 0.0},
    {"NIST double enumeration 1", "4.9E-324", Xsd::kValid, Reading::kValue, 4.9E-324},
    {"NIST double enumeration 1", "1.7976931348623157E308", Xsd::kValid, Reading::kValue,
     DBL_MAX},
    {"NIST double enumeration 3", "4.6505307100535510E216", Xsd::kValid, Reading::kValue,
     4.6505307100535510E216},
    {"NIST double pattern 1", "4E-289", Xsd::kValid, Reading::kValue, 4E-289},
    {"NIST double pattern 3", "4.54918975E-8", Xsd::kValid, Reading::kValue, 4.54918975E-8},
    {"NIST double pattern 5", "8.9765779385971216E261", Xsd::kValid, Reading::kValue,
     8.9765779385971216E261},
    {"double015", "e", Xsd::kInvalid, Reading::kRefused, 0},
    {"double016", "E", Xsd::kInvalid, Reading::kRefused, 0},
    {"double029", "ABCDEF", Xsd::kInvalid, Reading::kRefused, 0},
    {"float027", "1267.432x10", Xsd::kInvalid, Reading::kRefused, 0},
    {"float035", "-1E4.4", Xsd::kInvalid, Reading::kRefused, 0},
    {"float036", "13.1513.561", Xsd::kInvalid, Reading::kRefused, 0},
    // XSD 1.0 refuses these; the reading follows the C library, which takes
    // them (and an empty text is 0 by the reading's own rule). "+INF" is
    // valid in XSD 1.1.
    {"double001", "", Xsd::kInvalid, Reading::kValue, 0.0},
    {"double018", "+INF", Xsd::kInvalid, Reading::kValue, kInf},
    {"double022", "+NaN", Xsd::kInvalid, Reading::kValue, kNaN},
    {"double023", "-NaN", Xsd::kInvalid, Reading::kValue, kNaN},
    {"double024", "inf", Xsd::kInvalid, Reading::kValue, kInf},
    {"double025", "nan", Xsd::kInvalid, Reading::kValue, kNaN},
    {"double026", "NAN", Xsd::kInvalid, Reading::kValue, kNaN},
};

const XsdCase kXsdFloatCases[] = {
    {"float030", "2.3e-38", Xsd::kValid, Reading::kValue, 2.3e-38f},
    {"float031", "3.4e38", Xsd::kValid, Reading::kValue, 3.4e38f},
    {"float019", "INF", Xsd::kValid, Reading::kValue, kInf},
    {"float020", "-INF", Xsd::kValid, Reading::kValue, -kInf},
    {"float021", "NaN", Xsd::kValid, Reading::kValue, kNaN},
    {"float008", "-0", Xsd::kValid, Reading::kValue, -0.0},
    {"NIST float enumeration 1", "1.4E-45", Xsd::kValid, Reading::kValue, 1.4E-45f},
    {"NIST float enumeration 1", "3.4028235E38", Xsd::kValid, Reading::kValue, FLT_MAX},
    {"NIST float enumeration 1", "2.7455975E-6", Xsd::kValid, Reading::kValue, 2.7455975E-6f},
    {"NIST float enumeration 1", "2.5357204E7", Xsd::kValid, Reading::kValue, 2.5357204E7f},
    {"float015", "e", Xsd::kInvalid, Reading::kRefused, 0},
    {"float037", "ABCDEF", Xsd::kInvalid, Reading::kRefused, 0},
};

}  // namespace

TEST(CConversions, FloatingFormsOfTheW3cSuite) {
  for (const XsdCase& c : kXsdDoubleCases) {
    SCOPED_TRACE(std::string(c.id) + " [" + c.text + "]");
    // The checker of what is written agrees with the suite.
    EXPECT_EQ(IsXsdFloatingForm(c.text), c.xsd == Xsd::kValid);
    if (c.reading == Reading::kRefused) {
      EXPECT_EQ(Refusal(C::r8FromString, U(c.text), kCollapse),
                std::string("The value [") + c.text + "] can not be converted to a r8");
      continue;
    }
    double v = C::r8FromString(U(c.text), kCollapse);
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(v));
      continue;
    }
    EXPECT_EQ(Bits(v), Bits(c.value));
    // What is written back is in XSD's lexical space, and the same value.
    std::string written = ToUtf8(C::r8ToString(v, nullptr));
    EXPECT_TRUE(IsXsdFloatingForm(written)) << written;
    EXPECT_EQ(Bits(C::r8FromString(U(written), kCollapse)), Bits(v));
  }
  for (const XsdCase& c : kXsdFloatCases) {
    SCOPED_TRACE(std::string(c.id) + " [" + c.text + "]");
    if (c.reading == Reading::kRefused) {
      EXPECT_EQ(Refusal(C::r4FromString, U(c.text), kCollapse),
                std::string("The value [") + c.text + "] can not be converted to a r8");
      continue;
    }
    float v = C::r4FromString(U(c.text), kCollapse);
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(v));
      continue;
    }
    EXPECT_EQ(Bits(v), Bits(static_cast<float>(c.value)));
    std::string written = ToUtf8(C::r4ToString(v, nullptr));
    EXPECT_TRUE(IsXsdFloatingForm(written)) << written;
    EXPECT_EQ(Bits(C::r4FromString(U(written), kCollapse)), Bits(v));
  }
}
