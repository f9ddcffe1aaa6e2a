#include "vxbind/conversions/PrimitiveRestrictions.h"

#include <atomic>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

constexpr auto kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

// Restrictions from UTF-8 texts; nullptr stands for "no facet".
CPrimitiveRestrictions Facets(const char* pattern, int minLength, int maxLength,
                              const char* minInclusive, const char* maxInclusive,
                              const char* minExclusive, const char* maxExclusive, int length) {
  auto text = [](const char* s) { return s ? U(s) : String(); };
  return CPrimitiveRestrictions(text(pattern).c_str(), minLength, maxLength,
                                text(minInclusive).c_str(), text(maxInclusive).c_str(),
                                text(minExclusive).c_str(), text(maxExclusive).c_str(), length);
}

CPrimitiveRestrictions Pattern(const char* pattern) {
  return Facets(pattern, -1, -1, nullptr, nullptr, nullptr, nullptr, -1);
}

// "ok", or the class and message of what the dispatching check threw.
std::string Check(const VxVariant& value, ItemType type, const CPrimitiveRestrictions& r) {
  try {
    CheckFacets(VX_T("v"), value, type, r);
    return "ok";
  } catch (const CVxException& e) {
    std::string kind =
        typeid(e) == typeid(CVxException) ? "" : std::string(typeid(e).name()) + ": ";
    return kind + ToUtf8(e.GetMessage());
  }
}

std::string CheckText(const char* text, ItemType type, const CPrimitiveRestrictions& r) {
  VxVariant v;
  v.FromString(U(text), type, kCollapse);
  return Check(v, type, r);
}

std::string CheckString(const String& value, const CPrimitiveRestrictions& r) {
  VxVariant v;
  v.SetString(value);
  return Check(v, ItemType_string, r);
}

struct BoundCase {
  ItemType type;
  const char* value;  // read as `type` with the collapse rule
  const char* minInclusive;
  const char* maxInclusive;
  const char* minExclusive;
  const char* maxExclusive;
  const char* expected;  // "ok" or the message
};

