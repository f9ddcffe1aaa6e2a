// FloatText.cpp - shortest floating-point text that reads back.
#include "vxbind/platform/detail/FloatText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace VxVevAva5 {
namespace FloatText {
namespace {

// Infinities and NaN are written as XSD spells them. A finite value is
// written with the fewest significant digits that read back to exactly that
// value (std::to_chars finds them), laid out as "%g" lays out its digits:
// positional notation for decimal exponents from -4 up to `positionalBelow`
// - 1, exponent notation with at least two exponent digits otherwise. With
// 16 (r8) and 7 (r4) this is the text of "%.16g" and "%.7g" whenever those
// have as few digits as needed, and more digits where those lose some.

// Longest shortest text: "-2.2250738585072014e-308" (24 characters), or a
// positional form such as "-0.00012345678901234567" (23).
constexpr size_t kShortestRoom = 32;

String SpecialFloating(bool nan, bool negative) {
  if (nan) return String(VX_T("NaN"));
  return String(negative ? VX_T("-INF") : VX_T("INF"));
}

String Widen(const char* first, const char* last) {
  String s(static_cast<size_t>(last - first), 0);
  std::copy(first, last, s.begin());
  return s;
}

// Lays out std::to_chars scientific text, [-]d[.ddd]e(+|-)dd[d], as above.
String LayOutShortest(const char* first, const char* last, int positionalBelow) {
  const char* e = std::find(first, last, 'e');
  int exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), last, exponent);
  if (exponent < -4 || exponent >= positionalBelow) return Widen(first, last);
  bool negative = *first == '-';
  char digits[kShortestRoom];
  int count = 0;
  for (const char* p = first + (negative ? 1 : 0); p != e; ++p)
    if (*p != '.') digits[count++] = *p;
  char out[kShortestRoom];
  char* o = out;
  if (negative) *o++ = '-';
  if (exponent < 0) {
    *o++ = '0';
    *o++ = '.';
    for (int i = -1; i > exponent; --i) *o++ = '0';
    for (int i = 0; i < count; ++i) *o++ = digits[i];
  } else {
    for (int i = 0; i <= exponent; ++i) *o++ = i < count ? digits[i] : '0';
    if (count > exponent + 1) {
      *o++ = '.';
      for (int i = exponent + 1; i < count; ++i) *o++ = digits[i];
    }
  }
  return Widen(out, o);
}

// True when the text reads back as `value` the way r4FromString reads it: as
// the nearest double, then narrowed to float.
bool ReadsBackAsFloat(const char* first, const char* last, float value) {
  double read = 0;
  std::from_chars(first, last, read);
  float back = static_cast<float>(read);
  return back == value && std::signbit(back) == std::signbit(value);
}

}  // namespace

String FromDouble(double value) {
  if (!std::isfinite(value)) return SpecialFloating(std::isnan(value), value < 0);
  char text[kShortestRoom];
  char* end = std::to_chars(text, text + sizeof(text), value, std::chars_format::scientific).ptr;
  return LayOutShortest(text, end, 16);
}

String FromFloat(float value) {
  if (!std::isfinite(value)) return SpecialFloating(std::isnan(value), value < 0);
  char text[kShortestRoom];
  char* end = std::to_chars(text, text + sizeof(text), value, std::chars_format::scientific).ptr;
  // The shortest text reads back as the same float when read as a float, but
  // the reading goes through double: rounding twice can land on the
  // neighbour (of all floats only +-7.038531e-26 do). More digits then; the
  // double's own shortest text always reads back.
  if (!ReadsBackAsFloat(text, end, value)) {
    int digits = static_cast<int>(std::count_if(text, std::find(text, end, 'e'),
                                                [](char c) { return c >= '0' && c <= '9'; }));
    bool found = false;
    for (int precision = digits; precision < 9 && !found; ++precision) {
      end = std::to_chars(text, text + sizeof(text), value, std::chars_format::scientific,
                          precision).ptr;
      found = ReadsBackAsFloat(text, end, value);
    }
    if (!found)
      end = std::to_chars(text, text + sizeof(text), static_cast<double>(value),
                          std::chars_format::scientific).ptr;
  }
  return LayOutShortest(text, end, 7);
}

}  // namespace FloatText
}  // namespace VxVevAva5
