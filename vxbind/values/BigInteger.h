// -----------------------------------------------------------------------------
// File: BigInteger.h
// -----------------------------------------------------------------------------
//
// CBigInteger: an arbitrary-precision signed integer, the value of the XSD
// integer type and the unscaled value inside every CDecimal.
//
// The magnitude is kept in base 10^9 limbs (nine decimal digits each, least
// significant first), so reading and writing decimal text are linear in the
// number of digits, and arithmetic is the schoolbook method on limbs
// (multiplication O(n*m), long division O(n*m)). A 10-million-digit text reads
// and writes in well under a second and uses heap only.
//
// Sign rules: the sign is 1 or -1. Zero normally has sign 1, but Negate() and
// the unary minus flip it on zero as well; such a "negative zero" still prints
// "0" and compares equal to zero. Division truncates toward zero; the
// remainder takes the sign of the dividend (7 / -2 == -3, -7 % 2 == -1).
//
// Failures (division by zero, square root of a negative value, conversions
// out of range, unreadable text) throw CVxInvalidValueException and leave the
// operands unchanged; so does running out of memory, with std::bad_alloc.

#ifndef VXBIND_VALUES_BIGINTEGER_H
#define VXBIND_VALUES_BIGINTEGER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CDecimal;

class VXBIND_EXPORT CBigInteger {
 public:
  // Built when the library is loaded, destroyed when it is unloaded.
  static const CBigInteger MAX_LONG;      // 2147483647
  static const CBigInteger MIN_LONG;      // -2147483648
  static const CBigInteger MAX_LONGLONG;  // 9223372036854775807
  static const CBigInteger MIN_LONGLONG;  // -9223372036854775808
  static const CBigInteger MAX_DOUBLE;    // the integer part of 1.7E+308
  static const CBigInteger MIN_DOUBLE;    // the integer part of -1.7E+308

  CBigInteger();  // 0
  CBigInteger(int value);
  CBigInteger(int64_t value);
  // The magnitude is rounded with ceil(|d| - 0.5) and its digits taken with
  // fmod/0.1 steps in double arithmetic (so very large doubles keep only the
  // digits that double arithmetic yields). NaN and infinities throw
  // CVxInvalidValueException.
  CBigInteger(double value);
  // See Parse.
  CBigInteger(const unsigned short* text);
  // The decimal rounded to an integer (to nearest, ties toward zero).
  CBigInteger(const CDecimal& value);
  CBigInteger(const CBigInteger& other) = default;
  CBigInteger(CBigInteger&& other) noexcept = default;
  CBigInteger& operator=(const CBigInteger& other) = default;
  CBigInteger& operator=(CBigInteger&& other) noexcept = default;
  ~CBigInteger() = default;

  // Replaces the value with the one written in `text` (null reads as "").
  // A text made only of digits, "+", "-", space, tab, line feed and carriage
  // return is read as an integer: spaces are trimmed at both ends, an empty
  // or all-space text is 0, otherwise one optional "+" or "-" and at least
  // one digit must remain; anything else there throws
  // "The string representing a BigInteger, contained an invalid char at
  // position %d [%s]". Any other text is read as a CDecimal (a fraction or an
  // exponent is allowed), rounded to nearest with ties toward zero; its
  // errors pass through. On failure the value is unchanged.
  void Parse(const unsigned short* text);

  CBigInteger operator+(const CBigInteger& rhs) const;
  CBigInteger operator-(const CBigInteger& rhs) const;
  CBigInteger operator*(const CBigInteger& rhs) const;
  // Truncates toward zero. A zero divisor throws
  // "ERROR: Overflow in operator/!".
  CBigInteger operator/(const CBigInteger& rhs) const;
  // The sign of the dividend. A zero divisor throws
  // "ERROR: Overflow in operator%!".
  CBigInteger operator%(const CBigInteger& rhs) const;
  CBigInteger& operator+=(const CBigInteger& rhs);
  CBigInteger& operator-=(const CBigInteger& rhs);
  CBigInteger& operator*=(const CBigInteger& rhs);
  // A zero divisor throws "ERROR: Overflow in operator /=!".
  CBigInteger& operator/=(const CBigInteger& rhs);
  // A zero divisor throws "ERROR: Overflow in operator%=!".
  CBigInteger& operator%=(const CBigInteger& rhs);

