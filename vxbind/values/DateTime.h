// -----------------------------------------------------------------------------
// File: DateTime.h
// -----------------------------------------------------------------------------
//
// CDateTime: one value class for the eight XSD date and time types (dateTime,
// date, time, gYearMonth, gYear, gMonthDay, gMonth, gDay). The kind (DTType)
// says which fields are meaningful; the others are always 0. A value may carry
// a time zone: "Z" (UTC) or a numeric offset.
//
// Text in: ParseXSDDateTime / ParseXSDDate / ParseXSDTime; the kind of the
// result follows the shape of the text. Text out: ToString() writes the XSD
// form of the value's own kind. Durations (CDateTimeSpan: include
// DateTimeSpan.h to use the arithmetic operators) are added by the XSD rules;
// values compare by the XSD partial order, which may
// answer DTCompare_Indeterminate when only one side has a zone.
//
// Failures: parse and range errors throw CVxInvalidValueException; reading a
// field the kind does not have, or setting a kind onto a value of another
// kind, throws CVxInvalidStateException.
//
// **Example**:
//   CDateTime d(VX_T("2011-12-31T23:59:59.5+01:00"));
//   d += CDateTimeSpan(0, 0, 1);            // one second
//   String s = d.ToString();                // "2012-01-01T00:00:00.5+01:00"

#ifndef VXBIND_VALUES_DATETIME_H
#define VXBIND_VALUES_DATETIME_H

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/platform/Time.h"

namespace VxVevAva5 {

class CDateTimeSpan;

class VXBIND_EXPORT CDateTime {
 public:
  // The kind of value; fixed numbers (generated code stores them).
  enum DTType : int32_t {
    dt_yearZero = 0,    // a cleared value, no fields
    dt_dateTime = 1,    // year, month, day, hour, minute, second, fraction
    dt_date = 2,        // year, month, day
    dt_gYearMonth = 3,  // year, month
    dt_gYear = 4,       // year
    dt_time = 5,        // hour, minute, second, fraction
    dt_gDay = 6,        // day
    dt_gMonth = 7,      // month
    dt_gMonthDay = 8    // month, day
  };

  // Result of the XSD order relation.
  enum DTCompareResult : int32_t {
    DTCompare_Equal = 0,
    DTCompare_LessThan = 1,
    DTCompare_GreaterThan = 2,
    DTCompare_Indeterminate = 3
  };

  // A cleared value: kind dt_yearZero, every field 0, no zone.
  CDateTime() noexcept { Clear(); }
  // A cleared value of the given kind (to be filled by a parser).
  explicit CDateTime(DTType type) noexcept;
  // ParseXSDDateTime(text); on failure the value is cleared and the
  // exception passes on.
  explicit CDateTime(const unsigned short* text);
  // SetDate / SetDateTime (6 or 9 fields); cleared again when they throw.
  CDateTime(short year, unsigned char month, unsigned char day);
  CDateTime(short year, unsigned char month, unsigned char day, unsigned char hour,
            unsigned char minute, unsigned char second);
  CDateTime(short year, unsigned char month, unsigned char day, unsigned char hour,
            unsigned char minute, unsigned char second, unsigned short milli, unsigned short micro,
            unsigned short nano);
  // The matching assignment operator applied to a cleared value.
  explicit CDateTime(const std::time_t& time);
  explicit CDateTime(const SYSTEMTIME& time);
  explicit CDateTime(const FILETIME& time);

  CDateTime(const CDateTime&) = default;
  CDateTime& operator=(const CDateTime&) = default;

  // Seconds since 1970-01-01T00:00:00Z, taken as UTC (gmtime), stored as a
  // dateTime without zone by the 6-field SetDateTime. Like every setter it
  // throws CVxInvalidStateException when the value holds another kind than
  // dt_yearZero or dt_dateTime (value unchanged); CVxInvalidValueException
  // when the year is outside -9999..9999 or 0 (value cleared).
  CDateTime& operator=(const std::time_t& time);
  // The 9-field SetDateTime with wMilliseconds and 0 µs, 0 ns; wDayOfWeek is
  // ignored. Same kind rule and failures as above.
  CDateTime& operator=(const SYSTEMTIME& time);
  // FileTimeToSystemTime, then as SYSTEMTIME; a FILETIME of 2^63 or more
  // throws CVxInvalidValueException "Failed to convert FILETIME to SYSTEMTIME".
  CDateTime& operator=(const FILETIME& time);

  // --- Kind and zone -------------------------------------------------------

  DTType GetType() const noexcept { return m_type; }
  // "dateTime", "date", ... of the value's kind.
  String GetTypeAsString() const { return GetTypeAsString(m_type); }
  // The type name of a kind; "yearZero" for 0, "" for a number outside 0..8.
  static String GetTypeAsString(DTType type);

