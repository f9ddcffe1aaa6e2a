// The content model read with validation on, through the classes generated
// at build time from data/validate_content.xsd: each document read with
// validation off and on, and what each reading says (its message chain and
// the line and column it names), so that validation refuses what the model
// does not allow and the reading without it stays as it was.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GeneratedTesting.h"
#include "validate_content.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
using namespace ValidateContent;

const std::string kNs = " xmlns='urn:vxbind:content'";
const char* const kAccepted = "(accepted)";

// What reading `xml` into a new T says: kAccepted, or the message chain
// followed by " @line:column".
template <class T>
std::string Verdict(const std::string& xml, const CXmlSerializationContext& context) {
  CSmartPtr<T> object = new T;
  try {
    object->FromXml(xml.c_str(), context);
  } catch (const CVxException& e) {
    return U8(e.GetFullMessage()) + " @" + std::to_string(e.GetLineNumber()) + ":" +
           std::to_string(e.GetColumnNumber());
  }
  return kAccepted;
}

struct Row {
  Row(const char* what_, std::string xml_, std::string off_, std::string on_ = std::string())
      : what(what_), xml(std::move(xml_)), off(std::move(off_)), on(std::move(on_)) {}
  const char* what;
  std::string xml;
  std::string off;  // the verdict without validation
  std::string on;   // with it ("" when the same)
};

// Each row read with `base` (validation off) and with a copy of it that
// validates.
template <class T>
void ExpectRows(const std::vector<Row>& rows,
                const CXmlSerializationContext& base = CXmlSerializationContext()) {
  CXmlSerializationContext validating(base);
  validating.SetValidateOnRead(true);
  for (const Row& row : rows) {
    EXPECT_EQ(Verdict<T>(row.xml, base), row.off) << row.what << " (validation off)";
    EXPECT_EQ(Verdict<T>(row.xml, validating), row.on.empty() ? row.off : row.on)
        << row.what << " (validation on)";
  }
}

std::string Project(const std::string& body) {
  return "<project" + kNs + ">\n  <groupId>g</groupId>\n" + body + "</project>";
}

TEST(ValidateContent, SequenceNamesTheElementFoundWhereAnotherIsExpected) {
  const std::string head = "Failed to process the element [project]\n";
  ExpectRows<CProject>({
      {"valid",
       Project("  <artifactId>a</artifactId>\n  <dependency><artifactId>d</artifactId>"
               "<scope>test</scope></dependency>\n"),
       kAccepted},
      {"a typo", Project("  <artifactID>a</artifactID>\n  <version>1</version>\n"),
       head + "Failed to find a required element [artifactId] @3:3",
       head + "Found the element [artifactID] where [artifactId] is expected @3:3"},
      {"the content ends early", Project(""),
       head + "Failed to find a required element [artifactId] @1:1"},
      {"a typo in a child",
       Project("  <artifactId>a</artifactId>\n  <dependency>\n    <scope>s</scope>\n"
               "  </dependency>\n"),
       head + "Failed to process the element [dependency]\n"
              "Failed to find a required element [artifactId] @5:5",
       head + "Failed to process the element [dependency]\n"
              "Found the element [scope] where [artifactId] is expected @5:5"},
      {"the name in another namespace", Project("  <artifactId xmlns='urn:other'>a</artifactId>\n"),
       head + "Failed to find a required element [artifactId] @3:3",
       head + "Found the element [{urn:other}artifactId] where "
              "[{urn:vxbind:content}artifactId] is expected @3:3"},
      {"an element in simple content", Project("  <artifactId>a<x/></artifactId>\n"), kAccepted,
       head + "The element [artifactId] has simple content: the element [x] is not allowed in it "
              "@3:3"},
      {"... in a repeated one (at the item's own element)",
       Project("  <artifactId>a</artifactId>\n  <tag>t</tag><tag>u<b/></tag>\n"), kAccepted,
       head + "The element [tag] has simple content: the element [b] is not allowed in it @4:15"},
      {"an element after the last member",
       Project("  <artifactId>a</artifactId>\n  <version>1</version>\n  <version>2</version>\n"),
       head + "Failed read all the elements held within the element [project]. The unexpected "
              "element [version] remains un processed @5:3"},
  });
}

std::string Route(const std::string& body) {
  return "<route" + kNs + "><from>a</from>" + body + "</route>";
}

