#include "vxbind/values/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>

#include "support/Text.h"
#include "vxbind/values/DateTimeSpan.h"

using namespace VxVevAva5;
using vxtest::ThrowsWithMessage;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

typedef CDateTime DT;
constexpr DT::DTType kRejected = DT::dt_yearZero;

CDateTime Date(const char* text) {
  CDateTime v;
  v.ParseXSDDate(U(text).c_str());
  return v;
}
CDateTime TimeOf(const char* text) {
  CDateTime v;
  v.ParseXSDTime(U(text).c_str());
  return v;
}
CDateTime Stamp(const char* text) { return CDateTime(U(text).c_str()); }
CDateTimeSpan Span(const char* text) {
  CDateTimeSpan v;
  v.ParseXSDDuration(U(text).c_str());
  return v;
}
// A time when the text has ':' third, a dateTime when it has a 'T', else a date kind.
CDateTime Any(const char* text) {
  std::string s = text;
  return s.size() > 2 && s[2] == ':' ? TimeOf(text)
         : s.find('T') != std::string::npos ? Stamp(text) : Date(text);
}
std::string Str(const CDateTime& v) { return ToUtf8(v.ToString()); }

struct LexCase {
  const char* text;
  DT::DTType type;       // kRejected: parsing throws `expected`
  const char* expected = nullptr;  // canonical text (nullptr: the text), or the exact message
};

// Accepted texts give the kind and the canonical text, which parses to itself.
template <size_t N>
void CheckForms(CDateTime (*parse)(const char*), const LexCase (&cases)[N]) {
  for (const LexCase& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.type == kRejected) {
      EXPECT_VX_THROW(parse(c.text), CVxInvalidValueException, c.expected);
      continue;
    }
    const std::string canonical = c.expected ? c.expected : c.text;
    CDateTime v = parse(c.text);
    EXPECT_EQ(v.GetType(), c.type);
    EXPECT_EQ(Str(v), canonical);
    EXPECT_EQ(Str(parse(canonical.c_str())), canonical);
  }
}

const char kBadDay[] = "Invalid Day [29] (1 <= day <= days in month";
const char kYearZero[] = "Invalid Year [0] (-9999 <= year <= 9999 && year != 0)";

}  // namespace

