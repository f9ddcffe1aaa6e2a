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
    const char* canonical;
  };
  const Case valid[] = {
      {"P1Y2M3DT4H5M6.789S", "P1Y2M3DT4H5M6.789S"},
      {"-P10D", "-P10D"},
      {"PT0.000000001S", "PT0.000000001S"},
      {"PT0S", "PT0S"},
      {"P0D", "PT0S"},
      {"-PT0S", "-PT0S"},
      {"P13M", "P13M"},
      {"PT90M", "PT90M"},
      {"PT36H", "PT36H"},
      {"P0001Y", "P1Y"},
      {"PT1.S", "PT1S"},
      {"PT.5S", "PT0.5S"},
      {"PT1.000100S", "PT1.0001S"},
      {"P1YT1S", "P1YT1S"},
      {"P65535Y4294967295M4294967295DT4294967295H18446744073709551615M18446744073709551615."
       "999999999S",
       "P65535Y4294967295M4294967295DT4294967295H18446744073709551615M18446744073709551615."
       "999999999S"},
  };
  for (const Case& c : valid) {
    SCOPED_TRACE(c.text);
    CDateTimeSpan v = Span(c.text);
    EXPECT_EQ(ToUtf8(v.ToString()), c.canonical);
    EXPECT_EQ(ToUtf8(Span(ToUtf8(v.ToString())).ToString()), c.canonical);
  }
  CDateTimeSpan v = Span("P1Y2M3DT4H5M6.789S");
  EXPECT_EQ(v.GetYears(), 1);
  EXPECT_EQ(v.GetMonths(), 2u);
  EXPECT_EQ(v.GetDays(), 3u);
  EXPECT_EQ(v.GetHours(), 4u);
  EXPECT_EQ(v.GetMinutes(), 5u);
  EXPECT_EQ(v.GetSeconds(), 6u);
  EXPECT_EQ(v.GetMilliSeconds(), 789);
  EXPECT_FALSE(v.IsNegative());
  EXPECT_EQ(Span("PT0.000000001S").GetNanoSeconds(), 1);
  EXPECT_TRUE(Span("-P10D").IsNegative());

  const char* shapes[] = {"P",     "PT",     "P1",     "P1S",    "PT1D",   "1Y",    "-",
                          "+P1Y",  "P-1Y",   "P1YT",   "PT1H1H", "P1D1M",  "P1M1Y", "PY",
                          "PT.S",  "P1T1H",  "P1Y ",   " P1Y",   "PT1H2",  "P1.5Y", "PT1.5M",
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
    CDateTimeSpan v(static_cast<unsigned short>(rng() % 3 == 0 ? rng() : 0),
                    static_cast<uint32_t>(rng() % 2 ? rng() : 0), static_cast<uint32_t>(rng() % 2 ? rng() : 0),
                    static_cast<uint32_t>(rng() % 2 ? rng() : 0), rng() % 2 ? rng() : 0,
                    rng() % 2 ? rng() : 0, static_cast<unsigned short>(rng() % 1000),
                    static_cast<unsigned short>(rng() % 2 ? rng() % 1000 : 0),
                    static_cast<unsigned short>(rng() % 2 ? rng() % 1000 : 0));
    if (rng() % 2) v.Negate();
    std::string text = ToUtf8(v.ToString());
    SCOPED_TRACE(text);
    CDateTimeSpan w = Span(text);
    EXPECT_EQ(ToUtf8(w.ToString()), text);
    EXPECT_EQ(w.GetYears(), v.GetYears());
    EXPECT_EQ(w.GetMinutes(), v.GetMinutes());
    EXPECT_EQ(w.GetSeconds(), v.GetSeconds());
    EXPECT_EQ(w.GetNanoSeconds(), v.GetNanoSeconds());
    EXPECT_EQ(w.IsNegative(), v.IsNegative());
    EXPECT_EQ(w.CompareTo(v), DT::DTCompare_Equal);
  }
}

TEST(CDateTimeSpan, ConstructorsSettersAndSign) {
  CDateTimeSpan a(1, 2, 3);
  EXPECT_EQ(ToUtf8(a.ToString()), "PT1H2M3S");
  a.Negate();
  EXPECT_TRUE(a.IsNegative());
  a.SetDateTimeSpan(1, 2, 3, 4, 5, 6);  // clears the sign
  EXPECT_FALSE(a.IsNegative());
  EXPECT_EQ(ToUtf8(a.ToString()), "P1Y2M3DT4H5M6S");
  EXPECT_TRUE(a.GetAsNegative().IsNegative());
  EXPECT_TRUE(a.GetAsNegative().GetAsNegative().IsNegative());
  EXPECT_FALSE(a.IsNegative());
  EXPECT_FALSE(CDateTimeSpan(0, 0, 0, 0, 0, 0, 1, 2, 3).IsNegative());
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
  struct Case {
    const char *a, *b;
    DT::DTCompareResult expected;
  };
  const Case cases[] = {
      {"P1M", "P30D", DT::DTCompare_Indeterminate},
      {"P1M", "P27D", DT::DTCompare_GreaterThan},
      {"P1M", "P28D", DT::DTCompare_Indeterminate},
      {"P1M", "P32D", DT::DTCompare_LessThan},
      {"P1Y", "P12M", DT::DTCompare_Equal},
      {"P1Y", "P365D", DT::DTCompare_Indeterminate},
      {"P1Y", "P364D", DT::DTCompare_GreaterThan},
      {"P1Y", "P367D", DT::DTCompare_LessThan},
      {"PT24H", "P1D", DT::DTCompare_Equal},
      {"PT1440M", "P1D", DT::DTCompare_Equal},
      {"PT86400.000000001S", "P1D", DT::DTCompare_GreaterThan},
      {"P1D", "P2D", DT::DTCompare_LessThan},
      {"-P1D", "PT0S", DT::DTCompare_LessThan},
      {"-P1D", "-PT24H", DT::DTCompare_Equal},
      {"-P2D", "-P1D", DT::DTCompare_LessThan},
      {"P5M", "P150D", DT::DTCompare_Indeterminate},
      {"P2M", "P62D", DT::DTCompare_Indeterminate},
      {"P2M", "P63D", DT::DTCompare_LessThan},
      {"P65535Y", "PT18446744073709551615S", DT::DTCompare_LessThan},
      {"PT18446744073709551615M", "PT18446744073709551615M", DT::DTCompare_Equal},
      {"-PT18446744073709551615M", "-P65535Y", DT::DTCompare_LessThan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    CDateTimeSpan a = Span(c.a), b = Span(c.b);
    EXPECT_EQ(a.CompareTo(b), c.expected);
    EXPECT_EQ(a == b, c.expected == DT::DTCompare_Equal);
    EXPECT_EQ(a != b, c.expected != DT::DTCompare_Equal);
    EXPECT_EQ(a < b, c.expected == DT::DTCompare_LessThan);
    EXPECT_EQ(a > b, c.expected == DT::DTCompare_GreaterThan);
    const DT::DTCompareResult mirrored =
        c.expected == DT::DTCompare_LessThan      ? DT::DTCompare_GreaterThan
        : c.expected == DT::DTCompare_GreaterThan ? DT::DTCompare_LessThan
                                                  : c.expected;
    EXPECT_EQ(b.CompareTo(a), mirrored);
  }
}
