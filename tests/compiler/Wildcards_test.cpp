// Wildcards, untyped elements, mixed content, element defaults and fixed
// values, and the simple types held as text: what the reader refuses, and
// the classes generated at build time from data/wildcards.xsd bound to
// documents.
#include "wildcards.h"

#include <gtest/gtest.h>

#include <string>

#include "GeneratedTesting.h"
#include "ReaderTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

const std::string kW = "xmlns:w='urn:vxbind:wild'";

// -- the reader ------------------------------------------------------------------

using reader_testing::Refusal;
using reader_testing::Refusals;

const std::string kSeq = "<xs:complexType name='T'><xs:sequence>\n";
const std::string kEnd = "\n</xs:sequence></xs:complexType>";

INSTANTIATE_TEST_SUITE_P(
    Wildcards, Refusals,
    testing::Values(
        Refusal{"AnyInAList", kSeq + "<xs:any namespace='##any urn:a'/>" + kEnd,
            "t.xsd:3: ##any must stand alone in the namespace of xs:any"},
        Refusal{"UnknownKeyword", kSeq + "<xs:any namespace='##all'/>" + kEnd,
            "t.xsd:3: invalid namespace '##all' on xs:any"},
        Refusal{"EmptyNamespaceList", kSeq + "<xs:any namespace=''/>" + kEnd,
            "t.xsd:3: unsupported empty namespace list on xs:any"},
        Refusal{"BadProcessContents",
            "<xs:complexType name='T'>\n<xs:anyAttribute processContents='loose'/>"
            "</xs:complexType>",
            "t.xsd:3: invalid processContents 'loose'"},
        Refusal{"WildcardsThatIntersect",
            "<xs:attributeGroup name='G'><xs:anyAttribute namespace='urn:a'/>"
            "</xs:attributeGroup><xs:complexType name='T'><xs:attributeGroup ref='G'/>"
            "<xs:anyAttribute/></xs:complexType>",
            "(accepted)"},
        Refusal{"DefaultAndFixed", "<xs:element name='a' type='xs:int' default='1' fixed='1'/>",
            "t.xsd:2: xs:element with both default and fixed"},
        Refusal{"BadElementDefault", "<xs:element name='a' type='xs:int' default='x'/>",
            "t.xsd:2: invalid default value 'x' for the element 'a'"},
        Refusal{"FixedOutsideEnumeration",
            "<xs:simpleType name='E'><xs:restriction base='xs:string'>"
            "<xs:enumeration value='a'/></xs:restriction></xs:simpleType>\n"
            "<xs:element name='e' type='E' fixed='b'/>",
            "t.xsd:3: invalid fixed value 'b' for the element 'e'"},
        Refusal{"DefaultOfComplexContent", "<xs:element name='a' default='x'/>",
            "t.xsd:2: unsupported default value on an element of complex or untyped content"},
        Refusal{"DefaultOfARepeatedElement",
            kSeq + "<xs:element name='a' type='xs:int' default='1' maxOccurs='2'/>" + kEnd,
            "t.xsd:3: unsupported default or fixed value on a repeated element"},
        Refusal{"DefaultOnARef",
            "<xs:element name='a' type='xs:int'/>" + kSeq + "<xs:element ref='a' default='1'/>" +
                kEnd,
            "t.xsd:3: xs:element with both ref and default"},
        Refusal{"MixedSimpleContent",
            "<xs:complexType name='T' mixed='true'><xs:simpleContent>\n"
            "<xs:extension base='xs:int'/></xs:simpleContent></xs:complexType>",
            "t.xsd:2: mixed content cannot have xs:simpleContent"},
        Refusal{"MixedWithElementsInAGroup",
            "<xs:group name='G'><xs:sequence><xs:element name='b' type='xs:int'/>"
            "</xs:sequence></xs:group>\n<xs:complexType name='T' mixed='true'><xs:sequence>"
            "<xs:any/><xs:group ref='G' minOccurs='0'/></xs:sequence></xs:complexType>",
            "(accepted)"},
        Refusal{"WhiteSpaceOfAUnion",
            "<xs:simpleType name='U'><xs:union memberTypes='xs:int xs:date'/></xs:simpleType>\n"
            "<xs:simpleType name='V'><xs:restriction base='U'><xs:whiteSpace value='collapse'/>"
            "</xs:restriction></xs:simpleType>",
            "t.xsd:3: xs:whiteSpace does not apply to a union type"},
        Refusal{"WhiteSpaceOfANumber",
            "<xs:simpleType name='S'>\n<xs:restriction base='xs:int'>"
            "<xs:whiteSpace value='replace'/></xs:restriction></xs:simpleType>",
            "t.xsd:2: xs:whiteSpace 'replace' would loosen the base's 'collapse'"},
        Refusal{"DigitsOfAString",
            "<xs:simpleType name='S'>\n<xs:restriction base='xs:string'>"
            "<xs:totalDigits value='3'/></xs:restriction></xs:simpleType>",
            "t.xsd:2: digit facets do not apply to the item type string"},
        Refusal{"MoreFractionThanTotal",
            "<xs:simpleType name='S'>\n<xs:restriction base='xs:decimal'>"
            "<xs:totalDigits value='2'/><xs:fractionDigits value='3'/></xs:restriction>"
            "</xs:simpleType>",
            "t.xsd:2: fractionDigits is greater than totalDigits"},
        Refusal{"LengthsThatCannotMeet",
            "<xs:simpleType name='S'>\n<xs:restriction base='xs:string'>"
            "<xs:minLength value='6'/><xs:maxLength value='5'/></xs:restriction></xs:simpleType>",
            "t.xsd:2: minLength is greater than maxLength"},
        Refusal{"BoundsThatCannotMeet",
            "<xs:simpleType name='B'><xs:restriction base='xs:byte'><xs:maxInclusive value='1'/>"
            "</xs:restriction></xs:simpleType><xs:simpleType name='S'>\n<xs:restriction base='B'>"
            "<xs:minInclusive value='7'/></xs:restriction></xs:simpleType>",
            "t.xsd:2: minInclusive '7' is not below maxInclusive '1'"},
        Refusal{"ExclusiveBoundsThatMeet",
            "<xs:simpleType name='S'>\n<xs:restriction base='xs:double'>"
            "<xs:minExclusive value='1.5'/><xs:maxInclusive value='15E-1'/></xs:restriction>"
            "</xs:simpleType>",
            "t.xsd:2: minExclusive '1.5' is not below maxInclusive '15E-1'"},
        Refusal{"UnknownMemberType",
            "<xs:simpleType name='U'>\n<xs:union memberTypes='xs:int Nothing'/></xs:simpleType>",
            "t.xsd:2: unknown type 'Nothing'"},
        Refusal{"NestedUnionsAndLists",
            "<xs:simpleType name='U'><xs:union><xs:simpleType><xs:union><xs:simpleType>"
            "<xs:list itemType='xs:int'/></xs:simpleType><xs:simpleType><xs:union "
            "memberTypes='xs:date'/></xs:simpleType></xs:union></xs:simpleType>"
            "</xs:union></xs:simpleType>",
            "(accepted)"},
        Refusal{"MixedDerivation",
            "<xs:complexType name='B' mixed='true'/>\n<xs:complexType name='D'><xs:complexContent>"
            "<xs:extension base='B'/></xs:complexContent></xs:complexType>",
            "(accepted)"},
        Refusal{"IdentityConstraintsAndNotation",
            "<xs:notation name='n' public='p'/><xs:element name='a'><xs:key name='k'>"
            "<xs:selector xpath='b'/><xs:field xpath='@c'/></xs:key></xs:element>",
            "(accepted)"}),
    reader_testing::RefusalName);

