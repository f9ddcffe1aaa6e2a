// Metadata tables: a table of every member kind of every group built into
// the infos the kinds' constructors make; rows the library has no kind for;
// facets; and a class written the way generated code uses the tables, read
// and written back.
#include "vxbind/model/MetadataTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "support/Text.h"
#include "vxbind/vxbind.h"

using namespace VxVevAva5;
using namespace VxVevAva5Data;
using vxtest::ToUtf8;

namespace {

constexpr const char16_t* kNs = u"urn:tables";

// -- What the generated code of a small schema provides ----------------------------

const unsigned short* ShadeToText(int value) {
  switch (value) {
    case 0:
      return VX_T("light");
    case 1:
      return VX_T("dark");
  }
  throw CVxInvalidValueException(String(VX_T("no such shade")));
}

int ShadeFromText(const unsigned short* text) {
  if (Utf16::Equal(text, VX_T("light"))) return 0;
  if (Utf16::Equal(text, VX_T("dark"))) return 1;
  throw CVxInvalidValueException(String(VX_T("no such shade")));
}

enum Shade { Shade_light = 0, Shade_dark = 1 };

CSmartPtr<CXmlObjectBase> CreateObject(int classNumber, const unsigned short* elementName);
CSmartPtr<CXmlObjectBase> NoSubstitute(CXmlElement*) { return nullptr; }

// <item code="AB1" shade="dark"> name, count?, when?, shade?, price*, item? </item>
class CItem : public CXmlGeneratedClass {
 public:
  explicit CItem(const unsigned short* elementName = VX_T("item"))
      : m_prices(new CdecimalCol(VX_T("price"), VX_T("urn:tables"), 0, -1, nullptr, -1, -1,
                                 nullptr, nullptr, nullptr, nullptr, -1,
                                 CWhitespaceUtils::WhitespaceRule_Collapse, nullptr)) {
    SetElementName(elementName);
  }
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return VX_T("urn:tables"); }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  String m_name;
  int32_t m_count = 0;
  bool m_validCount = false;
  CDateTime m_when;
  bool m_validWhen = false;
  Shade m_shade = Shade_light;
  bool m_validShade = false;
  CSmartPtr<CdecimalCol> m_prices;
  CSmartPtr<CItem> m_child;
  String m_code;
  bool m_validCode = false;
  Shade m_tone = Shade_light;

 protected:
  ~CItem() override = default;
  String GetTargetNamespace() const override { return VX_T("urn:tables"); }
  void Init() override {
    AssignText(m_name, nullptr);
    m_validCount = false;
    m_validWhen = false;
    m_validShade = false;
    m_prices->Clear();
    m_child = nullptr;
    m_validCode = false;
    m_tone = Shade_light;
  }
};

enum ItemProperty {
  Item_Name,
  Item_Count,
  Item_When,
  Item_Shade,
  Item_Price,
  Item_Child,
  Item_Code,
  Item_Tone
};

constexpr FacetTable kCodeFacets = FacetTable().Pattern(u"[A-Z]{2}\\d").MaxLength(3);
constexpr ElementMember kItemElements[] = {
    PrimitiveElement(MemberOccurs_Mandatory, u"name", kNs, Item_Name, ItemType_string),
    PrimitiveElement(MemberOccurs_Optional, u"count", kNs, Item_Count, ItemType_i4,
                     CWhitespaceUtils::WhitespaceRule_Collapse),
    PrimitiveElement(MemberOccurs_Optional, u"when", kNs, Item_When, ItemType_date,
                     CWhitespaceUtils::WhitespaceRule_Collapse),
    EnumElement(MemberOccurs_Optional, u"shade", kNs, Item_Shade, ShadeToText, ShadeFromText),
    PrimitiveElement(MemberOccurs_Repeated, u"price", kNs, Item_Price),
    ClassElement(MemberOccurs_Optional, u"item", kNs, Item_Child, XmlElementType_Element,
                 CreateObject, 1)};
constexpr AttributeMember kItemAttributes[] = {
    PrimitiveAttribute(u"code", u"", Item_Code, true, ItemType_string,
                       CWhitespaceUtils::WhitespaceRule_Preserve, &kCodeFacets),
    EnumAttribute(u"tone", u"", Item_Tone, false, ShadeToText, ShadeFromText)};
