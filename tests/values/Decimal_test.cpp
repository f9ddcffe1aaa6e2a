#include "vxbind/values/Decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::U;

namespace {

CDecimal D(const std::string& text) { return CDecimal(U(text).c_str()); }
std::string S(const CDecimal& v) { return vxtest::ToUtf8(v.ToString()); }
std::string S(const CDecimal& v, int n) { return vxtest::ToUtf8(v.ToString(n)); }
std::string S(const CBigInteger& v) { return vxtest::ToUtf8(v.ToString()); }

std::string BadChar(int position, const std::string& text) {
  return "The string representing a Decimal, contained an invalid char at position " +
         std::to_string(position) + " [" + text + "]";
}

// Restores the class-wide maximum number of places when a test ends.
class MaxPlaces {
 public:
  explicit MaxPlaces(int places) : m_saved(CDecimal::GetMaxDecimalPlaces()) {
    CDecimal::SetMaxDecimalPlaces(places);
  }
  ~MaxPlaces() { CDecimal::SetMaxDecimalPlaces(m_saved); }

 private:
  int m_saved;
};

struct DecCase {
  const char* text;
  const char* canonical;  // nullptr: rejected with the invalid-char message at `position`
  int position = 0;
};

const DecCase kDecCases[] = {
    {"0", "0"},         {"", "0"},          {".", "0"},             {"-0.0", "0"},
    {"1.50", "1.5"},    {"3.000", "3"},     {"-0.25", "-0.25"},     {"1.05", "1.05"},
    {"-0.05", "-0.05"}, {"+.5", "0.5"},     {"007.100", "7.1"},     {"12345.67", "12345.67"},
    {"1.2e2", "120"},   {"5E-1", "0.5"},    {"1.5E+3", "1500"},     {"125e-5", "0.00125"},
    {"1e0", "1"},       {"1e", "1"},        {"1e--+2", "100"},      {"0.1239996", "0.1239996"},
    {" 1 2 . 5 ", "12.5"},  // whitespace is skipped everywhere
    {"\t-3\r\n", "-3"},
    {"1-", "-1"},  // the last sign of the integer part counts
    {"-+1", "1"},
    {"0.000000000000000000000000000001", "0.000000000000000000000000000001"},
    {"0.0000000000000000000000000000005", "0"},  // 31st place: a tie, dropped
    {"0.00000000000000000000000000000051", "0.000000000000000000000000000001"},
    {"-0.0000000000000000000000000000015", "-0.000000000000000000000000000001"},
    {"1509e-33", "0.000000000000000000000000000001"},  // cut at 32 places, then a tie
    {"12x", nullptr, 2},  {"1.5.3", nullptr, 3}, {"1.5-", nullptr, 3}, {"1e5-", nullptr, 3},
    {"1e5.", nullptr, 3}, {"1e+x", nullptr, 3},  {"abc", nullptr, 0},  {"1,5", nullptr, 1},
    {"NaN", nullptr, 0},  {"INF", nullptr, 0},   {"0x1p3", nullptr, 1},
};

}  // namespace

TEST(CDecimal, LexicalFormsTable) {
  for (const DecCase& c : kDecCases) {
    SCOPED_TRACE(c.text);
    if (c.canonical)
      EXPECT_EQ(S(D(c.text)), c.canonical);
    else
      EXPECT_VX_THROW(D(c.text), CVxInvalidValueException, BadChar(c.position, c.text));
  }
}