TEST(ValidateContent, AGroupThatStartedMustEnd) {
  // Without validation a model group that does not end gives its elements
  // back, and the element left over is the one refused.
  const std::string head = "Failed to process the element [route]\n";
  const std::string nested = head + head + head;
  ExpectRows<CRoute>({
      {"every group, the pair twice",
       Route("<via>b</via><stop>1</stop><wait>2</wait><leg>x</leg><km>1</km><leg>y</leg>"
             "<km>2</km><to>c</to>"),
       kAccepted},
      {"the inner group without its end", Route("\n<via>b</via><stop>1</stop>\n<to>c</to>"),
       head + "Failed read all the elements held within the element [route]. The unexpected "
              "element [stop] remains un processed @2:13",
       nested + "Found the element [to] where [wait] is expected @3:1"},
      {"the last pair incomplete, then another element",
       Route("<leg>x</leg><km>1</km>\n<leg>y</leg><to>z</to>"),
       head + "Failed read all the elements held within the element [route]. The unexpected "
              "element [leg] remains un processed @2:1",
       head + head + "Found the element [to] where [km] is expected @2:13"},
      {"the last pair incomplete at the end", Route("<leg>x</leg><km>1</km><leg>y</leg>"),
       head + "Failed read all the elements held within the element [route]. The unexpected "
              "element [leg] remains un processed @1:71",
       head + head + "Failed to find a required element [km] @1:1"},
  });
}

TEST(ValidateContent, AGroupThatMustBeThere) {
  const std::string head = "Failed to process the element [entry]\n";
  ExpectRows<CEntry>({
      {"there", "<entry" + kNs + "><key>k</key><note>n</note></entry>", kAccepted},
      {"another element in its place", "<entry" + kNs + ">\n <note>n</note></entry>",
       head + "Failed to find a required element [KeyValue] @2:2",
       head + "Found the element [note] where the content of [KeyValue] is expected @2:2"},
      {"the content ends before it", "<entry" + kNs + "/>",
       head + "Failed to find a required element [KeyValue] @1:1"},
  });
}

TEST(ValidateContent, RepeatedChoiceTakesOneBranchEachTimeWithinItsCounts) {
  const std::string head = "Failed to process the element [palette]\n";
  const std::string tooFew =
      head + "The Minimum number of [choice] elements allowed in this collection is 2 @1:37";
  ExpectRows<CPalette>({
      {"two picks, one a pair",
       "<palette" + kNs + "><red>1</red><hue>1</hue><tint>2</tint></palette>", kAccepted},
      {"one pick", "<palette" + kNs + "><red>1</red></palette>", tooFew},
      {"a pair without its end", "<palette" + kNs + "><hue>1</hue>\n <red>1</red></palette>",
       tooFew, head + head + head + "Found the element [red] where [tint] is expected @2:2"},
  });
}

TEST(ValidateContent, AChoiceWithAnEmptiableBranchMayBeEmpty) {
  // Without validation, a choice refuses to be empty unless a branch is a
  // repeated element that may be absent.
  const std::string head = "Failed to process the element [either]\n";
  const std::string none =
      head +
      "No child elements within the element [either] were populated. The element "
      "represents a choice, so one and only one element should be populated. The element "
      "contained no sutable child elements @1:1";
  ExpectRows<CEither>({
      {"empty", "<either" + kNs + "/>", none, kAccepted},
      {"the element branch", "<either" + kNs + "><right>1</right></either>", kAccepted},
      {"part of the group branch", "<either" + kNs + "><middle>1</middle></either>", kAccepted},
      {"both branches", "<either" + kNs + "><left>1</left><right>2</right></either>",
       head + "Failed read all the elements held within the element [either]. The unexpected "
              "element [right] remains un processed @1:50"},
      {"neither branch", "<either" + kNs + "><other/></either>", none,
       head + "Failed read all the elements held within the element [either]. The unexpected "
              "element [other] remains un processed @1:36"},
  });
}