constexpr ClassTable kItem = {XmlElementGroupType_Sequence,
                              XmlElementType_Element,
                              u"item",
                              kNs,
                              -1,
                              true,
                              false,
                              kItemElements,
                              std::size(kItemElements),
                              kItemAttributes,
                              std::size(kItemAttributes)};
const CTableMetadata kItemMetadata(kItem);

CParentElementInfo* CItem::GetClassInfo() const { return kItemMetadata.ClassInfo(); }
CElementInfo** CItem::GetClassElementInfo() const { return kItemMetadata.ElementInfos(); }
CAttributeInfo** CItem::GetClassAttributeInfo() const { return kItemMetadata.AttributeInfos(); }

void CItem::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case Item_Name:
      return AccessValue<ItemType_string>(m_name, read, value);
    case Item_Count:
      return AccessValue<ItemType_i4>(m_count, m_validCount, read, value);
    case Item_When:
      return AccessValue<ItemType_date>(m_when, m_validWhen, read, value);
    case Item_Shade:
      return AccessEnum(m_shade, m_validShade, read, value);
    case Item_Price:
      return AccessCollection(m_prices, read, value);
    case Item_Child:
      return AccessObject(m_child, read, value);
    case Item_Code:
      return AccessValue<ItemType_string>(m_code, m_validCode, read, value);
    case Item_Tone:
      return AccessEnum(m_tone, read, value);
  }
}

CSmartPtr<CXmlObjectBase> CreateObject(int classNumber, const unsigned short* elementName) {
  return classNumber == 1 ? new CItem(elementName) : nullptr;
}

// -- Helpers ---------------------------------------------------------------------------

// The infos of a table, freed at the end of the scope.
struct Built {
  explicit Built(const ClassTable& table) { BuildMetadata(table, info, elements, attributes); }
  ~Built() { CXmlGeneratedClass::CleanMetaData(info, elements, attributes); }
  Built(const Built&) = delete;
  Built& operator=(const Built&) = delete;

  size_t ElementCount() const {
    size_t n = 0;
    while (elements[n] != nullptr) ++n;
    return n;
  }
  size_t AttributeCount() const {
    size_t n = 0;
    while (attributes[n] != nullptr) ++n;
    return n;
  }

  CParentElementInfo* info = nullptr;
  CElementInfo** elements = nullptr;
  CAttributeInfo** attributes = nullptr;
};

template <size_t N>
constexpr ClassTable TableOf(XmlElementGroupType group, const ElementMember (&elements)[N]) {
  return {group, XmlElementType_PseudoElement, u"group", kNs, -1, false, false,
          elements,  N,  nullptr,  0};
}

std::string MessageOf(const ClassTable& table) {
  try {
    Built built(table);
  } catch (const CVxException& e) {
    return ToUtf8(e.GetMessage());
  }
  return "(built)";
}

// -- Building --------------------------------------------------------------------------

// Every kind and occurrence a group has, in the order of `expected`.
constexpr ElementMember kEveryKind[] = {
    ClassElement(MemberOccurs_Mandatory, u"clsMnd", kNs, 0, XmlElementType_PseudoElement,
                 CreateObject, 1, false),
    ClassElement(MemberOccurs_Optional, u"clsOpt", kNs, 1, XmlElementType_Element, CreateObject,
                 1),
    ClassElement(MemberOccurs_Repeated, u"clsCol", kNs, 2, XmlElementType_PseudoElement),
    SubstitutionElement(MemberOccurs_Mandatory, u"absMnd", kNs, 3, XmlElementType_Element,
                        NoSubstitute),
    SubstitutionElement(MemberOccurs_Optional, u"absOpt", kNs, 4, XmlElementType_Element,
                        NoSubstitute),
    SubstitutionElement(MemberOccurs_Repeated, u"absCol", kNs, 5, XmlElementType_Element),
    PrimitiveElement(MemberOccurs_Mandatory, u"primMnd", kNs, 6, ItemType_i4),
    PrimitiveElement(MemberOccurs_Optional, u"primOpt", kNs, 7, ItemType_string),
    PrimitiveElement(MemberOccurs_Repeated, u"primCol", kNs, 8),
    EnumElement(MemberOccurs_Mandatory, u"enumMnd", kNs, 9, ShadeToText, ShadeFromText),
    EnumElement(MemberOccurs_Optional, u"enumOpt", kNs, 10, ShadeToText, ShadeFromText),
    EnumElement(MemberOccurs_Repeated, u"enumCol", kNs, 11),
    UntypedElement(MemberOccurs_Mandatory, u"AnyElement", u"", 12, u"##other", kNs),
    UntypedElement(MemberOccurs_Optional, u"untpdOpt", kNs, 13, u"##any", u"urn:target"),
    UntypedElement(MemberOccurs_Repeated, u"untpdCol", kNs, 14),
};

