// Complex types derived from complex types (data/derivation.xsd): the
// generated classes derive from their bases' classes, members of a base
// type take objects of the types derived from it by xsi:type, and the
// reader's refusals of derivations it cannot bind.
#include "derivation.h"
#include "round.h"
#include "shapes.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "GeneratedTesting.h"
#include "ReaderTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
namespace D = Derive;

const std::string kDrawing = ReadFile(VXBINDC_TEST_DATA "/derivation.xml");

// The text of `object`, with the prefixes of the test documents (xsi:type
// values are compared as text).
String Written(CXmlObjectBase* object) {
  return WrittenWith(object, {{VX_T("d"), VX_T("urn:vxbind:derive")}});
}

TEST(Derivation, ReadsAndWritesObjectsChosenByXsiType) {
  ASSERT_FALSE(kDrawing.empty());
  auto drawing = Root<D::CDrawing>(D::CreateRootObject(VX_T("drawing"), VX_T("urn:vxbind:derive")));
  drawing->FromXml(kDrawing.c_str());
  EXPECT_EQ(TreeDifference(kDrawing, Written(drawing)), "");

  auto circle = Root<D::CCircle>(drawing->GetMain().get());
  EXPECT_EQ(circle->GetRadius(), 1.5);
  EXPECT_EQ(U8(circle->GetLabel()), "c");  // the base's attribute
  auto plain = Root<D::CPlainSquare>(drawing->GetExtra().get());
  EXPECT_EQ(plain->GetSide(), 2);
  EXPECT_FALSE(plain->IsValidNote());

  auto shapes = drawing->GetShape();
  ASSERT_EQ(shapes->GetCount(), 2);
  EXPECT_EQ(U8(Root<D::CSquare>(shapes->Item(0).get())->GetNote()), "n");
  EXPECT_EQ(Root<D::CCircle>(shapes->Item(1).get())->GetRadius(), 4);

  // Three levels: every one keeps the members of the levels above.
  auto staff = drawing->GetStaff();
  ASSERT_EQ(staff->GetCount(), 3);
  EXPECT_EQ(dynamic_cast<D::CEmployee*>(staff->Item(0).get()), nullptr);
  EXPECT_EQ(Root<D::CEmployee>(staff->Item(1).get())->GetSalary(), CDecimal(VX_T("10.5")));
  auto manager = Root<D::CManager>(staff->Item(2).get());
  EXPECT_EQ(U8(manager->GetName()), "Cy");
  EXPECT_EQ(manager->GetId(), 3);
  EXPECT_EQ(manager->GetSalary(), CDecimal(VX_T("20")));
  EXPECT_EQ(manager->GetReports(), 4);
  EXPECT_EQ(manager->GetLevel(), 2);

  // The choice of the base became a group of its own, followed by the
  // extension's sequence.
  auto contact = Root<D::CLabelledContact>(drawing->GetContact().get());
  EXPECT_EQ(U8(contact->GetChoice()->GetPhone()), "123");
  EXPECT_EQ(U8(contact->GetLabel()), "home");

  auto prices = drawing->GetPrice();
  ASSERT_EQ(prices->GetCount(), 3);
  EXPECT_EQ(Root<D::CTaxedPrice>(prices->Item(1).get())->GetRate(), 20);
  EXPECT_EQ(Root<D::CTaxedPrice>(prices->Item(1).get())->GetValue(), CDecimal(VX_T("12")));
  EXPECT_EQ(U8(Root<D::CSmallPrice>(prices->Item(2).get())->GetCurrency()), "USD");

  auto address = Root<D::CStrictAddress>(drawing->GetAddress().get());
  EXPECT_EQ(U8(address->GetZip()), "123");
  EXPECT_EQ(drawing->GetPlain()->GetA(), 1);
  EXPECT_EQ(Root<D::CTagged>(drawing->GetMarked().get())->GetTag()->GetCount(), 2);
  EXPECT_EQ(U8(Root<D::CShortLabel>(drawing->GetLabel().get())->GetLang()), "en");

  // The elements of a substitution group stand for its abstract head, each
  // in a choice of its own: circle, then box (in square's group), then
  // square. Each holds its own declared type: written without xsi:type.
  auto figures = drawing->GetFigureGroup();
  ASSERT_EQ(figures->GetCount(), 3);
  EXPECT_EQ(figures->Item(0)->GetCircle()->GetRadius(), 5);
  EXPECT_EQ(U8(figures->Item(1)->GetBox()->GetLabel()), "b");
  EXPECT_EQ(figures->Item(1)->GetSquare(), nullptr);
  EXPECT_EQ(figures->Item(2)->GetSquare()->GetSide(), 7);

  // A collection of a base type in a choice holds the base's objects and
  // the derived ones.
  auto people = drawing->GetPick()->GetPeople();
  ASSERT_EQ(people->GetCount(), 2);
  EXPECT_EQ(dynamic_cast<D::CEmployee*>(people->Item(0).get()), nullptr);
  EXPECT_EQ(U8(Root<D::CEmployee>(people->Item(1).get())->GetName()), "Fay");
}

