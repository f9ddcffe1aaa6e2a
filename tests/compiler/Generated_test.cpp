// Classes that vxbindc generated at build time (see CMakeLists.txt), bound
// to documents: the purchase order of the XML Schema Primer, read and
// written back; the subset schemas data/kinds.xsd and data/builtins.xsd,
// compiled together into one namespace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GeneratedTesting.h"
#include "builtins.h"
#include "edges.h"
#include "groups.h"
#include "kinds.h"
#include "po.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
namespace K = Kinds::Test;

// -- the purchase order -----------------------------------------------------

const std::string kPoXml = ReadFile(VXBINDC_TEST_DATA "/po.xml");

TEST(GeneratedPo, RoundTripsThePrimersPurchaseOrder) {
  ASSERT_FALSE(kPoXml.empty());
  auto order = Root<GeneratedPo::CPurchaseOrderType>(
      GeneratedPo::CreateRootObject(VX_T("purchaseOrder"), nullptr));
  order->FromXml(kPoXml.c_str());
  String written = order->ToXml();
  EXPECT_EQ(TreeDifference(kPoXml, written), "");

  EXPECT_EQ(U8(order->GetShipTo()->GetName()), "Alice Smith");
  EXPECT_EQ(U8(order->GetBillTo()->GetCountry()), "US");
  EXPECT_TRUE(order->IsValidComment());
  auto items = order->GetItems()->GetItem();
  ASSERT_EQ(items->GetCount(), 2);
  EXPECT_EQ(U8(items->Item(0)->GetPartNum()), "872-AA");
  EXPECT_EQ(items->Item(0)->GetUSPrice(), CDecimal(VX_T("148.95")));
  EXPECT_FALSE(items->Item(0)->IsValidShipDate());
  EXPECT_TRUE(items->Item(1)->IsValidShipDate());
  EXPECT_FALSE(items->Item(1)->IsValidComment());
  EXPECT_EQ(items->Item(1)->GetShipDate(), CDateTime(1999, 5, 21));

  // Read again into the same object: Init starts it afresh.
  order->FromXml(written.c_str());
  EXPECT_EQ(order->GetItems()->GetItem()->GetCount(), 2);
}

// -- the subset schemas -------------------------------------------------------

const char kOrder[] =
    "<k:order xmlns:k='urn:vxbind:kinds' id='o1' version='1.5' lang='en-GB'>"
    "<k:code>AB1</k:code><k:share>9.5</k:share><k:color>light-blue</k:color>"
    "<k:paint>red</k:paint><k:tone>green</k:tone><k:tone>red</k:tone><k:size>3</k:size>"
    "<k:note>hello</k:note>"
    "<k:line number='1'><k:item>nail</k:item>"
    "<k:detail><k:weight>1.5</k:weight><k:unit>g</k:unit></k:detail></k:line>"
    "<k:line number='2'><k:item>screw</k:item></k:line>"
    "<k:pick><k:colors>red</k:colors><k:colors>green</k:colors></k:pick>"
    "<local>plain</local></k:order>";

