#include "vxbind/values/Decimal.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {

namespace {

// XML white space: space, tab, carriage return, line feed.
inline bool IsXmlSpace(unsigned short c) {
  return c == 0x20 || c == 0x09 || c == 0x0D || c == 0x0A;
}

// Texts of up to this many digits are collected on the stack, longer ones
// on the heap; exponents have limits of their own.
const size_t kStackDigits = 1023;
const size_t kMaxExponentDigits = 31;
// Larger exponents would build values of unbounded size.
const uint64_t kMaxExponent = 10000000;
const int kMaxDecimalPlaces = 10000000;

bool IsDigit(unsigned short c) { return c >= u'0' && c <= u'9'; }

[[noreturn]] void ThrowInvalidChar(size_t position, const unsigned short* text) {
  throw CVxInvalidValueException(FormatString(
      VX_T("The string representing a Decimal, contained an invalid char at position %d [%s]"),
      static_cast<int>(std::min<size_t>(position, std::numeric_limits<int>::max())), text));
}

[[noreturn]] void ThrowOverflow(const unsigned short* message) {
  throw CVxOverFlowException(message);
}

}  // namespace

int CDecimal::m_maxDivider = 30;

// ---------------------------------------------------------------------------
// Construction

CDecimal::CDecimal() : m_value(0) {}

CDecimal::CDecimal(int value) : CDecimal(CBigInteger(value)) {}

CDecimal::CDecimal(int64_t value) : CDecimal(CBigInteger(value)) {}

CDecimal::CDecimal(const CBigInteger& value) : m_value(value), m_scale(1) { m_value.MulPow10(1); }

CDecimal::CDecimal(const unsigned short* text) { Parse(text, Utf16::Length(text)); }

CDecimal::CDecimal(double value) {
  // "%.13f" and a line feed, printed without regard to the C locale.
  char narrow[400];
  std::to_chars_result r =
      std::to_chars(narrow, narrow + sizeof narrow - 1, value, std::chars_format::fixed, 13);
  size_t n = r.ec == std::errc() ? static_cast<size_t>(r.ptr - narrow) : 0;
  narrow[n++] = '\n';
  unsigned short wide[400];
  for (size_t i = 0; i < n; ++i) wide[i] = static_cast<unsigned char>(narrow[i]);
  wide[n] = 0;
  Parse(wide, n);
}

CDecimal::CDecimal(CBigInteger unscaled, int scale) : m_value(std::move(unscaled)), m_scale(scale) {}

// ---------------------------------------------------------------------------
// Reading text

void CDecimal::Parse(const unsigned short* text, size_t length) {
  // Integer and fraction digits side by side: together they are the unscaled
  // value.
  // There are no more digits than units of text, and one zero may be added:
  // whatever ToString writes, however long, reads back.
  unsigned short stackDigits[kStackDigits];
  std::vector<unsigned short> heapDigits;
  unsigned short* digits = stackDigits;
  if (length >= kStackDigits) {
    heapDigits.resize(length + 1);
    digits = heapDigits.data();
  }
  size_t intCount = 0;
  size_t fracCount = 0;
  bool negative = false;
  size_t i = 0;

  // Integer part: signs anywhere (the last one counts), whitespace skipped.
  for (; i < length; ++i) {
    unsigned short c = text[i];
    if (IsDigit(c)) {
      digits[intCount++] = c;
    } else if (c == u'-') {
      negative = true;
    } else if (c == u'+') {
      negative = false;
    } else if (IsXmlSpace(c)) {
    } else if (c == u'.' || c == u'e' || c == u'E') {
      break;
    } else {
      ThrowInvalidChar(i, text);
    }
  }

  // Fraction: digits and whitespace up to the first other character.
  if (i < length && text[i] == u'.') {
    for (++i; i < length; ++i) {
      unsigned short c = text[i];
      if (IsDigit(c)) {
        digits[intCount + fracCount++] = c;
      } else if (!IsXmlSpace(c)) {
        break;
      }
    }
  }

  // Exponent: whitespace and signs, then digits and whitespace.
  bool expNegative = false;
  uint64_t exponent = 0;
  if (i < length && (text[i] == u'e' || text[i] == u'E')) {
    for (++i; i < length; ++i) {
      unsigned short c = text[i];
      if (c == u'-')
        expNegative = true;
      else if (c == u'+')
        expNegative = false;
      else if (!IsXmlSpace(c))
        break;
    }
    size_t expCount = 0;
    for (; i < length; ++i) {
      unsigned short c = text[i];
      if (IsDigit(c)) {
        if (expCount == kMaxExponentDigits)
          throw CVxInvalidValueException(
              VX_T("The string representing a Decimal, has more than 31 digits in its exponent"));
        ++expCount;
        exponent = std::min<uint64_t>(exponent * 10 + (c - u'0'), kMaxExponent + 1);
      } else if (!IsXmlSpace(c)) {
        ThrowInvalidChar(i, text);
      }
    }
    if (exponent > kMaxExponent)
      throw CVxInvalidValueException(
          VX_T("The string representing a Decimal, has an exponent larger than 10000000"));
  }
  if (i < length) ThrowInvalidChar(i, text);

  // A value without fraction digits has scale 1 and fraction 0.
  size_t count = intCount + fracCount;
  if (fracCount == 0) digits[count++] = u'0';
  CBigInteger value;
  CBigInteger::Build(digits, count, value.m_digits);
  if (negative) value.Negate();
  m_value = std::move(value);
  m_scale = fracCount == 0 ? 1 : static_cast<int>(fracCount);

  if (exponent != 0 && !expNegative) {
    // Multiplication by 10^e: exact, then as any product.
    m_value.MulPow10(static_cast<unsigned>(exponent));
    Rationalise();
    LimitScale();
  } else if (exponent != 0) {
    // Division by 10^e: the quotient truncated at max + 2 places, then as any
    // quotient.
    const int keep = m_maxDivider + 2;
    const int64_t shift = static_cast<int64_t>(keep) - m_scale - static_cast<int64_t>(exponent);
    if (shift >= 0) {
      m_value.MulPow10(static_cast<unsigned>(shift));
    } else if (static_cast<uint64_t>(-shift) > CBigInteger::Position(m_value.m_digits)) {
      m_value = CBigInteger();
    } else {
      int sign = m_value.m_sign;
      m_value.DivPow10(static_cast<unsigned>(-shift));
      m_value.m_sign = sign;
      if (m_value.IsZero() && sign < 0) m_value.m_sign = 1;
    }
    m_scale = keep;
    Rationalise();
    LimitScale();
  }
  Rationalise();
  LimitScale();
}