TEST(CDateTimeParse, DateFormsTable) {
  const LexCase cases[] = {
      {"2011-12-03", DT::dt_date},       {"2011-12", DT::dt_gYearMonth},
      {"2011", DT::dt_gYear},            {"-0044-03-15", DT::dt_date},
      {"-0001", DT::dt_gYear},           {"--12", DT::dt_gMonth},
      {"--12--", DT::dt_gMonth, "--12"}, {"---05", DT::dt_gDay},
      {"--02-29", DT::dt_gMonthDay},     {"2011-12-03Z", DT::dt_date},
      {"--12Z", DT::dt_gMonth},          {"2011-12-03+05:30", DT::dt_date},
      {"---05+01:00", DT::dt_gDay},      {"-0044-03-15-05:00", DT::dt_date},
      {"2000-02-29", DT::dt_date},       {"2011-12+24:00", DT::dt_gYearMonth, "2011-12+00:00"},
      {"2011-12-03Z+01:00", kRejected, "Invalid Date (Bad Zone value)"},
      {"2011-12-03T10:00", kRejected, "Invalid Date ('T' not allowed)"},
      {"", kRejected, "Invalid Date (Empty String)"},
      {"2011-02-29", kRejected, kBadDay},         {"1900-02-29", kRejected, kBadDay},
      {"2100-02-29", kRejected, kBadDay},         {"-0000", kRejected, kYearZero},
      {"2011-04-31", kRejected, "Invalid Day [31] (1 <= day <= days in month"},
      {"0000-01-01", kRejected, kYearZero},
      {"2011-13-01", kRejected, "Invalid Month [13] (1 <= month <= 12)"},
      {"--00", kRejected, "Invalid Month [0] (1 <= month <= 12)"},
      {"--02-30", kRejected, "Invalid Day [30] (1 <= day <= days in month)"},
      {"---32", kRejected, "Invalid Day [32] (1 <= day <= 31)"},
      {"---00", kRejected, "Invalid Day [0] (1 <= day <= 31)"},
      {"2011-12-03*05:30", kRejected, "Invalid XSD Time Zone [*05:30]"},
      {"2011-12-03-00:30", kRejected, "Invalid XSD Time Zone [-00:30]"},
      {"2011-12-03+0a:30", kRejected, "Invalid XSD Time Zone [+0a:30]"},
      {"2011-12-03+25:00", kRejected, "Invalid TimeZone [25:0]"},
      {"2011-12-03+05:60", kRejected, "Invalid TimeZone [5:60]"},
  };
  CheckForms(Date, cases);
  for (const char* s : {"11-12-03", "2011-1-03", "2011/12/03", "20111-12-03", "+2011-12-03",
                        "2011-12-0a", "--1", "--12-", "2011Z-12", "-", "--", "2011-12-03 ", "Z",
                        "12:30", "---5", "--1a-01", "-2011-1", "2011-12-03+05", "--12-3Z"}) {
    SCOPED_TRACE(s);
    EXPECT_VX_THROW(Date(s), CVxInvalidValueException,
                    "Invalid XSD Date [" + std::string(s) + "] expected CCYY-MM-DD[Z|[+|-]hh:mm]");
  }
  CDateTime v;
  EXPECT_VX_THROW(v.ParseXSDDate(nullptr), CVxInvalidValueException, "Invalid Date (Null String)");
  EXPECT_EQ(Date("-0044-03-15").GetYear(), -44);
  EXPECT_EQ(Date("2011-12-03+05:30").GetZoneHour(), 5);
  EXPECT_EQ(Date("2011-12-03-05:30").GetZoneHour(), -5);
  EXPECT_EQ(Date("2011-12-03-05:30").GetZoneMinute(), 30);
}

TEST(CDateTimeParse, TimeAndDateTimeFormsTable) {
  const char kTimeShape[] = "] expected hh:mm:ss[.ff]";
  for (std::string s : {"24:00:00", "10:60:00", "10:00:60", "1:00:00", "10-00-00"})
    EXPECT_VX_THROW(TimeOf(s.c_str()), CVxInvalidValueException,
                    "Invalid XSD Time [" + s + kTimeShape);
  const LexCase times[] = {
      {"10:00:00.5", DT::dt_time},             {"10:00:00.000001", DT::dt_time},
      {"10:00:00.100", DT::dt_time, "10:00:00.1"}, {"10:00:00.", DT::dt_time, "10:00:00"},
      {"23:59:59.999999999Z", DT::dt_time},
      {"00:00:00.000000010-14:00", DT::dt_time, "00:00:00.00000001-14:00"},
      {"10:00:00+24:00", DT::dt_time, "10:00:00+00:00"},
      {"10:00:00.1234567890", kRejected,
       "Invalid XSD Time [10:00:00.1234567890] Fraction part too long"},
      {"", kRejected, "Invalid XSD Time (Empty String)"},
      {"10:00:00Zx", kRejected, "Invalid XSD Time Zone [Zx]"},
      {"10:00:00 ", kRejected, "Invalid XSD Time Zone [ ]"},
  };
  CheckForms(TimeOf, times);
  CDateTime v;
  EXPECT_VX_THROW(v.ParseXSDTime(nullptr), CVxInvalidValueException, "Invalid Time (Null String)");
  EXPECT_EQ(TimeOf("10:00:00.123456789").GetNanoSecond(), 789);
  EXPECT_EQ(TimeOf("10:00:00.123456789").GetMicroSecond(), 456);
  EXPECT_DOUBLE_EQ(TimeOf("10:00:07.25").GetRealSecond(), 7.25);

  const LexCase stamps[] = {
      {"2011-12-31T23:59:59.5+01:00", DT::dt_dateTime}, {"-0044-03-15T12:00:00Z", DT::dt_dateTime},
      {"2004-02-29T00:00:00", DT::dt_dateTime},
      {"2011-12-03T10:15:30.000000001-05:00", DT::dt_dateTime},
      {"", kRejected, "Invalid XSD DateTime []"},
      {"2011-12-03", kRejected, "Invalid XSD DateTime [2011-12-03]"},
      {"2011-12T10:00:00", kRejected,
       "Invalid XSD DateTime [2011-12T10:00:00] expected CCYY-MM-DDThh:mm:ss[.ff]"},
      {"2011-12-03ZT10:00:00", kRejected,
       "Invalid XSD DateTime [2011-12-03ZT10:00:00] expected CCYY-MM-DDThh:mm:ss[.ff]"},
      {"2011-12-03T24:00:00", kRejected, "Invalid XSD Time [24:00:00] expected hh:mm:ss[.ff]"},
      {"2011-02-29T10:00:00", kRejected, kBadDay},
      {"T10:00:00", kRejected, "Invalid Date (Empty String)"},
      {"2011-12-03T", kRejected, "Invalid XSD Time (Empty String)"},
      {"2011-12-03T10:00:00T", kRejected, "Invalid XSD Time Zone [T]"},
  };
  CheckForms(Stamp, stamps);
  EXPECT_VX_THROW(CDateTime(static_cast<const unsigned short*>(nullptr)),
                  CVxInvalidValueException, "Invalid DateTime (Null String)");
}