constexpr AttributeMember kEveryAttribute[] = {
    PrimitiveAttribute(u"code", u"", 0, true, ItemType_string,
                       CWhitespaceUtils::WhitespaceRule_Preserve, &kCodeFacets),
    EnumAttribute(u"tone", u"urn:tones", 1, false, ShadeToText, ShadeFromText),
    AnyAttribute(2, u"##other", kNs)};

struct GroupCase {
  XmlElementGroupType group;
  std::vector<const std::type_info*> expected;  // null: the group has no such kind
};

TEST(MetadataTableTest, BuildsEveryKindOfEveryGroup) {
  const GroupCase cases[] = {
      {XmlElementGroupType_Sequence,
       {&typeid(CElementInfoSeqClsMnd), &typeid(CElementInfoSeqClsOpt),
        &typeid(CElementInfoSeqClsCol), &typeid(CElementInfoSeqAbsClsMnd),
        &typeid(CElementInfoSeqAbsClsOpt), &typeid(CElementInfoSeqAbsClsCol),
        &typeid(CElementInfoSeqPrimMnd), &typeid(CElementInfoSeqPrimOpt),
        &typeid(CElementInfoSeqPrimCol), &typeid(CElementInfoSeqEnumMnd),
        &typeid(CElementInfoSeqEnumOpt), &typeid(CElementInfoSeqEnumCol),
        &typeid(CElementInfoSeqUntpdMnd), &typeid(CElementInfoSeqUntpdOpt),
        &typeid(CElementInfoSeqUntpdCol)}},
      {XmlElementGroupType_All,
       {&typeid(CElementInfoAllClsMnd), &typeid(CElementInfoAllClsOpt),
        &typeid(CElementInfoAllClsCol), &typeid(CElementInfoAllAbsClsMnd),
        &typeid(CElementInfoAllAbsClsOpt), &typeid(CElementInfoAllAbsClsCol),
        &typeid(CElementInfoAllPrimMnd), &typeid(CElementInfoAllPrimOpt),
        &typeid(CElementInfoAllPrimCol), &typeid(CElementInfoAllEnumMnd),
        &typeid(CElementInfoAllEnumOpt), nullptr, &typeid(CElementInfoAllUntpdMnd),
        &typeid(CElementInfoAllUntpdOpt), &typeid(CElementInfoAllUntpdCol)}},
      {XmlElementGroupType_Choice,
       {nullptr, &typeid(CElementInfoChoiceClsOpt), &typeid(CElementInfoChoiceClsCol), nullptr,
        &typeid(CElementInfoChoiceAbsClsOpt), &typeid(CElementInfoChoiceAbsClsCol), nullptr,
        &typeid(CElementInfoChoicePrimOpt), &typeid(CElementInfoChoicePrimCol), nullptr,
        &typeid(CElementInfoChoiceEnumOpt), &typeid(CElementInfoChoiceEnumCol), nullptr,
        &typeid(CElementInfoChoiceUntpdOpt), &typeid(CElementInfoChoiceUntpdCol)}},
  };
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(c.group);
    std::vector<ElementMember> rows;
    std::vector<const std::type_info*> types;
    for (size_t i = 0; i < std::size(kEveryKind); ++i) {
      if (c.expected[i] == nullptr) continue;
      rows.push_back(kEveryKind[i]);
      types.push_back(c.expected[i]);
    }
    ClassTable table = {c.group, XmlElementType_Element, u"holder", kNs, 3, true, true,
                        rows.data(), rows.size(), kEveryAttribute, std::size(kEveryAttribute)};
    Built built(table);
    EXPECT_EQ(built.info->GetElementGroupType(), c.group);
    EXPECT_EQ(built.info->GetElementType(), XmlElementType_Element);
    EXPECT_EQ(ToUtf8(built.info->GetElementName()), "holder");
    EXPECT_EQ(ToUtf8(built.info->GetElementNamespace()), "urn:tables");
    EXPECT_EQ(built.info->GetElementTextPropertyIndex(), 3);
    EXPECT_TRUE(built.info->GetFromXmlFailIfAttributeUnknown());
    EXPECT_TRUE(built.info->GetHasBaseClasses());
    ASSERT_EQ(built.ElementCount(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      const CElementInfo& info = *built.elements[i];
      SCOPED_TRACE(ToUtf8(reinterpret_cast<const unsigned short*>(rows[i].name)));
      EXPECT_EQ(typeid(info), *types[i]);
      EXPECT_EQ(info.GetElementName(), Utf16::Make(reinterpret_cast<const unsigned short*>(
                                           rows[i].name)));
      EXPECT_EQ(info.GetPropertyIndex(), rows[i].propertyIndex);
    }
    // What the kinds keep beyond the name: the member type, the wildcard's
    // namespaces.
    if (c.group == XmlElementGroupType_Sequence) {
      const auto* clsCol =
          dynamic_cast<const CElementInfoClsColKind<CElementInfoSeqCol>*>(built.elements[2]);
      ASSERT_NE(clsCol, nullptr);
      EXPECT_EQ(clsCol->GetMemberType(), XmlElementType_PseudoElement);
      const auto* untyped =
          dynamic_cast<const CElementInfoUntpdKind<CElementInfoSeq>*>(built.elements[13]);
      ASSERT_NE(untyped, nullptr);
      EXPECT_EQ(ToUtf8(untyped->GetNamespaceSpec()), "##any");
      EXPECT_EQ(ToUtf8(untyped->GetTargetNamespace()), "urn:target");
    }
    ASSERT_EQ(built.AttributeCount(), 3u);
    EXPECT_EQ(typeid(*built.attributes[0]), typeid(CAttributeInfoPrimitive));
    EXPECT_TRUE(built.attributes[0]->GetOptional());
    EXPECT_EQ(typeid(*built.attributes[1]), typeid(CAttributeInfoEnum));
    EXPECT_FALSE(built.attributes[1]->GetOptional());
    EXPECT_EQ(ToUtf8(built.attributes[1]->GetAttributeNamespace()), "urn:tones");
    EXPECT_EQ(built.attributes[1]->GetPropertyIndex(), 1);
    EXPECT_EQ(typeid(*built.attributes[2]), typeid(CAttributeInfoAny));
    EXPECT_EQ(ToUtf8(built.attributes[2]->GetAttributeName()), "AnyAttribute");
  }
}

