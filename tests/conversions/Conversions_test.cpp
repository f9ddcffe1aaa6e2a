#include "vxbind/conversions/Conversions.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <typeinfo>
#include <utility>

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

// What reading `text` gives: the number, or the message of the refusal.
template <class T>
std::string Read(T (*read)(const String&, Rule), const char* text, Rule rule = kPreserve) {
  try {
    return std::to_string(read(U(text), rule));
  } catch (const CVxException&) {
    return Refusal(read, U(text), rule);
  }
}

std::string Large(const char* text, const char* type) {
  return std::string("The value [") + text + "] is to large to fit in a " + type;
}
std::string NotA(const char* text, const char* type) {
  return std::string("The value [") + text + "] can not be converted to a " + type;
}

}  // namespace

TEST(CConversions, IntegerReadingsKeepTheirRangesAndMessages) {
  const std::pair<std::string, std::string> rows[] = {
      {Read(C::i4FromString, "2147483647"), "2147483647"},
      {Read(C::i4FromString, "-2147483648"), "-2147483648"},
      {Read(C::i4FromString, ""), "0"},
      {Read(C::i4FromString, "2147483648"), Large("2147483648", "i4")},
      {Read(C::i4FromString, "-2147483649"), Large("-2147483649", "i4")},
      {Read(C::i4FromString, "12abc"), NotA("12abc", "i4")},
      {Read(C::i4FromString, "-"), NotA("-", "i4")},
      // Narrow types go through the 32-bit reading, which fails first with
      // its own message; narrowing messages quote the text before the rule.
      {Read(C::i1FromString, "-128"), "-128"},
      {Read(C::i1FromString, "127"), "127"},
      {Read(C::i1FromString, "128"), Large("128", "i1")},
      {Read(C::i1FromString, "99999999999"), Large("99999999999", "i4")},
      {Read(C::i1FromString, "x"), NotA("x", "i4")},
      {Read(C::i2FromString, " 40000 ", kCollapse), Large(" 40000 ", "i2")},
      {Read(C::i2FromString, "-32768"), "-32768"},
      {Read(C::ui2FromString, "65536"), Large("65536", "ui2")},
      // "-1" reads as 4294967295 in the unsigned 32-bit reading, which ui1 refuses.
      {Read(C::ui4FromString, "-1"), "4294967295"},
      {Read(C::ui1FromString, "-1"), Large("-1", "ui1")},
      {Read(C::ui4FromString, "4294967296"), Large("4294967296", "ui4")},
      {Read(C::ui4FromString, "1.0"), NotA("1.0", "ui4")},
      // i8 reads the leading integer and never fails; unsigned texts above
      // the signed range wrap, so they survive as ui8.
      {Read(C::i8FromString, "12abc"), "12"},
      {Read(C::i8FromString, "abc"), "0"},
      {Read(C::i8FromString, "  -42"), "-42"},
      {Read(C::i8FromString, "9223372036854775807"), "9223372036854775807"},
      {Read(C::i8FromString, "18446744073709551615"), "-1"},
      // The whitespace rule decides what the number reading sees: the C
      // reading skips leading blanks by itself, but not trailing ones, and
      // Preserve drops carriage returns.
      {Read(C::i4FromString, " +12"), "12"},
      {Read(C::i4FromString, "12 "), NotA("12 ", "i4")},
      {Read(C::i4FromString, "12\t", kReplace), NotA("12 ", "i4")},
      {Read(C::i4FromString, "\n 12\r\n", kCollapse), "12"},
      {Read(C::i4FromString, "1\r2"), "12"},
  };
  for (const auto& [got, expected] : rows) EXPECT_EQ(got, expected);
  // A NUL inside the text is not the end of it.
  String withNul = U("12");
  withNul += {0, u'3'};
  EXPECT_EQ(Refusal(C::i4FromString, withNul), NotA("12", "i4"));
  EXPECT_VX_THROW(C::i4FromString(U("1"), static_cast<Rule>(3)), CVxException,
                  "Unknown WhitespaceRule");
}

