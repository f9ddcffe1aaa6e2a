// Facets of atomic values checked when reading validates, through the
// classes generated from data/validate_facets.xsd: each facet refused at
// the element that breaks it (its line and column), the same documents read
// as before without validation, and the pattern tested on the text as
// written rather than on the value's canonical form.
#include "validate_facets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "GeneratedTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

using Outcome = ReadOutcome;

template <class Root>
Outcome Read(const std::string& xml, bool validate) {
  return ReadOutcomeOf<Root>(xml, validate);
}

// A record: its attributes, then each child on a line of its own (line 2
// on), indented by two spaces (column 3).
std::string Record(const std::string& attributes, const std::string& children) {
  return "<record xmlns='urn:vf'" + attributes + ">\n  <code>123</code>\n  " + children +
         "\n</record>";
}

const std::string kRecord = "Failed to process the element [record]\n";

TEST(ValidateFacets, ValuesAtTheirLimitsAreRead) {
  // Lexical forms that the facets allow: leading zeros and trailing
  // fraction zeros do not count as digits, whitespace goes before the
  // pattern, an empty defaulted element and the fixed value's other
  // spellings.
  const std::string xml = Record(
      " id='012' rate='999.99' version='1.00'",
      "<percent>100</percent><name>ab</name><amount> 0012.300 </amount><small>-999</small>"
      "<pair>\n  AB \t CD </pair><day>2000-01-01</day><price currency='EUR'>0.05</price>"
      "<cheap>10.00</cheap>"
      "<score>0</score><score>100</score><ref>001</ref><ref>999</ref><level/><unit>kg</unit>");
  EXPECT_EQ(Read<ValidateFacets::CRecord>(xml, true).message, "");
  CSmartPtr<ValidateFacets::CRecord> record = ReadAs<ValidateFacets::CRecord>(xml);
  EXPECT_EQ(record->GetId(), 12);
  EXPECT_EQ(U8(record->GetAmount().ToString()), "12.3");
  EXPECT_EQ(record->GetLevel(), 50);
  // What validation accepted, writing accepts.
  EXPECT_EQ(Failure([&] { record->ToXml(); }), "");
}

TEST(ValidateFacets, EachFacetIsRefusedAtItsElementOnlyWhenValidating) {
  struct Case {
    std::string attributes;
    std::string children;
    std::string message;  // after the record's own line
    uint32_t line;
    uint32_t column;
  } cases[] = {
      // A pattern on an int constrains the text: +123 and 0123 are 123.
      {"", "<ref>+12</ref>", "Invalid Value for ref [+12]", 3, 3},
      {"", "<ref>100</ref><ref>0123</ref>", "Invalid Value for ref [0123]", 3, 17},
      {" id='+123'", "", "Invalid Value for id [+123]", 1, 1},
      {"", "<percent>101</percent>", "Invalid Value for percent [101]", 3, 3},
      {"", "<name>a</name>", "Invalid Value for name [a]", 3, 3},
      {"", "<name>abcdef</name>", "Invalid Value for name [abcdef]", 3, 3},
      // Digits: three fraction digits (the last a zero does not count),
      // six in all, four of an integer.
      {"", "<amount>1.235</amount>", "Invalid Value for amount [1.235]", 3, 3},
      {"", "<amount>1234.5</amount><small>1</small>", "", 0, 0},
      {"", "<amount>12345.6</amount>", "Invalid Value for amount [12345.6]", 3, 3},
      {" rate='0.001'", "", "Invalid Value for rate [0.001]", 1, 1},
      {"", "<small>1000</small>", "Invalid Value for small [1000]", 3, 3},
      // The pattern after whiteSpace collapse; a date's pattern on its text
      // (no time zone), its bound on its value.
      {"", "<pair>AB</pair>", "Invalid Value for pair [AB]", 3, 3},
      {"", "<day> 2020-01-01Z </day>", "Invalid Value for day [2020-01-01Z]", 3, 3},
      {"", "<day>1999-12-31</day>", "Invalid Value for day [1999-12-31]", 3, 3},
      // Simple content: the text and the attribute, at the price element.
      {"", "<price>1.001</price>",
       "Failed to process the element [price]\n"
       "Invalid Value for price [1.001]",
       3, 3},
      {"", "<price currency='E'>1</price>",
       "Failed to process the element [price]\nInvalid Value for currency [E]", 3, 3},
      // A restriction of simple content: its own bound and its base's digits.
      {"", "<cheap>10.5</cheap>",
       "Failed to process the element [cheap]\nInvalid Value for cheap [10.5]", 3, 3},
      {"", "<cheap>1.005</cheap>",
       "Failed to process the element [cheap]\nInvalid Value for cheap [1.005]", 3, 3},
      // A defaulted element's text when it has one.
      {"", "<level>101</level>", "Invalid Value for level [101]", 3, 3},
  };
  for (const Case& c : cases) {
    const std::string xml = Record(c.attributes, c.children);
    Outcome on = Read<ValidateFacets::CRecord>(xml, true);
    EXPECT_EQ(on.message, c.message.empty() ? "" : kRecord + c.message) << c.children;
    EXPECT_EQ(on.line, c.line) << c.children;
    EXPECT_EQ(on.column, c.column) << c.children;
    // Without the setting, read as before.
    EXPECT_EQ(Read<ValidateFacets::CRecord>(xml, false).message, "") << c.children;
  }
}

