// The rest of XML Schema's structures (data/structures): prohibited
// attributes, attribute wildcards joined along derivations and attribute
// groups, simple types with anonymous bases, substitution groups across
// documents and in xs:all, restrictions of wildcards, and what the reader
// still refuses of them.
#include "structures.h"

#include <gtest/gtest.h>

#include <string>

#include "GeneratedTesting.h"
#include "ReaderTesting.h"
#include "SchemaLoader.h"
#include "structures-parts.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
namespace S = Structures;

const std::string kDocument = ReadFile(VXBINDC_TEST_DATA "/structures/structures.xml");

String Written(CXmlObjectBase* object) {
  return WrittenWith(object, {{VX_T("s"), VX_T("urn:vxbind:structures")},
                              {VX_T("p"), VX_T("urn:vxbind:parts")},
                              {VX_T("a"), VX_T("urn:a")},
                              {VX_T("b"), VX_T("urn:b")}});
}

CSmartPtr<S::CStructures> ReadDocument(const std::string& xml) {
  auto root =
      Root<S::CStructures>(S::CreateRootObject(VX_T("structures"), VX_T("urn:vxbind:structures")));
  if (root) root->FromXml(xml.c_str());
  return root;
}

// `xml` with its first `from` replaced by `to`.
std::string Edited(std::string xml, const std::string& from, const std::string& to) {
  size_t at = xml.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? xml : xml.replace(at, from.size(), to);
}

TEST(Structures, DocumentRoundTripsAndBindsEachConstruct) {
  ASSERT_FALSE(kDocument.empty());
  auto root = ReadDocument(kDocument);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(TreeDifference(kDocument, Written(root)), "");

  // Restrictions keep the base's attributes that they do not prohibit.
  auto tagged = root->GetTagged();
  ASSERT_EQ(tagged->GetCount(), 3);
  EXPECT_EQ(U8(tagged->Item(0)->GetNote()), "n");
  auto plain = Root<S::CPlain>(tagged->Item(1).get());
  EXPECT_EQ(U8(plain->GetLang()), "en");
  auto plainer = Root<S::CPlainer>(tagged->Item(2).get());
  EXPECT_EQ(plainer->GetId(), 3);

  // Attribute wildcards: the base's, widened by an extension's own.
  auto open = root->GetOpen();
  ASSERT_EQ(open->GetCount(), 4);
  auto wider = Root<S::CWider>(open->Item(1).get());
  EXPECT_EQ(wider->GetSize(), 2);
  EXPECT_EQ(wider->GetAnyAttribute()->GetCount(), 2);
  auto keeps = Root<S::CKeepsBase>(open->Item(3).get());
  EXPECT_EQ(U8(keeps->GetExtra()), "e");  // its own attribute, not the wildcard's
  EXPECT_EQ(keeps->GetAnyAttribute()->GetCount(), 1);

  EXPECT_EQ(U8(root->GetCode()), "AB");
  EXPECT_EQ(U8(root->GetCodes()), "AB CDE");
  EXPECT_EQ(root->GetSize(), S::Size_M);

  // Members of substitution groups, of this document and the other, with
  // their heads' types.
  auto comments = root->GetCommentGroup();
  ASSERT_EQ(comments->GetCount(), 3);
  EXPECT_EQ(U8(comments->Item(1)->GetShipComment()), "ship");
  EXPECT_EQ(U8(comments->Item(2)->GetNote()), "note");
  auto shapes = root->GetShapeGroup();
  ASSERT_EQ(shapes->GetCount(), 2);
  EXPECT_EQ(shapes->Item(0)->GetBox()->GetSize(), 1);
  EXPECT_EQ(shapes->Item(1)->GetRing()->GetHole(), 1);

  // A head in xs:all: each element that stands for it a member.
  auto card = root->GetCard();
  EXPECT_EQ(card->GetBox()->GetSize(), 3);
  EXPECT_EQ(U8(card->GetShipComment()), "x");
  EXPECT_FALSE(card->IsValidComment());

  // A restriction of the base's wildcard to elements holds them typed.
  auto envelopes = root->GetEnvelope();
  ASSERT_EQ(envelopes->GetCount(), 3);
  EXPECT_EQ(envelopes->Item(0)->GetAny()->GetCount(), 2);
  auto rings = Root<S::CRingEnvelope>(envelopes->Item(1).get());
  ASSERT_EQ(rings->GetRing()->GetCount(), 1);
  EXPECT_EQ(rings->GetRing()->Item(0)->GetHole(), 2);
  EXPECT_EQ(U8(root->GetMore()), "m");
}

