// -----------------------------------------------------------------------------
// File: Conversions.h
// -----------------------------------------------------------------------------
//
// CConversions: the lexical forms of every simple type the library binds, as
// pairs of static functions. `xToString` gives the text written to XML;
// `xFromString` reads document text after applying a whitespace rule
// (CWhitespaceUtils::ApplyRule) to it.
//
// Reading failures of this class throw CVxInvalidValueException; failures of
// the value classes (CBinaryData, CDateTime, CDateTimeSpan, CDecimal,
// CBigInteger) pass through unchanged. The functions keep no state.
//
//   int32_t n = CConversions::i4FromString(text, CWhitespaceUtils::WhitespaceRule_Collapse);
//   String s = CConversions::r8ToString(2.5, nullptr);  // "2.5"

#ifndef VXBIND_CONVERSIONS_CONVERSIONS_H
#define VXBIND_CONVERSIONS_CONVERSIONS_H

#include <cstdint>

#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CConversions {
 public:
  using WhitespaceRule = CWhitespaceUtils::WhitespaceRule;

  // -- Writing --------------------------------------------------------------

  static String hexBinaryToString(const CBinaryData& value);     // upper-case hex
  static String base64BinaryToString(const CBinaryData& value);  // base64, "=" padded
  static String i1ToString(char value);
  static String i2ToString(short value);
  static String i4ToString(int32_t value);
  static String i8ToString(int64_t value);
  static String ui1ToString(unsigned char value);
  static String ui2ToString(unsigned short value);
  static String ui4ToString(uint32_t value);
  static String ui8ToString(uint64_t value);
  // `format` is a printf format for one double (for example "%.3f"); the
  // text is cut at 32 code units. A format that is not exactly one
  // floating-point conversion (%f %e %g %a, with flags, width, precision and
  // an optional "l"; "%%" allowed) throws CVxInvalidParamException "Invalid
  // format for a floating-point value [%s]"; so does the empty format.
  //
  // A null `format` writes text that reads back: "INF", "-INF" and "NaN" as
  // XSD spells them, and for a finite value the fewest significant digits
  // that r8FromString (r4FromString) reads back as exactly that value, -0
  // keeping its sign. The digits are laid out as "%g" lays them out: exponent
  // form below 1e-4 and from 1e16 (r8) or 1e7 (r4) up, "0.30000000000000004",
  // "1e+16", "5e-324". Where "%.16g" ("%.7g") prints as few digits as needed,
  // the text is the same as theirs.
  static String r4ToString(float value, const unsigned short* format);
  static String r8ToString(double value, const unsigned short* format);
  static String durationToString(const CDateTimeSpan& value);
  static String yearToString(unsigned short value);  // "999", no leading zeros
  static String monthToString(unsigned char value);  // "--07"
  static String dayToString(unsigned char value);    // "---03"
  // The XSD form of the value's own date kind (CDateTime::ToString("s")).
  static String dateToString(const CDateTime& value);
  static String charToString(unsigned short value);
  static String stringToString(const String& value);
  static String booleanToString(bool value);  // "true" / "false"
  // Null `format`: the canonical form. Otherwise the format's leading
  // integer (as _wtoi reads it) is the number of fraction digits.
  static String decimalToString(const CDecimal& value, const unsigned short* format);
  static String integerToString(const CBigInteger& value);

  // -- Reading --------------------------------------------------------------
  // Each applies `rule` first; "the processed text" below is its result.

  static CBinaryData hexBinaryFromString(const String& text, WhitespaceRule rule);
  static CBinaryData base64BinaryFromString(const String& text, WhitespaceRule rule);
  // The 32-bit reading, then the range of the type: "The value [%s] is to
  // large to fit in a i1" (i2, ui1, ui2) with the text as passed in.
  static char i1FromString(const String& text, WhitespaceRule rule);
  static short i2FromString(const String& text, WhitespaceRule rule);
  // wcstol in base 10 (leading C white space and a sign allowed). Out of the
  // 32-bit range: "The value [%s] is to large to fit in a i4"; unread
  // characters left: "The value [%s] can not be converted to a i4" (the
  // processed text in both). An empty processed text reads as 0.
  static int32_t i4FromString(const String& text, WhitespaceRule rule);
  // The leading integer of the processed text (optional C white space and
  // sign, then digits); the rest is ignored, no digits gives 0, never throws.
  // Digits beyond 64 bits wrap modulo 2^64, so that an unsigned 64-bit text
  // read here and stored as unsigned keeps its value.
  static int64_t i8FromString(const String& text, WhitespaceRule rule);
  static unsigned char ui1FromString(const String& text, WhitespaceRule rule);
  static unsigned short ui2FromString(const String& text, WhitespaceRule rule);
  // wcstoul: as i4 with the ui4 messages; "-1" reads as 4294967295.
  static uint32_t ui4FromString(const String& text, WhitespaceRule rule);
  // wcstod; unread characters throw "The value [%s] can not be converted to a
  // r8" (also for r4). Empty gives 0; range overflow is not an error.
  static float r4FromString(const String& text, WhitespaceRule rule);
  static double r8FromString(const String& text, WhitespaceRule rule);
  static CDateTimeSpan durationFromString(const String& text, WhitespaceRule rule);
  // The date kinds parse into a fresh CDateTime, so the kind of the result
  // follows the text (a full date read by yearMonthFromString is a date).
  static CDateTime yearMonthFromString(const String& text, WhitespaceRule rule);
  static CDateTime monthDayFromString(const String& text, WhitespaceRule rule);
  // The one field of the parsed value; CDateTime's getter throws when the
  // parsed kind lacks it. A negative year, which the unsigned result cannot
  // hold, throws "The value [%s] can not be converted to a year".
  static unsigned short yearFromString(const String& text, WhitespaceRule rule);
  static unsigned char monthFromString(const String& text, WhitespaceRule rule);
  static unsigned char dayFromString(const String& text, WhitespaceRule rule);
  static CDateTime datetimeFromString(const String& text, WhitespaceRule rule);
  static CDateTime timeFromString(const String& text, WhitespaceRule rule);
  static CDateTime dateFromString(const String& text, WhitespaceRule rule);
  static String stringFromString(const String& text, WhitespaceRule rule);
  // Exactly one code unit, else "The value [%s] can not be a char as it is
  // either empty of greater than 1 char long".
  static unsigned short charFromString(const String& text, WhitespaceRule rule);
  // "true"/"1" and "false"/"0", any letter case; else "A Boolean Value read
  // from an XML document was invalid [%s]. Valid values are 'true', 'false',
  // '1', or '0'" with the text as passed in.
  static bool booleanFromString(const String& text, WhitespaceRule rule);
  static CDecimal decimalFromString(const String& text, WhitespaceRule rule);
  static CBigInteger integerFromString(const String& text, WhitespaceRule rule);
};

}  // namespace VxVevAva5

#endif  // VXBIND_CONVERSIONS_CONVERSIONS_H
