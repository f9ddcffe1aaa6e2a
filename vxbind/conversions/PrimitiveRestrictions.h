// -----------------------------------------------------------------------------
// File: PrimitiveRestrictions.h
// -----------------------------------------------------------------------------
//
// CPrimitiveRestrictions: the XSD facets of one simple-typed member (a
// pattern, three length facets, four bounds and the two digit facets), and
// CheckFacets, which tests one value against them and throws when the value
// breaks a facet.
//
// Generated code builds one CPrimitiveRestrictions per restricted member and
// hands it to the member's metadata or primitive collection; it is shared by
// every object of the class. Which facets apply depends on the item type the
// check is made for:
//
//   item type                              facets
//   hexBinary, base64Binary                lengths, in bytes
//   string                                 lengths, in UTF-16 units; pattern
//   numbers, year/month/day, decimal,      the four bounds, read from their
//   integer, duration, date kinds          texts by the type's own conversion
//   decimal, integer and the integer       totalDigits and fractionDigits,
//   types (i1 .. ui8)                      counted in the value (see below)
//   boolean                                none
//
// The digit facets count the value, not its text: 1.50 and 01.5 have one
// fraction digit and two digits in all; 0.05 has two fraction digits and so
// needs totalDigits 2; 100 has three digits. (A value satisfies totalDigits
// n when it is i / 10^k with |i| < 10^n and 0 <= k <= n.)
//
//   CPrimitiveRestrictions code(VX_T("[A-Z]{2}\\d"), -1, -1, nullptr, nullptr,
//                               nullptr, nullptr, -1);
//   CheckFacets<ItemType_string>(VX_T("code"), String(VX_T("AB12")), code);
//   // throws CVxException "Invalid Value for code [AB12]"
//
// A pattern constrains the lexical form. A string value is its own lexical
// form, so CheckFacets tests the pattern of string (and QName) values;
// for the other types the text matters ("+123" and "0123" are the value
// 123), and only CheckTextPattern, given the text as read, tests it.
//
// Patterns are XML Schema regular expressions: they match the whole value,
// '^' and '$' are ordinary characters, '.' is any character but a line end,
// \d \w \s \i \c (and their complements), \p{Lu}, \p{IsBasicLatin} and
// character class subtraction ([a-z-[aeiou]]) mean what XML Schema says.
// PCRE syntax that XML Schema does not have (lazy or possessive quantifiers,
// anchors, back references, \b, \x.., (?...) groups) is refused.
//
// Cost. A pattern is translated and compiled (JIT where PCRE2 offers it)
// once, when the restrictions are constructed; a bound text is converted once
// per item type, the first time a value of that type is checked. An unusable
// pattern or bound text is reported by the checks that need it, each time,
// with the same exception a fresh conversion would give.
//
// Threads. Checks only read the restrictions: any number of threads may check
// values through one CPrimitiveRestrictions (or its copies) at once. Copies
// share the compiled pattern and the converted bounds.

#ifndef VXBIND_CONVERSIONS_PRIMITIVERESTRICTIONS_H
#define VXBIND_CONVERSIONS_PRIMITIVERESTRICTIONS_H

#include <cstdint>
#include <memory>
#include <type_traits>

#include "vxbind/conversions/Conversions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"

