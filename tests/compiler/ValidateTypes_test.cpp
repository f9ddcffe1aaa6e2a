// Validation on read of xsi:type, xsi:nil and wildcards, through the classes
// generated at build time from data/validate_types.xsd: what it refuses, with
// the message, line and column, and what reading without it still takes.
#include "validate_types.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GeneratedTesting.h"
#include "ReaderTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

using reader_testing::Refusal;
using reader_testing::Refusals;

// block and blockDefault: the tokens XML Schema has, on global and local
// elements and complex types.
INSTANTIATE_TEST_SUITE_P(
    ValidateTypes, Refusals,
    testing::Values(
        Refusal{"BlockTokens",
                "<xs:complexType name='T' block='#all'><xs:sequence>"
                "<xs:element name='a' type='xs:int' block='extension  restriction'/>"
                "</xs:sequence></xs:complexType>"
                "<xs:element name='e' type='T' block='substitution'/>",
                "(accepted)"},
        Refusal{"BlockUnknownToken", "\n<xs:element name='a' type='xs:int' block='extension list'/>",
                "t.xsd:3: invalid block 'extension list'"},
        Refusal{"BlockOnAReference",
                "<xs:element name='a' type='xs:int'/><xs:complexType name='T'><xs:sequence>"
                "\n<xs:element ref='a' block='#all'/></xs:sequence></xs:complexType>",
                "t.xsd:3: xs:element with both ref and block"}),
    reader_testing::RefusalName);

// A root whose content starts on line 5, column 3.
std::string Doc(const std::string& content) {
  return "<root xmlns='urn:vxbind:vtypes' xmlns:t='urn:vxbind:vtypes'\n"
         "      xmlns:xs='http://www.w3.org/2001/XMLSchema'\n"
         "      xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'\n"
         "      xmlns:o='urn:other' xmlns:a='urn:a'>\n"
         "  " +
         content + "\n</root>";
}

using Outcome = ReadOutcome;

Outcome Read(const std::string& xml, bool validate) {
  return ReadOutcomeOf<ValidateTypes::CRoot>(xml, validate);
}

TEST(ValidateTypes, ValidDocumentReadsTheSameWithOrWithoutValidation) {
  const std::string xml = Doc(
      "<base xsi:type='t:Derived'><a>1</a><b>2</b></base>"
      "<base xsi:type='Restricted' xmlns='urn:vxbind:vtypes'><a>3</a></base><base><a>4</a></base>\n"
      "<fixedBase xsi:type=' t:Derived '><a>5</a><b>6</b></fixedBase>\n"
      "<plain xsi:type='t:Other'><a>7</a></plain><noext xsi:type='t:NoExtension'><a>8</a></noext>\n"
      "<shape xsi:type='t:Circle' radius='2'/><number xsi:type='xs:int'>9</number>\n"
      "<small xsi:type='t:Small'>10</small><maybe xsi:type='t:Small' xsi:nil='true'/>\n"
      "<circle/><note><a>n</a></note><other><o:x><t:inner/></o:x></other><list><a:y/></list>\n"
      "<local><z xmlns=''/><a:z/></local><strict o:attr='1'><t:count>3</t:count></strict>");
  for (bool validate : {false, true}) {
    CXmlSerializationContext context;
    context.SetValidateOnRead(validate);
    CSmartPtr<ValidateTypes::CRoot> root = new ValidateTypes::CRoot;
    ASSERT_EQ(Failure([&] { root->FromXml(xml.c_str(), context); }), "") << validate;
    ASSERT_EQ(root->GetBase2()->GetCount(), 3);
    EXPECT_NE(dynamic_cast<ValidateTypes::CDerived*>(root->GetBase2()->Item(0).get()), nullptr);
    EXPECT_NE(dynamic_cast<ValidateTypes::CRestricted*>(root->GetBase2()->Item(1).get()), nullptr);
    EXPECT_NE(dynamic_cast<ValidateTypes::CDerived*>(root->GetFixedBase().get()), nullptr);
    EXPECT_NE(dynamic_cast<ValidateTypes::CCircle*>(root->GetShape().get()), nullptr);
    EXPECT_TRUE(root->IsNilMaybe());
  }
}