void CDecimal::Rationalise() {
  if (m_scale <= 1) return;
  unsigned zeros = m_value.TrailingZeros(static_cast<unsigned>(m_scale - 1));
  if (zeros == 0) return;
  if (m_value.IsZero()) {
    m_scale = 1;
    return;
  }
  m_value.DivPow10(zeros);
  m_scale -= static_cast<int>(zeros);
}

void CDecimal::ChangeFractionalDivider(int n) {
  if (n == m_scale) return;
  if (n > m_scale) {
    m_value.MulPow10(static_cast<unsigned>(n - m_scale));
  } else {
    // Round to nearest; an exact half is dropped (ties toward zero).
    if (m_value.DivPow10(static_cast<unsigned>(m_scale - n)) > 0) m_value.IncrementMagnitude();
  }
  m_scale = n;
}

void CDecimal::LimitScale() {
  if (m_scale > m_maxDivider) ChangeFractionalDivider(m_maxDivider);
}

CBigInteger CDecimal::UnscaledAt(int scale) const {
  CBigInteger v = m_value;
  v.MulPow10(static_cast<unsigned>(scale - m_scale));
  return v;
}

CBigInteger CDecimal::RoundedToInteger() const {
  if (m_scale == 0) return m_value;
  CDecimal copy(*this);
  copy.ChangeFractionalDivider(0);
  return copy.m_value;
}

// ---------------------------------------------------------------------------
// Arithmetic

CDecimal CDecimal::operator+(const CDecimal& rhs) const {
  CDecimal r;
  if (m_scale == rhs.m_scale) {
    r.m_value = m_value + rhs.m_value;
    r.m_scale = m_scale;
  } else if (m_scale > rhs.m_scale) {
    r.m_value = m_value + rhs.UnscaledAt(m_scale);
    r.m_scale = m_scale;
  } else {
    r.m_value = UnscaledAt(rhs.m_scale) + rhs.m_value;
    r.m_scale = rhs.m_scale;
  }
  r.Rationalise();
  return r;
}

CDecimal CDecimal::operator-(const CDecimal& rhs) const { return *this + rhs.GetNegative(); }

CDecimal CDecimal::operator*(const CDecimal& rhs) const {
  CDecimal r(m_value * rhs.m_value, m_scale + rhs.m_scale);
  r.Rationalise();
  r.LimitScale();
  return r;
}

CDecimal CDecimal::operator/(const CDecimal& rhs) const {
  const int d = std::max(m_scale, rhs.m_scale);
  const int keep = m_maxDivider + 2;
  CBigInteger a = UnscaledAt(d);
  a.MulPow10(static_cast<unsigned>(keep));
  CDecimal r(a / rhs.UnscaledAt(d), keep);
  r.Rationalise();
  r.LimitScale();
  return r;
}

CDecimal& CDecimal::operator+=(const CDecimal& rhs) { return *this = *this + rhs; }
CDecimal& CDecimal::operator-=(const CDecimal& rhs) { return *this = *this - rhs; }
CDecimal& CDecimal::operator*=(const CDecimal& rhs) { return *this = *this * rhs; }
CDecimal& CDecimal::operator/=(const CDecimal& rhs) { return *this = *this / rhs; }

CDecimal& CDecimal::operator++() { return *this = *this + CDecimal(1); }

CDecimal CDecimal::operator++(int) {
  CDecimal before(*this);
  ++*this;
  return before;
}

CDecimal& CDecimal::operator--() { return *this = *this - CDecimal(1); }