namespace VxVevAva5 {

namespace detail {
struct RestrictionState;
struct RestrictionAccess;
}  // namespace detail

// ItemTypeTraits<kType>: what generic code needs to know of an item type.
//   ValueType   the C++ type in which its values travel (the type of the
//               VxVariant getter of that kind)
//   ArgType     how functions take it: numbers by value, objects by const
//               reference
//   FromString  its reading conversion (CConversions), the whitespace rule
//               applied first; ui8 uses the signed 64-bit reading, as the
//               variant does
//   ToString    its writing conversion; `format` reaches r4, r8 and decimal
// Defined for item types 1..26 but char (22), and for the QName kinds (29, 30).
template <ItemType kType>
struct ItemTypeTraits;

namespace detail {
template <class T, bool kByValue>
struct ItemTypeTraitsOf {
  using ValueType = T;
  using ArgType = typename std::conditional<kByValue, T, const T&>::type;
  using Rule = CWhitespaceUtils::WhitespaceRule;
};
}  // namespace detail

#define VX_ITEM_TYPE_TRAITS(kType, T, byValue, reading, writing)           \
  template <>                                                              \
  struct ItemTypeTraits<kType> : detail::ItemTypeTraitsOf<T, byValue> {    \
    static T FromString(const String& text, Rule rule) { return reading; } \
    static String ToString(ArgType value, const unsigned short* format) {  \
      (void)format;                                                        \
      return writing;                                                      \
    }                                                                      \
  };
VX_ITEM_TYPE_TRAITS(ItemType_hexBinary, CBinaryData, false,
                    CConversions::hexBinaryFromString(text, rule),
                    CConversions::hexBinaryToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_base64Binary, CBinaryData, false,
                    CConversions::base64BinaryFromString(text, rule),
                    CConversions::base64BinaryToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_i1, char, true, CConversions::i1FromString(text, rule),
                    CConversions::i1ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_i2, short, true, CConversions::i2FromString(text, rule),
                    CConversions::i2ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_i4, int32_t, true, CConversions::i4FromString(text, rule),
                    CConversions::i4ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_i8, int64_t, true, CConversions::i8FromString(text, rule),
                    CConversions::i8ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_ui1, unsigned char, true, CConversions::ui1FromString(text, rule),
                    CConversions::ui1ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_ui2, unsigned short, true, CConversions::ui2FromString(text, rule),
                    CConversions::ui2ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_ui4, uint32_t, true, CConversions::ui4FromString(text, rule),
                    CConversions::ui4ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_ui8, uint64_t, true,
                    static_cast<uint64_t>(CConversions::i8FromString(text, rule)),
                    CConversions::ui8ToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_r4, float, true, CConversions::r4FromString(text, rule),
                    CConversions::r4ToString(value, format))
VX_ITEM_TYPE_TRAITS(ItemType_r8, double, true, CConversions::r8FromString(text, rule),
                    CConversions::r8ToString(value, format))
VX_ITEM_TYPE_TRAITS(ItemType_duration, CDateTimeSpan, false,
                    CConversions::durationFromString(text, rule),
                    CConversions::durationToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_yearMonth, CDateTime, false,
                    CConversions::yearMonthFromString(text, rule),
                    CConversions::dateToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_monthDay, CDateTime, false,
                    CConversions::monthDayFromString(text, rule), CConversions::dateToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_year, unsigned short, true, CConversions::yearFromString(text, rule),
                    CConversions::yearToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_month, unsigned char, true, CConversions::monthFromString(text, rule),
                    CConversions::monthToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_day, unsigned char, true, CConversions::dayFromString(text, rule),
                    CConversions::dayToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_date, CDateTime, false, CConversions::dateFromString(text, rule),
                    CConversions::dateToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_datetime, CDateTime, false,
                    CConversions::datetimeFromString(text, rule), CConversions::dateToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_time, CDateTime, false, CConversions::timeFromString(text, rule),
                    CConversions::dateToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_string, String, false, CConversions::stringFromString(text, rule),
                    CConversions::stringToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_boolean, bool, true, CConversions::booleanFromString(text, rule),
                    CConversions::booleanToString(value))
VX_ITEM_TYPE_TRAITS(ItemType_decimal, CDecimal, false, CConversions::decimalFromString(text, rule),
                    CConversions::decimalToString(value, format))
VX_ITEM_TYPE_TRAITS(ItemType_integer, CBigInteger, false,
                    CConversions::integerFromString(text, rule),
                    CConversions::integerToString(value))
// Only split: the prefix is resolved where the text stood, by the reader.
VX_ITEM_TYPE_TRAITS(ItemType_QName, CQName, false,
                    CQName::Parse(CWhitespaceUtils::ApplyRule(rule, text)), value.ToString())
VX_ITEM_TYPE_TRAITS(ItemType_QNameList, CQNameList, false,
                    CQName::ParseList(CWhitespaceUtils::ApplyRule(rule, text)),
                    CQName::ListToString(value))
#undef VX_ITEM_TYPE_TRAITS

class VXBIND_EXPORT CPrimitiveRestrictions {
 public:
  // No facet in force.
  CPrimitiveRestrictions();
  // The facets of a member; every text is copied and null stands for "".
  //   pattern       an XML Schema regular expression; "" for none
  //   minLength, maxLength, length
  //                 in bytes (binary) or UTF-16 units (string); -1 for none
  //                 (0 is a facet in force)
  //   minInclusive, maxInclusive, minExclusive, maxExclusive
  //                 the bound in the lexical form of the member's type; ""
  //                 for none
  // Never throws for a bad pattern or bound: the checks that use it do.
  CPrimitiveRestrictions(const unsigned short* pattern, int minLength, int maxLength,
                         const unsigned short* minInclusive, const unsigned short* maxInclusive,
                         const unsigned short* minExclusive, const unsigned short* maxExclusive,
                         int length);
  // The digit facets, -1 for none (0 is a fractionDigits in force); they
  // apply to decimal, integer and i1 .. ui8 values and are ignored for the
  // other types. Set before the restrictions are shared.
  int GetTotalDigits() const { return m_totalDigits; }
  int GetFractionDigits() const { return m_fractionDigits; }
  void SetDigits(int totalDigits, int fractionDigits) {
    m_totalDigits = totalDigits;
    m_fractionDigits = fractionDigits;
  }
  // Whether a pattern is in force.
  bool HasPattern() const { return !m_pattern.empty(); }
  // Copies share the compiled pattern and the converted bounds.
  CPrimitiveRestrictions(const CPrimitiveRestrictions& other);
  CPrimitiveRestrictions& operator=(const CPrimitiveRestrictions& other);
  virtual ~CPrimitiveRestrictions();