  // True when the value carries a time zone, "Z" or a numeric offset.
  bool IsUTC() const noexcept { return m_zoned; }
  // True when the zone is a numeric offset (GetZoneHour/GetZoneMinute valid).
  bool HasTimeZone() const noexcept { return m_hasOffset; }
  // Marks the value as UTC ("Z"): zone set, no offset, offset fields 0.
  void SetUTC() noexcept;
  // Sets a numeric offset. Requires -24 < hour < 24 and minute < 60, else
  // CVxInvalidValueException "Invalid TimeZone [%d:%d]" (value unchanged).
  // The sign of the offset is the sign of `hour`.
  void SetTimeZone(short hour, unsigned char minute);
  // The offset; CVxInvalidStateException "TimeZone is not been used" when the
  // value has no numeric offset.
  short GetZoneHour() const;
  unsigned char GetZoneMinute() const;

  // --- Fields --------------------------------------------------------------
  // Each throws CVxInvalidStateException "Failed to Get<Field>. Invalid Date
  // Type: <type name>." when the kind does not have the field.

  short GetYear() const;            // dateTime, date, gYearMonth, gYear
  unsigned char GetMonth() const;   // dateTime, date, gYearMonth, gMonthDay, gMonth
  unsigned char GetDay() const;     // dateTime, date, gDay, gMonthDay
  unsigned char GetHour() const;    // dateTime, time
  unsigned char GetMinute() const;  // dateTime, time
  unsigned char GetSecond() const;  // dateTime, time
  // second + ms * 0.001 + µs * 1e-06 + ns * 1e-09 (dateTime, time).
  double GetRealSecond() const;
  unsigned short GetMilliSecond() const;  // dateTime, time
  unsigned short GetMicroSecond() const;  // dateTime, time
  unsigned short GetNanoSecond() const;   // dateTime, time
  // 1..366 (dateTime, date).
  unsigned short GetDayOfYear() const;
  // 1 = Sunday .. 7 = Saturday (dateTime, date); GetDayOfWeek() - 1 is the
  // SYSTEMTIME weekday.
  unsigned char GetDayOfWeek() const;

  // --- Setters -------------------------------------------------------------
  // Each requires the value's kind to be dt_yearZero or the kind it sets,
  // else CVxInvalidStateException "Failed to copy CDateTime. Invalid Date
  // Type: <kind set>, expected: <present kind>." Then the value is cleared
  // (the zone is dropped), the kind and fields stored and validated; a
  // validation failure throws CVxInvalidValueException and leaves the value
  // cleared.

  void SetDateTime(short year, unsigned char month, unsigned char day, unsigned char hour,
                   unsigned char minute, unsigned char second);
  void SetDateTime(short year, unsigned char month, unsigned char day, unsigned char hour,
                   unsigned char minute, unsigned char second, unsigned short milli,
                   unsigned short micro, unsigned short nano);
  void SetDate(short year, unsigned char month, unsigned char day);
  void SetTime(unsigned char hour, unsigned char minute, unsigned char second);
  void SetTime(unsigned char hour, unsigned char minute, unsigned char second, unsigned short milli,
               unsigned short micro, unsigned short nano);
  // A time of 00:00:00 with the given fraction.
  void SetFracTime(unsigned short milli, unsigned short micro, unsigned short nano);
  void SetGYear(short year);
  void SetGYearMonth(short year, unsigned char month);
  void SetGMonth(unsigned char month);
  void SetGMonthDay(unsigned char month, unsigned char day);
  void SetGDay(unsigned char day);

  // Converts `source` to kind `type`, keeping its zone: allowed when the
  // source kind has every field of the target (dateTime -> any kind; date ->
  // date, gYearMonth, gYear, gMonthDay, gMonth, gDay; gYearMonth -> gYear,
  // gMonth; gMonthDay -> gMonth, gDay; any kind -> itself or dt_yearZero).
  // Otherwise CVxInvalidValueException "Attempting to set a CDateTime of type
  // <target> using an XmlDateTime of type <source>. The source CDateTime does
  // not contian enough data to allow the conversion." Fields the target kind
  // does not have are 0 afterwards.
  void SetDateTime(const CDateTime& source, DTType type);

  // --- Text ----------------------------------------------------------------
  // Each parser clears the value first and leaves it cleared when it throws
  // CVxInvalidValueException. Null and empty texts are refused with their
  // own messages; the other messages quote the text, whatever its length (a
  // zone message quotes the zone, a dateTime's the date or time part).

  // dateTime: "[-]CCYY-MM-DDThh:mm:ss[.f{1,9}][Z|(+|-)hh:mm]".
  void ParseXSDDateTime(const unsigned short* text);
  // date, gYearMonth, gYear, gMonthDay, gMonth, gDay (kind from the shape):
  // "[-]CCYY-MM-DD", "[-]CCYY-MM", "[-]CCYY", "--MM-DD", "--MM", "--MM--",
  // "---DD", each with an optional zone.
  void ParseXSDDate(const unsigned short* text);
  // time: "hh:mm:ss[.f{0,9}][Z|(+|-)hh:mm]".
  void ParseXSDTime(const unsigned short* text);

