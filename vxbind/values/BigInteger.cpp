#include "vxbind/values/BigInteger.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/Decimal.h"

namespace VxVevAva5 {

// -- CBigInteger::Digits ------------------------------------------------------

CBigInteger::Digits::Digits(const uint32_t* first, const uint32_t* last) {
  const size_t n = static_cast<size_t>(last - first);
  reserve(n);
  std::copy(first, last, m_data);
  m_size = static_cast<uint32_t>(n);
}

CBigInteger::Digits& CBigInteger::Digits::operator=(const Digits& other) {
  if (this == &other) return *this;
  if (other.m_size > m_capacity) {
    // Made apart first: a failed allocation leaves the limbs as they were.
    Digits copy(other);
    return *this = std::move(copy);
  }
  std::copy(other.begin(), other.end(), m_data);
  m_size = other.m_size;
  return *this;
}

void CBigInteger::Digits::Free() noexcept {
  if (OnHeap()) delete[] m_data;
  m_data = m_inline;
  m_size = 0;
  m_capacity = kInline;
}

void CBigInteger::Digits::Steal(Digits& other) noexcept {
  if (other.OnHeap()) {
    m_data = other.m_data;
    m_capacity = other.m_capacity;
  } else {
    m_data = m_inline;
    m_capacity = kInline;
    std::copy(other.m_inline, other.m_inline + other.m_size, m_inline);
  }
  m_size = other.m_size;
  other.m_data = other.m_inline;
  other.m_size = 0;
  other.m_capacity = kInline;
}

void CBigInteger::Digits::Grow(size_t n) {
  if (n > UINT32_MAX / 2) throw std::bad_alloc();
  const size_t capacity = std::max<size_t>(n, size_t{m_capacity} * 2);
  uint32_t* bigger = new uint32_t[capacity];
  std::copy(begin(), end(), bigger);
  if (OnHeap()) delete[] m_data;
  m_data = bigger;
  m_capacity = static_cast<uint32_t>(capacity);
}

void CBigInteger::Digits::insert(uint32_t* position, size_t n, uint32_t value) {
  const size_t at = static_cast<size_t>(position - m_data);
  reserve(m_size + n);
  std::copy_backward(m_data + at, m_data + m_size, m_data + m_size + n);
  std::fill(m_data + at, m_data + at + n, value);
  m_size += static_cast<uint32_t>(n);
}

void CBigInteger::Digits::erase(uint32_t* first, uint32_t* last) noexcept {
  std::copy(last, end(), first);
  m_size -= static_cast<uint32_t>(last - first);
}

namespace {

typedef CBigInteger::Digits Limbs;
const uint32_t kBase = 1000000000u;
const uint32_t kPow10[10] = {1u,      10u,      100u,      1000u,      10000u,
                             100000u, 1000000u, 10000000u, 100000000u, 1000000000u};

[[noreturn]] void ThrowInvalid(const unsigned short* message) {
  throw CVxInvalidValueException(message);
}

void Trim(Limbs& a) {
  size_t n = a.size();
  while (n > 1 && a[n - 1] == 0) --n;
  if (n == 0) {
    a.assign(1, 0);
    return;
  }
  a.resize(n);
}

bool IsZeroLimbs(const Limbs& a) { return a.size() == 1 && a[0] == 0; }

int CompareLimbs(const Limbs& a, const Limbs& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

// a += b. Room for a carry out of the top limb is made before any limb
// changes: growing afterwards could fail and leave neither a nor the sum.
void AddInPlace(Limbs& a, const Limbs& b) {
  const size_t n = std::max(a.size(), b.size());
  const uint32_t topA = a.size() == n ? a[n - 1] : 0;
  const uint32_t topB = b.size() == n ? b[n - 1] : 0;
  if (topA + topB >= kBase - 1) a.reserve(n + 1);
  if (a.size() < b.size()) a.resize(b.size(), 0);
  uint32_t carry = 0;
  size_t i = 0;
  for (; i < b.size(); ++i) {
    uint32_t s = a[i] + b[i] + carry;
    carry = s >= kBase;
    a[i] = carry ? s - kBase : s;
  }
  for (; carry && i < a.size(); ++i) {
    uint32_t s = a[i] + 1;
    carry = s >= kBase;
    a[i] = carry ? 0 : s;
  }
  if (carry) a.push_back(1);
}

// a -= b, where a >= b.
void SubInPlace(Limbs& a, const Limbs& b) {
  uint32_t borrow = 0;
  size_t i = 0;
  for (; i < b.size(); ++i) {
    uint32_t sub = b[i] + borrow;
    borrow = a[i] < sub;
    a[i] = borrow ? a[i] + kBase - sub : a[i] - sub;
  }
  for (; borrow && i < a.size(); ++i) {
    borrow = a[i] == 0;
    a[i] = borrow ? kBase - 1 : a[i] - 1;
  }
  Trim(a);
}

// b = a - b, where a >= b.
void ReverseSubInPlace(const Limbs& a, Limbs& b) {
  b.resize(a.size(), 0);
  uint32_t borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    uint32_t sub = b[i] + borrow;
    borrow = a[i] < sub;
    b[i] = borrow ? a[i] + kBase - sub : a[i] - sub;
  }
  Trim(b);
}

// a = a * m + add, with m, add < kBase.
void MulSmallInPlace(Limbs& a, uint32_t m, uint32_t add = 0) {
  uint64_t carry = add;
  for (uint32_t& limb : a) {
    uint64_t p = static_cast<uint64_t>(limb) * m + carry;
    limb = static_cast<uint32_t>(p % kBase);
    carry = p / kBase;
  }
  if (carry) a.push_back(static_cast<uint32_t>(carry));
  Trim(a);
}

// a /= d (0 < d < kBase); returns the remainder.
uint32_t DivSmallInPlace(Limbs& a, uint32_t d) {
  uint64_t rem = 0;
  for (size_t i = a.size(); i-- > 0;) {
    uint64_t cur = rem * kBase + a[i];
    a[i] = static_cast<uint32_t>(cur / d);
    rem = cur % d;
  }
  Trim(a);
  return static_cast<uint32_t>(rem);
}

Limbs MulLimbs(const Limbs& a, const Limbs& b) {
  if (IsZeroLimbs(a) || IsZeroLimbs(b)) return Limbs(1, 0);
  const Limbs& x = a.size() >= b.size() ? a : b;  // the longer one inside
  const Limbs& y = a.size() >= b.size() ? b : a;
  if (y.size() == 1) {
    Limbs r = x;
    MulSmallInPlace(r, y[0]);
    return r;
  }
  Limbs r(x.size() + y.size(), 0);
  for (size_t j = 0; j < y.size(); ++j) {
    uint64_t m = y[j];
    if (m == 0) continue;
    uint64_t carry = 0;
    uint32_t* out = r.data() + j;
    for (size_t i = 0; i < x.size(); ++i) {
      uint64_t cur = out[i] + m * x[i] + carry;
      out[i] = static_cast<uint32_t>(cur % kBase);
      carry = cur / kBase;
    }
    for (size_t k = x.size(); carry; ++k) {
      uint64_t cur = out[k] + carry;
      out[k] = static_cast<uint32_t>(cur % kBase);
      carry = cur / kBase;
    }
  }
  Trim(r);
  return r;
}

// Long division of magnitudes (Knuth's algorithm D in base 10^9).
void DivMod(const Limbs& a, const Limbs& b, Limbs& q, Limbs& r) {
  if (CompareLimbs(a, b) < 0) {
    r = a;
    q.assign(1, 0);
    return;
  }
  if (b.size() == 1) {
    q = a;
    r.assign(1, DivSmallInPlace(q, b[0]));
    return;
  }
  const size_t n = b.size();
  const size_t m = a.size() - n;
  // Scale both so that the divisor's top limb is at least kBase / 2.
  const uint32_t f = static_cast<uint32_t>(kBase / (static_cast<uint64_t>(b.back()) + 1));
  Limbs u = a;
  Limbs v = b;
  if (f != 1) {
    MulSmallInPlace(u, f);
    MulSmallInPlace(v, f);
  }
  u.resize(a.size() + 1, 0);
  q.assign(m + 1, 0);
  const uint64_t vTop = v[n - 1];
  const uint64_t vNext = v[n - 2];
  for (size_t j = m + 1; j-- > 0;) {
    uint64_t num = static_cast<uint64_t>(u[j + n]) * kBase + u[j + n - 1];
    uint64_t qhat = num / vTop;
    uint64_t rhat = num % vTop;
    while (qhat >= kBase || qhat * vNext > rhat * kBase + u[j + n - 2]) {
      --qhat;
      rhat += vTop;
      if (rhat >= kBase) break;
    }
    // u[j .. j+n] -= qhat * v
    int64_t borrow = 0;
    uint64_t carry = 0;
    for (size_t i = 0; i < n; ++i) {
      uint64_t p = qhat * v[i] + carry;
      carry = p / kBase;
      int64_t t = static_cast<int64_t>(u[i + j]) - static_cast<int64_t>(p % kBase) - borrow;
      borrow = t < 0;
      u[i + j] = static_cast<uint32_t>(t < 0 ? t + kBase : t);
    }
    int64_t t = static_cast<int64_t>(u[j + n]) - static_cast<int64_t>(carry) - borrow;
    if (t < 0) {
      // qhat was one too large: add the divisor back.
      u[j + n] = static_cast<uint32_t>(t + kBase);
      --qhat;
      uint32_t c = 0;
      for (size_t i = 0; i < n; ++i) {
        uint32_t s = u[i + j] + v[i] + c;
        c = s >= kBase;
        u[i + j] = c ? s - kBase : s;
      }
      u[j + n] = static_cast<uint32_t>((u[j + n] + c) % kBase);
    } else {
      u[j + n] = static_cast<uint32_t>(t);
    }
    q[j] = static_cast<uint32_t>(qhat);
  }
  Trim(q);
  u.resize(n);
  Trim(u);
  if (f != 1) DivSmallInPlace(u, f);
  r = std::move(u);
}

void Pow10Limbs(unsigned n, Limbs& out) {
  out.assign(n / 9 + 1, 0);
  out.back() = kPow10[n % 9];
}

// a * 10^n.
void ShiftLeftInPlace(Limbs& a, unsigned n) {
  if (IsZeroLimbs(a) || n == 0) return;
  if (n % 9) MulSmallInPlace(a, kPow10[n % 9]);
  if (n / 9) a.insert(a.begin(), n / 9, 0u);
}

// Appends the decimal digits of `a` (no leading zeros) to `out`.
void AppendDigits(const Limbs& a, String& out) {
  unsigned short buf[9];
  uint32_t top = a.back();
  int k = 9;
  do {
    buf[--k] = static_cast<unsigned short>(u'0' + top % 10);
    top /= 10;
  } while (top != 0);
  size_t pos = out.size();
  out.resize(pos + static_cast<size_t>(9 - k) + (a.size() - 1) * 9);
  unsigned short* p = &out[pos];
  p = std::copy(buf + k, buf + 9, p);
  for (size_t i = a.size() - 1; i-- > 0;) {
    uint32_t limb = a[i];
    for (int d = 8; d >= 0; --d) {
      p[d] = static_cast<unsigned short>(u'0' + limb % 10);
      limb /= 10;
    }
    p += 9;
  }
}

bool IsDigit(unsigned short c) { return c >= u'0' && c <= u'9'; }

}  // namespace

// ---------------------------------------------------------------------------
// Start-up constants, read through CDecimal.

const CBigInteger CBigInteger::MAX_LONG(CDecimal(VX_T("2147483647")));
const CBigInteger CBigInteger::MIN_LONG(CDecimal(VX_T("-2147483648")));
const CBigInteger CBigInteger::MAX_LONGLONG(CDecimal(VX_T("9223372036854775807")));
const CBigInteger CBigInteger::MIN_LONGLONG(CDecimal(VX_T("-9223372036854775808")));
const CBigInteger CBigInteger::MAX_DOUBLE(CDecimal(VX_T("1.7E+308")));
const CBigInteger CBigInteger::MIN_DOUBLE(CDecimal(VX_T("-1.7E+308")));

// ---------------------------------------------------------------------------
// Construction

CBigInteger::CBigInteger() = default;

CBigInteger::CBigInteger(int value) : CBigInteger(static_cast<int64_t>(value)) {}

CBigInteger::CBigInteger(int64_t value) {
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (value < 0) {
    m_sign = -1;
    magnitude = 0 - magnitude;
  }
  Build(magnitude, m_digits);
}

CBigInteger::CBigInteger(double value) {
  if (std::isnan(value) || std::isinf(value))
    ThrowInvalid(VX_T("A BigInteger cannot be built from a NaN or infinite double"));
  if (value < 0) {
    m_sign = -1;
    value = -value;
  }
  Build(value, m_digits);
}

CBigInteger::CBigInteger(const unsigned short* text) { Parse(text); }

CBigInteger::CBigInteger(const CDecimal& value) : CBigInteger(value.ToBigInteger()) {}

CBigInteger::CBigInteger(int sign, Digits digits) : m_sign(sign), m_digits(std::move(digits)) {
  Clean(m_digits);
}

// ---------------------------------------------------------------------------
// Parsing and writing

void CBigInteger::Parse(const unsigned short* text) {
  const size_t length = Utf16::Length(text);
  // Anything but signs, whitespace and digits: a decimal form (fraction,
  // exponent) or an error, both handled by CDecimal.
  for (size_t i = 0; i < length; ++i) {
    unsigned short c = text[i];
    if (!IsDigit(c) && c != u'-' && c != u'+' && c != u' ' && c != u'\n' && c != u'\r' &&
        c != u'\t') {
      *this = CDecimal(text).ToBigInteger();
      return;
    }
  }
  size_t first = 0;
  size_t last = length;
  while (first < last && text[first] == u' ') ++first;
  while (last > first && text[last - 1] == u' ') --last;
  if (first == last) {
    *this = CBigInteger();
    return;
  }
  int sign = 1;
  size_t p = first;
  if (text[p] == u'-' || text[p] == u'+') {
    if (text[p] == u'-') sign = -1;
    ++p;
  }
  size_t bad = p == last ? last : p;  // a lone sign has no digits
  if (p < last) {
    bad = last;
    for (size_t i = p; i < last; ++i)
      if (!IsDigit(text[i])) {
        bad = i;
        break;
      }
  }
  if (bad != last || p == last)
    throw CVxInvalidValueException(FormatString(
        VX_T("The string representing a BigInteger, contained an invalid char at position %d [%s]"),
        static_cast<int>(std::min<size_t>(bad, static_cast<size_t>(std::numeric_limits<int>::max()))),
        text));
  Digits digits;
  Build(text + p, last - p, digits);
  m_sign = sign;
  m_digits = std::move(digits);
}

String CBigInteger::ToString() const {
  String out;
  out.reserve(Position(m_digits) + 1);
  if (m_sign < 0 && !IsZero()) out.push_back(u'-');
  AppendDigits(m_digits, out);
  return out;
}

// ---------------------------------------------------------------------------
// Arithmetic

CBigInteger CBigInteger::AddSigned(const CBigInteger& a, const Digits& b, int bSign) {
  if (a.m_sign == bSign) {
    CBigInteger r(a);
    AddInPlace(r.m_digits, b);
    return r;
  }
  int c = CompareLimbs(a.m_digits, b);
  if (c == 0) return CBigInteger();
  if (c > 0) {
    CBigInteger r(a);
    SubInPlace(r.m_digits, b);
    return r;
  }
  CBigInteger r;
  r.m_sign = bSign;
  r.m_digits = b;
  SubInPlace(r.m_digits, a.m_digits);
  return r;
}

CBigInteger CBigInteger::operator+(const CBigInteger& rhs) const {
  return AddSigned(*this, rhs.m_digits, rhs.m_sign);
}

CBigInteger CBigInteger::operator-(const CBigInteger& rhs) const {
  return AddSigned(*this, rhs.m_digits, -rhs.m_sign);
}

CBigInteger CBigInteger::operator*(const CBigInteger& rhs) const {
  if (IsZero() || rhs.IsZero()) return CBigInteger();
  return CBigInteger(m_sign * rhs.m_sign, MulLimbs(m_digits, rhs.m_digits));
}

CBigInteger CBigInteger::operator/(const CBigInteger& rhs) const {
  if (rhs.IsZero()) ThrowInvalid(VX_T("ERROR: Overflow in operator/!"));
  if (IsZero()) return CBigInteger();
  CBigInteger q;
  Digits r;
  DivMod(m_digits, rhs.m_digits, q.m_digits, r);
  q.m_sign = m_sign == rhs.m_sign ? 1 : -1;
  return q;
}

CBigInteger CBigInteger::operator%(const CBigInteger& rhs) const {
  if (rhs.IsZero()) ThrowInvalid(VX_T("ERROR: Overflow in operator%!"));
  if (IsZero()) return CBigInteger();
  CBigInteger r;
  Digits q;
  DivMod(m_digits, rhs.m_digits, q, r.m_digits);
  r.m_sign = m_sign;
  return r;
}

CBigInteger& CBigInteger::operator+=(const CBigInteger& rhs) {
  if (m_sign == rhs.m_sign) {
    AddInPlace(m_digits, rhs.m_digits);
    return *this;
  }
  int c = CompareLimbs(m_digits, rhs.m_digits);
  if (c == 0) {
    *this = CBigInteger();
  } else if (c > 0) {
    SubInPlace(m_digits, rhs.m_digits);
  } else {
    ReverseSubInPlace(rhs.m_digits, m_digits);
    m_sign = rhs.m_sign;
  }
  return *this;
}

CBigInteger& CBigInteger::operator-=(const CBigInteger& rhs) {
  *this = AddSigned(*this, rhs.m_digits, -rhs.m_sign);
  return *this;
}

CBigInteger& CBigInteger::operator*=(const CBigInteger& rhs) {
  *this = *this * rhs;
  return *this;
}

CBigInteger& CBigInteger::operator/=(const CBigInteger& rhs) {
  if (rhs.IsZero()) ThrowInvalid(VX_T("ERROR: Overflow in operator /=!"));
  *this = *this / rhs;
  return *this;
}

CBigInteger& CBigInteger::operator%=(const CBigInteger& rhs) {
  if (rhs.IsZero()) ThrowInvalid(VX_T("ERROR: Overflow in operator%=!"));
  *this = *this % rhs;
  return *this;
}

CBigInteger& CBigInteger::operator-() { return Negate(); }

CBigInteger& CBigInteger::Negate() {
  m_sign = m_sign == 1 ? -1 : 1;
  return *this;
}

CBigInteger& CBigInteger::Abs() {
  m_sign = 1;
  return *this;
}

CBigInteger CBigInteger::GetAbs() const {
  CBigInteger r(*this);
  r.m_sign = 1;
  return r;
}

CBigInteger CBigInteger::GetNegative() const {
  CBigInteger r(*this);
  r.Negate();
  return r;
}

CBigInteger CBigInteger::SquareRoot() const {
  if (IsZero()) return CBigInteger();
  if (m_sign < 0) ThrowInvalid(VX_T("ERROR: Negative Number in function SquareRoot()!"));
  // Newton's iteration from above: the first guess 10^(1 + (digits-1)/2)
  // exceeds the root, and the sequence falls until it stops falling.
  size_t digits = Position(m_digits);
  CBigInteger x = Pow10(static_cast<unsigned>(1 + (digits - 1) / 2));
  const CBigInteger two(2);
  for (;;) {
    CBigInteger p = x;
    x = (x + *this / x) / two;
    if (x >= p) return p;
  }
}

CBigInteger CBigInteger::Pow10(unsigned n) {
  CBigInteger r;
  Pow10(n, r.m_digits);
  return r;
}

// ---------------------------------------------------------------------------
// Comparison and conversion

int CBigInteger::CompareTo(const CBigInteger& rhs) const {
  int a = Signum();
  int b = rhs.Signum();
  if (a != b) return a < b ? -1 : 1;
  if (a == 0) return 0;
  int c = CompareLimbs(m_digits, rhs.m_digits);
  return a > 0 ? c : -c;
}

uint64_t CBigInteger::MagnitudeOrMax() const {
  // Only magnitudes below 10^19 matter to the callers, and those fit 64 bits.
  if (m_digits.size() > 3 || (m_digits.size() == 3 && m_digits[2] > 9))
    return std::numeric_limits<uint64_t>::max();
  uint64_t v = 0;
  for (size_t i = m_digits.size(); i-- > 0;) v = v * kBase + m_digits[i];
  return v;
}

CBigInteger::operator int() const {
  uint64_t mag = MagnitudeOrMax();
  bool negative = m_sign < 0;
  if (mag > (negative ? 2147483648ull : 2147483647ull))
    ThrowInvalid(VX_T("ERROR: Domain in operator int()!"));
  return negative ? static_cast<int>(0 - static_cast<int64_t>(mag)) : static_cast<int>(mag);
}

CBigInteger::operator int64_t() const {
  uint64_t mag = MagnitudeOrMax();
  bool negative = m_sign < 0;
  const uint64_t limit = 9223372036854775807ull;
  if (mag > (negative ? limit + 1 : limit)) ThrowInvalid(VX_T("ERROR: Domain in operator int()!"));
  if (!negative) return static_cast<int64_t>(mag);
  if (mag == limit + 1) return std::numeric_limits<int64_t>::min();
  return -static_cast<int64_t>(mag);
}

// ---------------------------------------------------------------------------
// Magnitude helpers for CDecimal

void CBigInteger::MulPow10(unsigned k) { ShiftLeftInPlace(m_digits, k); }

int CBigInteger::DivPow10(unsigned k) {
  const size_t whole = k / 9;  // limbs dropped entirely
  const unsigned part = k % 9;
  if (whole >= m_digits.size()) {
    // The magnitude is below 10^k: it is all remainder and the quotient is 0.
    Limbs half;
    Pow10Limbs(k - 1, half);
    MulSmallInPlace(half, 5);
    int c = CompareLimbs(m_digits, half);
    m_digits.assign(1, 0);
    return c;
  }
  // Remainder = r0 * 10^(9*whole) + low, where low is the dropped limbs.
  int c = 0;
  if (part > 0) {
    Limbs upper(m_digits.begin() + static_cast<std::ptrdiff_t>(whole), m_digits.end());
    uint32_t r0 = DivSmallInPlace(upper, kPow10[part]);
    const uint32_t halfTop = 5 * kPow10[part - 1];
    c = r0 > halfTop ? 1 : r0 < halfTop ? -1 : 0;
    if (c == 0)
      for (size_t i = 0; i < whole; ++i)
        if (m_digits[i] != 0) {
          c = 1;
          break;
        }
    m_digits = std::move(upper);
  } else {
    const uint32_t top = m_digits[whole - 1];
    c = top > kBase / 2 ? 1 : top < kBase / 2 ? -1 : 0;
    if (c == 0)
      for (size_t i = 0; i + 1 < whole; ++i)
        if (m_digits[i] != 0) {
          c = 1;
          break;
        }
    m_digits.erase(m_digits.begin(), m_digits.begin() + static_cast<std::ptrdiff_t>(whole));
  }
  Trim(m_digits);
  return c;
}

void CBigInteger::IncrementMagnitude() {
  for (uint32_t& limb : m_digits) {
    if (++limb < kBase) return;
    limb = 0;
  }
  m_digits.push_back(1);
}

unsigned CBigInteger::TrailingZeros(unsigned limit) const {
  if (IsZero()) return limit;
  unsigned n = 0;
  for (uint32_t limb : m_digits) {
    if (limb == 0) {
      n += 9;
    } else {
      while (limb % 10 == 0) {
        limb /= 10;
        ++n;
      }
      break;
    }
    if (n >= limit) break;
  }
  return std::min(n, limit);
}

void CBigInteger::AppendMagnitude(String& out) const { AppendDigits(m_digits, out); }

// ---------------------------------------------------------------------------
// Magnitude operations

int CBigInteger::Compare(const Digits& a, const Digits& b) { return CompareLimbs(a, b); }

CBigInteger::Digits CBigInteger::Add(const Digits& a, const Digits& b) {
  Digits r = a;
  AddInPlace(r, b);
  return r;
}

CBigInteger::Digits CBigInteger::Subtract(const Digits& larger, const Digits& smaller) {
  Digits r = larger;
  SubInPlace(r, smaller);
  return r;
}

CBigInteger::Digits CBigInteger::Multiply(const Digits& a, uint32_t limb) {
  Digits r = a;
  MulSmallInPlace(r, limb);
  return r;
}

CBigInteger::Digits CBigInteger::Multiply(const Digits& a, const Digits& b) {
  return MulLimbs(a, b);
}

void CBigInteger::Divide(const Digits& a, const Digits& b, Digits& quotient, Digits& remainder) {
  DivMod(a, b, quotient, remainder);
}

CBigInteger::Digits CBigInteger::ShiftLeft(const Digits& a, unsigned n) {
  Digits r = a;
  ShiftLeftInPlace(r, n);
  return r;
}

void CBigInteger::Pow10(unsigned n, Digits& out) { Pow10Limbs(n, out); }

void CBigInteger::Clean(Digits& a) { Trim(a); }

size_t CBigInteger::Position(const Digits& a) {
  uint32_t top = a.back();
  size_t d = 1;
  while (top >= 10) {
    top /= 10;
    ++d;
  }
  return d + (a.size() - 1) * 9;
}

void CBigInteger::Build(uint32_t value, Digits& out) { Build(static_cast<uint64_t>(value), out); }

void CBigInteger::Build(uint64_t value, Digits& out) {
  out.clear();
  do {
    out.push_back(static_cast<uint32_t>(value % kBase));
    value /= kBase;
  } while (value != 0);
}

void CBigInteger::Build(double magnitude, Digits& out) {
  // Decimal digits as double arithmetic yields them, least significant first.
  std::vector<unsigned char> digits;
  double d = std::ceil(magnitude - 0.5);
  while (d > 0) {
    digits.push_back(static_cast<unsigned char>(static_cast<int>(std::fmod(d, 10.0))));
    d = std::trunc(d * 0.1);
  }
  out.assign(digits.size() / 9 + 1, 0);
  for (size_t i = digits.size(); i-- > 0;) out[i / 9] += digits[i] * kPow10[i % 9];
  Trim(out);
}

void CBigInteger::Build(const unsigned short* text, size_t length, Digits& out) {
  out.assign(length / 9 + 1, 0);
  size_t limb = 0;
  size_t end = length;
  while (end > 0) {
    size_t start = end >= 9 ? end - 9 : 0;
    uint32_t v = 0;
    for (size_t i = start; i < end; ++i) v = v * 10 + static_cast<uint32_t>(text[i] - u'0');
    out[limb++] = v;
    end = start;
  }
  Trim(out);
}

}  // namespace VxVevAva5
