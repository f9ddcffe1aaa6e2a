// Binding generated classes: every group x kind x cardinality of the test
// schema (model/schema/TestSchema.xsd, generated at build time) written,
// read back and written again; the context's tolerances each way; the error
// chains and their lines.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestSchema.h"
#include "support/Text.h"

using namespace VxVevAva5;
using namespace VxVevAva5Data;
using namespace TestSchema;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// -- Helpers ----------------------------------------------------------------------------

enum Tolerance : unsigned {
  kStrict = 0,
  kUnknownElements = 1,
  kMissingMandatory = 2,
  kMissingChoice = 4,
  kCollectionCounts = 8,
  kUnknownAttributes = 16,
  kNamespaces = 32,
};

CXmlSerializationContext ContextWith(unsigned tolerances) {
  CXmlSerializationContext context;
  context.SetIgnoreUnknownElements((tolerances & kUnknownElements) != 0);
  context.SetIgnoreMissingMandatoryElements((tolerances & kMissingMandatory) != 0);
  context.SetIgnoreMissingChoice((tolerances & kMissingChoice) != 0);
  context.SetIgnoreInvalidCollectionCounts((tolerances & kCollectionCounts) != 0);
  context.SetIgnoreUnknownAttributes((tolerances & kUnknownAttributes) != 0);
  context.SetIgnoreNamespaces((tolerances & kNamespaces) != 0);
  return context;
}

CSmartPtr<CXmlGeneratedClass> NewRoot(const std::string& name) {
  CSmartPtr<CXmlObjectBase> root =
      CreateRootObject(Utf16::FromUtf8(name).c_str(), VX_T("urn:vxbind:test"));
  return static_cast<CXmlGeneratedClass*>(root.get());
}

// The local name of the root element of `xml`.
std::string RootName(const std::string& xml) {
  size_t start = xml.find('<') + 1;
  std::string name = xml.substr(start, xml.find_first_of(" />", start) - start);
  return name.substr(name.find(':') + 1);
}

// What `f` gives, or "!" and the full message of what it throws.
std::string Outcome(const std::function<std::string()>& f) {
  try {
    return f();
  } catch (const CVxException& e) {
    return "!" + ToUtf8(e.GetFullMessage());
  }
}
// Reads `xml` into a new object of its root's class and writes that object
// (no declaration, no indentation) with the same context, as Outcome gives it.
std::string Rewrite(const std::string& xml, unsigned tolerances) {
  CXmlSerializationContext context = ContextWith(tolerances);
  CSmartPtr<CXmlGeneratedClass> object = NewRoot(RootName(xml));
  return Outcome([&] {
    object->FromXml(xml.c_str(), context);
    return ToUtf8(object->ToXml(false, false, EOLType_LF, context));
  });
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

const std::string kNs =
    " xmlns='urn:vxbind:test' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'";

// A sequence holder with its mandatory members and nothing else (the fixed
// attribute unit is written all the same).
const std::string kSeq = "<seq" + kNs +
                         " version='1.0'><leafM id='1'/><first>f</first>"
                         "<shapeM xsi:type='Circle'><radius>1</radius></shapeM>"
                         "<count>1</count><color>red</color><extra/></seq>";
// The same with every member, each collection holding two items.
const std::string kSeqFull =
    "<seq" + kNs +
    " version='1.0' mode='blue' unit='cm' scale='2'>"
    "<leafM id='1' xmlns:o='urn:other' o:x='y'>text</leafM><leafO id='2'/>"
    "<leafC id='3'/><leafC id='4'/><first>f</first><second>7</second>"
    "<shapeM xsi:type='Circle' label='l'><radius>1.5</radius></shapeM>"
    "<shapeO xsi:type='Square'><side>2</side></shapeO>"
    "<shapeC xsi:type='Circle'><radius>3</radius></shapeC><shapeC xsi:type='Square'><side>4</side>"
    "</shapeC><count>5</count><price>12.5</price><tag>a</tag><tag>b</tag><color>green</color>"
    "<shade>red</shade><hue>blue</hue><hue>red</hue><extra a='1'>e<in/></extra><note/>"
    "<free>x</free><other xmlns='urn:other'/></seq>";
// An all-group holder with its mandatory members, in document order.
const std::string kAll =
    "<all" + kNs + "><leafM id='1'/><count>1</count><color>red</color><extra/></all>";
const std::string kAllFull = "<all" + kNs +
                             "><leafM id='1'/><leafO id='2'/><count>1</count><price>2</price>"
                             "<color>red</color><shade>blue</shade><extra/><note/></all>";

// One row: `input` read with `tolerances` must write what `same` (read
// with them too) writes, or fail with `same` when it starts with "!".
struct ReadCase {
  const char* what;
  unsigned tolerances;
  std::string input;
  std::string same;
};

void ExpectRows(const std::vector<ReadCase>& rows) {
  for (const ReadCase& row : rows) {
    SCOPED_TRACE(row.what);
    std::string got = Rewrite(row.input, row.tolerances);
    if (!row.same.empty() && row.same[0] == '!') {
      EXPECT_EQ(got, row.same);
    } else {
      std::string want = Rewrite(row.same, row.tolerances);
      EXPECT_EQ(got, want);
      EXPECT_NE(got[0], '!');
    }
  }
}

// Writes `object` (no declaration, no indentation), as Outcome gives it.
std::string Write(const CXmlObjectBase& object, unsigned tolerances = kStrict) {
  return Outcome(
      [&] { return ToUtf8(object.ToXml(false, false, EOLType_LF, ContextWith(tolerances))); });
}

CSmartPtr<CSeq> ReadSeq(const std::string& xml) {
  CSmartPtr<CSeq> seq = new CSeq;
  seq->FromXml(xml.c_str());
  return seq;
}

}  // namespace