  // The XSD form of the value's kind: "Invalid Year Zero" for dt_yearZero.
  String ToString() const;
  // format "s": the XSD form; null, "" or "G": the empty text; anything else:
  // "Unknown Format: " followed by the format. dt_yearZero always gives
  // "Invalid Year Zero".
  String ToString(const unsigned short* format) const;

  // --- Arithmetic ----------------------------------------------------------
  // Adds a duration by the XSD rules: months first (the day is then pinned to
  // the new month's length, so 01-31 + P1M is 02-28 or 02-29), then the time
  // fields with floor-division carries, then the days over the calendar.
  // Fields the kind does not have stay 0; the result is not validated further.
  // Throws CVxInvalidValueException when a kind with a year would end outside
  // the year field's range -32768..32767.
  CDateTime operator+(const CDateTimeSpan& span) const;
  CDateTime& operator+=(const CDateTimeSpan& span);
  // Subtracts the span: adds a copy of it with the opposite sign, so that
  // subtracting a negative duration moves the value forward.
  CDateTime operator-(const CDateTimeSpan& span) const;
  CDateTime& operator-=(const CDateTimeSpan& span);
  // The exact difference *this - other as days, hours, minutes, seconds and
  // fraction (both taken in UTC when zoned), for two dateTime/date values or
  // two time values; a zero span for any other pair of kinds.
  CDateTimeSpan operator-(const CDateTime& other) const;

  // A copy moved to UTC: a value with a numeric offset has the offset taken
  // off and gets the offset +00:00; other values are copied unchanged.
  CDateTime GetNormalized() const;

  // --- Comparison (XSD order relation) ------------------------------------
  // Values with offsets are normalized; when only one side has a zone the
  // other is tried at +14:00 and -14:00 and the answer is Indeterminate
  // unless both agree. Fields are compared in the order year, month, day,
  // hour, minute, second and fraction; a field present on one side only
  // gives Indeterminate.
  DTCompareResult CompareTo(const CDateTime& other) const;
  bool operator==(const CDateTime& o) const { return CompareTo(o) == DTCompare_Equal; }
  bool operator!=(const CDateTime& o) const { return CompareTo(o) != DTCompare_Equal; }
  bool operator<(const CDateTime& o) const { return CompareTo(o) == DTCompare_LessThan; }
  bool operator>(const CDateTime& o) const { return CompareTo(o) == DTCompare_GreaterThan; }
  bool operator<=(const CDateTime& o) const {
    DTCompareResult r = CompareTo(o);
    return r == DTCompare_LessThan || r == DTCompare_Equal;
  }
  bool operator>=(const CDateTime& o) const {
    DTCompareResult r = CompareTo(o);
    return r == DTCompare_GreaterThan || r == DTCompare_Equal;
  }

  // --- Platform conversions -----------------------------------------------

  // Seconds since 1970-01-01T00:00:00Z of the normalized value (a date counts
  // from 00:00:00); a value without zone is taken as UTC. Other kinds throw
  // CVxInvalidValueException "Failed to GetTime, Date Status must be dateTime
  // or date. Invalid Date Type: %s."
  std::time_t GetTime() const;
  // The fields of a dateTime (zone ignored; µs and ns dropped). Other kinds
  // throw CVxInvalidValueException "Failed to GetAsSystemTime, Date Status
  // must be dateTime. Invalid Date Type: %s."; a year below 1 (which wYear
  // cannot hold) throws CVxInvalidValueException as well.
  SYSTEMTIME GetAsSystemTime() const;
  // The current local time (GetLocalTime) as a dateTime without zone.
  static CDateTime GetTickCount();

 private:
  void Clear() noexcept;
  void Validate() const;
  void CheckSetterKind(DTType type) const;
  void StoreTime(DTType type, short year, unsigned char month, unsigned char day,
                 unsigned char hour, unsigned char minute, unsigned char second,
                 unsigned short milli, unsigned short micro, unsigned short nano);
  void SetZone(const unsigned short* first, const unsigned short* last);
  void ParseDate(const unsigned short* first, const unsigned short* last);
  void ParseTime(const unsigned short* first, const unsigned short* last);
  void AddSpan(const CDateTimeSpan& span, bool negative);
  static bool CheckConversion(DTType from, DTType to);
  static DTCompareResult CompareFields(const CDateTime& a, const CDateTime& b) noexcept;
  size_t Format(unsigned short* out) const noexcept;

  DTType m_type;
  short m_year;
  unsigned char m_month;
  unsigned char m_day;
  unsigned char m_hour;
  unsigned char m_minute;
  unsigned char m_second;
  unsigned short m_milli;
  unsigned short m_micro;
  unsigned short m_nano;
  bool m_zoned;      // a zone is present ("Z" or an offset)
  bool m_hasOffset;  // the zone is a numeric offset
  short m_zoneHour;
  unsigned char m_zoneMinute;
};

}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_DATETIME_H