TEST(ValidateTypes, RefusalsNameWhatWasFoundWhereItStands) {
  struct Refused {
    const char* name;
    std::string content;
    std::string message;      // with validation, the last link of the chain
    uint32_t line, column;    // with validation
    std::string unvalidated;  // the chain without validation ("" read)
  };
  const std::string root = "Failed to process the element [root]\n";
  const std::string kShapeLeft =
      "Failed read all the elements held within the element [root]. The unexpected element "
      "[shape] remains un processed";
  const std::string kFigureLeft =
      "Failed read all the elements held within the element [root]. The unexpected element "
      "[figure] remains un processed";
  const std::vector<Refused> cases = {
      {"UndefinedType", "<plain xsi:type='t:Nope'><a>x</a></plain>",
       "The type [t:Nope] named by xsi:type is not defined", 5, 3, ""},
      {"UnboundPrefix", "<number xsi:type='q:int'>1</number>",
       "The type [q:int] named by xsi:type is not defined", 5, 3, ""},
      {"UnrelatedClassType", "<plain xsi:type='t:Base'><a>x</a></plain>",
       "The type [t:Base] named by xsi:type is not derived from the declared type [Other] of the "
       "element [plain]",
       5, 3, ""},
      {"SecondItemOfARun", "<base><a>x</a></base>\n  <base xsi:type='t:Other'><a>x</a></base>",
       "The type [t:Other] named by xsi:type is not derived from the declared type [Base] of the "
       "element [base]",
       6, 3, root + "Failed to find a suitable substitution element for [base]"},
      {"ElementBlocksRestriction", "<fixedBase xsi:type='t:Restricted'><a>x</a></fixedBase>",
       "The type [t:Restricted] named by xsi:type cannot replace the declared type [Base] of the "
       "element [fixedBase]: derivation by [restriction] is blocked",
       5, 3, ""},
      {"TypeBlocksExtension", "<noext xsi:type='t:Extended'><a>x</a><b>1</b></noext>",
       "The type [t:Extended] named by xsi:type cannot replace the declared type [NoExtension] "
       "of the element [noext]: derivation by [extension] is blocked",
       5, 3, ""},
      {"AbstractWithoutXsiType", "<shape/>",
       "The element [shape] is of the abstract type [Shape]: xsi:type must name a type derived "
       "from it",
       5, 3, root + kShapeLeft},
      {"XsiTypeAbstract", "<shape xsi:type='t:Shape'/>",
       "The type [t:Shape] named by xsi:type on the element [shape] is abstract", 5, 3,
       root + kShapeLeft},
      {"AbstractHead", "<figure/>", kFigureLeft, 5, 3, root + kFigureLeft},
      {"AnonymousType", "<other xsi:type='t:Base'/>",
       "The type [t:Base] named by xsi:type is not derived from the anonymous type of the "
       "element [other]",
       5, 3, ""},
      {"SimpleNotDerived", "<number xsi:type='xs:string'>1</number>",
       "The type [xs:string] named by xsi:type is not derived from the declared type [decimal] "
       "of the element [number]",
       5, 3, ""},
      {"BaseOfTheDeclaredType", "<small xsi:type='xs:int'>1</small>",
       "The type [xs:int] named by xsi:type is not derived from the declared type [Small] of the "
       "element [small]",
       5, 3, ""},
      {"BlockedSubstitution", "<remark><a>x</a><b>1</b></remark>",
       "The element [remark] cannot stand for the element [note]: the substitution is blocked", 5,
       3, ""},
      {"NilNotNillable", "<number xsi:nil='true'/>",
       "The element [number] is not nillable: it cannot carry xsi:nil", 5, 3,
       root + "The element [number] is not nillable: it cannot carry xsi:nil"},
      {"NilOnAClassMember", "<plain xsi:nil='true'><a>x</a></plain>",
       "The element [plain] is not nillable: it cannot carry xsi:nil", 5, 3,
       root + "Failed to process the element [plain]\n"
              "The element [plain] is not nillable: it cannot carry xsi:nil"},
      {"NilWithContent", "<maybe xsi:nil='true'>1</maybe>",
       "The element [maybe] is nil (xsi:nil=\"true\") and cannot have content", 5, 3,
       root + "The element [maybe] is nil (xsi:nil=\"true\") and cannot have content"},
      {"OtherTakesNoUnqualified", "<other><o:x/>\n  <x xmlns=''/></other>",
       "The element [x] in the namespace [] is not allowed by the wildcard [##other]", 6, 3, ""},
      {"ListTakesNoUnqualified", "<list><y xmlns=''/></list>",
       "The element [y] in the namespace [] is not allowed by the wildcard [urn:a urn:b]", 5, 9,
       ""},
      {"LaxContentXsiType", "<other><o:x xsi:type='t:Nope'/></other>",
       "The type [t:Nope] named by xsi:type is not defined", 5, 10, ""},
      {"StrictContentXsiType", "<strict><t:count>1</t:count>\n  <t:count xsi:type='xs:string'>1</t:count></strict>",
       "The type [xs:string] named by xsi:type is not derived from the declared type [Small] of "
       "the element [count]",
       6, 3, ""},
      {"AttributeWildcardOther", "<strict plain='1'/>",
       "The attribute [plain] in the namespace [] is not allowed by the wildcard [##other]", 5, 3,
       ""},
  };
  for (const Refused& c : cases) {
    const std::string xml = Doc(c.content);
    Outcome validated = Read(xml, true);
    const size_t last = validated.message.rfind('\n');
    EXPECT_EQ(last == std::string::npos ? validated.message : validated.message.substr(last + 1),
              c.message)
        << c.name << ":\n"
        << validated.message;
    EXPECT_EQ(validated.line, c.line) << c.name;
    EXPECT_EQ(validated.column, c.column) << c.name;
    EXPECT_EQ(Read(xml, false).message, c.unvalidated) << c.name;
  }
}