// -- Round trips --------------------------------------------------------------------------------

TEST(Binding, EveryKindOfASequenceWritesReadsAndWritesTheSame) {
  CSmartPtr<CSeq> seq = ReadSeq(kSeqFull);
  const std::string written = Write(*seq);
  EXPECT_EQ(written,
            "<AA:seq xmlns:AA=\"urn:vxbind:test\" version=\"1.0\" mode=\"blue\" unit=\"cm\" "
            "scale=\"2\"><AA:leafM id=\"1\" xmlns:AB=\"urn:other\" AB:x=\"y\">text</AA:leafM>"
            "<AA:leafO id=\"2\"/><AA:leafC id=\"3\"/><AA:leafC id=\"4\"/>"
            "<AA:first>f</AA:first><AA:second>7</AA:second>"
            "<AA:shapeM xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "AB:type=\"AA:Circle\" label=\"l\"><AA:radius>1.5</AA:radius></AA:shapeM>"
            "<AA:shapeO xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "AB:type=\"AA:Square\"><AA:side>2</AA:side></AA:shapeO>"
            "<AA:shapeC xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "AB:type=\"AA:Circle\"><AA:radius>3</AA:radius></AA:shapeC>"
            "<AA:shapeC xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "AB:type=\"AA:Square\"><AA:side>4</AA:side></AA:shapeC>"
            "<AA:count>5</AA:count><AA:price>12.5</AA:price><AA:tag>a</AA:tag><AA:tag>b</AA:tag>"
            "<AA:color>green</AA:color><AA:shade>red</AA:shade><AA:hue>blue</AA:hue>"
            "<AA:hue>red</AA:hue><AA:extra a=\"1\">e<AA:in/></AA:extra><AA:note/>"
            "<AA:free>x</AA:free><AB:other xmlns:AB=\"urn:other\"/></AA:seq>");
  // What was read is what was written: reading the output again changes nothing.
  EXPECT_EQ(Write(*ReadSeq(written)), written);
  EXPECT_EQ(static_cast<CSquare*>(seq->GetShapeC()->Item(1).get())->GetSide(), 4);
  EXPECT_EQ(seq->GetLeafM()->GetAnyAttribute()->GetCount(), 1);
}

