// CDateTime: XSD lexical forms, validation, duration arithmetic, the XSD
// order relation and the platform conversions. Parsing works on pointer
// ranges of the caller's text; formatting goes through a stack buffer, so a
// round trip allocates only the resulting String.
#include "vxbind/values/DateTime.h"

#include <climits>
#include <cstdlib>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/detail/DateArithmetic.h"

namespace VxVevAva5 {
namespace {

typedef CDateTime DT;

// Which kinds carry which fields, as bit masks over DTType.
constexpr unsigned Bit(DT::DTType t) { return 1u << static_cast<unsigned>(t); }
constexpr unsigned kYearKinds = Bit(DT::dt_dateTime) | Bit(DT::dt_date) |
                                Bit(DT::dt_gYearMonth) | Bit(DT::dt_gYear);
constexpr unsigned kMonthKinds = Bit(DT::dt_dateTime) | Bit(DT::dt_date) |
                                 Bit(DT::dt_gYearMonth) | Bit(DT::dt_gMonthDay) |
                                 Bit(DT::dt_gMonth);
constexpr unsigned kDayKinds =
    Bit(DT::dt_dateTime) | Bit(DT::dt_date) | Bit(DT::dt_gDay) | Bit(DT::dt_gMonthDay);
constexpr unsigned kTimeKinds = Bit(DT::dt_dateTime) | Bit(DT::dt_time);
constexpr unsigned kDateKinds = Bit(DT::dt_dateTime) | Bit(DT::dt_date);

inline bool Has(unsigned mask, DT::DTType t) noexcept {
  return static_cast<uint32_t>(t) <= 8 && (mask >> static_cast<unsigned>(t) & 1u) != 0;
}

const unsigned short* TypeName(DT::DTType t) noexcept {
  static const unsigned short* const kNames[9] = {
      VX_T("yearZero"), VX_T("dateTime"),  VX_T("date"),   VX_T("gYearMonth"),
      VX_T("gYear"),    VX_T("time"),      VX_T("gDay"),   VX_T("gMonth"),
      VX_T("gMonthDay")};
  return static_cast<uint32_t>(t) <= 8 ? kNames[t] : VX_T("");
}

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
// February has 29 here; kinds with a year limit it by the leap-year rule.
constexpr int kMaxDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// ---- error reporting (cold) ------------------------------------------------

[[noreturn]] void ThrowValue(const String& message) { throw CVxInvalidValueException(message); }

[[noreturn]] void ThrowWithText(const unsigned short* format, const unsigned short* first,
                                const unsigned short* last) {
  String text(first, last);
  ThrowValue(FormatString(format, text.c_str()));
}

[[noreturn]] void ThrowGetter(const unsigned short* format, DT::DTType t) {
  throw CVxInvalidStateException(FormatString(format, TypeName(t)));
}

// ---- lexical helpers -------------------------------------------------------

inline int Digit(unsigned short c) noexcept {
  unsigned d = static_cast<unsigned>(c) - u'0';
  return d <= 9 ? static_cast<int>(d) : -1;
}

// Reads exactly `n` digits at p; -1 when any is not a digit. The caller has
// checked that p + n is inside the text.
inline int ReadDigits(const unsigned short* p, int n) noexcept {
  int v = 0;
  for (int i = 0; i < n; ++i) {
    int d = Digit(p[i]);
    if (d < 0) return -1;
    v = v * 10 + d;
  }
  return v;
}

inline const unsigned short* Find(const unsigned short* first, const unsigned short* last,
                                  unsigned short c) noexcept {
  for (; first != last; ++first)
    if (*first == c) return first;
  return nullptr;
}

// Field checks shared by every way of storing fields; takes wide integers so
// that callers can check values before narrowing them into the fields.
void ValidateFields(DT::DTType type, int64_t year, int64_t month, int64_t day, int64_t hour,
                    int64_t minute, int64_t second, int64_t milli, int64_t micro,
                    int64_t nano) {
  if (type == DT::dt_yearZero) ThrowValue(VX_T("Invalid Year Zero"));
  const unsigned short* name = TypeName(type);
  if (Has(kMonthKinds, type)) {
    if (month < 1 || month > 12)
      ThrowValue(FormatString(VX_T("Invalid Month [%d] (1 <= month <= 12)"),
                              static_cast<int>(month)));
  } else if (month != 0) {
    ThrowValue(FormatString(VX_T("Invalid Month [%d] for type %s"), static_cast<int>(month), name));
  }
  if (Has(kYearKinds, type)) {
    if (year == 0 || year < -9999 || year > 9999)
      ThrowValue(FormatString(VX_T("Invalid Year [%I64d] (%d <= year <= %d && year != 0)"),
                              static_cast<long long>(year), -9999, 9999));
  } else if (year != 0) {
    ThrowValue(FormatString(VX_T("Invalid Year [%I64d] for type %s"),
                            static_cast<long long>(year), name));
  }
  if (Has(kDateKinds, type)) {
    if (day < 1 || day > Time::DaysInMonth(year, static_cast<int>(month)))
      ThrowValue(FormatString(VX_T("Invalid Day [%d] (1 <= day <= days in month"),
                              static_cast<int>(day)));
  } else if (type == DT::dt_gMonthDay) {
    if (day < 1 || day > kMaxDaysInMonth[month - 1])
      ThrowValue(FormatString(VX_T("Invalid Day [%d] (1 <= day <= days in month)"),
                              static_cast<int>(day)));
  } else if (type == DT::dt_gDay) {
    if (day < 1 || day > 31)
      ThrowValue(FormatString(VX_T("Invalid Day [%d] (1 <= day <= 31)"), static_cast<int>(day)));
  } else if (day != 0) {
    ThrowValue(FormatString(VX_T("Invalid Day [%d] for type %s"), static_cast<int>(day), name));
  }
  struct TimeField {
    int64_t value;
    int64_t limit;
    const unsigned short* range;
    const unsigned short* other;
  };
  const TimeField fields[6] = {
      {hour, 24, VX_T("Invalid Hour [%d] (0 <= hour <= 23)"), VX_T("Invalid Hour [%d] for type %s")},
      {minute, 60, VX_T("Invalid Minute [%d] (0 <= minute <= 59)"),
       VX_T("Invalid Minute [%d] for type %s")},
      {second, 60, VX_T("Invalid Second [%d] (0 <= second <= 59)"),
       VX_T("Invalid Second [%d] for type %s")},
      {milli, 1000, VX_T("Invalid Milli-Second [%d] (0 <= milli <= 999)"),
       VX_T("Invalid Milli-Second [%d] for type %s")},
      {micro, 1000, VX_T("Invalid Micro-Second [%d] (0 <= micro <= 999)"),
       VX_T("Invalid Micro-Second [%d] for type %s")},
      {nano, 1000, VX_T("Invalid Nano-Second [%d] (0 <= nano <= 999)"),
       VX_T("Invalid Nano-Second [%d] for type %s")},
  };
  const bool hasTime = Has(kTimeKinds, type);
  for (const TimeField& f : fields) {
    if (hasTime) {
      if (f.value < 0 || f.value >= f.limit)
        ThrowValue(FormatString(f.range, static_cast<int>(f.value)));
    } else if (f.value != 0) {
      ThrowValue(FormatString(f.other, static_cast<int>(f.value), name));
    }
  }
}

}  // namespace

// ---- construction ----------------------------------------------------------

void CDateTime::Clear() noexcept {
  m_type = dt_yearZero;
  m_year = 0;
  m_month = m_day = m_hour = m_minute = m_second = 0;
  m_milli = m_micro = m_nano = 0;
  m_zoned = m_hasOffset = false;
  m_zoneHour = 0;
  m_zoneMinute = 0;
}

CDateTime::CDateTime(DTType type) noexcept {
  Clear();
  m_type = type;
}

CDateTime::CDateTime(const unsigned short* text) {
  Clear();
  ParseXSDDateTime(text);  // leaves the value cleared when it throws
}

CDateTime::CDateTime(short year, unsigned char month, unsigned char day) {
  Clear();
  SetDate(year, month, day);
}

CDateTime::CDateTime(short year, unsigned char month, unsigned char day, unsigned char hour,
                     unsigned char minute, unsigned char second) {
  Clear();
  SetDateTime(year, month, day, hour, minute, second);
}

CDateTime::CDateTime(short year, unsigned char month, unsigned char day, unsigned char hour,
                     unsigned char minute, unsigned char second, unsigned short milli,
                     unsigned short micro, unsigned short nano) {
  Clear();
  SetDateTime(year, month, day, hour, minute, second, milli, micro, nano);
}

CDateTime::CDateTime(const std::time_t& time) {
  Clear();
  *this = time;
}

CDateTime::CDateTime(const SYSTEMTIME& time) {
  Clear();
  *this = time;
}

CDateTime::CDateTime(const FILETIME& time) {
  Clear();
  *this = time;
}

CDateTime& CDateTime::operator=(const std::time_t& time) {
  CheckSetterKind(dt_dateTime);
  Clear();  // as SetDateTime does: a refused time leaves the value cleared
  std::tm tm{};
  if (!Time::GmTime(time, &tm))
    ThrowValue(FormatString(VX_T("Invalid time_t [%I64d]: year out of range"),
                            static_cast<long long>(time)));
  const int64_t year = static_cast<int64_t>(tm.tm_year) + 1900;
  ValidateFields(dt_dateTime, year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                 tm.tm_sec, 0, 0, 0);
  SetDateTime(static_cast<short>(year), static_cast<unsigned char>(tm.tm_mon + 1),
              static_cast<unsigned char>(tm.tm_mday), static_cast<unsigned char>(tm.tm_hour),
              static_cast<unsigned char>(tm.tm_min), static_cast<unsigned char>(tm.tm_sec));
  return *this;
}

CDateTime& CDateTime::operator=(const SYSTEMTIME& time) {
  CheckSetterKind(dt_dateTime);
  Clear();
  // Check the 16-bit fields before they are narrowed into 8-bit ones.
  ValidateFields(dt_dateTime, time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                 time.wSecond, time.wMilliseconds, 0, 0);
  SetDateTime(static_cast<short>(time.wYear), static_cast<unsigned char>(time.wMonth),
              static_cast<unsigned char>(time.wDay), static_cast<unsigned char>(time.wHour),
              static_cast<unsigned char>(time.wMinute), static_cast<unsigned char>(time.wSecond),
              time.wMilliseconds, 0, 0);
  return *this;
}

CDateTime& CDateTime::operator=(const FILETIME& time) {
  SYSTEMTIME st{};
  if (!FileTimeToSystemTime(&time, &st))
    ThrowValue(VX_T("Failed to convert FILETIME to SYSTEMTIME"));
  return *this = st;
}

// ---- kind and zone ---------------------------------------------------------

String CDateTime::GetTypeAsString(DTType type) { return String(TypeName(type)); }

void CDateTime::SetUTC() noexcept {
  m_zoned = true;
  m_hasOffset = false;
  m_zoneHour = 0;
  m_zoneMinute = 0;
}

void CDateTime::SetTimeZone(short hour, unsigned char minute) {
  if (hour <= -24 || hour >= 24 || minute >= 60)
    ThrowValue(FormatString(VX_T("Invalid TimeZone [%d:%d]"), hour, minute));
  m_zoned = true;
  m_hasOffset = true;
  m_zoneHour = hour;
  m_zoneMinute = minute;
}

short CDateTime::GetZoneHour() const {
  if (!m_hasOffset) throw CVxInvalidStateException(VX_T("TimeZone is not been used"));
  return m_zoneHour;
}

unsigned char CDateTime::GetZoneMinute() const {
  if (!m_hasOffset) throw CVxInvalidStateException(VX_T("TimeZone is not been used"));
  return m_zoneMinute;
}

// ---- field getters ---------------------------------------------------------

short CDateTime::GetYear() const {
  if (!Has(kYearKinds, m_type)) ThrowGetter(VX_T("Failed to GetYear. Invalid Date Type: %s."), m_type);
  return m_year;
}

unsigned char CDateTime::GetMonth() const {
  if (!Has(kMonthKinds, m_type))
    ThrowGetter(VX_T("Failed to GetMonth. Invalid Date Type: %s."), m_type);
  return m_month;
}

unsigned char CDateTime::GetDay() const {
  if (!Has(kDayKinds, m_type)) ThrowGetter(VX_T("Failed to GetDay. Invalid Date Type: %s."), m_type);
  return m_day;
}

unsigned char CDateTime::GetHour() const {
  if (!Has(kTimeKinds, m_type)) ThrowGetter(VX_T("Failed to GetHour. Invalid Date Type: %s."), m_type);
  return m_hour;
}

unsigned char CDateTime::GetMinute() const {
  if (!Has(kTimeKinds, m_type))
    ThrowGetter(VX_T("Failed to GetMinute. Invalid Date Type: %s."), m_type);
  return m_minute;
}

unsigned char CDateTime::GetSecond() const {
  if (!Has(kTimeKinds, m_type))
    ThrowGetter(VX_T("Failed to GetSecond. Invalid Date Type: %s."), m_type);
  return m_second;
}

double CDateTime::GetRealSecond() const {
  if (!Has(kTimeKinds, m_type))
    ThrowGetter(VX_T("Failed to GetRealSecond. Invalid Date Type: %s."), m_type);
  return m_second + m_milli * 0.001 + m_micro * 1e-06 + m_nano * 1e-09;
}

unsigned short CDateTime::GetMilliSecond() const {
  if (!Has(kTimeKinds, m_type))
    ThrowGetter(VX_T("Failed to GetMilliSecond. Invalid Date Type: %s."), m_type);
  return m_milli;
}

unsigned short CDateTime::GetMicroSecond() const {
  if (!Has(kTimeKinds, m_type))
    ThrowGetter(VX_T("Failed to GetMicroSecond. Invalid Date Type: %s."), m_type);
  return m_micro;
}

unsigned short CDateTime::GetNanoSecond() const {
  if (!Has(kTimeKinds, m_type))
    ThrowGetter(VX_T("Failed to GetNanoSecond. Invalid Date Type: %s."), m_type);
  return m_nano;
}

unsigned short CDateTime::GetDayOfYear() const {
  if (!Has(kDateKinds, m_type))
    ThrowGetter(VX_T("Failed to GetDayOfYear. Invalid Date Type: %s."), m_type);
  // A value made from a bare kind (CDateTime(dt_date)) has month 0.
  int n = (m_month >= 1 && m_month <= 12 ? kDaysBeforeMonth[m_month - 1] : 0) + m_day;
  if (m_month >= 3 && Time::IsLeapYear(m_year)) ++n;
  return static_cast<unsigned short>(n);
}

unsigned char CDateTime::GetDayOfWeek() const {
  if (!Has(kDateKinds, m_type))
    ThrowGetter(VX_T("Failed to GetDayOfWeek. Invalid Date Type: %s."), m_type);
  return static_cast<unsigned char>(
      Time::DayOfWeek(Time::DaysFromCivil(m_year, m_month, m_day)) + 1);
}

// ---- setters ---------------------------------------------------------------

void CDateTime::CheckSetterKind(DTType type) const {
  if (m_type != dt_yearZero && m_type != type)
    throw CVxInvalidStateException(
        FormatString(VX_T("Failed to copy CDateTime. Invalid Date Type: %s, expected: %s."),
                     TypeName(type), TypeName(m_type)));
}

void CDateTime::StoreTime(DTType type, short year, unsigned char month, unsigned char day,
                          unsigned char hour, unsigned char minute, unsigned char second,
                          unsigned short milli, unsigned short micro, unsigned short nano) {
  CheckSetterKind(type);
  Clear();
  ValidateFields(type, year, month, day, hour, minute, second, milli, micro, nano);
  m_type = type;
  m_year = year;
  m_month = month;
  m_day = day;
  m_hour = hour;
  m_minute = minute;
  m_second = second;
  m_milli = milli;
  m_micro = micro;
  m_nano = nano;
}

void CDateTime::SetDateTime(short year, unsigned char month, unsigned char day,
                            unsigned char hour, unsigned char minute, unsigned char second) {
  StoreTime(dt_dateTime, year, month, day, hour, minute, second, 0, 0, 0);
}

void CDateTime::SetDateTime(short year, unsigned char month, unsigned char day,
                            unsigned char hour, unsigned char minute, unsigned char second,
                            unsigned short milli, unsigned short micro, unsigned short nano) {
  StoreTime(dt_dateTime, year, month, day, hour, minute, second, milli, micro, nano);
}

void CDateTime::SetDate(short year, unsigned char month, unsigned char day) {
  StoreTime(dt_date, year, month, day, 0, 0, 0, 0, 0, 0);
}

void CDateTime::SetTime(unsigned char hour, unsigned char minute, unsigned char second) {
  StoreTime(dt_time, 0, 0, 0, hour, minute, second, 0, 0, 0);
}

void CDateTime::SetTime(unsigned char hour, unsigned char minute, unsigned char second,
                        unsigned short milli, unsigned short micro, unsigned short nano) {
  StoreTime(dt_time, 0, 0, 0, hour, minute, second, milli, micro, nano);
}

void CDateTime::SetFracTime(unsigned short milli, unsigned short micro, unsigned short nano) {
  StoreTime(dt_time, 0, 0, 0, 0, 0, 0, milli, micro, nano);
}

void CDateTime::SetGYear(short year) { StoreTime(dt_gYear, year, 0, 0, 0, 0, 0, 0, 0, 0); }

void CDateTime::SetGYearMonth(short year, unsigned char month) {
  StoreTime(dt_gYearMonth, year, month, 0, 0, 0, 0, 0, 0, 0);
}

void CDateTime::SetGMonth(unsigned char month) {
  StoreTime(dt_gMonth, 0, month, 0, 0, 0, 0, 0, 0, 0);
}

void CDateTime::SetGMonthDay(unsigned char month, unsigned char day) {
  StoreTime(dt_gMonthDay, 0, month, day, 0, 0, 0, 0, 0, 0);
}

void CDateTime::SetGDay(unsigned char day) { StoreTime(dt_gDay, 0, 0, day, 0, 0, 0, 0, 0, 0); }

bool CDateTime::CheckConversion(DTType from, DTType to) {
  if (to == from || to == dt_yearZero) return true;
  if (static_cast<uint32_t>(from) > 8)
    ThrowValue(FormatString(VX_T("Unknown date type %d."), static_cast<int>(from)));
  switch (from) {
    case dt_dateTime:
      return static_cast<uint32_t>(to) <= 8;
    case dt_date:
      return to == dt_gDay || to == dt_gMonth || to == dt_gYear || to == dt_gMonthDay ||
             to == dt_gYearMonth;
    case dt_gYearMonth:
      return to == dt_gMonth || to == dt_gYear;
    case dt_gMonthDay:
      return to == dt_gDay || to == dt_gMonth;
    default:
      return false;
  }
}

void CDateTime::SetDateTime(const CDateTime& source, DTType type) {
  if (!CheckConversion(source.m_type, type))
    ThrowValue(FormatString(
        VX_T("Attempting to set a CDateTime of type %s using an XmlDateTime of type %s. The "
             "source CDateTime does not contian enough data to allow the conversion."),
        TypeName(type), TypeName(source.m_type)));
  *this = source;
  m_type = type;
  // The target kind keeps only its own fields.
  if (!Has(kYearKinds, type)) m_year = 0;
  if (!Has(kMonthKinds, type)) m_month = 0;
  if (!Has(kDayKinds, type)) m_day = 0;
  if (!Has(kTimeKinds, type)) m_hour = m_minute = m_second = 0, m_milli = m_micro = m_nano = 0;
}

// ---- parsing ---------------------------------------------------------------

// Zone text: exactly "Z", or "+hh:mm" / "-hh:mm" with hh 24 read as 0. The
// sign is kept on the hour only, so a negative offset with hour 0 and
// non-zero minutes ("-00:30") could not be represented and is refused.
void CDateTime::SetZone(const unsigned short* first, const unsigned short* last) {
  const ptrdiff_t len = last - first;
  if (len == 1 && *first == u'Z') {
    SetUTC();
    return;
  }
  if (len != 6 || (*first != u'+' && *first != u'-') || first[3] != u':')
    ThrowWithText(VX_T("Invalid XSD Time Zone [%s]"), first, last);
  int hour = ReadDigits(first + 1, 2);
  int minute = ReadDigits(first + 4, 2);
  if (hour < 0 || minute < 0) ThrowWithText(VX_T("Invalid XSD Time Zone [%s]"), first, last);
  if (hour == 24) hour = 0;
  if (*first == u'-') {
    if (hour == 0 && minute != 0) ThrowWithText(VX_T("Invalid XSD Time Zone [%s]"), first, last);
    hour = -hour;
  }
  SetTimeZone(static_cast<short>(hour), static_cast<unsigned char>(minute));
}

void CDateTime::ParseDate(const unsigned short* first, const unsigned short* last) {
  static const unsigned short* const kShape =
      VX_T("Invalid XSD Date [%s] expected CCYY-MM-DD[Z|[+|-]hh:mm]");
  const ptrdiff_t len = last - first;
  if (len == 0) ThrowValue(VX_T("Invalid Date (Empty String)"));
  if (Find(first, last, u'T') != nullptr) ThrowValue(VX_T("Invalid Date ('T' not allowed)"));
  const bool hasZ = Find(first, last, u'Z') != nullptr;
  const bool hasColon = Find(first, last, u':') != nullptr;
  ptrdiff_t dateLen = len;
  if (hasZ) {
    if (hasColon) ThrowValue(VX_T("Invalid Date (Bad Zone value)"));
    dateLen = len - 1;  // a Z anywhere but last fails the digit checks below
  } else if (hasColon) {
    dateLen = len - 6;  // a trailing (+|-)hh:mm
  }
  const unsigned short* p = first;
  int year = 0, month = 0, day = 0;
  DTType type = dt_yearZero;
  bool negative = false;
  if (len >= 2 && p[0] == u'-' && p[1] == u'-') {
    switch (dateLen) {
      case 4:  // --MM
        type = dt_gMonth;
        month = ReadDigits(p + 2, 2);
        break;
      case 5:  // ---DD
        type = dt_gDay;
        day = p[2] == u'-' ? ReadDigits(p + 3, 2) : -1;
        break;
      case 6:  // --MM--
        type = dt_gMonth;
        month = p[4] == u'-' && p[5] == u'-' ? ReadDigits(p + 2, 2) : -1;
        break;
      case 7:  // --MM-DD
        type = dt_gMonthDay;
        month = ReadDigits(p + 2, 2);
        day = p[4] == u'-' ? ReadDigits(p + 5, 2) : -1;
        break;
      default:
        ThrowWithText(kShape, first, last);
    }
  } else {
    ptrdiff_t n = dateLen;
    negative = n > 0 && *p == u'-';
    if (negative) ++p, --n;
    switch (n) {
      case 4:  // CCYY
        type = dt_gYear;
        year = ReadDigits(p, 4);
        break;
      case 7:  // CCYY-MM
        type = dt_gYearMonth;
        year = ReadDigits(p, 4);
        month = p[4] == u'-' ? ReadDigits(p + 5, 2) : -1;
        break;
      case 10:  // CCYY-MM-DD
        type = dt_date;
        year = ReadDigits(p, 4);
        month = p[4] == u'-' ? ReadDigits(p + 5, 2) : -1;
        day = p[7] == u'-' ? ReadDigits(p + 8, 2) : -1;
        break;
      default:
        ThrowWithText(kShape, first, last);
    }
  }
  if (year < 0 || month < 0 || day < 0) ThrowWithText(kShape, first, last);
  if (negative) year = -year;
  m_type = type;
  m_year = static_cast<short>(year);
  m_month = static_cast<unsigned char>(month);
  m_day = static_cast<unsigned char>(day);
  if (hasZ || hasColon) SetZone(first + dateLen, last);
  Validate();
}

void CDateTime::ParseTime(const unsigned short* first, const unsigned short* last) {
  static const unsigned short* const kShape = VX_T("Invalid XSD Time [%s] expected hh:mm:ss[.ff]");
  const ptrdiff_t len = last - first;
  if (len == 0) ThrowValue(VX_T("Invalid XSD Time (Empty String)"));
  if (len < 8 || first[2] != u':' || first[5] != u':') ThrowWithText(kShape, first, last);
  const int hour = ReadDigits(first, 2);
  const int minute = ReadDigits(first + 3, 2);
  const int second = ReadDigits(first + 6, 2);
  if (hour < 0 || minute < 0 || second < 0 || hour > 23 || minute > 59 || second > 59)
    ThrowWithText(kShape, first, last);
  m_type = dt_time;
  m_hour = static_cast<unsigned char>(hour);
  m_minute = static_cast<unsigned char>(minute);
  m_second = static_cast<unsigned char>(second);
  const unsigned short* p = first + 8;
  if (p != last && *p == u'.') {
    static const int kWeight[3] = {100, 10, 1};
    int groups[3] = {0, 0, 0};
    int count = 0;
    for (++p; p != last && Digit(*p) >= 0; ++p, ++count) {
      if (count == 9) ThrowWithText(VX_T("Invalid XSD Time [%s] Fraction part too long"), first, last);
      groups[count / 3] += Digit(*p) * kWeight[count % 3];
    }
    m_milli = static_cast<unsigned short>(groups[0]);
    m_micro = static_cast<unsigned short>(groups[1]);
    m_nano = static_cast<unsigned short>(groups[2]);
  }
  if (p != last) SetZone(p, last);
  Validate();
}

void CDateTime::ParseXSDDate(const unsigned short* text) {
  Clear();
  if (text == nullptr) ThrowValue(VX_T("Invalid Date (Null String)"));
  if (*text == 0) ThrowValue(VX_T("Invalid Date (Empty String)"));
  const size_t len = Utf16::Length(text);
  CDateTime result;
  result.ParseDate(text, text + len);
  *this = result;
}

void CDateTime::ParseXSDTime(const unsigned short* text) {
  Clear();
  if (text == nullptr) ThrowValue(VX_T("Invalid Time (Null String)"));
  if (*text == 0) ThrowValue(VX_T("Invalid XSD Time (Empty String)"));
  const size_t len = Utf16::Length(text);
  CDateTime result;
  result.ParseTime(text, text + len);
  *this = result;
}

void CDateTime::ParseXSDDateTime(const unsigned short* text) {
  Clear();
  if (text == nullptr) ThrowValue(VX_T("Invalid DateTime (Null String)"));
  const size_t len = Utf16::Length(text);
  const unsigned short* last = text + len;
  const unsigned short* t = Find(text, last, u'T');
  if (t == nullptr) ThrowWithText(VX_T("Invalid XSD DateTime [%s]"), text, last);
  CDateTime date;
  date.ParseDate(text, t);
  // The zone belongs after the time; a zoned date part is a malformed text.
  if (date.m_type != dt_date || date.m_zoned)
    ThrowWithText(VX_T("Invalid XSD DateTime [%s] expected CCYY-MM-DDThh:mm:ss[.ff]"), text,
                  last);
  CDateTime result;
  result.ParseTime(t + 1, last);
  result.m_type = dt_dateTime;
  result.m_year = date.m_year;
  result.m_month = date.m_month;
  result.m_day = date.m_day;
  result.Validate();
  *this = result;
}

void CDateTime::Validate() const {
  ValidateFields(m_type, m_year, m_month, m_day, m_hour, m_minute, m_second, m_milli, m_micro,
                 m_nano);
}

// ---- writing ---------------------------------------------------------------

namespace {

inline size_t Two(unsigned short* out, unsigned v) noexcept {
  out[0] = static_cast<unsigned short>(u'0' + v / 10 % 10);
  out[1] = static_cast<unsigned short>(u'0' + v % 10);
  return 2;
}

}  // namespace

size_t CDateTime::Format(unsigned short* out) const noexcept {
  size_t n = 0;
  auto year = [&] {
    int y = m_year;
    if (y < 0) out[n++] = u'-';
    n += detail::WriteUnsigned(out + n, static_cast<unsigned>(std::abs(y)), 4);
  };
  auto time = [&] {
    n += Two(out + n, m_hour);
    out[n++] = u':';
    n += Two(out + n, m_minute);
    out[n++] = u':';
    n += Two(out + n, m_second);
    n += detail::WriteFraction(out + n, m_milli, m_micro, m_nano);
  };
  switch (m_type) {
    case dt_dateTime:
    case dt_date:
      year();
      out[n++] = u'-';
      n += Two(out + n, m_month);
      out[n++] = u'-';
      n += Two(out + n, m_day);
      if (m_type == dt_dateTime) {
        out[n++] = u'T';
        time();
      }
      break;
    case dt_gYearMonth:
      year();
      out[n++] = u'-';
      n += Two(out + n, m_month);
      break;
    case dt_gYear:
      year();
      break;
    case dt_time:
      time();
      break;
    case dt_gDay:
      out[n++] = u'-';
      out[n++] = u'-';
      out[n++] = u'-';
      n += Two(out + n, m_day);
      break;
    case dt_gMonth:
      out[n++] = u'-';
      out[n++] = u'-';
      n += Two(out + n, m_month);
      break;
    case dt_gMonthDay:
      out[n++] = u'-';
      out[n++] = u'-';
      n += Two(out + n, m_month);
      out[n++] = u'-';
      n += Two(out + n, m_day);
      break;
    default:
      return 0;
  }
  if (m_zoned) {
    if (!m_hasOffset) {
      out[n++] = u'Z';
    } else {
      out[n++] = m_zoneHour >= 0 ? u'+' : u'-';
      n += Two(out + n, static_cast<unsigned>(std::abs(m_zoneHour)));
      out[n++] = u':';
      n += Two(out + n, m_zoneMinute);
    }
  }
  return n;
}

String CDateTime::ToString() const {
  if (m_type == dt_yearZero) return String(VX_T("Invalid Year Zero"));
  // Longest form: "-32768-12-31T23:59:59.999999999-23:59" (38 units).
  unsigned short buffer[64];
  return String(buffer, Format(buffer));
}

String CDateTime::ToString(const unsigned short* format) const {
  if (m_type == dt_yearZero) return String(VX_T("Invalid Year Zero"));
  if (format == nullptr || format[0] == 0 || (format[0] == u'G' && format[1] == 0))
    return String();
  if (format[0] == u's' && format[1] == 0) return ToString();
  String text(VX_T("Unknown Format: "));
  text += format;
  return text;
}

// ---- arithmetic ------------------------------------------------------------

void CDateTime::AddSpan(const CDateTimeSpan& span, bool negative) {
  // A kind without a month or day counts from the 1st of January, so that
  // months carry into the year only when there is a month to carry from.
  detail::CivilTime t{m_year,   m_month != 0 ? m_month : 1, m_day != 0 ? m_day : 1,
                      m_hour,   m_minute, m_second, m_milli, m_micro, m_nano};
  detail::AddDuration(t, span, negative);
  const bool hasYear = Has(kYearKinds, m_type);
  if (hasYear && (t.year < SHRT_MIN || t.year > SHRT_MAX))
    ThrowValue(FormatString(VX_T("Failed to add the duration: year [%I64d] out of range"),
                            static_cast<long long>(t.year)));
  // Fields the kind does not carry stay 0 (a date plus PT1H is the same date).
  const bool hasTime = Has(kTimeKinds, m_type);
  m_year = hasYear ? static_cast<short>(t.year) : 0;
  m_month = Has(kMonthKinds, m_type) ? static_cast<unsigned char>(t.month) : 0;
  m_day = Has(kDayKinds, m_type) ? static_cast<unsigned char>(t.day) : 0;
  m_hour = hasTime ? static_cast<unsigned char>(t.hour) : 0;
  m_minute = hasTime ? static_cast<unsigned char>(t.minute) : 0;
  m_second = hasTime ? static_cast<unsigned char>(t.second) : 0;
  m_milli = hasTime ? static_cast<unsigned short>(t.milli) : 0;
  m_micro = hasTime ? static_cast<unsigned short>(t.micro) : 0;
  m_nano = hasTime ? static_cast<unsigned short>(t.nano) : 0;
}

CDateTime CDateTime::operator+(const CDateTimeSpan& span) const {
  CDateTime r(*this);
  r.AddSpan(span, span.IsNegative());
  return r;
}

CDateTime& CDateTime::operator+=(const CDateTimeSpan& span) {
  AddSpan(span, span.IsNegative());
  return *this;
}

CDateTime CDateTime::operator-(const CDateTimeSpan& span) const {
  CDateTime r(*this);
  r.AddSpan(span, !span.IsNegative());
  return r;
}

CDateTime& CDateTime::operator-=(const CDateTimeSpan& span) {
  AddSpan(span, !span.IsNegative());
  return *this;
}

CDateTimeSpan CDateTime::operator-(const CDateTime& other) const {
  const bool dates = Has(kDateKinds, m_type) && Has(kDateKinds, other.m_type);
  const bool times = m_type == dt_time && other.m_type == dt_time;
  if (!dates && !times) return CDateTimeSpan();
  auto instant = [dates](const CDateTime& v, int64_t* seconds, int64_t* nanos) {
    const CDateTime n = v.GetNormalized();
    const int64_t days = dates ? Time::DaysFromCivil(n.m_year, n.m_month, n.m_day) : 0;
    *seconds = days * 86400 + n.m_hour * 3600 + n.m_minute * 60 + n.m_second;
    *nanos = n.m_milli * 1000000LL + n.m_micro * 1000LL + n.m_nano;
  };
  int64_t s1, n1, s2, n2;
  instant(*this, &s1, &n1);
  instant(other, &s2, &n2);
  int64_t seconds = s1 - s2, nanos = n1 - n2;
  if (seconds > 0 && nanos < 0) --seconds, nanos += 1000000000;
  if (seconds < 0 && nanos > 0) ++seconds, nanos -= 1000000000;
  const bool negative = seconds < 0 || nanos < 0;
  if (negative) seconds = -seconds, nanos = -nanos;
  CDateTimeSpan span(0, 0, static_cast<uint32_t>(seconds / 86400),
                     static_cast<uint32_t>(seconds / 3600 % 24), static_cast<uint64_t>(seconds / 60 % 60),
                     static_cast<uint64_t>(seconds % 60), static_cast<unsigned short>(nanos / 1000000),
                     static_cast<unsigned short>(nanos / 1000 % 1000),
                     static_cast<unsigned short>(nanos % 1000));
  if (negative) span.Negate();
  return span;
}

CDateTime CDateTime::GetNormalized() const {
  CDateTime r(*this);
  if (m_hasOffset) {
    const CDateTimeSpan offset(static_cast<uint32_t>(std::abs(m_zoneHour)), m_zoneMinute, 0);
    // UTC = local - offset: a negative offset is added back.
    r.AddSpan(offset, m_zoneHour >= 0);
    r.SetTimeZone(0, 0);
  }
  return r;
}

// ---- comparison ------------------------------------------------------------

CDateTime::DTCompareResult CDateTime::CompareFields(const CDateTime& a,
                                                    const CDateTime& b) noexcept {
  struct Field {
    unsigned kinds;
    int64_t left, right;
  };
  const Field fields[6] = {
      {kYearKinds, a.m_year, b.m_year},
      {kMonthKinds, a.m_month, b.m_month},
      {kDayKinds, a.m_day, b.m_day},
      {kTimeKinds, a.m_hour, b.m_hour},
      {kTimeKinds, a.m_minute, b.m_minute},
      // The real second, compared exactly in nanoseconds.
      {kTimeKinds, a.m_second * 1000000000LL + a.m_milli * 1000000LL + a.m_micro * 1000LL + a.m_nano,
       b.m_second * 1000000000LL + b.m_milli * 1000000LL + b.m_micro * 1000LL + b.m_nano},
  };
  for (const Field& f : fields) {
    const bool l = Has(f.kinds, a.m_type), r = Has(f.kinds, b.m_type);
    if (l != r) return DTCompare_Indeterminate;
    if (!l) continue;
    if (f.left != f.right) return f.left < f.right ? DTCompare_LessThan : DTCompare_GreaterThan;
  }
  return DTCompare_Equal;
}

CDateTime::DTCompareResult CDateTime::CompareTo(const CDateTime& other) const {
  try {
    const CDateTime a = m_hasOffset ? GetNormalized() : *this;
    const CDateTime b = other.m_hasOffset ? other.GetNormalized() : other;
    if (a.m_zoned == b.m_zoned) return CompareFields(a, b);
    // One side has no zone: it lies anywhere between its +14:00 and -14:00
    // readings, and only an answer true for both ends is certain.
    auto at = [](const CDateTime& v, short hour) {
      CDateTime shifted(v);
      shifted.SetTimeZone(hour, 0);
      return shifted.GetNormalized();
    };
    if (a.m_zoned) {
      if (CompareFields(a, at(b, 14)) == DTCompare_LessThan) return DTCompare_LessThan;
      if (CompareFields(a, at(b, -14)) == DTCompare_GreaterThan) return DTCompare_GreaterThan;
    } else {
      if (CompareFields(at(a, 14), b) == DTCompare_GreaterThan) return DTCompare_GreaterThan;
      if (CompareFields(at(a, -14), b) == DTCompare_LessThan) return DTCompare_LessThan;
    }
    return DTCompare_Indeterminate;
  } catch (const CVxInvalidValueException&) {
    return DTCompare_Indeterminate;
  }
}

// ---- platform conversions ----------------------------------------------------

std::time_t CDateTime::GetTime() const {
  if (!Has(kDateKinds, m_type))
    ThrowValue(FormatString(VX_T("Failed to GetTime, Date Status must be dateTime or date. "
                                 "Invalid Date Type: %s."),
                            TypeName(m_type)));
  // The exact UTC count (what mktime of the fields corrected by the local
  // zone's offset amounts to), independent of TZ and of daylight saving.
  const CDateTime n = GetNormalized();
  const int64_t days = Time::DaysFromCivil(n.m_year, n.m_month, n.m_day);
  return static_cast<std::time_t>(days * 86400 + n.m_hour * 3600 + n.m_minute * 60 + n.m_second);
}

SYSTEMTIME CDateTime::GetAsSystemTime() const {
  if (m_type != dt_dateTime)
    ThrowValue(FormatString(VX_T("Failed to GetAsSystemTime, Date Status must be dateTime. "
                                 "Invalid Date Type: %s."),
                            TypeName(m_type)));
  if (m_year < 1)
    ThrowValue(FormatString(VX_T("Failed to GetAsSystemTime, the year [%d] does not fit SYSTEMTIME."),
                            static_cast<int>(m_year)));
  SYSTEMTIME st{};
  st.wYear = static_cast<uint16_t>(m_year);
  st.wMonth = m_month;
  st.wDayOfWeek = static_cast<uint16_t>(GetDayOfWeek() - 1);
  st.wDay = m_day;
  st.wHour = m_hour;
  st.wMinute = m_minute;
  st.wSecond = m_second;
  st.wMilliseconds = m_milli;
  return st;
}

CDateTime CDateTime::GetTickCount() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  CDateTime r;
  r = now;
  return r;
}

}  // namespace VxVevAva5