TEST(CDateTimeParse, LongTextsGetTheMessageOfTheirShapeAndLeaveValueCleared) {
  const std::string zeros(60, '0'), ones(65, '1'), blanks(57, ' ');
  EXPECT_VX_THROW(Stamp(("2011-12-03T10:00:00." + zeros).c_str()), CVxInvalidValueException,
                  "Invalid XSD Time [10:00:00." + zeros + "] Fraction part too long");
  EXPECT_VX_THROW(Date(ones.c_str()), CVxInvalidValueException,
                  "Invalid XSD Date [" + ones + "] expected CCYY-MM-DD[Z|[+|-]hh:mm]");
  EXPECT_VX_THROW(TimeOf(("10:00:00" + blanks).c_str()), CVxInvalidValueException,
                  "Invalid XSD Time Zone [" + blanks + "]");
  CDateTime v = Stamp("2011-12-03T10:00:00Z");
  EXPECT_THROW(v.ParseXSDDateTime(U("2011-13-03T10:00:00").c_str()), CVxInvalidValueException);
  EXPECT_EQ(v.GetType(), DT::dt_yearZero);
  EXPECT_FALSE(v.IsUTC());
  EXPECT_EQ(Str(v), "Invalid Year Zero");
}

TEST(CDateTimeParse, EveryMonthDayPairOfALeapAndACommonYear) {
  for (int year : {2004, 2011}) {
    int dayOfYear = 0;
    int weekday = year == 2004 ? 5 : 7;  // 2004-01-01 Thursday, 2011-01-01 Saturday
    CDateTime previous;
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        const int length = month == 2 ? (year == 2004 ? 29 : 28)
                           : (month == 4 || month == 6 || month == 9 || month == 11) ? 30 : 31;
        char text[16], md[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
        std::snprintf(md, sizeof md, "--%02d-%02d", month, day);
        SCOPED_TRACE(text);
        if (day <= (month == 2 ? 29 : length))
          EXPECT_EQ(Str(Date(md)), md);
        else
          EXPECT_THROW(Date(md), CVxInvalidValueException);
        if (day > length) {
          EXPECT_VX_THROW(Date(text), CVxInvalidValueException,
                          "Invalid Day [" + std::to_string(day) + "] (1 <= day <= days in month");
          continue;
        }
        CDateTime v = Date(text);
        EXPECT_EQ(Str(v), text);
        EXPECT_EQ(v.GetDayOfYear(), ++dayOfYear);
        EXPECT_EQ(v.GetDayOfWeek(), weekday);
        weekday = weekday % 7 + 1;
        if (dayOfYear > 1) {
          EXPECT_EQ(Str(previous + Span("P1D")), text);
          EXPECT_EQ(Str(v - Span("PT24H")), Str(previous));
          EXPECT_TRUE(previous < v);
        }
        previous = v;
      }
    }
    EXPECT_EQ(dayOfYear, year == 2004 ? 366 : 365);
  }
  // Century years: 1900 and 2100 are common years, 2000 is a leap year.
  for (auto [text, dayOfYear] :
       {std::pair{"1900-03-01", 60}, {"2000-03-01", 61}, {"2100-03-01", 60}})
    EXPECT_EQ(Date(text).GetDayOfYear(), dayOfYear) << text;
  EXPECT_EQ(Date("1900-01-01").GetDayOfWeek(), 2);  // Monday
  EXPECT_EQ(Date("2100-03-01").GetDayOfWeek(), 2);  // Monday
}