TEST(MetadataTableTest, RefusesRowsOfNoKnownKind) {
  // A mandatory member of a choice; the all group's repeated enumeration,
  // whose class is abstract; converters or factories missing.
  constexpr ElementMember choiceMandatory[] = {
      PrimitiveElement(MemberOccurs_Optional, u"fine", kNs, 0, ItemType_i4),
      PrimitiveElement(MemberOccurs_Mandatory, u"must", kNs, 1, ItemType_i4)};
  EXPECT_EQ(MessageOf(TableOf(XmlElementGroupType_Choice, choiceMandatory)),
            "The metadata table of [group] has a member [must] of an unknown kind");
  constexpr ElementMember allEnumCol[] = {EnumElement(MemberOccurs_Repeated, u"shades", kNs, 0)};
  EXPECT_EQ(MessageOf(TableOf(XmlElementGroupType_All, allEnumCol)),
            "The metadata table of [group] has a member [shades] of an unknown kind");
  constexpr ElementMember noConverter[] = {EnumElement(MemberOccurs_Optional, u"shade", kNs, 0)};
  EXPECT_EQ(MessageOf(TableOf(XmlElementGroupType_Sequence, noConverter)),
            "The metadata table of [group] has a member [shade] of an unknown kind");
  constexpr ElementMember noFactory[] = {
      ClassElement(MemberOccurs_Mandatory, u"child", kNs, 0, XmlElementType_Element)};
  EXPECT_EQ(MessageOf(TableOf(XmlElementGroupType_Sequence, noFactory)),
            "The metadata table of [group] has a member [child] of an unknown kind");
  ElementMember strange[] = {PrimitiveElement(MemberOccurs_Optional, u"odd", kNs, 0)};
  strange[0].kind = static_cast<ElementMemberKind>(9);
  EXPECT_EQ(MessageOf(TableOf(XmlElementGroupType_Sequence, strange)),
            "The metadata table of [group] has a member [odd] of an unknown kind");
  strange[0] = PrimitiveElement(static_cast<MemberOccurs>(7), u"odder", kNs, 0);
  EXPECT_EQ(MessageOf(TableOf(XmlElementGroupType_Sequence, strange)),
            "The metadata table of [group] has a member [odder] of an unknown kind");
  AttributeMember attribute[] = {EnumAttribute(u"tone", u"", 0, true, nullptr, ShadeFromText)};
  ClassTable table = {XmlElementGroupType_Sequence, XmlElementType_Element, u"e", kNs, -1,
                      true, false, nullptr, 0, attribute, 1};
  EXPECT_EQ(MessageOf(table), "The metadata table of [e] has a member [tone] of an unknown kind");
  attribute[0].kind = static_cast<AttributeMemberKind>(5);
  EXPECT_EQ(MessageOf(table), "The metadata table of [e] has a member [tone] of an unknown kind");
}