TEST(Derivation, ExtensionsThatNoBaseMemberHoldsAreWrittenWithoutXsiType) {
  const std::string guest =
      "<d:guest xmlns:d='urn:vxbind:derive' id='1'><d:name>Gil</d:name>"
      "<d:host id='2'><d:name>Hal</d:name></d:host></d:guest>";
  auto object = Root<D::CGuest>(D::CreateRootObject(VX_T("guest"), VX_T("urn:vxbind:derive")));
  object->FromXml(guest.c_str());
  EXPECT_EQ(TreeDifference(guest, Written(object)), "");
  D::CPerson* person = object.get();
  EXPECT_EQ(U8(person->GetName()), "Gil");
  EXPECT_EQ(U8(object->GetHost()->GetName()), "Hal");

  // So is a named one that no member of its base's type can hold.
  const std::string point =
      "<d:point xmlns:d='urn:vxbind:derive'><d:x>1</d:x><d:z>3</d:z></d:point>";
  auto point3 = Root<D::CPoint3>(D::CreateRootObject(VX_T("point"), VX_T("urn:vxbind:derive")));
  point3->FromXml(point.c_str());
  EXPECT_EQ(TreeDifference(point, Written(point3)), "");
}

TEST(Derivation, WritesXsiTypeOnlyWhereAnotherTypeIsExpected) {
  CSmartPtr<D::CDrawing> drawing = new D::CDrawing;
  CSmartPtr<D::CSquare> square = new D::CSquare;
  square->SetSide(7);
  drawing->SetMain(square);  // a Square held where a Shape is expected
  CSmartPtr<D::CPerson> person = new D::CPerson;
  person->SetName(VX_T("Dee"));
  drawing->GetStaff()->Add(person);  // the declared type itself
  CSmartPtr<D::CManager> boss = new D::CManager;
  boss->SetName(VX_T("Max"));
  drawing->GetStaff()->Add(boss);  // two levels below it
  // Types derived from a type that members take by xsi:type, each under an
  // element declared with that very type.
  CSmartPtr<D::CCircle> circle = new D::CCircle;
  circle->SetRadius(1);
  drawing->GetFigureGroup()->Add()->SetCircle(circle);
  CSmartPtr<D::CPlainSquare> box = new D::CPlainSquare;
  box->SetSide(2);
  box->SetLabel(VX_T("b"));
  drawing->GetFigureGroup()->Add()->SetBox(box);
  const char expected[] =
      "<d:drawing xmlns:d='urn:vxbind:derive' "
      "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'><d:main xsi:type='d:Square'>"
      "<d:side>7</d:side></d:main><d:staff id='0'><d:name>Dee</d:name></d:staff>"
      "<d:staff id='0' xsi:type='d:Manager'><d:name>Max</d:name><d:salary>0</d:salary>"
      "<d:reports>0</d:reports></d:staff><d:circle><d:radius>1</d:radius></d:circle>"
      "<d:box label='b'><d:side>2</d:side></d:box></d:drawing>";
  String written = Written(drawing);
  EXPECT_EQ(TreeDifference(expected, written), "") << U8(written);
  // And back: the Square comes out of the Shape member.
  auto again = ReadAs<D::CDrawing>(U8(written));
  EXPECT_EQ(Root<D::CSquare>(again->GetMain().get())->GetSide(), 7);
  EXPECT_EQ(Root<D::CManager>(again->GetStaff()->Item(1).get())->GetReports(), 0);

  // A root of its global element's type says nothing either.
  auto manager = Root<D::CManager>(D::CreateRootObject(VX_T("manager"), VX_T("urn:vxbind:derive")));
  manager->SetReports(2);
  EXPECT_EQ(U8(Written(manager)).find("xsi:type"), std::string::npos) << U8(Written(manager));
  EXPECT_EQ(ReadAs<D::CManager>(U8(Written(manager)))->GetReports(), 2);
}