TEST(ValidateContent, AllGroupTakesEachMemberOnceAndTheMandatoryOnes) {
  const std::string box = "Failed to process the element [box]\n";
  ExpectRows<CBox>({
      {"any order", "<box" + kNs + "><label>l</label><height>1</height><width>2</width></box>",
       kAccepted},
      {"a mandatory member missing", "<box" + kNs + "><height>1</height></box>",
       box + "Failed to find the mandatory element [width] @1:1"},
      {"a misspelt member", "<box" + kNs + "><width>1</width>\n<heigth>2</heigth></box>",
       box + "Failed to find the mandatory element [height] @2:1",
       box + "Found the element [heigth] where [height] is expected @2:1"},
      {"a member twice",
       "<box" + kNs + "><height>1</height><width>2</width><height>1</height></box>",
       box + "Failed read all the elements held within the element [box]. The unexpected element "
             "[height] remains un processed @1:67"},
  });
  // An optional all group: all of it or nothing.
  const std::string size = "Failed to process the element [size]\n";
  ExpectRows<CSize>({
      {"absent", "<size" + kNs + "/>", kAccepted},
      {"whole", "<size" + kNs + "><y>1</y><x>2</x></size>", kAccepted},
      {"half of it", "<size" + kNs + "><y>1</y></size>",
       size + "Failed read all the elements held within the element [size]. The unexpected "
              "element [y] remains un processed @1:34",
       size + size + "Failed to find the mandatory element [x] @1:1"},
  });
}

TEST(ValidateContent, AttributesAndTextWhereTheTypeHasNone) {
  const std::string flag = "Failed to process the element [flag]\n";
  ExpectRows<CFlag>({
      {"valid, with xsi attributes",
       "<flag" + kNs +
           " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
           "xsi:schemaLocation='urn:vxbind:content c.xsd' on='true'/>",
       kAccepted},
      {"text in a type of attributes only", "<flag" + kNs + " on='1'>\n  on\n</flag>",
       flag + "The element [flag] has element-only content: the text [on] is not allowed in it "
              "@1:1"},
      {"an attribute not declared", "<flag" + kNs + " on='1' off='0'/>",
       flag + "Unexpected Attribute [off] found. @1:1"},
      {"a required attribute missing", "<flag" + kNs + "/>",
       flag + "Failed to find the required Attribute [on] @1:1"},
  });
  const std::string open = "Failed to process the element [open]\n";
  ExpectRows<COpen>({
      {"the wildcard takes an attribute of another namespace",
       "<open" + kNs + " xmlns:o='urn:o' o:x='1'><toggle on='1'/></open>", kAccepted},
      {"a child of attributes only, one not declared",
       "<open" + kNs + ">\n  <toggle on='1' extra='2'/></open>",
       open + "Failed to process the element [toggle]\nUnexpected Attribute [extra] found. @2:3"},
      {"text in a child of attributes only", "<open" + kNs + "><toggle>t</toggle></open>",
       open + "Failed to process the element [toggle]\nThe element [toggle] has element-only "
              "content: the text [t] is not allowed in it @1:34"},
  });
}

TEST(ValidateContent, TheContextsTolerancesAreIgnoredWhileValidating) {
  CXmlSerializationContext unknown;
  unknown.SetIgnoreUnknownElements(true);
  unknown.SetIgnoreUnknownAttributes(true);
  unknown.SetIgnoreNamespaces(true);
  ExpectRows<CProject>(
      {{"an unknown element", Project("  <bogus/>\n  <artifactId>a</artifactId>\n"), kAccepted,
        "Failed to process the element [project]\n"
        "Found the element [bogus] where [artifactId] is expected @3:3"},
       {"an unknown attribute",
        "<project" + kNs +
            " bogus='1'><groupId>g</groupId>"
            "<artifactId>a</artifactId></project>",
        kAccepted,
        "Failed to process the element [project]\nUnexpected Attribute [bogus] found. @1:1"},
       {"another namespace", Project("  <artifactId xmlns='urn:other'>a</artifactId>\n"), kAccepted,
        "Failed to process the element [project]\nFound the element [{urn:other}artifactId] "
        "where [{urn:vxbind:content}artifactId] is expected @3:3"}},
      unknown);
  CXmlSerializationContext missing;
  missing.SetIgnoreMissingMandatoryElements(true);
  missing.SetIgnoreInvalidCollectionCounts(true);
  missing.SetIgnoreMissingChoice(true);
  ExpectRows<CProject>({{"a mandatory element missing", Project(""), kAccepted,
                         "Failed to process the element [project]\n"
                         "Failed to find a required element [artifactId] @1:1"}},
                       missing);
  ExpectRows<CPalette>({{"too few", "<palette" + kNs + "><red>1</red></palette>", kAccepted,
                         "Failed to process the element [palette]\nThe Minimum number of "
                         "[choice] elements allowed in this collection is 2 @1:37"}},
                       missing);
}

}  // namespace