const BoundCase kBoundCases[] = {
    {ItemType_i4, "5", "5", nullptr, nullptr, nullptr, "ok"},
    {ItemType_i4, "5", nullptr, nullptr, "5", nullptr, "Invalid Value for v [5]"},
    {ItemType_i4, "10", nullptr, " 10 ", nullptr, nullptr, "ok"},  // bounds are collapsed
    {ItemType_i4, "11", nullptr, "\t10\n", nullptr, nullptr, "Invalid Value for v [11]"},
    {ItemType_i4, "9", nullptr, nullptr, nullptr, "10", "ok"},
    {ItemType_i4, "10", nullptr, nullptr, nullptr, "10", "Invalid Value for v [10]"},
    {ItemType_i4, "-2147483648", "-2147483648", "2147483647", nullptr, nullptr, "ok"},
    {ItemType_i1, "-5", "-4", nullptr, nullptr, nullptr, "Invalid Value for v [-5]"},
    {ItemType_i2, "-32768", nullptr, nullptr, "-32768", nullptr, "Invalid Value for v [-32768]"},
    {ItemType_ui1, "200", nullptr, "199", nullptr, nullptr, "Invalid Value for v [200]"},
    {ItemType_ui2, "65535", nullptr, nullptr, nullptr, "65535", "Invalid Value for v [65535]"},
    // Unsigned order: 4294967295 is above 1, and shown unsigned.
    {ItemType_ui4, "4294967295", nullptr, "1", nullptr, nullptr,
     "Invalid Value for v [4294967295]"},
    {ItemType_ui4, "4294967295", "1", nullptr, nullptr, nullptr, "ok"},
    {ItemType_i8, "-9223372036854775808", nullptr, nullptr, "-9223372036854775808", nullptr,
     "Invalid Value for v [-9223372036854775808]"},
    {ItemType_ui8, "18446744073709551615", nullptr, "1", nullptr, nullptr,
     "Invalid Value for v [18446744073709551615]"},
    {ItemType_ui8, "18446744073709551615", "9223372036854775808", nullptr, nullptr, nullptr, "ok"},
    {ItemType_r4, "0.5", nullptr, nullptr, nullptr, "0.5", "Invalid Value for v [0.500000]"},
    {ItemType_r4, "0.25", nullptr, nullptr, nullptr, "0.5", "ok"},
    {ItemType_r8, "1.5", "2", nullptr, nullptr, nullptr, "Invalid Value for v [1.500000]"},
    {ItemType_r8, "1e3", nullptr, "1000", nullptr, nullptr, "ok"},
    {ItemType_year, "2004", nullptr, "2000", nullptr, nullptr, "Invalid Value for v [2004]"},
    {ItemType_month, "--07", "--08", nullptr, nullptr, nullptr, "Invalid Value for v [7]"},
    {ItemType_day, "---03", nullptr, nullptr, nullptr, "---03", "Invalid Value for v [3]"},
    {ItemType_duration, "P1D", nullptr, "PT23H", nullptr, nullptr, "Invalid Value for v [P1D]"},
    // P1M against P30D is indeterminate: no bound fails on it.
    {ItemType_duration, "P1M", "P30D", "P30D", "P30D", "P30D", "ok"},
    {ItemType_date, "2004-02-29", "2004-03-01", nullptr, nullptr, nullptr,
     "Invalid Value for v [2004-02-29]"},
    {ItemType_date, "2004-02-29", nullptr, nullptr, nullptr, "2004-02-29Z", "ok"},
    {ItemType_date, "2004-02-29Z", nullptr, nullptr, nullptr, "2004-02-29Z",
     "Invalid Value for v [2004-02-29Z]"},
    {ItemType_datetime, "2004-02-29T12:00:00", nullptr, "2004-02-29T11:59:59", nullptr, nullptr,
     "Invalid Value for v [2004-02-29T12:00:00]"},
    {ItemType_time, "08:00:00", nullptr, nullptr, "08:00:00", nullptr,
     "Invalid Value for v [08:00:00]"},
    {ItemType_yearMonth, "2004-05", "2004-06", nullptr, nullptr, nullptr,
     "Invalid Value for v [2004-05]"},
    {ItemType_monthDay, "--05-31", nullptr, "--05-30", nullptr, nullptr,
     "Invalid Value for v [--05-31]"},
    {ItemType_decimal, "12.50", nullptr, "12.4", nullptr, nullptr, "Invalid Value for v [12.5]"},
    {ItemType_decimal, "12.40", nullptr, "12.4", nullptr, nullptr, "ok"},
    {ItemType_integer, "123456789012345678901234567890", nullptr, nullptr,
     "123456789012345678901234567890", nullptr,
     "Invalid Value for v [123456789012345678901234567890]"},
    // Bounds do not apply to strings, binary data or booleans.
    {ItemType_string, "zzz", "a", "b", "c", "d", "ok"},
    {ItemType_hexBinary, "FF", "a", "b", "c", "d", "ok"},
    {ItemType_boolean, "true", "a", "b", "c", "d", "ok"},
};

}  // namespace

TEST(CPrimitiveRestrictions, BoundsTable) {
  for (const BoundCase& c : kBoundCases) {
    SCOPED_TRACE(std::string(c.value) + " as item type " + std::to_string(c.type));
    CPrimitiveRestrictions r =
        Facets(nullptr, -1, -1, c.minInclusive, c.maxInclusive, c.minExclusive, c.maxExclusive, -1);
    EXPECT_EQ(CheckText(c.value, c.type, r), c.expected);
    EXPECT_EQ(CheckText(c.value, c.type, r), c.expected);  // from the converted bounds
  }
}