TEST(Binding, EveryKindOfAnAllGroupAndOfAChoiceReadsBackAsWritten) {
  const std::vector<std::string> inputs = {
      kAll,
      kAllFull,
      "<choice" + kNs + "><leafO id='1'/></choice>",
      "<choice" + kNs + "><leafC id='1'/><leafC id='2'/></choice>",
      "<choice" + kNs + "><shapeO xsi:type='Square'><side>3</side></shapeO></choice>",
      "<choice" + kNs + "><shapeC xsi:type='Circle'><radius>1</radius></shapeC></choice>",
      "<choice" + kNs + "><count>4</count></choice>",
      "<choice" + kNs + "><tag>x</tag><tag>y</tag></choice>",
      "<choice" + kNs + "><color>blue</color></choice>",
      "<choice" + kNs + "><hue>green</hue></choice>",
      "<choice" + kNs + "><note>n</note></choice>",
      "<choice" + kNs + "><first>a</first><second>1</second></choice>",
      "<choiceAny" + kNs + "><x/><x>1</x></choiceAny>",
      "<choiceAny" + kNs + "><y/><z xmlns='urn:z'/></choiceAny>",
      "<choiceAny" + kNs + "/>",
      "<node" + kNs + "><value>1</value><node><node><value>3</value></node></node></node>",
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    std::string once = Rewrite(input, kStrict);
    ASSERT_NE(once[0], '!') << once;
    EXPECT_EQ(Rewrite(once, kStrict), once);
  }
  // The member read is the one the choice holds.
  CSmartPtr<CChoice> choice = new CChoice;
  choice->FromXml(("<choice" + kNs + "><hue>green</hue></choice>").c_str());
  EXPECT_EQ(choice->GetHue()->Item(0), Color_green);
  choice->FromXml(("<choice" + kNs + "><first>a</first></choice>").c_str());
  EXPECT_EQ(choice->GetHue()->GetCount(), 0);
  EXPECT_EQ(choice->GetPair()->GetFirst(), U("a"));
}

// -- Reading: structure and tolerances
// -------------------------------------------------------------

