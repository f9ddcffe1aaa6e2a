#include "vxbind/values/detail/DateArithmetic.h"

#include "vxbind/platform/Time.h"
#include "vxbind/values/DateTimeSpan.h"

namespace VxVevAva5 {
namespace detail {

void AddDuration(CivilTime& t, const CDateTimeSpan& span, bool negative) noexcept {
  const int64_t s = negative ? -1 : 1;

  int64_t x = t.month + s * static_cast<int64_t>(span.GetMonths());
  t.month = static_cast<int>(FloorMod(x - 1, 12)) + 1;
  t.year += s * static_cast<int64_t>(span.GetYears()) + FloorDiv(x - 1, 12);
  // 01-31 plus one month is the last day of February, not 02-31.
  const int maxDay = Time::DaysInMonth(t.year, t.month);
  if (t.day > maxDay) t.day = maxDay;

  x = t.nano + s * span.GetNanoSeconds();
  t.nano = static_cast<int>(FloorMod(x, 1000));
  int64_t carry = FloorDiv(x, 1000);
  x = t.micro + carry + s * span.GetMicroSeconds();
  t.micro = static_cast<int>(FloorMod(x, 1000));
  carry = FloorDiv(x, 1000);
  x = t.milli + carry + s * span.GetMilliSeconds();
  t.milli = static_cast<int>(FloorMod(x, 1000));
  carry = FloorDiv(x, 1000);

  // Seconds and minutes are unsigned 64-bit and may exceed INT64_MAX: split
  // each into whole next units and a remainder before signing them, which
  // gives the same floor-division result without overflow.
  const uint64_t seconds = span.GetSeconds();
  x = s * static_cast<int64_t>(seconds % 60) + t.second + carry;
  t.second = static_cast<int>(FloorMod(x, 60));
  carry = FloorDiv(x, 60) + s * static_cast<int64_t>(seconds / 60);
  const uint64_t minutes = span.GetMinutes();
  x = s * static_cast<int64_t>(minutes % 60) + t.minute + carry;
  t.minute = static_cast<int>(FloorMod(x, 60));
  carry = FloorDiv(x, 60) + s * static_cast<int64_t>(minutes / 60);
  x = t.hour + carry + s * static_cast<int64_t>(span.GetHours());
  t.hour = static_cast<int>(FloorMod(x, 24));
  carry = FloorDiv(x, 24);

  const int64_t days = s * static_cast<int64_t>(span.GetDays()) + carry;
  if (days != 0) {
    const int64_t n = Time::DaysFromCivil(t.year, t.month, t.day < 1 ? 1 : t.day) + days;
    Time::CivilFromDays(n, &t.year, &t.month, &t.day);
  }
}

int CompareCivil(const CivilTime& a, const CivilTime& b) noexcept {
  if (a.year != b.year) return a.year < b.year ? -1 : 1;
  const int left[8] = {a.month, a.day, a.hour, a.minute, a.second, a.milli, a.micro, a.nano};
  const int right[8] = {b.month, b.day, b.hour, b.minute, b.second, b.milli, b.micro, b.nano};
  for (int i = 0; i < 8; ++i)
    if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
  return 0;
}

size_t WriteUnsigned(unsigned short* out, unsigned __int128 value, int width) noexcept {
  unsigned short digits[40];
  int n = 0;
  do {
    digits[n++] = static_cast<unsigned short>(u'0' + static_cast<unsigned>(value % 10));
    value /= 10;
  } while (value != 0);
  while (n < width) digits[n++] = u'0';
  for (int i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
  return static_cast<size_t>(n);
}

size_t WriteFraction(unsigned short* out, unsigned milli, unsigned micro,
                     unsigned nano) noexcept {
  const unsigned groups[3] = {milli, micro, nano};
  int last = nano != 0 ? 2 : micro != 0 ? 1 : milli != 0 ? 0 : -1;
  if (last < 0) return 0;
  size_t n = 0;
  out[n++] = u'.';
  for (int g = 0; g <= last; ++g) {
    out[n++] = static_cast<unsigned short>(u'0' + groups[g] / 100);
    out[n++] = static_cast<unsigned short>(u'0' + groups[g] / 10 % 10);
    out[n++] = static_cast<unsigned short>(u'0' + groups[g] % 10);
  }
  while (out[n - 1] == u'0') --n;  // the last group is non-zero
  return n;
}

}  // namespace detail
}  // namespace VxVevAva5