TEST(CDateTimeFields, AccessorsRefuseFieldsTheKindLacks) {
  const struct {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[] { Date("2011-12-03").GetHour(); }, "Failed to GetHour. Invalid Date Type: date."},
      {[] { TimeOf("10:00:00").GetYear(); }, "Failed to GetYear. Invalid Date Type: time."},
      {[] { Date("--12").GetDay(); }, "Failed to GetDay. Invalid Date Type: gMonth."},
      {[] { Date("---05").GetDayOfWeek(); }, "Failed to GetDayOfWeek. Invalid Date Type: gDay."},
      {[] { Date("2011-12-03").GetZoneHour(); }, "TimeZone is not been used"},
      {[] { Date("2011Z").GetZoneMinute(); }, "TimeZone is not been used"},
      {[] { TimeOf("10:00:00").SetDate(2011, 1, 1); },
       "Failed to copy CDateTime. Invalid Date Type: date, expected: time."},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(ThrowsWithMessage<CVxInvalidStateException>(c.call, c.message));
}

TEST(CDateTimeFields, SettersCheckEveryFieldAndKeepOrDropTheZoneAsDocumented) {
  CDateTime t = TimeOf("10:00:00");
  t.SetTime(1, 2, 3, 4, 5, 6);  // same kind: allowed
  EXPECT_EQ(Str(t), "01:02:03.004005006");
  t.SetFracTime(500, 0, 0);
  EXPECT_EQ(Str(t), "00:00:00.5");
  CDateTime v;
  v.SetDateTime(2011, 12, 3, 10, 0, 0);
  v.SetTimeZone(-5, 0);
  v.SetDateTime(2011, 12, 3, 10, 0, 0);  // the setter drops the zone
  EXPECT_EQ(Str(v), "2011-12-03T10:00:00");
  EXPECT_VX_THROW(v.SetDateTime(2011, 2, 29, 0, 0, 0), CVxInvalidValueException, kBadDay);
  EXPECT_EQ(v.GetType(), DT::dt_yearZero);
  EXPECT_VX_THROW(v.SetTime(10, 0, 0, 1000, 0, 0), CVxInvalidValueException,
                  "Invalid Milli-Second [1000] (0 <= milli <= 999)");
  EXPECT_VX_THROW(CDateTime(2011, 1, 1, 24, 0, 0), CVxInvalidValueException,
                  "Invalid Hour [24] (0 <= hour <= 23)");
  EXPECT_VX_THROW(v.SetTimeZone(24, 0), CVxInvalidValueException, "Invalid TimeZone [24:0]");
  v.SetGMonthDay(2, 29);
  EXPECT_EQ(Str(v), "--02-29");
  CDateTime g;
  g.SetGYear(-12);
  EXPECT_EQ(Str(g), "-0012");
  EXPECT_EQ(ToUtf8(g.ToString(VX_T("G"))), "");
  EXPECT_EQ(ToUtf8(g.ToString(nullptr)), "");
  EXPECT_EQ(ToUtf8(g.ToString(VX_T("s"))), "-0012");
  EXPECT_EQ(ToUtf8(g.ToString(VX_T("yyyy"))), "Unknown Format: yyyy");
  EXPECT_EQ(ToUtf8(CDateTime().ToString(VX_T("s"))), "Invalid Year Zero");
  EXPECT_EQ(ToUtf8(CDateTime::GetTypeAsString(static_cast<DT::DTType>(9))), "");

  // Converting copies keep the zone and need every field of the target kind.
  CDateTime ym, md;
  ym.SetDateTime(Stamp("2011-12-03T10:15:30.5+05:30"), DT::dt_gYearMonth);
  EXPECT_EQ(Str(ym), "2011-12+05:30");
  md.SetDateTime(Date("--12-03"), DT::dt_gDay);
  EXPECT_EQ(Str(md), "---03");
  const std::string kLacks =
      ". The source CDateTime does not contian enough data to allow the conversion.";
  EXPECT_VX_THROW(md.SetDateTime(Date("2011-12"), DT::dt_date), CVxInvalidValueException,
                  "Attempting to set a CDateTime of type date using an XmlDateTime of type "
                  "gYearMonth" + kLacks);
  EXPECT_VX_THROW(md.SetDateTime(TimeOf("10:00:00"), DT::dt_dateTime), CVxInvalidValueException,
                  "Attempting to set a CDateTime of type dateTime using an XmlDateTime of type "
                  "time" + kLacks);
  // An unknown source kind may still be cleared or copied as itself.
  const CDateTime unknown(static_cast<DT::DTType>(9));
  md.SetDateTime(unknown, DT::dt_yearZero);
  EXPECT_EQ(md.GetType(), DT::dt_yearZero);
  EXPECT_VX_THROW(md.SetDateTime(unknown, DT::dt_date), CVxInvalidValueException,
                  "Unknown date type 9.");
  // A bare kind has month and day 0: no table lookup before January.
  EXPECT_EQ(CDateTime(DT::dt_date).GetDayOfYear(), 0);
}

