// -----------------------------------------------------------------------------
// File: Decimal.h
// -----------------------------------------------------------------------------
//
// CDecimal: an exact decimal number, the value of the XSD decimal type.
//
// A value is an unscaled CBigInteger and a scale, the number of fraction
// digits (value = unscaled / 10^scale). The scale is at least 1 (a value
// without fraction has scale 1) unless the class-wide maximum number of
// decimal places is 0.
//
// Rounding:
//  - Parsing, multiplication and division keep at most GetMaxDecimalPlaces()
//    fraction digits (30 initially); extra digits are rounded to nearest with
//    exact halves going toward zero (0.125 at two places is 0.12, -0.125 is
//    -0.12). The scale then stays at that maximum, so such a result may print
//    with trailing zeros (0.1239996 at five places prints 0.12400).
//  - Division first truncates the quotient at max + 2 places, then rounds to
//    max places as above.
//  - ToString(n) rounds half away from zero.
//  - Conversion to an integer (ToBigInteger, CBigInteger(CDecimal)) rounds to
//    nearest, ties toward zero; ToLong/ToLongLong drop the fraction.
//
// Text collected by the parser is limited to 511 integer digits, 511 fraction
// digits and 31 exponent digits; longer texts are refused with
// CVxInvalidValueException. Exponents are limited to 10,000,000 in size.
//
// An operation that fails, for want of memory too (std::bad_alloc), leaves
// its operands unchanged.

#ifndef VXBIND_VALUES_DECIMAL_H
#define VXBIND_VALUES_DECIMAL_H

#include <cstdint>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BigInteger.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CDecimal {
 public:
  CDecimal();  // 0
  CDecimal(int value);
  CDecimal(int64_t value);
  CDecimal(const CBigInteger& value);
  // Reads `text` (null reads as ""); see the file comment and Parse below.
  // Throws CVxInvalidValueException
  // "The string representing a Decimal, contained an invalid char at position
  // %d [%s]" (zero-based position, whole text) for an unreadable text.
  CDecimal(const unsigned short* text);
  // The double printed with 13 fraction digits ("%.13f") and read back, so
  // the double nearest 0.1 becomes exactly 0.1. NaN and infinities throw the
  // invalid-char message of their printed form.
  CDecimal(double value);
  CDecimal(const CDecimal& other) = default;
  CDecimal(CDecimal&& other) noexcept = default;
  CDecimal& operator=(const CDecimal& other) = default;
  CDecimal& operator=(CDecimal&& other) noexcept = default;
  ~CDecimal() = default;

  CDecimal operator+(const CDecimal& rhs) const;
  CDecimal operator-(const CDecimal& rhs) const;
  CDecimal operator*(const CDecimal& rhs) const;
  // A zero divisor throws CVxInvalidValueException
  // "ERROR: Overflow in operator/!".
  CDecimal operator/(const CDecimal& rhs) const;
  CDecimal& operator+=(const CDecimal& rhs);
  CDecimal& operator-=(const CDecimal& rhs);
  CDecimal& operator*=(const CDecimal& rhs);
  CDecimal& operator/=(const CDecimal& rhs);
  CDecimal& operator++();
  CDecimal operator++(int);
  CDecimal& operator--();
  CDecimal operator--(int);
  CDecimal& Negate();
  CDecimal GetNegative() const;

  bool operator==(const CDecimal& rhs) const { return CompareTo(rhs) == 0; }
  bool operator!=(const CDecimal& rhs) const { return CompareTo(rhs) != 0; }
  bool operator<(const CDecimal& rhs) const { return CompareTo(rhs) < 0; }
  bool operator>(const CDecimal& rhs) const { return CompareTo(rhs) > 0; }
  bool operator<=(const CDecimal& rhs) const { return CompareTo(rhs) <= 0; }
  bool operator>=(const CDecimal& rhs) const { return CompareTo(rhs) >= 0; }

  // Without a fraction: the integer ("3", "-120"). Otherwise "-" when
  // negative, the integer part, ".", and the fraction padded with leading
  // zeros to the scale ("1.05", "-0.25").
  String ToString() const;
  // Rounded half away from zero to n fraction digits and written with
  // exactly n of them ("1.01" for 1.005 and n = 2); n = 0 writes the integer
  // followed by ".". A negative value that rounds to zero keeps its "-"
  // ("-0.00"). When n is not below GetMaxDecimalPlaces() no rounding term
  // is added (the digits past n are cut). A negative n throws
  // CVxInvalidParamException.
  String ToString(int n) const;

  // Integer part outside CBigInteger::MIN_DOUBLE..MAX_DOUBLE throws
  // CVxOverFlowException "The Decimal value if to large to fit into a Double".
  double ToDouble() const;
  // The integer part (fraction dropped); outside the 32-bit range throws
  // CVxOverFlowException "The Decimal value if to large to fit into a LONG".
  int32_t ToLong() const;
  // The same for 64 bits: "The Decimal value if to large to fit into a
  // LONGLONG".
  int64_t ToLongLong() const;
  // Rounded to nearest, ties toward zero.
  CBigInteger ToBigInteger() const;

  // The largest scale kept after parsing, multiplication and division; 30
  // at start-up. Class-wide, not thread-safe. A value outside 0..10000000
  // throws CVxInvalidParamException.
  static int GetMaxDecimalPlaces();
  static void SetMaxDecimalPlaces(int places);

 private:
  CDecimal(CBigInteger unscaled, int scale);

  void Parse(const unsigned short* text, size_t length);
  // Drops trailing zero fraction digits, keeping a scale of at least 1.
  void Rationalise();
  // Rescales to n fraction digits; fewer digits round to nearest, ties
  // toward zero.
  void ChangeFractionalDivider(int n);
  // Rounds a product or quotient to the maximum number of decimal places.
  void LimitScale();
  int CompareTo(const CDecimal& rhs) const;
  // The value at `scale` fraction digits (scale >= m_scale, exact).
  CBigInteger UnscaledAt(int scale) const;
  // The value rounded to an integer, ties toward zero.
  CBigInteger RoundedToInteger() const;

  static int m_maxDivider;

  CBigInteger m_value;  // value * 10^m_scale
  int m_scale = 1;
};

}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_DECIMAL_H
