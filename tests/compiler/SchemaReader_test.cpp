// The schema reader: what it refuses, with which place and message, and what
// it makes of the constructs it takes.
#include "SchemaLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Generator.h"
#include "ReaderTesting.h"

namespace vxbindc {
namespace {

using reader_testing::ErrorOf;
using reader_testing::Refusal;
using reader_testing::Refusals;
using reader_testing::Schema;

TEST_P(Refusals, NameTheLineAndTheConstruct) {
  EXPECT_EQ(ErrorOf(Schema(GetParam().body)), GetParam().expected);
}

const std::string kSeq = "<xs:complexType name='T'><xs:sequence>\n";
const std::string kEnd = "\n</xs:sequence></xs:complexType>";

INSTANTIATE_TEST_SUITE_P(
    SchemaReader, Refusals,
    testing::Values(
        // References that lead nowhere.
        Refusal{"UnknownType", "<xs:element name='a' type='Missing'/>",
                "t.xsd:2: unknown type 'Missing'"},
        Refusal{"UnknownBuiltin", "\n<xs:element name='a' type='xs:strin'/>",
                "t.xsd:3: unknown type 'xs:strin'"},
        Refusal{"UnknownElementRef", kSeq + "<xs:element ref='nowhere'/>" + kEnd,
                "t.xsd:3: unknown element 'nowhere'"},
        Refusal{"UnknownBase",
                "<xs:simpleType name='S'>\n<xs:restriction base='Nothing'/></xs:simpleType>",
                "t.xsd:2: unknown type 'Nothing'"},
        Refusal{"UndeclaredPrefix", "<xs:element name='a' type='p:x'/>",
                "t.xsd:2: undeclared namespace prefix 'p' in 'p:x'"},
        Refusal{"ComplexTypeOfAttribute",
                "<xs:complexType name='T'/>\n<xs:complexType name='U'>\n"
                "<xs:attribute name='a' type='T'/></xs:complexType>",
                "t.xsd:4: an attribute or a text cannot have the complex type 'T'"},
        // Duplicates in one symbol space; elements and types are two.
        Refusal{"DuplicateElement",
                "<xs:element name='a' type='xs:int'/>\n"
                "<xs:element name='a' type='xs:string'/>",
                "t.xsd:3: duplicate element 'a'"},
        Refusal{"DuplicateType",
                "<xs:complexType name='T'/>\n<xs:simpleType name='T'>"
                "<xs:restriction base='xs:int'/></xs:simpleType>",
                "t.xsd:3: duplicate type 'T'"},
        Refusal{"DuplicateAttribute",
                "<xs:complexType name='T'>\n<xs:attribute name='a'/>\n"
                "<xs:attribute name='a'/></xs:complexType>",
                "t.xsd:4: duplicate attribute 'a'"},
        // Outside the supported subset.
        Refusal{"Import", "<xs:import namespace='urn:x'/>", "t.xsd:2: unsupported xs:import"},
        Refusal{"EmptyGroup", "<xs:group name='g'/>", "t.xsd:2: xs:group without a model group"},
        Refusal{"UnknownGroup", kSeq + "<xs:group ref='G'/>" + kEnd, "t.xsd:3: unknown group 'G'"},
        Refusal{"GroupContainingItself",
                "<xs:group name='G'><xs:sequence>\n<xs:group ref='G' minOccurs='0'/>"
                "</xs:sequence></xs:group>",
                "t.xsd:3: the group 'G' contains itself without an element between"},
        Refusal{"UnknownAttributeGroup",
                "<xs:complexType name='T'>\n<xs:attributeGroup ref='A'/></xs:complexType>",
                "t.xsd:3: unknown attribute group 'A'"},
        Refusal{"AttributeGroupContainingItself",
                "<xs:attributeGroup name='A'>\n<xs:attributeGroup ref='A'/></xs:attributeGroup>"
                "<xs:complexType name='T'>\n<xs:attributeGroup ref='A'/></xs:complexType>",
                "t.xsd:3: the attribute group 'A' is used twice in one type, or contains itself"},
        Refusal{"UnknownAttributeRef",
                "<xs:complexType name='T'>\n<xs:attribute ref='g'/>"
                "</xs:complexType>",
                "t.xsd:3: unknown attribute 'g'"},
        Refusal{"DuplicateThroughRef",
                "<xs:attribute name='g' type='xs:int'/><xs:complexType name='T'>\n"
                "<xs:attribute name='g'/>\n<xs:attribute ref='g'/></xs:complexType>",
                "t.xsd:4: duplicate attribute 'g'"},
        Refusal{"RequiredRefWithDefault",
                "<xs:attribute name='g' type='xs:int' default='1'/><xs:complexType name='T'>\n"
                "<xs:attribute ref='g' use='required'/></xs:complexType>",
                "t.xsd:3: a required attribute cannot have a default"},
        Refusal{"WildcardInAll",
                "<xs:complexType name='T'><xs:all>\n<xs:any/></xs:all></xs:complexType>",
                "t.xsd:3: xs:any cannot stand inside xs:all"},
        Refusal{"NestedAll", kSeq + "<xs:all/>" + kEnd,
                "t.xsd:3: xs:all cannot stand inside xs:sequence"},
        Refusal{"RepeatedAll",
                "<xs:complexType name='T'>\n<xs:all maxOccurs='2'/>"
                "</xs:complexType>",
                "t.xsd:3: xs:all may only have minOccurs 0 or 1 and maxOccurs 1"},
        Refusal{"SelfContainingThroughAGroup",
                "<xs:complexType name='N'><xs:sequence><xs:sequence>\n"
                "<xs:element name='n' type='N'/></xs:sequence></xs:sequence></xs:complexType>",
                "t.xsd:3: the element 'n' is mandatory and contains itself: no document could "
                "end; make it optional"},
        Refusal{"MixedWithElements",
                "<xs:complexType name='T' mixed='true'><xs:sequence>\n"
                "<xs:element name='b' type='xs:string'/></xs:sequence></xs:complexType>",
                "(accepted)"},
        Refusal{"ComplexContent",
                "<xs:complexType name='T'>\n<xs:complexContent/>"
                "</xs:complexType>",
                "t.xsd:3: xs:complexContent without xs:extension or xs:restriction"},
        Refusal{
            "SimpleContentRestriction",
            "<xs:complexType name='T'><xs:simpleContent>\n"
            "<xs:restriction base='xs:int'/></xs:simpleContent></xs:complexType>",
            "t.xsd:3: xs:simpleContent/xs:restriction cannot derive from the simple type 'xs:int'"},
        Refusal{"SimpleContentOfAComplexType",
                "<xs:complexType name='T'/><xs:complexType name='U'><xs:simpleContent>\n"
                "<xs:extension base='T'/></xs:simpleContent></xs:complexType>",
                "t.xsd:3: xs:simpleContent cannot derive from the complex type 'T', which has no "
                "simple content"},
        Refusal{"ListOfTwo",
                "<xs:simpleType name='S'>\n<xs:list itemType='xs:int'><xs:simpleType>"
                "<xs:restriction base='xs:int'/></xs:simpleType></xs:list></xs:simpleType>",
                "t.xsd:3: xs:list needs one item type: the itemType attribute or an xs:simpleType"},
        Refusal{"WhiteSpaceFacet",
                "<xs:simpleType name='S'><xs:restriction base='xs:string'>\n"
                "<xs:whiteSpace value='collapse'/></xs:restriction>"
                "</xs:simpleType>\n<xs:simpleType name='P'><xs:restriction base='S'>"
                "<xs:whiteSpace value='preserve'/></xs:restriction></xs:simpleType>",
                "t.xsd:4: xs:whiteSpace 'preserve' would loosen the base's 'collapse'"},
        Refusal{"SubstitutionGroup", "<xs:element name='a' type='xs:int' substitutionGroup='b'/>",
                "t.xsd:2: unknown element 'b'"},
        Refusal{"PatternOnPattern",
                "<xs:simpleType name='A'><xs:restriction base='xs:string'>"
                "<xs:pattern value='a*'/></xs:restriction></xs:simpleType>\n"
                "<xs:simpleType name='B'><xs:restriction base='A'><xs:pattern value='b*'/>"
                "</xs:restriction></xs:simpleType>",
                "t.xsd:3: unsupported xs:pattern on a type whose base has a pattern"},
        // Schemas that cannot stand.
        Refusal{"SelfContaining",
                "<xs:complexType name='N'><xs:sequence>\n"
                "<xs:element name='n' type='N'/>" +
                    kEnd,
                "t.xsd:3: the element 'n' is mandatory and contains itself: no document could "
                "end; make it optional"},
        Refusal{"ContainingThroughAnother",
                "<xs:complexType name='A'><xs:sequence><xs:element name='b' type='B'/>"
                "</xs:sequence></xs:complexType>\n"
                "<xs:complexType name='B'><xs:all>\n<xs:element name='a' type='A'/></xs:all>"
                "</xs:complexType>",
                "t.xsd:4: the element 'a' is mandatory and contains itself: no document could "
                "end; make it optional"},
        Refusal{"CircularDerivation",
                "<xs:simpleType name='A'><xs:restriction base='B'/></xs:simpleType>\n"
                "<xs:simpleType name='B'><xs:restriction base='A'/></xs:simpleType>",
                "t.xsd:2: circular derivation of the simple type 'A'"},
        Refusal{"BadDefault",
                "<xs:complexType name='T'>\n"
                "<xs:attribute name='a' type='xs:int' default='x'/></xs:complexType>",
                "t.xsd:3: invalid default value 'x' for the attribute 'a'"},
        Refusal{"FixedOutsideEnumeration",
                "<xs:simpleType name='E'><xs:restriction base='xs:string'>"
                "<xs:enumeration value='a'/></xs:restriction></xs:simpleType>\n"
                "<xs:complexType name='T'>\n"
                "<xs:attribute name='c' type='E' fixed='b'/></xs:complexType>",
                "t.xsd:4: invalid fixed value 'b' for the attribute 'c'"},
        Refusal{"EnumerationOutsideBase",
                "<xs:simpleType name='E'><xs:restriction base='xs:string'>"
                "<xs:enumeration value='a'/></xs:restriction></xs:simpleType>\n"
                "<xs:simpleType name='F'><xs:restriction base='E'>"
                "<xs:enumeration value='b'/></xs:restriction></xs:simpleType>",
                "t.xsd:3: enumeration value 'b' is not one of the base's"},
        Refusal{"BadBound",
                "<xs:simpleType name='S'><xs:restriction base='xs:decimal'>\n"
                "<xs:minInclusive value='abc'/></xs:restriction></xs:simpleType>",
                "t.xsd:2: invalid bound 'abc' for the item type decimal"},
        Refusal{"LengthOfANumber",
                "<xs:simpleType name='S'>\n<xs:restriction base='xs:int'>"
                "<xs:maxLength value='3'/></xs:restriction></xs:simpleType>",
                "t.xsd:2: length facets do not apply to the item type i4"},
        Refusal{"BoundOfAString",
                "<xs:simpleType name='S'>\n<xs:restriction base='xs:token'>"
                "<xs:maxInclusive value='z'/></xs:restriction></xs:simpleType>",
                "t.xsd:2: bound facets do not apply to the item type string"},
        Refusal{"BadEnumerationValue",
                "<xs:simpleType name='S'><xs:restriction base='xs:int'>\n"
                "<xs:enumeration value='one'/></xs:restriction></xs:simpleType>",
                "t.xsd:2: invalid enumeration value 'one' for the item type i4"},
        Refusal{"RepeatedInAll",
                "<xs:complexType name='T'><xs:all>\n"
                "<xs:element name='a' type='xs:int' maxOccurs='2'/>"
                "</xs:all></xs:complexType>",
                "t.xsd:3: maxOccurs must be 0 or 1 inside xs:all"},
        Refusal{"MinAboveMax",
                kSeq +
                    "<xs:element name='a' type='xs:int' minOccurs='3' "
                    "maxOccurs='2'/>" +
                    kEnd,
                "t.xsd:3: minOccurs is greater than maxOccurs"},
        Refusal{"RefWithName", kSeq + "<xs:element ref='a' name='b'/>" + kEnd,
                "t.xsd:3: xs:element with both ref and name"}),
    reader_testing::RefusalName);

TEST(SchemaReader, RefusesWhatIsNoSchema) {
  EXPECT_EQ(ErrorOf("<schema/>"), "t.xsd:1: not an XML Schema: the document element is 'schema'");
  // The document reader's own message, at the line where the XML breaks.
  std::string malformed = ErrorOf(Schema("<xs:element name='a' type='xs:int'>\n</xs:schema>"));
  EXPECT_EQ(malformed.rfind("t.xsd:3: ", 0), 0u) << malformed;
}

TEST(SchemaReader, ResolvesNamesWithTheNamespacesInScopeAndSkipsAnnotations) {
  // The default namespace is the target namespace; a prefix declared on the
  // element itself is in scope there.
  auto schema = ParseSchema(
      "t.xsd", Schema("<xs:complexType name='T'><xs:sequence>"
                      "<xs:element name='a' type='T2'/>"
                      "<xs:element name='b' xmlns:q='urn:t' type='q:T2'/>"
                      "<xs:element name='c' type='xs:int' form='unqualified'/>"
                      "</xs:sequence><xs:attribute name='x' type='xs:int'/></xs:complexType>"
                      "<xs:complexType name='T2'/>"
                      "<xs:annotation><xs:documentation>x</xs:documentation></xs:annotation>"
                      "<xs:element name='e' type='xs:int' xmlns:o='urn:o' o:note='kept out'>"
                      "<xs:annotation><xs:appinfo><o:any/></xs:appinfo></xs:annotation>"
                      "</xs:element>",
                      " xmlns='urn:t' targetNamespace='urn:t' elementFormDefault='qualified'"
                      " attributeFormDefault='qualified'"));
  const ComplexType& t = *schema->namedComplexTypes.at("T");
  const ComplexType* t2 = schema->namedComplexTypes.at("T2");
  EXPECT_EQ(t.particles[0].decl->type.complex, t2);
  EXPECT_EQ(t.particles[1].decl->type.complex, t2);
  EXPECT_EQ(t.particles[0].decl->ns, "urn:t");
  EXPECT_EQ(t.particles[2].decl->ns, "");
  EXPECT_EQ(t.attributes[0].ns, "urn:t");
  // Annotations and attributes of other namespaces are skipped.
  EXPECT_EQ(schema->globalElementOrder.size(), 1u);
}

TEST(SchemaReader, AccumulatesFacetsAndSharesEnumerationsAlongTheDerivation) {
  auto schema = ParseSchema(
      "t.xsd", Schema("<xs:simpleType name='Small'><xs:restriction base='Percent'>"
                      "<xs:maxExclusive value='10'/></xs:restriction></xs:simpleType>"
                      "<xs:simpleType name='Percent'><xs:restriction base='xs:positiveInteger'>"
                      "<xs:maxInclusive value='100'/></xs:restriction></xs:simpleType>"
                      "<xs:simpleType name='Tag'><xs:restriction base='xs:token'>"
                      "<xs:pattern value='a'/><xs:pattern value='b'/><xs:maxLength value='4'/>"
                      "</xs:restriction></xs:simpleType>"
                      "<xs:simpleType name='E'><xs:restriction base='xs:string'>"
                      "<xs:enumeration value='a'/><xs:enumeration value='b'/>"
                      "</xs:restriction></xs:simpleType>"
                      "<xs:simpleType name='Same'><xs:restriction base='E'/></xs:simpleType>"
                      "<xs:simpleType name='Fewer'><xs:restriction base='E'>"
                      "<xs:enumeration value='b'/></xs:restriction></xs:simpleType>"));
  // Declared before its base: resolution does not depend on the order.
  const SimpleType& small = *schema->namedSimpleTypes.at("Small");
  EXPECT_EQ(small.itemType, "integer");
  EXPECT_EQ(small.facets.minInclusive, "1");  // implied by positiveInteger
  EXPECT_EQ(small.facets.maxInclusive, "100");
  EXPECT_EQ(small.facets.maxExclusive, "10");
  EXPECT_EQ(small.whitespace, Whitespace::Collapse);
  const SimpleType& tag = *schema->namedSimpleTypes.at("Tag");
  EXPECT_EQ(tag.facets.pattern, "(a)|(b)");  // patterns of one step are alternatives
  EXPECT_EQ(tag.facets.maxLength, 4);
  EXPECT_FALSE(tag.IsEnum());
  // A derived type without values of its own shares its base's enumeration.
  const SimpleType* e = schema->namedSimpleTypes.at("E");
  EXPECT_EQ(schema->namedSimpleTypes.at("Same")->enumOwner, e);
  const SimpleType* fewer = schema->namedSimpleTypes.at("Fewer");
  EXPECT_EQ(fewer->enumOwner, fewer);
  EXPECT_EQ(fewer->enumeration, std::vector<std::string>{"b"});
}

// Anonymous types nested far deeper than a recursive reader's stack would
// take are read from a work list; naming and generating them is linear.
std::string Nested(int depth) {
  std::string text = "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>";
  for (int i = 0; i < depth; ++i) text += "<xs:element name='e'><xs:complexType><xs:sequence>";
  text += "<xs:element name='leaf' type='xs:int'/>";
  for (int i = 0; i < depth; ++i) text += "</xs:sequence></xs:complexType></xs:element>";
  return text + "</xs:schema>";
}


TEST(SchemaReader, ReadsDeeplyNestedModelGroups) {
  const int depth = 100000;
  std::string text = Schema("<xs:complexType name='T'>" + std::string() + [&] {
    std::string groups;
    for (int i = 0; i < depth; ++i) groups += i % 2 ? "<xs:choice minOccurs='0'>" : "<xs:sequence>";
    groups += "<xs:element name='leaf' type='xs:int'/>";
    for (int i = depth - 1; i >= 0; --i) groups += i % 2 ? "</xs:choice>" : "</xs:sequence>";
    return groups;
  }() + "</xs:complexType>");
  auto schema = ParseSchema("deep.xsd", text);
  // The outermost group is the type's own; every other one a pseudo type.
  ASSERT_EQ(schema->complexTypes.size(), static_cast<size_t>(depth));
  EXPECT_TRUE(schema->complexTypes.back()->pseudo);
  EXPECT_EQ(schema->complexTypes.back()->particles[0].decl->name, "leaf");
}

TEST(SchemaReader, ReadsAndNamesDeeplyNestedAnonymousTypes) {
  auto deep = ParseSchema("deep.xsd", Nested(100000));
  ASSERT_EQ(deep->complexTypes.size(), 100000u);
  EXPECT_EQ(deep->complexTypes.back()->particles[0].decl->name, "leaf");
  std::vector<std::unique_ptr<vxbindc::Schema>> schemas;
  schemas.push_back(ParseSchema("deep.xsd", Nested(1000)));
  std::vector<OutputFile> files = Generate(schemas, "Deep");
  ASSERT_EQ(files.size(), 2u);
  // The outermost takes the element's name, the next is told apart by the
  // element that holds it, the rest by numbers.
  for (const char* name : {"class CE;", "class CEE;", "class CEE2;", "class CEE999;"})
    EXPECT_NE(files[0].text.find(name), std::string::npos) << name;
  EXPECT_EQ(files[0].text.find("class CEE1000;"), std::string::npos);
}

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(VXBINDC_TEST_DATA "/") + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whatever a schema holds, the compiler answers with classes or with a
// "file:line: message" naming a line: every line of the test schemas left out, and every
// line doubled, in turn.
TEST(SchemaReader, AnswersEveryDamagedSchemaWithFilesOrAMessage) {
  const std::regex message("m\\.xsd:[1-9][0-9]*: .+");
  for (const char* name : {"kinds.xsd", "groups.xsd", "edges.xsd", "derivation.xsd"}) {
    std::vector<std::string> lines;
    std::istringstream in(ReadData(name));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_GT(lines.size(), 10u) << name;
    for (size_t i = 0; i < lines.size(); ++i) {
      for (int doubled = 0; doubled < 2; ++doubled) {
        std::string text;
        for (size_t k = 0; k < lines.size(); ++k)
          if (k != i || doubled)
            text += lines[k] + (k == i && doubled ? "\n" + lines[k] : "") + "\n";
        try {
          std::vector<std::unique_ptr<vxbindc::Schema>> schemas;
          schemas.push_back(ParseSchema("m.xsd", text));
          EXPECT_EQ(Generate(schemas, "M").size(), 2u);
        } catch (const CompileError& e) {
          EXPECT_TRUE(std::regex_match(e.Format(), message)) << e.Format();
        }
      }
    }
  }
}

}  // namespace
}  // namespace vxbindc
