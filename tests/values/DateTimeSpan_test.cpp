#include "vxbind/values/DateTimeSpan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

typedef CDateTime DT;

CDateTimeSpan Span(const std::string& text) {
  CDateTimeSpan v;
  String s = U(text);
  v.ParseXSDDuration(s.c_str());
  return v;
}

std::string Shape(const std::string& text) {
  return "Invalid XSD Duration [" + text + "] expected [-]P[nY][nM][nD][T[nH][nM][nS.ff]]";
}

}  // namespace

TEST(CDateTimeSpanParse, LexicalFormsTable) {
  struct Case {
    const char* text;
    const char* canonical = nullptr;  // nullptr: the text itself
  };
  const Case valid[] = {
      {"P1Y2M3DT4H5M6.789S"}, {"-P10D"},          {"PT0.000000001S"}, {"PT0S"},
      {"P0D", "PT0S"},        {"-PT0S"},          {"P13M"},           {"PT90M"},
      {"PT36H"},              {"P0001Y", "P1Y"},  {"PT1.S", "PT1S"},  {"PT.5S", "PT0.5S"},
      {"P1YT1S"},             {"PT1.000100S", "PT1.0001S"}, {"PY", "PT0S"}, {"PT.S", "PT0S"},
      {"P65535Y4294967295M4294967295DT4294967295H18446744073709551615M18446744073709551615."
       "999999999S"},
  };
  for (const Case& c : valid) {
    SCOPED_TRACE(c.text);
    const std::string canonical = c.canonical ? c.canonical : c.text;
    EXPECT_EQ(ToUtf8(Span(c.text).ToString()), canonical);
    EXPECT_EQ(ToUtf8(Span(canonical).ToString()), canonical);
  }
  // The fraction is kept as milli-, micro- and nanoseconds.
  EXPECT_EQ(Span("PT6.789S").GetMilliSeconds(), 789);
  EXPECT_EQ(Span("PT0.000000001S").GetNanoSeconds(), 1);

  const char* shapes[] = {"P",     "PT",     "P1",     "P1S",    "PT1D",   "1Y",    "-",
                          "+P1Y",  "P-1Y",   "P1YT",   "PT1H1H", "P1D1M",  "P1M1Y",
                          "P1T1H",  "P1Y ",   " P1Y",   "PT1H2",  "P1.5Y", "PT1.5M",
                          "PT1M1H", "P1DT1S1M", "PT1.5", "p1Y",   "P1Y1Y",  "--P1D", "PT1S1S"};
  for (const char* s : shapes) {
    SCOPED_TRACE(s);
    EXPECT_VX_THROW(Span(s), CVxInvalidValueException, Shape(s));
  }
  EXPECT_VX_THROW(Span("PT1.1234567890S"), CVxInvalidValueException,
                  "Invalid XSD Duration [PT1.1234567890S] Fraction part too long");
  EXPECT_VX_THROW(Span(""), CVxInvalidValueException, "Invalid XSD Duration (Empty String)");
  CDateTimeSpan n;
  EXPECT_VX_THROW(n.ParseXSDDuration(nullptr), CVxInvalidValueException,
                  "Invalid XSD Duration (Null String)");
}

TEST(CDateTimeSpanParse, NumbersBeyondTheirComponentAreRefusedNotWrapped) {
  for (const char* s : {"P65536Y", "P4294967296M", "P4294967296D", "PT4294967296H",
                        "PT18446744073709551616M", "PT18446744073709551616S",
                        "P99999999999999999999999999999999D"}) {
    SCOPED_TRACE(s);
    EXPECT_VX_THROW(Span(s), CVxInvalidValueException,
                    "Invalid XSD Duration [" + std::string(s) + "] value out of range");
  }
  // A long run of leading zeros is still a small number.
  EXPECT_EQ(ToUtf8(Span("P" + std::string(100000, '0') + "7D").ToString()), "P7D");
  std::string huge = "PT" + std::string(100000, '9') + "S";
  EXPECT_THROW(Span(huge), CVxInvalidValueException);
  // A failed parse leaves the span cleared.
  CDateTimeSpan v = Span("-P5D");
  String bad = U("P5X");
  EXPECT_THROW(v.ParseXSDDuration(bad.c_str()), CVxInvalidValueException);
  EXPECT_FALSE(v.IsNegative());
  EXPECT_EQ(v.GetDays(), 0u);
}

