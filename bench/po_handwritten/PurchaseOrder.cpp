// The hand-written purchase order classes (see PurchaseOrder.h).
#include "PurchaseOrder.h"

namespace HandwrittenPo {

namespace {

const unsigned short* const kNoNamespace = VX_T("");
const CWhitespaceUtils::WhitespaceRule kPreserve = CWhitespaceUtils::WhitespaceRule_Preserve;
const CWhitespaceUtils::WhitespaceRule kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

enum ClassNumber { ClassNumber_USAddress = 1, ClassNumber_Items = 2, ClassNumber_Item = 3 };

CSmartPtr<CXmlObjectBase> CreateObject(int classNumber, const unsigned short* elementName) {
  switch (classNumber) {
    case ClassNumber_USAddress:
      return new CUSAddress(elementName);
    case ClassNumber_Items:
      return new CItems(elementName);
    case ClassNumber_Item:
      return new CItem(elementName);
  }
  return nullptr;
}

// The metadata of one class: built once, on first use (thread-safe static
// initialisation), shared by all its objects, freed when the program ends.
struct ClassMetadata {
  CParentElementInfo* classInfo;
  CElementInfo** elementInfos;
  CAttributeInfo** attributeInfos;
  ~ClassMetadata() { CXmlGeneratedClass::CleanMetaData(classInfo, elementInfos, attributeInfos); }
};

CPrimitiveRestrictions NoFacets() { return CPrimitiveRestrictions(); }

void AccessString(bool read, VxVariant& value, String& member) {
  if (read)
    value.SetString(member);
  else
    member = value.GetString();
}

void AccessOptionalString(bool read, VxVariant& value, bool& valid, String& member) {
  if (read) {
    if (valid) value.SetString(member);
  } else {
    valid = value.IsValid();
    member = valid ? value.GetString() : String();
  }
}

void AccessOptionalDate(bool read, VxVariant& value, bool& valid, CDateTime& member) {
  if (read) {
    if (valid) value.SetDate(member);
  } else {
    valid = value.IsValid();
    if (valid) member = value.GetDate();
  }
}

template <class T>
void AccessObject(bool read, VxVariant& value, CSmartPtr<T>& member) {
  if (read) {
    if (member != nullptr) value.SetXmlObject(member);
  } else {
    member = value.IsValid() ? static_cast<T*>(value.GetXmlObject().get()) : nullptr;
  }
}

}  // namespace

// -- PurchaseOrderType -----------------------------------------------------------

namespace {
enum PurchaseOrderTypeProperty {
  PurchaseOrderType_shipTo,
  PurchaseOrderType_billTo,
  PurchaseOrderType_comment,
  PurchaseOrderType_items,
  PurchaseOrderType_orderDate,
};

const ClassMetadata& PurchaseOrderTypeMetadata() {
  static const ClassMetadata metadata{
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element,
                             VX_T("purchaseOrder"), kNoNamespace, -1, true, false),
      new CElementInfo* [5] {
        new CElementInfoSeqClsMnd(VX_T("shipTo"), kNoNamespace, PurchaseOrderType_shipTo,
                                  XmlElementType_Element, CreateObject, ClassNumber_USAddress,
                                  true),
            new CElementInfoSeqClsMnd(VX_T("billTo"), kNoNamespace, PurchaseOrderType_billTo,
                                      XmlElementType_Element, CreateObject, ClassNumber_USAddress,
                                      true),
            new CElementInfoSeqPrimOpt(VX_T("comment"), kNoNamespace, PurchaseOrderType_comment,
                                       ItemType_string, nullptr, kPreserve, NoFacets()),
            new CElementInfoSeqClsMnd(VX_T("items"), kNoNamespace, PurchaseOrderType_items,
                                      XmlElementType_Element, CreateObject, ClassNumber_Items,
                                      true),
            nullptr
      },
      new CAttributeInfo* [2] {
        new CAttributeInfoPrimitive(VX_T("orderDate"), kNoNamespace, PurchaseOrderType_orderDate,
                                    true, ItemType_date, nullptr, kCollapse, NoFacets()),
            nullptr
      }};
  return metadata;
}
}  // namespace

