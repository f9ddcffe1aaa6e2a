// XML Schema regular expressions, rewritten for PCRE2.
//
// An XSD pattern and a PCRE pattern share most of their syntax but not all
// of their meaning: '.', \d, \w and \s stand for other sets, '^' and '$' are
// ordinary characters, \i and \c (XML name characters), \p{IsBlock} (Unicode
// blocks) and class subtraction ([a-z-[aeiou]]) do not exist in PCRE, and
// PCRE accepts much that XSD refuses. The translation reads the XSD grammar
// and writes an equivalent PCRE2 pattern in ASCII (every character other
// than a letter or digit as \x{..}), meant for PCRE2_UTF | PCRE2_ANCHORED |
// PCRE2_ENDANCHORED. It is one pass over the input, with no recursion.
#ifndef VXBIND_CONVERSIONS_DETAIL_XSDPATTERN_H
#define VXBIND_CONVERSIONS_DETAIL_XSDPATTERN_H

#include <cstddef>
#include <string>

#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace detail {

// Translates the XSD pattern `xsd`. On success returns true with the PCRE2
// pattern in `pcre`. On a construct that XSD does not have, returns false
// with a reason in `error` (PCRE's style: "quantifier does not follow a
// repeatable item at offset 3", offsets in UTF-16 units of `xsd`); `pcre`
// is then unspecified. Unbalanced parentheses and out-of-range counts are
// left for PCRE2 to report.
bool TranslateXsdPattern(const String& xsd, std::string& pcre, std::string& error);

}  // namespace detail
}  // namespace VxVevAva5

#endif  // VXBIND_CONVERSIONS_DETAIL_XSDPATTERN_H
