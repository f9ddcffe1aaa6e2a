// Nillable elements and elements with a default read empty: what the reader
// refuses, and the classes generated at build time from data/nil.xsd bound
// to documents.
#include "nil.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "GeneratedTesting.h"
#include "ReaderTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

using reader_testing::Refusal;
using reader_testing::Refusals;

INSTANTIATE_TEST_SUITE_P(
    Nil, Refusals,
    testing::Values(
        Refusal{"NillableValue", "<xs:element name='a' type='xs:int' nillable='true'/>",
                "(accepted)"},
        Refusal{"NillableNotBoolean", "\n<xs:element name='a' type='xs:int' nillable='yes'/>",
                "t.xsd:3: invalid nillable 'yes'"},
        Refusal{"NillableRepeatedValue",
                "<xs:complexType name='T'><xs:sequence>\n"
                "<xs:element name='a' type='xs:int' nillable='true' maxOccurs='2'/>"
                "</xs:sequence></xs:complexType>",
                "t.xsd:3: unsupported nillable on a repeated element of simple type"}),
    reader_testing::RefusalName);

const std::string kHead =
    "<record xmlns='urn:nil' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>";
const std::string kPart = "<part><name>p</name></part>";
const std::string kEnd = "<level>3</level></record>";

TEST(Nil, EveryKindReadsNilAndWritesItBack) {
  const std::string xml = kHead +
                          "<count xsi:nil='true'/><note xsi:nil='true'/><color xsi:nil='true'/>"
                          "<part id='7' xsi:nil='true'/><spare><name>s</name></spare>"
                          "<failure message='m' xsi:nil='true'/><failure>boom</failure>"
                          "<value xsi:nil='true'/><value>v</value><blob xsi:nil='true'/>" +
                          kEnd;
  CSmartPtr<Nil::CRecord> record = ReadAs<Nil::CRecord>(xml);
  EXPECT_TRUE(record->IsNilCount());
  EXPECT_TRUE(record->IsNilNote());
  EXPECT_FALSE(record->IsValidNote());  // absent, not empty
  EXPECT_TRUE(record->IsNilColor());
  EXPECT_FALSE(record->IsValidColor());
  EXPECT_TRUE(record->IsNilPart());
  EXPECT_EQ(U8(record->GetPart()->GetId()), "7");  // a nil object keeps its attributes
  EXPECT_FALSE(record->IsNilSpare());
  ASSERT_EQ(record->GetFailure()->GetCount(), 2);
  EXPECT_TRUE(record->GetFailure()->Item(0)->IsXsiNil());
  EXPECT_EQ(U8(record->GetFailure()->Item(0)->GetMessage()), "m");
  EXPECT_FALSE(record->GetFailure()->Item(1)->IsXsiNil());
  EXPECT_TRUE(Generated::IsNil(record->GetValue()->Item(0)));  // untyped: among its attributes
  EXPECT_FALSE(Generated::IsNil(record->GetValue()->Item(1)));
  EXPECT_TRUE(record->IsNilBlob());
  EXPECT_EQ(TreeDifference(xml, record->ToXml()), "");

  // "1" is nil too, "0" and "false" are not; reading again starts afresh.
  record->FromXml((kHead + "<count xsi:nil='0'>2</count><note xsi:nil=' 1 '/>" + kPart +
                   "<spare xsi:nil='false'><name>s</name></spare>" + kEnd)
                      .c_str());
  EXPECT_FALSE(record->IsNilCount());
  EXPECT_EQ(record->GetCount(), 2);
  EXPECT_TRUE(record->IsNilNote());
  EXPECT_FALSE(record->IsNilColor());
  EXPECT_FALSE(record->IsNilPart());
  EXPECT_FALSE(record->IsNilSpare());
}

TEST(Nil, AccessorsSetAndClearIt) {
  CSmartPtr<Nil::CRecord> record = new Nil::CRecord;
  record->SetNilCount(true);
  record->SetNote(VX_T("n"));
  record->SetNilNote(true);  // the value goes
  EXPECT_FALSE(record->IsValidNote());
  record->SetNilSpare(true);  // an object is made to be nil
  ASSERT_NE(record->GetSpare(), nullptr);
  record->GetSpare()->SetId(VX_T("s"));
  record->GetPart()->SetName(VX_T("p"));
  record->SetNilBlob(true);
  EXPECT_EQ(TreeDifference(kHead + "<count xsi:nil='true'/><note xsi:nil='true'/>" + kPart +
                               "<spare id='s' xsi:nil='true'/><blob xsi:nil='true'/>" + kEnd,
                           record->ToXml()),
            "");

  record->SetCount(4);  // a value is no longer nil
  EXPECT_FALSE(record->IsNilCount());
  record->SetNilNote(false);
  record->SetNilSpare(false);
  record->SetNilBlob(false);
  EXPECT_EQ(TreeDifference(kHead + "<count>4</count>" + kPart +
                               "<spare id='s'><name></name></spare><blob/>" + kEnd,
                           record->ToXml()),
            "");
}