CDecimal CDecimal::operator--(int) {
  CDecimal before(*this);
  --*this;
  return before;
}

CDecimal& CDecimal::Negate() {
  m_value.Negate();
  return *this;
}

CDecimal CDecimal::GetNegative() const {
  CDecimal r(*this);
  r.Negate();
  return r;
}

int CDecimal::CompareTo(const CDecimal& rhs) const {
  if (m_scale == rhs.m_scale) return m_value.CompareTo(rhs.m_value);
  if (m_scale > rhs.m_scale) return m_value.CompareTo(rhs.UnscaledAt(m_scale));
  return UnscaledAt(rhs.m_scale).CompareTo(rhs.m_value);
}

// ---------------------------------------------------------------------------
// Writing

String CDecimal::ToString() const {
  String digits;
  m_value.AppendMagnitude(digits);
  const size_t scale = static_cast<size_t>(m_scale);
  String out;
  out.reserve(digits.size() + scale + 3);
  if (m_value.Signum() < 0) out.push_back(u'-');
  size_t intLen = digits.size() > scale ? digits.size() - scale : 0;
  bool fractionIsZero = true;
  for (size_t i = intLen; i < digits.size(); ++i)
    if (digits[i] != u'0') {
      fractionIsZero = false;
      break;
    }
  if (intLen == 0)
    out.push_back(u'0');
  else
    out.append(digits, 0, intLen);
  if (fractionIsZero) return out;
  out.push_back(u'.');
  out.append(scale - (digits.size() - intLen), u'0');
  out.append(digits, intLen, String::npos);
  return out;
}

String CDecimal::ToString(int n) const {
  if (n < 0)
    throw CVxInvalidParamException(
        FormatString(VX_T("The number of decimal places must not be negative [%d]"), n));
  CDecimal copy(*this);
  if (n < m_maxDivider) {
    // Half a unit of the last kept place, with the value's sign.
    CBigInteger half(m_value.Signum() < 0 ? -5 : 5);
    copy += CDecimal(half, n + 1);
  }
  String digits;
  copy.m_value.AppendMagnitude(digits);
  const size_t scale = static_cast<size_t>(copy.m_scale);
  const size_t places = static_cast<size_t>(n);
  String out;
  out.reserve(digits.size() + places + 3);
  if (copy.m_value.Signum() < 0) out.push_back(u'-');
  size_t intLen = digits.size() > scale ? digits.size() - scale : 0;
  if (intLen == 0)
    out.push_back(u'0');
  else
    out.append(digits, 0, intLen);
  out.push_back(u'.');
  // The fraction padded to the scale, cut (or padded) to n digits.
  size_t lead = scale - (digits.size() - intLen);
  size_t written = 0;
  for (; written < places && written < lead; ++written) out.push_back(u'0');
  for (size_t i = intLen; written < places && i < digits.size(); ++i, ++written)
    out.push_back(digits[i]);
  out.append(places - written, u'0');
  return out;
}

// ---------------------------------------------------------------------------
// Conversions

double CDecimal::ToDouble() const {
  CDecimal whole(*this);
  if (whole.m_scale > 0) {
    int sign = whole.m_value.m_sign;
    whole.m_value.DivPow10(static_cast<unsigned>(whole.m_scale));
    whole.m_value.m_sign = sign;
  }
  if (whole.m_value > CBigInteger::MAX_DOUBLE || whole.m_value < CBigInteger::MIN_DOUBLE)
    ThrowOverflow(VX_T("The Decimal value if to large to fit into a Double"));
  return Utf16::ToDouble(ToString().c_str(), nullptr);
}

int32_t CDecimal::ToLong() const {
  CBigInteger whole = m_value;
  if (m_scale > 0) whole.DivPow10(static_cast<unsigned>(m_scale));
  if (whole > CBigInteger::MAX_LONG || whole < CBigInteger::MIN_LONG)
    ThrowOverflow(VX_T("The Decimal value if to large to fit into a LONG"));
  return static_cast<int32_t>(static_cast<int>(whole));
}

int64_t CDecimal::ToLongLong() const {
  CBigInteger whole = m_value;
  if (m_scale > 0) whole.DivPow10(static_cast<unsigned>(m_scale));
  if (whole > CBigInteger::MAX_LONGLONG || whole < CBigInteger::MIN_LONGLONG)
    ThrowOverflow(VX_T("The Decimal value if to large to fit into a LONGLONG"));
  return static_cast<int64_t>(whole);
}

CBigInteger CDecimal::ToBigInteger() const { return RoundedToInteger(); }

int CDecimal::GetMaxDecimalPlaces() { return m_maxDivider; }

void CDecimal::SetMaxDecimalPlaces(int places) {
  // The upper bound keeps the scale arithmetic (places + 2) far from
  // overflow and the size of a quotient reasonable.
  if (places < 0 || places > kMaxDecimalPlaces)
    throw CVxInvalidParamException(FormatString(
        VX_T("The maximum number of decimal places must be between 0 and 10000000 [%d]"),
        places));
  m_maxDivider = places;
}

}  // namespace VxVevAva5