TEST(MetadataTableTest, FacetsReachTheRestrictions) {
  static constexpr FacetTable bounds = FacetTable().MinInclusive(u"1").MaxExclusive(u"100");
  static constexpr FacetTable lengths =
      FacetTable().MinLength(2).MaxLength(4).Pattern(u"[a-z]+");
  static constexpr FacetTable exact =
      FacetTable().Length(3).MinExclusive(u"0").MaxInclusive(u"9");
  constexpr AttributeMember rows[] = {
      PrimitiveAttribute(u"n", u"", 0, true, ItemType_i4,
                         CWhitespaceUtils::WhitespaceRule_Collapse, &bounds),
      PrimitiveAttribute(u"s", u"", 1, true, ItemType_string,
                         CWhitespaceUtils::WhitespaceRule_Preserve, &lengths),
      PrimitiveAttribute(u"x", u"", 2, true, ItemType_string,
                         CWhitespaceUtils::WhitespaceRule_Preserve, &exact),
      PrimitiveAttribute(u"y", u"", 3, true, ItemType_i4,
                         CWhitespaceUtils::WhitespaceRule_Collapse, &exact),
      PrimitiveAttribute(u"free", u"", 4, true, ItemType_string)};
  ClassTable table = {XmlElementGroupType_Sequence, XmlElementType_Element, u"e", kNs, -1,
                      true, false, nullptr, 0, rows, std::size(rows)};
  Built built(table);
  auto passes = [&](int row, const VxVariant& value) {
    try {
      static_cast<CAttributeInfoPrimitive*>(built.attributes[row])->CheckRestriction(value);
      return true;
    } catch (const CVxException&) {
      return false;
    }
  };
  auto i4 = [](int32_t v) {
    VxVariant value;
    value.SetI4(v);
    return value;
  };
  auto text = [](const char* v) {
    VxVariant value;
    value.SetString(Utf16::FromUtf8(v));
    return value;
  };
  const struct {
    int row;
    VxVariant value;
    bool passes;
  } checks[] = {{0, i4(1), true},          {0, i4(0), false},         {0, i4(99), true},
                {0, i4(100), false},       {1, text("abcd"), true},   {1, text("a"), false},
                {1, text("abcde"), false}, {1, text("ab1"), false},   {2, text("abc"), true},
                {2, text("ab"), false},    {3, i4(9), true},          {3, i4(0), false},
                {3, i4(10), false},        {4, text(""), true}};
  for (const auto& check : checks)
    EXPECT_EQ(passes(check.row, check.value), check.passes)
        << check.row << " " << ToUtf8(check.value.ToString(nullptr));
}

// -- A class on tables, read and written -------------------------------------------------

