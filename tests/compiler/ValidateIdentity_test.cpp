// Validation on read of IDs, IDREFs and identity constraints: the schemas
// vxbindc refuses for them, and the classes generated at build time from
// data/validate_identity.xsd reading valid and invalid documents.
#include "validate_identity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "GeneratedTesting.h"
#include "ReaderTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

using reader_testing::Refusal;
using reader_testing::Refusals;

// A constrained element around its constraint.
std::string Constrained(const std::string& constraint) {
  return "<xs:element name='r'><xs:complexType><xs:sequence>"
         "<xs:element name='a' maxOccurs='9'><xs:complexType>"
         "<xs:attribute name='k' type='xs:int'/><xs:attribute name='j'/></xs:complexType>"
         "</xs:element></xs:sequence></xs:complexType>\n" +
         constraint + "</xs:element>";
}

INSTANTIATE_TEST_SUITE_P(
    ValidateIdentity, Refusals,
    testing::Values(
        Refusal{"EveryFormOfTheSubset",
                Constrained("<xs:unique name='u' xmlns:p='urn:p'>"
                            "<xs:selector xpath=' .//a | ./child::p:* | * | . '/>"
                            "<xs:field xpath='@k'/><xs:field xpath='attribute::p:*'/>"
                            "<xs:field xpath='.//p:a/@*'/></xs:unique>"),
                "(accepted)"},
        Refusal{"SelectorWithAttribute",
                Constrained("<xs:key name='k'><xs:selector xpath='a/@k'/>"
                            "<xs:field xpath='@k'/></xs:key>"),
                "t.xsd:3: invalid XPath 'a/@k' of xs:selector: a selector cannot select "
                "attributes"},
        Refusal{"DescendantInsideAPath",
                Constrained("<xs:key name='k'><xs:selector xpath='r//a'/>"
                            "<xs:field xpath='@k'/></xs:key>"),
                "t.xsd:3: invalid XPath 'r//a' of xs:selector: '//' is allowed only at the "
                "start, as './/'"},
        Refusal{"AttributeNotLast",
                Constrained("<xs:key name='k'><xs:selector xpath='a'/>"
                            "<xs:field xpath='@k/b'/></xs:key>"),
                "t.xsd:3: invalid XPath '@k/b' of xs:field: an attribute step must be the last"},
        Refusal{"OtherAxis",
                Constrained("<xs:key name='k'><xs:selector xpath='parent::a'/>"
                            "<xs:field xpath='@k'/></xs:key>"),
                "t.xsd:3: invalid XPath 'parent::a' of xs:selector: the axis 'parent' is not "
                "allowed"},
        Refusal{"UndeclaredPrefix",
                Constrained("<xs:key name='k'><xs:selector xpath='q:a'/>"
                            "<xs:field xpath='@k'/></xs:key>"),
                "t.xsd:3: invalid XPath 'q:a' of xs:selector: undeclared namespace prefix 'q'"},
        Refusal{"EmptyStep",
                Constrained("<xs:key name='k'><xs:selector xpath='a|'/>"
                            "<xs:field xpath='@k'/></xs:key>"),
                "t.xsd:3: invalid XPath 'a|' of xs:selector: a step is missing"},
        Refusal{"NoField", Constrained("<xs:key name='k'><xs:selector xpath='a'/></xs:key>"),
                "t.xsd:3: xs:key 'k' without xs:field"},
        Refusal{"KeyrefToNothing",
                Constrained("<xs:keyref name='r' refer='k'><xs:selector xpath='a'/>"
                            "<xs:field xpath='@k'/></xs:keyref>"),
                "t.xsd:3: the keyref 'r' refers to 'k', which is no key or unique constraint"},
        Refusal{"KeyrefFieldCount",
                Constrained("<xs:key name='k'><xs:selector xpath='a'/><xs:field xpath='@k'/>"
                            "<xs:field xpath='@j'/></xs:key>\n"
                            "<xs:keyref name='r' refer='k'><xs:selector xpath='a'/>"
                            "<xs:field xpath='@k'/></xs:keyref>"),
                "t.xsd:4: the keyref 'r' has 1 fields where 'k' has 2"},
        Refusal{"DuplicateName",
                Constrained("<xs:unique name='k'><xs:selector xpath='a'/>"
                            "<xs:field xpath='@k'/></xs:unique>\n"
                            "<xs:key name='k'><xs:selector xpath='a'/><xs:field xpath='@j'/>"
                            "</xs:key>"),
                "t.xsd:4: duplicate identity constraint 'k'"},
        Refusal{"TwoIdAttributes",
                "<xs:simpleType name='Id'><xs:restriction base='xs:ID'/></xs:simpleType>\n"
                "<xs:complexType name='T'><xs:attribute name='a' type='xs:ID'/>"
                "<xs:attribute name='b' type='Id'/></xs:complexType>",
                "t.xsd:3: two attributes of type ID, 'a' and 'b', in one complex type"}),
    reader_testing::RefusalName);

