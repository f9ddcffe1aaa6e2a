// Calendar arithmetic after the well-known era-based day-count algorithms: a
// 400-year era has exactly 146097 days, and counting years from March puts
// the leap day at the end of the year, so no month table is needed.
#include "vxbind/platform/Time.h"

#include <sys/time.h>

namespace VxVevAva5 {
namespace {

// FILETIME counts from 1601-01-01; this is that day relative to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = -134774;
constexpr uint64_t kFileTimeUnitsPerDay = 864000000000ULL;  // 100 ns units
constexpr uint64_t kFileTimeUnitsPerMs = 10000ULL;

int64_t FloorDiv(int64_t a, int64_t b) noexcept {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

void GetLocalTime(SYSTEMTIME* localTime) noexcept {
  if (localTime == nullptr) return;
  struct timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm tm{};
  if (!Time::LocalTime(now.tv_sec, &tm)) Time::GmTime(now.tv_sec, &tm);
  localTime->wYear = static_cast<uint16_t>(tm.tm_year + 1900);
  localTime->wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
  localTime->wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
  localTime->wDay = static_cast<uint16_t>(tm.tm_mday);
  localTime->wHour = static_cast<uint16_t>(tm.tm_hour);
  localTime->wMinute = static_cast<uint16_t>(tm.tm_min);
  // A leap second (tm_sec 60) is shown as 59, the last second SYSTEMTIME has.
  localTime->wSecond = static_cast<uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
  localTime->wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1000000);
}

bool FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) noexcept {
  if (fileTime == nullptr || systemTime == nullptr) return false;
  uint64_t units = (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) |
                   fileTime->dwLowDateTime;
  if (units >> 63 != 0) return false;
  int64_t days = static_cast<int64_t>(units / kFileTimeUnitsPerDay) + kDaysFrom1601To1970;
  uint64_t rest = units % kFileTimeUnitsPerDay;
  uint64_t ms = rest / kFileTimeUnitsPerMs;
  int64_t year = 0;
  int month = 0, day = 0;
  Time::CivilFromDays(days, &year, &month, &day);
  systemTime->wYear = static_cast<uint16_t>(year);  // 1601..30828
  systemTime->wMonth = static_cast<uint16_t>(month);
  systemTime->wDayOfWeek = static_cast<uint16_t>(Time::DayOfWeek(days));
  systemTime->wDay = static_cast<uint16_t>(day);
  systemTime->wHour = static_cast<uint16_t>(ms / 3600000);
  systemTime->wMinute = static_cast<uint16_t>(ms / 60000 % 60);
  systemTime->wSecond = static_cast<uint16_t>(ms / 1000 % 60);
  systemTime->wMilliseconds = static_cast<uint16_t>(ms % 1000);
  return true;
}

namespace Time {

bool GmTime(std::time_t t, std::tm* out) noexcept { return gmtime_r(&t, out) != nullptr; }

bool LocalTime(std::time_t t, std::tm* out) noexcept {
  return localtime_r(&t, out) != nullptr;
}

int DaysInMonth(int64_t year, int month) noexcept {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int64_t DaysFromCivil(int64_t year, int month, int day) noexcept {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yoe = year - era * 400;                                   // [0, 399]
  const int64_t mp = (month + 9) % 12;                                    // March = 0
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;                       // [0, 365]
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;              // [0, 146096]
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int64_t* year, int* month, int* day) noexcept {
  days += 719468;
  const int64_t era = FloorDiv(days, 146097);
  const int64_t doe = days - era * 146097;                                 // [0, 146096]
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);             // [0, 365]
  const int64_t mp = (5 * doy + 2) / 153;                                  // [0, 11]
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = yoe + era * 400 + (*month <= 2);
}

int DayOfWeek(int64_t days) noexcept {
  // 1970-01-01 was a Thursday (4).
  int64_t r = (days + 4) % 7;
  return static_cast<int>(r < 0 ? r + 7 : r);
}

}  // namespace Time
}  // namespace VxVevAva5
