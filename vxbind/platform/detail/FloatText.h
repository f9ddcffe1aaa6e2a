// -----------------------------------------------------------------------------
// File: detail/FloatText.h
// -----------------------------------------------------------------------------
//
// The text of a floating-point value that reads back exactly: the lexical
// conversions (r4ToString, r8ToString without a format) and the binary-data
// conversions of the X.891 float and double encodings both print this way.

#ifndef VXBIND_PLATFORM_DETAIL_FLOATTEXT_H
#define VXBIND_PLATFORM_DETAIL_FLOATTEXT_H

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace FloatText {

// INF, -INF and NaN as XSD spells them. A finite value with the fewest
// significant digits that read back to exactly that value, laid out as
// "%.16g" lays out its digits: positional notation for decimal exponents
// from -4 to 15, exponent notation with at least two exponent digits
// otherwise. Whenever "%.16g" has as few digits as needed, this is its text.
String FromDouble(double value);
// The same for a float (positional for exponents from -4 to 6, as "%.7g"):
// the text reads back as this float when read as the nearest double and
// then narrowed, as r4FromString reads it.
String FromFloat(float value);

}  // namespace FloatText
}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_DETAIL_FLOATTEXT_H