TEST(GeneratedKinds, RoundTripsEveryKindOfMember) {
  CSmartPtr<K::COrder> order = ReadAs<K::COrder>(kOrder);
  EXPECT_EQ(TreeDifference(kOrder, order->ToXml()), "");

  EXPECT_EQ(U8(order->GetCode()), "AB1");
  EXPECT_EQ(order->GetColor(), K::Color_light_blue);
  EXPECT_TRUE(order->IsValidPaint());
  K::Color paint = order->GetPaint();  // a type without values of its own shares Color
  EXPECT_EQ(paint, K::Color_red);
  ASSERT_EQ(order->GetTone()->GetCount(), 2);
  EXPECT_EQ(order->GetTone()->Item(1), K::Color_red);
  EXPECT_EQ(order->GetSize()->GetCount(), 1);
  EXPECT_EQ(U8(order->GetNote()), "hello");
  EXPECT_EQ(U8(order->GetLocal()), "plain");
  ASSERT_EQ(order->GetLine()->GetCount(), 2);
  CSmartPtr<K::CLine> line = order->GetLine()->Item(0);
  EXPECT_EQ(line->GetNumber(), 1);
  CSmartPtr<K::CLineDetail> detail = line->GetDetail();
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(detail->GetWeight(), 1.5);
  EXPECT_EQ(U8(detail->GetUnit()), "g");
  // An all group is read in any order, and written in the order read.
  std::string reversed = kOrder;
  std::string inOrder = "<k:weight>1.5</k:weight><k:unit>g</k:unit>";
  reversed.replace(reversed.find(inOrder), inOrder.size(),
                   "<k:unit>g</k:unit><k:weight>1.5</k:weight>");
  EXPECT_EQ(TreeDifference(reversed, ReadAs<K::COrder>(reversed)->ToXml()), "");
  EXPECT_EQ(order->GetLine()->Item(1)->GetDetail(), nullptr);
  EXPECT_EQ(order->GetPick()->GetColors()->GetCount(), 2);
  // Color restricts xs:token: its values are read with their blanks collapsed.
  std::string spaced = kOrder;
  spaced.replace(spaced.find(">light-blue<"), 12, "> light-blue\n<");
  EXPECT_EQ(ReadAs<K::COrder>(spaced)->GetColor(), K::Color_light_blue);

  // Attributes: a default when absent (and then not written), a fixed value.
  EXPECT_FALSE(order->IsValidPriority());
  EXPECT_EQ(order->GetPriority(), K::Color_green);
  EXPECT_FALSE(order->IsValidCount());
  EXPECT_EQ(order->GetCount(), 7);
  EXPECT_EQ(order->GetVersion(), CDecimal(VX_T("1.5")));
  order->SetPriority(K::Color_red);
  order->SetCount(9);
  std::string written = U8(order->ToXml());
  EXPECT_NE(written.find("priority=\"red\""), std::string::npos) << written;
  EXPECT_NE(written.find("count=\"9\""), std::string::npos) << written;
  order->RemovePriority();
  EXPECT_EQ(order->GetPriority(), K::Color_green);
}

TEST(GeneratedKinds, KeepsAChoiceToOneMemberAndWritesFixedAttributes) {
  CSmartPtr<K::CPick> pick = new K::CPick;
  EXPECT_NE(Failure([&] { pick->ToXml(); }), "");  // none chosen
  pick->SetNumber(4);
  EXPECT_NE(Failure([&] { pick->SetWord(VX_T("x")); }), "");
  pick->RemoveNumber();
  pick->SetWord(VX_T("x"));
  std::string written = U8(pick->ToXml());
  EXPECT_NE(written.find("word>x</"), std::string::npos) << written;
  EXPECT_EQ(written.find("number"), std::string::npos) << written;
  pick->RemoveWord();
  pick->GetBoxes()->Add()->SetSide(-3);
  // A new object has its fixed attribute and writes it, and 0 for a required one.
  EXPECT_EQ(U8(pick->GetBoxes()->Add()->GetUnit()), "cm");
  written = U8(pick->ToXml());
  for (const char* part : {"side=\"-3\"", "side=\"0\"", "unit=\"cm\""})
    EXPECT_NE(written.find(part), std::string::npos) << written;
}