  // Flips the sign IN PLACE and returns this object (so `-x` changes x).
  CBigInteger& operator-();
  // Sign becomes -1 if it was 1, else 1 (zero included).
  CBigInteger& Negate();
  // Sign becomes 1.
  CBigInteger& Abs();
  CBigInteger GetAbs() const;
  CBigInteger GetNegative() const;

  // The integer square root, rounded down. A negative value throws
  // "ERROR: Negative Number in function SquareRoot()!".
  CBigInteger SquareRoot() const;
  // 10 to the n.
  static CBigInteger Pow10(unsigned n);

  // Zero compares equal to zero whatever its sign.
  bool operator==(const CBigInteger& rhs) const { return CompareTo(rhs) == 0; }
  bool operator!=(const CBigInteger& rhs) const { return CompareTo(rhs) != 0; }
  bool operator<(const CBigInteger& rhs) const { return CompareTo(rhs) < 0; }
  bool operator>(const CBigInteger& rhs) const { return CompareTo(rhs) > 0; }
  bool operator<=(const CBigInteger& rhs) const { return CompareTo(rhs) <= 0; }
  bool operator>=(const CBigInteger& rhs) const { return CompareTo(rhs) >= 0; }

  // Decimal digits, "-" first when negative; zero is "0".
  String ToString() const;

  // Outside -2147483648..2147483647 throws "ERROR: Domain in operator int()!".
  // Explicit, so that mixed expressions such as `x == 5` stay unambiguous.
  explicit operator int() const;
  // Outside the signed 64-bit range throws the same
  // "ERROR: Domain in operator int()!".
  explicit operator int64_t() const;

  // True for zero of either sign.
  bool IsZero() const { return m_digits.size() == 1 && m_digits[0] == 0; }
  // -1 for a negative non-zero value, 0 for zero, 1 otherwise.
  int Signum() const { return IsZero() ? 0 : m_sign; }

  // The limbs of a magnitude: a vector of uint32_t that keeps up to
  // kInline of them in place (every value of up to 18 decimal digits) and
  // takes heap storage only beyond. The subset of std::vector that the
  // arithmetic uses; growing throws std::bad_alloc and leaves the limbs as
  // they were.
  class VXBIND_EXPORT Digits {
   public:
    static constexpr uint32_t kInline = 2;

    Digits() noexcept = default;
    Digits(size_t n, uint32_t value) { assign(n, value); }
    Digits(const uint32_t* first, const uint32_t* last);
    Digits(const Digits& other) : Digits(other.begin(), other.end()) {}
    Digits(Digits&& other) noexcept { Steal(other); }
    Digits& operator=(const Digits& other);
    Digits& operator=(Digits&& other) noexcept {
      if (this != &other) {
        Free();
        Steal(other);
      }
      return *this;
    }
    ~Digits() { Free(); }

    size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    uint32_t* data() noexcept { return m_data; }
    const uint32_t* data() const noexcept { return m_data; }
    uint32_t* begin() noexcept { return m_data; }
    uint32_t* end() noexcept { return m_data + m_size; }
    const uint32_t* begin() const noexcept { return m_data; }
    const uint32_t* end() const noexcept { return m_data + m_size; }
    uint32_t& operator[](size_t i) noexcept { return m_data[i]; }
    uint32_t operator[](size_t i) const noexcept { return m_data[i]; }
    uint32_t& back() noexcept { return m_data[m_size - 1]; }
    uint32_t back() const noexcept { return m_data[m_size - 1]; }