TEST(CConversions, FloatingForms) {
  EXPECT_EQ(C::r8FromString(U(""), kPreserve), 0.0);
  EXPECT_EQ(C::r4FromString(U("0.5"), kPreserve), 0.5f);
  // The r4 reading names r8 in its message.
  EXPECT_EQ(Refusal(C::r8FromString, U("1.5x")), NotA("1.5x", "r8"));
  EXPECT_EQ(Refusal(C::r4FromString, U("1.5x")), NotA("1.5x", "r8"));
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
  EXPECT_EQ(Refusal(C::yearFromString, U("-0044")), NotA("-0044", "year"));  // not wrapped
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

// The conversions of double (r8) and float (r4), and the "%g" precision that
// reads back where it has as few digits as needed.
template <class F>
struct Floating;
template <>
struct Floating<double> {
  using Bits = uint64_t;
  static String G(double v) { return FormatString(VX_T("%.16g"), v); }
  static String Write(double v) { return C::r8ToString(v, nullptr); }
  static double Read(const String& text) { return C::r8FromString(text, kCollapse); }
};
template <>
struct Floating<float> {
  using Bits = uint32_t;
  static String G(float v) { return FormatString(VX_T("%.7g"), static_cast<double>(v)); }
  static String Write(float v) { return C::r4ToString(v, nullptr); }
  static float Read(const String& text) { return C::r4FromString(text, kCollapse); }
};

template <class F>
typename Floating<F>::Bits Bits(F v) {
  typename Floating<F>::Bits b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
template <class F>
F FromBits(typename Floating<F>::Bits b) {
  F v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}
double DoubleOf(uint64_t b) { return FromBits<double>(b); }
float FloatOf(uint32_t b) { return FromBits<float>(b); }

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

// Passes when `back` is `v` bit for bit, or both are NaN.
template <class F>
::testing::AssertionResult Same(F back, F v) {
  if (std::isnan(v) ? std::isnan(back) : Bits(back) == Bits(v))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << back << " read back instead of " << v;
}

const std::pair<double, const char*> kDoubleTexts[] = {
    {0.1 + 0.2, "0.30000000000000004"},  // "%.16g" wrote 0.3, another double
    {0.1, "0.1"}, {1.0 / 3, "0.3333333333333333"},
    {DBL_MAX, "1.7976931348623157e+308"},  // "%.16g" wrote a text that overflows
    {-DBL_MAX, "-1.7976931348623157e+308"}, {DBL_MIN, "2.2250738585072014e-308"},
    {DoubleOf(0x000FFFFFFFFFFFFFull), "2.225073858507201e-308"},  // largest denormal
    {DoubleOf(1), "5e-324"},                                      // smallest denormal
    {0.0, "0"}, {-0.0, "-0"}, {1e21, "1e+21"}, {1e23, "1e+23"}, {1e-7, "1e-07"}, {0.0001, "0.0001"},
    {0.00001, "1e-05"}, {1e15, "1000000000000000"}, {1e16, "1e+16"},
    {9007199254740993.0, "9007199254740992"},  // 2^53 + 1 is not a double
    {123456789012345680.0, "1.2345678901234568e+17"}, {1500, "1500"}, {-2.5, "-2.5"}, {kInf, "INF"},
    {-kInf, "-INF"}, {kNaN, "NaN"}, {-kNaN, "NaN"},
};

const std::pair<float, const char*> kFloatTexts[] = {
    {0.1f, "0.1"},
    {1.0f / 3, "0.33333334"},  // "%.7g" wrote 0.3333333, another float
    {FLT_MAX, "3.4028235e+38"}, {FLT_MIN, "1.1754944e-38"}, {FloatOf(1), "1e-45"},
    {FloatOf(0x007FFFFF), "1.1754942e-38"}, {-0.0f, "-0"}, {16777216.0f, "1.6777216e+07"},
    {1234567.0f, "1234567"}, {0.0001f, "0.0001"}, {1e-5f, "1e-05"},
    // Its shortest text, 7.038531e-26, read as a double and narrowed, rounds
    // to the next float up: one more digit is needed.
    {FloatOf(0x15AE43FD), "7.0385307e-26"}, {static_cast<float>(kInf), "INF"},
    {static_cast<float>(-kInf), "-INF"}, {static_cast<float>(kNaN), "NaN"},
};

template <class F, size_t N>
void CheckTexts(const std::pair<F, const char*> (&cases)[N]) {
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(expected);
    String text = Floating<F>::Write(value);
    EXPECT_EQ(ToUtf8(text), expected);
    EXPECT_TRUE(Same(Floating<F>::Read(text), value));
  }
}

// Random bit patterns cover every exponent; random decimals of a few digits
// are the values documents carry, laid out without an exponent. Every text
// is in XSD's lexical space and reads back; where "%g" read back too, its
// text is kept, unless fewer digits do.
template <class F>
void CheckRandom(uint64_t seed, uint64_t decimals, int exponents) {
  std::mt19937_64 rng(seed);
  for (int i = 0; i < 250000; ++i) {
    F v = i % 2 == 0 ? FromBits<F>(static_cast<typename Floating<F>::Bits>(rng()))
                     : static_cast<F>(rng() % decimals) /
                           std::pow(F(10), static_cast<F>(rng() % exponents));
    std::string text = ToUtf8(Floating<F>::Write(v));
    ASSERT_TRUE(IsXsdFloatingForm(text)) << text;
    if (std::isnan(v)) continue;
    ASSERT_EQ(Bits(Floating<F>::Read(U(text))), Bits(v)) << text;
    std::string g = ToUtf8(Floating<F>::G(v));
    if (Bits(Floating<F>::Read(U(g))) == Bits(v) && text != g) {
      ASSERT_LT(SignificantDigits(text), SignificantDigits(g)) << text << " " << g;
    }
  }
}

// Lexical forms of the W3C XML Schema test suite: the Microsoft datatype
// cases msData/datatypes/doubleNNN and floatNNN (msMeta/DataTypes_w3c.xml)
// and values of the NIST cases nistData/atomic/double and float.
enum Kind { kValid, kRefused, kTolerated };  // tolerated: invalid in XSD, read all the same
struct XsdCase {
  const char* id;
  const char* text;
  Kind kind;
  double value;  // also the float's value, widened
};
const XsdCase kXsdDoubleCases[] = {
    {"double002", "1.0", kValid, 1.0}, {"double003", "1E2", kValid, 100.0},
    {"double004", "1e2", kValid, 100.0}, {"double005", "-3.14159", kValid, -3.14159},
    {"double007", "+0", kValid, 0.0}, {"double008", "-0", kValid, -0.0},
    {"double009", "+0.0", kValid, 0.0}, {"double010", "-0.0", kValid, -0.0},
    {"double012", "-1", kValid, -1.0}, {"double014", "+1", kValid, 1.0},
    {"double017", "-1E4", kValid, -1e4}, {"double019", "INF", kValid, kInf},
    {"double020", "-INF", kValid, -kInf}, {"double021", "NaN", kValid, kNaN},
    {"double027", "8.98e307", kValid, 8.98e307}, {"double028", "2.22e-308", kValid, 2.22e-308},
    {"float028", "1267.43233E12", kValid, 1267.43233E12},
    {"float029", "12.78E-2", kValid, 12.78E-2}, {"float032", "00.121", kValid, 0.121},
    {"float033", "021.22", kValid, 21.22}, {"float034", "00.00", kValid, 0.0},
    {"NIST double enumeration 1", "4.9E-324", kValid, 4.9E-324},
    {"NIST double enumeration 1", "1.7976931348623157E308", kValid, DBL_MAX},
    {"NIST double enumeration 3", "4.6505307100535510E216", kValid, 4.6505307100535510E216},
    {"NIST double pattern 1", "4E-289", kValid, 4E-289},
    {"NIST double pattern 3", "4.54918975E-8", kValid, 4.54918975E-8},
    {"NIST double pattern 5", "8.9765779385971216E261", kValid, 8.9765779385971216E261},
    {"double015", "e", kRefused, 0}, {"double016", "E", kRefused, 0},
    {"double029", "ABCDEF", kRefused, 0}, {"float027", "1267.432x10", kRefused, 0},
    {"float035", "-1E4.4", kRefused, 0}, {"float036", "13.1513.561", kRefused, 0},
    // XSD 1.0 refuses these; the reading follows the C library, which takes
    // them (and an empty text is 0 by the reading's own rule). "+INF" is
    // valid in XSD 1.1.
    {"double001", "", kTolerated, 0.0}, {"double018", "+INF", kTolerated, kInf},
    {"double022", "+NaN", kTolerated, kNaN}, {"double023", "-NaN", kTolerated, kNaN},
    {"double024", "inf", kTolerated, kInf}, {"double025", "nan", kTolerated, kNaN},
    {"double026", "NAN", kTolerated, kNaN},
};

const XsdCase kXsdFloatCases[] = {
    {"float030", "2.3e-38", kValid, 2.3e-38f}, {"float031", "3.4e38", kValid, 3.4e38f},
    {"float019", "INF", kValid, kInf}, {"float020", "-INF", kValid, -kInf},
    {"float021", "NaN", kValid, kNaN}, {"float008", "-0", kValid, -0.0},
    {"NIST float enumeration 1", "1.4E-45", kValid, 1.4E-45f},
    {"NIST float enumeration 1", "3.4028235E38", kValid, FLT_MAX},
    {"NIST float enumeration 1", "2.7455975E-6", kValid, 2.7455975E-6f},
    {"NIST float enumeration 1", "2.5357204E7", kValid, 2.5357204E7f},
    {"float015", "e", kRefused, 0}, {"float037", "ABCDEF", kRefused, 0},
};

template <class F, size_t N>
void CheckXsd(const XsdCase (&cases)[N]) {
  for (const XsdCase& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " [" + c.text + "]");
    // The checker of what is written agrees with the suite.
    EXPECT_EQ(IsXsdFloatingForm(c.text), c.kind == kValid);
    if (c.kind == kRefused) {
      EXPECT_EQ(Refusal(C::r8FromString, U(c.text), kCollapse), NotA(c.text, "r8"));
      EXPECT_EQ(Refusal(C::r4FromString, U(c.text), kCollapse), NotA(c.text, "r8"));
      continue;
    }
    F v = Floating<F>::Read(U(c.text));
    EXPECT_TRUE(Same(v, static_cast<F>(c.value)));
    if (std::isnan(v)) continue;
    // What is written back is in XSD's lexical space, and the same value.
    std::string written = ToUtf8(Floating<F>::Write(v));
    EXPECT_TRUE(IsXsdFloatingForm(written)) << written;
    EXPECT_EQ(Bits(Floating<F>::Read(U(written))), Bits(v));
  }
}

}  // namespace

TEST(CConversions, FloatingTextWithoutFormatReadsBack) {
  CheckTexts(kDoubleTexts);
  CheckTexts(kFloatTexts);
}

TEST(CConversions, EveryDoubleReadsBackExactly) { CheckRandom<double>(20240611, 1000000000, 14); }

TEST(CConversions, EveryFloatReadsBackExactly) { CheckRandom<float>(20240612, 10000000, 10); }

TEST(CConversions, FloatingFormsOfTheW3cSuite) {
  CheckXsd<double>(kXsdDoubleCases);
  CheckXsd<float>(kXsdFloatCases);
}