TEST(CDecimal, LongTextsReadBackAndExponentsKeepTheirLimits) {
  const std::string kHas = "The string representing a Decimal, has ";
  const std::string kLargeExponent = kHas + "an exponent larger than 10000000";
  // Around the end of the stack buffer, and far beyond it.
  for (size_t n : {511u, 512u, 1021u, 1022u, 1023u, 1024u, 5000u}) {
    const std::string nines(n, '9');
    EXPECT_EQ(S(D(nines)), nines) << n;
    EXPECT_EQ(S(D(nines + "." + nines)), S(D(nines + "." + std::string(64, '9')))) << n;
  }
  EXPECT_EQ(S(D(std::string(1500, '0') + "1")), "1");
  // What a large exponent builds is written in full and reads back.
  const CDecimal large = D("7e2000");
  EXPECT_EQ(S(large), "7" + std::string(2000, '0'));
  EXPECT_TRUE(D(S(large)) == large);
  EXPECT_EQ(S(D("1e" + std::string(31, '0'))), "1");
  EXPECT_VX_THROW(D("1e" + std::string(32, '0')), CVxInvalidValueException,
                  kHas + "more than 31 digits in its exponent");
  EXPECT_VX_THROW(D("1e10000001"), CVxInvalidValueException, kLargeExponent);
  EXPECT_VX_THROW(D("1e-99999999999"), CVxInvalidValueException, kLargeExponent);
  EXPECT_EQ(S(D("7e-10000000")), "0");
}

TEST(CDecimal, CanonicalRoundTrip) {
  std::mt19937_64 rng(20240602);
  for (int i = 0; i < 3000; ++i) {
    std::string whole = std::to_string(rng() % 1000000000000ull);
    std::string frac;
    int len = static_cast<int>(rng() % 31);
    for (int k = 0; k < len; ++k) frac += static_cast<char>('0' + rng() % 10);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    std::string text = whole + (frac.empty() ? "" : "." + frac);
    if (rng() % 2 && text != "0") text = "-" + text;
    ASSERT_EQ(S(D(text)), text);
    ASSERT_EQ(D(S(D(text))), D(text));
  }
}