// The valid catalog, line by line: line n is kCatalog[n - 1].
const std::vector<std::string> kCatalog = {
    "<catalog xmlns='urn:catalog'>",
    "  <product code='p1'><name>Lamp</name></product>",
    "  <product code='p2' size='2'><name>Desk</name></product>",
    "  <order id='o1'>",
    "    <line><product>p1</product></line>",
    "    <line><product> p2 </product></line>",
    "    <ref>o2</ref><item>i1</item>",  // forward
    "  </order>",
    "  <order id='o2' follows='o1'>",
    "    <line><product>p2</product></line>",
    "    <seeAlso> o1  s1 </seeAlso>",
    "  </order>",
    "  <section>",
    "    <label>s1</label>",
    "    <item code='i1' size='1.0'><name>Shade</name></item>",
    "    <item code='i2' size='2'><name>Shade</name></item>",
    "    <item><name>Bulb</name></item> <item><name>Bulb</name></item>",
    "    <note>n1</note> <note>n2</note>",
    "  </section>",
    "</catalog>"};

// The catalog with lines replaced.
std::string Catalog(const std::map<int, std::string>& replaced = {}) {
  std::string xml;
  for (size_t i = 0; i < kCatalog.size(); ++i) {
    auto found = replaced.find(static_cast<int>(i + 1));
    xml += (found != replaced.end() ? found->second : kCatalog[i]) + "\n";
  }
  return xml;
}

using Outcome = ReadOutcome;

Outcome Read(const std::string& xml, bool validate) {
  return ReadOutcomeOf<ValidateIdentity::CCatalog>(xml, validate);
}

const std::string kRoot = "Failed to process the element [catalog]\n";
const std::string kOrder = kRoot + "Failed to process the element [order]\n";
const std::string kSection = kRoot + "Failed to process the element [section]\n";

struct Invalid {
  const char* name;
  std::map<int, std::string> replaced;
  std::string message;
  uint32_t line;
  uint32_t column;
};
void PrintTo(const Invalid& c, std::ostream* os) { *os << c.name; }

class InvalidCatalogs : public testing::TestWithParam<Invalid> {};

TEST(ValidateIdentity, TheValidCatalogReads) { EXPECT_EQ(Read(Catalog(), true).message, ""); }

