// Conversions.cpp - lexical forms of the bound simple types.
#include "vxbind/conversions/Conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/platform/detail/FloatText.h"

namespace VxVevAva5 {
namespace {

// The formatted number forms are built in a fixed buffer of this many units.
constexpr size_t kNumberFormLimit = 32;

[[noreturn]] void ThrowTooLarge(const String& text, const unsigned short* type) {
  throw CVxInvalidValueException(
      FormatString(VX_T("The value [%s] is to large to fit in a %s"), text.c_str(), type));
}

[[noreturn]] void ThrowNotConverted(const String& text, const unsigned short* type) {
  throw CVxInvalidValueException(
      FormatString(VX_T("The value [%s] can not be converted to a %s"), text.c_str(), type));
}

// True when `format` holds exactly one conversion and it takes a double, so
// that handing it one double argument is well defined.
bool IsOneFloatConversion(const unsigned short* format) {
  int conversions = 0;
  for (const unsigned short* p = format; *p != 0; ++p) {
    if (*p != u'%') continue;
    ++p;
    if (*p == u'%') continue;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') ++p;
    while (*p >= u'0' && *p <= u'9') ++p;
    if (*p == u'.') {
      ++p;
      while (*p >= u'0' && *p <= u'9') ++p;
    }
    if (*p == u'l') ++p;  // "%lf" is a double too
    switch (*p) {
      case u'f': case u'F': case u'e': case u'E':
      case u'g': case u'G': case u'a': case u'A':
        ++conversions;
        break;
      default:
        return false;
    }
  }
  return conversions == 1;
}

String FormatFloating(double value, const unsigned short* format) {
  if (!IsOneFloatConversion(format))
    throw CVxInvalidParamException(
        FormatString(VX_T("Invalid format for a floating-point value [%s]"), format));
  String s = FormatString(format, value);
  if (s.size() > kNumberFormLimit) s.resize(kNumberFormLimit);
  return s;
}

// The C library's isspace in the "C" locale.
bool IsCSpace(unsigned short c) { return c == u' ' || (c >= 0x09 && c <= 0x0D); }

bool EqualsIgnoringAsciiCase(const String& text, const char* word) {
  size_t i = 0;
  for (; word[i] != 0; ++i) {
    if (i >= text.size()) return false;
    unsigned short c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<unsigned short>(c + 32);
    if (c != static_cast<unsigned char>(word[i])) return false;
  }
  return i == text.size();
}

CDateTime ParseDate(const String& processed) {
  CDateTime value;
  value.ParseXSDDate(processed.c_str());
  return value;
}

}  // namespace

// -- Writing ------------------------------------------------------------------

String CConversions::hexBinaryToString(const CBinaryData& value) { return value.GetAsHexString(); }
String CConversions::base64BinaryToString(const CBinaryData& value) { return value.GetAsBase64(); }
String CConversions::i1ToString(char value) {
  return FormatString(VX_T("%d"), static_cast<int>(static_cast<signed char>(value)));
}
String CConversions::i2ToString(short value) {
  return FormatString(VX_T("%d"), static_cast<int>(value));
}
String CConversions::i4ToString(int32_t value) {
  return FormatString(VX_T("%d"), static_cast<int>(value));
}
String CConversions::i8ToString(int64_t value) { return Utf16::FromInt64(value); }
String CConversions::ui1ToString(unsigned char value) {
  return FormatString(VX_T("%u"), static_cast<unsigned>(value));
}
String CConversions::ui2ToString(unsigned short value) {
  return FormatString(VX_T("%u"), static_cast<unsigned>(value));
}
String CConversions::ui4ToString(uint32_t value) {
  return FormatString(VX_T("%u"), static_cast<unsigned>(value));
}
String CConversions::ui8ToString(uint64_t value) { return Utf16::FromUInt64(value); }
String CConversions::r4ToString(float value, const unsigned short* format) {
  if (format == nullptr) return FloatText::FromFloat(value);
  return FormatFloating(static_cast<double>(value), format);
}
String CConversions::r8ToString(double value, const unsigned short* format) {
  if (format == nullptr) return FloatText::FromDouble(value);
  return FormatFloating(value, format);
}
String CConversions::durationToString(const CDateTimeSpan& value) { return value.ToString(); }
String CConversions::yearToString(unsigned short value) {
  return FormatString(VX_T("%u"), static_cast<unsigned>(value));
}
String CConversions::monthToString(unsigned char value) {
  return FormatString(VX_T("--%02u"), static_cast<unsigned>(value));
}
String CConversions::dayToString(unsigned char value) {
  return FormatString(VX_T("---%02u"), static_cast<unsigned>(value));
}
String CConversions::dateToString(const CDateTime& value) { return value.ToString(VX_T("s")); }
String CConversions::charToString(unsigned short value) { return String(1, value); }
String CConversions::stringToString(const String& value) { return value; }
String CConversions::booleanToString(bool value) {
  return String(value ? VX_T("true") : VX_T("false"));
}
String CConversions::decimalToString(const CDecimal& value, const unsigned short* format) {
  if (format == nullptr) return value.ToString();
  const unsigned short* end = nullptr;
  return value.ToString(static_cast<int>(Utf16::ToInt32(format, &end, 10)));
}
String CConversions::integerToString(const CBigInteger& value) { return value.ToString(); }

// -- Reading ------------------------------------------------------------------

CBinaryData CConversions::hexBinaryFromString(const String& text, WhitespaceRule rule) {
  CBinaryData value;
  value.SetAsHexString(CWhitespaceUtils::ApplyRule(rule, text).c_str());
  return value;
}

CBinaryData CConversions::base64BinaryFromString(const String& text, WhitespaceRule rule) {
  CBinaryData value;
  value.SetAsBase64(CWhitespaceUtils::ApplyRule(rule, text).c_str());
  return value;
}

char CConversions::i1FromString(const String& text, WhitespaceRule rule) {
  int32_t v = i4FromString(text, rule);
  if (v < -128 || v > 127) ThrowTooLarge(text, VX_T("i1"));
  return static_cast<char>(v);
}

short CConversions::i2FromString(const String& text, WhitespaceRule rule) {
  int32_t v = i4FromString(text, rule);
  if (v < -32768 || v > 32767) ThrowTooLarge(text, VX_T("i2"));
  return static_cast<short>(v);
}

int32_t CConversions::i4FromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  const unsigned short* end = nullptr;
  bool overflow = false;
  int32_t v = Utf16::ToInt32(processed.c_str(), &end, 10, &overflow);
  if (overflow) ThrowTooLarge(processed, VX_T("i4"));
  // A NUL inside the text also stops the reading short of the end.
  if (end != processed.data() + processed.size()) ThrowNotConverted(processed, VX_T("i4"));
  return v;
}