TEST(CDateTimeSpanParse, RandomSpansRoundTripThroughTheirText) {
  std::mt19937_64 rng(20240601);
  for (int i = 0; i < 5000; ++i) {
    auto maybe = [&] { return rng() % 2 ? rng() : 0; };
    CDateTimeSpan v(static_cast<unsigned short>(rng() % 3 == 0 ? rng() : 0),
                    static_cast<uint32_t>(maybe()), static_cast<uint32_t>(maybe()),
                    static_cast<uint32_t>(maybe()), maybe(), maybe(),
                    static_cast<unsigned short>(rng() % 1000),
                    static_cast<unsigned short>(maybe() % 1000),
                    static_cast<unsigned short>(maybe() % 1000));
    if (rng() % 2) v.Negate();
    std::string text = ToUtf8(v.ToString());
    SCOPED_TRACE(text);
    CDateTimeSpan w = Span(text);
    EXPECT_EQ(ToUtf8(w.ToString()), text);
    EXPECT_EQ(w.CompareTo(v), DT::DTCompare_Equal);
  }
}

TEST(CDateTimeSpan, ConstructorsSettersAndSign) {
  CDateTimeSpan a(1, 2, 3);
  EXPECT_EQ(ToUtf8(a.ToString()), "PT1H2M3S");
  a.Negate();
  EXPECT_TRUE(a.IsNegative());
  a.SetDateTimeSpan(1, 2, 3, 4, 5, 6);  // clears the sign
  EXPECT_EQ(ToUtf8(a.ToString()), "P1Y2M3DT4H5M6S");
  EXPECT_EQ(ToUtf8(a.GetAsNegative().GetAsNegative().ToString()), "-P1Y2M3DT4H5M6S");
  EXPECT_FALSE(a.IsNegative());
  EXPECT_EQ(ToUtf8(CDateTimeSpan(0, 0, 0, 0, 0, 0, 1, 2, 3).ToString()), "PT0.001002003S");
  // Unchecked setters: fraction groups above 999 carry into the seconds text.
  CDateTimeSpan b;
  b.SetSeconds(UINT64_MAX);
  b.SetMilliSeconds(65535);
  b.SetNanoSeconds(1);
  EXPECT_EQ(ToUtf8(b.ToString()), "PT18446744073709551680.535000001S");
  EXPECT_EQ(ToUtf8(CDateTimeSpan().GetAsNegative().ToString()), "-PT0S");
}

TEST(CDateTimeSpanCompare, OrderByTheFourReferenceDates) {
  const auto kLess = DT::DTCompare_LessThan, kEqual = DT::DTCompare_Equal;
  const auto kGreater = DT::DTCompare_GreaterThan, kUnknown = DT::DTCompare_Indeterminate;
  struct Case {
    const char *a, *b;
    DT::DTCompareResult expected;
  };
  const Case cases[] = {
      {"P1M", "P30D", kUnknown},   {"P1M", "P27D", kGreater},  {"P1M", "P28D", kUnknown},
      {"P1M", "P32D", kLess},      {"P1Y", "P12M", kEqual},    {"P1Y", "P365D", kUnknown},
      {"P1Y", "P364D", kGreater},  {"P1Y", "P367D", kLess},    {"PT24H", "P1D", kEqual},
      {"PT1440M", "P1D", kEqual},  {"P1D", "P2D", kLess},      {"-P1D", "PT0S", kLess},
      {"-P1D", "-PT24H", kEqual},  {"-P2D", "-P1D", kLess},    {"P5M", "P150D", kUnknown},
      {"P2M", "P62D", kUnknown},   {"P2M", "P63D", kLess},
      {"PT86400.000000001S", "P1D", kGreater},
      {"P65535Y", "PT18446744073709551615S", kLess},
      {"PT18446744073709551615M", "PT18446744073709551615M", kEqual},
      {"-PT18446744073709551615M", "-P65535Y", kLess},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    CDateTimeSpan a = Span(c.a), b = Span(c.b);
    EXPECT_EQ(a.CompareTo(b), c.expected);
    const int order[] = {0, -1, 1, 2};  // by DTCompareResult
    EXPECT_TRUE(vxtest::OrderIs(a, b, order[c.expected]));
    EXPECT_TRUE(vxtest::OrderIs(b, a, order[c.expected] == 2 ? 2 : -order[c.expected]));
  }
}