TEST(MetadataTableTest, AClassOnTablesReadsAndWritesBack) {
  const std::string xml =
      "<item xmlns=\"urn:tables\" code=\"AB1\" tone=\"dark\"><name>top</name><count>7</count>"
      "<when>2024-02-29</when><shade>dark</shade><price>1.5</price><price>2</price>"
      "<item tone=\"light\"><name>inner</name></item></item>";
  CSmartPtr<CItem> item = new CItem;
  item->FromXml(xml.c_str());
  EXPECT_EQ(ToUtf8(item->m_name), "top");
  EXPECT_TRUE(item->m_validCount);
  EXPECT_EQ(item->m_count, 7);
  EXPECT_EQ(item->m_shade, Shade_dark);
  EXPECT_EQ(item->m_prices->GetCount(), 2);
  ASSERT_NE(item->m_child, nullptr);
  EXPECT_EQ(ToUtf8(item->m_child->m_name), "inner");
  EXPECT_FALSE(item->m_child->m_validCount);
  EXPECT_FALSE(item->m_child->m_validCode);
  // Written with the writer's prefix for the namespace.
  EXPECT_EQ(ToUtf8(item->ToXml(false, false)),
            "<AA:item xmlns:AA=\"urn:tables\" code=\"AB1\" tone=\"dark\"><AA:name>top</AA:name>"
            "<AA:count>7</AA:count><AA:when>2024-02-29</AA:when><AA:shade>dark</AA:shade>"
            "<AA:price>1.5</AA:price><AA:price>2</AA:price>"
            "<AA:item tone=\"light\"><AA:name>inner</AA:name></AA:item></AA:item>");

  // Reading again starts afresh: the optional members are gone.
  item->FromXml("<item xmlns=\"urn:tables\" tone=\"light\"><name>bare</name></item>");
  EXPECT_FALSE(item->m_validCount);
  EXPECT_FALSE(item->m_validShade);
  EXPECT_EQ(item->m_child, nullptr);
  EXPECT_EQ(ToUtf8(item->ToXml(false, false)),
            "<AA:item xmlns:AA=\"urn:tables\" tone=\"light\"><AA:name>bare</AA:name></AA:item>");

  // The facets are checked on writing; the enumeration converters are the
  // table's.
  item->m_code = Utf16::FromUtf8("ABC1");
  item->m_validCode = true;
  EXPECT_THROW(item->ToXml(), CVxException);
  EXPECT_THROW(item->FromXml("<item xmlns=\"urn:tables\" tone=\"grey\"><name/></item>"),
               CVxException);
}

TEST(MetadataTableTest, AccessHelpersKeepTheOptionalFlag) {
  CSmartPtr<CItem> item = new CItem;
  VxVariant value;
  value.SetI4(5);
  item->AccessProperty(Item_Count, false, value);
  EXPECT_TRUE(item->m_validCount);
  EXPECT_EQ(item->m_count, 5);
  // An invalid variant clears the flag and leaves the value.
  VxVariant none;
  item->AccessProperty(Item_Count, false, none);
  EXPECT_FALSE(item->m_validCount);
  EXPECT_EQ(item->m_count, 5);
  VxVariant out;
  item->AccessProperty(Item_Count, true, out);
  EXPECT_FALSE(out.IsValid());
  // Objects: taken over from the variant, none for an invalid one.
  VxVariant child;
  child.SetXmlObject(new CItem);
  item->AccessProperty(Item_Child, false, child);
  EXPECT_NE(item->m_child, nullptr);
  item->AccessProperty(Item_Child, false, none);
  EXPECT_EQ(item->m_child, nullptr);
  item->AccessProperty(Item_Child, true, out);
  EXPECT_FALSE(out.IsValid());
  // Collections are read only.
  item->AccessProperty(Item_Price, true, out);
  EXPECT_EQ(out.GetXmlCollection().get(), item->m_prices.get());
  item->AccessProperty(Item_Price, false, none);
  EXPECT_NE(item->m_prices, nullptr);
}

// First use of a class's metadata from several threads at once: one build,
// the same infos for all.
constexpr ElementMember kRaceElements[] = {
    PrimitiveElement(MemberOccurs_Mandatory, u"a", kNs, 0, ItemType_i4)};
constexpr ClassTable kRace = TableOf(XmlElementGroupType_Sequence, kRaceElements);
const CTableMetadata kRaceMetadata(kRace);

TEST(MetadataTableTest, FirstUseFromManyThreadsBuildsOnce) {
  std::atomic<bool> go{false};
  std::vector<CElementInfo**> seen(4);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i)
    threads.emplace_back([&, i] {
      while (!go.load()) std::this_thread::yield();
      seen[i] = kRaceMetadata.ElementInfos();
    });
  go = true;
  for (std::thread& t : threads) t.join();
  for (CElementInfo** infos : seen) EXPECT_EQ(infos, seen[0]);
  EXPECT_EQ(kRaceMetadata.ClassInfo()->GetElementGroupType(), XmlElementGroupType_Sequence);
  EXPECT_EQ(seen[0][1], nullptr);
}

}  // namespace
