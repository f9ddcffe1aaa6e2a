#include "vxbind/values/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include "support/Text.h"
#include "vxbind/values/DateTimeSpan.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

typedef CDateTime DT;

CDateTime Date(const char* text) {
  CDateTime v;
  String s = U(text);
  v.ParseXSDDate(s.c_str());
  return v;
}
CDateTime TimeOf(const char* text) {
  CDateTime v;
  String s = U(text);
  v.ParseXSDTime(s.c_str());
  return v;
}
CDateTime Stamp(const char* text) {
  String s = U(text);
  return CDateTime(s.c_str());
}
CDateTimeSpan Span(const char* text) {
  CDateTimeSpan v;
  String s = U(text);
  v.ParseXSDDuration(s.c_str());
  return v;
}
std::string Str(const CDateTime& v) { return ToUtf8(v.ToString()); }

struct LexCase {
  const char* text;
  DT::DTType type;       // dt_yearZero: rejected
  const char* expected;  // canonical text, or the exact message
};

}  // namespace

TEST(CDateTimeParse, DateFormsTable) {
  const LexCase cases[] = {
      {"2011-12-03", DT::dt_date, "2011-12-03"},
      {"2011-12", DT::dt_gYearMonth, "2011-12"},
      {"2011", DT::dt_gYear, "2011"},
      {"-0044-03-15", DT::dt_date, "-0044-03-15"},
      {"-0001", DT::dt_gYear, "-0001"},
      {"--12", DT::dt_gMonth, "--12"},
      {"--12--", DT::dt_gMonth, "--12"},
      {"---05", DT::dt_gDay, "---05"},
      {"--02-29", DT::dt_gMonthDay, "--02-29"},
      {"2011-12-03Z", DT::dt_date, "2011-12-03Z"},
      {"2011-12-03+05:30", DT::dt_date, "2011-12-03+05:30"},
      {"-0044-03-15-05:00", DT::dt_date, "-0044-03-15-05:00"},
      {"--12Z", DT::dt_gMonth, "--12Z"},
      {"---05+01:00", DT::dt_gDay, "---05+01:00"},
      {"2011-12+24:00", DT::dt_gYearMonth, "2011-12+00:00"},
      {"2004-02-29", DT::dt_date, "2004-02-29"},
      {"2000-02-29", DT::dt_date, "2000-02-29"},
      {"2011-12-03Z+01:00", DT::dt_yearZero, "Invalid Date (Bad Zone value)"},
      {"2011-12-03T10:00", DT::dt_yearZero, "Invalid Date ('T' not allowed)"},
      {"", DT::dt_yearZero, "Invalid Date (Empty String)"},
      {"2011-02-29", DT::dt_yearZero, "Invalid Day [29] (1 <= day <= days in month"},
      {"1900-02-29", DT::dt_yearZero, "Invalid Day [29] (1 <= day <= days in month"},
      {"2100-02-29", DT::dt_yearZero, "Invalid Day [29] (1 <= day <= days in month"},
      {"2011-04-31", DT::dt_yearZero, "Invalid Day [31] (1 <= day <= days in month"},
      {"0000-01-01", DT::dt_yearZero, "Invalid Year [0] (-9999 <= year <= 9999 && year != 0)"},
      {"-0000", DT::dt_yearZero, "Invalid Year [0] (-9999 <= year <= 9999 && year != 0)"},
      {"2011-13-01", DT::dt_yearZero, "Invalid Month [13] (1 <= month <= 12)"},
      {"--00", DT::dt_yearZero, "Invalid Month [0] (1 <= month <= 12)"},
      {"--02-30", DT::dt_yearZero, "Invalid Day [30] (1 <= day <= days in month)"},
      {"---32", DT::dt_yearZero, "Invalid Day [32] (1 <= day <= 31)"},
      {"---00", DT::dt_yearZero, "Invalid Day [0] (1 <= day <= 31)"},
      {"2011-12-03*05:30", DT::dt_yearZero, "Invalid XSD Time Zone [*05:30]"},
      {"2011-12-03-00:30", DT::dt_yearZero, "Invalid XSD Time Zone [-00:30]"},
      {"2011-12-03+0a:30", DT::dt_yearZero, "Invalid XSD Time Zone [+0a:30]"},
      {"2011-12-03+25:00", DT::dt_yearZero, "Invalid TimeZone [25:0]"},
      {"2011-12-03+05:60", DT::dt_yearZero, "Invalid TimeZone [5:60]"},
  };
  const char* shapes[] = {"11-12-03",    "2011-1-03",  "2011/12/03", "20111-12-03",
                          "+2011-12-03", "2011-12-0a", "--1",        "--12-",
                          "2011Z-12",    "-",          "--",         "2011-12-03 ",
                          "Z",           "12:30",      "---5",       "--1a-01",
                          "-2011-1",     "2011-12-03+05", "--12-3Z"};
  for (const LexCase& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.type != DT::dt_yearZero) {
      CDateTime v = Date(c.text);
      EXPECT_EQ(v.GetType(), c.type);
      EXPECT_EQ(Str(v), c.expected);
      EXPECT_EQ(Str(Date(Str(v).c_str())), c.expected);  // canonical form is a fixed point
    } else {
      EXPECT_VX_THROW(Date(c.text), CVxInvalidValueException, c.expected);
    }
  }
  for (const char* s : shapes) {
    SCOPED_TRACE(s);
    EXPECT_VX_THROW(Date(s), CVxInvalidValueException,
                    "Invalid XSD Date [" + std::string(s) +
                        "] expected CCYY-MM-DD[Z|[+|-]hh:mm]");
  }
  CDateTime v;
  EXPECT_VX_THROW(v.ParseXSDDate(nullptr), CVxInvalidValueException, "Invalid Date (Null String)");
  EXPECT_EQ(Date("-0044-03-15").GetYear(), -44);
  EXPECT_EQ(Date("2011-12-03+05:30").GetZoneHour(), 5);
  EXPECT_EQ(Date("2011-12-03-05:30").GetZoneHour(), -5);
  EXPECT_EQ(Date("2011-12-03-05:30").GetZoneMinute(), 30);
}