// -- wildcards ---------------------------------------------------------------------

const std::string kEnvelope = ReadFile(VXBINDC_TEST_DATA "/wildcards-envelope.xml");

TEST(GeneratedWildcards, HoldEachNamespaceConstraintsElementsAndAttributes) {
  ASSERT_FALSE(kEnvelope.empty());
  CSmartPtr<Wild::CEnvelope> envelope = ReadAs<Wild::CEnvelope>(kEnvelope);
  EXPECT_EQ(TreeDifference(kEnvelope, envelope->ToXml()), "");

  // ##other takes the two elements before body, and no more.
  ASSERT_EQ(envelope->GetAny()->GetCount(), 2);
  EXPECT_EQ(U8(envelope->GetAny()->Item(0)->GetNamespace()), "urn:other");
  EXPECT_EQ(envelope->GetAny()->Item(0)->GetChildElements()->GetCount(), 2);
  EXPECT_EQ(U8(envelope->GetBody()), "text");
  ASSERT_NE(envelope->GetAny2(), nullptr);
  EXPECT_EQ(U8(envelope->GetAny2()->GetName()), "extra");
  EXPECT_EQ(envelope->GetAny3()->GetCount(), 2);
  EXPECT_EQ(U8(envelope->GetAny4()->GetNamespace()), "urn:a");
  EXPECT_EQ(envelope->GetAnyAttribute()->GetCount(), 2);
}