// Expected results computed with python3's datetime (timedelta arithmetic).
TEST(CDateTimeArithmetic, AddsDayTimeSpansLikeAnIndependentCalendar) {
  struct Case {
    const char *start, *span, *result;
  };
  const Case cases[] = {
      {"2004-03-18T14:22:30.666", "-P548DT6H93M4774.059S", "2002-09-17T05:29:56.607"},
      {"9998-04-20T01:21:54.088", "-P71DT15H23M4514.434S", "9998-02-07T08:43:39.654"},
      {"2011-01-26T08:02:57.047", "P136DT18H107M1181.553S", "2011-06-12T04:09:38.6"},
      {"1600-10-19T11:13:53.573", "P185DT6H148M4679.654S", "1601-04-22T20:59:53.227"},
      {"1999-07-10T03:32:50.56", "P577DT3H158M1687.508S", "2001-02-06T09:38:58.068"},
      {"9998-08-07T11:26:15.476", "P464DT23H76M2035.813S", "9999-11-15T12:16:11.289"},
      {"1900-12-24T08:53:14.083", "P537DT31H87M3676.294S", "1902-06-15T18:21:30.377"},
      {"1600-03-01T18:38:20.428", "-P350DT9H125M3454.040S", "1599-03-17T06:35:46.388"},
      {"1600-10-12T20:51:47.808", "P321DT21H177M2868.608S", "1601-08-30T21:36:36.416"},
      {"2100-10-24T16:36:35.07", "P276DT30H178M532.062S", "2101-07-29T01:43:27.132"},
      {"2000-11-27T21:02:32.697", "P291DT45H98M2842.023S", "2001-09-16T20:27:54.72"},
      {"2100-07-01T06:07:06.625", "-P60DT13H196M2354.132S", "2100-05-01T13:11:52.493"},
      {"1999-07-23T14:14:02.938", "P82DT10H114M3290.562S", "1999-10-14T03:02:53.5"},
      {"2000-03-11T15:40:29.884", "P723DT26H91M3116.980S", "2002-03-05T20:03:26.864"},
      {"1999-03-19T03:01:16.18", "-P674DT14H3M3972.851S", "1997-05-13T11:52:03.329"},
      {"1900-05-15T10:15:53.004", "-P547DT23H156M4639.326S", "1898-11-13T07:22:33.678"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start + std::string(" + ") + c.span);
    CDateTime start = Stamp(c.start);
    CDateTimeSpan span = Span(c.span);
    EXPECT_EQ(Str(start + span), c.result);
    // Subtracting undoes adding, for either sign of the span.
    EXPECT_EQ(Str(Stamp(c.result) - span), Str(start));
    CDateTimeSpan flipped = span;
    flipped.Negate();
    EXPECT_EQ(Str(start - flipped), c.result);
    CDateTime inPlace = start;
    inPlace += span;
    inPlace -= span;
    EXPECT_EQ(Str(inPlace), Str(start));
    // The difference of the two instants is the span, as days and time.
    EXPECT_EQ((Stamp(c.result) - start).CompareTo(span), DT::DTCompare_Equal);
  }
}