TEST(Binding, SequenceMembersAndTheContextsTolerances) {
  const std::string bogus = "<bogus/>";
  ExpectRows({
      {"optional members absent", kStrict, kSeq, kSeq},
      {"unknown element before a mandatory member", kStrict,
       Replace(kSeq, "<count>", bogus + "<count>"),
       "!Failed to process the element [seq]\nFailed to find a required element [count]"},
      {"... skipped", kUnknownElements, Replace(kSeq, "<count>", bogus + "<count>"), kSeq},
      {"unknown element at the end", kStrict, "<node" + kNs + "><value>1</value><bogus/></node>",
       "!Failed to process the element [node]\nFailed read all the elements held within the "
       "element [node]. The unexpected element [bogus] remains un processed"},
      {"... skipped", kUnknownElements, "<node" + kNs + "><value>1</value><bogus/></node>",
       "<node" + kNs + "><value>1</value></node>"},
      {"... taken by a repeated wildcard", kStrict, Replace(kSeq, "</seq>", bogus + "</seq>"),
       Replace(kSeq, "</seq>", bogus + "</seq>")},
      {"mandatory primitive missing", kStrict, Replace(kSeq, "<count>1</count>", ""),
       "!Failed to process the element [seq]\nFailed to find a required element [count]"},
      {"... tolerated, the member untouched", kMissingMandatory,
       Replace(kSeq, "<count>1</count>", ""),
       Replace(kSeq, "<count>1</count>", "<count>0</count>")},
      {"mandatory child missing", kStrict, Replace(kSeq, "<leafM id='1'/>", ""),
       "!Failed to process the element [seq]\nFailed to find a required element [leafM]"},
      {"mandatory model group missing", kStrict, Replace(kSeq, "<first>f</first>", ""),
       "!Failed to process the element [seq]\nFailed to find a required element [Pair]"},
      {"mandatory wildcard absent", kStrict, Replace(kSeq, "<extra/>", ""),
       "!Failed to process the element [seq]\nFailed to find a required element [extra]"},
      {"mandatory wildcard of another name", kStrict, Replace(kSeq, "<extra/>", "<other/>"),
       "!Failed to process the element [seq]\nFailed to find the required element from "
       "namespace [urn:vxbind:test]"},
      {"element in another namespace", kStrict,
       Replace(kSeq, "<count>1</count>", "<count xmlns='urn:other'>1</count>"),
       "!Failed to process the element [seq]\nFailed to find a required element [count]"},
      {"... matched by name", kNamespaces,
       Replace(kSeq, "<count>1</count>", "<count xmlns='urn:other'>1</count>"), kSeq},
      {"too many items", kStrict,
       Replace(kSeq, "<color>",
               "<tag>1</tag><tag>2</tag><tag>3</tag><tag>4</tag><tag>5</tag><color>"),
       "!Failed to process the element [seq]\nThe Maximum number of [tag] elements allowed in "
       "this collection is 4"},
      {"... accepted", kCollectionCounts,
       Replace(kSeq, "<color>",
               "<tag>1</tag><tag>2</tag><tag>3</tag><tag>4</tag><tag>5</tag><color>"),
       Replace(kSeq, "<color>",
               "<tag>1</tag><tag>2</tag><tag>3</tag><tag>4</tag><tag>5</tag><color>")},
      {"required attribute missing", kStrict, Replace(kSeq, " version='1.0'", ""),
       "!Failed to process the element [seq]\nFailed to find the required Attribute [version]"},
      {"xsi:type that no class answers", kStrict, Replace(kSeq, "'Circle'", "'Triangle'"),
       "!Failed to process the element [seq]\nFailed to find a suitable substitution element "
       "for [shapeM]"},
      {"substitutable member missing", kStrict,
       Replace(kSeq, "<shapeM xsi:type='Circle'><radius>1</radius></shapeM>", ""),
       "!Failed to process the element [seq]\nFailed to find a suitable substitution element "
       "for [shapeM]"},
      {"value that does not convert", kStrict, Replace(kSeq, ">1</count>", ">one</count>"),
       "!Failed to process the element [seq]\nThe value [one] can not be converted to a i4"},
      {"enumeration text unknown", kStrict, Replace(kSeq, ">red</color>", ">purple</color>"),
       "!Failed to process the element [seq]\nInvalid value [purple] for the enumeration [Color]"},
      {"failure inside a child", kStrict, Replace(kSeq, "id='1'", "id='x'"),
       "!Failed to process the element [seq]\nFailed to process the element [leafM]\nThe value [x] "
       "can not be converted to a i4"},
      {"wildcard attribute in the target namespace", kStrict,
       Replace(kSeq, "id='1'", "id='1' xmlns:t='urn:vxbind:test' t:a='2'"),
       "!Failed to process the element [seq]\nFailed to process the element [leafM]\nInvalid "
       "namespace [urn:vxbind:test]. The namespace must be one of [##other] where the target "
       "namespace is [urn:vxbind:test]"},
      {"facets are not checked on reading", kStrict, Replace(kSeq, ">1</count>", ">5000</count>"),
       "!Failed to convert the element [seq] to XML\nInvalid Value for count [5000]"},
  });
}