 private:
  friend struct detail::RestrictionAccess;

  String m_pattern;
  int m_minLength = -1;
  int m_maxLength = -1;
  String m_minInclusive;
  String m_maxInclusive;
  String m_minExclusive;
  String m_maxExclusive;
  int m_length = -1;
  int m_totalDigits = -1;
  int m_fractionDigits = -1;
  // The compiled pattern and the bounds converted per item type; immutable
  // but for the bound cache, which is filled with atomic publication.
  std::shared_ptr<detail::RestrictionState> m_state;
};

// The typed facet check of one item type (not char): `value` against the
// facets that apply to kType (see the table above), in the order minimum
// length, maximum length, length, pattern; or minimum inclusive, maximum
// inclusive, minimum exclusive, maximum exclusive, total digits, fraction
// digits. `name` (the member's
// element or attribute name) only appears in messages. Throws:
//   CVxException "Invalid Value for %s [%d]" (i1 i2 i4 ui1 ui2 ui4 year
//     month day; ui4 values above 2147483647 are shown unsigned), "Invalid
//     Value for %s [%f]" (r4 r8) or "Invalid Value for %s [%s]" (every other
//     type, the value in its lexical form; binary data as hexadecimal), with
//     the name and the value, when the first facet fails;
//   CVxException "Invalid Regular Expression: %s Error: '%s' for '%s'" (the
//     pattern, the reason, the name) for a pattern that cannot be used;
//   CVxException "Failed to match the pattern [%s] for %s: %s" (the
//     pattern, the name, PCRE2's reason) when matching the value would need
//     more than the matching limits allow, so that a pathological pattern
//     cannot hang the caller;
//   the conversion's exception for a bound text that does not convert;
//   CVxException "Invalid UTF-16 text: unpaired surrogate [0x%04X] at
//     position [%u]" for a string value a pattern cannot be applied to.
//
//   CheckFacets<ItemType_i4>(VX_T("quantity"), 12, restrictions);
template <ItemType kType>
VXBIND_EXPORT void CheckFacets(const unsigned short* name,
                               typename ItemTypeTraits<kType>::ArgType value,
                               const CPrimitiveRestrictions& restrictions);

// The dispatching check: takes the value out of `value` with the getter of
// `itemType` (the member's declared type, not the variant's) and runs that
// type's check. Item type char (22) and types outside 1..26 throw
// CVxInvalidValueException "unknown type [%s]" with value.GetType() (which
// itself throws for a variant that holds no primitive value).
VXBIND_EXPORT void CheckFacets(const unsigned short* name, const VxVariant& value,
                               ItemType itemType, const CPrimitiveRestrictions& restrictions);

// The pattern of a value of `itemType` read from `text`, tested against the
// text as read once `rule` is applied, when the type is one whose pattern
// CheckFacets does not test (every type but string and the QName kinds);
// nothing otherwise, or without pattern. Throws CVxException "Invalid Value
// for %s [%s]" with the name and the text (rule applied) when it does not
// match, and CheckFacets' pattern exceptions.
VXBIND_EXPORT void CheckTextPattern(const unsigned short* name, const String& text,
                                    CWhitespaceUtils::WhitespaceRule rule, ItemType itemType,
                                    const CPrimitiveRestrictions& restrictions);

// What reading checks of a value it converted from `text` when it
// validates: CheckTextPattern, then CheckFacets of `value`. Only a flag
// test when the restrictions have no facet; nothing for item type char.
VXBIND_EXPORT void CheckFacetsOnRead(const unsigned short* name, const String& text,
                                     CWhitespaceUtils::WhitespaceRule rule, const VxVariant& value,
                                     ItemType itemType, const CPrimitiveRestrictions& restrictions);

}  // namespace VxVevAva5

#endif  // VXBIND_CONVERSIONS_PRIMITIVERESTRICTIONS_H