TEST(CDateTimeArithmetic, CarriesAcrossMonthEndsYearEndsAndLeapDays) {
  struct Case {
    const char* start;
    char op;
    const char *span, *result;
  };
  const Case cases[] = {
      {"1900-03-01", '-', "P1D", "1900-02-28"},  {"2000-03-01", '+', "-P1D", "2000-02-29"},
      {"2100-02-28", '+', "P1D", "2100-03-01"},
      {"2011-12-31T23:59:59", '+', "PT1S", "2012-01-01T00:00:00"},
      {"2012-01-01T00:00:00", '+', "-PT0.000000001S", "2011-12-31T23:59:59.999999999"},
      {"2012-01-01T00:00:00Z", '-', "PT0.5S", "2011-12-31T23:59:59.5Z"},
      // Months first, with the day pinned to the length of the new month.
      {"2011-01-31", '+', "P1M", "2011-02-28"},  {"2004-01-31", '+', "P1M", "2004-02-29"},
      {"2000-03-31", '-', "P1M", "2000-02-29"},  {"2004-02-29", '+', "P1Y", "2005-02-28"},
      {"2011-12-31", '+', "P1M", "2012-01-31"},  {"2011-01-15", '-', "P13M", "2009-12-15"},
      {"2011-01-31", '+', "P1M1D", "2011-03-01"}, {"2011-12", '+', "P1M", "2012-01"},
      {"2011", '-', "P2Y", "2009"},              {"2011", '+', "P11M", "2011"},
      {"2011", '+', "P12M", "2012"},             {"--12", '+', "P1M", "--01"},
      {"-0001-12-31", '+', "P2D", "0000-01-02"},  // year 0 is not skipped
      // Kinds without some fields: those stay absent.
      {"23:30:00Z", '+', "PT1H", "00:30:00Z"},   {"00:30:00", '-', "P3DT1H", "23:30:00"},
      {"2011-12-03", '+', "PT23H", "2011-12-03"}, {"2011-12-03", '+', "PT24H", "2011-12-04"},
      {"---31", '+', "P1D", "---01"},
      {"10:00:00", '+', "PT18446744073709551615S", "17:00:15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start + std::string(1, c.op) + c.span);
    CDateTime start = Any(c.start);
    EXPECT_EQ(Str(c.op == '+' ? start + Span(c.span) : start - Span(c.span)), c.result);
  }
  // Far outside the year field: refused, not wrapped.
  EXPECT_VX_THROW(Date("9999-01-01") + Span("P65535Y"), CVxInvalidValueException,
                  "Failed to add the duration: year [75534] out of range");
  EXPECT_THROW(Date("2011") + Span("PT18446744073709551615M"), CVxInvalidValueException);
  EXPECT_THROW(Date("2011") - Span("PT18446744073709551615S"), CVxInvalidValueException);
  // Normalizing moves to UTC across the day and year.
  EXPECT_EQ(Str(Stamp("2011-12-31T23:00:00-05:00").GetNormalized()), "2012-01-01T04:00:00+00:00");
  EXPECT_EQ(Str(Stamp("2011-01-01T01:00:00+05:30").GetNormalized()), "2010-12-31T19:30:00+00:00");
  EXPECT_EQ(Str(Stamp("2011-01-01T01:00:00Z").GetNormalized()), "2011-01-01T01:00:00Z");
}

TEST(CDateTimeCompare, OrderWithZonesAndTheFourteenHourRule) {
  const struct {
    const char *a, *b;
    DT::DTCompareResult expected;
  } cases[] = {
      {"2011-01-01T12:00:00Z", "2011-01-01T12:00:00", DT::DTCompare_Indeterminate},
      {"2011-01-01T12:00:00Z", "2011-01-02T12:00:00", DT::DTCompare_LessThan},
      // Exactly 14 hours apart is still undecided; one second more decides.
      {"2011-01-01T12:00:00Z", "2011-01-02T02:00:00", DT::DTCompare_Indeterminate},
      {"2011-01-01T12:00:00Z", "2011-01-02T02:00:01", DT::DTCompare_LessThan},
      {"2011-01-01T12:00:00Z", "2010-12-31T21:59:59", DT::DTCompare_GreaterThan},
      {"2011-01-01T12:00:00Z", "2010-12-31T22:00:00", DT::DTCompare_Indeterminate},
      {"2011-01-02T02:00:01", "2011-01-01T12:00:00Z", DT::DTCompare_GreaterThan},
      {"2010-12-31T21:59:59", "2011-01-01T12:00:00Z", DT::DTCompare_LessThan},
      {"2011-12-03T10:00:00+05:30", "2011-12-03T04:30:00Z", DT::DTCompare_Equal},
      {"2011-12-03T10:00:00-05:00", "2011-12-03T15:00:00.000000001Z", DT::DTCompare_LessThan},
      {"2011-12-03T10:00:00.5", "2011-12-03T10:00:00.49", DT::DTCompare_GreaterThan},
      {"23:00:00-05:00", "04:00:00Z", DT::DTCompare_Equal},
      {"2011-12-03", "2011-12-03T00:00:00", DT::DTCompare_Indeterminate},
      {"2011", "2012", DT::DTCompare_LessThan},
      {"--12-03", "--11-30", DT::DTCompare_GreaterThan},
      {"---03", "--12", DT::DTCompare_Indeterminate},
      {"-0044-03-15", "0001-01-01", DT::DTCompare_LessThan},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + std::string(" vs ") + c.b);
    CDateTime a = Any(c.a), b = Any(c.b);
    EXPECT_EQ(a.CompareTo(b), c.expected);
    const int order[] = {0, -1, 1, 2};  // by DTCompareResult
    EXPECT_TRUE(vxtest::OrderIs(a, b, order[c.expected]));
  }
}

