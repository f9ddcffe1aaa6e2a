// The value parsers. The first byte picks the parser; the rest is the text,
// one code unit per byte, except that 0xFF takes the next two bytes as one
// unit (little-endian), so every unit can be reached. An accepted value must
// print, read its own printed form back, and print the same again. The
// arithmetic selectors split the text at the first '|' into two operands and
// check identities that hold for exact arithmetic.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vxbind/conversions/Variant.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"

using namespace VxVevAva5;

namespace {

// Operands printed longer than this are not used in arithmetic: huge values
// are legitimately slow and would only slow the search down.
constexpr size_t kMaxArithmeticDigits = 300;

String DecodeText(const uint8_t* data, size_t size) {
  String text;
  text.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text.push_back(static_cast<unsigned short>(data[i + 1] | (data[i + 2] << 8)));
      i += 2;
    } else {
      text.push_back(data[i]);
    }
  }
  return text;
}

// True when an exponent in the text has more than four significant digits:
// such values have up to ten million digits, legitimately slow to build.
bool HasLargeExponent(const String& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != 'e' && text[i] != 'E') continue;
    size_t j = i + 1;
    int significant = 0;
    for (; j < text.size(); ++j) {
      unsigned short c = text[j];
      if (c >= '1' && c <= '9') ++significant;
      else if (c == '0') significant += significant > 0;
      else if (c != '+' && c != '-' && c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
    }
    if (significant > 4) return true;
  }
  return false;
}