TEST(CDecimal, ScaleIsCappedWithTiesTowardZero) {
  const struct {
    int places;
    const char *text, *expected;
  } rows[] = {
      {2, "0.125", "0.12"},   {2, "-0.125", "-0.12"},   {2, "0.1251", "0.13"},
      {2, "0.135", "0.13"},  // not to even: toward zero
      {2, "9.995", "9.99"},   {2, "9.9951", "10"},      {2, "-9.9951", "-10"},
      {2, "0.004", "0"},      {0, "2.5", "2"},          {0, "2.51", "3"},
      // After rounding the scale stays at the maximum: trailing zeros show.
      {2, "0.1299", "0.13"},  {2, "0.0999", "0.10"},    {5, "0.1239996", "0.12400"},
      // An exponent goes through multiplication or division, which trims them.
      {2, "0.999e-1", "0.1"}, {5, "1.239996e-1", "0.124"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    MaxPlaces places(row.places);
    EXPECT_EQ(S(D(row.text)), row.expected);
    EXPECT_EQ(D(row.text), D(row.expected));
  }
  MaxPlaces places(0);
  EXPECT_EQ(S(CDecimal(7) / CDecimal(2)), "3");
  EXPECT_EQ(S(CDecimal(-7) / CDecimal(2)), "-3");
  const std::string kRange = "The maximum number of decimal places must be between 0 and 10000000 ";
  EXPECT_VX_THROW(CDecimal::SetMaxDecimalPlaces(-1), CVxInvalidParamException, kRange + "[-1]");
  EXPECT_VX_THROW(CDecimal::SetMaxDecimalPlaces(2147483647), CVxInvalidParamException,
                  kRange + "[2147483647]");
  EXPECT_EQ(CDecimal::GetMaxDecimalPlaces(), 0);
}

TEST(CDecimal, RoundingToIntegersFindsTiesAcrossLimbBoundaries) {
  // A capped scale keeps trailing zeros, so the integer rounding sees a tie
  // five, nine, ten or eighteen places down.
  const struct {
    int places;
    const char *text, *rounded;
  } rows[] = {
      {5, "2.4999996", "2"},           {5, "-2.4999996", "-2"},
      {9, "2.4999999996", "2"},        {9, "2.5000000004", "2"},
      {9, "2.5000000006", "3"},        {10, "-2.49999999996", "-2"},
      {18, "7.4999999999999999996", "7"}, {18, "7.5000000000000000006", "8"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    MaxPlaces places(row.places);
    EXPECT_EQ(S(D(row.text).ToBigInteger()), row.rounded);
  }
}

TEST(CDecimal, ArithmeticAcrossScalesAndSigns) {
  const struct {
    const char *a, *b, *sum, *difference, *product;
  } rows[] = {
      {"0.1", "0.2", "0.3", "-0.1", "0.02"},          {"-1.5", "1", "-0.5", "-2.5", "-1.5"},
      {"2.5", "2.5", "5", "0", "6.25"},               {"-0.5", "0.5", "0", "-1", "-0.25"},
      {"0.5", "0.75", "1.25", "-0.25", "0.375"},      {"1.25", "0.25", "1.5", "1", "0.3125"},
      {"-0.001", "0.001", "0", "-0.002", "-0.000001"}, {"-5", "0", "-5", "-5", "0"},
      {"999999999.999999999", "0.000000001", "1000000000", "999999999.999999998",
       "0.999999999999999999"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a) + ", " + row.b);
    EXPECT_EQ(S(D(row.a) + D(row.b)), row.sum);
    EXPECT_EQ(S(D(row.a) - D(row.b)), row.difference);
    EXPECT_EQ(S(D(row.a) * D(row.b)), row.product);
    CDecimal x = D(row.a);
    EXPECT_EQ(S(x += D(row.b)), row.sum);
    EXPECT_EQ(S(x -= D(row.b)), S(D(row.a)));
    EXPECT_EQ(S(x *= D(row.b)), row.product);
  }
  EXPECT_EQ(S(D("12.5") / D("-0.5")), "-25");
  CDecimal x = D("1.5");
  std::string steps;
  auto step = [&steps](const CDecimal& v) { steps += S(v) + " "; };
  step(x++), step(x), step(--x), step(x--), step(x), step(++x);
  EXPECT_EQ(steps, "1.5 2.5 1.5 1.5 0.5 1.5 ");
  x /= D("-2");
  EXPECT_EQ(S(x), "-0.75");
  EXPECT_EQ(S(x.GetNegative()) + " " + S(x), "0.75 -0.75");
  EXPECT_EQ(S(x.Negate()), "0.75");
}

// Reference quotients from Python (fractions): truncated at 32 places, then
// rounded to 30 with ties toward zero.
struct DivCase {
  const char *a, *b, *q;
};
const DivCase kDivCases[] = {
    {"775109768526392.976070378372628", "467372020246702.765361045693880",
     "1.658442814178843114355247314997"},
    {"629157375460210.547461327530525", "-182233246839567.808702100600846",
     "-3.452484035550879070413369035491"},
    {"767368353980486.122105702171948", "310888094194418.777813933339093",
     "2.468310521729404687996186700865"},
    {"806213667785738.449941712382353", "-357139298694447.787301359007730",
     "-2.257420761962962689108452820232"},
    {"184257105837348.175739524484344", "-450227655682677.253804148554128",
     "-0.409253193382712862386109813782"},
    {"1", "3", "0.333333333333333333333333333333"},
    {"2", "3", "0.666666666666666666666666666667"},
    {"-2", "3", "-0.666666666666666666666666666667"},
};

TEST(CDecimal, DivisionMatchesIndependentResults) {
  for (const DivCase& c : kDivCases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(S(D(c.a) / D(c.b)), c.q);
  }
  MaxPlaces places(5);
  EXPECT_EQ(S(CDecimal(1) / CDecimal(3)), "0.33333");
}

TEST(CDecimal, DivisionTruncatesTwoPlacesBeforeRounding) {
  // 5.01e-31: the quotient is cut to ...50 at 32 places, an exact tie at 30.
  CDecimal big(CBigInteger::Pow10(31));
  EXPECT_EQ(S(D("5.01") / big), "0");
  EXPECT_EQ(S(D("5.1") / big), "0.000000000000000000000000000001");
  EXPECT_EQ(S(D("-5.1") / big), "-0.000000000000000000000000000001");
  EXPECT_VX_THROW(D("1") / D("0.000"), CVxInvalidValueException, "ERROR: Overflow in operator/!");
  CDecimal x = D("1");
  EXPECT_VX_THROW(x /= CDecimal(), CVxInvalidValueException, "ERROR: Overflow in operator/!");
  EXPECT_EQ(S(x), "1");
}

TEST(CDecimal, ComparisonAcrossScales) {
  const char* ordered[] = {"-10", "-1.5", "-1.25", "-0.001", "0", "0.0001", "0.5", "1", "1.01"};
  for (int i = 0; i < 9; ++i)
    for (int j = 0; j < 9; ++j)
      EXPECT_TRUE(vxtest::OrderIs(D(ordered[i]), D(ordered[j]), (i > j) - (i < j)))
          << ordered[i] << " " << ordered[j];
  EXPECT_TRUE(D("1.50") == D("1.5000"));
  EXPECT_TRUE(D("-0") == CDecimal());
}

TEST(CDecimal, ToStringWithPlacesRoundsHalfAwayFromZero) {
  struct {
    const char* text;
    int n;
    const char* expected;
  } rows[] = {
      {"1.005", 2, "1.01"},   {"-1.005", 2, "-1.01"}, {"1.004", 2, "1.00"},
      {"2.5", 0, "3."},       {"-2.5", 0, "-3."},     {"2.4", 0, "2."},
      {"1.5", 3, "1.500"},    {"1.995", 2, "2.00"},   {"0", 2, "0.00"},
      {"-0.001", 2, "-0.00"}, {"0.05", 1, "0.1"},     {"123", 1, "123.0"},
      {"0.00049", 3, "0.000"}, {"0.0005", 3, "0.001"}, {"-7", 0, "-7."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " " + std::to_string(row.n));
    EXPECT_EQ(S(D(row.text), row.n), row.expected);
  }
  // At or beyond the maximum number of places the digits are cut.
  EXPECT_EQ(S(D("0.5"), 31), "0.5000000000000000000000000000000");
  EXPECT_VX_THROW(D("1").ToString(-1), CVxInvalidParamException,
                  "The number of decimal places must not be negative [-1]");
}

TEST(CDecimal, ConversionsToMachineTypes) {
  EXPECT_EQ(D("-7.9").ToLong(), -7);
  EXPECT_EQ(D("2147483647.9").ToLong(), 2147483647);
  EXPECT_EQ(D("-2147483648.9").ToLong(), -2147483647 - 1);
  EXPECT_EQ(D("9223372036854775807.5").ToLongLong(), INT64_MAX);
  EXPECT_EQ(D("-9223372036854775808").ToLongLong(), INT64_MIN);
  for (auto [text, d] : {std::pair{"12345.67", 12345.67}, {"-0.05", -0.05}, {"1.7e308", 1.7e308}})
    EXPECT_EQ(D(text).ToDouble(), d);
  const std::string kTooLarge = "The Decimal value if to large to fit into a ";
  for (const char* s : {"2147483648", "-2147483649"})
    EXPECT_VX_THROW(D(s).ToLong(), CVxOverFlowException, kTooLarge + "LONG") << s;
  for (const char* s : {"9223372036854775808", "-9223372036854775809"})
    EXPECT_VX_THROW(D(s).ToLongLong(), CVxOverFlowException, kTooLarge + "LONGLONG") << s;
  for (const char* s : {"1.8e308", "-1.8e308"})
    EXPECT_VX_THROW(D(s).ToDouble(), CVxOverFlowException, kTooLarge + "Double") << s;
  EXPECT_EQ(S(CBigInteger(D("1234.5000001"))), "1235");
  EXPECT_EQ(S(CDecimal(CBigInteger::Pow10(40))), "1" + std::string(40, '0'));
  EXPECT_EQ(S(CDecimal(INT64_MIN)), "-9223372036854775808");
}

TEST(CDecimal, FromDoubleUsesThirteenPlaces) {
  EXPECT_EQ(S(CDecimal(0.1)), "0.1");
  EXPECT_EQ(S(CDecimal(-2.5)), "-2.5");
  EXPECT_EQ(S(CDecimal(1e-14)), "0");
  EXPECT_EQ(S(CDecimal(1.0 / 3.0)), "0.3333333333333");
  EXPECT_EQ(S(CDecimal(1e20)), "100000000000000000000");
  EXPECT_EQ(CDecimal(1.7e308).ToDouble(), 1.7e308);
  EXPECT_VX_THROW(CDecimal{HUGE_VAL}, CVxInvalidValueException, BadChar(0, "inf\n"));
}