TEST(GeneratedKinds, CreatesRootObjectsAcrossTheSchemasOfTheNamespace) {
  struct Case {
    const unsigned short* name;
    const unsigned short* ns;
    const char* written;  // namespace|name of the element written; null: no object
  };
  const Case cases[] = {
      {VX_T("order"), VX_T("urn:vxbind:kinds"), "urn:vxbind:kinds|order"},
      {VX_T("box"), VX_T("urn:vxbind:kinds"), "urn:vxbind:kinds|box"},
      {VX_T("order"), VX_T(""), "|order"},
      {VX_T("order"), nullptr, "|order"},
      {VX_T("builtins"), nullptr, "|builtins"},
      {VX_T("note"), VX_T("urn:vxbind:kinds"), "urn:vxbind:kinds|note"},  // of a simple type
      {VX_T("order"), VX_T("urn:other"), nullptr},
      {VX_T("Order"), VX_T(""), nullptr},  // a type's name, no element's
      {nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    CSmartPtr<CXmlObjectBase> object = K::CreateRootObject(c.name, c.ns);
    if (!c.written) {
      EXPECT_EQ(object, nullptr);
      continue;
    }
    ASSERT_NE(object, nullptr) << c.written;
    // The element that the new object writes (once its mandatory members
    // are set, for the order of kinds.xsd).
    if (auto* order = dynamic_cast<K::COrder*>(object.get())) {
      order->SetCode(VX_T("AB1"));
      order->GetSize()->Add(CBigInteger(1));
      order->GetPick()->SetNumber(1);
    }
    CXmlDocument document;
    document.LoadXml(object->ToXml().c_str());
    const CXmlElement* root = document.GetDocumentElement();
    EXPECT_EQ(U8(root->GetNamespaceURI()) + "|" + U8(root->GetLocalName()), c.written);
  }
  // Names that clash across the schemas of one namespace, or with the
  // generated code's own, are numbered.
  auto other = Root<K::COrder2>(K::CreateRootObject(VX_T("order"), VX_T("")));
  other->SetText(new K::CString);
  EXPECT_EQ(U8(other->GetText()->GetValue()), "");
}

TEST(GeneratedKinds, BindTheTextOfSimpleContent) {
  const char price[] = "<k:price xmlns:k='urn:vxbind:kinds' currency='USD'>12.5</k:price>";
  auto object = Root<K::CPrice>(K::CreateRootObject(VX_T("price"), VX_T("urn:vxbind:kinds")));
  object->FromXml(price);
  EXPECT_EQ(object->GetValue(), CDecimal(VX_T("12.5")));
  EXPECT_EQ(U8(object->GetCurrency()), "USD");
  EXPECT_EQ(TreeDifference(price, object->ToXml()), "");
  // The text's facets (Percent: 0 to 100) are checked on writing.
  object->SetValue(CDecimal(VX_T("100.5")));
  EXPECT_NE(Failure([&] { object->ToXml(); }).find("[100.5]"), std::string::npos);
  // Read by the whitespace rule of the text's type.
  object->FromXml("<k:price xmlns:k='urn:vxbind:kinds'> 7 </k:price>");
  EXPECT_EQ(object->GetValue(), CDecimal(VX_T("7")));
  EXPECT_EQ(U8(object->GetCurrency()), "EUR");

  const char tag[] = "<k:tag xmlns:k='urn:vxbind:kinds' weight='2'>light-blue</k:tag>";
  CSmartPtr<K::CTag> t = ReadAs<K::CTag>(tag);
  EXPECT_EQ(t->GetValue(), K::Color_light_blue);
  EXPECT_EQ(TreeDifference(tag, t->ToXml()), "");
  EXPECT_NE(Failure([&] {
              t->FromXml("<k:tag xmlns:k='urn:vxbind:kinds'>purple</k:tag>");
            }).find("Invalid value [purple] for the enumeration [Color]"),
            std::string::npos);
}

// -- built-in types -------------------------------------------------------------

const char kBuiltins[] =
    "<builtins xmlns:k='urn:k'><anySimpleType>any</anySimpleType><string> two  spaces </string>"
    "<normalizedString>a\tb</normalizedString><token> a   b </token><language>en-GB</language>"
    "<Name>a:b</Name><NCName>ab</NCName><ID>id1</ID><IDREF>id1</IDREF><IDREFS>id1 id2</IDREFS>"
    "<ENTITY>e</ENTITY><ENTITIES>e f</ENTITIES><NMTOKEN>n-1</NMTOKEN><NMTOKENS>n1 n2</NMTOKENS>"
    "<anyURI>http://example.com/a</anyURI><QName>k:x</QName><NOTATION>gif</NOTATION>"
    "<boolean>true</boolean><float>1.5</float><double>-2.25</double><decimal>3.125</decimal>"
    "<integer>123456789012345678901234567890</integer><nonPositiveInteger>0</nonPositiveInteger>"
    "<negativeInteger>-1</negativeInteger><nonNegativeInteger>0</nonNegativeInteger>"
    "<positiveInteger>1</positiveInteger><long>-9000000000</long><int>-5</int><short>-300</short>"
    "<byte>-128</byte><unsignedLong>18000000000000000000</unsignedLong>"
    "<unsignedInt>4000000000</unsignedInt><unsignedShort>65535</unsignedShort>"
    "<unsignedByte>255</unsignedByte><duration>P1Y2M3DT4H5M6S</duration>"
    "<dateTime>2001-02-03T04:05:06</dateTime><time>04:05:06</time><date>2001-02-03</date>"
    "<gYearMonth>2001-02</gYearMonth><gYear>2001</gYear><gMonthDay>--02-03</gMonthDay>"
    "<gDay>---03</gDay><gMonth>--02</gMonth><hexBinary>0FA1</hexBinary>"
    "<base64Binary>AQID</base64Binary></builtins>";

TEST(GeneratedBuiltins, MapEveryBuiltInTypeToItsItemType) {
  CSmartPtr<K::CBuiltins> all = ReadAs<K::CBuiltins>(kBuiltins);
  // Each value has its member's type and whitespace rule.
  EXPECT_EQ(U8(all->GetString()), " two  spaces ");
  EXPECT_EQ(U8(all->GetNormalizedString()), "a b");
  EXPECT_EQ(U8(all->GetToken()), "a b");
  EXPECT_EQ(U8(all->GetIDREFS()), "id1 id2");
  EXPECT_EQ(all->GetQName(), CQName(VX_T("urn:k"), VX_T("x")));
  EXPECT_TRUE(all->GetBoolean());
  EXPECT_EQ(all->GetFloat(), 1.5f);
  EXPECT_EQ(all->GetDouble(), -2.25);
  EXPECT_EQ(all->GetDecimal(), CDecimal(VX_T("3.125")));
  EXPECT_EQ(all->GetLong(), -9000000000LL);
  EXPECT_EQ(all->GetInt(), -5);
  EXPECT_EQ(all->GetShort(), -300);
  EXPECT_EQ(all->GetByte(), static_cast<char>(-128));
  EXPECT_EQ(all->GetUnsignedLong(), 18000000000000000000ULL);
  EXPECT_EQ(all->GetUnsignedInt(), 4000000000U);
  EXPECT_EQ(all->GetUnsignedShort(), 65535);
  EXPECT_EQ(all->GetUnsignedByte(), 255);
  EXPECT_EQ(all->GetDate(), CDateTime(2001, 2, 3));
  EXPECT_EQ(all->GetGYear(), 2001);
  EXPECT_EQ(all->GetGMonth(), 2);
  EXPECT_EQ(all->GetGDay(), 3);
  EXPECT_EQ(all->GetHexBinary().GetLength(), 2u);
  EXPECT_EQ(all->GetBase64Binary().GetLength(), 3u);

  // Written and read again, every value stays what it was.
  String once = all->ToXml();
  CSmartPtr<K::CBuiltins> again = new K::CBuiltins;
  again->FromXml(once.c_str());
  EXPECT_EQ(U8(again->ToXml()), U8(once));
}

// What reading refuses, with a part of its message; and the facets of the
// schemas, implied ones included, which writing checks and reading does not
// (a collection's items are refused on reading already).
TEST(Generated, RefuseInvalidInputOnReadingAndFacetsOnWriting) {
  using Read = std::function<CSmartPtr<CXmlObjectBase>(const std::string&)>;
  const Read po = ReadAs<GeneratedPo::CPurchaseOrderType>;
  const Read order = ReadAs<K::COrder>;
  const Read builtins = ReadAs<K::CBuiltins>;
  const Read menu = ReadAs<K::CMenu>, choices = ReadAs<K::CChoices>, maybe = ReadAs<K::CMaybe>,
             pairs = ReadAs<K::CPairs>;
  enum Result { kWrites, kWriteFails, kReadFails, kReadOrWriteFails };
  struct Case {
    Read read;
    std::string xml;
    const char* from;  // replaced by `to` in `xml`
    const char* to;
    Result result;
    const char* message = "";
  };
  const Case cases[] = {
      {order, kOrder, "<k:color>light-blue</k:color>", "<k:color>purple</k:color>", kReadFails,
       "Invalid value [purple] for the enumeration [Color]"},
      {order, kOrder, "id='o1' ", "", kReadFails, "Failed to find the required Attribute [id]"},
      {order, kOrder, "<k:size>3</k:size>",
       "<k:size>1</k:size><k:size>2</k:size><k:size>3</k:size>"
       "<k:size>4</k:size><k:size>5</k:size>",
       kReadFails, "[size]"},
      {order, kOrder, "<k:colors>red</k:colors><k:colors>green</k:colors>",
       "<k:number>1</k:number><k:word>x</k:word>", kReadFails,
       "The unexpected element [word] remains un processed"},
      {order, kOrder, "<local>plain</local>", "<k:local>plain</k:local>", kReadFails, "[local]"},
      // The menu's choice is mandatory; a dish out of place is left over.
      {menu, "<g:menu xmlns:g='urn:vxbind:groups'><g:title>T</g:title><g:end>1</g:end></g:menu>",
       "", "", kReadFails},
      {menu,
       "<g:menu xmlns:g='urn:vxbind:groups'><g:title>T</g:title><g:free>1</g:free>"
       "<g:end>1</g:end><g:dish>x</g:dish></g:menu>",
       "", "", kReadFails},
      {choices, "<g:choices xmlns:g='urn:vxbind:groups'/>", "", "", kReadFails},  // one or more
      // All or nothing: x alone is left over.
      {maybe, "<g:maybe xmlns:g='urn:vxbind:groups'><g:x>1</g:x></g:maybe>", "", "", kReadFails},
      // The attribute group's required attribute is required.
      {pairs, "<g:pairs xmlns:g='urn:vxbind:groups'><g:first>a</g:first></g:pairs>", "", "",
       kReadFails, "Failed to find the required Attribute [by]"},
      {po, kPoXml, "<quantity>1</quantity>", "<quantity>99</quantity>", kWrites},
      // maxExclusive, positiveInteger, the SKU pattern
      {po, kPoXml, "<quantity>1</quantity>", "<quantity>100</quantity>", kWriteFails},
      {po, kPoXml, "<quantity>1</quantity>", "<quantity>0</quantity>", kWriteFails},
      {po, kPoXml, "partNum=\"872-AA\"", "partNum=\"872-aa\"", kWriteFails},
      {order, kOrder, "<k:code>AB1</k:code>", "<k:code>ZZ9</k:code>", kWrites},
      // maxLength, pattern
      {order, kOrder, "<k:code>AB1</k:code>", "<k:code>AB12</k:code>", kWriteFails},
      {order, kOrder, "<k:code>AB1</k:code>", "<k:code>A11</k:code>", kWriteFails},
      {order, kOrder, "<k:share>9.5</k:share>", "<k:share>0</k:share>", kWrites},
      // maxExclusive of the derived type, minInclusive of its base
      {order, kOrder, "<k:share>9.5</k:share>", "<k:share>10</k:share>", kWriteFails},
      {order, kOrder, "<k:share>9.5</k:share>", "<k:share>-1</k:share>", kWriteFails},
      // positiveInteger, in a collection: its items are read as values
      {order, kOrder, "<k:size>3</k:size>", "<k:size>0</k:size>", kReadOrWriteFails},
      // the pattern of xs:language
      {order, kOrder, "lang='en-GB'", "lang='english (UK)'", kWriteFails},
      // kBuiltins holds the lowest or highest value each integer type takes.
      {builtins, kBuiltins, ">0</nonPositiveInteger>", ">1</nonPositiveInteger>", kWriteFails},
      {builtins, kBuiltins, ">-1</negativeInteger>", ">0</negativeInteger>", kWriteFails},
      {builtins, kBuiltins, ">0</nonNegativeInteger>", ">-1</nonNegativeInteger>", kWriteFails},
      {builtins, kBuiltins, ">1</positiveInteger>", ">0</positiveInteger>", kWriteFails},
      {builtins, kBuiltins, ">en-GB</language>", ">de</language>", kWrites},
      {builtins, kBuiltins, ">en-GB</language>", ">123456789</language>", kWriteFails},
  };
  for (const Case& c : cases) {
    std::string xml = c.xml;
    xml.replace(xml.find(c.from), std::string(c.from).size(), c.to);
    CSmartPtr<CXmlObjectBase> object;
    std::string read = Failure([&] { object = c.read(xml); });
    std::string message = read.empty() ? Failure([&] { object->ToXml(); }) : read;
    if (c.result == kWrites || c.result == kWriteFails) {
      EXPECT_EQ(read, "") << c.to;
    } else if (c.result == kReadFails) {
      EXPECT_NE(read, "") << xml;
    }
    EXPECT_EQ(message.empty(), c.result == kWrites) << xml << "\n" << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << xml << "\n" << message;
  }
}

// -- model groups in model groups ------------------------------------------------

const char kMenu[] =
    "<g:menu xmlns:g='urn:vxbind:groups' id='1' "
    "g:lang='de'><g:title>T</g:title><g:free>true</g:free>"
    "<g:dish>a</g:dish><g:side>s</g:side><g:dish>b</g:dish><g:note>n</g:note><g:end>3</g:end>"
    "</g:menu>";

TEST(GeneratedGroups, ReadAndWriteNestedGroupsInTheirHoldersElement) {
  CSmartPtr<K::CMenu> menu = ReadAs<K::CMenu>(kMenu);
  EXPECT_EQ(TreeDifference(kMenu, menu->ToXml()), "");
  EXPECT_EQ(menu->GetId(), 1);
  EXPECT_EQ(U8(menu->GetLang()), "de");  // the global attribute, in the target namespace
  CSmartPtr<K::CMenuChoice> choice = menu->GetChoice();
  EXPECT_TRUE(choice->IsValidFree());
  EXPECT_FALSE(choice->IsValidPrice());
  CSmartPtr<K::CMenuSequenceCol> courses = menu->GetSequence();  // 0 to unbounded
  ASSERT_EQ(courses->GetCount(), 2);
  EXPECT_EQ(U8(courses->Item(0)->GetSide()), "s");
  EXPECT_FALSE(courses->Item(1)->IsValidSide());
  CSmartPtr<K::CMenuSequence2> note = menu->GetSequence2();  // optional
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(U8(note->GetNote()), "n");
  EXPECT_EQ(menu->GetEnd(), 3);
}

TEST(GeneratedGroups, LeaveOptionalGroupsEmpty) {
  const char minimal[] =
      "<g:menu xmlns:g='urn:vxbind:groups'><g:title>T</g:title><g:price>2.5</g:price>"
      "<g:end>1</g:end></g:menu>";
  CSmartPtr<K::CMenu> menu = ReadAs<K::CMenu>(minimal);
  EXPECT_EQ(TreeDifference(minimal, menu->ToXml()), "");
  EXPECT_EQ(menu->GetSequence()->GetCount(), 0);
  EXPECT_EQ(menu->GetSequence2(), nullptr);
  EXPECT_FALSE(menu->IsValidLang());
  EXPECT_EQ(U8(menu->GetLang()), "en");
  EXPECT_EQ(menu->GetChoice()->GetPrice(), CDecimal(VX_T("2.5")));
}

TEST(GeneratedGroups, RepeatAChoice) {
  const char xml[] =
      "<g:choices xmlns:g='urn:vxbind:groups'><g:a>1</g:a><g:b>x</g:b><g:a>2</g:a></g:choices>";
  CSmartPtr<K::CChoices> choices = ReadAs<K::CChoices>(xml);
  EXPECT_EQ(TreeDifference(xml, choices->ToXml()), "");
  CSmartPtr<K::CChoicesChoiceCol> items = choices->GetChoice();
  ASSERT_EQ(items->GetCount(), 3);
  EXPECT_EQ(U8(items->Item(1)->GetB()), "x");
  EXPECT_EQ(items->Item(2)->GetA(), 2);
}

TEST(GeneratedGroups, ReadAnAllGroupThatMayBeMissingAndAChoiceInAChoice) {
  CSmartPtr<K::CMaybe> maybe = new K::CMaybe;
  maybe->FromXml("<g:maybe xmlns:g='urn:vxbind:groups'/>");
  EXPECT_EQ(maybe->GetAll(), nullptr);
  maybe->FromXml("<g:maybe xmlns:g='urn:vxbind:groups'><g:y>2</g:y><g:x>1</g:x></g:maybe>");
  ASSERT_NE(maybe->GetAll(), nullptr);
  EXPECT_EQ(maybe->GetAll()->GetX(), 1);
  EXPECT_EQ(maybe->GetAll()->GetY(), 2);

  struct Case {
    const char* content;
    bool one;
    bool inner;
  };
  const Case cases[] = {{"<g:one>1</g:one>", true, false},
                        {"<g:three>3</g:three>", false, true},
                        {"<g:two>2</g:two>", false, true}};
  for (const Case& c : cases) {
    std::string xml =
        std::string("<g:either xmlns:g='urn:vxbind:groups'>") + c.content + "</g:either>";
    CSmartPtr<K::CEither> either = new K::CEither(VX_T("either"));
    either->FromXml(xml.c_str());
    EXPECT_EQ(either->IsValidOne(), c.one) << xml;
    EXPECT_EQ(either->GetChoice() != nullptr, c.inner) << xml;
    EXPECT_EQ(TreeDifference(xml, either->ToXml()), "");
  }
}

TEST(GeneratedGroups, ShareANamedGroupsClassAndCopyAttributeGroups) {
  const char xml[] =
      "<g:pairs xmlns:g='urn:vxbind:groups' by='me' at='2001-02-03'><g:first>a</g:first>"
      "<g:first>b</g:first><g:second>2</g:second><g:first>c</g:first></g:pairs>";
  CSmartPtr<K::CPairs> pairs = ReadAs<K::CPairs>(xml);
  EXPECT_EQ(TreeDifference(xml, pairs->ToXml()), "");
  CSmartPtr<K::CPair> first = pairs->GetPair();
  EXPECT_EQ(U8(first->GetFirst()), "a");
  EXPECT_FALSE(first->IsValidSecond());
  CSmartPtr<K::CPairCol> more = pairs->GetPair2();
  ASSERT_EQ(more->GetCount(), 2);
  EXPECT_EQ(more->Item(0)->GetSecond(), 2);
  EXPECT_EQ(U8(more->Item(1)->GetFirst()), "c");
  EXPECT_EQ(U8(pairs->GetBy()), "me");
  EXPECT_EQ(pairs->GetAt(), CDateTime(2001, 2, 3));
}

// -- names and values C++ cannot take as they are --------------------------------

TEST(GeneratedEdges, GlobalElementsOfSimpleTypesAndUntypedOnesAreRootsToo) {
  const std::string note = "<e:note xmlns:e='urn:vxbind:edges'> a  b </e:note>";
  auto text = Root<Edges::CNote>(Edges::CreateRootObject(VX_T("note"), VX_T("urn:vxbind:edges")));
  text->FromXml(note.c_str());
  EXPECT_EQ(U8(text->GetValue()), " a  b ");
  EXPECT_EQ(TreeDifference(note, text->ToXml()), "");

  auto odd = Root<Edges::COdd2>(Edges::CreateRootObject(VX_T("odd"), VX_T("urn:vxbind:edges")));
  odd->FromXml("<odd xmlns='urn:vxbind:edges'>a-b</odd>");
  EXPECT_EQ(odd->GetValue(), Edges::Odd_a_b2);
  EXPECT_NE(Failure([&] { odd->FromXml("<odd xmlns='urn:vxbind:edges'>c</odd>"); })
                .find("Invalid value [c] for the enumeration [Odd]"),
            std::string::npos);

  // Its pattern is broken between lines in the generated source.
  auto quoted =
      Root<Edges::CQuoted>(Edges::CreateRootObject(VX_T("quoted"), VX_T("urn:vxbind:edges")));
  quoted->FromXml("<quoted xmlns='urn:vxbind:edges'>ab(x,'y\")</quoted>");
  EXPECT_EQ(U8(quoted->GetValue()), "ab(x,'y\")");
  quoted->SetValue(VX_T("ab;"));
  EXPECT_NE(Failure([&] { quoted->ToXml(); }).find("Invalid Value"), std::string::npos);

  const std::string deep =
      "<e:anything xmlns:e='urn:vxbind:edges' k='v'><x><y>1</y></x><e:z/></e:anything>";
  auto any =
      Root<Edges::CAnything>(Edges::CreateRootObject(VX_T("anything"), VX_T("urn:vxbind:edges")));
  any->FromXml(deep.c_str());
  EXPECT_EQ(any->GetAny()->GetCount(), 2);
  EXPECT_EQ(TreeDifference(deep, any->ToXml()), "");
  EXPECT_EQ(Edges::CreateRootObject(VX_T("Names"), VX_T("urn:vxbind:edges")), nullptr);
}

TEST(GeneratedEdges, RenameWhatClashesAndEscapeWhatCannotStand) {
  // Enumerators: "" -> empty, "a b" and "a-b" -> a_b and a_b2, "??=" -> _,
  // "\u00FCber" -> U00FC_ber.
  const Edges::Odd values[] = {Edges::Odd_empty, Edges::Odd_a_b, Edges::Odd_a_b2, Edges::Odd_,
                               Edges::Odd_U00FC_ber};
  const char* texts[] = {"", "a b", "a-b",
                         "??"
                         "=",
                         "\xC3\xBC"
                         "ber"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(U8(Edges::OddToString(values[i])), texts[i]);
    EXPECT_EQ(Edges::OddFromString(Utf16::FromUtf8(texts[i]).c_str()), values[i]);
  }

  CSmartPtr<Edges::CNames> names = new Edges::CNames;
  // Defaults, one with quotes and a backslash, one of a class type.
  EXPECT_EQ(names->GetA2(), Edges::Odd_);  // the attribute a, after the element a
  EXPECT_EQ(U8(names->GetQuote()), "say \"hi\" \\ now");
  EXPECT_EQ(names->GetWhen(), CDateTime(VX_T("2001-02-03T04:05:06")));
  EXPECT_EQ(names->GetSmall(), -128);
  EXPECT_EQ(names->GetBig(), INT64_MIN);
  EXPECT_EQ(names->GetWide(), UINT64_MAX);
  EXPECT_EQ(names->GetWord(), UINT32_MAX);
  EXPECT_TRUE(names->GetFlag());
  EXPECT_EQ(U8(names->GetWords()), "two words");
  names->SetClass(3);
  names->SetElementName2(VX_T("x"));  // GetElementName is the object's own
  names->SetA(Edges::Odd_U00FC_ber);
  names->SetShipTo(new Edges::CEmpty);
  names->SetA2(Edges::Odd_a_b);
  CSmartPtr<Edges::CNames> copy = new Edges::CNames;
  copy->FromXml(names->ToXml().c_str());
  EXPECT_EQ(copy->GetClass(), 3);
  EXPECT_EQ(U8(copy->GetElementName2()), "x");
  EXPECT_EQ(copy->GetA(), Edges::Odd_U00FC_ber);
  EXPECT_EQ(copy->GetA2(), Edges::Odd_a_b);
  EXPECT_NE(copy->GetShipTo(), nullptr);
  CSmartPtr<Edges::CString> runtimeNamed = new Edges::CString;  // no clash with String
  EXPECT_NE(U8(runtimeNamed->ToXml(false, false)).find("String xmlns"), std::string::npos);
}

}  // namespace