TEST(GeneratedWildcards, RefuseWhatTheirConstraintsDoNotAdmit) {
  struct Case {
    std::string from;
    std::string to;
    std::string message;
  } cases[] = {
      // An attribute of the target namespace where ##other is allowed.
      {"o:trace='t1'", "w:trace='t1'", "Invalid namespace [urn:vxbind:wild]"},
      // A third element where ##local allows two: the URIs' wildcard takes
      // it (the library's URIs admit unqualified names too), and the last
      // element is left over.
      {"<loose2 at='v'/>", "<loose2 at='v'/><loose3/>",
       "The unexpected element [last] remains un processed"},
      // The mandatory wildcard's element in a namespace of neither URI.
      {"<a:last>end</a:last>", "<c:last xmlns:c='urn:c'/>",
       "Failed to find the required element from namespace [urn:a urn:b]"},
      {"<a:last>end</a:last>", "", "Failed to find a required element [AnyElement]"},
  };
  std::string xml = kEnvelope;
  for (char& c : xml)
    if (c == '"') c = '\'';
  for (const Case& c : cases) {
    size_t at = xml.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    std::string changed = xml.substr(0, at) + c.to + xml.substr(at + c.from.size());
    std::string failure = Failure([&] { ReadAs<Wild::CEnvelope>(changed); });
    EXPECT_NE(failure.find(c.message), std::string::npos) << c.to << "\n" << failure;
  }

  // Writing: an element the wildcard does not admit is refused, whether it
  // was added to a collection or set as the single member.
  CSmartPtr<Wild::CEnvelope> envelope = ReadAs<Wild::CEnvelope>(kEnvelope);
  envelope->GetAny()->Add(VX_T("inside"), VX_T("urn:vxbind:wild"));
  EXPECT_NE(Failure([&] { envelope->ToXml(); }).find("Invalid namespace [urn:vxbind:wild]"),
            std::string::npos);
  CSmartPtr<CElement> stray = new CElement(VX_T("x"), VX_T("urn:c"));
  EXPECT_NE(Failure([&] { envelope->SetAny4(stray); }).find("Invalid namespace [urn:c]"),
            std::string::npos);
  // A new object's mandatory wildcard holds an element the wildcard admits.
  CSmartPtr<Wild::CEnvelope> fresh = new Wild::CEnvelope();
  EXPECT_EQ(U8(fresh->GetAny4()->GetNamespace()), "urn:a");
}