TEST(ValidateFacets, RepeatedElementsAndFixedValuesAreCheckedEitherWay) {
  // A collection checks each value it is given, reading too; the failing
  // item's own position is reported, not the run's first.
  struct Case {
    std::string attributes;
    std::string children;
    std::string message;
    uint32_t line;
    uint32_t column;
  } cases[] = {
      {"", "<score>5</score>\n  <score>101</score>", "Invalid Value for score [101]", 4, 3},
      {"", "<unit>g</unit>", "Invalid value [g] for [unit]: its value is fixed as [kg]", 3, 3},
      {" version='2'", "", "Invalid value [2] for [version]: its value is fixed as [1]", 1, 1},
  };
  for (const Case& c : cases)
    for (bool validate : {false, true}) {
      Outcome outcome = Read<ValidateFacets::CRecord>(Record(c.attributes, c.children), validate);
      EXPECT_EQ(outcome.message, kRecord + c.message) << c.children;
      EXPECT_EQ(outcome.line, c.line) << c.children;
      EXPECT_EQ(outcome.column, c.column) << c.children;
    }
}

TEST(ValidateFacets, ChoiceAndAllGroupMembersAreChecked) {
  const std::string either = "<either xmlns='urn:vf'>\n <percent>-1</percent></either>";
  Outcome outcome = Read<ValidateFacets::CEither>(either, true);
  EXPECT_EQ(outcome.message,
            "Failed to process the element [either]\nInvalid Value for percent [-1]");
  EXPECT_EQ(outcome.line, 2u);
  EXPECT_EQ(outcome.column, 2u);
  EXPECT_EQ(Read<ValidateFacets::CEither>(either, false).message, "");

  const std::string every = "<every xmlns='urn:vf'><name>ab</name>\n<code>1234</code></every>";
  outcome = Read<ValidateFacets::CEvery>(every, true);
  EXPECT_EQ(outcome.message,
            "Failed to process the element [every]\nInvalid Value for code [1234]");
  EXPECT_EQ(outcome.line, 2u);
  EXPECT_EQ(outcome.column, 1u);
  EXPECT_EQ(Read<ValidateFacets::CEvery>(every, false).message, "");
}

TEST(ValidateFacets, WritingRefusesTheDigitFacetsAsReadingDoes) {
  CSmartPtr<ValidateFacets::CRecord> record =
      ReadAs<ValidateFacets::CRecord>(Record("", "<amount>1.5</amount>"));
  record->SetAmount(CDecimal(VX_T("1.255")));
  EXPECT_NE(Failure([&] { record->ToXml(); }).find("Invalid Value for amount [1.255]"),
            std::string::npos);
  record->SetAmount(CDecimal(VX_T("123.25")));
  EXPECT_EQ(Failure([&] { record->ToXml(); }), "");
}

}  // namespace