CPurchaseOrderType::CPurchaseOrderType() {
  SetElementName(VX_T("purchaseOrder"));
  Init();
}

CParentElementInfo* CPurchaseOrderType::GetClassInfo() const {
  return PurchaseOrderTypeMetadata().classInfo;
}
CElementInfo** CPurchaseOrderType::GetClassElementInfo() const {
  return PurchaseOrderTypeMetadata().elementInfos;
}
CAttributeInfo** CPurchaseOrderType::GetClassAttributeInfo() const {
  return PurchaseOrderTypeMetadata().attributeInfos;
}

void CPurchaseOrderType::Init() {
  m_shipTo = new CUSAddress(VX_T("shipTo"));
  m_billTo = new CUSAddress(VX_T("billTo"));
  m_comment.clear();
  m_validComment = false;
  m_items = new CItems(VX_T("items"));
  m_validOrderDate = false;
}

void CPurchaseOrderType::SetShipTo(CUSAddress* value) {
  Throw_IfPropertyIsNull(value, VX_T("shipTo"));
  SetElementName(value, VX_T("shipTo"));
  m_shipTo = value;
}

void CPurchaseOrderType::SetBillTo(CUSAddress* value) {
  Throw_IfPropertyIsNull(value, VX_T("billTo"));
  SetElementName(value, VX_T("billTo"));
  m_billTo = value;
}

void CPurchaseOrderType::SetComment(const unsigned short* value) {
  m_comment = Utf16::Make(value);
  m_validComment = true;
}

void CPurchaseOrderType::RemoveComment() {
  m_comment.clear();
  m_validComment = false;
}

void CPurchaseOrderType::SetItems(CItems* value) {
  Throw_IfPropertyIsNull(value, VX_T("items"));
  SetElementName(value, VX_T("items"));
  m_items = value;
}

void CPurchaseOrderType::SetOrderDate(const CDateTime& value) {
  m_orderDate = value;
  m_validOrderDate = true;
}

void CPurchaseOrderType::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case PurchaseOrderType_shipTo:
      return AccessObject(read, value, m_shipTo);
    case PurchaseOrderType_billTo:
      return AccessObject(read, value, m_billTo);
    case PurchaseOrderType_comment:
      return AccessOptionalString(read, value, m_validComment, m_comment);
    case PurchaseOrderType_items:
      return AccessObject(read, value, m_items);
    case PurchaseOrderType_orderDate:
      return AccessOptionalDate(read, value, m_validOrderDate, m_orderDate);
  }
}

// -- USAddress ----------------------------------------------------------------------

namespace {
enum USAddressProperty {
  USAddress_name,
  USAddress_street,
  USAddress_city,
  USAddress_state,
  USAddress_zip,
  USAddress_country,
};

const ClassMetadata& USAddressMetadata() {
  static const ClassMetadata metadata{
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element,
                             VX_T("USAddress"), kNoNamespace, -1, true, false),
      new CElementInfo* [6] {
        new CElementInfoSeqPrimMnd(VX_T("name"), kNoNamespace, USAddress_name, ItemType_string,
                                   nullptr, kPreserve, NoFacets()),
            new CElementInfoSeqPrimMnd(VX_T("street"), kNoNamespace, USAddress_street,
                                       ItemType_string, nullptr, kPreserve, NoFacets()),
            new CElementInfoSeqPrimMnd(VX_T("city"), kNoNamespace, USAddress_city, ItemType_string,
                                       nullptr, kPreserve, NoFacets()),
            new CElementInfoSeqPrimMnd(VX_T("state"), kNoNamespace, USAddress_state,
                                       ItemType_string, nullptr, kPreserve, NoFacets()),
            new CElementInfoSeqPrimMnd(VX_T("zip"), kNoNamespace, USAddress_zip, ItemType_decimal,
                                       nullptr, kCollapse, NoFacets()),
            nullptr
      },
      new CAttributeInfo* [2] {
        new CAttributeInfoPrimitive(VX_T("country"), kNoNamespace, USAddress_country, true,
                                    ItemType_string, nullptr, kCollapse, NoFacets()),
            nullptr
      }};
  return metadata;
}
}  // namespace