// A document's root of a base type: its class is the one that its xsi:type
// names, which it writes back; without xsi:type the declared type's, and
// none for an abstract one.
TEST(Derivation, RootsOfABaseTypeTakeTheClassThatXsiTypeNames) {
  const std::string open =
      "xmlns:d='urn:vxbind:derive' "
      "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'";
  struct Case {
    std::string xml;
    const std::type_info& type;  // of the object made; void: none
  };
  const Case cases[] = {
      {"<d:anyShape " + open + " xsi:type='d:Circle' label='c'><d:radius>2</d:radius></d:anyShape>",
       typeid(D::CCircle)},
      {"<d:anyShape " + open +
           " xsi:type='d:PlainSquare' label='p'><d:side>3</d:side>"
           "</d:anyShape>",
       typeid(D::CPlainSquare)},
      {"<d:person " + open +
           " xsi:type='d:Manager' id='1'><d:name>Cy</d:name><d:salary>2"
           "</d:salary><d:reports>4</d:reports></d:person>",
       typeid(D::CManager)},
      {"<d:person " + open + " id='1'><d:name>Ann</d:name></d:person>", typeid(D::CPerson)},
      {"<d:box " + open + " label='b'><d:side>6</d:side></d:box>", typeid(D::CPlainSquare)},
      {"<d:anyShape " + open + "><d:radius>2</d:radius></d:anyShape>", typeid(void)},
      {"<d:anyShape " + open + " xsi:type='d:Triangle'/>", typeid(void)},
      {"<d:person " + open + " xsi:type='d:Circle' id='1'/>", typeid(void)},
      {"<d:figure " + open + " xsi:type='d:Circle'/>", typeid(void)},  // an abstract element
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    CXmlDocument document;
    document.LoadXml(c.xml.c_str());
    CSmartPtr<CXmlObjectBase> object = D::CreateRootObject(document.GetDocumentElement());
    if (c.type == typeid(void)) {
      EXPECT_EQ(object.get(), nullptr);
      continue;
    }
    ASSERT_NE(object.get(), nullptr);
    EXPECT_EQ(typeid(*object), c.type);
    CXmlSerializationContext context;
    object->FromXmlElement(document.GetDocumentElement(), context);
    EXPECT_EQ(TreeDifference(c.xml, Written(object)), "");
  }
  // By name alone an abstract type gives nothing.
  EXPECT_EQ(D::CreateRootObject(VX_T("anyShape"), VX_T("urn:vxbind:derive")).get(), nullptr);
}