// Digits are counted in the value: leading and trailing zeros do not
// count, a fraction below 1 counts its leading zeros (0.05 needs two), the
// integer types have no fraction, and the extremes of the 64-bit types
// count every digit.
TEST(CPrimitiveRestrictions, DigitFacetsCountTheValuesDigits) {
  struct Case {
    ItemType type;
    const char* value;
    int totalDigits;
    int fractionDigits;
    bool ok;
  } cases[] = {
      {ItemType_decimal, "001.500", 2, 1, true},
      {ItemType_decimal, "1.05", 2, -1, false},
      {ItemType_decimal, "0.05", 1, -1, false},
      {ItemType_decimal, "0.05", 2, 2, true},
      {ItemType_decimal, "-0.050", -1, 1, false},
      {ItemType_decimal, "100", 3, 0, true},
      {ItemType_decimal, "1000.0", 3, -1, false},
      {ItemType_decimal, "0", 1, 0, true},
      {ItemType_integer, "-00999", 3, 0, true},
      {ItemType_integer, "1000", 3, -1, false},
      {ItemType_i1, "-128", 3, 0, true},
      {ItemType_i1, "-128", 2, -1, false},
      {ItemType_i8, "-9223372036854775808", 18, -1, false},
      {ItemType_i8, "-9223372036854775808", 19, 0, true},
      {ItemType_ui8, "18446744073709551615", 20, -1, true},
      {ItemType_ui8, "18446744073709551615", 19, -1, false},
      {ItemType_ui4, "4294967295", 9, -1, false},
      {ItemType_r8, "1.2345", 1, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.value) + " as item type " + std::to_string(c.type));
    CPrimitiveRestrictions r;
    r.SetDigits(c.totalDigits, c.fractionDigits);
    VxVariant v;
    if (c.type == ItemType_ui8)
      v.SetUI8(18446744073709551615u);  // beyond the signed reading of the text
    else
      v.FromString(U(c.value), c.type, kCollapse);
    std::string result = Check(v, c.type, r);
    if (c.ok)
      EXPECT_EQ(result, "ok");
    else
      EXPECT_EQ(result.find("Invalid Value for v ["), 0u) << result;
    // A copy keeps them; the pattern on the text is none of their business.
    CPrimitiveRestrictions copy = r;
    EXPECT_EQ(copy.GetTotalDigits(), c.totalDigits);
    EXPECT_EQ(copy.GetFractionDigits(), c.fractionDigits);
  }
}

// Reading tests a pattern against the text as written, whitespace rule
// applied, for the types whose values have other canonical forms; a string's
// value is its text, and CheckFacets tests it.
TEST(CPrimitiveRestrictions, ReadingTestsThePatternOnTheTextAsWritten) {
  CPrimitiveRestrictions three = Pattern("\\d{3}");
  auto onRead = [&](const char* text, ItemType type) {
    try {
      VxVariant v;
      v.FromString(U(text), type, kCollapse);
      CheckFacetsOnRead(VX_T("v"), U(text), kCollapse, v, type, three);
      return std::string("ok");
    } catch (const CVxException& e) {
      return ToUtf8(e.GetMessage());
    }
  };
  EXPECT_EQ(onRead(" 012 ", ItemType_i4), "ok");
  EXPECT_EQ(onRead("+12", ItemType_i4), "Invalid Value for v [+12]");
  EXPECT_EQ(onRead("0123", ItemType_i4), "Invalid Value for v [0123]");
  EXPECT_EQ(onRead("1.5", ItemType_decimal), "Invalid Value for v [1.5]");
  EXPECT_EQ(onRead("1234", ItemType_string), "Invalid Value for v [1234]");
  // Without the text, the value of an int is not tested against it.
  EXPECT_EQ(CheckText("+12", ItemType_i4, three), "ok");
}

TEST(CPrimitiveRestrictions, ABoundThatDoesNotConvertThrowsTheConversionsExceptionEveryTime) {
  CPrimitiveRestrictions r = Facets(nullptr, -1, -1, "0", "abc", nullptr, nullptr, -1);
  for (int i = 0; i < 2; ++i) {
    VxVariant v;
    v.SetI4(5);
    EXPECT_VX_THROW(CheckFacets(VX_T("v"), v, ItemType_i4, r), CVxInvalidValueException,
                    "The value [abc] can not be converted to a i4");
  }
  // The facets are tried in order: a value that breaks the minimum first
  // never reaches the bad maximum.
  EXPECT_VX_THROW(CheckFacets<ItemType_i4>(VX_T("v"), -1, r), CVxException,
                  "Invalid Value for v [-1]");
  // The same texts are fine for another type.
  EXPECT_EQ(CheckText("x", ItemType_string, r), "ok");
}