TEST(GeneratedWildcards, RoundTripAnyContentInSequencesAndChoices) {
  struct Case {
    const char* root;
    std::string xml;
  } cases[] = {
      {"bag", "<w:bag " + kW +
                  " xmlns:a='urn:a' plain='1' a:x='2'><w:one>1</w:one>"
                  "<z:two xmlns:z='urn:z' z:at='3'><z:in/></z:two><three/></w:bag>"},
      {"bag", "<w:bag " + kW + "/>"},
      {"pick", "<w:pick " + kW + "><w:code>3</w:code></w:pick>"},
      {"pick", "<w:pick " + kW + "><o:thing xmlns:o='urn:other'>t</o:thing></w:pick>"},
      {"series", "<w:series " + kW +
                     " xmlns:o='urn:other'><w:a>1</w:a><o:x/><w:a>2</w:a>"
                     "<o:y>y</o:y><o:z/></w:series>"},
      {"more", "<w:more " + kW +
                   " xmlns:o='urn:other'><w:title>t</w:title><o:x/><o:y/>"
                   "<w:rest a='1'><deep><deeper/></deep></w:rest></w:more>"},
      {"label", "<w:label " + kW + " id='l1'>Some  text</w:label>"},
      {"note", "<w:note " + kW + ">Hello <b>x</b> world</w:note>"},
  };
  for (const Case& c : cases) {
    CSmartPtr<CXmlObjectBase> root =
        Wild::CreateRootObject(Utf16::FromUtf8(c.root).c_str(), VX_T("urn:vxbind:wild"));
    ASSERT_NE(root, nullptr) << c.root;
    root->FromXml(c.xml.c_str());
    EXPECT_EQ(TreeDifference(c.xml, root->ToXml()), "") << c.xml;
  }
  // The derived type's default, inherited from its base.
  auto more = ReadAs<Wild::CMoreOpen>("<w:more " + kW + "><w:title/></w:more>");
  EXPECT_EQ(U8(more->GetTitle()), "none");
  // An attribute the attribute group's wildcard does not admit.
  EXPECT_NE(Failure([&] {
              ReadAs<Wild::CBag>("<w:bag " + kW + " xmlns:z='urn:z' z:x='1'/>");
            }).find("Invalid namespace [urn:z]"),
            std::string::npos);
}

// -- untyped elements and mixed content ---------------------------------------------

TEST(GeneratedUntyped, KeepsDeepContentAndTheirOwnNames) {
  // Content a hundred thousand levels deep passes through without recursion.
  std::string deep;
  const int depth = 100000;
  for (int i = 0; i < depth; ++i) deep += "<d n='" + std::to_string(i % 7) + "'>";
  deep += "bottom";
  for (int i = 0; i < depth; ++i) deep += "</d>";
  std::string xml = "<w:holder " + kW + "><w:payload>" + deep + "</w:payload>" +
                    "<w:extra k='v'>x</w:extra><w:item/><w:item><q/></w:item>"
                    "<plain>p</plain></w:holder>";
  CSmartPtr<Wild::CHolder> holder = ReadAs<Wild::CHolder>(xml);
  EXPECT_EQ(TreeDifference(xml, holder->ToXml(false, false)), "");  // unindented: flat
  EXPECT_EQ(holder->GetItem()->GetCount(), 2);
  EXPECT_EQ(U8(holder->GetPlain()->GetText()), "p");

  // Each untyped element only in its own name and namespace.
  struct Case {
    std::string body;
    std::string message;
  } cases[] = {
      {"<o:payload xmlns:o='urn:other'/>",
       "Failed to find the required element from namespace [urn:vxbind:wild]"},
      {"<w:payload/><w:plain/>", "The unexpected element [plain] remains un processed"},
      {"<w:payload/><w:item/><o:item xmlns:o='urn:other'/>",
       "The unexpected element [item] remains un processed"},
  };
  for (const Case& c : cases) {
    std::string failure =
        Failure([&] { ReadAs<Wild::CHolder>("<w:holder " + kW + ">" + c.body + "</w:holder>"); });
    EXPECT_NE(failure.find(c.message), std::string::npos) << c.body << "\n" << failure;
  }

  // An element set takes the member's name; one added under another name is
  // refused when written.
  CSmartPtr<Wild::CHolder> fresh = new Wild::CHolder();
  CSmartPtr<CElement> any = new CElement(VX_T("anything"));
  any->SetText(VX_T("t"));
  fresh->SetPayload(any);
  EXPECT_EQ(
      TreeDifference("<w:holder " + kW + "><w:payload>t</w:payload></w:holder>", fresh->ToXml()),
      "");
  fresh->GetItem()->Add(VX_T("other"), VX_T("urn:vxbind:wild"));
  EXPECT_NE(Failure([&] {
              fresh->ToXml();
            }).find("The element [other] cannot stand for the element [item]"),
            std::string::npos);
}