TEST(CDateTimeParse, TimeAndDateTimeFormsTable) {
  const LexCase times[] = {
      {"10:00:00.5", DT::dt_time, "10:00:00.5"},
      {"10:00:00.000001", DT::dt_time, "10:00:00.000001"},
      {"10:00:00.100", DT::dt_time, "10:00:00.1"},
      {"10:00:00.", DT::dt_time, "10:00:00"},
      {"23:59:59.999999999Z", DT::dt_time, "23:59:59.999999999Z"},
      {"00:00:00.000000010-14:00", DT::dt_time, "00:00:00.00000001-14:00"},
      {"10:00:00+24:00", DT::dt_time, "10:00:00+00:00"},
      {"24:00:00", DT::dt_yearZero, "Invalid XSD Time [24:00:00] expected hh:mm:ss[.ff]"},
      {"10:60:00", DT::dt_yearZero, "Invalid XSD Time [10:60:00] expected hh:mm:ss[.ff]"},
      {"10:00:60", DT::dt_yearZero, "Invalid XSD Time [10:00:60] expected hh:mm:ss[.ff]"},
      {"1:00:00", DT::dt_yearZero, "Invalid XSD Time [1:00:00] expected hh:mm:ss[.ff]"},
      {"10-00-00", DT::dt_yearZero, "Invalid XSD Time [10-00-00] expected hh:mm:ss[.ff]"},
      {"10:00:00.1234567890", DT::dt_yearZero,
       "Invalid XSD Time [10:00:00.1234567890] Fraction part too long"},
      {"", DT::dt_yearZero, "Invalid XSD Time (Empty String)"},
      {"10:00:00Zx", DT::dt_yearZero, "Invalid XSD Time Zone [Zx]"},
      {"10:00:00 ", DT::dt_yearZero, "Invalid XSD Time Zone [ ]"},
  };
  for (const LexCase& c : times) {
    SCOPED_TRACE(c.text);
    if (c.type != DT::dt_yearZero) {
      EXPECT_EQ(TimeOf(c.text).GetType(), DT::dt_time);
      EXPECT_EQ(Str(TimeOf(c.text)), c.expected);
    } else {
      EXPECT_VX_THROW(TimeOf(c.text), CVxInvalidValueException, c.expected);
    }
  }
  CDateTime v;
  EXPECT_VX_THROW(v.ParseXSDTime(nullptr), CVxInvalidValueException, "Invalid Time (Null String)");
  EXPECT_EQ(TimeOf("10:00:00.123456789").GetNanoSecond(), 789);
  EXPECT_EQ(TimeOf("10:00:00.123456789").GetMicroSecond(), 456);
  EXPECT_DOUBLE_EQ(TimeOf("10:00:07.25").GetRealSecond(), 7.25);

  const LexCase stamps[] = {
      {"2011-12-31T23:59:59.5+01:00", DT::dt_dateTime, "2011-12-31T23:59:59.5+01:00"},
      {"-0044-03-15T12:00:00Z", DT::dt_dateTime, "-0044-03-15T12:00:00Z"},
      {"2004-02-29T00:00:00", DT::dt_dateTime, "2004-02-29T00:00:00"},
      {"2011-12-03T10:15:30.000000001-05:00", DT::dt_dateTime,
       "2011-12-03T10:15:30.000000001-05:00"},
      {"", DT::dt_yearZero, "Invalid XSD DateTime []"},
      {"2011-12-03", DT::dt_yearZero, "Invalid XSD DateTime [2011-12-03]"},
      {"2011-12T10:00:00", DT::dt_yearZero,
       "Invalid XSD DateTime [2011-12T10:00:00] expected CCYY-MM-DDThh:mm:ss[.ff]"},
      {"2011-12-03ZT10:00:00", DT::dt_yearZero,
       "Invalid XSD DateTime [2011-12-03ZT10:00:00] expected CCYY-MM-DDThh:mm:ss[.ff]"},
      {"2011-12-03T24:00:00", DT::dt_yearZero, "Invalid XSD Time [24:00:00] expected hh:mm:ss[.ff]"},
      {"2011-02-29T10:00:00", DT::dt_yearZero, "Invalid Day [29] (1 <= day <= days in month"},
      {"T10:00:00", DT::dt_yearZero, "Invalid Date (Empty String)"},
      {"2011-12-03T", DT::dt_yearZero, "Invalid XSD Time (Empty String)"},
      {"2011-12-03T10:00:00T", DT::dt_yearZero, "Invalid XSD Time Zone [T]"},
  };
  for (const LexCase& c : stamps) {
    SCOPED_TRACE(c.text);
    if (c.type != DT::dt_yearZero)
      EXPECT_EQ(Str(Stamp(c.text)), c.expected);
    else
      EXPECT_VX_THROW(Stamp(c.text), CVxInvalidValueException, c.expected);
  }
  EXPECT_VX_THROW(CDateTime(static_cast<const unsigned short*>(nullptr)),
                  CVxInvalidValueException, "Invalid DateTime (Null String)");
}