TEST(Nil, ARootFromTheFactoryMayBeNil) {
  const std::string xml =
      "<stamp xmlns='urn:nil' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
      "xsi:nil='true'/>";
  CSmartPtr<CXmlObjectBase> root = Nil::CreateRootObject(VX_T("stamp"), VX_T("urn:nil"));
  root->FromXml(xml.c_str());
  EXPECT_TRUE(root->IsXsiNil());
  EXPECT_EQ(TreeDifference(xml, root->ToXml()), "");
  // A root made by hand is not told that its element is nillable.
  EXPECT_NE(Failure([&] { ReadAs<Nil::CStamp>(xml); }).find("is not nillable"), std::string::npos);
}

// Malformed nil, each on the document's second line.
struct BadNil {
  const char* name;
  std::string before;  // members before the bad one, on the first line
  std::string bad;
  std::string message;  // the end of the failure chain
};

void PrintTo(const BadNil& c, std::ostream* os) { *os << c.name; }

class BadNils : public testing::TestWithParam<BadNil> {};

TEST_P(BadNils, AreRefusedWithTheLine) {
  const BadNil& c = GetParam();
  CSmartPtr<Nil::CRecord> record = new Nil::CRecord;
  std::string message;
  int line = 0;
  try {
    record->FromXml((kHead + c.before + "\n" + c.bad + kEnd).c_str());
  } catch (const CVxValidationException& e) {
    message = U8(e.GetFullMessage());
    line = e.GetLineNumber();
  }
  EXPECT_NE(message.find(c.message), std::string::npos) << message;
  EXPECT_EQ(line, 2) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Nil, BadNils,
    testing::Values(
        BadNil{"NotABoolean", "", "<count xsi:nil='maybe'/>" + kPart,
               "The value [maybe] of xsi:nil on the element [count] is not a boolean"},
        BadNil{"ValueWithText", "", "<count xsi:nil='true'>5</count>" + kPart,
               "The element [count] is nil (xsi:nil=\"true\") and cannot have content"},
        BadNil{"ObjectWithChild", "<count>1</count>", "<part xsi:nil='true'><name>p</name></part>",
               "The element [part] is nil (xsi:nil=\"true\") and cannot have content"},
        BadNil{"ItemNotABoolean", "<count>1</count>" + kPart, "<failure xsi:nil='maybe'/>",
               "The value [maybe] of xsi:nil on the element [failure] is not a boolean"},
        BadNil{"ValueNotNillable", "<count>1</count>" + kPart, "<plain xsi:nil='false'>x</plain>",
               "The element [plain] is not nillable: it cannot carry xsi:nil"},
        BadNil{"ObjectNotNillable", "<count>1</count>" + kPart, "<other xsi:nil='true'/>",
               "The element [other] is not nillable: it cannot carry xsi:nil"}),
    [](const testing::TestParamInfo<BadNil>& p) { return std::string(p.param.name); });

// -- elements with a default, read empty ------------------------------------------

TEST(ElementDefault, ReadEmptyGivesTheDefaultAndIsWrittenEmpty) {
  const std::string empty =
      kHead + "<count>1</count>" + kPart + "<path/><level></level><shade/></record>";
  CSmartPtr<Nil::CRecord> record = ReadAs<Nil::CRecord>(empty);
  EXPECT_EQ(U8(record->GetPath()), "../pom.xml");
  EXPECT_EQ(record->GetLevel(), 3);
  EXPECT_EQ(record->GetShade(), Nil::Color_blue);
  EXPECT_EQ(TreeDifference(empty, record->ToXml()), "");

  // A value set is written; what was not set stays empty.
  record->SetPath(VX_T("../parent/pom.xml"));
  record->SetLevel(4);
  EXPECT_EQ(TreeDifference(kHead + "<count>1</count>" + kPart +
                               "<path>../parent/pom.xml</path><level>4</level><shade/></record>",
                           record->ToXml()),
            "");

  // The default written out stays written out.
  const std::string full = kHead + "<count>1</count>" + kPart +
                           "<path>../pom.xml</path><level>3</level><shade>blue</shade></record>";
  EXPECT_EQ(TreeDifference(full, ReadAs<Nil::CRecord>(full)->ToXml()), "");
}

}  // namespace
