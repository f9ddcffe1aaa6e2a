#include "vxbind/platform/Time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>

using namespace VxVevAva5;

namespace {

FILETIME MakeFileTime(uint64_t units) {
  return FILETIME{static_cast<uint32_t>(units), static_cast<uint32_t>(units >> 32)};
}

}  // namespace

// Expected values computed with python3's datetime module; the digit after the
// date is the day of the week (0 = Sunday).
TEST(FileTimeToSystemTime, ConvertsKnownInstants) {
  const struct {
    uint64_t units;
    const char* expected;
  } cases[] = {
      {0, "1601-01-01 1 00:00:00.000"},
      {116444736000000000ULL, "1970-01-01 4 00:00:00.000"},
      {129698495991230000ULL, "2011-12-31 6 23:59:59.123"},
      {125963012967890000ULL, "2000-02-29 2 12:34:56.789"},
      {125963012967899999ULL, "2000-02-29 2 12:34:56.789"},  // sub-ms part dropped
      {0x7FFFFFFFFFFFFFFFULL, "30828-09-14 4 02:48:05.477"},
  };
  for (const auto& c : cases) {
    FILETIME ft = MakeFileTime(c.units);
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st)) << c.units;
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %u %02u:%02u:%02u.%03u", st.wYear, st.wMonth,
                  st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    EXPECT_EQ(std::string(text), c.expected) << c.units;
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
  for (auto [y, m, d, days] : {std::tuple{1970, 1, 1, 0}, {1601, 1, 1, -134774},
                                {2000, 3, 1, 11017}, {1, 1, 1, -719162}})
    EXPECT_EQ(Time::DaysFromCivil(y, m, d), days) << y;
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