struct BadDrawing {
  const char* name;
  std::string from;  // replaced in the drawing
  std::string to;
  std::string expected;  // the message chain
};
void PrintTo(const BadDrawing& b, std::ostream* os) { *os << b.name; }
class BadDrawings : public testing::TestWithParam<BadDrawing> {};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST_P(BadDrawings, AreRefusedWithTheLibrarysMessage) {
  std::string xml = Replace(kDrawing, GetParam().from, GetParam().to);
  EXPECT_EQ(Failure([&] { ReadAs<D::CDrawing>(xml); }), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Derivation, BadDrawings,
    testing::Values(
        BadDrawing{"UnknownType", "d:Circle\" label", "d:Triangle\" label",
                   "Failed to process the element [drawing]\nFailed to find a suitable "
                   "substitution element for [main]"},
        BadDrawing{"AbstractWithoutXsiType", " xsi:type=\"d:Circle\" label", " label",
                   "Failed to process the element [drawing]\nFailed to find a suitable "
                   "substitution element for [main]"},
        BadDrawing{"TypeOfAnotherNamespace", "d:Circle\" label", "xsi:Circle\" label",
                   "Failed to process the element [drawing]\nFailed to find a suitable "
                   "substitution element for [main]"},
        BadDrawing{"UnknownTypeInACollection", "\"d:Square\"", "\"d:Cube\"",
                   "Failed to process the element [drawing]\nFailed to find a suitable "
                   "substitution element for [shape]"},
        // The restriction's own occurrences over the base's optional members.
        BadDrawing{"RestrictionMissesItsMandatoryElement", "<d:zip>123</d:zip>", "",
                   "Failed to process the element [drawing]\nFailed to process the element "
                   "[address]\nFailed to find a required element [zip]"},
        BadDrawing{"RestrictionMissesItsRequiredAttribute", " label=\"p\"", "",
                   "Failed to process the element [drawing]\nFailed to process the element "
                   "[extra]\nFailed to find the required Attribute [label]"},
        BadDrawing{"RestrictionLeftOutAnElement", "<d:side>2</d:side>",
                   "<d:side>2</d:side><d:note>n</d:note>",
                   "Failed to process the element [drawing]\nFailed to process the element "
                   "[extra]\nFailed read all the elements held within the element [extra]. The "
                   "unexpected element [note] remains un processed"}));

TEST(Derivation, ChecksARestrictionsFacetsOnTheWayOut) {
  auto drawing = ReadAs<D::CDrawing>(kDrawing);
  auto small = Root<D::CSmallPrice>(drawing->GetPrice()->Item(2).get());
  small->SetValue(CDecimal(VX_T("150")));
  EXPECT_EQ(Failure([&] { drawing->ToXml(); }),
            "Failed to convert the element [drawing] to XML\nFailed to convert the element "
            "[price] to XML\nInvalid Value for SmallPrice [150]");
  drawing->GetPrice()->Item(1)->SetValue(CDecimal(VX_T("150")));  // no facet on TaxedPrice
  small->SetValue(CDecimal(VX_T("100")));
  EXPECT_EQ(Failure([&] { drawing->ToXml(); }), "");

  // An enumeration restricting a string.
  drawing->GetLabel()->SetValue(VX_T("maybe"));
  EXPECT_EQ(Failure([&] { drawing->ToXml(); }),
            "Failed to convert the element [drawing] to XML\nFailed to convert the element "
            "[label] to XML\nInvalid value [maybe] for the enumeration [ShortLabelText]");
}

// -- what the reader refuses ---------------------------------------------------

std::string Extension(const std::string& name, const std::string& base,
                      const std::string& content = "") {
  return "<xs:complexType name='" + name + "'><xs:complexContent>\n<xs:extension base='" + base +
         "'>" + content + "</xs:extension></xs:complexContent></xs:complexType>";
}

using reader_testing::Refusal;
using reader_testing::Refusals;

const std::string kBase =
    "<xs:complexType name='B'><xs:sequence><xs:element name='e' type='xs:int'/>"
    "</xs:sequence><xs:attribute name='a' type='xs:int'/></xs:complexType>\n";

const std::string kSeq = "<xs:complexType name='T'><xs:sequence>";
const std::string kEnd = "</xs:sequence></xs:complexType>";
const std::string kPrice =
    "<xs:complexType name='P'><xs:simpleContent><xs:extension base='xs:decimal'/>"
    "</xs:simpleContent></xs:complexType>\n";

INSTANTIATE_TEST_SUITE_P(
    Derivation, Refusals,
    testing::Values(
        Refusal{"UnknownBase", Extension("T", "Missing"), "t.xsd:3: unknown type 'Missing'"},
        Refusal{"Circular", Extension("T", "U") + "\n" + Extension("U", "T"),
                "t.xsd:3: circular derivation of the complex type 'T'"},
        Refusal{"CircularToItself", Extension("T", "T"),
                "t.xsd:3: circular derivation of the complex type 'T'"},
        Refusal{"ComplexContentOfASimpleType", Extension("T", "xs:int"),
                "t.xsd:3: xs:complexContent cannot derive from the simple type 'xs:int'"},
        Refusal{"ComplexContentOfSimpleContent",
                "<xs:complexType name='S'><xs:simpleContent><xs:extension base='xs:int'/>"
                "</xs:simpleContent></xs:complexType>\n" +
                    Extension("T", "S"),
                "t.xsd:4: xs:complexContent cannot derive from the complex type 'S', which has "
                "simple content"},
        Refusal{"SimpleContentOfElementContent",
                kBase + "<xs:complexType name='T'><xs:simpleContent>\n<xs:extension base='B'/>"
                        "</xs:simpleContent></xs:complexType>",
                "t.xsd:4: xs:simpleContent cannot derive from the complex type 'B', which has no "
                "simple content"},
        Refusal{"AttributeAgain", kBase + Extension("T", "B", "\n<xs:attribute name='a'/>"),
                "t.xsd:5: the attribute 'a' is already in the base type"},
        Refusal{"RestrictionOfAnUnknownElement",
                kBase + "<xs:complexType name='T'><xs:complexContent><xs:restriction base='B'>"
                        "<xs:sequence>\n<xs:element name='f' type='xs:int'/></xs:sequence>"
                        "</xs:restriction></xs:complexContent></xs:complexType>",
                "t.xsd:4: the element 'f' is not in the base type 'B'"},
        Refusal{"RestrictionOfAnUnknownAttribute",
                kBase + "<xs:complexType name='T'><xs:complexContent><xs:restriction base='B'>"
                        "\n<xs:attribute name='z'/></xs:restriction></xs:complexContent>"
                        "</xs:complexType>",
                "t.xsd:4: the attribute 'z' is not in the base type 'B'"},
        Refusal{"AllJoinedToMore",
                "<xs:complexType name='A'><xs:all><xs:element name='x' type='xs:int'/></xs:all>"
                "</xs:complexType>\n" +
                    Extension("T", "A",
                              "<xs:sequence><xs:element name='y' type='xs:int'/>"
                              "</xs:sequence>"),
                "t.xsd:4: unsupported extension that joins xs:all content to other content"},
        Refusal{"ExtensionOfAnyType", Extension("T", "xs:anyType"),
                "t.xsd:3: unsupported derivation from xs:anyType but by "
                "xs:complexContent/xs:restriction"},
        Refusal{"ContentBesideTheDerivation",
                kBase + "<xs:complexType name='T'><xs:complexContent><xs:extension base='B'/>"
                        "</xs:complexContent>\n<xs:sequence/></xs:complexType>",
                "t.xsd:4: xs:complexContent must be the only content of xs:complexType"},
        Refusal{"AbstractAnonymous",
                "<xs:element name='e'>\n<xs:complexType abstract='true'/></xs:element>",
                "t.xsd:3: an anonymous xs:complexType cannot be abstract"},
        Refusal{"SelfContainingThroughTheBase",
                "<xs:complexType name='B'><xs:sequence>\n<xs:element name='d' type='D'/>"
                "</xs:sequence></xs:complexType>" +
                    Extension("D", "B"),
                "t.xsd:3: the element 'd' is mandatory and contains itself: no document could "
                "end; make it optional"},
        Refusal{"TextOfAnotherItemType",
                kPrice + "<xs:complexType name='T'><xs:simpleContent>\n<xs:restriction base='P'>"
                         "<xs:simpleType><xs:restriction base='xs:string'/></xs:simpleType>"
                         "</xs:restriction></xs:simpleContent></xs:complexType>",
                "t.xsd:4: the text's type does not restrict the base's text type decimal"},
        Refusal{"TextFacetOfTheWrongForm",
                kPrice + "<xs:complexType name='T'><xs:simpleContent>\n<xs:restriction base='P'>"
                         "<xs:maxInclusive value='many'/></xs:restriction></xs:simpleContent>"
                         "</xs:complexType>",
                "t.xsd:4: invalid bound 'many' for the item type decimal"},
        Refusal{"MixedComplexContent",
                "<xs:complexType name='T'>\n<xs:complexContent mixed='true'>"
                "<xs:restriction base='xs:anyType'/></xs:complexContent></xs:complexType>",
                "(accepted)"},
        // Substitution groups.
        Refusal{"UnknownHead", "<xs:element name='b' type='xs:int' substitutionGroup='a'/>",
                "t.xsd:2: unknown element 'a'"},
        Refusal{"MemberOfAnotherType",
                "<xs:element name='a' type='xs:int'/>\n"
                "<xs:element name='b' type='xs:string' substitutionGroup='a'/>",
                "t.xsd:3: the type of the element 'b' is not the type of 'a' or derived from it"},
        Refusal{"CircularGroup",
                "<xs:element name='a' type='xs:int' substitutionGroup='b'/>\n"
                "<xs:element name='b' type='xs:int' substitutionGroup='a'/>",
                "t.xsd:2: circular substitution group of the element 'a'"},
        Refusal{"AbstractWithoutMembers",
                "<xs:element name='a' type='xs:int' abstract='true'/>\n" + kSeq +
                    "<xs:element ref='a'/>" + kEnd,
                "t.xsd:3: no element can stand for the abstract element 'a'"}),
    reader_testing::RefusalName);

}  // namespace

