// Lists and unions read with validation, through the classes generated at
// build time from data/validate_lists.xsd: each item against the item type,
// each value against the member types in order, the length facets counting
// items and the enumerations in the value space; without validation they
// read as their text, as always.
#include "validate_lists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "GeneratedTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

const std::string kHead = "<record xmlns='urn:vlists'";
const std::string kCounts = "<counts>1 2</counts>";
const std::string kSize = "<size>3</size>";

// `body` inside the record, after its start tag's `attributes`.
std::string Record(const std::string& body, const std::string& attributes = "") {
  return kHead + attributes + ">\n" + body + "\n</record>";
}

CSmartPtr<ValidateLists::CRecord> ReadValidating(const std::string& xml) {
  CXmlSerializationContext context;
  context.SetValidateOnRead(true);
  CSmartPtr<ValidateLists::CRecord> record = new ValidateLists::CRecord;
  record->FromXml(xml.c_str(), context);
  return record;
}

struct Case {
  const char* what;
  std::string valid;
  std::string invalid;
  std::string message;  // the chain's messages after the record's
  uint32_t line;
  uint32_t column;
};

TEST(ValidateLists, RefusesWhatTheTypeRefusesAtItsElement) {
  const Case cases[] = {
      {"list: fewer items than minLength", Record("<counts>1 2 3 4</counts>" + kSize),
       Record("<counts> 1 </counts>" + kSize),
       "Invalid Value for counts [1]: the list has [1] items where [at least 2] are expected", 2,
       1},
      {"list: more items than maxLength", Record("<counts>\n 1\t2  3 </counts>" + kSize),
       Record(" <counts>1 2 3 4 5</counts>" + kSize),
       "Invalid Value for counts [1 2 3 4 5]: the list has [5] items where [at most 4] are "
       "expected",
       2, 2},
      {"list: an item not of the item type", Record(kCounts + kSize),
       Record("<counts>1 x</counts>" + kSize),
       "Invalid Value for counts [1 x]: the item [x] is not a valid [xs:int]", 2, 1},
      {"list: length and a pattern over the whole text",
       Record(kCounts + "<pair>10 20</pair>" + kSize),
       Record(kCounts + "\n  <pair>10 20 30</pair>" + kSize),
       "Invalid Value for pair [10 20 30]: the list has [3] items where [2] are expected", 3, 3},
      {"list: the pattern", Record(kCounts + "<pair>10 20</pair>" + kSize),
       Record(kCounts + "<pair>10 -20</pair>" + kSize), "Invalid Value for pair [10 -20]", 2, 21},
      {"list of a restricted type: an item out of its bounds",
       Record(kCounts + "<percents>0 100</percents>" + kSize),
       Record(kCounts + "<percents>5 101</percents>" + kSize),
       "Invalid Value for percents [5 101]: the item [101] is not a valid [Percent]", 2, 21},
      {"union: a value of no member type", Record(kCounts + "<size>large</size>" + kSize),
       Record(kCounts + kSize + "\n<size>medium</size>"),
       "Invalid Value for size [medium]: it is valid for none of the member types of [Size]",
       3, 1},
      {"union: its enumeration in the member's value space",
       Record(kCounts + kSize + "<few>01</few>"), Record(kCounts + kSize + "<few>2</few>"),
       "Invalid Value for few [2]: it is not one of the values enumerated by [FewSizes]", 2, 35},
      {"union with a list member", Record(kCounts + kSize + "<when> 7 8 </when>"),
       Record(kCounts + kSize + "<when>2024-13-01</when>"),
       "Invalid Value for when [2024-13-01]: it is valid for none of the member types of "
       "[DateOrInts]",
       2, 35},
      {"list: its enumeration item by item as ints",
       Record(kCounts + kSize + "<corners>3 +4 05</corners>"),
       Record(kCounts + kSize + "<corners>1 2 3</corners>"),
       "Invalid Value for corners [1 2 3]: it is not one of the values enumerated by [Corners]",
       2, 35},
      {"attribute: a list of a union", Record(kCounts + kSize, " sizes='small -4 large'"),
       Record(kCounts + kSize, "\n sizes='small huge'"),
       "Invalid Value for sizes [small huge]: the item [huge] is not a valid [Size]", 1, 1},
      {"simple content of a list type", Record(kCounts + kSize + "<label>1 small</label>"),
       Record(kCounts + kSize + "<label lang='en'>1 tiny</label>"),
       "Failed to process the element [label]\n"
       "Invalid Value for label [1 tiny]: the item [tiny] is not a valid [Size]",
       2, 35},
      {"simple content restricting a list's length", Record(kCounts + kSize + "<short>4</short>"),
       Record(kCounts + kSize + "<short>4 large</short>"),
       "Failed to process the element [short]\n"
       "Invalid Value for short [4 large]: the list has [2] items where [at most 1] are expected",
       2, 35},
      {"a restriction of a built-in list", Record(kCounts + kSize + "<tokens>abc defg</tokens>"),
       Record(kCounts + kSize + "<tokens>a b c</tokens>"),
       "Invalid Value for tokens [a b c]: the list has [3] items where [at most 2] are expected",
       2, 35},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Failure([&] { ReadValidating(c.valid); }), "");
    try {
      ReadValidating(c.invalid);
      ADD_FAILURE() << "accepted " << c.invalid;
    } catch (const CVxException& e) {
      const std::string full = U8(e.GetFullMessage());
      // The item's own failure may follow as the inner exception.
      const std::string expected = "Failed to process the element [record]\n" + c.message;
      EXPECT_EQ(full.substr(0, expected.size()), expected) << full;
      EXPECT_EQ(e.GetLineNumber(), c.line) << full;
      EXPECT_EQ(e.GetColumnNumber(), c.column) << full;
    }
    // Without validation the text is taken as it stands.
    EXPECT_EQ(Failure([&] { ReadAs<ValidateLists::CRecord>(c.invalid); }), "");
  }
}

TEST(ValidateLists, ValuesReadAsTheirTextAndWriteBack) {
  const std::string xml = Record(
      "<counts>\n 1  02 </counts><size>3</size><size>small</size><when>7 8</when>"
      "<tags>red green</tags><label lang='en'>1 small</label><tokens>abc defg</tokens>",
      " sizes='small 2'");
  CSmartPtr<ValidateLists::CRecord> record = ReadValidating(xml);
  EXPECT_EQ(U8(record->GetCounts()), "1 02");  // a list is held collapsed
  EXPECT_EQ(record->GetSize()->GetCount(), 2);
  EXPECT_EQ(U8(record->GetSizes()), "small 2");
  // An enumeration of a list of strings stays a C++ enumeration, and refuses
  // other values whether validating or not.
  EXPECT_EQ(record->GetTags(), ValidateLists::Tags_red_green);
  const std::string other = Record(kCounts + kSize + "<tags>red</tags>");
  EXPECT_NE(Failure([&] { ReadAs<ValidateLists::CRecord>(other); }), "");
  EXPECT_NE(Failure([&] { ReadValidating(other); }), "");
  // What validation accepts, writing accepts.
  EXPECT_EQ(Failure([&] { record->ToXml(); }), "");
}

}  // namespace
