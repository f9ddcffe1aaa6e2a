// -----------------------------------------------------------------------------
// File: DateTimeSpan.h
// -----------------------------------------------------------------------------
//
// CDateTimeSpan: an XSD duration. Each component (years, months, days, hours,
// minutes, seconds and the fraction of the second in three groups of three
// digits) is kept as given, never normalized: P13M stays 13 months and PT90M
// stays 90 minutes. One sign applies to the whole duration.
//
// Text in: ParseXSDDuration; text out: ToString. Durations compare by the XSD
// partial order (CompareTo), which adds both to four reference dateTimes, so
// P1M and P30D compare Indeterminate. CDateTime (DateTime.h) adds spans to
// dates.

#ifndef VXBIND_VALUES_DATETIMESPAN_H
#define VXBIND_VALUES_DATETIMESPAN_H

#include <cstdint>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/DateTime.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CDateTimeSpan {
 public:
  // A zero, positive span.
  CDateTimeSpan() noexcept { Clear(); }
  // Positive spans with the given components, the others 0.
  CDateTimeSpan(uint32_t hours, uint64_t minutes, uint64_t seconds) noexcept;
  CDateTimeSpan(unsigned short years, uint32_t months, uint32_t days, uint32_t hours,
                uint64_t minutes, uint64_t seconds) noexcept;
  CDateTimeSpan(unsigned short years, uint32_t months, uint32_t days, uint32_t hours,
                uint64_t minutes, uint64_t seconds, unsigned short milliSeconds,
                unsigned short microSeconds, unsigned short nanoSeconds) noexcept;
  CDateTimeSpan(const CDateTimeSpan&) = default;
  CDateTimeSpan& operator=(const CDateTimeSpan&) = default;

  // Clear the span (positive, every field 0), then store the given fields.
  void SetDateTimeSpan(uint32_t hours, uint64_t minutes, uint64_t seconds) noexcept;
  void SetDateTimeSpan(unsigned short years, uint32_t months, uint32_t days, uint32_t hours,
                       uint64_t minutes, uint64_t seconds) noexcept;
  void SetDateTimeSpan(unsigned short years, uint32_t months, uint32_t days, uint32_t hours,
                       uint64_t minutes, uint64_t seconds, unsigned short milliSeconds,
                       unsigned short microSeconds, unsigned short nanoSeconds) noexcept;

  // Components. The setters store without checks (a fraction group above 999
  // carries into the next unit when the span is added to a date).
  unsigned short GetYears() const noexcept { return m_years; }
  void SetYears(unsigned short v) noexcept { m_years = v; }
  uint32_t GetMonths() const noexcept { return m_months; }
  void SetMonths(uint32_t v) noexcept { m_months = v; }
  uint32_t GetDays() const noexcept { return m_days; }
  void SetDays(uint32_t v) noexcept { m_days = v; }
  uint32_t GetHours() const noexcept { return m_hours; }
  void SetHours(uint32_t v) noexcept { m_hours = v; }
  uint64_t GetMinutes() const noexcept { return m_minutes; }
  void SetMinutes(uint64_t v) noexcept { m_minutes = v; }
  uint64_t GetSeconds() const noexcept { return m_seconds; }
  void SetSeconds(uint64_t v) noexcept { m_seconds = v; }
  unsigned short GetMilliSeconds() const noexcept { return m_milli; }
  void SetMilliSeconds(unsigned short v) noexcept { m_milli = v; }
  unsigned short GetMicroSeconds() const noexcept { return m_micro; }
  void SetMicroSeconds(unsigned short v) noexcept { m_micro = v; }
  unsigned short GetNanoSeconds() const noexcept { return m_nano; }
  void SetNanoSeconds(unsigned short v) noexcept { m_nano = v; }

  bool IsNegative() const noexcept { return m_negative; }
  // Flips the sign.
  void Negate() noexcept { m_negative = !m_negative; }
  // A copy whose sign is negative, whatever the sign of this span.
  CDateTimeSpan GetAsNegative() const noexcept {
    CDateTimeSpan copy(*this);
    copy.m_negative = true;
    return copy;
  }

  // Reads "[-]P[nY][nM][nD][T[nH][nM][n[.f{0,9}]S]]" (components in this
  // order, at least one; a component without digits is 0, so "PY" is a zero
  // span; "T" only before a time component and without digits of its own).
  // Clears the span first; on failure throws
  // CVxInvalidValueException and leaves the span cleared:
  //   null / empty:     "Invalid XSD Duration (Null String)" / "(Empty String)"
  //   bad shape:        "Invalid XSD Duration [%s] expected [-]P[nY][nM][nD][T[nH][nM][nS.ff]]"
  //   10+ fraction digits: "Invalid XSD Duration [%s] Fraction part too long"
  //   a number too large for its component (years > 65535; months, days,
  //   hours > 4294967295; minutes, seconds > 18446744073709551615):
  //                     "Invalid XSD Duration [%s] value out of range"
  void ParseXSDDuration(const unsigned short* text);

  // The XSD form, components without leading zeros and zero components left
  // out: "P1Y2M3DT4H5M6.789S", "-P10D". A zero span is written "PT0S" (or
  // "-PT0S" when marked negative), which reads back.
  String ToString() const;

  // XSD order of durations: both are added to 1696-09-01T00:00:00Z,
  // 1697-02-01T00:00:00Z, 1903-03-01T00:00:00Z and 1903-07-01T00:00:00Z and
  // the results compared; Indeterminate unless all four comparisons agree.
  // Never throws, however large the components.
  CDateTime::DTCompareResult CompareTo(const CDateTimeSpan& other) const noexcept;
  bool operator==(const CDateTimeSpan& o) const noexcept {
    return CompareTo(o) == CDateTime::DTCompare_Equal;
  }
  bool operator!=(const CDateTimeSpan& o) const noexcept {
    return CompareTo(o) != CDateTime::DTCompare_Equal;
  }
  bool operator<(const CDateTimeSpan& o) const noexcept {
    return CompareTo(o) == CDateTime::DTCompare_LessThan;
  }
  bool operator>(const CDateTimeSpan& o) const noexcept {
    return CompareTo(o) == CDateTime::DTCompare_GreaterThan;
  }

 private:
  void Clear() noexcept;

  unsigned short m_years;
  uint32_t m_months;
  uint32_t m_days;
  uint32_t m_hours;
  uint64_t m_minutes;
  uint64_t m_seconds;
  unsigned short m_milli;
  unsigned short m_micro;
  unsigned short m_nano;
  bool m_negative;
};

}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_DATETIMESPAN_H