TEST(Structures, RefuseWhatTheDerivedTypesDoNotAllow) {
  struct Case {
    std::string from;
    std::string to;
    std::string message;
  } cases[] = {
      // A prohibited attribute, by the restriction and by one further up.
      {"xsi:type='s:Plain' id='2'", "xsi:type='s:Plain' note='x' id='2'", "note"},
      {"xsi:type='s:Plainer' id='3'", "xsi:type='s:Plainer' note='x' id='3'", "note"},
      {"xsi:type='s:Plainer' id='3'", "xsi:type='s:Plainer' lang='en' id='3'", "lang"},
      // Outside the union of Open's ##local and Wider's urn:a.
      {"a:y='2'", "b:y='2'", "Invalid namespace [urn:b]"},
      // Outside the restriction's urn:a; outside Meet's intersection, urn:b.
      {"a:y='3'", "s:y='3'", "Invalid namespace [urn:vxbind:structures]"},
      {"b:z='1'", "a:z='1'", "Invalid namespace [urn:a]"},
      // RingEnvelope holds p:ring elements only.
      {"<p:ring><s:size>4</s:size>", "<other/><p:ring><s:size>4</s:size>", "[ring]"},
  };
  std::string xml = kDocument;
  for (char& c : xml)
    if (c == '"') c = '\'';
  for (const Case& c : cases) {
    std::string failure = Failure([&] { ReadDocument(Edited(xml, c.from, c.to)); });
    EXPECT_NE(failure.find(c.message), std::string::npos) << c.to << "\n" << failure;
  }

  // Set in code, a prohibited attribute is not written; facets of a type
  // with an anonymous base are checked as the base's and its own.
  auto root = ReadDocument(kDocument);
  ASSERT_NE(root, nullptr);
  auto plain = Root<S::CPlain>(root->GetTagged()->Item(1).get());
  plain->SetNote(VX_T("hidden"));
  EXPECT_EQ(U8(Written(root)).find("hidden"), std::string::npos);
  root->SetCode(VX_T("ABCDE"));
  EXPECT_NE(Failure([&] { root->ToXml(); }), "");
  root->SetCode(VX_T("ab"));
  EXPECT_NE(Failure([&] { root->ToXml(); }), "");
}

// -- the reader ------------------------------------------------------------------

using reader_testing::Refusal;
using reader_testing::Refusals;

const std::string kBase =
    "<xs:complexType name='B'><xs:sequence><xs:any namespace='##other' minOccurs='0'/>"
    "</xs:sequence><xs:attribute name='a'/></xs:complexType>";

INSTANTIATE_TEST_SUITE_P(
    Structures, Refusals,
    testing::Values(
        Refusal{"ProhibitedWithDefault",
                "<xs:complexType name='T'>\n<xs:attribute name='a' use='prohibited' "
                "default='1'/></xs:complexType>",
                "t.xsd:3: a prohibited attribute cannot have a default"},
        Refusal{"ProhibitedBesideTheSameName",
                "<xs:complexType name='T'><xs:attribute name='a' use='prohibited'/>"
                "<xs:attribute name='a'/></xs:complexType>",
                "(accepted)"},
        Refusal{"RestrictionWithBaseAndType",
                "<xs:simpleType name='S'><xs:restriction base='xs:int'>\n"
                "<xs:simpleType><xs:restriction base='xs:int'/></xs:simpleType>"
                "</xs:restriction></xs:simpleType>",
                "t.xsd:3: xs:restriction with both a base and an xs:simpleType"},
        Refusal{"RestrictionWithoutAnyBase",
                "<xs:simpleType name='S'>\n<xs:restriction><xs:maxLength value='1'/>"
                "</xs:restriction></xs:simpleType>",
                "t.xsd:3: xs:restriction without a base or an xs:simpleType"},
        Refusal{"AnonymousBaseAfterFacets",
                "<xs:simpleType name='S'><xs:restriction><xs:maxLength value='1'/>\n"
                "<xs:simpleType><xs:restriction base='xs:string'/></xs:simpleType>"
                "</xs:restriction></xs:simpleType>",
                "t.xsd:3: xs:simpleType must come first inside xs:restriction"},
        Refusal{"AnonymousBaseOfTheWrongKind",
                "<xs:simpleType name='S'>\n<xs:restriction><xs:simpleType>"
                "<xs:restriction base='xs:int'/></xs:simpleType><xs:maxLength value='1'/>"
                "</xs:restriction></xs:simpleType>",
                "t.xsd:2: length facets do not apply to the item type i4"},
        Refusal{"AttributeWildcardNotInTheBase",
                kBase + "<xs:complexType name='D'><xs:complexContent><xs:restriction base='B'>\n"
                        "<xs:anyAttribute/></xs:restriction></xs:complexContent></xs:complexType>",
                "t.xsd:3: the restriction has an xs:anyAttribute, but its base type 'B' has none"},
        Refusal{"ElementOutsideTheBaseWildcard",
                kBase + "<xs:element name='e' type='xs:int'/><xs:complexType name='D'>"
                        "<xs:complexContent><xs:restriction base='B'><xs:sequence>\n"
                        "<xs:element ref='e'/></xs:sequence></xs:restriction>"
                        "</xs:complexContent></xs:complexType>",
                "t.xsd:3: the element 'e' is not in the base type 'B'"},
        Refusal{"WildcardInARestrictionOfNone",
                "<xs:complexType name='B'><xs:sequence><xs:element name='e'/></xs:sequence>"
                "</xs:complexType><xs:complexType name='D'><xs:complexContent>"
                "<xs:restriction base='B'><xs:sequence>\n<xs:any/></xs:sequence>"
                "</xs:restriction></xs:complexContent></xs:complexType>",
                "t.xsd:3: unsupported xs:any in a restriction of a complex type"},
        Refusal{"MemberWithoutTypeOfAnUntypedHead",
                "<xs:element name='a'/><xs:element name='b' substitutionGroup='a'/>"
                "<xs:element name='c' type='xs:int' substitutionGroup='b'/>",
                "(accepted)"},
        Refusal{"MemberOfAnotherBuiltin",
                "<xs:element name='a' type='xs:string'/>\n"
                "<xs:element name='b' type='xs:int' substitutionGroup='a'/>",
                "t.xsd:3: the type of the element 'b' is not the type of 'a' or derived from it"},
        Refusal{"SameElementTwiceInAll",
                "<xs:element name='a' type='xs:int'/>"
                "<xs:element name='b' type='xs:int' substitutionGroup='a'/>"
                "<xs:complexType name='T'><xs:all><xs:element ref='a'/>\n"
                "<xs:element ref='b' minOccurs='0'/></xs:all></xs:complexType>",
                "t.xsd:3: the element 'b' stands twice in one xs:all, as a member of a "
                "substitution group"}),
    reader_testing::RefusalName);