TEST_P(InvalidCatalogs, AreRefusedAtTheElementAtFault) {
  const Invalid& c = GetParam();
  // Without validation, as before.
  EXPECT_EQ(Read(Catalog(c.replaced), false).message, "");
  Outcome outcome = Read(Catalog(c.replaced), true);
  EXPECT_EQ(outcome.message, c.message);
  EXPECT_EQ(outcome.line, c.line);
  EXPECT_EQ(outcome.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    ValidateIdentity, InvalidCatalogs,
    testing::Values(
        // IDs: attributes, elements of a type derived from xs:ID, repeated
        // elements (the second one is at fault).
        Invalid{"IdAttributeTwice",
                {{9, "  <order id='o1' follows='o1'>"}},
                kOrder + "Duplicate ID value [o1]",
                9,
                3},
        Invalid{"IdElementAsAnAttribute",
                {{14, "    <label> o2 </label>"}},
                kSection + "Failed to process the element [label]\nDuplicate ID value [o2]",
                14,
                5},
        Invalid{"RepeatedIdElements",
                {{18, "    <note>n1</note> <note>n1</note>"}},
                kSection + "Failed to process the element [note]\nDuplicate ID value [n1]",
                18,
                21},
        // References, resolved at the end: attributes, elements, IDREFS items.
        Invalid{"IdrefAttribute",
                {{9, "  <order id='o2' follows='o3'>"}},
                kOrder + "The IDREF value [o3] does not match any ID",
                9,
                3},
        Invalid{"IdrefElement",
                {{7, "    <ref>s2</ref><item>i1</item>"}},
                kOrder + "Failed to process the element [ref]\nThe IDREF value [s2] does not "
                         "match any ID",
                7,
                5},
        Invalid{"IdrefsItem",
                {{11, "    <seeAlso>o1 n3</seeAlso>"}},
                kOrder + "Failed to process the element [seeAlso]\nThe IDREF value [n3] does "
                         "not match any ID",
                11,
                5},
        // The key, its fields collapsed as xs:token is; its keyref.
        Invalid{"KeyTwice",
                {{3, "  <product code=' p1 ' size='2'><name>Desk</name></product>"}},
                kRoot + "Failed to process the element [product]\nDuplicate key value [p1] "
                        "for the key [productCode]",
                3,
                3},
        Invalid{"KeyFieldMissing",
                {{2, "  <product><name>Lamp</name></product>"}},
                kRoot + "Failed to process the element [product]\nMissing field [@code] for "
                        "the key [productCode]",
                2,
                3},
        Invalid{"KeyrefToNoKey",
                {{10, "    <line><product>p3</product></line>"}},
                kOrder + "Failed to process the element [line]\nThe keyref [orderedProduct] "
                         "value [p3] matches no key of [productCode]",
                10,
                5},
        // A keyref to a unique of the sections, below its own element.
        Invalid{"KeyrefBelow",
                {{7, "    <ref>o2</ref><item>p1</item>"}},
                kOrder + "Failed to process the element [item]\nThe keyref [orderedItem] value "
                         "[p1] matches no key of [sectionCode]",
                7,
                18},
        // A unique whose selector has ".//" and "|": a product code on an
        // item of a section.
        Invalid{"UniqueAcrossPaths",
                {{16, "    <item code='p2' size='2'><name>Shade</name></item>"}},
                kSection + "Failed to process the element [item]\nDuplicate key value [p2] for "
                           "the unique constraint [anyCode]",
                16,
                5},
        // A unique of two fields on a local element: 1 and 1.0 are one
        // decimal.
        Invalid{"UniqueOfTwoFields",
                {{16, "    <item code='i2' size='01'><name>Shade</name></item>"}},
                kSection + "Failed to process the element [item]\nDuplicate key value [Shade, "
                           "01] for the unique constraint [sectionItem]",
                16,
                5}),
    [](const testing::TestParamInfo<Invalid>& p) { return std::string(p.param.name); });

// A catalog of `count` products, each on a line of its own, and an order
// of as many lines referring to them, the last one to `lastReference`.
std::string LargeCatalog(int count, const std::string& lastReference) {
  std::string xml = "<catalog xmlns='urn:catalog'>\n";
  for (int i = 0; i < count; ++i)
    xml += "<product code='p" + std::to_string(i) + "'><name>n</name></product>\n";
  xml += "<order id='o'>\n";
  for (int i = 0; i < count; ++i)
    xml += "<line><product>" + (i + 1 < count ? "p" + std::to_string(i) : lastReference) +
           "</product></line>\n";
  return xml + "</order>\n</catalog>\n";
}

TEST(ValidateIdentity, AHundredThousandKeysTakeLinearTime) {
  const int count = 100000;
  EXPECT_EQ(Read(LargeCatalog(count, "p0"), true).message, "");
  Outcome outcome = Read(LargeCatalog(count, "p" + std::to_string(count)), true);
  EXPECT_EQ(outcome.message, kOrder +
                                 "Failed to process the element [line]\nThe keyref "
                                 "[orderedProduct] value [p100000] matches no key of "
                                 "[productCode]");
  EXPECT_EQ(outcome.line, static_cast<uint32_t>(2 * count + 2));
}

}  // namespace