TEST(CDateTimeParse, RefusesOverlongTextsWithoutReadingThemAndLeavesValueCleared) {
  String longText = U("2011-12-03T10:00:00.") + String(60, u'0');
  EXPECT_VX_THROW(Stamp(ToUtf8(longText).c_str()), CVxInvalidValueException,
                  "Invalid XSD DateTime (Text longer than 64 characters)");
  EXPECT_VX_THROW(Date(std::string(65, '1').c_str()), CVxInvalidValueException,
                  "Invalid XSD Date (Text longer than 64 characters)");
  EXPECT_VX_THROW(TimeOf(("10:00:00" + std::string(57, ' ')).c_str()), CVxInvalidValueException,
                  "Invalid XSD Time (Text longer than 64 characters)");
  // A text of exactly 64 units is read (and rejected for its content).
  EXPECT_VX_THROW(TimeOf(("10:00:00" + std::string(56, ' ')).c_str()), CVxInvalidValueException,
                  "Invalid XSD Time Zone [" + std::string(56, ' ') + "]");
  CDateTime v = Stamp("2011-12-03T10:00:00Z");
  String bad = U("2011-13-03T10:00:00");
  EXPECT_THROW(v.ParseXSDDateTime(bad.c_str()), CVxInvalidValueException);
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
        const bool mdValid = day <= (month == 2 ? 29 : length);
        if (mdValid)
          EXPECT_EQ(Str(Date(md)), md);
        else
          EXPECT_THROW(Date(md), CVxInvalidValueException);
        if (day > length) {
          EXPECT_VX_THROW(Date(text), CVxInvalidValueException,
                          "Invalid Day [" + std::to_string(day) +
                              "] (1 <= day <= days in month");
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
}

TEST(CDateTimeFields, GettersSettersAndKindRules) {
  CDateTime d = Date("2011-12-03");
  EXPECT_VX_THROW(d.GetHour(), CVxInvalidStateException,
                  "Failed to GetHour. Invalid Date Type: date.");
  EXPECT_VX_THROW(TimeOf("10:00:00").GetYear(), CVxInvalidStateException,
                  "Failed to GetYear. Invalid Date Type: time.");
  EXPECT_VX_THROW(Date("--12").GetDay(), CVxInvalidStateException,
                  "Failed to GetDay. Invalid Date Type: gMonth.");
  EXPECT_VX_THROW(Date("---05").GetDayOfWeek(), CVxInvalidStateException,
                  "Failed to GetDayOfWeek. Invalid Date Type: gDay.");
  EXPECT_VX_THROW(d.GetZoneHour(), CVxInvalidStateException, "TimeZone is not been used");
  EXPECT_VX_THROW(Date("2011Z").GetZoneMinute(), CVxInvalidStateException,
                  "TimeZone is not been used");

  CDateTime t = TimeOf("10:00:00");
  EXPECT_VX_THROW(t.SetDate(2011, 1, 1), CVxInvalidStateException,
                  "Failed to copy CDateTime. Invalid Date Type: date, expected: time.");
  t.SetTime(1, 2, 3, 4, 5, 6);  // same kind: allowed
  EXPECT_EQ(Str(t), "01:02:03.004005006");
  t.SetFracTime(500, 0, 0);
  EXPECT_EQ(Str(t), "00:00:00.5");

  CDateTime v;
  v.SetDateTime(2011, 12, 3, 10, 0, 0);
  v.SetTimeZone(-5, 0);
  v.SetDateTime(2011, 12, 3, 10, 0, 0);  // the setter drops the zone
  EXPECT_EQ(Str(v), "2011-12-03T10:00:00");
  EXPECT_VX_THROW(v.SetDateTime(2011, 2, 29, 0, 0, 0), CVxInvalidValueException,
                  "Invalid Day [29] (1 <= day <= days in month");
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
  EXPECT_EQ(ToUtf8(CDateTime::GetTypeAsString(DT::dt_gMonthDay)), "gMonthDay");

  CDateTime src = Stamp("2011-12-03T10:15:30.5+05:30");
  CDateTime ym;
  ym.SetDateTime(src, DT::dt_gYearMonth);
  EXPECT_EQ(Str(ym), "2011-12+05:30");
  CDateTime md;
  md.SetDateTime(Date("--12-03"), DT::dt_gDay);
  EXPECT_EQ(Str(md), "---03");
  EXPECT_VX_THROW(md.SetDateTime(Date("2011-12"), DT::dt_date), CVxInvalidValueException,
                  "Attempting to set a CDateTime of type date using an XmlDateTime of type "
                  "gYearMonth. The source CDateTime does not contian enough data to allow the "
                  "conversion.");
  EXPECT_VX_THROW(md.SetDateTime(TimeOf("10:00:00"), DT::dt_dateTime), CVxInvalidValueException,
                  "Attempting to set a CDateTime of type dateTime using an XmlDateTime of type "
                  "time. The source CDateTime does not contian enough data to allow the "
                  "conversion.");
  // GetDayOfYear in leap and common years around 1 March.
  EXPECT_EQ(Date("1900-03-01").GetDayOfYear(), 60);
  EXPECT_EQ(Date("2000-03-01").GetDayOfYear(), 61);
  EXPECT_EQ(Date("2004-03-01").GetDayOfYear(), 61);
  EXPECT_EQ(Date("2100-03-01").GetDayOfYear(), 60);
  EXPECT_EQ(Date("1900-01-01").GetDayOfWeek(), 2);  // Monday
  EXPECT_EQ(Date("2100-03-01").GetDayOfWeek(), 2);  // Monday
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
  EXPECT_EQ(Str(Date("2011-01-31") + Span("P1D")), "2011-02-01");
  EXPECT_EQ(Str(Date("2011-03-01") - Span("P1D")), "2011-02-28");
  EXPECT_EQ(Str(Date("2004-03-01") - Span("P1D")), "2004-02-29");
  EXPECT_EQ(Str(Date("1900-03-01") - Span("P1D")), "1900-02-28");
  EXPECT_EQ(Str(Date("2000-03-01") + Span("-P1D")), "2000-02-29");
  EXPECT_EQ(Str(Date("2100-02-28") + Span("P1D")), "2100-03-01");
  EXPECT_EQ(Str(Stamp("2011-12-31T23:59:59") + Span("PT1S")), "2012-01-01T00:00:00");
  EXPECT_EQ(Str(Stamp("2012-01-01T00:00:00") + Span("-PT0.000000001S")),
            "2011-12-31T23:59:59.999999999");
  EXPECT_EQ(Str(Stamp("2012-01-01T00:00:00Z") - Span("PT0.5S")), "2011-12-31T23:59:59.5Z");
  // Months first, with the day pinned to the length of the new month.
  EXPECT_EQ(Str(Date("2011-01-31") + Span("P1M")), "2011-02-28");
  EXPECT_EQ(Str(Date("2004-01-31") + Span("P1M")), "2004-02-29");
  EXPECT_EQ(Str(Date("2000-03-31") - Span("P1M")), "2000-02-29");
  EXPECT_EQ(Str(Date("2004-02-29") + Span("P1Y")), "2005-02-28");
  EXPECT_EQ(Str(Date("2011-12-31") + Span("P1M")), "2012-01-31");
  EXPECT_EQ(Str(Date("2011-01-15") - Span("P13M")), "2009-12-15");
  EXPECT_EQ(Str(Date("2011-01-31") + Span("P1M1D")), "2011-03-01");
  EXPECT_EQ(Str(Date("2011-12") + Span("P1M")), "2012-01");
  EXPECT_EQ(Str(Date("2011") - Span("P2Y")), "2009");
  EXPECT_EQ(Str(Date("2011") + Span("P11M")), "2011");
  EXPECT_EQ(Str(Date("2011") + Span("P12M")), "2012");
  EXPECT_EQ(Str(Date("--12") + Span("P1M")), "--01");
  EXPECT_EQ(Str(Date("-0001-12-31") + Span("P2D")), "0000-01-02");  // year 0 is not skipped
  // Kinds without some fields: those stay absent.
  EXPECT_EQ(Str(TimeOf("23:30:00Z") + Span("PT1H")), "00:30:00Z");
  EXPECT_EQ(Str(TimeOf("00:30:00") - Span("P3DT1H")), "23:30:00");
  EXPECT_EQ(Str(Date("2011-12-03") + Span("PT23H")), "2011-12-03");
  EXPECT_EQ(Str(Date("2011-12-03") + Span("PT24H")), "2011-12-04");
  EXPECT_EQ(Str(Date("---31") + Span("P1D")), "---01");
  // Far outside the year field: refused, not wrapped.
  EXPECT_VX_THROW(Date("9999-01-01") + Span("P65535Y"), CVxInvalidValueException,
                  "Failed to add the duration: year [75534] out of range");
  EXPECT_THROW(Date("2011") + Span("PT18446744073709551615M"), CVxInvalidValueException);
  EXPECT_THROW(Date("2011") - Span("PT18446744073709551615S"), CVxInvalidValueException);
  EXPECT_EQ(Str(TimeOf("10:00:00") + Span("PT18446744073709551615S")), "17:00:15");
  // Normalizing moves to UTC across the day and year.
  EXPECT_EQ(Str(Stamp("2011-12-31T23:00:00-05:00").GetNormalized()), "2012-01-01T04:00:00+00:00");
  EXPECT_EQ(Str(Stamp("2011-01-01T01:00:00+05:30").GetNormalized()), "2010-12-31T19:30:00+00:00");
  EXPECT_EQ(Str(Stamp("2011-01-01T01:00:00Z").GetNormalized()), "2011-01-01T01:00:00Z");
}

TEST(CDateTimeCompare, OrderWithZonesAndTheFourteenHourRule) {
  struct Case {
    CDateTime a, b;
    DT::DTCompareResult expected;
  };
  const Case cases[] = {
      {Stamp("2011-01-01T12:00:00Z"), Stamp("2011-01-01T12:00:00"), DT::DTCompare_Indeterminate},
      {Stamp("2011-01-01T12:00:00Z"), Stamp("2011-01-02T12:00:00"), DT::DTCompare_LessThan},
      // Exactly 14 hours apart is still undecided; one second more decides.
      {Stamp("2011-01-01T12:00:00Z"), Stamp("2011-01-02T02:00:00"), DT::DTCompare_Indeterminate},
      {Stamp("2011-01-01T12:00:00Z"), Stamp("2011-01-02T02:00:01"), DT::DTCompare_LessThan},
      {Stamp("2011-01-01T12:00:00Z"), Stamp("2010-12-31T21:59:59"), DT::DTCompare_GreaterThan},
      {Stamp("2011-01-01T12:00:00Z"), Stamp("2010-12-31T22:00:00"), DT::DTCompare_Indeterminate},
      {Stamp("2011-01-02T02:00:01"), Stamp("2011-01-01T12:00:00Z"), DT::DTCompare_GreaterThan},
      {Stamp("2010-12-31T21:59:59"), Stamp("2011-01-01T12:00:00Z"), DT::DTCompare_LessThan},
      {Stamp("2011-12-03T10:00:00+05:30"), Stamp("2011-12-03T04:30:00Z"), DT::DTCompare_Equal},
      {Stamp("2011-12-03T10:00:00-05:00"), Stamp("2011-12-03T15:00:00.000000001Z"),
       DT::DTCompare_LessThan},
      {Stamp("2011-12-03T10:00:00.5"), Stamp("2011-12-03T10:00:00.49"), DT::DTCompare_GreaterThan},
      {TimeOf("23:00:00-05:00"), TimeOf("04:00:00Z"), DT::DTCompare_Equal},
      {Date("2011-12-03"), Stamp("2011-12-03T00:00:00"), DT::DTCompare_Indeterminate},
      {Date("2011"), Date("2012"), DT::DTCompare_LessThan},
      {Date("--12-03"), Date("--11-30"), DT::DTCompare_GreaterThan},
      {Date("---03"), Date("--12"), DT::DTCompare_Indeterminate},
      {Date("-0044-03-15"), Date("0001-01-01"), DT::DTCompare_LessThan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Str(c.a) + " vs " + Str(c.b));
    EXPECT_EQ(c.a.CompareTo(c.b), c.expected);
    const bool eq = c.expected == DT::DTCompare_Equal;
    const bool lt = c.expected == DT::DTCompare_LessThan;
    const bool gt = c.expected == DT::DTCompare_GreaterThan;
    EXPECT_EQ(c.a == c.b, eq);
    EXPECT_EQ(c.a != c.b, !eq);
    EXPECT_EQ(c.a < c.b, lt);
    EXPECT_EQ(c.a <= c.b, lt || eq);
    EXPECT_EQ(c.a > c.b, gt);
    EXPECT_EQ(c.a >= c.b, gt || eq);
  }
}

// Expected counts computed with python3: datetime(...).timestamp() in UTC.
TEST(CDateTimePlatform, TimeTConversionsMatchUtcCountsInAnyTimeZone) {
  struct Case {
    const char* text;
    long long seconds;
  };
  const Case cases[] = {
      {"2011-12-31T23:59:59", 1325375999LL},   {"1970-01-01T00:00:00", 0},
      {"1969-12-31T23:59:59", -1},             {"2038-01-19T03:14:08", 2147483648LL},
      {"1601-01-01T00:00:00", -11644473600LL}, {"9999-12-31T23:59:59", 253402300799LL},
      {"0001-01-01T00:00:00", -62135596800LL}, {"1900-03-01T12:00:00", -2203848000LL},
  };
  const char* saved = std::getenv("TZ");
  std::string savedTz = saved ? saved : "";
  for (const char* tz : {"UTC", "America/New_York", "Asia/Kolkata", "Australia/Lord_Howe"}) {
    SCOPED_TRACE(tz);
    setenv("TZ", tz, 1);
    tzset();
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      EXPECT_EQ(static_cast<long long>(Stamp(c.text).GetTime()), c.seconds);
      EXPECT_EQ(Str(CDateTime(static_cast<std::time_t>(c.seconds))), c.text);
    }
    EXPECT_EQ(static_cast<long long>(Stamp("2011-12-03T10:15:30+05:30").GetTime()), 1322887530LL);
    EXPECT_EQ(static_cast<long long>(Stamp("2011-12-03T10:15:30-14:00").GetTime()), 1322957730LL);
    EXPECT_EQ(static_cast<long long>(Date("2011-12-31").GetTime()), 1325289600LL);
  }
  if (saved) setenv("TZ", savedTz.c_str(), 1); else unsetenv("TZ");
  tzset();
  EXPECT_VX_THROW(Date("2011-12").GetTime(), CVxInvalidValueException,
                  "Failed to GetTime, Date Status must be dateTime or date. Invalid Date Type: "
                  "gYearMonth.");
  EXPECT_VX_THROW(CDateTime(static_cast<std::time_t>(253402300800LL)), CVxInvalidValueException,
                  "Invalid Year [10000] (-9999 <= year <= 9999 && year != 0)");
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

  CDateTime now = CDateTime::GetTickCount();
  EXPECT_EQ(now.GetType(), DT::dt_dateTime);
  EXPECT_FALSE(now.IsUTC());
  std::tm tm{};
  std::time_t t = std::time(nullptr);
  ASSERT_TRUE(localtime_r(&t, &tm) != nullptr);
  CDateTime local(static_cast<short>(tm.tm_year + 1900), static_cast<unsigned char>(tm.tm_mon + 1),
                  static_cast<unsigned char>(tm.tm_mday), static_cast<unsigned char>(tm.tm_hour),
                  static_cast<unsigned char>(tm.tm_min), static_cast<unsigned char>(tm.tm_sec));
  EXPECT_LE(std::llabs(static_cast<long long>(now.GetTime() - local.GetTime())), 2);
}