int64_t CConversions::i8FromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  const unsigned short* p = processed.c_str();
  while (IsCSpace(*p)) ++p;
  bool negative = *p == u'-';
  if (*p == u'-' || *p == u'+') ++p;
  uint64_t magnitude = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) magnitude = magnitude * 10 + (*p - u'0');
  return static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
}

unsigned char CConversions::ui1FromString(const String& text, WhitespaceRule rule) {
  uint32_t v = ui4FromString(text, rule);
  if (v > 255) ThrowTooLarge(text, VX_T("ui1"));
  return static_cast<unsigned char>(v);
}

unsigned short CConversions::ui2FromString(const String& text, WhitespaceRule rule) {
  uint32_t v = ui4FromString(text, rule);
  if (v > 65535) ThrowTooLarge(text, VX_T("ui2"));
  return static_cast<unsigned short>(v);
}

uint32_t CConversions::ui4FromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  const unsigned short* end = nullptr;
  bool overflow = false;
  uint32_t v = Utf16::ToUInt32(processed.c_str(), &end, 10, &overflow);
  if (overflow) ThrowTooLarge(processed, VX_T("ui4"));
  if (end != processed.data() + processed.size()) ThrowNotConverted(processed, VX_T("ui4"));
  return v;
}

float CConversions::r4FromString(const String& text, WhitespaceRule rule) {
  return static_cast<float>(r8FromString(text, rule));
}