TEST(Binding, AllGroupMembersAndTheContextsTolerances) {
  // Any order is read, and written back as it came.
  EXPECT_EQ(
      Rewrite("<all" + kNs + "><extra/><color>red</color><count>1</count><leafM id='1'/></all>",
              kStrict),
      "<AA:all xmlns:AA=\"urn:vxbind:test\"><AA:extra/><AA:color>red</AA:color>"
      "<AA:count>1</AA:count><AA:leafM id=\"1\"/></AA:all>");
  EXPECT_EQ(Rewrite("<all" + kNs +
                        "><note/><extra/><shade>blue</shade><color>red</color><price>2</price>"
                        "<count>1</count><leafO id='2'/><leafM id='1'/></all>",
                    kStrict),
            "<AA:all xmlns:AA=\"urn:vxbind:test\"><AA:note/><AA:extra/><AA:shade>blue</AA:shade>"
            "<AA:color>red</AA:color><AA:price>2</AA:price><AA:count>1</AA:count>"
            "<AA:leafO id=\"2\"/><AA:leafM id=\"1\"/></AA:all>");
  ExpectRows({
      {"every member, in the schema's order", kStrict, kAllFull, kAllFull},
      {"mandatory member missing", kStrict, Replace(kAll, "<count>1</count>", ""),
       "!Failed to process the element [all]\nFailed to find the mandatory element [count]"},
      {"an unknown element ends the group, even when unknown elements are ignored",
       kUnknownElements, Replace(kAll, "<count>", "<bogus/><count>"),
       "!Failed to process the element [all]\nFailed to find the mandatory element [count]"},
      {"unknown element at the end", kStrict, Replace(kAll, "</all>", "<bogus/></all>"),
       "!Failed to process the element [all]\nFailed read all the elements held within the "
       "element [all]. The unexpected element [bogus] remains un processed"},
      {"... skipped", kUnknownElements, Replace(kAll, "</all>", "<bogus/></all>"), kAll},
      {"attribute nobody takes", kStrict, Replace(kAll, "<all ", "<all bogus='1' "),
       "!Failed to process the element [all]\nUnexpected Attribute [bogus] found."},
      {"... accepted", kUnknownAttributes, Replace(kAll, "<all ", "<all bogus='1' "), kAll},
  });
}

TEST(Binding, AbstractMembersOfAnAllGroupAreChosenByXsiType) {
  const std::string circle = "<shape xsi:type='Circle'><radius>1</radius></shape>";
  const std::string square = "<shapeO xsi:type='Square'><side>2</side></shapeO>";
  const std::string both = "<allShape" + kNs + ">" + circle + square + "</allShape>";
  const std::string xsi = " xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" AB:type=";
  EXPECT_EQ(Rewrite("<allShape" + kNs + ">" + square + circle + "</allShape>", kStrict),
            "<AA:allShape xmlns:AA=\"urn:vxbind:test\"><AA:shapeO" + xsi +
                "\"AA:Square\"><AA:side>2</AA:side></AA:shapeO><AA:shape" + xsi +
                "\"AA:Circle\"><AA:radius>1</AA:radius></AA:shape></AA:allShape>");
  ExpectRows({
      {"mandatory member missing", kStrict, "<allShape" + kNs + ">" + square + "</allShape>",
       "!Failed to process the element [allShape]\nFailed to find the mandatory element [shape]"},
      {"xsi:type that no class answers", kStrict, Replace(both, "'Circle'", "'Triangle'"),
       "!Failed to process the element [allShape]\nFailed to find a suitable substitution "
       "element for [shape]"},
      {"... an optional member's stays unread", kStrict, Replace(both, "'Square'", "'Triangle'"),
       "!Failed to process the element [allShape]\nFailed read all the elements held within the "
       "element [allShape]. The unexpected element [shapeO] remains un processed"},
      {"member twice", kStrict, Replace(both, "</allShape>", circle + "</allShape>"),
       "!Failed to process the element [allShape]\nFailed read all the elements held within the "
       "element [allShape]. The unexpected element [shape] remains un processed"},
  });
  CSmartPtr<CAllShape> shapes = new CAllShape;
  shapes->FromXml(both.c_str());
  ASSERT_NE(dynamic_cast<CCircle*>(shapes->GetShape().get()), nullptr);
  ASSERT_NE(dynamic_cast<CSquare*>(shapes->GetShapeO().get()), nullptr);
  EXPECT_EQ(static_cast<CSquare*>(shapes->GetShapeO().get())->GetSide(), 2);
}

