// Classes for the purchase order schema of the XML Schema Primer
// (examples/po/po.xsd), written by hand before the schema compiler existed,
// the way it generates them: one class per complex type, their metadata
// built once per class, property access by index, and a typed collection
// for the repeated item element. They are the baseline of the generated
// classes in bench_binding, and the fuzz_binding target reads into them.
//
//   CSmartPtr<CPurchaseOrderType> order = new CPurchaseOrderType;
//   order->GetShipTo()->SetName(VX_T("Alice Smith"));
//   CSmartPtr<CItem> item = order->GetItems()->GetItem()->Add();
//   item->SetPartNum(VX_T("872-AA"));
//   String xml = order->ToXml();
//
// The schema has no target namespace: every element and attribute is
// unqualified.
#ifndef VXBIND_BENCH_PO_HANDWRITTEN_PURCHASEORDER_H
#define VXBIND_BENCH_PO_HANDWRITTEN_PURCHASEORDER_H

#include <vxbind/vxbind.h>

namespace HandwrittenPo {

using namespace VxVevAva5;
using namespace VxVevAva5Data;

class CUSAddress;
class CItems;
class CItem;
class CItemCol;

// <purchaseOrder orderDate="...">: shipTo, billTo, comment?, items.
class CPurchaseOrderType : public CXmlGeneratedClass {
 public:
  CPurchaseOrderType();
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  CSmartPtr<CUSAddress> GetShipTo() const { return m_shipTo; }
  void SetShipTo(CUSAddress* value);
  CSmartPtr<CUSAddress> GetBillTo() const { return m_billTo; }
  void SetBillTo(CUSAddress* value);
  bool IsValidComment() const { return m_validComment; }
  String GetComment() const { return m_comment; }
  void SetComment(const unsigned short* value);
  void RemoveComment();
  CSmartPtr<CItems> GetItems() const { return m_items; }
  void SetItems(CItems* value);
  bool IsValidOrderDate() const { return m_validOrderDate; }
  CDateTime GetOrderDate() const { return m_orderDate; }
  void SetOrderDate(const CDateTime& value);

 protected:
  ~CPurchaseOrderType() override = default;
  String GetTargetNamespace() const override { return String(); }
  void Init() override;

 private:
  CSmartPtr<CUSAddress> m_shipTo;
  CSmartPtr<CUSAddress> m_billTo;
  String m_comment;
  bool m_validComment = false;
  CSmartPtr<CItems> m_items;
  CDateTime m_orderDate;
  bool m_validOrderDate = false;
};

// name, street, city, state, zip; @country (fixed "US").
class CUSAddress : public CXmlGeneratedClass {
 public:
  explicit CUSAddress(const unsigned short* elementName = VX_T("USAddress"));
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  String GetName() const { return m_name; }
  void SetName(const unsigned short* value) { m_name = Utf16::Make(value); }
  String GetStreet() const { return m_street; }
  void SetStreet(const unsigned short* value) { m_street = Utf16::Make(value); }
  String GetCity() const { return m_city; }
  void SetCity(const unsigned short* value) { m_city = Utf16::Make(value); }
  String GetState() const { return m_state; }
  void SetState(const unsigned short* value) { m_state = Utf16::Make(value); }
  CDecimal GetZip() const { return m_zip; }
  void SetZip(const CDecimal& value) { m_zip = value; }
  String GetCountry() const { return m_country; }

 protected:
  ~CUSAddress() override = default;
  String GetTargetNamespace() const override { return String(); }
  void Init() override;

 private:
  String m_name;
  String m_street;
  String m_city;
  String m_state;
  CDecimal m_zip;
  String m_country;
};

// item*.
class CItems : public CXmlGeneratedClass {
 public:
  explicit CItems(const unsigned short* elementName = VX_T("Items"));
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  CSmartPtr<CItemCol> GetItem() const { return m_item; }

 protected:
  ~CItems() override = default;
  String GetTargetNamespace() const override { return String(); }
  void Init() override;

 private:
  CSmartPtr<CItemCol> m_item;
};

// <item partNum="...">: productName, quantity (1..99), USPrice, comment?,
// shipDate?.
class CItem : public CXmlGeneratedClass {
 public:
  explicit CItem(const unsigned short* elementName = VX_T("item"));
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  void AccessProperty(int propertyIndex, bool read, VxVariant& value) override;
  CParentElementInfo* GetClassInfo() const override;
  CElementInfo** GetClassElementInfo() const override;
  CAttributeInfo** GetClassAttributeInfo() const override;

  String GetProductName() const { return m_productName; }
  void SetProductName(const unsigned short* value) { m_productName = Utf16::Make(value); }
  CBigInteger GetQuantity() const { return m_quantity; }
  void SetQuantity(const CBigInteger& value) { m_quantity = value; }
  CDecimal GetUSPrice() const { return m_usPrice; }
  void SetUSPrice(const CDecimal& value) { m_usPrice = value; }
  bool IsValidComment() const { return m_validComment; }
  String GetComment() const { return m_comment; }
  void SetComment(const unsigned short* value);
  bool IsValidShipDate() const { return m_validShipDate; }
  CDateTime GetShipDate() const { return m_shipDate; }
  void SetShipDate(const CDateTime& value);
  // A Stock Keeping Unit: three digits, '-', two capital letters (checked
  // when the item is written).
  String GetPartNum() const { return m_partNum; }
  void SetPartNum(const unsigned short* value) { m_partNum = Utf16::Make(value); }

 protected:
  ~CItem() override = default;
  String GetTargetNamespace() const override { return String(); }
  void Init() override;

 private:
  String m_productName;
  CBigInteger m_quantity;
  CDecimal m_usPrice;
  String m_comment;
  bool m_validComment = false;
  CDateTime m_shipDate;
  bool m_validShipDate = false;
  String m_partNum;
};

// The items of an Items element, each written as <item>.
class CItemCol : public CXmlCollection {
 public:
  CItemCol();
  // A new item at the end.
  CSmartPtr<CItem> Add();
  // Appends `item` (which takes the element name item).
  void Add(CItem* item);
  CSmartPtr<CItem> Item(int index) const { return static_cast<CItem*>(GetItemAtIndex(index)); }
  CVxIterator<CItem> begin() const { return CVxIterator<CItem>(GetHeadNode()); }
  CVxIterator<CItem> end() const { return CVxIterator<CItem>(); }

 protected:
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;
};

}  // namespace HandwrittenPo

#endif  // VXBIND_BENCH_PO_HANDWRITTEN_PURCHASEORDER_H