TEST(GeneratedUntyped, MixedContentKeepsItsTextInPlace) {
  CSmartPtr<Wild::CLabel> label = ReadAs<Wild::CLabel>("<w:label " + kW + ">A  b</w:label>");
  EXPECT_EQ(U8(label->GetText()), "A  b");
  // The text around a wildcard's elements stays where it was.
  CSmartPtr<Wild::CNote> note = ReadAs<Wild::CNote>("<w:note " + kW + ">Hi <b/>there</w:note>");
  EXPECT_EQ(U8(note->GetText()), "Hi there");
  EXPECT_EQ(note->GetAny()->GetCount(), 1);
  std::string written = U8(note->ToXml(false, false));
  EXPECT_NE(written.find(">Hi <b/>there</"), std::string::npos) << written;
}

// -- defaults and fixed values ------------------------------------------------------

TEST(GeneratedValueConstraints, DefaultsFillEmptyElementsAndFixedValuesAreChecked) {
  auto settings = [](const std::string& attributes, const std::string& body) {
    return "<w:settings " + kW + " " + attributes + ">" + body + "</w:settings>";
  };
  CSmartPtr<Wild::CSettings> s =
      ReadAs<Wild::CSettings>(settings("", "<w:size/><w:version/><w:ratio/>"));
  EXPECT_EQ(s->GetSize(), 10);
  EXPECT_FALSE(s->IsValidUnit());  // absent: no default
  EXPECT_EQ(s->GetVersion(), CDecimal(VX_T("1.5")));
  EXPECT_EQ(s->GetRatio(), 50);
  s = ReadAs<Wild::CSettings>(settings(
      "schema=' v1 ' level='3' side='cm'",
      "<w:size>5</w:size><w:unit/><w:title/><w:version> 1.50 </w:version><w:mode>mm</w:mode>"));
  EXPECT_EQ(s->GetSize(), 5);
  EXPECT_EQ(s->GetUnit(), Wild::Unit_cm);
  EXPECT_EQ(U8(s->GetTitle()), "untitled");
  EXPECT_EQ(s->GetMode(), Wild::Unit_mm);
  // Only an empty element takes the default: blanks are a value (the
  // library reads an int of blanks as 0).
  EXPECT_EQ(ReadAs<Wild::CSettings>(settings("", "<w:size> </w:size><w:version/>"))->GetSize(), 0);

  struct Case {
    std::string attributes;
    std::string body;
    std::string message;
  } cases[] = {
      {"", "<w:size/><w:version>2</w:version>",
       "Invalid value [2] for [version]: its value is fixed as [1.5]"},
      {"", "<w:size/><w:version/><w:mode>cm</w:mode>",
       "Invalid value [cm] for [mode]: its value is fixed as [mm]"},
      {"level='4'", "<w:size/><w:version/>",
       "Invalid value [4] for [level]: its value is fixed as [3]"},
      {"side='mm'", "<w:size/><w:version/>",
       "Invalid value [mm] for [side]: its value is fixed as [cm]"},
  };
  for (const Case& c : cases) {
    std::string failure = Failure([&] { ReadAs<Wild::CSettings>(settings(c.attributes, c.body)); });
    EXPECT_NE(failure.find(c.message), std::string::npos) << c.body << "\n" << failure;
  }

  // A new object starts with its defaults and fixed values, and writes them.
  CSmartPtr<Wild::CSettings> fresh = new Wild::CSettings();
  EXPECT_EQ(U8(fresh->GetSchema()), "v1");
  EXPECT_EQ(fresh->GetLevel(), 3);
  EXPECT_EQ(TreeDifference(settings("schema='v1' level='3' side='cm'",
                                    "<w:size>10</w:size><w:version>1.5</w:version>"),
                           fresh->ToXml()),
            "");
  fresh->SetVersion(CDecimal(VX_T("2")));
  EXPECT_NE(Failure([&] { fresh->ToXml(); }).find("its value is fixed as [1.5]"),
            std::string::npos);
  fresh->SetVersion(CDecimal(VX_T("1.5")));
  fresh->SetRatio(101);  // the facets of the type still hold
  EXPECT_NE(Failure([&] { fresh->ToXml(); }).find("Invalid Value for ratio [101]"),
            std::string::npos);

  // In a choice.
  auto either = [](const std::string& body) {
    return ReadAs<Wild::CEither>("<w:either " + kW + ">" + body + "</w:either>");
  };
  EXPECT_EQ(either("<w:n/>")->GetN(), 7);
  EXPECT_EQ(U8(either("<w:s/>")->GetS()), "x");
  EXPECT_NE(Failure([&] { either("<w:s>y</w:s>"); }).find("its value is fixed as [x]"),
            std::string::npos);
}