// -- derivation across documents ----------------------------------------------

TEST(CrossDerivation, BaseAndDerivedTypesOfSchemasThatImportEachOther) {
  const char xml[] =
      "<s:drawing xmlns:s='urn:vxbind:shapes' xmlns:r='urn:vxbind:round' "
      "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"
      "<s:shape xsi:type='s:Box' side='3'><s:label>b</s:label></s:shape>"
      "<s:shape xsi:type='r:Circle'><s:label>c</s:label><r:radius>1.5</r:radius></s:shape>"
      "<s:shape xsi:type='r:Ring'><s:label>r</s:label><r:radius>2</r:radius>"
      "<r:inner>1</r:inner></s:shape>"
      // A type that base members may hold, under an element of its own
      // type: no xsi:type.
      "<r:ring><s:label>x</s:label><r:radius>4</r:radius><r:inner>3</r:inner></r:ring>"
      "</s:drawing>";
  auto drawing = Root<CrossDerive::CDrawing>(
      CrossDerive::CreateRootObject(VX_T("drawing"), VX_T("urn:vxbind:shapes")));
  drawing->FromXml(xml);
  auto shapes = drawing->GetShape();
  ASSERT_EQ(shapes->GetCount(), 3);
  EXPECT_EQ(Root<CrossDerive::CBox>(shapes->Item(0).get())->GetSide(), 3);
  EXPECT_EQ(Root<CrossDerive::CCircle>(shapes->Item(1).get())->GetRadius(), 1.5);
  auto ring = Root<CrossDerive::CRing>(shapes->Item(2).get());
  EXPECT_EQ(U8(ring->GetLabel()), "r");
  EXPECT_EQ(ring->GetInner(), 1);
  EXPECT_EQ(drawing->GetRing()->GetInner(), 3);
  EXPECT_EQ(TreeDifference(xml, WrittenWith(drawing, {{VX_T("s"), VX_T("urn:vxbind:shapes")},
                                                      {VX_T("r"), VX_T("urn:vxbind:round")}})),
            "");

  // The abstract base without xsi:type has no class to read into.
  std::string bare = xml;
  bare.replace(bare.find(" xsi:type='s:Box'"), 17, "");
  EXPECT_NE(Failure([&] { drawing->FromXml(bare.c_str()); })
                .find("Failed to find a suitable substitution element for [shape]"),
            std::string::npos);
}