TEST(CPrimitiveRestrictions, LengthFacetsCountUtf16UnitsOrBytes) {
  struct Case {
    ItemType type;
    const char* value;
    int minLength, maxLength, length;
    const char* expected;
  } const cases[] = {
      {ItemType_string, "abc", -1, -1, 3, "ok"},
      {ItemType_string, "abcd", -1, -1, 3, "Invalid Value for v [abcd]"},
      {ItemType_string, "", 0, -1, -1, "ok"},  // 0 is a facet every value keeps
      {ItemType_string, "", 1, -1, -1, "Invalid Value for v []"},
      {ItemType_string, "abc", 4, -1, -1, "Invalid Value for v [abc]"},
      {ItemType_string, "abc", -1, 2, -1, "Invalid Value for v [abc]"},
      {ItemType_string, "abc", 3, 3, -1, "ok"},
      {ItemType_string, "\xF0\x9F\x98\x80", -1, -1, 2, "ok"},  // one code point, two units
      {ItemType_hexBinary, "00ff", -1, -1, 2, "ok"},
      {ItemType_hexBinary, "00ff", -1, -1, 3, "Invalid Value for v [00FF]"},
      {ItemType_base64Binary, "YWJj", -1, 2, -1, "Invalid Value for v [616263]"},
      {ItemType_base64Binary, "YWJj", 3, -1, -1, "ok"},
      {ItemType_i4, "5", 9, 9, 9, "ok"},  // no lengths for numbers
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    CPrimitiveRestrictions r =
        Facets(nullptr, c.minLength, c.maxLength, nullptr, nullptr, nullptr, nullptr, c.length);
    EXPECT_EQ(CheckText(c.value, c.type, r), c.expected);
  }
}

TEST(CPrimitiveRestrictions, PatternsMeanWhatXmlSchemaSays) {
  struct Case {
    const char* pattern;
    const char* value;
    bool matches;
  } const cases[] = {
      {"[A-Z]{2}\\d", "AB1", true},
      {"[A-Z]{2}\\d", "AB12", false},  // the match must reach the end
      {"[A-Z]{2}\\d", "xAB1", false},  // and start at the beginning
      {"\\i\\c*", "_x1", true}, {"\\i\\c*", "a:b", true}, {"\\i\\c*", "1a", false},
      {"\\i\\c*", "\xC3\xA9t\xC3\xA9-1.2", true},  // non-ASCII name characters
      {"\\\\i", "\\i", true},                      // an escaped backslash, then i
      {"\\\\i", "a", false},
      {"[\\i-[:]][\\c-[:]]*", "a:b", false},  // NCName
      {"[\\i-[:]][\\c-[:]]*", "a-b", true}, {"[a-z-[aeiou]]+", "bcd", true},
      {"[a-z-[aeiou]]+", "bad", false},
      {"[a-z-[b-y-[c]]]", "a", true},  // a-z less (b-y less c)
      {"[a-z-[b-y-[c]]]", "c", true}, {"[a-z-[b-y-[c]]]", "b", false}, {"[^a-z-[b]]", "b", false},
      {"[^a-z-[b]]", "B", true}, {"\\p{IsBasicLatin}+", "abc", true},
      {"\\p{IsBasicLatin}+", "\xC3\xA9", false}, {"\\P{IsBasicLatin}", "\xC3\xA9", true},
      {"\\p{IsLatin-1Supplement}", "\xC3\xA9", true}, {"\\p{IsPrivateUse}", "\xEE\x80\x80", true},
      {"\\p{IsHighSurrogates}?x", "x", true},  // a block without characters
      {"\\p{Lu}\\p{Ll}*", "Hello", true}, {"\\p{Lu}\\p{Ll}*", "hello", false},
      {"[\\p{Nd}-[5]]", "5", false}, {"[\\d-[5]]", "4", true},
      {"\\d+", "\xD9\xA1\xD9\xA2", true},  // Arabic-Indic digits are \d in XSD
      {"\\w", "_", false},                 // '_' is punctuation
      {"\\w", "$", true},                  // symbols are word characters
      {"\\W", "_", true}, {"\\s", " ", true},
      {"\\s", "\x0C", false},  // form feed is not XSD white space
      {"\\S", "\x0C", true},
      {"a|ab", "ab", true},  // the whole value, whichever branch gets there
      {"^a$", "^a$", true},  // '^' and '$' are ordinary characters
      {"^a$", "a", false}, {".", "x", true}, {".", "\n", false}, {".", "\r", false},
      {".", "\xF0\x9F\x98\x80", true},  // one character outside the BMP
      {"x{2,3}", "xx", true}, {"x{2,3}", "xxxx", false}, {"x{2,}", "xxxxx", true},
      {"x{0}", "", true}, {"(ab)?c", "abc", true}, {"(ab)?c", "ac", false}, {"[-a]+", "-a", true},
      {"[a-]+", "a-", true}, {"[\\-\\[\\]]+", "-[]", true}, {"a\\.b\\*", "a.b*", true},
      {"a\\nb\\tc", "a\nb\tc", true},
      {"Gr\xC3\xBC\xC3\x9F" "e\\d", "Gr\xC3\xBC\xC3\x9F" "e1", true}, {"#x20 ", "#x20 ", true},
      {"", "", true},  // no pattern facet at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.value);
    EXPECT_EQ(CheckString(U(c.value), Pattern(c.pattern)),
              c.matches ? "ok" : "Invalid Value for v [" + std::string(c.value) + "]");
  }
}

