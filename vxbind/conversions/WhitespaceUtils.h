// -----------------------------------------------------------------------------
// File: WhitespaceUtils.h
// -----------------------------------------------------------------------------
//
// CWhitespaceUtils: the XSD whitespace facet, applied to a text before it is
// converted to a value. Every reading conversion takes a WhitespaceRule and
// calls ApplyRule first.
//
// Whitespace is exactly four UTF-16 units: space, tab, carriage return and
// line feed. The carriage return is special in every rule: it is always
// removed, never turned into a space (an XML parser has already turned line
// ends into line feeds, so a carriage return that is left is dropped).
//
// Static operations only, no state: callable from any thread.

#ifndef VXBIND_CONVERSIONS_WHITESPACEUTILS_H
#define VXBIND_CONVERSIONS_WHITESPACEUTILS_H

#include <cstdint>

#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class VXBIND_EXPORT CWhitespaceUtils {
 public:
  // Stored by generated code: the values are fixed.
  enum WhitespaceRule : int32_t {
    WhitespaceRule_Preserve = 0,  // keep the text, less carriage returns
    WhitespaceRule_Replace = 1,   // each whitespace unit becomes one space
    WhitespaceRule_Collapse = 2,  // as Replace, runs become one space, none at the ends
  };

  // True for U+0020, U+0009, U+000D and U+000A.
  static bool IsWhiteSpace(unsigned short c) {
    return c == 0x20 || c == 0x09 || c == 0x0D || c == 0x0A;
  }

  // The first `count` units of `text` with every U+000D removed. A count of 0
  // gives "" (text may then be null). A negative count, or a null text with a
  // positive count, throws CVxInvalidParamException.
  static String Preserve(const unsigned short* text, int count);
  // The same on a whole string; a text without U+000D is copied unchanged.
  static String Preserve(const String& text);
  // Tab, line feed and space each become one space; U+000D is dropped.
  static String Replace(const String& text);
  // As Replace, then runs of spaces become one space and none is left at
  // either end. A U+000D inside a run does not split it ("a", CR, "b" -> "ab").
  static String Collapse(const String& text);
  // Rule 0 Preserve, 1 Replace, 2 Collapse; any other value throws
  // CVxException "Unknown WhitespaceRule".
  static String ApplyRule(WhitespaceRule rule, const String& text);
};

}  // namespace VxVevAva5

#endif  // VXBIND_CONVERSIONS_WHITESPACEUTILS_H