double CConversions::r8FromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  const unsigned short* end = nullptr;
  double v = Utf16::ToDouble(processed.c_str(), &end);
  if (end != processed.data() + processed.size()) ThrowNotConverted(processed, VX_T("r8"));
  return v;
}

CDateTimeSpan CConversions::durationFromString(const String& text, WhitespaceRule rule) {
  CDateTimeSpan value;
  value.ParseXSDDuration(CWhitespaceUtils::ApplyRule(rule, text).c_str());
  return value;
}

CDateTime CConversions::yearMonthFromString(const String& text, WhitespaceRule rule) {
  return ParseDate(CWhitespaceUtils::ApplyRule(rule, text));
}

CDateTime CConversions::monthDayFromString(const String& text, WhitespaceRule rule) {
  return ParseDate(CWhitespaceUtils::ApplyRule(rule, text));
}

unsigned short CConversions::yearFromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  short year = ParseDate(processed).GetYear();
  // The year item is unsigned: a year before 1 would come back as 65535 or so.
  if (year < 0) ThrowNotConverted(processed, VX_T("year"));
  return static_cast<unsigned short>(year);
}

unsigned char CConversions::monthFromString(const String& text, WhitespaceRule rule) {
  return ParseDate(CWhitespaceUtils::ApplyRule(rule, text)).GetMonth();
}

unsigned char CConversions::dayFromString(const String& text, WhitespaceRule rule) {
  return ParseDate(CWhitespaceUtils::ApplyRule(rule, text)).GetDay();
}

CDateTime CConversions::datetimeFromString(const String& text, WhitespaceRule rule) {
  CDateTime value;
  value.ParseXSDDateTime(CWhitespaceUtils::ApplyRule(rule, text).c_str());
  return value;
}

CDateTime CConversions::timeFromString(const String& text, WhitespaceRule rule) {
  CDateTime value;
  value.ParseXSDTime(CWhitespaceUtils::ApplyRule(rule, text).c_str());
  return value;
}

CDateTime CConversions::dateFromString(const String& text, WhitespaceRule rule) {
  return ParseDate(CWhitespaceUtils::ApplyRule(rule, text));
}

String CConversions::stringFromString(const String& text, WhitespaceRule rule) {
  return CWhitespaceUtils::ApplyRule(rule, text);
}

unsigned short CConversions::charFromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  if (processed.size() != 1)
    throw CVxInvalidValueException(FormatString(
        VX_T("The value [%s] can not be a char as it is either empty of greater than 1 char long"),
        processed.c_str()));
  return processed[0];
}

bool CConversions::booleanFromString(const String& text, WhitespaceRule rule) {
  String processed = CWhitespaceUtils::ApplyRule(rule, text);
  if (EqualsIgnoringAsciiCase(processed, "true")) return true;
  if (EqualsIgnoringAsciiCase(processed, "false")) return false;
  if (EqualsIgnoringAsciiCase(processed, "1")) return true;
  if (EqualsIgnoringAsciiCase(processed, "0")) return false;
  throw CVxInvalidValueException(
      FormatString(VX_T("A Boolean Value read from an XML document was invalid [%s]. Valid "
                        "values are 'true', 'false', '1', or '0'"),
                   text.c_str()));
}

CDecimal CConversions::decimalFromString(const String& text, WhitespaceRule rule) {
  return CDecimal(CWhitespaceUtils::ApplyRule(rule, text).c_str());
}

CBigInteger CConversions::integerFromString(const String& text, WhitespaceRule rule) {
  return CBigInteger(CWhitespaceUtils::ApplyRule(rule, text).c_str());
}

}  // namespace VxVevAva5
