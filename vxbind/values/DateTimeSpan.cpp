// CDateTimeSpan: the XSD duration form and the XSD order of durations.
#include "vxbind/values/DateTimeSpan.h"

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/values/detail/DateArithmetic.h"

namespace VxVevAva5 {
namespace {

[[noreturn]] void ThrowDuration(const unsigned short* format, const unsigned short* text) {
  throw CVxInvalidValueException(FormatString(format, text));
}

[[noreturn]] void ThrowShape(const unsigned short* text) {
  ThrowDuration(
      VX_T("Invalid XSD Duration [%s] expected [-]P[nY][nM][nD][T[nH][nM][nS.ff]]"), text);
}

inline int Digit(unsigned short c) noexcept {
  unsigned d = static_cast<unsigned>(c) - u'0';
  return d <= 9 ? static_cast<int>(d) : -1;
}

// The parser's position in "P nY nM nD T nH nM nS": each designator must come
// after every one before it.
enum State { kStart, kYears, kMonths, kDays, kTime, kHours, kMinutes, kSeconds };

}  // namespace

void CDateTimeSpan::Clear() noexcept {
  m_years = 0;
  m_months = m_days = m_hours = 0;
  m_minutes = m_seconds = 0;
  m_milli = m_micro = m_nano = 0;
  m_negative = false;
}

CDateTimeSpan::CDateTimeSpan(uint32_t hours, uint64_t minutes, uint64_t seconds) noexcept {
  SetDateTimeSpan(hours, minutes, seconds);
}

CDateTimeSpan::CDateTimeSpan(unsigned short years, uint32_t months, uint32_t days,
                             uint32_t hours, uint64_t minutes, uint64_t seconds) noexcept {
  SetDateTimeSpan(years, months, days, hours, minutes, seconds);
}

CDateTimeSpan::CDateTimeSpan(unsigned short years, uint32_t months, uint32_t days,
                             uint32_t hours, uint64_t minutes, uint64_t seconds,
                             unsigned short milliSeconds, unsigned short microSeconds,
                             unsigned short nanoSeconds) noexcept {
  SetDateTimeSpan(years, months, days, hours, minutes, seconds, milliSeconds, microSeconds,
                  nanoSeconds);
}

void CDateTimeSpan::SetDateTimeSpan(uint32_t hours, uint64_t minutes,
                                    uint64_t seconds) noexcept {
  SetDateTimeSpan(0, 0, 0, hours, minutes, seconds, 0, 0, 0);
}

void CDateTimeSpan::SetDateTimeSpan(unsigned short years, uint32_t months, uint32_t days,
                                    uint32_t hours, uint64_t minutes,
                                    uint64_t seconds) noexcept {
  SetDateTimeSpan(years, months, days, hours, minutes, seconds, 0, 0, 0);
}

void CDateTimeSpan::SetDateTimeSpan(unsigned short years, uint32_t months, uint32_t days,
                                    uint32_t hours, uint64_t minutes, uint64_t seconds,
                                    unsigned short milliSeconds, unsigned short microSeconds,
                                    unsigned short nanoSeconds) noexcept {
  Clear();
  m_years = years;
  m_months = months;
  m_days = days;
  m_hours = hours;
  m_minutes = minutes;
  m_seconds = seconds;
  m_milli = milliSeconds;
  m_micro = microSeconds;
  m_nano = nanoSeconds;
}

void CDateTimeSpan::ParseXSDDuration(const unsigned short* text) {
  Clear();
  if (text == nullptr) throw CVxInvalidValueException(VX_T("Invalid XSD Duration (Null String)"));
  if (*text == 0) throw CVxInvalidValueException(VX_T("Invalid XSD Duration (Empty String)"));
  CDateTimeSpan r;
  const unsigned short* p = text;
  if (*p == u'-') {
    r.m_negative = true;
    ++p;
  }
  if (*p++ != u'P') ThrowShape(text);
  State state = kStart;
  while (*p != 0) {
    // A digit run of any length (none reads as 0); past 2^64 - 1 it is only
    // remembered as too large, and refused once the designator says where it
    // belongs.
    uint64_t value = 0;
    bool digits = false, tooLarge = false;
    for (int d; (d = Digit(*p)) >= 0; ++p) {
      digits = true;
      if (value > (UINT64_MAX - static_cast<unsigned>(d)) / 10)
        tooLarge = true;
      else
        value = value * 10 + static_cast<unsigned>(d);
    }
    uint64_t limit = UINT32_MAX;
    const unsigned short designator = *p;
    if (designator == 0) ThrowShape(text);  // digits without a designator
    ++p;
    switch (designator) {
      case u'Y':
        if (state != kStart) ThrowShape(text);
        limit = UINT16_MAX;
        state = kYears;
        break;
      case u'M':
        if (state >= kMonths && state != kTime && state != kHours) ThrowShape(text);
        if (state < kTime) {
          state = kMonths;
        } else {
          limit = UINT64_MAX;
          state = kMinutes;
        }
        break;
      case u'D':
        if (state >= kDays) ThrowShape(text);
        state = kDays;
        break;
      case u'T':
        if (state >= kTime || digits) ThrowShape(text);
        state = kTime;
        continue;
      case u'H':
        if (state != kTime) ThrowShape(text);
        state = kHours;
        break;
      case u'S':
      case u'.': {
        if (state < kTime || state >= kSeconds) ThrowShape(text);
        limit = UINT64_MAX;
        if (designator == u'.') {
          static const int kWeight[3] = {100, 10, 1};
          int groups[3] = {0, 0, 0};
          int count = 0;
          for (int d; (d = Digit(*p)) >= 0; ++p, ++count) {
            if (count == 9)
              ThrowDuration(VX_T("Invalid XSD Duration [%s] Fraction part too long"), text);
            groups[count / 3] += d * kWeight[count % 3];
          }
          if (*p++ != u'S') ThrowShape(text);
          r.m_milli = static_cast<unsigned short>(groups[0]);
          r.m_micro = static_cast<unsigned short>(groups[1]);
          r.m_nano = static_cast<unsigned short>(groups[2]);
        }
        state = kSeconds;
        break;
      }
      default:
        ThrowShape(text);
    }
    if (tooLarge || value > limit)
      ThrowDuration(VX_T("Invalid XSD Duration [%s] value out of range"), text);
    switch (state) {
      case kYears: r.m_years = static_cast<unsigned short>(value); break;
      case kMonths: r.m_months = static_cast<uint32_t>(value); break;
      case kDays: r.m_days = static_cast<uint32_t>(value); break;
      case kHours: r.m_hours = static_cast<uint32_t>(value); break;
      case kMinutes: r.m_minutes = value; break;
      case kSeconds: r.m_seconds = value; break;
      default: break;
    }
  }
  if (state == kStart || state == kTime) ThrowShape(text);
  *this = r;
}

String CDateTimeSpan::ToString() const {
  // Worst case: "-P" 65535Y 4294967295M 4294967295D T 4294967295H
  // 18446744073709551615M 18446744073709551680.999999999S: under 128 units.
  unsigned short buffer[128];
  size_t n = 0;
  if (m_negative) buffer[n++] = u'-';
  buffer[n++] = u'P';
  auto component = [&](uint64_t value, unsigned short designator) {
    if (value == 0) return;
    n += detail::WriteUnsigned(buffer + n, value);
    buffer[n++] = designator;
  };
  component(m_years, u'Y');
  component(m_months, u'M');
  component(m_days, u'D');
  // The setters accept fraction groups above 999: carry them into the
  // seconds so that the text stays a valid duration of the same length.
  const uint64_t fraction = m_milli * 1000000ULL + m_micro * 1000ULL + m_nano;
  const unsigned __int128 seconds = static_cast<unsigned __int128>(m_seconds) + fraction / 1000000000;
  const unsigned nanos = static_cast<unsigned>(fraction % 1000000000);
  const bool zero = n == (m_negative ? 2u : 1u) && m_hours == 0 && m_minutes == 0 &&
                    seconds == 0 && nanos == 0;
  if (m_hours != 0 || m_minutes != 0 || seconds != 0 || nanos != 0 || zero) {
    buffer[n++] = u'T';
    component(m_hours, u'H');
    component(m_minutes, u'M');
    if (seconds != 0 || nanos != 0 || zero) {
      n += detail::WriteUnsigned(buffer + n, seconds);
      n += detail::WriteFraction(buffer + n, nanos / 1000000, nanos / 1000 % 1000, nanos % 1000);
      buffer[n++] = u'S';
    }
  }
  return String(buffer, n);
}

CDateTime::DTCompareResult CDateTimeSpan::CompareTo(const CDateTimeSpan& other) const noexcept {
  // The four reference dateTimes of the XSD order: between them they cover
  // months of 28, 29, 30 and 31 days next to each other.
  static const detail::CivilTime kReferences[4] = {
      {1696, 9, 1, 0, 0, 0, 0, 0, 0},
      {1697, 2, 1, 0, 0, 0, 0, 0, 0},
      {1903, 3, 1, 0, 0, 0, 0, 0, 0},
      {1903, 7, 1, 0, 0, 0, 0, 0, 0},
  };
  int common = 0;
  for (int i = 0; i < 4; ++i) {
    detail::CivilTime a = kReferences[i], b = kReferences[i];
    detail::AddDuration(a, *this, m_negative);
    detail::AddDuration(b, other, other.m_negative);
    const int c = detail::CompareCivil(a, b);
    if (i == 0)
      common = c;
    else if (c != common)
      return CDateTime::DTCompare_Indeterminate;
  }
  return common == 0   ? CDateTime::DTCompare_Equal
         : common < 0 ? CDateTime::DTCompare_LessThan
                      : CDateTime::DTCompare_GreaterThan;
}

}  // namespace VxVevAva5