CUSAddress::CUSAddress(const unsigned short* elementName) {
  SetElementName(elementName);
  Init();
}

CParentElementInfo* CUSAddress::GetClassInfo() const { return USAddressMetadata().classInfo; }
CElementInfo** CUSAddress::GetClassElementInfo() const { return USAddressMetadata().elementInfos; }
CAttributeInfo** CUSAddress::GetClassAttributeInfo() const {
  return USAddressMetadata().attributeInfos;
}

void CUSAddress::Init() {
  m_name.clear();
  m_street.clear();
  m_city.clear();
  m_state.clear();
  m_zip = CDecimal();
  m_country = Utf16::Make(VX_T("US"));  // fixed="US"
}

void CUSAddress::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case USAddress_name:
      return AccessString(read, value, m_name);
    case USAddress_street:
      return AccessString(read, value, m_street);
    case USAddress_city:
      return AccessString(read, value, m_city);
    case USAddress_state:
      return AccessString(read, value, m_state);
    case USAddress_zip:
      if (read)
        value.SetDecimal(m_zip);
      else
        m_zip = value.GetDecimal();
      return;
    case USAddress_country:
      return AccessString(read, value, m_country);
  }
}

// -- Items ----------------------------------------------------------------------------

namespace {
enum ItemsProperty { Items_item };

const ClassMetadata& ItemsMetadata() {
  static const ClassMetadata metadata{
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("Items"),
                             kNoNamespace, -1, true, false),
      new CElementInfo* [2] {
        new CElementInfoSeqClsCol(VX_T("item"), kNoNamespace, Items_item, XmlElementType_Element),
            nullptr
      },
      new CAttributeInfo* [1] { nullptr }};
  return metadata;
}
}  // namespace

CItems::CItems(const unsigned short* elementName) : m_item(new CItemCol) {
  SetElementName(elementName);
}

CParentElementInfo* CItems::GetClassInfo() const { return ItemsMetadata().classInfo; }
CElementInfo** CItems::GetClassElementInfo() const { return ItemsMetadata().elementInfos; }
CAttributeInfo** CItems::GetClassAttributeInfo() const { return ItemsMetadata().attributeInfos; }

void CItems::Init() { m_item->Clear(); }

void CItems::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  if (propertyIndex == Items_item && read) value.SetXmlCollection(m_item);
}

// -- Item -------------------------------------------------------------------------------

namespace {
enum ItemProperty {
  Item_productName,
  Item_quantity,
  Item_USPrice,
  Item_comment,
  Item_shipDate,
  Item_partNum,
};

const ClassMetadata& ItemMetadata() {
  static const ClassMetadata metadata{
      new CParentElementInfo(XmlElementGroupType_Sequence, XmlElementType_Element, VX_T("item"),
                             kNoNamespace, -1, true, false),
      new CElementInfo* [6] {
        new CElementInfoSeqPrimMnd(VX_T("productName"), kNoNamespace, Item_productName,
                                   ItemType_string, nullptr, kPreserve, NoFacets()),
            // positiveInteger with maxExclusive 100
            new CElementInfoSeqPrimMnd(VX_T("quantity"), kNoNamespace, Item_quantity,
                                       ItemType_integer, nullptr, kCollapse,
                                       CPrimitiveRestrictions(nullptr, -1, -1, VX_T("1"), nullptr,
                                                              nullptr, VX_T("100"), -1)),
            new CElementInfoSeqPrimMnd(VX_T("USPrice"), kNoNamespace, Item_USPrice,
                                       ItemType_decimal, nullptr, kCollapse, NoFacets()),
            new CElementInfoSeqPrimOpt(VX_T("comment"), kNoNamespace, Item_comment, ItemType_string,
                                       nullptr, kPreserve, NoFacets()),
            new CElementInfoSeqPrimOpt(VX_T("shipDate"), kNoNamespace, Item_shipDate, ItemType_date,
                                       nullptr, kCollapse, NoFacets()),
            nullptr
      },
      new CAttributeInfo* [2] {
        // SKU: \d{3}-[A-Z]{2}
        new CAttributeInfoPrimitive(VX_T("partNum"), kNoNamespace, Item_partNum, false,
                                    ItemType_string, nullptr, kPreserve,
                                    CPrimitiveRestrictions(VX_T("\\d{3}-[A-Z]{2}"), -1, -1, nullptr,
                                                           nullptr, nullptr, nullptr, -1)),
            nullptr
      }};
  return metadata;
}
}  // namespace

