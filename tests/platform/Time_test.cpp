#include "vxbind/platform/Time.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace VxVevAva5;

namespace {

FILETIME MakeFileTime(uint64_t units) {
  return FILETIME{static_cast<uint32_t>(units), static_cast<uint32_t>(units >> 32)};
}

}  // namespace

// Expected values computed with python3's datetime module.
TEST(FileTimeToSystemTime, ConvertsKnownInstants) {
  struct Case {
    uint64_t units;
    uint16_t year, month, dayOfWeek, day, hour, minute, second, ms;
  };
  const Case cases[] = {
      {0, 1601, 1, 1, 1, 0, 0, 0, 0},
      {116444736000000000ULL, 1970, 1, 4, 1, 0, 0, 0, 0},
      {129698495991230000ULL, 2011, 12, 6, 31, 23, 59, 59, 123},
      {125963012967890000ULL, 2000, 2, 2, 29, 12, 34, 56, 789},
      {125963012967899999ULL, 2000, 2, 2, 29, 12, 34, 56, 789},  // sub-ms part dropped
      {0x7FFFFFFFFFFFFFFFULL, 30828, 9, 4, 14, 2, 48, 5, 477},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    FILETIME ft = MakeFileTime(c.units);
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(st.wYear, c.year);
    EXPECT_EQ(st.wMonth, c.month);
    EXPECT_EQ(st.wDayOfWeek, c.dayOfWeek);
    EXPECT_EQ(st.wDay, c.day);
    EXPECT_EQ(st.wHour, c.hour);
    EXPECT_EQ(st.wMinute, c.minute);
    EXPECT_EQ(st.wSecond, c.second);
    EXPECT_EQ(st.wMilliseconds, c.ms);
  }
}

TEST(FileTimeToSystemTime, RefusesCountsFromTwoToTheSixtyThreeAndNullPointers) {
  FILETIME ft = MakeFileTime(0x8000000000000000ULL);
  SYSTEMTIME st{7, 7, 7, 7, 7, 7, 7, 7};
  EXPECT_FALSE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(st.wYear, 7);  // untouched
  EXPECT_FALSE(FileTimeToSystemTime(nullptr, &st));
  EXPECT_FALSE(FileTimeToSystemTime(&ft, nullptr));
}

TEST(TimeCalendar, DayCountsMatchKnownDatesAndRoundTripOverEightHundredYears) {
  EXPECT_EQ(Time::DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(Time::DaysFromCivil(1601, 1, 1), -134774);
  EXPECT_EQ(Time::DaysFromCivil(2000, 3, 1), 11017);
  EXPECT_EQ(Time::DaysFromCivil(1, 1, 1), -719162);
  EXPECT_EQ(Time::DayOfWeek(Time::DaysFromCivil(1900, 1, 1)), 1);  // Monday
  EXPECT_EQ(Time::DayOfWeek(Time::DaysFromCivil(2100, 3, 1)), 1);  // Monday
  EXPECT_EQ(Time::DayOfWeek(-1), 3);                               // 1969-12-31, Wednesday
  // Walking day by day, the inverse gives back consecutive calendar dates,
  // across negative years and the years 0, 1900, 2000 and 2100.
  for (int64_t start : {static_cast<int64_t>(-400), static_cast<int64_t>(1800)}) {
    int64_t y = start;
    int m = 1, d = 1;
    int64_t n = Time::DaysFromCivil(y, m, d);
    for (int i = 0; i < 400 * 366; ++i, ++n) {
      int64_t gy;
      int gm, gd;
      Time::CivilFromDays(n, &gy, &gm, &gd);
      ASSERT_EQ(gy, y);
      ASSERT_EQ(gm, m);
      ASSERT_EQ(gd, d);
      if (++d > Time::DaysInMonth(y, m)) d = 1, m = m == 12 ? (++y, 1) : m + 1;
    }
  }
}