TEST(Binding, ChoiceMembersAndTheContextsTolerances) {
  const std::string empty = "<choice" + kNs + "/>";
  const std::string count = "<choice" + kNs + "><count>1</count></choice>";
  const std::string none =
      "!Failed to process the element [choice]\nNo child elements within the element [choice] "
      "were populated. The element represents a choice, so one and only one element should be "
      "populated. The element contained no sutable child elements";
  ExpectRows({
      {"nothing chosen", kStrict, empty, none},
      {"... accepted", kMissingChoice, empty, empty},
      {"unknown element before the member", kStrict, Replace(count, "<count>", "<bogus/><count>"),
       none},
      {"... skipped", kUnknownElements, Replace(count, "<count>", "<bogus/><count>"), count},
      {"second member", kStrict, Replace(count, "</choice>", "<color>red</color></choice>"),
       "!Failed to process the element [choice]\nFailed read all the elements held within the "
       "element [choice]. The unexpected element [color] remains un processed"},
      {"collection with too few items", kStrict, "<choiceAny" + kNs + "><x/></choiceAny>",
       "<choiceAny" + kNs + "><x/></choiceAny>"},
      {"a model group that takes nothing is no choice", kStrict,
       "<choice" + kNs + "><second>1</second></choice>", none},
  });
}

// -- Writing
// ------------------------------------------------------------------------------------------