CItem::CItem(const unsigned short* elementName) {
  SetElementName(elementName);
  Init();
}

CParentElementInfo* CItem::GetClassInfo() const { return ItemMetadata().classInfo; }
CElementInfo** CItem::GetClassElementInfo() const { return ItemMetadata().elementInfos; }
CAttributeInfo** CItem::GetClassAttributeInfo() const { return ItemMetadata().attributeInfos; }

void CItem::Init() {
  m_productName.clear();
  m_quantity = CBigInteger();
  m_usPrice = CDecimal();
  m_comment.clear();
  m_validComment = false;
  m_validShipDate = false;
  m_partNum.clear();
}

void CItem::SetComment(const unsigned short* value) {
  m_comment = Utf16::Make(value);
  m_validComment = true;
}

void CItem::SetShipDate(const CDateTime& value) {
  m_shipDate = value;
  m_validShipDate = true;
}

void CItem::AccessProperty(int propertyIndex, bool read, VxVariant& value) {
  switch (propertyIndex) {
    case Item_productName:
      return AccessString(read, value, m_productName);
    case Item_quantity:
      if (read)
        value.SetInteger(m_quantity);
      else
        m_quantity = value.GetInteger();
      return;
    case Item_USPrice:
      if (read)
        value.SetDecimal(m_usPrice);
      else
        m_usPrice = value.GetDecimal();
      return;
    case Item_comment:
      return AccessOptionalString(read, value, m_validComment, m_comment);
    case Item_shipDate:
      return AccessOptionalDate(read, value, m_validShipDate, m_shipDate);
    case Item_partNum:
      return AccessString(read, value, m_partNum);
  }
}

// -- ItemCol ----------------------------------------------------------------------------

CItemCol::CItemCol() : CXmlCollection(VX_T("item"), kNoNamespace, 0, -1) {}

CSmartPtr<CItem> CItemCol::Add() {
  CSmartPtr<CItem> item = new CItem(VX_T("item"));
  AppendItem(item);
  return item;
}

void CItemCol::Add(CItem* item) {
  Throw_IfPropertyIsNull(item, VX_T("item"));
  SetElementName(item, VX_T("item"));
  AppendItem(item);
}

void CItemCol::ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                         const CXmlSerializationContext& context, bool) const {
  ValidateCount(context);
  for (const CNode* node = GetHeadNode(); node != nullptr; node = node->GetNext())
    CXmlObjectBase::ToXml_Int(node->GetItem(), writer, false, namespaceUri, context, false);
}

CXmlElement* CItemCol::FromXml_Int(CXmlElement*, CXmlElement* current,
                                   const CXmlSerializationContext& context, bool) {
  while (current != nullptr && DoesElementNameMatch(context, current, VX_T("item"), kNoNamespace)) {
    CSmartPtr<CItem> item = new CItem(VX_T("item"));
    CXmlObjectBase::FromXml_Int(item, current, current->GetFirstElement(), context);
    AppendItem(item);
    current = current->GetNextSiblingElement();
  }
  return current;
}

}  // namespace HandwrittenPo
