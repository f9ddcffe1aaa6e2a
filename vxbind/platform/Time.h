// -----------------------------------------------------------------------------
// File: Time.h
// -----------------------------------------------------------------------------
//
// Calendar and clock helpers of the platform layer: POSIX stand-ins for the
// Windows time structures and functions that CDateTime converts to and from
// (SYSTEMTIME, FILETIME, GetLocalTime, FileTimeToSystemTime), thread-safe
// wrappers of the C library's gmtime/localtime, and exact proleptic Gregorian
// day arithmetic that works for any year, negative ones included.
//
// Calendar: proleptic Gregorian with astronomical year numbering (year 0
// exists and is a leap year; year -1 precedes it). This is the leap-year rule
// "divisible by 4 and not by 100, or divisible by 400" applied to the signed
// year unchanged.

#ifndef VXBIND_PLATFORM_TIME_H
#define VXBIND_PLATFORM_TIME_H

#include <cstdint>
#include <ctime>

#include "vxbind/platform/Export.h"

namespace VxVevAva5 {

// A broken-down date and time with the Windows field names. wDayOfWeek counts
// from 0 = Sunday. Valid years are 1601..30827 when it comes from a FILETIME.
struct SYSTEMTIME {
  uint16_t wYear;
  uint16_t wMonth;         // 1..12
  uint16_t wDayOfWeek;     // 0 = Sunday .. 6 = Saturday
  uint16_t wDay;           // 1..31
  uint16_t wHour;          // 0..23
  uint16_t wMinute;        // 0..59
  uint16_t wSecond;        // 0..59
  uint16_t wMilliseconds;  // 0..999
};

// A count of 100-nanosecond intervals since 1601-01-01T00:00:00Z, split into
// its low and high 32 bits.
struct FILETIME {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

// GetLocalTime: the current wall-clock time in the process's local time zone
// (TZ), to the millisecond. Never fails; a null pointer is ignored.
VXBIND_EXPORT void GetLocalTime(SYSTEMTIME* localTime) noexcept;

// FileTimeToSystemTime: converts a FILETIME to UTC calendar fields, dropping
// the sub-millisecond part. Returns false, leaving *systemTime unchanged, when
// either pointer is null or the count is 2^63 or more (as on Windows).
VXBIND_EXPORT bool FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) noexcept;

namespace Time {

// GmTime / LocalTime: gmtime_r / localtime_r. Return false, leaving *out
// unspecified, when the year does not fit the C library's structure.
VXBIND_EXPORT bool GmTime(std::time_t t, std::tm* out) noexcept;
VXBIND_EXPORT bool LocalTime(std::time_t t, std::tm* out) noexcept;

// IsLeapYear: the Gregorian rule applied to the signed year.
constexpr bool IsLeapYear(int64_t year) noexcept {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// DaysInMonth: 28..31 for month 1..12 of `year`; 0 for any other month.
VXBIND_EXPORT int DaysInMonth(int64_t year, int month) noexcept;

// DaysFromCivil: days from 1970-01-01 to year-month-day (negative before it).
// Exact for |year| up to about 1e15; month 1..12, day 1..31 (a day past the
// month's end counts on into the next month).
VXBIND_EXPORT int64_t DaysFromCivil(int64_t year, int month, int day) noexcept;

// CivilFromDays: the inverse of DaysFromCivil.
VXBIND_EXPORT void CivilFromDays(int64_t days, int64_t* year, int* month, int* day) noexcept;

// DayOfWeek: 0 = Sunday .. 6 = Saturday of a day count from DaysFromCivil.
VXBIND_EXPORT int DayOfWeek(int64_t days) noexcept;

}  // namespace Time
}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_TIME_H