// The attribute wildcard a type ends with (namespaces, and the namespace
// that ##other names), from the wildcards of a base, a derivation and an
// attribute group: XML Schema's union and intersection, the forms it
// cannot say widened.
struct WildcardCase {
  const char* name;
  std::string base;     // the base's namespace attribute, "" for no wildcard
  std::string derived;  // the derived type's own
  bool extension;
  std::string group;  // an attribute group's of the derived type, "" for none
  std::string expected;
};
void PrintTo(const WildcardCase& c, std::ostream* os) { *os << c.name; }
class WildcardAlgebra : public testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardAlgebra, JoinsNamespaceConstraints) {
  const WildcardCase& c = GetParam();
  auto wildcard = [](const std::string& ns) {
    return ns.empty() ? std::string() : "<xs:anyAttribute namespace='" + ns + "'/>";
  };
  std::string schema = reader_testing::Schema(
      "<xs:attributeGroup name='G'>" + wildcard(c.group) +
          "</xs:attributeGroup><xs:complexType name='B'>" + wildcard(c.base) +
          "</xs:complexType><xs:complexType name='D'><xs:complexContent><xs:" +
          (c.extension ? "extension" : "restriction") + " base='t:B'>" +
          (c.group.empty() ? "" : "<xs:attributeGroup ref='t:G'/>") + wildcard(c.derived) +
          "</xs:" + (c.extension ? "extension" : "restriction") +
          "></xs:complexContent></xs:complexType>",
      " targetNamespace='urn:t' xmlns:t='urn:t'");
  auto parsed = vxbindc::ParseSchema("t.xsd", schema);
  const vxbindc::ComplexType& d = *parsed->namedComplexTypes.at("D");
  std::string result =
      d.anyAttribute ? d.anyAttribute->namespaces + " (" + d.anyAttribute->target + ")" : "none";
  EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Structures, WildcardAlgebra,
    testing::Values(
        WildcardCase{"ExtensionKeepsTheBases", "##local", "", true, "", "##local (urn:t)"},
        WildcardCase{"UnionOfSets", "##local urn:a", "urn:b", true, "",
                     "##local urn:a urn:b (urn:t)"},
        WildcardCase{"UnionWithAny", "urn:a", "##any", true, "", "##any (urn:t)"},
        WildcardCase{"UnionOfTwoNegations", "##other", "##other", true, "", "##other (urn:t)"},
        WildcardCase{"UnionOfNegationAndItsNamespace", "##other", "##targetNamespace", true, "",
                     "##other ()"},
        WildcardCase{"UnionOfNegationAndAbsentWidened", "##other", "##local", true, "",
                     "##any (urn:t)"},
        WildcardCase{"UnionOfNegationAndBoth", "##other", "##local ##targetNamespace", true, "",
                     "##any (urn:t)"},
        WildcardCase{"UnionOfNegationAndOthers", "##other", "urn:a", true, "", "##other (urn:t)"},
        WildcardCase{"RestrictionHasNoneOfItsOwn", "##any", "", false, "", "none"},
        WildcardCase{"RestrictionWithinTheBase", "##local urn:a", "urn:a urn:b", false, "",
                     "urn:a (urn:t)"},
        WildcardCase{"IntersectionWithANegation", "##other", "##local urn:a urn:t", false, "",
                     "urn:a (urn:t)"},
        WildcardCase{"EmptyIntersection", "urn:a", "urn:b", false, "", "none"},
        WildcardCase{"GroupMeetsOwn", "##any", "##local urn:a", false, "##other", "urn:a (urn:t)"},
        WildcardCase{"GroupAloneInAnExtension", "urn:b", "", true, "urn:a", "urn:a urn:b (urn:t)"}),
    [](const testing::TestParamInfo<WildcardCase>& p) { return std::string(p.param.name); });

}  // namespace