    void reserve(size_t n) {
      if (n > m_capacity) Grow(n);
    }
    void clear() noexcept { m_size = 0; }
    void push_back(uint32_t value) {
      if (m_size == m_capacity) Grow(m_size + 1);
      m_data[m_size++] = value;
    }
    void pop_back() noexcept { --m_size; }
    void resize(size_t n, uint32_t value = 0) {
      reserve(n);
      for (size_t i = m_size; i < n; ++i) m_data[i] = value;
      m_size = static_cast<uint32_t>(n);
    }
    void assign(size_t n, uint32_t value) {
      reserve(n);
      for (size_t i = 0; i < n; ++i) m_data[i] = value;
      m_size = static_cast<uint32_t>(n);
    }
    // `n` copies of `value` before `position`.
    void insert(uint32_t* position, size_t n, uint32_t value);
    void erase(uint32_t* first, uint32_t* last) noexcept;

   private:
    bool OnHeap() const noexcept { return m_data != m_inline; }
    void Free() noexcept;
    void Steal(Digits& other) noexcept;
    // Room for at least `n` limbs (more when growing one by one).
    void Grow(size_t n);

    uint32_t* m_data = m_inline;
    uint32_t m_size = 0;
    uint32_t m_capacity = kInline;
    uint32_t m_inline[kInline] = {};
  };

 protected:
  // A magnitude: base 10^9 limbs, least significant first. Normalized: no
  // most-significant zero limbs except the single limb 0 of zero.
  static constexpr uint32_t kBase = 1000000000u;
  static constexpr unsigned kDigitsPerLimb = 9;

  // `digits` is cleaned; sign must be 1 or -1.
  CBigInteger(int sign, Digits digits);

  // Operations on magnitudes.
  static int Compare(const Digits& a, const Digits& b);  // -1, 0, 1
  static Digits Add(const Digits& a, const Digits& b);
  static Digits Subtract(const Digits& larger, const Digits& smaller);
  static Digits Multiply(const Digits& a, uint32_t limb);  // limb < kBase
  static Digits Multiply(const Digits& a, const Digits& b);
  // b must not be zero.
  static void Divide(const Digits& a, const Digits& b, Digits& quotient, Digits& remainder);
  // Multiplies by 10 to the n.
  static Digits ShiftLeft(const Digits& a, unsigned n);
  static void Pow10(unsigned n, Digits& out);
  // Drops most-significant zero limbs, keeping one.
  static void Clean(Digits& a);
  // Number of decimal digits, at least 1.
  static size_t Position(const Digits& a);
  static void Build(uint32_t value, Digits& out);
  static void Build(uint64_t value, Digits& out);
  static void Build(double magnitude, Digits& out);
  // `text` holds `length` ASCII digits, most significant first.
  static void Build(const unsigned short* text, size_t length, Digits& out);

 private:
  friend class CDecimal;

  int CompareTo(const CBigInteger& rhs) const;
  static CBigInteger AddSigned(const CBigInteger& a, const Digits& b, int bSign);
  uint64_t MagnitudeOrMax() const;  // the magnitude, or UINT64_MAX if larger

  // Magnitude helpers for CDecimal; the sign is left alone.
  void MulPow10(unsigned k);  // magnitude *= 10^k
  // magnitude /= 10^k, truncated; returns the remainder compared with half
  // of 10^k (-1, 0 or 1). k must be at least 1.
  int DivPow10(unsigned k);
  void IncrementMagnitude();  // magnitude += 1
  // Number of trailing zero decimal digits, at most `limit`.
  unsigned TrailingZeros(unsigned limit) const;
  void AppendMagnitude(String& out) const;

  int m_sign = 1;
  Digits m_digits = Digits(1, 0);
};

}  // namespace VxVevAva5

#endif  // VXBIND_VALUES_BIGINTEGER_H