// Expected counts computed with python3: datetime(...).timestamp() in UTC.
TEST(CDateTimePlatform, TimeTConversionsMatchUtcCountsInAnyTimeZone) {
  const struct {
    const char* text;
    long long seconds;
    bool local = false;  // no zone: also built back from the count
  } cases[] = {
      {"2011-12-31T23:59:59", 1325375999LL, true},   {"1970-01-01T00:00:00", 0, true},
      {"1969-12-31T23:59:59", -1, true},             {"2038-01-19T03:14:08", 2147483648LL, true},
      {"1601-01-01T00:00:00", -11644473600LL, true}, {"9999-12-31T23:59:59", 253402300799LL, true},
      {"0001-01-01T00:00:00", -62135596800LL, true}, {"1900-03-01T12:00:00", -2203848000LL, true},
      {"2011-12-03T10:15:30+05:30", 1322887530LL},   {"2011-12-03T10:15:30-14:00", 1322957730LL},
      {"2011-12-31", 1325289600LL},
  };
  const char* saved = std::getenv("TZ");
  std::string savedTz = saved ? saved : "";
  for (const char* tz : {"UTC", "America/New_York", "Asia/Kolkata", "Australia/Lord_Howe"}) {
    SCOPED_TRACE(tz);
    setenv("TZ", tz, 1);
    tzset();
    for (const auto& c : cases) {
      SCOPED_TRACE(c.text);
      EXPECT_EQ(static_cast<long long>(Any(c.text).GetTime()), c.seconds);
      if (!c.local) continue;
      EXPECT_EQ(Str(CDateTime(static_cast<std::time_t>(c.seconds))), c.text);
    }
  }
  if (saved) setenv("TZ", savedTz.c_str(), 1); else unsetenv("TZ");
  tzset();
  EXPECT_VX_THROW(Date("2011-12").GetTime(), CVxInvalidValueException,
                  "Failed to GetTime, Date Status must be dateTime or date. Invalid Date Type: "
                  "gYearMonth.");
  CDateTime late = Stamp("2011-12-03T10:00:00");
  EXPECT_VX_THROW(late = static_cast<std::time_t>(253402300800LL), CVxInvalidValueException,
                  "Invalid Year [10000] (-9999 <= year <= 9999 && year != 0)");
  EXPECT_EQ(late.GetType(), DT::dt_yearZero);  // cleared, as by a failed setter
  CDateTime d = Date("2011-12-03");
  EXPECT_VX_THROW(d = static_cast<std::time_t>(0), CVxInvalidStateException,
                  "Failed to copy CDateTime. Invalid Date Type: dateTime, expected: date.");
}