TEST(ValidateTypes, DocumentRootsAreCheckedAgainstTheirGlobalDeclaration) {
  const std::string ns =
      " xmlns='urn:vxbind:vtypes' xmlns:t='urn:vxbind:vtypes'"
      " xmlns:xs='http://www.w3.org/2001/XMLSchema'"
      " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'";
  CXmlSerializationContext context;
  context.SetValidateOnRead(true);
  struct Root {
    CSmartPtr<CXmlObjectBase> object;
    std::string xml, message;
  };
  const std::vector<Root> roots = {
      {new ValidateTypes::CCount, "<count" + ns + " xsi:type='t:Small'>3</count>", ""},
      {new ValidateTypes::CCount, "<count" + ns + " xsi:type='xs:string'>3</count>",
       "The type [xs:string] named by xsi:type is not derived from the declared type [Small] of "
       "the element [count]"},
      {new ValidateTypes::CAnything, "<anything" + ns + " xsi:type='t:Base'><a>1</a></anything>",
       ""},
      {new ValidateTypes::CAnything, "<anything" + ns + " xsi:type='t:Shape'/>",
       "The type [t:Shape] named by xsi:type on the element [anything] is abstract"},
      {new ValidateTypes::CRoot, "\n <root" + ns + " xsi:type='t:Base'/>",
       "The type [t:Base] named by xsi:type is not derived from the anonymous type of the "
       "element [root]"},
  };
  for (const Root& r : roots) {
    uint32_t line = 0, column = 0;
    std::string message;
    try {
      r.object->FromXml(r.xml.c_str(), context);
    } catch (const CVxException& e) {
      message = U8(e.GetFullMessage());
      line = e.GetLineNumber();
      column = e.GetColumnNumber();
    }
    const size_t last = message.rfind('\n');
    EXPECT_EQ(last == std::string::npos ? message : message.substr(last + 1), r.message) << r.xml;
    if (!r.message.empty()) {
      EXPECT_EQ(line, r.xml[0] == '\n' ? 2u : 1u) << r.xml;
      EXPECT_EQ(column, r.xml[0] == '\n' ? 2u : 1u) << r.xml;
    }
    EXPECT_EQ(Failure([&] { r.object->FromXml(r.xml.c_str()); }), "") << r.xml;
  }
}

}  // namespace