// Mutated texts: every parser either refuses with CVxInvalidValueException or
// returns a value whose text is a fixed point. Run under the sanitizers, this
// also checks that no parser reads outside the text.
TEST(CDateTimeParse, MutatedTextsAreRefusedCleanlyOrRoundTrip) {
  const char* seeds[] = {"2011-12-31T23:59:59.123456789+05:30", "-0044-03-15Z", "--02-29",
                         "---05-14:00", "10:00:00.5Z", "P1Y2M3DT4H5M6.789S", "-PT0.000000001S"};
  const char alphabet[] = "0123456789-:TZ+.PYMDHS x";
  std::mt19937 rng(7);
  for (int i = 0; i < 30000; ++i) {
    std::string s = seeds[rng() % 7];
    for (int k = 1 + rng() % 3; k > 0; --k) {
      size_t at = rng() % (s.size() + 1);
      char c = alphabet[rng() % (sizeof alphabet - 1)];
      switch (rng() % 3) {
        case 0: s.insert(at, 1, c); break;
        case 1: if (at < s.size()) s[at] = c; break;
        default: s = s.substr(0, at); break;
      }
    }
    SCOPED_TRACE(s);
    String text = U(s);
    auto check = [&](auto parse, auto& value) {
      try {
        parse(value, text.c_str());
      } catch (const CVxInvalidValueException&) {
        return;
      }
      String once = value.ToString();
      parse(value, once.c_str());
      EXPECT_EQ(ToUtf8(value.ToString()), ToUtf8(once));
    };
    CDateTime d;
    CDateTimeSpan span;
    check([](CDateTime& v, const unsigned short* t) { v.ParseXSDDateTime(t); }, d);
    check([](CDateTime& v, const unsigned short* t) { v.ParseXSDDate(t); }, d);
    check([](CDateTime& v, const unsigned short* t) { v.ParseXSDTime(t); }, d);
    check([](CDateTimeSpan& v, const unsigned short* t) { v.ParseXSDDuration(t); }, span);
  }
}