TEST(CDateTimePlatform, SystemTimeAndFileTimeConversions) {
  SYSTEMTIME st = Stamp("2011-12-31T23:59:59.123456+05:00").GetAsSystemTime();
  EXPECT_EQ(st.wDayOfWeek, 6);  // Saturday
  EXPECT_EQ(st.wMilliseconds, 123);
  EXPECT_EQ(Str(CDateTime(st)), "2011-12-31T23:59:59.123");
  EXPECT_VX_THROW(Date("2011-12-31").GetAsSystemTime(), CVxInvalidValueException,
                  "Failed to GetAsSystemTime, Date Status must be dateTime. Invalid Date Type: "
                  "date.");
  EXPECT_THROW(Stamp("-0001-01-01T00:00:00").GetAsSystemTime(), CVxInvalidValueException);
  SYSTEMTIME bad = st;
  bad.wMonth = 257;  // would be 1 if narrowed to 8 bits before the check
  EXPECT_VX_THROW(CDateTime{bad}, CVxInvalidValueException,
                  "Invalid Month [257] (1 <= month <= 12)");
  bad = st;
  bad.wYear = 40000;
  EXPECT_VX_THROW(CDateTime{bad}, CVxInvalidValueException,
                  "Invalid Year [40000] (-9999 <= year <= 9999 && year != 0)");

  // FILETIME counts computed with python3 (100 ns units since 1601-01-01).
  auto fromUnits = [](unsigned long long u) {
    return CDateTime(FILETIME{static_cast<uint32_t>(u), static_cast<uint32_t>(u >> 32)});
  };
  EXPECT_EQ(Str(fromUnits(129698495991230000ULL)), "2011-12-31T23:59:59.123");
  EXPECT_VX_THROW(fromUnits(0x7FFFFFFFFFFFFFFFULL), CVxInvalidValueException,
                  "Invalid Year [30828] (-9999 <= year <= 9999 && year != 0)");
  EXPECT_VX_THROW(fromUnits(0x8000000000000000ULL), CVxInvalidValueException,
                  "Failed to convert FILETIME to SYSTEMTIME");

  // The tick count is the local wall clock, without a zone.
  CDateTime now = CDateTime::GetTickCount();
  EXPECT_EQ(now.GetType(), DT::dt_dateTime);
  EXPECT_FALSE(now.IsUTC());
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  ASSERT_TRUE(localtime_r(&t, &tm) != nullptr);
  EXPECT_LE(std::llabs(static_cast<long long>(now.GetTime() - t - tm.tm_gmtoff)), 2);
}