TEST(Binding, WritingFailuresArriveAsAChainFromTheRoot) {
  struct Row {
    const char* what;
    std::function<void(CSeq&)> change;
    const char* chain;
  };
  const Row rows[] = {
      {"facet of an element", [](CSeq& s) { s.SetCount(1001); },
       "Failed to convert the element [seq] to XML\nInvalid Value for count [1001]"},
      {"facet of an attribute", [](CSeq& s) { s.SetVersion(VX_T("1")); },
       "Failed to convert the element [seq] to XML\nFailed to convert attributes to XML\nInvalid "
       "Value for version [1]"},
      {"facet inside a child", [](CSeq& s) { s.GetLeafM()->SetId(-1); },
       "Failed to convert the element [seq] to XML\nFailed to convert the element [leafM] to "
       "XML\nFailed to convert attributes to XML\nInvalid Value for id [-1]"},
      {"facet of a substituted class",
       [](CSeq& s) { static_cast<CSquare*>(s.GetShapeO().get())->SetSide(0); },
       "Failed to convert the element [seq] to XML\nFailed to convert the element [shapeO] to "
       "XML\nInvalid Value for side [0]"},
      {"facet of a collection item", [](CSeq& s) { s.GetTag()->Add(U("123456789")); },
       "Invalid Value for tag [123456789]"},
      {"too many items",
       [](CSeq& s) {
         s.GetLeafC()->Add();
         s.GetLeafC()->Add();
       },
       "Failed to convert the element [seq] to XML\nThe Maximum number of [leafC] elements "
       "allowed in this collection is 3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    CSmartPtr<CSeq> seq = ReadSeq(kSeqFull);
    // Refused when set, or when written.
    EXPECT_EQ(Outcome([&] {
                row.change(*seq);
                return Write(*seq);
              }),
              "!" + std::string(row.chain));
  }
}

TEST(Binding, AChoiceWithoutMemberIsWrittenOnlyWhereItMayBeEmpty) {
  CSmartPtr<CChoice> choice = new CChoice;
  EXPECT_EQ(Write(*choice),
            "!Failed to convert the element [choice] to XML\nThis element is a choice, and as "
            "such must have at one (and only one) valid item, currently there are none set");
  EXPECT_EQ(Write(*choice, kMissingChoice), "<AA:choice xmlns:AA=\"urn:vxbind:test\"/>");
  // A choice among collections without minimum may be empty.
  EXPECT_EQ(Write(*CSmartPtr<CChoiceAny>(new CChoiceAny)),
            "<AA:choiceAny xmlns:AA=\"urn:vxbind:test\"/>");
  // Setting a second member is refused by the class.
  choice->SetCount(1);
  EXPECT_VX_THROW(choice->SetColor(Color_red), CVxInvalidStateException,
                  "The Property count is already set. Only one element within this class bay be "
                  "set at a time");
  // So is a collection member: the collection tells its listener after the
  // change, which the listener refuses.
  EXPECT_VX_THROW(choice->GetTag()->Add(U("x")), CVxInvalidStateException,
                  "The Property [count] is already set. Only one element within this class bay "
                  "be set at a time");
  EXPECT_EQ(Write(*choice),
            "<AA:choice xmlns:AA=\"urn:vxbind:test\"><AA:count>1</AA:count></AA:choice>");
}

TEST(Binding, TheRootCarriesTheContextsAdditions) {
  CXmlSerializationContext context;
  context.GetProcessingInstructions().push_back(U("<?style a?>"));
  context.GetNamespaceAliases().Add(VX_T("t"), VX_T("urn:vxbind:test"));
  context.GetAdditionalRootAttributes()->Add(VX_T("at"), VX_T("v"), VX_T("urn:extra"));
  context.SetInLineSchema(VX_T("xsi:noNamespaceSchemaLocation='t.xsd'"));
  CSmartPtr<CNode> node = new CNode;
  node->SetNode(new CNode);
  EXPECT_EQ(ToUtf8(node->ToXml(false, false, EOLType_LF, context)),
            "<?style a?>\n\n<t:node xmlns:t=\"urn:vxbind:test\" xmlns:AA=\"urn:extra\" "
            "AA:at=\"v\" \nxsi:noNamespaceSchemaLocation='t.xsd'\n><t:node/></t:node>");
  context.SetDefaultNamespaceURI(VX_T("urn:vxbind:test"));
  context.GetNamespaceAliases().RemoveNamespace(VX_T("urn:vxbind:test"));
  EXPECT_EQ(ToUtf8(node->ToXml(false, false, EOLType_LF, context)),
            "<?style a?>\n\n<node xmlns=\"urn:vxbind:test\" xmlns:AA=\"urn:extra\" "
            "AA:at=\"v\" \nxsi:noNamespaceSchemaLocation='t.xsd'\n><node/></node>");
}

TEST(Binding, AGroupOfUnknownTypeIsRefusedBothWays) {
  // A node whose metadata names no group type the driver knows.
  class CBadGroup : public CNode {
   public:
    CParentElementInfo* GetClassInfo() const override {
      static CParentElementInfo info(static_cast<XmlElementGroupType>(7), XmlElementType_Element,
                                     VX_T("node"), VX_T("urn:vxbind:test"), -1, true, false);
      return &info;
    }
  };
  CSmartPtr<CNode> node = new CBadGroup;
  EXPECT_EQ(Write(*node), "!Failed to convert the element [node] to XML\nUnknown XML Group Type");
  EXPECT_EQ(Outcome([&] {
              node->FromXml(("<node" + kNs + "/>").c_str());
              return std::string("read");
            }),
            "!Failed to process the element [node]\nUnknow Group Type");
}

// -- Errors: lines, state after failure
// -------------------------------------------------------------

TEST(Binding, TheChainGivesTheLineOfTheDeepestElementInvolved) {
  struct Row {
    std::string input;
    uint32_t line;
    uint32_t column;  // where the element's start tag begins
  };
  const Row rows[] = {
      {Replace(kSeq, "id='1'", "\nid='x'"), 1, 98},         // the leaf's start tag
      {Replace(kSeq, "<count>1", "\n\n  <count>x"), 3, 3},  // the value's element
      {Replace(kAll, "</all>", "\n<bogus/></all>"), 2, 1},  // the element left over
      {Replace(kSeq, "<count>1</count>", "\n"), 2, 1},      // missing: where it was looked for
      {"\n<node" + kNs + "><node>\n<node><value>x</value></node></node></node>", 3, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    CSmartPtr<CXmlGeneratedClass> root = NewRoot(RootName(row.input));
    try {
      root->FromXml(row.input.c_str());
      ADD_FAILURE() << "did not throw";
    } catch (const CVxException& e) {
      EXPECT_EQ(e.GetLineNumber(), row.line) << ToUtf8(e.GetFullMessage());
      EXPECT_EQ(e.GetColumnNumber(), row.column) << ToUtf8(e.GetFullMessage());
    }
  }
  // Writing has no input lines.
  CSmartPtr<CSeq> seq = ReadSeq(kSeq);
  seq->SetCount(5000);
  try {
    seq->ToXml();
    ADD_FAILURE() << "did not throw";
  } catch (const CVxException& e) {
    EXPECT_EQ(e.GetLineNumber(), 0u);
  }
}

TEST(Binding, AFailedReadKeepsWhatWasReadAndReadingAgainStartsAfresh) {
  CSmartPtr<CSeq> seq = ReadSeq(kSeqFull);
  EXPECT_THROW(seq->FromXml(Replace(kSeq, ">red</color>", ">x</color>").c_str()), CVxException);
  EXPECT_EQ(seq->GetCount(), 1);        // read before the failure
  EXPECT_EQ(seq->GetLeafO(), nullptr);  // Init ran first: nothing merged from before
  EXPECT_EQ(seq->GetTag()->GetCount(), 0);
  EXPECT_EQ(seq->GetColor(), Color_red);
  EXPECT_FALSE(seq->IsValidScale());
  seq->FromXml(kSeq.c_str());
  EXPECT_EQ(Write(*seq), Write(*ReadSeq(kSeq)));
}

// -- The infos themselves
// ---------------------------------------------------------------------------

TEST(ElementInfo, AnyDefaultNamespaceFollowsTheWildcardsConstraint) {
  struct Row {
    const char* restriction;
    const char* owner;
    const char* expected;
  };
  const Row rows[] = {
      {"##any", "urn:o", "urn:o"},
      {"##other", "", "DefaultNamespace"},
      {"##other", "urn:o", ""},
      {"##local", "urn:o", ""},
      {"##targetNamespace", "urn:o", "urn:t"},
      {"##targetNamespace urn:a", "urn:o", "urn:t"},
      {"##any urn:a", "urn:o", "urn:o"},
      {"urn:a urn:b", "urn:o", ""},
      {"##", "urn:o", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.restriction);
    EXPECT_EQ(ToUtf8(CElementInfo::GetAnyDefaultNamespace(U(row.restriction).c_str(),
                                                          U(row.owner).c_str(), VX_T("urn:t"))),
              row.expected);
  }
}

TEST(ElementInfo, OperationsTheDriverNeverCallsRefuseClearly) {
  CElementInfoSeqClsOpt sequenceMember(
      VX_T("a"), VX_T(""), 0, XmlElementType_Element,
      [](int, const unsigned short*) { return CSmartPtr<CXmlObjectBase>(); }, 1);
  CElementInfoChoicePrimCol choiceMember(VX_T("b"), VX_T(""), 0);
  CXmlSerializationContext context;
  EXPECT_VX_THROW(sequenceMember.Validate(context, nullptr, false, true), CVxException,
                  "Not implemented, should never be called");
  EXPECT_VX_THROW(choiceMember.Validate(context, nullptr, true, false), CVxException,
                  "Not implemented, should never be called");
  VxVariant value;
  value.SetI4(1);
  EXPECT_VX_THROW(sequenceMember.CheckRestriction(value), CVxException,
                  "Cannot CheckRestriction for type: i4");
}

TEST(ElementInfo, CleanMetaDataFreesEverythingAndNullsTheReferences) {
  CParentElementInfo* info = new CParentElementInfo(
      XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("a"), VX_T(""), -1, true, false);
  CElementInfo** elements = new CElementInfo* [3] {
    new CElementInfoSeqUntpdOpt(VX_T("a"), VX_T(""), 0, VX_T("##any"), VX_T("urn:t")),
        new CElementInfoSeqPrimMnd(
            VX_T("b"), VX_T(""), 1, ItemType_string, nullptr,
            CWhitespaceUtils::WhitespaceRule_Preserve,
            CPrimitiveRestrictions(VX_T("a+"), 1, 5, nullptr, nullptr, nullptr, nullptr, -1)),
        nullptr
  };
  CAttributeInfo** attributes = new CAttributeInfo* [2] {
    new CAttributeInfoAny(VX_T("x"), VX_T(""), 2, true, VX_T("##other"), VX_T("urn:t")), nullptr
  };
  CXmlGeneratedClass::CleanMetaData(info, elements, attributes);  // the sanitizers see the rest
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(elements, nullptr);
  EXPECT_EQ(attributes, nullptr);
  CXmlGeneratedClass::CleanMetaData(info, elements, attributes);  // nulls are skipped
}