// -- whitespace, digits, lists and unions --------------------------------------------

TEST(GeneratedSimpleTypes, ReadByTheirWhitespaceAndWrittenWithinTheirFacets) {
  const std::string xml = "<w:values " + kW +
                          "><w:code>  AB \n C </w:code><w:line>a\tb</w:line>"
                          "<w:money>123.45</w:money><w:small>42</w:small>"
                          "<w:ints> 1   2  3 </w:ints><w:sizes> s   m </w:sizes>"
                          "<w:limit> 5 </w:limit><w:some>7</w:some></w:values>";
  CSmartPtr<Wild::CValues> v = ReadAs<Wild::CValues>(xml);
  EXPECT_EQ(U8(v->GetCode()), "AB C");
  EXPECT_EQ(U8(v->GetLine()), "a b");
  EXPECT_EQ(U8(v->GetInts()), "1 2 3");  // three items: the list's maxLength is not checked
  EXPECT_EQ(v->GetSizes(), Wild::Sizes_s_m);
  EXPECT_EQ(U8(v->GetLimit()), " 5 ");  // a union's text as written
  EXPECT_EQ(U8(v->GetSome()), "7");     // its enumeration is not checked
  EXPECT_EQ(Failure([&] { v->ToXml(); }), "");

  struct Case {
    std::function<void(Wild::CValues&)> change;
    std::string message;
  } cases[] = {
      {[](Wild::CValues& x) { x.SetCode(VX_T("ABCDEF")); }, "Invalid Value for code"},
      {[](Wild::CValues& x) { x.SetMoney(CDecimal(VX_T("123456"))); }, "Invalid Value for money"},
      {[](Wild::CValues& x) { x.SetSmall(501); }, "Invalid Value for small [501]"},
      {[](Wild::CValues& x) { x.SetSmall(-1000); }, "Invalid Value for small [-1000]"},
      {[](Wild::CValues& x) { x.SetInts(VX_T("1 x")); }, "Invalid Value for ints"},
  };
  for (const Case& c : cases) {
    CSmartPtr<Wild::CValues> changed = ReadAs<Wild::CValues>(xml);
    c.change(*changed);
    EXPECT_NE(Failure([&] { changed->ToXml(); }).find(c.message), std::string::npos) << c.message;
  }
}

}  // namespace