TEST(CPrimitiveRestrictions, UnusablePatternsFailEveryCheckWithTheirReason) {
  struct Case {
    const char* pattern;
    const char* reason;
  } const cases[] = {
      // PCRE2's own words
      {"(", "missing closing parenthesis"}, {"(a", "missing closing parenthesis"},
      {"a)", "unmatched closing parenthesis"}, {"a{99999}", "number too big in {} quantifier"},
      {"a{3,2}", "numbers out of order in {} quantifier"},
      // what XML Schema does not have
      {"*a", "quantifier does not follow a repeatable item at offset 0"},
      {"a**", "quantifier does not follow a repeatable item at offset 2"},
      {"a*?", "quantifier does not follow a repeatable item at offset 2"},
      {"a++", "quantifier does not follow a repeatable item at offset 2"},
      {"(?i)a", "quantifier does not follow a repeatable item at offset 1"},
      {"a|*", "quantifier does not follow a repeatable item at offset 2"},
      {"\\b", "\\b is not an XML Schema escape at offset 0"},
      {"a\\1", "\\1 is not an XML Schema escape at offset 1"},
      {"\\x41", "\\x is not an XML Schema escape at offset 0"},
      {"\\", "\\ at end of pattern at offset 0"},
      {"[a", "missing terminating ] for character class at offset 0"},
      {"[]", "empty character class at offset 1"}, {"[^]", "empty character class at offset 2"},
      {"[a[b]", "'[' must be escaped in a character class at offset 2"},
      {"[a-b-c]", "'-' must be escaped or start a range or a subtraction at offset 4"},
      {"[z-a]", "range out of order in character class at offset 2"},
      {"[a-\\d]", "invalid range in character class at offset 2"},
      {"[a-[b]", "a subtracted class must end its character class at offset 6"},
      {"a{,3}", "invalid quantifier at offset 1"}, {"a{1", "invalid quantifier at offset 1"},
      {"a]", "unescaped ']' at offset 1"},
      {"a}", "unescaped '}' at offset 1"},
      {"\\p{Foo}", "unknown property name after \\p or \\P at offset 0"},
      {"\\p{IsKlingon}", "unknown property name after \\p or \\P at offset 0"},
      {"\\p{Cs}", "unknown property name after \\p or \\P at offset 0"},
      {"\\pL", "malformed \\p or \\P sequence at offset 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    CPrimitiveRestrictions r = Pattern(c.pattern);  // constructing never throws
    std::string expected = "Invalid Regular Expression: " + std::string(c.pattern) + " Error: '" +
                           c.reason + "' for 'v'";
    EXPECT_EQ(CheckString(U("a"), r), expected);
    EXPECT_EQ(CheckString(U("b"), r), expected);
    // Other types never use the pattern.
    EXPECT_EQ(CheckText("1", ItemType_i4, r), "ok");
  }
  // An unpaired surrogate cannot be part of a pattern either.
  String lone = U("a");
  lone.push_back(0xD800);
  CPrimitiveRestrictions r(lone.c_str(), -1, -1, nullptr, nullptr, nullptr, nullptr, -1);
  EXPECT_NE(CheckString(U("a"), r).find("Error: 'unpaired surrogate at offset 1' for 'v'"),
            std::string::npos);
}

TEST(CPrimitiveRestrictions, APathologicalPatternStopsAtTheMatchLimit) {
  // Nested quantifiers against a value that almost matches: exponential
  // backtracking without a limit.
  CPrimitiveRestrictions r = Pattern("(a+)+");
  String value(40, u'a');
  value += u'!';
  EXPECT_EQ(CheckString(value, r),
            "Failed to match the pattern [(a+)+] for v: match limit exceeded");
  // A long value that the pattern takes in linear time is fine.
  EXPECT_EQ(CheckString(String(200000, u'a'), r), "ok");
  EXPECT_EQ(CheckString(String(200000, u'a'), Pattern("(ab|a)*")), "ok");
}

TEST(CPrimitiveRestrictions, AValueWithAnUnpairedSurrogateCannotBeMatched) {
  String value = U("a");
  value.push_back(0xDC00);
  EXPECT_EQ(CheckString(value, Pattern(".*")),
            "Invalid UTF-16 text: unpaired surrogate [0xDC00] at position [1]");
  // Without a pattern nothing needs the text as UTF-8.
  EXPECT_EQ(CheckString(value, Facets(nullptr, 2, 2, nullptr, nullptr, nullptr, nullptr, 2)), "ok");
}

TEST(CPrimitiveRestrictions, TheDispatchingCheckRefusesCharAndUnknownTypes) {
  VxVariant c;
  c.SetChar(u'x');
  EXPECT_VX_THROW(CheckFacets(VX_T("v"), c, ItemType_char, CPrimitiveRestrictions()),
                  CVxInvalidValueException, "unknown type [char]");
  VxVariant i;
  i.SetI4(1);
  EXPECT_VX_THROW(CheckFacets(VX_T("v"), i, ItemType_XmlObject, CPrimitiveRestrictions()),
                  CVxInvalidValueException, "unknown type [i4]");
  EXPECT_VX_THROW(CheckFacets(VX_T("v"), i, static_cast<ItemType>(99), CPrimitiveRestrictions()),
                  CVxInvalidValueException, "unknown type [i4]");
  // A variant without a primitive value has no type name to show.
  EXPECT_VX_THROW(CheckFacets(VX_T("v"), VxVariant(), ItemType_char, CPrimitiveRestrictions()),
                  CVxException, "Invalid Type 0");
  // The declared type decides, not the variant's: an i4 checked as ui4.
  i.SetI4(-1);
  EXPECT_EQ(Check(i, ItemType_ui4, Facets(nullptr, -1, -1, nullptr, "5", nullptr, nullptr, -1)),
            "Invalid Value for v [4294967295]");
}

TEST(CPrimitiveRestrictions, CopiesShareTheCompiledStateAndOutliveTheOriginal) {
  CPrimitiveRestrictions copy;
  {
    CPrimitiveRestrictions original =
        Facets("\\d{3}", -1, -1, "100", nullptr, nullptr, nullptr, -1);
    EXPECT_EQ(CheckText("099", ItemType_string, original), "ok");
    copy = original;
    CPrimitiveRestrictions another(original);
    EXPECT_EQ(CheckText("12", ItemType_string, another), "Invalid Value for v [12]");
  }
  EXPECT_EQ(CheckText("123", ItemType_string, copy), "ok");
  EXPECT_EQ(CheckText("12a", ItemType_string, copy), "Invalid Value for v [12a]");
  EXPECT_EQ(CheckText("99", ItemType_i4, copy), "Invalid Value for v [99]");
  copy = CPrimitiveRestrictions();
  EXPECT_EQ(CheckText("12a", ItemType_string, copy), "ok");
}

TEST(CPrimitiveRestrictions, TwoThreadsCheckThroughOneSharedRestriction) {
  // Fresh restrictions, so that the two threads also race to convert the
  // bounds for the first time.
  for (int round = 0; round < 20; ++round) {
    const CPrimitiveRestrictions shared =
        Facets("[A-Z]{2}\\d+", -1, 8, "0", nullptr, nullptr, "1000", -1);
    std::atomic<int> wrong{0};
    auto work = [&](int seed) {
      for (int i = 0; i < 300; ++i) {
        int n = (i * 37 + seed) % 1200 - 100;
        bool inRange = n >= 0 && n < 1000;
        try {
          CheckFacets<ItemType_i4>(VX_T("n"), n, shared);
          if (!inRange) ++wrong;
        } catch (const CVxException&) {
          if (inRange) ++wrong;
        }
        String code = U(i % 3 == 0 ? "ab1" : "AB12");
        try {
          CheckFacets<ItemType_string>(VX_T("code"), code, shared);
          if (i % 3 == 0) ++wrong;
        } catch (const CVxException&) {
          if (i % 3 != 0) ++wrong;
        }
      }
    };
    std::thread a(work, 1);
    std::thread b(work, 2);
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
  }
}
