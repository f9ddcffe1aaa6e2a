// Internal to the value types: the date arithmetic shared by CDateTime (adding
// a duration) and CDateTimeSpan (ordering durations through reference dates),
// and the digit writers of both ToString functions. Not installed.
#ifndef VXBIND_VALUES_DETAIL_DATEARITHMETIC_H
#define VXBIND_VALUES_DETAIL_DATEARITHMETIC_H

#include <cstddef>
#include <cstdint>

namespace VxVevAva5 {

class CDateTimeSpan;

namespace detail {

// Date and time fields with a year wide enough for any duration: a span of
// 2^64 minutes moves a date by about 3.5e13 years.
struct CivilTime {
  int64_t year;
  int month, day, hour, minute, second, milli, micro, nano;
};

inline int64_t FloorDiv(int64_t a, int64_t b) noexcept {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
inline int64_t FloorMod(int64_t a, int64_t b) noexcept { return a - FloorDiv(a, b) * b; }

// Adds `span` (or subtracts its magnitude when `negative`) by the XSD rules:
// months with the year carry, the day pinned to the new month's length, then
// nanoseconds up to hours with floor-division carries, then the days over the
// calendar. A day below 1 counts as 1 while days are added. Exact and O(1)
// for every span; never overflows.
void AddDuration(CivilTime& t, const CDateTimeSpan& span, bool negative) noexcept;

// -1, 0 or 1 by year, month, day, hour, minute, second and fraction.
int CompareCivil(const CivilTime& a, const CivilTime& b) noexcept;

// Writes `value` with at least `width` digits (zero padded); returns the
// number of units written (at most 39).
size_t WriteUnsigned(unsigned short* out, unsigned __int128 value, int width = 1) noexcept;

// Writes the fraction of a second (each group 0..999): "" when all are 0,
// else "." and the three-digit groups up to the last non-zero one, with the
// trailing zeros of that group removed. Returns the units written (<= 10).
size_t WriteFraction(unsigned short* out, unsigned milli, unsigned micro,
                     unsigned nano) noexcept;

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_DETAIL_DATEARITHMETIC_H