// Runs `f`; false when it rejects with the library's exception. Any other
// exception escapes and ends the run as a finding.
template <class F>
bool Accepts(F f) {
  try {
    f();
    return true;
  } catch (const CVxException&) {
    return false;
  }
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// The operation must throw the library's exception (a zero divisor).
template <class F>
void ExpectRejected(F f) {
  Check(!Accepts(f));
}

void BigIntegerRoundTrip(const String& text) {
  CBigInteger value;
  if (!Accepts([&] { value.Parse(text.c_str()); })) return;
  String printed = value.ToString();
  CBigInteger again(printed.c_str());
  Check(again.ToString() == printed && again == value);
}

void BigIntegerArithmetic(const String& left, const String& right) {
  CBigInteger a, b;
  if (!Accepts([&] { a.Parse(left.c_str()); b.Parse(right.c_str()); })) return;
  if (a.ToString().size() > kMaxArithmeticDigits ||
      b.ToString().size() > kMaxArithmeticDigits) {
    return;
  }
  Check(a + b - b == a && a - b + b == a && a + b == b + a);
  CBigInteger product = a * b;
  Check(product == b * a);
  if (b.IsZero()) {
    Check(product.IsZero());
    ExpectRejected([&] { (void)(a / b); });
    ExpectRejected([&] { (void)(a % b); });
    ExpectRejected([&] { CBigInteger c = a; c /= b; });
    ExpectRejected([&] { CBigInteger c = a; c %= b; });
  } else {
    CBigInteger quotient = a / b, remainder = a % b;
    Check(quotient * b + remainder == a);
    Check(remainder.GetAbs() < b.GetAbs());
    Check(remainder.IsZero() || remainder.Signum() == a.Signum());
    Check(product / b == a);
    CBigInteger c = a;
    c /= b;
    Check(c == quotient);
  }
  CBigInteger magnitude = a.GetAbs();
  CBigInteger root = magnitude.SquareRoot();
  CBigInteger next = root + CBigInteger(1);
  Check(root * root <= magnitude && next * next > magnitude);
  if (a.Signum() < 0) ExpectRejected([&] { (void)a.SquareRoot(); });
  Check(CBigInteger(CDecimal(a)) == a);
}

void DecimalRoundTrip(const String& text, unsigned places) {
  CDecimal value;
  if (!Accepts([&] { value = CDecimal(text.c_str()); })) return;
  String printed = value.ToString();
  // A value rounded to the maximum number of places keeps that scale and may
  // print trailing zeros, which the reading drops: the value must survive,
  // and the second printed form must be a fixed point.
  CDecimal again(printed.c_str());
  String printedAgain = again.ToString();
  Check(again == value && CDecimal(printedAgain.c_str()).ToString() == printedAgain);
  if (printed.size() <= kMaxArithmeticDigits) {
    // A rounded form must read back as a number (its "-0.0" included).
    String rounded = value.ToString(static_cast<int>(places));
    CDecimal back(rounded.c_str());
    (void)back;
  }
}

void DecimalArithmetic(const String& left, const String& right) {
  CDecimal a, b;
  if (!Accepts([&] { a = CDecimal(left.c_str()); b = CDecimal(right.c_str()); })) return;
  if (a.ToString().size() > kMaxArithmeticDigits ||
      b.ToString().size() > kMaxArithmeticDigits) {
    return;
  }
  CDecimal sum = a + b, difference = a - b;
  Check(sum - b == a && difference + b == a && sum == b + a);
  Check((a < b) == (difference < CDecimal()) && (a == b) == (difference == CDecimal()));
  CDecimal product = a * b;
  Check(product == b * a);
  if (b == CDecimal()) {
    ExpectRejected([&] { (void)(a / b); });
    ExpectRejected([&] { CDecimal c = a; c /= b; });
  } else {
    CDecimal quotient = a / b;
    String printed = quotient.ToString();
    Check(CDecimal(printed.c_str()) == quotient);
  }
  // Rounding to an integer stays within one half.
  CDecimal rounded(a.ToBigInteger());
  CDecimal error = a - rounded;
  Check(error <= CDecimal(VX_T("0.5")) && error >= CDecimal(VX_T("-0.5")));
}

enum class DateParser { DateTime, Date, Time };

void DateTimeRoundTrip(const String& text, DateParser parser) {
  auto parse = [parser](CDateTime& value, const unsigned short* t) {
    switch (parser) {
      case DateParser::DateTime: value.ParseXSDDateTime(t); break;
      case DateParser::Date: value.ParseXSDDate(t); break;
      case DateParser::Time: value.ParseXSDTime(t); break;
    }
  };
  CDateTime value;
  if (!Accepts([&] { parse(value, text.c_str()); })) return;
  String printed = value.ToString();
  CDateTime again;
  parse(again, printed.c_str());
  Check(again.ToString() == printed && again.GetType() == value.GetType());
  Check(again.CompareTo(value) == CDateTime::DTCompare_Equal);
}

void DurationRoundTrip(const String& text) {
  CDateTimeSpan value;
  if (!Accepts([&] { value.ParseXSDDuration(text.c_str()); })) return;
  String printed = value.ToString();
  CDateTimeSpan again;
  again.ParseXSDDuration(printed.c_str());
  Check(again.ToString() == printed);
}

void BinaryRoundTrip(const String& text, bool hex) {
  CBinaryData value;
  if (!Accepts([&] {
        if (hex) value.SetAsHexString(text.c_str());
        else value.SetAsBase64(text.c_str());
      })) {
    return;
  }
  String asHex = value.GetAsHexString(), asBase64 = value.GetAsBase64();
  CBinaryData fromHex, fromBase64;
  fromHex.SetAsHexString(asHex.c_str());
  fromBase64.SetAsBase64(asBase64.c_str());
  Check(fromHex == value && fromBase64 == value);
  Check(fromHex.GetAsHexString() == asHex && fromBase64.GetAsBase64() == asBase64);
}

void VariantRoundTrip(const String& text, ItemType type, CWhitespaceUtils::WhitespaceRule rule) {
  VxVariant value;
  if ((type == ItemType_decimal || type == ItemType_integer) && HasLargeExponent(text)) return;
  if (!Accepts([&] { value.FromString(text, type, rule); })) return;
  Check(value.GetItemType() == type);
  String printed = value.ToString(nullptr);
  // A year is written without leading zeros ("999") but read as an XSD
  // gYear, which needs four digits: that round trip is not expected.
  if (type == ItemType_year) return;
  VxVariant again;
  again.FromString(printed, type, rule);
  if (type == ItemType_decimal) {
    // See DecimalRoundTrip: trailing zeros of a rounded value may go.
    Check(again.GetDecimal() == value.GetDecimal());
    printed = again.ToString(nullptr);
    again.FromString(printed, type, rule);
  }
  Check(again.ToString(nullptr) == printed);
  // Floating-point text written without a format reads back bit for bit.
  if (type == ItemType_r8) {
    double a = value.GetR8(), b = again.GetR8();
    Check(std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b));
  }
  if (type == ItemType_r4) {
    float a = value.GetR4(), b = again.GetR4();
    Check(std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b));
  }
  VxVariant copy(again);
  Check(copy.ToString(nullptr) == printed);
}

constexpr unsigned kFixedSelectors = 10;
constexpr unsigned kVariantTypes = 26;
constexpr unsigned kRules = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  unsigned selector = data[0] % (kFixedSelectors + kVariantTypes * kRules);
  String text = DecodeText(data + 1, size - 1);
  if (selector < 4 && HasLargeExponent(text)) return 0;
  size_t bar = text.find('|');
  String left = text.substr(0, bar);
  String right = bar == String::npos ? String() : text.substr(bar + 1);
  switch (selector) {
    case 0: BigIntegerRoundTrip(text); break;
    case 1: BigIntegerArithmetic(left, right); break;
    case 2: DecimalRoundTrip(left, right.empty() ? 2u : right[0] % 40u); break;
    case 3: DecimalArithmetic(left, right); break;
    case 4: DateTimeRoundTrip(text, DateParser::DateTime); break;
    case 5: DateTimeRoundTrip(text, DateParser::Date); break;
    case 6: DateTimeRoundTrip(text, DateParser::Time); break;
    case 7: DurationRoundTrip(text); break;
    case 8: BinaryRoundTrip(text, true); break;
    case 9: BinaryRoundTrip(text, false); break;
    default: {
      unsigned k = selector - kFixedSelectors;
      VariantRoundTrip(text, static_cast<ItemType>(k / kRules + 1),
                       static_cast<CWhitespaceUtils::WhitespaceRule>(k % kRules));
    }
  }
  return 0;
}
